import QtQuick
import "../common"
import "SceneText.js" as SceneText

// Debug mode: fits the main window's layout to a device's skin. It moves the window's element
// groups (offsets of `target`, the main window), sizes the bottom buttons and sets the two
// accent colours; "保存" stores everything in the device-wide settings, which init() reads at
// start-up. Its labels are fixed texts.
Rectangle {
    id: page
    property var target: null
    property int mode_index: 0
    property int mouse_seg: 0

    readonly property var modeLabels: ["标题窗口", "标题图标", "鼠标窗口", "按键指示", "左边功能",
        "右边功能", "顶部按键", "底部按键"]
    // Per mode: the target's offset properties (without _X/_Y) and the key storing them.
    readonly property var modeOffsets: ["setTitleBar", "setTitleLogo", "setMouseMain", "setMouseMainSeg",
        "setLeftMain", "setRightMain", "setUpbtnMain", "setDnbtnMain"]
    readonly property var modeKeys: ["titlebarWindow", "titlelogoWindow", "mouseMain", "mouseindexMain",
        "leftMainWinodw", "rightMainWindow", "upbuttonMainWindow", "downbuttonMainWindow"]
    readonly property string defaultBlue: "#09347f"
    readonly property string defaultOrange: "#cf3e00"

    width: 250
    height: 130
    color: "#606060"

    // The target's properties stored under the key of a mode, in their stored order.
    function storedProperties(mode) {
        var names = []
        if (mode === 3) {
            for (var seg = 0; seg < 8; ++seg)
                names.push("setMouseMainSeg" + seg + "_X", "setMouseMainSeg" + seg + "_Y")
            return names
        }
        names.push(modeOffsets[mode] + "_X", modeOffsets[mode] + "_Y")
        if (mode === 7)
            names.push("setDnbtnWidget", "setDnbtnHeight")
        return names
    }

    // The X and Y offsets the fields move in the selected mode (and segment).
    function selectedProperties() {
        if (mode_index === 3)
            return ["setMouseMainSeg" + mouse_seg + "_X", "setMouseMainSeg" + mouse_seg + "_Y"]
        return storedProperties(mode_index).slice(0, 2)
    }

    function isColour(text) {
        return /^#([0-9a-fA-F]{3}|[0-9a-fA-F]{6}|[0-9a-fA-F]{8})$/.test(String(text))
    }

    // A stored list as an array of texts: a lone value is a list of one, a missing key empty.
    function storedList(value) {
        if (!SceneText.isSet(value))
            return []
        return typeof value === "string" ? [value] : value
    }

    // Every offset and both colours from the device-wide settings; missing or damaged values
    // give 0 and the usual colours, so another device never inherits the previous one's layout.
    function init() {
        for (var mode = 0; mode < 8; ++mode) {
            var names = storedProperties(mode)
            var stored = storedList(ui_View.getGlobalData("debugmode/" + modeKeys[mode]))
            for (var i = 0; i < names.length; ++i)
                target[names[i]] = i < stored.length ? SceneText.toInt(stored[i], 0) : 0
        }
        var blue = ui_View.getGlobalData("debugmode/colorbg")
        var orange = ui_View.getGlobalData("debugmode/colorinter")
        setColours(isColour(blue) ? String(blue) : defaultBlue, isColour(orange) ? String(orange) : defaultOrange)
    }

    function setColours(blue, orange) {
        target.colorBlue = blue
        target.colorOrange = orange
    }

    // false: store the ten keys; true: put the selected mode (segment) back to 0, unsaved.
    function save_adjustdata(isRecovery) {
        if (!isRecovery) {
            for (var mode = 0; mode < 8; ++mode) {
                var values = storedProperties(mode).map(function(name) { return target[name] })
                ui_View.setGlobalData("debugmode/" + modeKeys[mode], values)
            }
            ui_View.setGlobalData("debugmode/colorbg", String(target.colorBlue))
            ui_View.setGlobalData("debugmode/colorinter", String(target.colorOrange))
            return
        }
        var names = selectedProperties()
        target[names[0]] = 0
        target[names[1]] = 0
        if (mode_index === 7) {
            target.setDnbtnWidget = 0
            target.setDnbtnHeight = 0
            setColours(defaultBlue, defaultOrange)
        }
    }

    // Adds a field's value to one of the target's offsets.
    function addTo(name, field) {
        target[name] += SceneText.toInt(field.textValue, 0)
    }

    component Label: Text {
        height: 20
        verticalAlignment: Text.AlignVCenter
        color: "#ffffff"
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    component StepButton: SceneButton {
        width: 18
        height: 18
    }

    // A number field (-10..10, "1" at first) in a frame; Enter keeps the focus.
    component OffsetField: Rectangle {
        property alias field: input
        signal enter()
        width: 40
        height: 18
        color: "#505050"
        border.color: "#909090"
        RectInput {
            id: input
            objectName: parent.objectName + "Field"
            anchors.fill: parent
            minValue: -10
            maxValue: 10
            textValue: "1"
            onDebugmodeSignal: parent.enter()
        }
    }

    // A colour text field; Enter sets the colour once the text is one.
    component ColourField: Rectangle {
        property alias text: input.text
        signal enter(string text)
        width: 56
        height: 18
        color: "#505050"
        border.color: "#909090"
        TextInput {
            id: input
            anchors.fill: parent
            horizontalAlignment: TextInput.AlignHCenter
            verticalAlignment: TextInput.AlignVCenter
            maximumLength: 9
            selectByMouse: true
            clip: true
            color: "#ffffff"
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontMinSize
            validator: RegularExpressionValidator {
                regularExpression: /#([0-9a-fA-F]{3}|[0-9a-fA-F]{6}|[0-9a-fA-F]{8})/
            }
            onAccepted: parent.enter(text)
        }
    }

    // The controls are built the first time the panel shows (debug mode only): the window only
    // needs init() and the offsets it sets.
    Loader {
        id: rowsLoader
        x: 6
        y: 4
        active: false
        sourceComponent: rows
    }
    onVisibleChanged: if (visible) rowsLoader.active = true

    // Rows at fixed places: the mode 7 rows appear without waiting for a positioner.
    Component {
        id: rows
        Item {
            Row {
                spacing: 4
                Label { text: "模式:" }
                StepButton {
                    objectName: "layoutModePrev"
                    text: "<"
                    onClicked: page.mode_index = Math.max(0, page.mode_index - 1)
                }
                // Red on a dark strip, readable on the grey panel.
                Rectangle {
                    width: 64
                    height: 20
                    color: "#303030"
                    Label {
                        objectName: "layoutModeLabel"
                        anchors.fill: parent
                        horizontalAlignment: Text.AlignHCenter
                        text: page.modeLabels[page.mode_index]
                        color: "#ff3030"
                    }
                }
                StepButton {
                    objectName: "layoutModeNext"
                    text: ">"
                    onClicked: page.mode_index = Math.min(7, page.mode_index + 1)
                }
                Item {
                    width: 8
                    height: 1
                }
                StepButton {
                    objectName: "layoutSegPrev"
                    visible: page.mode_index === 3
                    text: "<"
                    onClicked: page.mouse_seg = Math.max(0, page.mouse_seg - 1)
                }
                Label {
                    visible: page.mode_index === 3
                    text: "第" + (page.mouse_seg + 1) + "段"
                }
                StepButton {
                    objectName: "layoutSegNext"
                    visible: page.mode_index === 3
                    text: ">"
                    onClicked: page.mouse_seg = Math.min(7, page.mouse_seg + 1)
                }
            }

            Row {
                y: 24
                spacing: 6
                Label {
                    width: 120
                    text: "X :  单次调整正负10"
                }
                OffsetField {
                    objectName: "layoutX"
                    anchors.verticalCenter: parent.verticalCenter
                    onEnter: page.addTo(page.selectedProperties()[0], field)
                }
                SceneButton {
                    objectName: "layoutSaveButton"
                    width: 66
                    height: 20
                    text: "保存"
                    onClicked: page.save_adjustdata(false)
                }
            }

            Row {
                y: 48
                spacing: 6
                Label {
                    width: 120
                    text: "Y :  单次调整正负10"
                }
                OffsetField {
                    objectName: "layoutY"
                    anchors.verticalCenter: parent.verticalCenter
                    onEnter: page.addTo(page.selectedProperties()[1], field)
                }
                SceneButton {
                    objectName: "layoutRestoreButton"
                    width: 66
                    height: 20
                    text: "恢复"
                    onClicked: page.save_adjustdata(true)
                }
            }

            Row {
                y: 72
                spacing: 6
                visible: page.mode_index === 7
                Label { text: "按键大小 :  宽度" }
                OffsetField {
                    objectName: "layoutWidth"
                    anchors.verticalCenter: parent.verticalCenter
                    onEnter: page.addTo("setDnbtnWidget", field)
                }
                Label { text: "高度" }
                OffsetField {
                    objectName: "layoutHeight"
                    anchors.verticalCenter: parent.verticalCenter
                    onEnter: page.addTo("setDnbtnHeight", field)
                }
            }

            Row {
                y: 96
                spacing: 6
                visible: page.mode_index === 7
                Label { text: "按键颜色 : 底色" }
                ColourField {
                    objectName: "layoutBlue"
                    anchors.verticalCenter: parent.verticalCenter
                    text: String(page.target.colorBlue)
                    onEnter: function(text) { page.target.colorBlue = text }
                }
                Label { text: "选中" }
                ColourField {
                    objectName: "layoutOrange"
                    anchors.verticalCenter: parent.verticalCenter
                    text: String(page.target.colorOrange)
                    onEnter: function(text) { page.target.colorOrange = text }
                }
            }
        }
    }
}
