// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's pointer settings: Plasma's where the session is KDE's, GSettings elsewhere.
#include "platform/linux/gsettingspointer.h"
#include "platform/linux/plasmapointer.h"

PointerSettings &systemPointerSettings()
{
    if (isPlasmaDesktop(qgetenv("XDG_CURRENT_DESKTOP"))) {
        static PlasmaPointer plasma(qgetenv("XDG_SESSION_TYPE") == "wayland" ? PlasmaPointer::Session::Wayland
                                                                               : PlasmaPointer::Session::X11);
        return plasma;
    }
    static GSettingsPointer gnome;
    return gnome;
}
