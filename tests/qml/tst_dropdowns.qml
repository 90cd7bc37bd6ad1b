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
        DropDownGrid { x: 20; y: 20; width: 80 }
    }
    Component {
        id: sliderComponent
        DropDownSlider { x: 20; y: 20; width: 140 }
    }

    TestCase {
        id: testCase
        name: "DropDowns"
        when: windowShown

        SignalSpy { id: clickSpy; signalName: "btnClick" }
        SignalSpy { id: valueSpy; signalName: "valueChange" }
        SignalSpy { id: dragSpy; signalName: "dragSignal" }

        function spyOn(control) {
            for (var spy of [clickSpy, valueSpy, dragSpy]) {
                spy.clear()
                spy.target = control[spy.signalName] !== undefined ? control : null
            }
        }

        function fill(control, texts) {
            for (var text of texts)
                control.mdItems.append({ textValue: text })
        }

        function createList(entries) {
            var list = createTemporaryObject(listComponent, scene)
            var texts = []
            for (var i = 0; i < entries; ++i)
                texts.push("entry " + i)
            fill(list, texts)
            spyOn(list)
            return list
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
            var list = createList(data.entries)
            var rows = findChild(list, "rows")
            compare(rows.count, 0, "a closed list creates no rows")
            compare(list.moveDuration, data.duration)
            open(list)
            compare(rows.height, 24 * data.rows)
            compare(rows.interactive, data.scrolls)
            compare(findChild(list, "scrollIndicator").visible, data.scrolls)
            if (!data.scrolls)
                return
            // Scrolled to the end, the last visible row is the last entry.
            mouseWheel(list, 60, 24 + 120, 0, -120 * data.entries)
            tryVerify(function() { return rows.atYEnd && !rows.moving })
            mouseClick(list, 60, 24 + 24 * data.rows - 12)
            compare(list.currentSelect, data.entries - 1)
            tryCompare(valueSpy, "count", 1)
            compare(valueSpy.signalArguments[0][0], data.entries - 1)
        }

        function test_listRowClick() {
            var list = createList(4)
            compare(list.textValue, "entry 2")
            open(list)
            compare(clickSpy.count, 1)
            var closedWhenReported = []
            list.valueChange.connect(function(index) { closedWhenReported.push(!list.panelShown) })

            // The strip for the scroll indicator takes no clicks.
            mouseClick(list, list.width - 5, 24 + 12)
            verify(list.isDrop)
            compare(list.currentSelect, 2)

            // Selected at once, reported when the panel has closed.
            mouseClick(list, 20, 24 + 12)
            compare(list.currentSelect, 0)
            compare(list.textValue, "entry 0")
            compare(valueSpy.count, 0)
            tryCompare(valueSpy, "count", 1)
            compare(valueSpy.signalArguments[0][0], 0)
            compare(closedWhenReported, [true])
            compare(clickSpy.count, 1)
        }

        function test_listSelectFromCode() {
            var list = createList(4)
            list.currentSelect = 3
            compare(list.textValue, "entry 3")
            list.currentSelect = 9
            compare(list.textValue, "")
            list.mdItems.setProperty(3, "textValue", "renamed")
            list.currentSelect = 3
            compare(list.textValue, "renamed")
            wait(0)
            compare(valueSpy.count, 0)
            compare(clickSpy.count, 0)
        }

        function test_listCloseMenu() {
            var list = createList(4)
            // Neither a header click nor closeMenu stops a panel that is moving.
            mouseClick(list, 60, 12)
            verify(list.moving)
            list.closeMenu()
            mouseClick(list, 60, 12)
            verify(list.isDrop)
            compare(clickSpy.count, 2)
            tryCompare(list, "moving", false)
            list.closeMenu()
            verify(!list.isDrop)
            tryCompare(list, "panelShown", false)
            compare(valueSpy.count, 0)
        }

        function test_gridCellClick_data() {
            return [
                { tag: "a cell with text", cell: 4, selected: 4, text: "e" },
                { tag: "an empty cell", cell: 5, selected: 1, text: "b" },
            ]
        }

        function test_gridCellClick(data) {
            var grid = createTemporaryObject(gridComponent, scene, { currentSelect: 1 })
            fill(grid, ["a", "b", "c", "d", "e", ""])
            spyOn(grid)
            var selectedWhenReported = []
            grid.btnClick.connect(function() { selectedWhenReported.push(grid.currentSelect) })
            open(grid)
            compare(clickSpy.count, 0, "the header click reports nothing")
            // Three columns, each as wide as the header.
            var column = data.cell % 3, row = Math.floor(data.cell / 3)
            mouseClick(grid, grid.width * column + 10, 24 + 24 * row + 12)
            compare(selectedWhenReported, [data.selected])
            compare(grid.textValue, data.text)
            verify(!grid.isDrop)
        }

        function test_gridCloseMenuWhileMoving() {
            var grid = createTemporaryObject(gridComponent, scene)
            fill(grid, ["a", "b", "c"])
            mouseClick(grid, 40, 12)
            verify(grid.moving)
            grid.closeMenu()
            verify(!grid.isDrop)
            tryCompare(grid, "panelShown", false)
        }

        function test_sliderPassesOn() {
            var drop = createTemporaryObject(sliderComponent, scene)
            spyOn(drop)
            var slider = drop.sliderControl
            compare(slider.width, drop.width - 16)
            open(drop)
            compare(clickSpy.count, 1)
            var knob = findChild(slider, "knob")
            var x = knob.x + knob.width / 2
            mousePress(slider, x, 0)
            mouseMove(slider, x + 20, 0, -1, Qt.LeftButton)
            mouseRelease(slider, x + 20, 0)
            compare(valueSpy.count, 1)
            compare(valueSpy.signalArguments[0][0], Math.trunc(knob.x))
            compare([dragSpy.signalArguments[0][0], dragSpy.signalArguments[1][0]], [true, false])

            drop.setValue(0.5)
            compare(valueSpy.count, 2)
            compare(valueSpy.signalArguments[1][0], Math.trunc(knob.x))

            // closeMenu closes even a panel that is still moving.
            drop.closeMenu()
            mouseClick(drop, 70, 12)
            verify(drop.moving)
            drop.closeMenu()
            verify(!drop.isDrop)
        }
    }
}
