import QtQuick

// Moves the window by the offset from the press point. Coordinates here are design pixels;
// the window moves in screen pixels, so the offset is scaled.
MouseArea {
    property real screenRate: 1.0
    property real pressX: 0
    property real pressY: 0

    onPressed: function(mouse) {
        pressX = mouse.x
        pressY = mouse.y
    }
    onPositionChanged: function(mouse) {
        if (!pressed)
            return
        var dx = Math.round((mouse.x - pressX) * screenRate)
        var dy = Math.round((mouse.y - pressY) * screenRate)
        if (dx !== 0)
            ui_Ctl.onXChanged(dx)
        if (dy !== 0)
            ui_Ctl.onYChanged(dy)
    }
}
