// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A drop-down list of the entries of mdItems (role textValue). The header shows the selected
// entry; at most maxRows rows (ten) show at once and longer lists scroll. Choosing a row selects it at
// once and reports it when the panel has closed; setting currentSelect from code reports
// nothing.
DropDownBase {
    id: dropList

    property int count: mdItems.count
    property ListModel mdItems: ListModel {}
    property int currentSelect: 2
    // Rows shown at once; a longer list scrolls. A page lowers it to keep the open list inside
    // its own panel.
    property int maxRows: 10

    signal btnClick()
    signal valueChange(int index)

    textValue: selected.text
    entryCount: count
    panelHeight: 24 * Math.min(count, maxRows)

    function closeMenu() {
        if (isDrop && !moving)
            isDrop = false
    }

    onHeaderClicked: btnClick()
    // A close cut short by reopening still reports the row chosen before it.
    onIsDropChanged: if (isDrop) chosen.report()
    onMoveFinished: if (!isDrop) chosen.report()

    SelectedText {
        id: selected
        model: dropList.mdItems
        index: dropList.currentSelect
    }

    QtObject {
        id: chosen
        property int index: -1

        function report() {
            if (index < 0)
                return
            var reported = index
            index = -1
            dropList.valueChange(reported)
        }
    }

    ListView {
        id: rows
        objectName: "rows"
        anchors.fill: parent
        model: dropList.panelShown ? dropList.mdItems : null
        interactive: dropList.count > dropList.maxRows
        boundsBehavior: Flickable.StopAtBounds
        onModelChanged: if (model) positionViewAtIndex(dropList.currentSelect, ListView.Contain)

        delegate: DropEntry {
            width: rows.width
            text: model.textValue
            selected: index === dropList.currentSelect
            restColor: dropList.bgColor
            horizontalOffset: dropList.horizontalOffset
            // Leaves the scroll indicator's strip alone.
            deadRight: 15
            onClicked: {
                dropList.currentSelect = index
                chosen.index = index
                dropList.isDrop = false
            }
        }
    }

    Rectangle {
        objectName: "scrollIndicator"
        visible: dropList.count > dropList.maxRows
        x: rows.width - width
        y: rows.visibleArea.yPosition * rows.height
        width: 12
        height: rows.visibleArea.heightRatio * rows.height
        radius: 2
        color: "#ffffff"
        border.color: Skin.colorGray3
    }
}
