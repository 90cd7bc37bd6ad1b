// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "PointerSteps.js" as Steps

// The system settings dialog's content, built and its types loaded when the dialog first opens.
// Loaded from the dialog, it reaches the dialog (`page`) and its other parts by their ids.
Item {
    PanelHeader {
        icon: Skin.image("xySetting", "icon")
        title: page.systemSettingLang[0]
        hasBack: true
        backButton.objectName: "systemBackButton"
        closeButton.objectName: "systemCloseButton"
        onBackClicked: page.init(true, true)
        onCloseClicked: page.close()
    }

    SystemSettingHeading {
        y: 52
        icon: Skin.image("mouseRate", "icon")
        text: page.systemSettingLang[1]
    }
    SystemSettingSpeedSlider {
        objectName: "speedSlider"
        noteName: "speedNote"
        y: 80
        position: page.mouseRate
        isApplied: page.applied[0]
        slowText: page.systemSettingLang[3]
        fastText: page.systemSettingLang[4]
        noteText: page.systemSettingLang[8]
        onMoved: function(position) {
            page.mouseRate = position
            page.saveData(true, 1)
        }
    }

    SystemSettingHeading {
        y: 124
        icon: Skin.image("xySetting", "doubleClick")
        text: page.systemSettingLang[2]
    }
    SystemSettingSpeedSlider {
        objectName: "doubleClickSlider"
        noteName: "doubleClickNote"
        y: 152
        position: page.doubleRate
        isApplied: page.applied[1]
        slowText: page.systemSettingLang[3]
        fastText: page.systemSettingLang[4]
        noteText: page.systemSettingLang[8]
        onMoved: function(position) {
            page.doubleRate = position
            page.saveData(true, 2)
        }
    }

    SystemSettingHeading {
        y: 196
        icon: Skin.image("scrollRate", "icon")
        text: page.systemSettingLang[5]
    }
    RadioButton {
        id: rowsChoice
        objectName: "scrollRowsRadio"
        x: 40
        y: 226
        textValue: page.systemSettingLang[6]
        onBtnClick: {
            page.isScreenScroll = false
            page.saveData(true, 3)
        }
    }
    Binding {
        target: rowsChoice
        property: "isSelect"
        value: !page.isScreenScroll
    }
    Rectangle {
        x: rowsChoice.x + rowsChoice.width + 8
        y: rowsChoice.y + (rowsChoice.height - height) / 2
        width: 32
        height: 16
        color: "transparent"
        border.color: Skin.colorGray2
        radius: 2

        RectInput {
            id: rowsInput
            objectName: "scrollRowsInput"
            anchors.fill: parent
            minValue: 1
            maxValue: Steps.maxRows
            txtInput.maximumLength: 3
            Component.onCompleted: textValue = String(page.scrollRows)
            // Enter leaves the field here, in debug mode too.
            onDebugmodeSignal: closeFocus()
            onEndInputSignal: {
                page.scrollRows = Steps.rows(textValue, 1)
                textValue = String(page.scrollRows)
                page.saveData(true, 3)
            }
            Connections {
                target: page
                function onScrollRowsChanged() { rowsInput.textValue = String(page.scrollRows) }
            }
        }
    }
    RadioButton {
        id: screenChoice
        objectName: "scrollScreenRadio"
        x: 40
        y: 252
        textValue: page.systemSettingLang[7]
        onBtnClick: {
            page.isScreenScroll = true
            page.saveData(true, 3)
        }
    }
    Binding {
        target: screenChoice
        property: "isSelect"
        value: page.isScreenScroll
    }
    SystemSettingNote {
        objectName: "scrollNote"
        x: 32
        y: 278
        width: 352
        text: page.systemSettingLang[8]
        visible: !page.applied[2]
    }
    SystemSettingNote {
        objectName: "demoNote"
        x: 32
        y: 294
        width: 352
        text: page.systemSettingLang[9]
        visible: page.isDemo
    }
}
