// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// The layout adjustment panel's controls, built and their types loaded the first time the panel
// shows. Loaded from the panel, they reach it (`page`) by its id. Rows sit at fixed places: the
// mode 7 rows appear without waiting for a positioner.
Item {
    component Label: Text {
        height: 20
        verticalAlignment: Text.AlignVCenter
        color: "#ffffff"
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    component StepButton: SceneButton {
        width: 18
        height: 18
    }

    // A number field (-10..10, "1" at first) in a frame; Enter keeps the focus.
    component OffsetField: Rectangle {
        property alias field: input
        signal enter()
        width: 40
        height: 18
        color: "#505050"
        border.color: "#909090"
        RectInput {
            id: input
            objectName: parent.objectName + "Field"
            anchors.fill: parent
            minValue: -10
            maxValue: 10
            textValue: "1"
            keepsFocusOnEnter: true
            onDebugmodeSignal: parent.enter()
        }
    }

    // A colour text field; Enter sets the colour once the text is one.
    component ColourField: Rectangle {
        property alias text: input.text
        signal enter(string text)
        width: 56
        height: 18
        color: "#505050"
        border.color: "#909090"
        TextInput {
            id: input
            anchors.fill: parent
            horizontalAlignment: TextInput.AlignHCenter
            verticalAlignment: TextInput.AlignVCenter
            maximumLength: 9
            selectByMouse: true
            clip: true
            color: "#ffffff"
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontMinSize
            validator: RegularExpressionValidator {
                regularExpression: /#([0-9a-fA-F]{3}|[0-9a-fA-F]{6}|[0-9a-fA-F]{8})/
            }
            onAccepted: parent.enter(text)
        }
    }

    Row {
        spacing: 4
        Label { text: "模式:" }
        StepButton {
            objectName: "layoutModePrev"
            text: "<"
            onClicked: page.mode_index = Math.max(0, page.mode_index - 1)
        }
        // Red on a dark strip, readable on the grey panel.
        Rectangle {
            width: 64
            height: 20
            color: "#303030"
            Label {
                objectName: "layoutModeLabel"
                anchors.fill: parent
                horizontalAlignment: Text.AlignHCenter
                text: page.modeLabels[page.mode_index]
                color: "#ff3030"
            }
        }
        StepButton {
            objectName: "layoutModeNext"
            text: ">"
            onClicked: page.mode_index = Math.min(7, page.mode_index + 1)
        }
        Item {
            width: 8
            height: 1
        }
        StepButton {
            objectName: "layoutSegPrev"
            visible: page.mode_index === 3
            text: "<"
            onClicked: page.mouse_seg = Math.max(0, page.mouse_seg - 1)
        }
        Label {
            visible: page.mode_index === 3
            text: "第" + (page.mouse_seg + 1) + "段"
        }
        StepButton {
            objectName: "layoutSegNext"
            visible: page.mode_index === 3
            text: ">"
            onClicked: page.mouse_seg = Math.min(7, page.mouse_seg + 1)
        }
    }

    Row {
        y: 24
        spacing: 6
        Label {
            width: 120
            text: "X :  单次调整正负10"
        }
        OffsetField {
            objectName: "layoutX"
            anchors.verticalCenter: parent.verticalCenter
            onEnter: page.addTo(page.selectedProperties()[0], field)
        }
        SceneButton {
            objectName: "layoutSaveButton"
            width: 66
            height: 20
            text: "保存"
            onClicked: page.save_adjustdata(false)
        }
    }

    Row {
        y: 48
        spacing: 6
        Label {
            width: 120
            text: "Y :  单次调整正负10"
        }
        OffsetField {
            objectName: "layoutY"
            anchors.verticalCenter: parent.verticalCenter
            onEnter: page.addTo(page.selectedProperties()[1], field)
        }
        SceneButton {
            objectName: "layoutRestoreButton"
            width: 66
            height: 20
            text: "恢复"
            onClicked: page.save_adjustdata(true)
        }
    }

    Row {
        y: 72
        spacing: 6
        visible: page.mode_index === 7
        Label { text: "按键大小 :  宽度" }
        OffsetField {
            objectName: "layoutWidth"
            anchors.verticalCenter: parent.verticalCenter
            onEnter: page.addTo("setDnbtnWidget", field)
        }
        Label { text: "高度" }
        OffsetField {
            objectName: "layoutHeight"
            anchors.verticalCenter: parent.verticalCenter
            onEnter: page.addTo("setDnbtnHeight", field)
        }
    }

    Row {
        y: 96
        spacing: 6
        visible: page.mode_index === 7
        Label { text: "按键颜色 : 底色" }
        ColourField {
            objectName: "layoutBlue"
            anchors.verticalCenter: parent.verticalCenter
            text: String(page.target.colorBlue)
            onEnter: function(text) { page.target.colorBlue = text }
        }
        Label { text: "选中" }
        ColourField {
            objectName: "layoutOrange"
            anchors.verticalCenter: parent.verticalCenter
            text: String(page.target.colorOrange)
            onEnter: function(text) { page.target.colorOrange = text }
        }
    }
}
