// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A small number field. Typing is limited to integers in minValue..maxValue; leaving the field
// puts back a valid number and reports the end of the input.
Item {
    id: rectInput

    property int maxValue: 255
    property int minValue: 0
    property alias textValue: input.text
    property alias txtInput: input
    // Enter ends the input; the layout panel's fields keep the focus for the next step instead.
    property bool keepsFocusOnEnter: false

    signal endInputSignal()
    signal inputSignal()
    signal debugmodeSignal()

    implicitWidth: 48
    implicitHeight: 20

    function closeFocus() {
        if (!input.activeFocus)
            return
        input.deselect()
        input.focus = false
    }

    TextInput {
        id: input
        anchors.fill: parent
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        text: "0"
        maximumLength: 5
        selectByMouse: true
        clip: true
        color: Skin.fontColor
        selectionColor: Skin.colorOrange
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
        validator: IntValidator {
            bottom: rectInput.minValue
            top: rectInput.maxValue
        }

        // Empty (or a lone minus sign) gives "0"; in debug mode offsets may go down to -10,
        // otherwise anything below 1 is 0.
        function settle() {
            var value = parseInt(text, 10)
            if (isNaN(value))
                text = "0"
            else if (Skin.isDebugEnable) {
                if (value < -10)
                    text = "-10"
            } else if (value < 1) {
                text = "0"
            }
        }

        // Refuses what more typing cannot bring into range: the validator lets a number above
        // the top through as unfinished.
        property string lastInRange: "0"
        function inRange(value) {
            return !(value > 0 && value > rectInput.maxValue) && !(value < 0 && value < rectInput.minValue)
        }
        onTextChanged: {
            if (inRange(parseInt(text, 10)))
                lastInRange = text
        }
        onTextEdited: {
            if (inRange(parseInt(text, 10)))
                return
            var cursor = cursorPosition - (text.length - lastInRange.length)
            text = lastInRange
            cursorPosition = Math.max(0, Math.min(cursor, text.length))
        }

        // In debug mode the page hears of Enter first (the layout panel applies its step).
        function enter(event) {
            event.accepted = true
            if (Skin.isDebugEnable)
                rectInput.debugmodeSignal()
            if (!rectInput.keepsFocusOnEnter)
                input.focus = false
        }
        Keys.onReturnPressed: function(event) { enter(event) }
        Keys.onEnterPressed: function(event) { enter(event) }

        onActiveFocusChanged: {
            if (activeFocus) {
                rectInput.inputSignal()
            } else {
                input.settle()
                rectInput.endInputSignal()
            }
        }
    }
}
