// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A fixed choice; selected while the edited definition matches it (`chosenLabel`).
RadioButton {
    id: radio
    property var choice
    property int chosenLabel: -1
    signal chosen(var codes)
    objectName: "choice" + choice.label
    width: 196
    isSelect: chosenLabel === choice.label
    onBtnClick: {
        chosen(choice.codes)
        isSelect = Qt.binding(function() { return radio.chosenLabel === radio.choice.label })
    }
}
