import QtQuick
import QtTest
import "../../modules/qml/Xq"

// Frame, CheckBox and RadioButton: what a click reports and in which order.
Item {
    id: scene
    width: 300
    height: 200

    Component {
        id: checkBoxComponent
        CheckBox { x: 40; y: 40; index: 3 }
    }
    Component {
        id: radioComponent
        RadioButton { x: 40; y: 40; index: 5 }
    }
    Component {
        id: frameComponent
        Frame { x: 20; y: 20 }
    }

    TestCase {
        name: "ChoiceButtons"
        when: windowShown

        // Each click's btnClick argument with the isSelect a receiver sees.
        function recordClicks(control) {
            var seen = []
            control.btnClick.connect(function(index) { seen.push([index, control.isSelect]) })
            return seen
        }

        function test_checkBoxReportsBeforeToggling() {
            var box = createTemporaryObject(checkBoxComponent, scene)
            var seen = recordClicks(box)
            mouseClick(box)
            mouseClick(box)
            compare(seen, [[3, false], [3, true]])
            compare(box.isSelect, false)
        }

        function test_radioButtonNeverUnselects() {
            var radio = createTemporaryObject(radioComponent, scene)
            var seen = recordClicks(radio)
            mouseClick(radio)
            mouseClick(radio)
            compare(seen, [[5, true], [5, true]])
            compare(radio.isSelect, true)
        }

        // The clickable area reaches six pixels beyond every edge.
        function test_clickReach_data() {
            return [
                { tag: "check box, 6 px left and above", component: checkBoxComponent, dx: -6, dy: -6, counts: true },
                { tag: "check box, 6 px right and below", component: checkBoxComponent, dx: 6, dy: 6, counts: true },
                { tag: "check box, 8 px left", component: checkBoxComponent, dx: -8, dy: 0, counts: false },
                { tag: "radio button, 6 px below", component: radioComponent, dx: 0, dy: 6, counts: true },
                { tag: "radio button, 8 px right", component: radioComponent, dx: 8, dy: 0, counts: false },
            ]
        }

        function test_clickReach(data) {
            var control = createTemporaryObject(data.component, scene)
            var seen = recordClicks(control)
            var x = data.dx < 0 ? data.dx : data.dx > 0 ? control.width - 1 + data.dx : control.width / 2
            var y = data.dy < 0 ? data.dy : data.dy > 0 ? control.height - 1 + data.dy : control.height / 2
            mouseClick(control, x, y)
            compare(seen.length, data.counts ? 1 : 0)
        }

        function test_frameClick() {
            var frame = createTemporaryObject(frameComponent, scene)
            compare([frame.width, frame.height], [242, 18])
            var order = []
            frame.openCloseMenu.connect(function() { order.push("openCloseMenu") })
            frame.clickFrame.connect(function() { order.push("clickFrame") })
            mouseClick(frame, 230, 9)
            compare(order, ["openCloseMenu", "clickFrame"])
        }
    }
}
