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

        // Two clicks; the area reaches six pixels beyond the edges. Each report is the index
        // with the isSelect its receiver sees: a check box toggles after reporting, a radio
        // button selects before and never unselects.
        function test_twoClicks_data() {
            return [
                { tag: "check box", component: checkBoxComponent, seen: [[3, false], [3, true]], selected: false },
                { tag: "radio button", component: radioComponent, seen: [[5, true], [5, true]], selected: true },
            ]
        }

        function test_twoClicks(data) {
            var control = createTemporaryObject(data.component, scene)
            var seen = []
            control.btnClick.connect(function(index) { seen.push([index, control.isSelect]) })
            mouseClick(control, -6, -6)
            mouseClick(control, control.width + 5, control.height / 2)
            mouseClick(control, -8, 0)  // too far
            compare(seen, data.seen)
            compare(control.isSelect, data.selected)
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
