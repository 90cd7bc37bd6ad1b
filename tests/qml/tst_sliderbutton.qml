import QtQuick
import QtTest
import "../../modules/qml/Xq"

// SliderButton: dragging and clicking, with and without snapping to the segment points.
Item {
    id: scene
    width: 400
    height: 200

    Component {
        id: sliderComponent
        SliderButton { x: 40; y: 100 }
    }

    TestCase {
        name: "SliderButton"
        when: windowShown

        SignalSpy { id: valueSpy; signalName: "valueChange" }
        SignalSpy { id: delaySpy; signalName: "valueChangeDelay" }
        SignalSpy { id: dragSpy; signalName: "dragSignal" }

        property var knob: null
        property real w: 0

        // A slider whose ten segments are 10 px each: the knob's travel is 100 px, from a quarter
        // knob to the right of the left end.
        function createSlider(isScale) {
            var slider = createTemporaryObject(sliderComponent, scene, { isScale: isScale })
            knob = findChild(slider, "knob")
            w = knob.width
            slider.width = 100 + 1.5 * w
            for (var spy of [valueSpy, delaySpy, dragSpy]) {
                spy.clear()
                spy.target = slider
            }
            return slider
        }

        function point(i) {
            return w / 4 + 10 * i
        }

        function test_dragRelease_data() {
            return [
                { tag: "on point 3", scale: true, dx: 30, x: 30, index: 3 },
                { tag: "1 px right of point 3 stays", scale: true, dx: 31, x: 30, index: 3 },
                { tag: "2 px right of point 3 goes on to 4", scale: true, dx: 32, x: 40, index: 4 },
                { tag: "9 px right of point 3 goes on to 4", scale: true, dx: 39, x: 40, index: 4 },
                { tag: "past the right stop", scale: true, dx: 150, x: 100, index: 10 },
                { tag: "without scale: where it was left", scale: false, dx: 32, x: 32, index: 0 },
                { tag: "without scale: stopped at the left", scale: false, dx: -20, x: 0, index: 0 },
            ]
        }

        function test_dragRelease(data) {
            var slider = createSlider(data.scale)
            // Pressed on the knob's centre and moved by data.dx in two steps, as a hand would.
            var x = knob.x + w / 2
            mousePress(slider, x, 0)
            compare(dragSpy.count, 1)
            compare(dragSpy.signalArguments[0][0], true)
            mouseMove(slider, x + Math.floor(data.dx / 2), 0, -1, Qt.LeftButton)
            mouseMove(slider, x + data.dx, 0, -1, Qt.LeftButton)
            mouseRelease(slider, x + data.dx, 0)
            fuzzyCompare(knob.x, point(0) + data.x, 1e-9)
            compare(slider.segmentValue, data.index)
            compare(delaySpy.count, 1)
            compare(delaySpy.signalArguments[0][0], Math.trunc(knob.x))
            compare(dragSpy.count, 2)
            compare(dragSpy.signalArguments[1][0], false)
            // Only a free slider reports every step while dragging.
            compare(valueSpy.count, data.scale ? 0 : 2)
        }

        function test_trackClick_data() {
            return [
                { tag: "on point 3", scale: true, at: 30, x: 30, index: 3 },
                { tag: "just right of point 3 goes on to 4", scale: true, at: 31, x: 40, index: 4 },
                { tag: "left of the left stop", scale: true, at: -5, x: 0, index: 0 },
                { tag: "without scale: where clicked", scale: false, at: 31, x: 31, index: 0 },
            ]
        }

        function test_trackClick(data) {
            var slider = createSlider(data.scale)
            slider.setIndexValue(7, false)
            compare(valueSpy.count, 0)
            // The knob's centre goes to the click point.
            mouseClick(slider, point(0) + data.at + w / 2, 3)
            tryCompare(delaySpy, "count", 1)
            fuzzyCompare(knob.x, point(0) + data.x, 1e-9)
            compare(slider.segmentValue, data.scale ? data.index : 7)
            compare(valueSpy.count, 1)
            compare(valueSpy.signalArguments[0][0], Math.trunc(knob.x))
        }
    }
}
