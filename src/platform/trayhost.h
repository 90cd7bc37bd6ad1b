// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// The desktop's side of the tray icon. Some desktops show no tray at all (GNOME without an
// extension), and a tray may appear only after the program has started (a login start racing
// the desktop's panel); what a tray balloon would say then goes to a desktop notification.
class TrayHost : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayHost() override = default;

    // Whether a tray icon made now can find its tray, now or once one appears.
    virtual bool canMakeIcon() const { return true; }
    // Whether a tray shows the program's icon now.
    virtual bool isAvailable() const;
    // Shows a notification through the desktop, for a balloon that no tray can show.
    virtual void notify(const QString &app, const QString &title, const QString &text, int msecs);

signals:
    // A tray appeared where none was when the program started.
    void appeared();
};

// The tray host of this desktop.
TrayHost *createTrayHost(QObject *parent);
