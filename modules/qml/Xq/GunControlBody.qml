// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "EditorValues.js" as Rules

// The gun editor's content, built and its types loaded when the dialog first opens.
// Loaded from the dialog, it reaches the dialog (`page`) and its other parts by their ids.
Item {
    id: body

    PanelHeader {
        icon: Skin.image("gun", "icon")
        title: page.gunControlLang[0]
        closeButton.objectName: "gunCloseButton"
        onCloseClicked: page.closeAndSend()
    }

    // ---- Presets ----
    SceneLabel {
        x: 16
        y: 48
        width: 288 - 112
        height: 24
        text: page.gunControlLang[2]
    }
    Column {
        x: 16
        y: 80
        Repeater {
            model: guns
            Item {
                id: gunRow
                required property int index
                required property string gunName
                objectName: "gunRow" + index
                width: 288
                height: 58
                readonly property string slotText: [page.selectGun1, page.selectGun2, page.selectGun3]
                    .map(function(row, k) { return row === gunRow.index ? String(k + 1) : "" })
                    .filter(function(t) { return t !== "" }).join(" ")
                Rectangle {
                    y: 1
                    width: parent.width
                    height: 56
                    radius: 2
                    color: gunRow.index === page.currentRow ? Skin.colorBlue
                         : gunArea.containsMouse ? Skin.colorGray1 : "transparent"
                    border.color: gunRow.index === page.currentRow ? Skin.colorOrange : Skin.colorGray1
                }
                Image {
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    source: Skin.image("gun", gunRow.gunName)
                }
                SceneLabel {
                    x: 140
                    width: 100
                    height: parent.height
                    text: gunRow.gunName
                }
                // The slots that use this preset.
                SceneLabel {
                    objectName: "gunSlots" + gunRow.index
                    x: 240
                    width: 40
                    height: parent.height
                    horizontalAlignment: Text.AlignRight
                    color: Skin.colorOrange
                    text: gunRow.slotText
                }
                MouseArea {
                    id: gunArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: page.chooseRow(gunRow.index)
                }
            }
        }
    }
    DropDownList {
        id: slotList
        objectName: "gunSlotList"
        x: 16 + 288 - 104
        y: 48
        z: 5
        width: 104
        mdItems: slotNames
        onValueChange: function(index) { page.chooseSlot(index) }
    }
    Binding {
        target: slotList
        property: "currentSelect"
        value: page.currentSlot
    }

    // ---- Cursor adjustment ----
    GunControlHeading {
        x: 320
        y: 48
        text: page.gunControlLang[3]
    }
    Image {
        id: target
        x: 336
        y: 78
        source: Skin.image("gun", "target")
    }
    Image {
        id: dot
        objectName: "gunDot"
        x: target.x + 64 - 6
        y: Rules.dotY(page.shownY)
        width: 12
        height: 12
        source: Skin.image("gun", "dot")

        MouseArea {
            anchors.fill: parent
            anchors.margins: -4
            preventStealing: true
            property real pressY: 0
            property real startY: 0
            onPressed: function(mouse) {
                pressY = mapToItem(body, 0, mouse.y).y
                startY = dot.y
            }
            onPositionChanged: function(mouse) {
                var y = startY + mapToItem(body, 0, mouse.y).y - pressY
                dot.y = Math.max(Rules.dotY(0), Math.min(Rules.dotY(Rules.maxAdjust), y))
                yInput.textValue = String(Rules.dotValue(dot.y))
            }
            // The dot and the field follow the preset again once the drag ends; a drag cut
            // short (the grab lost to the busy lock or another window) changes nothing.
            function follow() {
                dot.y = Qt.binding(function() { return Rules.dotY(page.shownY) })
                yInput.textValue = Qt.binding(function() { return String(page.shownY) })
            }
            onReleased: {
                page.setY(Rules.dotValue(dot.y))
                follow()
            }
            onCanceled: follow()
        }
    }
    SceneLabel {
        x: 480
        y: 96
        width: 80
        height: 20
        text: page.gunControlLang[4]
    }
    GunControlFieldBox {
        x: 568
        y: 96
        RectInput {
            objectName: "gunXInput"
            anchors.fill: parent
            maxValue: Rules.maxAdjust
            txtInput.readOnly: true
            textValue: String(page.shownX)
        }
    }
    SceneLabel {
        x: 480
        y: 136
        width: 80
        height: 20
        text: page.gunControlLang[5]
    }
    GunControlFieldBox {
        x: 568
        y: 136
        RectInput {
            id: yInput
            objectName: "gunYInput"
            anchors.fill: parent
            maxValue: Rules.maxAdjust
            textValue: String(page.shownY)
            onEndInputSignal: {
                page.setY(textValue)
                textValue = Qt.binding(function() { return String(page.shownY) })
            }
        }
    }

    // ---- Fire adjustment ----
    GunControlHeading {
        x: 320
        y: 224
        text: page.gunControlLang[6]
    }
    SceneLabel {
        x: 336
        y: 256
        width: 136
        height: 24
        text: page.gunControlLang[7]
    }
    DropDownSlider {
        id: rateSlider
        objectName: "gunRateSlider"
        x: 480
        y: 256
        z: 5
        // A 104-pixel slider: 86 pixels of knob travel, one per period.
        width: 120
        textValue: page.rateText
        onValueChange: function(x) { page.rateText = Rules.rateText(x) }
        Component.onCompleted: setValue(Rules.rateRatio(page.shownPeriod))
        Connections {
            target: rateSlider.sliderControl
            function onValueChangeDelay(x) { page.setPeriodText(Rules.rateText(x)) }
        }
        Connections {
            target: page
            function onRowShown() { rateSlider.setValue(Rules.rateRatio(page.shownPeriod)) }
        }
    }
    SceneLabel {
        x: 336
        y: 312
        width: 136
        height: 24
        text: page.gunControlLang[8]
    }
    GunControlFieldBox {
        x: 480
        y: 314
        RectInput {
            id: timesInput
            objectName: "gunTimesInput"
            anchors.fill: parent
            maxValue: page.maxTimes
            textValue: String(page.shownTimes)
            onEndInputSignal: {
                page.setTimes(textValue)
                textValue = Qt.binding(function() { return String(page.shownTimes) })
            }
        }
    }
    // Ticked while the preset fires without end (times 0); ticking it sets that.
    CheckBox {
        id: endless
        objectName: "gunEndlessCheck"
        x: 336
        y: 352
        textValue: page.gunControlLang[9]
        onBtnClick: if (!isSelect) page.setTimes(0)
        onIsSelectChanged: if (isSelect !== (page.shownTimes === 0)) isSelect = page.shownTimes === 0
    }
    Binding {
        target: endless
        property: "isSelect"
        value: page.shownTimes === 0
    }
}
