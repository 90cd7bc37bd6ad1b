// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pointer options of GNOME-style desktops, through GSettings. The schema is looked up before it
// is opened, so a desktop without it only makes the setters fail.

#include "platform/pointersettings.h"

#include <QByteArray>

// Pointer speed 1..20 onto libinput's acceleration speed -1..1 (GNOME's "speed", KWin's
// "pointerAcceleration"): 1 -> -1, 10 (the defaults of both) -> 0, 20 -> 1, linear on either
// side of 10.
double libinputPointerSpeed(int speed);

class GSettingsPointer : public PointerSettings
{
public:
    explicit GSettingsPointer(const QByteArray &schemaId = "org.gnome.desktop.peripherals.mouse");

    bool setMouseSpeed(int speed) override;
    bool setDoubleClickTime(int milliseconds) override;
    // GNOME has no setting for it: always false.
    bool setWheelScrollLines(uint lines) override;

private:
    QByteArray m_schemaId;
};
