// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "SceneText.js" as SceneText
import "EditorValues.js" as Rules

// The gun page: six recoil presets, three of them assigned to the device's gun slots. Every
// change is stored in the gun data file at once; the slots and the key matrix (which carries
// the slots' fire periods) go to the device when the page is closed after a change. The
// presets and the shown values are the page's own, so the main window can initialise and
// reset the page before its body exists.
FloatingPanel {
    id: page
    property bool isSave: false
    // Preset rows in gun slots 1..3.
    property int selectGun1: 0
    property int selectGun2: 1
    property int selectGun3: 2
    property int currentRow: 0
    property int currentSlot: 0
    // The current row's values as shown; the rate text follows the knob while it moves.
    property int shownX: 0
    property int shownY: 10
    property int shownTimes: 0
    property int shownPeriod: 10
    property string rateText: "10MS"
    readonly property alias gunModel: guns
    readonly property var gunControlLangBuiltIn: ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis",
        "Y axis", "Fire adjust", "Rate", "Times", "Endness"]
    property var gunControlLang: gunControlLangBuiltIn
    signal sendKeyMatrix()
    // Closed after a change: the slots are to go to the mouse as a save (sendAll).
    signal saveRequested()
    // The current row's values changed: the body moves its knob.
    signal rowShown()

    width: 640
    height: 448

    readonly property int rowCount: 6
    readonly property int maxTimes: 255

    ListModel {
        id: guns
        ListElement { gunName: "M416"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "AKM"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "M16A4"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "SCAR-L"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "UNP9"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "Thomson"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
    }
    ListModel { id: slotNames }

    function init() {
        isSave = false
        slotNames.clear()
        for (var k = 1; k <= 3; ++k)
            slotNames.append({ textValue: gunControlLang[1] + k })
        // A preset the file lacks (or holds damaged) keeps what the row has; values are kept
        // in the ranges the controls can show.
        for (var i = 0; i < rowCount; ++i) {
            var d = ui_View.getGunData(i)
            if (d.length < 6)
                continue
            var g = guns.get(i)
            guns.set(i, { gunName: String(d[0]), gunKey: String(d[1]),
                          gunPeriod: String(SceneText.intIn(d[2], Rules.minPeriod, Rules.maxPeriod, Number(g.gunPeriod))),
                          gunX: String(SceneText.intIn(d[3], 0, Rules.maxAdjust, Number(g.gunX))),
                          gunY: String(SceneText.intIn(d[4], 0, Rules.maxAdjust, Number(g.gunY))),
                          gunTimes: String(SceneText.intIn(d[5], 0, maxTimes, Number(g.gunTimes))) })
        }
        var stored = ui_View.getGlobalData("mouse/selectGun")
        var list = stored && typeof stored !== "string" ? stored : String(stored).split(",")
        selectGun1 = validRow(list[0], 0)
        selectGun2 = validRow(list[1], 1)
        selectGun3 = validRow(list[2], 2)
        currentSlot = 0
        showRow(selectGun1)
    }

    // Factory state: presets 0..2 in the slots with their shipped values, stored and sent.
    function resetData() {
        selectGun1 = 0
        selectGun2 = 1
        selectGun3 = 2
        ui_View.setGlobalData("mouse/selectGun", slots())
        var ys = [5, 7, 8]
        for (var r = 0; r < 3; ++r) {
            guns.setProperty(r, "gunY", String(ys[r]))
            guns.setProperty(r, "gunPeriod", "9")
            saveData(r, false)
        }
        for (var k = 0; k < 3; ++k)
            sendData(k)
        currentSlot = 0
        showRow(0)
    }

    function validRow(value, fallback) {
        var row = SceneText.toInt(value, -1)
        return row >= 0 && row < rowCount ? row : fallback
    }

    function slots() {
        return [selectGun1, selectGun2, selectGun3]
    }

    function fieldOf(row, role) {
        return SceneText.toInt(guns.get(row)[role], 0)
    }

    // Fire periods of the presets in gun slots 1..3 (the key matrix carries them).
    function assignedPeriods() {
        return slots().map(function(row) { return fieldOf(row, "gunPeriod") })
    }

    function sendData(k) {
        var row = slots()[k]
        ui_View.mouseSendGundata(k + 1, [fieldOf(row, "gunTimes"), fieldOf(row, "gunX"), fieldOf(row, "gunY")])
    }

    function saveData(row, all) {
        for (var r = all ? 0 : row; r <= (all ? rowCount - 1 : row); ++r) {
            var g = guns.get(r)
            ui_View.mouseSaveGundata(r, [g.gunName, g.gunKey, g.gunPeriod, g.gunX, g.gunY, g.gunTimes])
        }
        isSave = true
    }

    function showRow(row) {
        currentRow = row
        shownX = fieldOf(row, "gunX")
        shownY = fieldOf(row, "gunY")
        shownTimes = fieldOf(row, "gunTimes")
        shownPeriod = fieldOf(row, "gunPeriod")
        rateText = shownPeriod + "MS"
        rowShown()
    }

    // Only a value that changed is stored and marks the page for sending.
    function setField(role, value) {
        if (guns.get(currentRow)[role] === String(value))
            return
        guns.setProperty(currentRow, role, String(value))
        saveData(currentRow, false)
    }

    // A preset clicked: it goes into the slot shown in the drop-down.
    function chooseRow(row) {
        if (row < 0 || row >= rowCount || row === slots()[currentSlot])
            return
        if (currentSlot === 0)
            selectGun1 = row
        else if (currentSlot === 1)
            selectGun2 = row
        else
            selectGun3 = row
        ui_View.setGlobalData("mouse/selectGun", slots())
        isSave = true
        showRow(row)
    }

    function chooseSlot(k) {
        currentSlot = k
        showRow(slots()[k])
    }

    function setY(value) {
        shownY = SceneText.intIn(value, 0, Rules.maxAdjust, shownY)
        setField("gunY", shownY)
    }

    function setTimes(value) {
        shownTimes = SceneText.intIn(value, 0, maxTimes, shownTimes)
        setField("gunTimes", shownTimes)
    }

    // The period the rate header shows.
    function setPeriodText(text) {
        var period = Rules.periodOfText(text)
        if (period < 0)
            return
        shownPeriod = period
        setField("gunPeriod", period)
    }

    function closeAndSend() {
        close()
        if (!isSave)
            return
        isSave = false
        saveRequested()
    }

    // The three slots, then the key matrices that carry their fire periods.
    function sendAll() {
        for (var k = 0; k < 3; ++k)
            sendData(k)
        sendKeyMatrix()
    }

    bodySource: Qt.resolvedUrl("GunControlBody.qml")
}
