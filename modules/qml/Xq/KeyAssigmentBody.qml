// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "KeyFunctions.js" as KeyFunctions

// The key assignment dialog's content, built and its types loaded when the dialog first opens.
// Loaded from the dialog, it reaches the dialog (`page`) and its other parts by their ids.
Item {
    Text {
        id: title
        x: 16
        y: 0
        height: 44
        verticalAlignment: Text.AlignVCenter
        text: page.label(0) + (page.selectKey + 1)
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddleSize
    }
    Text {
        objectName: "keyAssigmentText"
        x: title.x + title.width + 16
        y: 0
        width: resetButton.x - x - 16
        height: 44
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
        elide: Text.ElideRight
        text: page.keyString
        color: Skin.colorOrange
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddleSize
    }
    TitleButton {
        id: resetButton
        objectName: "keyAssigmentReset"
        x: page.width - 64
        y: 14
        icon: "reset"
        onClicked: page.resetKey()
    }
    TitleButton {
        objectName: "keyAssigmentClose"
        x: page.width - 32
        y: 14
        icon: "close"
        onClicked: page.finish()
    }
    Rectangle {
        x: 12
        y: 44
        width: page.width - 24
        height: 1
        color: Skin.colorGray1
    }

    Column {
        x: 12
        y: 56
        spacing: 4
        Repeater {
            model: KeyFunctions.groupLabels.length
            Rectangle {
                id: tab
                required property int index
                objectName: "keyGroup" + index
                visible: index !== KeyFunctions.GunGroup || page.isGun
                width: 172
                height: 28
                radius: 2
                color: page.group === index ? Skin.colorOrange
                                            : tabArea.containsMouse ? Skin.colorGray2 : Skin.colorGray1
                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 10
                    anchors.rightMargin: 10
                    verticalAlignment: Text.AlignVCenter
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 8
                    text: page.label(KeyFunctions.groupLabels[tab.index])
                    color: Skin.fontColor
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormalSize
                }
                MouseArea {
                    id: tabArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: page.showGroup(tab.index)
                }
            }
        }
    }

    // The chosen group's choices.
    Rectangle {
        id: groupBox
        x: 196
        y: 56
        width: page.width - x - 12
        height: page.height - y - 12
        color: "transparent"
        border.color: Skin.colorGray1
        radius: 2

        Grid {
            x: 16
            y: 16
            columns: 2
            columnSpacing: 16
            rowSpacing: 16
            visible: KeyFunctions.choices[page.group].length > 0
            Repeater {
                model: KeyFunctions.choices[page.group]
                KeyAssigmentChoiceRadio {
                    required property var modelData
                    choice: modelData
                    textValue: page.label(modelData.label)
                    chosenLabel: page.chosenLabel
                    onChosen: function(codes) { page.choose(codes) }
                }
            }
        }

        // Fire: the key, its repeat interval and the number of repeats.
        Item {
            anchors.fill: parent
            anchors.margins: 16
            visible: page.group === KeyFunctions.FireGroup

            KeyAssigmentFieldLabel { y: 0; text: page.label(9) }
            KeyAssigmentKeyField {
                objectName: "fireKeyField"
                x: 110
                y: 0
                width: 290
                capturing: page.isFireInput
                shown: page.keyCode0 === KeyFunctions.FireGroup ? page.keyString : ""
                hint: page.label(10)
                onClicked: page.startFireInput()
            }

            KeyAssigmentFieldLabel { y: 44; text: page.label(11) }
            DropDownSlider {
                id: rateSlider
                objectName: "fireRateSlider"
                x: 110
                y: 44
                // Wide enough for a pixel per rate step (see rateIndexAt).
                width: 290
                z: 2
                textValue: KeyFunctions.rateText(page.fireRate)
                sliderControl.segment: KeyFunctions.rateSegments
                onValueChange: function(x) {
                    page.setFireRate(KeyFunctions.rateIndexAt(x, rateSlider.sliderControl.width))
                }
                function place() { sliderControl.setIndexValue(page.fireRate, false) }
                Component.onCompleted: place()
            }

            KeyAssigmentFieldLabel { y: 88; text: page.label(12) }
            Rectangle {
                x: 110
                y: 88
                width: 64
                height: 24
                color: "transparent"
                border.color: Skin.colorGray2
                radius: 2
                RectInput {
                    id: timesInput
                    objectName: "fireTimesInput"
                    anchors.centerIn: parent
                    minValue: 0
                    maxValue: 255
                    textValue: String(page.fireTimes)
                    onEndInputSignal: page.setFireTimes(parseInt(textValue, 10))
                }
            }
            CheckBox {
                id: endlessBox
                objectName: "fireEndlessBox"
                x: 196
                y: 88 + (24 - height) / 2
                textValue: page.label(13)
                isSelect: page.fireTimes === 0
                // The box toggles after reporting: the new count is set once it has.
                onBtnClick: Qt.callLater(page.setFireTimes, isSelect ? 1 : 0)
            }

            Connections {
                target: page
                function onFireTimesChanged() {
                    timesInput.textValue = String(page.fireTimes)
                    endlessBox.isSelect = page.fireTimes === 0
                }
                function onLoaded() { rateSlider.place() }
            }
        }

        // Combination: modifiers and up to two keys, pressed together.
        Item {
            anchors.fill: parent
            anchors.margins: 16
            visible: page.group === KeyFunctions.ComboGroup

            KeyAssigmentFieldLabel { y: 0; text: page.label(9) }
            KeyAssigmentKeyField {
                objectName: "comboKeyField"
                x: 110
                y: 0
                width: parent.width - x
                capturing: page.isComboInput
                shown: page.keyCode0 === KeyFunctions.ComboGroup ? page.keyString : ""
                hint: page.label(10)
                onClicked: page.startComboInput()
            }
        }

        // Macro: one of the stored macros and how it repeats.
        Item {
            anchors.fill: parent
            anchors.margins: 16
            visible: page.group === KeyFunctions.MacroGroup

            DropDownList {
                id: macroList
                objectName: "macroList"
                width: 220
                z: 2
                mdItems: macroListModel
                currentSelect: -1
                onValueChange: function(index) {
                    if (index >= 0 && index < page.macroNames.length)
                        page.chooseMacro(String(page.macroNames[index]))
                }
                function follow() { currentSelect = page.macroNames.indexOf(page.macroName) }
                Component.onCompleted: follow()
                Connections {
                    target: page
                    function onMacroNameChanged() { macroList.follow() }
                    function onMacroNamesChanged() { macroList.follow() }
                    function onCloseMenus() { macroList.closeMenu() }
                }
            }
            SceneButton {
                objectName: "macroEditorLink"
                x: parent.width - width
                width: 140
                height: 24
                text: page.label(17)
                onClicked: page.openMacroEditor()
            }
            Column {
                y: 48
                spacing: 16
                Repeater {
                    model: 3
                    RadioButton {
                        id: modeButton
                        required property int index
                        objectName: "macroMode" + index
                        textValue: page.label(18 + index)
                        isSelect: page.macroMode === index
                        onBtnClick: {
                            page.setMacroMode(modeButton.index)
                            isSelect = Qt.binding(function() { return page.macroMode === modeButton.index })
                        }
                    }
                }
            }
        }
    }
}
