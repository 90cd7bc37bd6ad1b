import QtQuick
import QtTest
import "../../modules/qml/Xq"

// RectInput: what typing may enter and what leaving the field puts back.
Item {
    id: scene
    width: 300
    height: 200

    Component {
        id: inputComponent
        RectInput { x: 40; y: 40 }
    }

    TestCase {
        name: "RectInput"
        when: windowShown

        SignalSpy { id: inputSpy; signalName: "inputSignal" }
        SignalSpy { id: endSpy; signalName: "endInputSignal" }
        SignalSpy { id: debugSpy; signalName: "debugmodeSignal" }

        function cleanup() {
            Skin.isDebugEnable = false
        }

        // Clicks into the field and replaces its text by typing.
        function typeInto(field, typed) {
            for (var spy of [inputSpy, endSpy, debugSpy]) {
                spy.clear()
                spy.target = field
            }
            mouseClick(field)
            verify(field.txtInput.activeFocus)
            keyClick(Qt.Key_A, Qt.ControlModifier)
            keyClick(Qt.Key_Backspace)
            for (var i = 0; i < typed.length; ++i)
                keyClick(typed[i])
        }

        function test_typing_data() {
            return [
                { tag: "in range", typed: "255", text: "255" },
                { tag: "256 refused", typed: "256", text: "25" },
                { tag: "minus refused", typed: "-1", text: "1" },
                { tag: "letters refused", typed: "1a2", text: "12" },
                { tag: "wider range, five characters at most", min: -99999, max: 99999, typed: "-123456", text: "-1234" },
            ]
        }

        function test_typing(data) {
            var field = createTemporaryObject(inputComponent, scene,
                                              { minValue: data.min || 0, maxValue: data.max || 255 })
            typeInto(field, data.typed)
            compare(field.textValue, data.text)
            compare(inputSpy.count, 1)
        }

        function test_leaving_data() {
            return [
                { tag: "empty", typed: "", text: "0" },
                { tag: "in range", typed: "17", text: "17" },
                { tag: "below 1", min: -100, typed: "-5", text: "0" },
                { tag: "lone minus", min: -100, typed: "-", text: "0" },
                { tag: "debug: empty", debug: true, typed: "", text: "0" },
                { tag: "debug: -5 kept", debug: true, min: -100, typed: "-5", text: "-5" },
                { tag: "debug: below -10", debug: true, min: -100, typed: "-50", text: "-10" },
            ]
        }

        function test_leaving(data) {
            Skin.isDebugEnable = data.debug === true
            var field = createTemporaryObject(inputComponent, scene, { minValue: data.min || 0 })
            typeInto(field, data.typed)
            keyClick(Qt.Key_Return)
            if (data.debug) {
                // Enter in debug mode keeps the field and tells the page.
                compare(debugSpy.count, 1)
                verify(field.txtInput.activeFocus)
                field.closeFocus()
            }
            verify(!field.txtInput.activeFocus)
            compare(field.textValue, data.text)
            compare(endSpy.count, 1)
        }
    }
}
