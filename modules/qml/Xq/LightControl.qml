import QtQuick
import "SceneText.js" as SceneText

// The lighting page: mode, speed, brightness and eight colours of the current profile.
Rectangle {
    id: page
    property bool isSave: false
    property bool isModde9: false
    property bool isColorful: false
    property bool is55328: false
    property int dpiCount: 4
    property int lightMode: 1
    property int speedStep: 2
    property int brightnessStep: 4
    property int selectColorBlock: 0
    property var colorValue: [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 127, 0,
                              96, 0, 255, 255, 255, 255]
    readonly property var lightControlLangBuiltIn: ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color",
        "Brightness", "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight",
        "Breath Loop"]
    property var lightControlLang: lightControlLangBuiltIn
    property alias lightModel: lightModelList

    height: 280
    color: Skin.colorGray0
    border.color: Skin.colorGray1
    radius: 2

    ListModel { id: lightModelList }

    function init(isSendData, isRecovery) {
        var light = ui_View.getDataList("mouse/lightValue", isRecovery)
        if (light.length >= 3) {
            lightMode = SceneText.toInt(light[0], lightMode)
            speedStep = SceneText.toInt(light[1], speedStep)
            brightnessStep = SceneText.toInt(light[2], brightnessStep)
        }
        var colours = ui_View.getDataList("mouse/colorValue", isRecovery)
        var values = colorValue.slice()
        for (var i = 0; i < 24 && i < colours.length; ++i)
            values[i] = SceneText.toInt(colours[i], values[i])
        colorValue = values
        selectColorBlock = 0
    }

    function saveData(isSendData, iscalldata0, iscalldata1) {
        ui_View.setDataList("mouse/lightValue", [lightMode, speedStep, brightnessStep])
        ui_View.setDataList("mouse/colorValue", colorValue)
        if (!isSendData)
            return []
        if (iscalldata0)
            return [lightMode, speedStep, brightnessStep, selectColorBlock]
        if (iscalldata1)
            return colorValue.slice()
        return []
    }

    function setLightMode(mode) {
        lightMode = mode
    }

    function setSpeedPosition(position) {
        speedStep = position
    }

    function reset() {
        isSave = false
        lightMode = 1
        speedStep = 2
        brightnessStep = 4
        selectColorBlock = 0
        lightModelList.clear()
    }

    function closeMenu() {
    }

    Text {
        x: 8
        y: 8
        text: page.lightControlLang[0]
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddleSize
    }
}
