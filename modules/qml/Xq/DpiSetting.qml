import QtQuick
import "SceneText.js" as SceneText

// The DPI page: the stages of the current profile. The main window sends them in parameter
// block 1 and highlights the active stage from the device's reports.
Rectangle {
    id: page
    property int currentDPI: 0
    property int dpiCount: 4
    property int currentDpiCount: 4
    property int minDPI: 200
    property int maxDPI: 6000
    property string sensorType: "3360"
    property int dpiBase: 50
    property var dpiValueArray: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
    property bool isSave: false
    readonly property var dpiSettingLangBuiltIn: ["DPI", "", "", "", ""]
    property var dpiSettingLang: dpiSettingLangBuiltIn
    // Entry rows instead of sliders (the lift-off row is shown).
    property bool entryRows: false

    height: 250
    color: Skin.colorGray0
    border.color: Skin.colorGray1
    radius: 2

    function init(isSendData, isRecovery) {
        if (!isRecovery) {
            dpiCount = SceneText.toInt(ui_View.getData("mouse/dpiCount", false), dpiCount)
            currentDpiCount = SceneText.toInt(ui_View.getData("mouse/currentDpiCount", false), currentDpiCount)
            minDPI = SceneText.toInt(ui_View.getGlobalData("mouse/minDPI"), minDPI)
            maxDPI = SceneText.toInt(ui_View.getGlobalData("mouse/maxDPI"), maxDPI)
            var sensor = ui_View.getGlobalData("mouse/sensorType")
            if (SceneText.isSet(sensor))
                sensorType = String(sensor)
            dpiBase = SceneText.toInt(ui_View.getGlobalData("mouse/dpiBase"), dpiBase)
        }
        var stored = ui_View.getDataList("mouse/dpiValueArray", isRecovery)
        var values = dpiValueArray.slice()
        for (var i = 0; i < 8 && i < stored.length; ++i)
            values[i] = SceneText.toInt(stored[i], values[i])
        dpiValueArray = values
    }

    function store(values) {
        ui_View.setDataList("mouse/dpiValueArray", values)
        ui_View.setData("mouse/currentDpiCount", currentDpiCount)
        return values
    }

    function saveData() {
        return store(dpiValueArray.slice(0, 8))
    }

    function saveData_3395() {
        return store(dpiValueArray.slice(0, 6).concat([12000, 12000]))
    }

    function reset() {
        currentDPI = 0
        dpiCount = 4
        currentDpiCount = 4
        dpiValueArray = [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
        isSave = false
    }

    function closeMenu() {
    }

    Text {
        x: 8
        y: 8
        text: page.dpiSettingLang[0]
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddleSize
    }

    Column {
        x: 8
        y: 36
        spacing: 2
        Repeater {
            model: page.currentDpiCount
            Rectangle {
                required property int index
                width: page.width - 16
                height: 22
                color: index === page.currentDPI ? Skin.colorOrange : Skin.colorGray1
                Text {
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: "DPI " + (index + 1) + "   " + page.dpiValueArray[index]
                    color: Skin.fontColor
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormalSize
                }
            }
        }
    }
}
