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

    function setField(role, value) {
        guns.setProperty(currentRow, role, String(value))
        saveData(currentRow, false)
    }

    // A preset clicked: it goes into the slot shown in the drop-down.
    function chooseRow(row) {
        if (row < 0 || row >= rowCount)
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
        for (var k = 0; k < 3; ++k)
            sendData(k)
        sendKeyMatrix()
    }

    body: Component {
        Item {
            id: body


            // A section title with a line under it.
            component Heading: Item {
                property alias text: headingText.text
                width: 304
                height: 24
                SceneLabel {
                    id: headingText
                    width: parent.width
                    height: 22
                    color: Skin.colorGray3
                }
                Rectangle {
                    y: 23
                    width: parent.width
                    height: 1
                    color: Skin.colorGray1
                }
            }

            component FieldBox: Rectangle {
                width: 56
                height: 20
                color: "transparent"
                border.color: Skin.colorGray2
                radius: 2
            }

            PanelHeader {
                icon: Skin.image("gun", "icon")
                title: page.gunControlLang[0]
                closeButton.objectName: "gunCloseButton"
                onCloseClicked: page.closeAndSend()
            }

            // ---- Presets ----
            SceneLabel {
                x: 16
                y: 48
                width: 288 - 112
                height: 24
                text: page.gunControlLang[2]
            }
            Column {
                x: 16
                y: 80
                Repeater {
                    model: guns
                    Item {
                        id: gunRow
                        required property int index
                        required property string gunName
                        objectName: "gunRow" + index
                        width: 288
                        height: 58
                        readonly property string slotText: [page.selectGun1, page.selectGun2, page.selectGun3]
                            .map(function(row, k) { return row === gunRow.index ? String(k + 1) : "" })
                            .filter(function(t) { return t !== "" }).join(" ")
                        Rectangle {
                            y: 1
                            width: parent.width
                            height: 56
                            radius: 2
                            color: gunRow.index === page.currentRow ? Skin.colorBlue
                                 : gunArea.containsMouse ? Skin.colorGray1 : "transparent"
                            border.color: gunRow.index === page.currentRow ? Skin.colorOrange : Skin.colorGray1
                        }
                        Image {
                            x: 8
                            anchors.verticalCenter: parent.verticalCenter
                            source: Skin.image("gun", gunRow.gunName)
                        }
                        SceneLabel {
                            x: 140
                            width: 100
                            height: parent.height
                            text: gunRow.gunName
                        }
                        // The slots that use this preset.
                        SceneLabel {
                            objectName: "gunSlots" + gunRow.index
                            x: 240
                            width: 40
                            height: parent.height
                            horizontalAlignment: Text.AlignRight
                            color: Skin.colorOrange
                            text: gunRow.slotText
                        }
                        MouseArea {
                            id: gunArea
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: page.chooseRow(gunRow.index)
                        }
                    }
                }
            }
            DropDownList {
                id: slotList
                objectName: "gunSlotList"
                x: 16 + 288 - 104
                y: 48
                z: 5
                width: 104
                mdItems: slotNames
                onValueChange: function(index) { page.chooseSlot(index) }
            }
            Binding {
                target: slotList
                property: "currentSelect"
                value: page.currentSlot
            }

            // ---- Cursor adjustment ----
            Heading {
                x: 320
                y: 48
                text: page.gunControlLang[3]
            }
            Image {
                id: target
                x: 336
                y: 78
                source: Skin.image("gun", "target")
            }
            Image {
                id: dot
                objectName: "gunDot"
                x: target.x + 64 - 6
                y: Rules.dotY(page.shownY)
                width: 12
                height: 12
                source: Skin.image("gun", "dot")

                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -4
                    preventStealing: true
                    property real pressY: 0
                    property real startY: 0
                    onPressed: function(mouse) {
                        pressY = mapToItem(body, 0, mouse.y).y
                        startY = dot.y
                    }
                    onPositionChanged: function(mouse) {
                        var y = startY + mapToItem(body, 0, mouse.y).y - pressY
                        dot.y = Math.max(Rules.dotY(0), Math.min(Rules.dotY(Rules.maxAdjust), y))
                        yInput.textValue = String(Rules.dotValue(dot.y))
                    }
                    onReleased: {
                        page.setY(Rules.dotValue(dot.y))
                        dot.y = Qt.binding(function() { return Rules.dotY(page.shownY) })
                        yInput.textValue = Qt.binding(function() { return String(page.shownY) })
                    }
                }
            }
            SceneLabel {
                x: 480
                y: 96
                width: 80
                height: 20
                text: page.gunControlLang[4]
            }
            FieldBox {
                x: 568
                y: 96
                RectInput {
                    objectName: "gunXInput"
                    anchors.fill: parent
                    maxValue: Rules.maxAdjust
                    txtInput.readOnly: true
                    textValue: String(page.shownX)
                }
            }
            SceneLabel {
                x: 480
                y: 136
                width: 80
                height: 20
                text: page.gunControlLang[5]
            }
            FieldBox {
                x: 568
                y: 136
                RectInput {
                    id: yInput
                    objectName: "gunYInput"
                    anchors.fill: parent
                    maxValue: Rules.maxAdjust
                    textValue: String(page.shownY)
                    onDebugmodeSignal: closeFocus()
                    onEndInputSignal: {
                        page.setY(textValue)
                        textValue = Qt.binding(function() { return String(page.shownY) })
                    }
                }
            }

            // ---- Fire adjustment ----
            Heading {
                x: 320
                y: 224
                text: page.gunControlLang[6]
            }
            SceneLabel {
                x: 336
                y: 256
                width: 136
                height: 24
                text: page.gunControlLang[7]
            }
            DropDownSlider {
                id: rateSlider
                objectName: "gunRateSlider"
                x: 480
                y: 256
                z: 5
                // A 104-pixel slider: 86 pixels of knob travel, one per period.
                width: 120
                textValue: page.rateText
                onValueChange: function(x) { page.rateText = Rules.rateText(x) }
                Component.onCompleted: setValue(Rules.rateRatio(page.shownPeriod))
                Connections {
                    target: rateSlider.sliderControl
                    function onValueChangeDelay(x) { page.setPeriodText(Rules.rateText(x)) }
                }
                Connections {
                    target: page
                    function onRowShown() { rateSlider.setValue(Rules.rateRatio(page.shownPeriod)) }
                }
            }
            SceneLabel {
                x: 336
                y: 312
                width: 136
                height: 24
                text: page.gunControlLang[8]
            }
            FieldBox {
                x: 480
                y: 314
                RectInput {
                    id: timesInput
                    objectName: "gunTimesInput"
                    anchors.fill: parent
                    maxValue: page.maxTimes
                    textValue: String(page.shownTimes)
                    onDebugmodeSignal: closeFocus()
                    onEndInputSignal: {
                        page.setTimes(textValue)
                        textValue = Qt.binding(function() { return String(page.shownTimes) })
                    }
                }
            }
            // Ticked while the preset fires without end (times 0); ticking it sets that.
            CheckBox {
                id: endless
                objectName: "gunEndlessCheck"
                x: 336
                y: 352
                textValue: page.gunControlLang[9]
                onBtnClick: if (!isSelect) page.setTimes(0)
                onIsSelectChanged: if (isSelect !== (page.shownTimes === 0)) isSelect = page.shownTimes === 0
            }
            Binding {
                target: endless
                property: "isSelect"
                value: page.shownTimes === 0
            }
        }
    }
}
