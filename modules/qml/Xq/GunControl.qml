import QtQuick
import "../common"

// The gun page (stand-in: presets kept by the backend, factory reset of the three slots).
FloatingPanel {
    id: page
    property bool isSave: false
    readonly property var gunControlLangBuiltIn: ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis",
        "Y axis", "Fire adjust", "Rate", "Times", "Endness"]
    property var gunControlLang: gunControlLangBuiltIn
    signal sendKeyMatrix()

    width: 640
    height: 448

    function init() {
    }

    function resetData() {
    }

    // Fire periods of the presets in gun slots 1..3.
    function assignedPeriods() {
        return [10, 10, 10]
    }
}
