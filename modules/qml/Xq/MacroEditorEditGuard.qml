// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Ends an edit when the press lands anywhere but in the field being edited (`editor`):
// it reports `pressedAway`. The press goes on to whatever is below.
MouseArea {
    property Item editor: null
    signal pressedAway()
    anchors.fill: parent
    z: 50
    onPressed: function(mouse) {
        mouse.accepted = false
        var e = editor
        if (e && e.contains(mapToItem(e, mouse.x, mouse.y)))
            return
        pressedAway()
    }
}
