import QtQuick
import QtTest
import "../../modules/qml/Xq"

// The three drop-downs: opening and closing, choosing an entry and what each reports.
Item {
    id: scene
    width: 600
    height: 480

    Component {
        id: listComponent
        DropDownList { x: 20; y: 20; width: 120 }
    }
    Component {
        id: gridComponent
        DropDownGrid { x: 20; y: 20; width: 80; currentSelect: 1 }
    }
    Component {
        id: sliderComponent
        DropDownSlider { x: 20; y: 20; width: 140 }
    }

    TestCase {
        name: "DropDowns"
        when: windowShown

        SignalSpy { id: clickSpy; signalName: "btnClick" }
        SignalSpy { id: valueSpy; signalName: "valueChange" }
        SignalSpy { id: dragSpy; signalName: "dragSignal" }

        // A drop-down with the given number of entries ("a", "b", ... or "" where texts says so).
        function create(component, entries, texts) {
            var control = createTemporaryObject(component, scene)
            for (var i = 0; control.mdItems && i < entries; ++i)
                control.mdItems.append({ textValue: texts ? texts[i] : "entry " + i })
            for (var spy of [clickSpy, valueSpy, dragSpy]) {
                spy.clear()
                spy.target = control[spy.signalName] !== undefined ? control : null
            }
            return control
        }

        // Opens by a header click and waits until the panel stands still.
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
            var list = create(listComponent, data.entries)
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
            compare(valueSpy.signalArguments[0][0], data.entries - 1)
        }

        function test_listRowClick() {
            var list = create(listComponent, 4)
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
            compare(valueSpy.signalArguments[0][0], 0)
            compare(closedWhenReported, [true])
        }

        function test_listSelectFromCode() {
            var list = create(listComponent, 4)
            list.mdItems.setProperty(3, "textValue", "renamed")
            list.currentSelect = 3
            compare(list.textValue, "renamed")
            list.currentSelect = 9
            compare(list.textValue, "")
            wait(0)
            compare(valueSpy.count + clickSpy.count, 0)
        }

        // The list ignores closeMenu while its panel still moves; the others close.
        function test_closeMenuWhileMoving_data() {
            return [
                { tag: "list", component: listComponent, closes: false },
                { tag: "grid", component: gridComponent, closes: true },
                { tag: "slider", component: sliderComponent, closes: true },
            ]
        }

        function test_closeMenuWhileMoving(data) {
            var control = create(data.component, 4)
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
            var grid = create(gridComponent, 6, ["a", "b", "c", "d", "e", ""])
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
            var drop = create(sliderComponent, 0)
            var slider = drop.sliderControl
            compare(slider.width, drop.width - 16)
            open(drop)
            var knob = findChild(slider, "knob")
            var x = knob.x + knob.width / 2
            mousePress(slider, x, 0)
            mouseMove(slider, x + 20, 0, -1, Qt.LeftButton)
            mouseRelease(slider, x + 20, 0)
            compare([clickSpy.count, valueSpy.count], [1, 1])
            compare(valueSpy.signalArguments[0][0], Math.trunc(knob.x))
            compare([dragSpy.signalArguments[0][0], dragSpy.signalArguments[1][0]], [true, false])

            // A ratio of the knob's travel (100 px here), from a quarter knob plus one pixel.
            drop.width = 116 + 1.5 * knob.width
            drop.setValue(0.5)
            compare(valueSpy.count, 2)
            compare(valueSpy.signalArguments[1][0], Math.trunc(knob.width / 4 + 51))
            compare(knob.x, knob.width / 4 + 51)
        }
    }
}
