import QtQuick
import QtTest
import "../../modules/qml/Xq"

// RectInput: what typing may enter and what leaving the field (Enter) puts back.
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

        function test_edit_data() {
            return [
                { tag: "in range", typed: "255", shown: "255", left: "255" },
                { tag: "256 refused", typed: "256", shown: "25", left: "25" },
                { tag: "minus refused", typed: "-1", shown: "1", left: "1" },
                { tag: "letters refused", typed: "1a2", shown: "12", left: "12" },
                { tag: "five characters at most", min: -99999, max: 99999, typed: "-123456", shown: "-1234", left: "0" },
                { tag: "empty", typed: "", shown: "", left: "0" },
                { tag: "lone minus", min: -100, typed: "-", shown: "-", left: "0" },
                { tag: "debug: -5 kept, the focus too", debug: true, keep: true, min: -100, typed: "-5", shown: "-5", left: "-5" },
                { tag: "debug: below -10", debug: true, min: -100, typed: "-50", shown: "-50", left: "-10" },
                { tag: "debug: empty", debug: true, typed: "", shown: "", left: "0" },
            ]
        }

        function test_edit(data) {
            Skin.isDebugEnable = data.debug === true
            var field = createTemporaryObject(inputComponent, scene, { minValue: data.min || 0, maxValue: data.max || 255,
                                                                       keepsFocusOnEnter: data.keep === true })
            for (var spy of [inputSpy, endSpy, debugSpy]) {
                spy.clear()
                spy.target = field
            }
            mouseClick(field)
            compare(inputSpy.count, 1)
            keyClick(Qt.Key_A, Qt.ControlModifier)
            keyClick(Qt.Key_Backspace)
            for (var i = 0; i < data.typed.length; ++i)
                keyClick(data.typed[i])
            compare(field.textValue, data.shown)

            // Enter leaves the field (unless it keeps the focus); in debug mode it tells the page.
            keyClick(Qt.Key_Return)
            compare(debugSpy.count, data.debug ? 1 : 0)
            compare(field.txtInput.activeFocus, data.keep === true)
            field.closeFocus()
            verify(!field.txtInput.activeFocus)
            compare(field.textValue, data.left)
            compare(endSpy.count, 1)
        }
    }
}
