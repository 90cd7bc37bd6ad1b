// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// The mouse picture with one numbered hot spot per button below keyCount. A hot spot shows its
// highlighted picture while it is hovered or its button is selected (selectKey).
Item {
    id: page
    property int keyCount: 8
    property int selectKey: -1
    // X, Y offsets of the eight hot spots (the layout adjustment panel moves them).
    property var segmentOffsets: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    // Hot spot centres on the picture, buttons 1..8.
    property var hotspots: [Qt.point(456, 200), Qt.point(568, 200), Qt.point(512, 175), Qt.point(404, 325),
                            Qt.point(403, 369), Qt.point(512, 229), Qt.point(512, 261), Qt.point(434, 170)]
    signal keyClicked(int index)
    // The pointer entered a hot spot (its index) or left it (-1).
    signal keyHovered(int index)

    // The picture holds only the part of the window with the mouse and its shadow.
    Image {
        x: 352
        y: 96
        source: Skin.diskImage("MouseFront")
    }

    Repeater {
        model: 8
        Image {
            id: spot
            required property int index
            objectName: "hotspot" + index
            visible: index < page.keyCount
            x: page.hotspots[index].x - 10 + page.segmentOffsets[2 * index]
            y: page.hotspots[index].y - 10 + page.segmentOffsets[2 * index + 1]
            source: Skin.image("mouse", "key" + (index + 1)
                               + (page.selectKey === index || spotArea.containsMouse ? "_hover" : ""))
            MouseArea {
                id: spotArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: page.keyClicked(spot.index)
                onContainsMouseChanged: page.keyHovered(containsMouse ? spot.index : -1)
            }
        }
    }
}
