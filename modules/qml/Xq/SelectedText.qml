// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// The text (role textValue) of one entry of a list model, empty when there is no such entry;
// follows the model as its entries change.
QtObject {
    id: selected

    property ListModel model
    property int index: -1
    property string text: ""

    function refresh() {
        var entry = model && index >= 0 && index < model.count ? model.get(index) : null
        text = entry ? entry.textValue : ""
    }

    onModelChanged: refresh()
    onIndexChanged: refresh()
    Component.onCompleted: refresh()

    property Connections watcher: Connections {
        target: selected.model
        function onCountChanged() { selected.refresh() }
        function onDataChanged() { selected.refresh() }
    }
}
