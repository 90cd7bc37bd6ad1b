// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pointer options of KDE Plasma. Double-click time and wheel lines live in kdeglobals [KDE];
// the pointer speed is KWin's acceleration of each mouse on Wayland and kcminputrc [Mouse] on
// X11. Files are written with KDE's own kwriteconfig (its file format and locks), every value
// is read back, and changes are announced as Plasma's mouse settings module does.

#include "platform/pointersettings.h"

#include <QByteArray>

class PlasmaPointer : public PointerSettings
{
public:
    enum class Session { X11, Wayland };
    explicit PlasmaPointer(Session session) : m_session(session) {}

    bool setMouseSpeed(int speed) override;
    bool setDoubleClickTime(int milliseconds) override;
    bool setWheelScrollLines(uint lines) override;

private:
    bool setDeviceAcceleration(double acceleration);
    Session m_session;
};

// Whether XDG_CURRENT_DESKTOP (a colon-separated list of names) names KDE.
bool isPlasmaDesktop(const QByteArray &currentDesktop);
