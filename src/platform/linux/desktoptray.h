// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tray on Linux desktops: a StatusNotifierItem host reached over D-Bus (Plasma, Xfce, GNOME
// with an extension) or, on X11, an XEmbed tray that Qt finds by itself; notifications through
// the desktop's notification service (org.freedesktop.Notifications).

#include "platform/trayhost.h"

class DesktopTray : public TrayHost
{
    Q_OBJECT
public:
    explicit DesktopTray(QObject *parent);

    bool canMakeIcon() const override;
    bool isAvailable() const override;
    void notify(const QString &app, const QString &title, const QString &text, int msecs) override;

private:
    // Qt looks for a D-Bus tray once, when it is first asked, and keeps the answer. On Wayland no
    // other tray exists, so the icon is not made (nor Qt asked) before a tray host is there.
    bool m_waitForHost = false;
    bool m_hostSeen = false;
};
