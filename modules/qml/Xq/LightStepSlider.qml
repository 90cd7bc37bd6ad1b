// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A titled slider of five steps with its percentage.
Item {
    id: stepRow
    property string title: ""
    property int step: 0
    property alias slider: stepSlider
    signal released(int step)
    width: 216
    height: 34
    LightCaption {
        width: parent.width - percent.width - 8
        text: stepRow.title
    }
    LightCaption {
        id: percent
        objectName: stepRow.objectName + "Text"
        anchors.right: parent.right
        text: stepRow.step * 25 + "%"
        color: Skin.colorGray3
    }
    SliderButton {
        id: stepSlider
        objectName: stepRow.objectName + "Slider"
        y: 24
        width: parent.width
        segment: 4
        isScale: true
        onValueChangeDelay: stepRow.released(segmentValue)
    }
}
