// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "SceneText.js" as SceneText
import "DpiValues.js" as DpiValues

// The DPI page: the stages of the current profile, as vertical sliders or, when the main window
// shows the lift-off row (entryRows), as six rows of number fields. Changes stay on the page
// (isSave); the main window sends them in parameter block 1 and highlights the active stage
// (currentDPI) from the device's reports.
Rectangle {
    id: page
    property int currentDPI: 0
    property int dpiCount: 4
    property int currentDpiCount: 4
    property int minDPI: 200
    property int maxDPI: 6000
    property string sensorType: "3360"
    property int dpiBase: 50
    // The values as shown: on the slider grid in the slider form, as stored in the entry rows.
    property var dpiValueArray: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
    property bool isSave: false
    readonly property var dpiSettingLangBuiltIn: ["DPI", ""]
    property var dpiSettingLang: dpiSettingLangBuiltIn
    property bool entryRows: false
    // The values were set from outside the sliders and fields: they follow.
    signal placed()

    height: 250
    color: Skin.colorGray0
    border.color: Skin.colorGray1
    radius: 2

    ListModel { id: stageModel }
    onDpiCountChanged: fillStages()
    Component.onCompleted: fillStages()

    function fillStages() {
        stageModel.clear()
        for (var i = 1; i <= dpiCount; ++i)
            stageModel.append({ textValue: String(i) })
        stageList.currentSelect = currentDpiCount - 1
    }

    function init(isSendData, isRecovery) {
        if (!isRecovery) {
            var counts = storedCounts()
            dpiCount = counts.dpiCount
            currentDpiCount = counts.currentDpiCount
            stageList.currentSelect = currentDpiCount - 1
            minDPI = SceneText.toInt(ui_View.getGlobalData("mouse/minDPI"), minDPI)
            maxDPI = SceneText.toInt(ui_View.getGlobalData("mouse/maxDPI"), maxDPI)
            var sensor = ui_View.getGlobalData("mouse/sensorType")
            if (SceneText.isSet(sensor))
                sensorType = String(sensor)
            dpiBase = SceneText.toInt(ui_View.getGlobalData("mouse/dpiBase"), dpiBase)
        }
        dpiValueArray = storedValues(isRecovery)
        placed()
    }

    function storedCounts() {
        return DpiValues.stageCounts(ui_View.getData("mouse/dpiCount", false),
                                     ui_View.getData("mouse/currentDpiCount", false), dpiCount, currentDpiCount)
    }

    // The profile's stage values (isRecovery: its factory values) as the page shows them.
    function storedValues(isRecovery) {
        var stored = ui_View.getDataList("mouse/dpiValueArray", isRecovery)
        var values = dpiValueArray.slice()
        for (var i = 0; i < 8 && i < stored.length; ++i)
            values[i] = SceneText.toInt(stored[i], values[i])
        // A value off the slider grid is shown, and saved, as the grid value.
        if (!entryRows)
            values = values.map(function(v) { return DpiValues.gridValue(v, minDPI, maxDPI, dpiBase) })
        return values
    }

    // What the profile holds, in the form "Save" sends: the stages in use and eight values.
    function storedState() {
        var values = storedValues(false)
        return { count: storedCounts().currentDpiCount, values: entryRows ? entryForm(values) : values.slice(0, 8) }
    }

    function setValue(index, value) {
        if (dpiValueArray[index] === value)
            return false
        var values = dpiValueArray.slice()
        values[index] = value
        dpiValueArray = values
        return true
    }

    function sliderMoved(index, position) {
        setValue(index, DpiValues.valueAt(position, minDPI, maxDPI, dpiBase))
    }

    function setEntry(index, value) {
        if (setValue(index, value))
            isSave = true
        placed()
    }

    function chooseStageCount(index) {
        currentDpiCount = index + 1
        isSave = true
    }

    function resetValues() {
        init(false, true)
        isSave = true
    }

    function store(values) {
        ui_View.setDataList("mouse/dpiValueArray", values)
        ui_View.setData("mouse/currentDpiCount", currentDpiCount)
        return values
    }

    function saveData() {
        return store(dpiValueArray.slice(0, 8))
    }

    // The six entry rows, then the two stages the sensor keeps at 12000.
    function entryForm(values) {
        return values.slice(0, 6).concat([12000, 12000])
    }

    function saveData_3395() {
        return store(entryForm(dpiValueArray))
    }

    function reset() {
        currentDPI = 0
        dpiCount = 4
        currentDpiCount = 4
        stageList.currentSelect = 3
        dpiValueArray = [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
        isSave = false
        placed()
    }

    function openStageList() {
        stageList.isDrop = true
    }

    // A value typed into an entry row but not yet confirmed is settled and kept.
    function commitInput() {
        entries.closeFocus()
    }

    function closeMenu() {
        stageList.closeMenu()
        commitInput()
    }

    Text {
        x: 8
        y: 8
        height: 24
        verticalAlignment: Text.AlignVCenter
        text: page.dpiSettingLang[0]
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddleSize
    }

    Text {
        x: 48
        y: 8
        width: stageList.x - x - 8
        height: 24
        horizontalAlignment: Text.AlignRight
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
        text: page.dpiSettingLang[1] || ""
        color: Skin.colorGray3
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    DropDownList {
        id: stageList
        objectName: "dpiStageList"
        x: page.width - width - 36
        y: 8
        width: 56
        z: 3
        mdItems: stageModel
        count: stageModel.count
        currentSelect: page.currentDpiCount - 1
        onValueChange: function(index) { page.chooseStageCount(index) }
    }

    TitleButton {
        objectName: "dpiReset"
        x: page.width - width - 12
        y: 12
        icon: "reset"
        onClicked: page.resetValues()
    }

    // Slider form: one vertical slider per stage in use, its value under it.
    Row {
        id: sliders
        x: 8
        y: 40
        visible: !page.entryRows
        readonly property real pitch: (page.width - 16) / Math.max(1, page.currentDpiCount)
        // Only the form in use is built, with the stages in use.
        Repeater {
            model: page.entryRows ? 0 : page.currentDpiCount
            Item {
                id: stage
                required property int index
                readonly property bool active: index === page.currentDPI
                width: sliders.pitch
                height: 200

                // Turned upright: the slider's left end (its lowest value) is at the bottom.
                SliderButton {
                    id: slider
                    objectName: "dpiSlider" + stage.index
                    x: (stage.width - width) / 2
                    y: 88 - height / 2
                    width: 176
                    rotation: -90
                    colorS: stage.active ? Skin.colorOrange : Skin.colorBlue
                    onValueChange: function(x) { page.sliderMoved(stage.index, x) }
                    onValueChangeDelay: page.isSave = true
                    function place() { setValue(DpiValues.positionOf(page.dpiValueArray[stage.index], page.minDPI, page.maxDPI)) }
                    Component.onCompleted: place()
                    Connections {
                        target: page
                        function onPlaced() { slider.place() }
                    }
                }
                Text {
                    objectName: "dpiValue" + stage.index
                    y: 182
                    width: stage.width
                    horizontalAlignment: Text.AlignHCenter
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 8
                    text: page.dpiValueArray[stage.index]
                    color: stage.active ? Skin.colorOrange : Skin.fontColor
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontMinSize
                }
            }
        }
    }

    // Entry form: six rows with "-", the value and "+".
    Column {
        id: entries
        x: 8
        y: 44
        spacing: 6
        visible: page.entryRows

        function closeFocus() {
            for (var i = 0; i < entryRepeater.count; ++i)
                entryRepeater.itemAt(i).closeFocus()
        }

        Repeater {
            id: entryRepeater
            model: page.entryRows ? 6 : 0
            Item {
                id: row
                required property int index
                readonly property int value: page.dpiValueArray[index]
                width: page.width - 16
                height: 26

                function closeFocus() { field.closeFocus() }

                Text {
                    x: 8
                    width: 88
                    height: parent.height
                    verticalAlignment: Text.AlignVCenter
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 8
                    text: page.dpiSettingLang[0] + " " + (row.index + 1)
                    color: row.index === page.currentDPI ? Skin.colorOrange
                                                         : row.index < page.currentDpiCount ? Skin.fontColor : Skin.colorGray2
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormalSize
                }
                Image {
                    objectName: "dpiMinus" + row.index
                    x: 104
                    anchors.verticalCenter: parent.verticalCenter
                    source: Skin.image("dpiSetting", minusArea.containsMouse ? "minus_hover" : "minus")
                    MouseArea {
                        id: minusArea
                        anchors.fill: parent
                        anchors.margins: -4
                        hoverEnabled: true
                        onClicked: page.setEntry(row.index, DpiValues.stepDown(row.value))
                    }
                }
                Rectangle {
                    x: 128
                    width: 64
                    height: parent.height
                    color: "transparent"
                    border.color: Skin.colorGray1
                    radius: 2
                    RectInput {
                        id: field
                        objectName: "dpiEntry" + row.index
                        anchors.centerIn: parent
                        minValue: 200
                        maxValue: DpiValues.entryMax
                        textValue: String(row.value)
                        onEndInputSignal: page.setEntry(row.index, DpiValues.settleEntry(textValue))
                        Connections {
                            target: page
                            function onPlaced() { field.textValue = String(row.value) }
                        }
                    }
                }
                Image {
                    objectName: "dpiPlus" + row.index
                    x: 200
                    anchors.verticalCenter: parent.verticalCenter
                    source: Skin.image("dpiSetting", plusArea.containsMouse ? "plus_hover" : "plus")
                    MouseArea {
                        id: plusArea
                        anchors.fill: parent
                        anchors.margins: -4
                        hoverEnabled: true
                        onClicked: page.setEntry(row.index, DpiValues.stepUp(row.value))
                    }
                }
            }
        }
    }
}
