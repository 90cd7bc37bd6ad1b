// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "SceneText.js" as SceneText
import "Lighting.js" as Lighting

// The lighting page: effect mode, speed, brightness and eight colours of the current profile.
// Changes stay on the page (isSave) until the main window's "Save" sends them: the mode, speed,
// brightness and selected colour block in parameter block 0, the colours in block 1.
Rectangle {
    id: page
    property bool isSave: false
    // The long mode list (set by the main window from the firmware family).
    property bool isModde9: false
    property bool isColorful: false
    property bool is55328: false
    // Stages the DPI page offers: a plain mouse has one colour per stage.
    property int dpiCount: 4
    property int lightMode: 1
    property int speedStep: 2
    property int brightnessStep: 4
    property int selectColorBlock: 0
    // The block last sent in parameter block 0 (the profile files do not keep it).
    property int sentColorBlock: 0
    // Mode and speed the mouse switched to by its own buttons since the profile's values were
    // read or stored (-1: none). A choice sent at once with the stored rest carries them, so
    // that it does not switch the mouse back.
    property int deviceMode: -1
    property int deviceSpeed: -1
    readonly property var colorValueBuiltIn: [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255,
                                              255, 127, 0, 96, 0, 255, 255, 255, 255]
    property var colorValue: colorValueBuiltIn
    readonly property var lightControlLangBuiltIn: ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color",
        "Brightness", "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight",
        "Breath Loop"]
    property var lightControlLang: lightControlLangBuiltIn
    property alias lightModel: lightModelList
    // The extra modes of the device are in the list (once per device).
    property bool modesAdded: false

    height: 280
    color: Skin.colorGray0
    border.color: Skin.colorGray1
    radius: 2

    ListModel { id: lightModelList }

    function init(isSendData, isRecovery) {
        // The list is built once, at the first start-up pass for a device: sending or a reset
        // only reads the values again.
        var texts = Lighting.modeTexts(isColorful, isModde9, is55328)
        if (!modesAdded && !isSendData && !isRecovery) {
            lightModelList.clear()
            for (var m = 0; m < texts.length; ++m)
                lightModelList.append({ textValue: "", textIndex: texts[m] })
            modesAdded = true
        } else if (lightModelList.count === 0) {
            for (m = 0; m < 4; ++m)
                lightModelList.append({ textValue: "", textIndex: texts[m] })
        }
        for (m = 0; m < lightModelList.count; ++m)
            lightModelList.setProperty(m, "textValue", String(lightControlLang[lightModelList.get(m).textIndex] || ""))

        deviceMode = -1
        deviceSpeed = -1
        var stored = storedState(isRecovery)
        lightMode = stored.values[0]
        speedStep = stored.values[1]
        brightnessStep = stored.values[2]
        colorValue = stored.colours
        selectColorBlock = 0
        showState()
    }

    // The profile's lighting as stored (isRecovery: its factory values), in the form saveData
    // returns: [mode, speed step, brightness step, colour block last sent] and the 24 colour
    // numbers. A damaged value falls back to the built-in one rather than to a mode or step the
    // page cannot show (it would go to the device as it is).
    function storedState(isRecovery) {
        var light = ui_View.getDataList("mouse/lightValue", isRecovery)
        var stored = ui_View.getDataList("mouse/colorValue", isRecovery)
        var colours = []
        for (var i = 0; i < 24; ++i)
            colours.push(inRange(stored[i], 255, colorValueBuiltIn[i]))
        var mode = !isRecovery && deviceMode >= 0 ? deviceMode : light[0]
        var speed = !isRecovery && deviceSpeed >= 0 ? deviceSpeed : light[1]
        return { values: [inRange(mode, lightModelList.count - 1, 1), inRange(speed, 4, 2),
                          inRange(light[2], 4, 4), sentColorBlock],
                 colours: colours }
    }

    function inRange(value, top, fallback) {
        var n = SceneText.toInt(value, -1)
        return n >= 0 && n <= top ? n : fallback
    }

    function saveData(isSendData, iscalldata0, iscalldata1) {
        ui_View.setDataList("mouse/lightValue", [lightMode, speedStep, brightnessStep])
        deviceMode = -1
        deviceSpeed = -1
        ui_View.setDataList("mouse/colorValue", colorValue)
        if (isSendData && iscalldata0) {
            sentColorBlock = selectColorBlock
            return [lightMode, speedStep, brightnessStep, selectColorBlock]
        }
        if (isSendData && iscalldata1)
            return colorValue.slice()
        return []
    }

    // Firmware reports: the device's own buttons changed the effect or its speed.
    function setLightMode(mode) {
        // A mode the list does not have would be stored and sent back as it is.
        var m = SceneText.toInt(mode, -1)
        if (m < 0 || m >= lightModelList.count)
            return
        lightMode = m
        deviceMode = m
        showState()
    }

    function setSpeedPosition(position) {
        var p = SceneText.toInt(position, -1)
        if (p < 0 || p > 4)
            return
        speedStep = p
        deviceSpeed = p
        showState()
    }

    // Another device: the mode list is built again for its capabilities.
    function reset() {
        isSave = false
        lightMode = 1
        speedStep = 2
        brightnessStep = 4
        selectColorBlock = 0
        sentColorBlock = 0
        colorValue = colorValueBuiltIn
        lightModelList.clear()
        modesAdded = false
        showState()
    }

    function closeMenu() {
        modeList.closeMenu()
    }


    function blockColour(k) {
        return Lighting.hexColour(colorValue[3 * k], colorValue[3 * k + 1], colorValue[3 * k + 2])
    }

    function setBlockColour(rgb) {
        var values = colorValue.slice()
        for (var c = 0; c < 3; ++c)
            values[3 * selectColorBlock + c] = Lighting.clampByte(rgb[c])
        if (values.join() === colorValue.join())
            return
        colorValue = values
        isSave = true
    }

    // A colour typed into R, G or B but not yet confirmed is settled and kept ("Save"), and
    // belongs to the block it was typed for, even when the next click (another block, the bar,
    // a mode) does not take the focus from the field.
    function commitInput() {
        redField.input.closeFocus()
        greenField.input.closeFocus()
        blueField.input.closeFocus()
    }

    // The controls follow the values (their own state is written only by the user).
    function showState() {
        modeList.currentSelect = lightMode
        speedRow.slider.setIndexValue(speedStep, false)
        brightnessRow.slider.setIndexValue(brightnessStep, false)
        showSelectedColour()
    }

    function showSelectedColour() {
        showFields()
        var k = 3 * selectColorBlock
        colourBar.position = Lighting.positionOf(colorValue[k], colorValue[k + 1], colorValue[k + 2], colourBar.width)
    }

    function showFields() {
        var k = 3 * selectColorBlock
        redField.input.textValue = String(colorValue[k])
        greenField.input.textValue = String(colorValue[k + 1])
        blueField.input.textValue = String(colorValue[k + 2])
    }

    function selectBlock(k) {
        commitInput()
        selectColorBlock = k
        showSelectedColour()
        isSave = true
    }

    function chooseMode(index) {
        commitInput()
        lightMode = index
        selectColorBlock = 0
        showState()
        isSave = true
    }

    function fieldsEdited() {
        var rgb = [redField.input.textValue, greenField.input.textValue, blueField.input.textValue].map(function(t) {
            return Lighting.clampByte(SceneText.toInt(t, 0))
        })
        setBlockColour(rgb)
        showSelectedColour()
    }

    function barMoved(position) {
        commitInput()
        colourBar.position = position
        setBlockColour(Lighting.colourAt(position, colourBar.width))
        showFields()
    }

    LightCaption {
        x: 8
        y: 8
        width: resetButton.x - 16
        text: page.lightControlLang[0]
        font.pixelSize: Skin.fontMiddleSize
    }

    // Back to the profile's factory values (the mode list stays as it is).
    Image {
        id: resetButton
        objectName: "lightResetButton"
        x: page.width - 8 - width
        y: 10
        width: 16
        height: 16
        source: Skin.image("index", resetArea.containsMouse ? "reset_hover" : "reset")
        MouseArea {
            id: resetArea
            anchors.fill: parent
            anchors.margins: -4
            hoverEnabled: true
            onClicked: {
                page.commitInput()
                page.init(false, true)
                page.isSave = true
            }
        }
    }

    LightStepSlider {
        id: speedRow
        x: 8
        y: 70
        objectName: "lightSpeed"
        title: page.lightControlLang[5]
        step: page.speedStep
        onReleased: function(step) {
            page.speedStep = step
            page.isSave = true
        }
    }

    LightStepSlider {
        id: brightnessRow
        x: 8
        y: 112
        objectName: "lightBrightness"
        title: page.lightControlLang[7]
        step: page.brightnessStep
        onReleased: function(step) {
            page.brightnessStep = step
            page.isSave = true
        }
    }

    LightCaption {
        x: 8
        y: 154
        width: 216
        text: page.lightControlLang[6]
    }

    // Colour blocks 1..8, each in its own place; the selected one is framed.
    Item {
        x: 10
        y: 176
        Repeater {
            model: 8
            Rectangle {
                id: block
                required property int index
                objectName: "lightBlock" + index
                x: 28 * index
                width: 20
                height: 20
                radius: 2
                visible: Lighting.blockVisible(index, page.is55328, page.lightMode, page.dpiCount, page.isColorful)
                color: page.colorValue.length === 24 ? page.blockColour(index) : "#000000"
                Text {
                    anchors.centerIn: parent
                    text: block.index + 1
                    // Dark digits on light colours.
                    color: block.color.hslLightness > 0.6 ? Skin.colorGray0 : Skin.fontColor
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontMinSize
                }
                Image {
                    x: -2
                    y: -2
                    visible: page.selectColorBlock === block.index
                    source: Skin.image("lightControl", "blockMark")
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: page.selectBlock(block.index)
                }
            }
        }
    }

    // The colour bar: a position gives a hue (or white at the right end).
    Item {
        id: colourBar
        objectName: "lightColourBar"
        property int position: 0
        x: Math.round((page.width - width) / 2)
        y: 214
        width: 194
        height: 10

        Image {
            anchors.fill: parent
            source: Skin.image("lightControl", "colorBar")
        }
        Image {
            x: colourBar.position - width / 2
            y: -3
            source: Skin.image("lightControl", "colorPointer")
        }
        MouseArea {
            anchors.fill: parent
            anchors.topMargin: -4
            anchors.bottomMargin: -4
            preventStealing: true
            function follow(mouse) {
                page.barMoved(Math.max(0, Math.min(colourBar.width - 1, Math.floor(mouse.x))))
            }
            onPressed: function(mouse) { follow(mouse) }
            onPositionChanged: function(mouse) { if (pressed) follow(mouse) }
        }
    }

    Row {
        x: 8
        y: 242
        spacing: 10
        LightChannelField { id: redField; name: "R"; input.objectName: "lightRedField"; onEdited: page.fieldsEdited() }
        LightChannelField { id: greenField; name: "G"; input.objectName: "lightGreenField"; onEdited: page.fieldsEdited() }
        LightChannelField { id: blueField; name: "B"; input.objectName: "lightBlueField"; onEdited: page.fieldsEdited() }
    }

    // The mode list last: its panel hangs over the controls below it, never past the page
    // (the bottom row's buttons are under it).
    DropDownList {
        id: modeList
        objectName: "lightModeList"
        x: 8
        y: 34
        width: 216
        z: 2
        maxRows: Math.floor((page.height - y - 24 - 4) / 24)
        mdItems: lightModelList
        currentSelect: page.lightMode
        onValueChange: function(index) { page.chooseMode(index) }
    }
}
