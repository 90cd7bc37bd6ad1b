// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Moves the window with the pointer. The drag is first offered to the window system (on Wayland
// only the compositor may move a window), which then ends the press here; where it declines, the
// window is moved by the offset from the press point. Coordinates here are design pixels; the
// window moves in screen pixels, so the offset is scaled.
MouseArea {
    property real screenRate: 1.0
    property real pressX: 0
    property real pressY: 0
    property bool offered: false

    onPressed: function(mouse) {
        pressX = mouse.x
        pressY = mouse.y
        offered = false
    }
    onPositionChanged: function(mouse) {
        if (!pressed)
            return
        var dx = Math.round((mouse.x - pressX) * screenRate)
        var dy = Math.round((mouse.y - pressY) * screenRate)
        if (dx === 0 && dy === 0)
            return
        if (!offered) {
            offered = true
            if (ui_Ctl.startSystemMove())
                return
        }
        if (dx !== 0)
            ui_Ctl.onXChanged(dx)
        if (dy !== 0)
            ui_Ctl.onYChanged(dy)
    }
}
