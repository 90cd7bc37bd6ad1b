// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
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

    // The controls are built the first time the panel shows (debug mode only): the window only
    // needs init() and the offsets it sets.
    Loader {
        id: rowsLoader
        x: 6
        y: 4
        active: false
        source: Qt.resolvedUrl("LayoutAdjustRows.qml")
    }
    onVisibleChanged: if (visible) rowsLoader.active = true
}
