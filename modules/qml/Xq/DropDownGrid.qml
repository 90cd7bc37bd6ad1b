// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A drop-down grid: the entries of mdItems (role textValue) in three columns, each cell as wide
// as the header. Clicking a cell selects it unless it is empty, closes the panel and emits
// btnClick; the page reads currentSelect in its handler. The header click emits nothing.
DropDownBase {
    id: dropGrid

    property ListModel mdItems: ListModel {}
    property int currentSelect: 0

    signal btnClick()

    textValue: selected.text
    entryCount: mdItems.count
    panelWidth: 3 * width
    panelHeight: 24 * Math.ceil(mdItems.count / 3)
    headerSized: false

    function closeMenu() {
        isDrop = false
    }

    SelectedText {
        id: selected
        model: dropGrid.mdItems
        index: dropGrid.currentSelect
    }

    Grid {
        columns: 3

        Repeater {
            model: dropGrid.panelShown ? dropGrid.mdItems : null

            DropEntry {
                width: dropGrid.width
                text: model.textValue
                selected: index === dropGrid.currentSelect
                restColor: dropGrid.bgColor
                horizontalOffset: dropGrid.horizontalOffset
                onClicked: {
                    if (text !== "")
                        dropGrid.currentSelect = index
                    dropGrid.isDrop = false
                    dropGrid.btnClick()
                }
            }
        }
    }
}
