// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import "../../modules/qml/Xq"

Item {
    id: scene
    width: 600
    height: 480

    Component { id: checkBoxComponent; CheckBox { x: 40; y: 40; index: 3 } }
    Component { id: radioComponent; RadioButton { x: 40; y: 40; index: 5 } }
    Component { id: frameComponent; Frame { x: 20; y: 20 } }
    Component { id: inputComponent; RectInput { x: 40; y: 40 } }
    Component { id: sliderComponent; SliderButton { x: 40; y: 100 } }
    Component { id: listComponent; DropDownList { x: 20; y: 20; width: 120 } }
    Component { id: gridComponent; DropDownGrid { x: 20; y: 20; width: 80; currentSelect: 1 } }
    Component { id: dropSliderComponent; DropDownSlider { x: 20; y: 20; width: 140 } }

    TestCase {
        name: "Controls"
        when: windowShown

        SignalSpy { id: clickSpy; signalName: "btnClick" }
        SignalSpy { id: valueSpy; signalName: "valueChange" }
        SignalSpy { id: delaySpy; signalName: "valueChangeDelay" }
        SignalSpy { id: dragSpy; signalName: "dragSignal" }
        SignalSpy { id: inputSpy; signalName: "inputSignal" }
        SignalSpy { id: endSpy; signalName: "endInputSignal" }
        SignalSpy { id: debugSpy; signalName: "debugmodeSignal" }

        property var knob: null
        property real w: 0

        function cleanup() {
            Skin.isDebugEnable = false
        }

        // A control with the spies on the signals it has; a drop-down with `entries` entries
        // ("entry 0", ... or the given texts).
        function create(component, properties, entries, texts) {
            var control = createTemporaryObject(component, scene, properties || {})
            for (var i = 0; control.mdItems && i < entries; ++i)
                control.mdItems.append({ textValue: texts ? texts[i] : "entry " + i })
            for (var spy of [clickSpy, valueSpy, delaySpy, dragSpy, inputSpy, endSpy, debugSpy]) {
                spy.clear()
                spy.target = control[spy.signalName] !== undefined ? control : null
            }
            return control
        }

        // The first argument of each signal a spy has seen.
        function reported(spy) {
            var out = []
            for (var i = 0; i < spy.count; ++i)
                out.push(spy.signalArguments[i][0])
            return out
        }

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
            var control = create(data.component)
            var seen = []
            control.btnClick.connect(function(index) { seen.push([index, control.isSelect]) })
            mouseClick(control, -6, -6)
            mouseClick(control, control.width + 5, control.height / 2)
            mouseClick(control, -8, 0)  // too far
            compare(seen, data.seen)
            compare(control.isSelect, data.selected)
        }

        function test_frameClick() {
            var frame = create(frameComponent)
            var order = []
            frame.openCloseMenu.connect(function() { order.push("openCloseMenu") })
            frame.clickFrame.connect(function() { order.push("clickFrame") })
            mouseClick(frame, 230, 9)
            compare(order, ["openCloseMenu", "clickFrame"])
        }

        // Typed into a RectInput: what it shows, then what leaving it (Enter) leaves.
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
            var field = create(inputComponent, { minValue: data.min || 0, maxValue: data.max || 255,
                                                 keepsFocusOnEnter: data.keep === true })
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
            compare(field.textValue, data.left)
            compare(endSpy.count, 1)
        }

        // A SliderButton whose ten segments are 10 px each: the knob's travel is 100 px, from a
        // quarter knob to the right of the left end (point 0).
        function createSlider(isScale) {
            var slider = create(sliderComponent, { isScale: isScale })
            knob = findChild(slider, "knob")
            w = knob.width
            slider.width = 100 + 1.5 * w
            return slider
        }

        function test_dragRelease_data() {
            return [
                { tag: "on point 3", scale: true, dx: 30, x: 30, index: 3 },
                { tag: "1 px right of point 3 stays", scale: true, dx: 31, x: 30, index: 3 },
                { tag: "2 px right of point 3 goes on to 4", scale: true, dx: 32, x: 40, index: 4 },
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
            compare(reported(dragSpy), [true])
            mouseMove(slider, x + Math.floor(data.dx / 2), 0, -1, Qt.LeftButton)
            mouseMove(slider, x + data.dx, 0, -1, Qt.LeftButton)
            mouseRelease(slider, x + data.dx, 0)
            fuzzyCompare(knob.x, w / 4 + data.x, 1e-9)
            compare(slider.segmentValue, data.index)
            compare(reported(delaySpy), [Math.trunc(knob.x)])
            compare(reported(dragSpy), [true, false])
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
            mouseClick(slider, w / 4 + data.at + w / 2, 3)
            tryCompare(delaySpy, "count", 1)
            fuzzyCompare(knob.x, w / 4 + data.x, 1e-9)
            compare(slider.segmentValue, data.scale ? data.index : 7)
            compare(reported(valueSpy), [Math.trunc(knob.x)])
        }

        // Opens a drop-down by a header click and waits until the panel stands still.
        function open(control) {
            mouseClick(control, control.width / 2, 12)
            verify(control.isDrop)
            tryCompare(control, "moving", false)
        }

        function test_listSize_data() {
            return [
                { tag: "4 entries", entries: 4, rows: 4, scrolls: false, duration: 140 },
                { tag: "12 entries", entries: 12, rows: 10, scrolls: true, duration: 60 },
                { tag: "30 entries move at once", entries: 30, rows: 10, scrolls: true, duration: 0 },
            ]
        }

        function test_listSize(data) {
            var list = create(listComponent, {}, data.entries)
            var rows = findChild(list, "rows")
            compare(rows.count, 0, "a closed list creates no rows")
            compare(list.moveDuration, data.duration)
            open(list)
            compare(rows.height, 24 * data.rows)
            compare(findChild(list, "scrollIndicator").visible, data.scrolls)
            if (!data.scrolls)
                return
            // Scrolled to the end, the last visible row is the last entry.
            mouseWheel(list, 60, 24 + 120, 0, -120 * data.entries)
            tryVerify(function() { return rows.atYEnd && !rows.moving })
            mouseClick(list, 60, 24 + 24 * data.rows - 12)
            tryCompare(valueSpy, "count", 1)
            compare(reported(valueSpy), [data.entries - 1])
        }

        function test_listRowClick() {
            var list = create(listComponent, {}, 4)
            compare(list.textValue, "entry 2")
            open(list)
            compare(clickSpy.count, 1)
            var closedWhenReported = []
            list.valueChange.connect(function() { closedWhenReported.push(!list.panelShown) })
            // The strip for the scroll indicator takes no clicks.
            mouseClick(list, list.width - 5, 24 + 12)
            verify(list.isDrop)
            // The row under the pointer never looks like the current one (row 2).
            var rows = findChild(list, "rows")
            mouseMove(list, 20, 24 + 12)
            verify(!Qt.colorEqual(rows.itemAtIndex(0).color, rows.itemAtIndex(2).color))
            verify(!Qt.colorEqual(rows.itemAtIndex(0).color, rows.itemAtIndex(1).color))
            // Selected at once, reported when the panel has closed.
            mouseClick(list, 20, 24 + 12)
            compare([list.currentSelect, list.textValue, valueSpy.count], [0, "entry 0", 0])
            tryCompare(valueSpy, "count", 1)
            compare(reported(valueSpy), [0])
            compare(closedWhenReported, [true])
            // Chosen from code: the text follows, nothing is reported.
            list.mdItems.setProperty(3, "textValue", "renamed")
            list.currentSelect = 3
            compare(list.textValue, "renamed")
            list.currentSelect = 9
            compare(list.textValue, "")
            wait(0)
            compare(valueSpy.count + clickSpy.count, 2)
        }

        // The list ignores closeMenu while its panel still moves; the others close.
        function test_closeMenuWhileMoving_data() {
            return [
                { tag: "list", component: listComponent, closes: false },
                { tag: "grid", component: gridComponent, closes: true },
                { tag: "slider", component: dropSliderComponent, closes: true },
            ]
        }

        function test_closeMenuWhileMoving(data) {
            var control = create(data.component, {}, 4)
            mouseClick(control, 20, 12)
            verify(control.moving)
            control.closeMenu()
            // A header click while moving changes nothing either.
            mouseClick(control, 20, 12)
            compare(control.isDrop, !data.closes)
            tryCompare(control, "moving", false)
            control.closeMenu()
            verify(!control.isDrop)
            tryCompare(control, "panelShown", false)
            compare(valueSpy.count, 0)
        }

        function test_gridCellClick_data() {
            return [
                { tag: "a cell with text", cell: 4, selected: 4, text: "e" },
                { tag: "an empty cell", cell: 5, selected: 1, text: "b" },
            ]
        }

        function test_gridCellClick(data) {
            var grid = create(gridComponent, {}, 6, ["a", "b", "c", "d", "e", ""])
            var selectedWhenReported = []
            grid.btnClick.connect(function() { selectedWhenReported.push(grid.currentSelect) })
            open(grid)
            compare(clickSpy.count, 0, "the header click reports nothing")
            // Three columns, each as wide as the header.
            mouseClick(grid, grid.width * (data.cell % 3) + 10, 24 + 24 * Math.floor(data.cell / 3) + 12)
            compare(selectedWhenReported, [data.selected])
            compare(grid.textValue, data.text)
            verify(!grid.isDrop)
        }

        function test_sliderPassesOn() {
            var drop = create(dropSliderComponent)
            var slider = drop.sliderControl
            open(drop)
            var knob = findChild(slider, "knob")
            var x = knob.x + knob.width / 2
            mousePress(slider, x, 0)
            mouseMove(slider, x + 20, 0, -1, Qt.LeftButton)
            mouseRelease(slider, x + 20, 0)
            compare([clickSpy.count, reported(valueSpy), reported(dragSpy)], [1, [Math.trunc(knob.x)], [true, false]])
            // A ratio of the knob's travel (100 px here), from a quarter knob plus one pixel.
            drop.width = 116 + 1.5 * knob.width
            drop.setValue(0.5)
            compare(reported(valueSpy).slice(1), [Math.trunc(knob.width / 4 + 51)])
            compare(knob.x, knob.width / 4 + 51)
        }
    }
}
