import QtQuick

// The mouse picture with one numbered hot spot per button below keyCount.
Item {
    id: page
    property int keyCount: 8
    property int selectKey: -1
    // X, Y offsets of the eight hot spots (the layout adjustment panel moves them).
    property var segmentOffsets: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    // Hot spot centres on the picture, buttons 1..8.
    property var hotspots: [Qt.point(470, 200), Qt.point(554, 200), Qt.point(512, 170), Qt.point(440, 300),
                            Qt.point(440, 350), Qt.point(512, 250), Qt.point(512, 280), Qt.point(584, 320)]
    signal keyClicked(int index)

    Image {
        anchors.fill: parent
        source: "file:modules/img/skin" + Skin.skin_No + "/MouseFront.png"
    }

    Repeater {
        model: 8
        Rectangle {
            required property int index
            objectName: "hotspot" + index
            visible: index < page.keyCount
            width: 20
            height: 20
            radius: 10
            x: page.hotspots[index].x - 10 + page.segmentOffsets[2 * index]
            y: page.hotspots[index].y - 10 + page.segmentOffsets[2 * index + 1]
            color: page.selectKey === index || spotArea.containsMouse ? Skin.colorOrange : Skin.colorBlue
            Text {
                anchors.centerIn: parent
                text: index + 1
                color: Skin.fontColor
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontNormalSize
            }
            MouseArea {
                id: spotArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: page.keyClicked(index)
            }
        }
    }
}
