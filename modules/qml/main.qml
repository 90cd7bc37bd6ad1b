// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "Xq"
import "Xq/ParameterBlocks.js" as Blocks
import "Xq/SceneText.js" as SceneText

// The program's window: a 1024 x 640 design scaled for wide screens, framing the device pages.
// Native code calls initUI, run, detectKeyboard, detectMouse, setProtectUI, syncFwReport and
// setScreenChange by name; the scene reaches the backend through ui_View, ui_Ctl and hid only
// from functions and handlers that run after loading.
Item {
    id: root

    property real screenRate: 1.0
    width: 1024 * screenRate
    height: 640 * screenRate
    visible: false

    readonly property var mainLangBuiltIn: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config",
        "Reset", "Reset factory setting", "Cancel", "OK", "System setting", "Save", "", "", "", ""]
    property var mainLang: mainLangBuiltIn
    // How a save went: "Saved", or what the mouse did not keep (SceneText.saveOutcomeText).
    readonly property var savedLangBuiltIn: ["Saved", "Not kept by the mouse:", "report rate", "DPI stage",
        "light mode", "light speed", "stored profile", "The mouse did not answer", "Sent; this mouse cannot confirm it"]
    property var savedLang: savedLangBuiltIn
    property string language: "ChineseSimplified"
    property string url: ""

    // Device capabilities, read when the scene is set up for a device.
    property bool isColorful: false
    property bool isGun: true
    property string icType: "553"
    property bool is55328: false
    property bool isPownOn: false
    property bool isDebugEnable: false
    // Settings folder of the device the scene was set up for: another device gets a fresh set-up.
    property string sceneFolder: ""
    // The sensor decides whether the lift-off row (and the DPI entry rows) are shown.
    property string sensorType: ""

    // The look shared by every page lives in Skin; these are the window's names for it.
    property int skin_No: Skin.skin_No
    readonly property string fontFamily: Skin.fontFamily
    readonly property int fontNormalSize: Skin.fontNormalSize
    readonly property int fontMaxSize: Skin.fontMaxSize
    readonly property int fontMiddleSize: Skin.fontMiddleSize
    readonly property int fontMinSize: Skin.fontMinSize
    readonly property color fontColor: Skin.fontColor
    readonly property color colorGray0: Skin.colorGray0
    readonly property color colorGray1: Skin.colorGray1
    readonly property color colorGray2: Skin.colorGray2
    readonly property color colorGray3: Skin.colorGray3
    readonly property color colorBlack: Skin.colorBlack
    // The layout adjustment panel sets these two; every page follows through Skin.
    property color colorBlue: Skin.colorBlue
    property color colorOrange: Skin.colorOrange
    onColorBlueChanged: Skin.colorBlue = colorBlue
    onColorOrangeChanged: Skin.colorOrange = colorOrange
    onIsDebugEnableChanged: Skin.isDebugEnable = isDebugEnable
    // Pictures at twice their design size only while the window is drawn larger than designed.
    readonly property bool hiDpi: screenRate > 1 || Screen.devicePixelRatio > 1
    onHiDpiChanged: Skin.hiDpi = hiDpi
    Component.onCompleted: Skin.hiDpi = hiDpi

    // Layout offsets of the layout adjustment panel.
    property int setTitleBar_X: 0
    property int setTitleBar_Y: 0
    property int setTitleLogo_X: 0
    property int setTitleLogo_Y: 0
    property int setMouseMain_X: 0
    property int setMouseMain_Y: 0
    property int setLeftMain_X: 0
    property int setLeftMain_Y: 0
    property int setRightMain_X: 0
    property int setRightMain_Y: 0
    property int setUpbtnMain_X: 0
    property int setUpbtnMain_Y: 0
    property int setDnbtnMain_X: 0
    property int setDnbtnMain_Y: 0
    property int setDnbtnWidget: 0
    property int setDnbtnHeight: 0
    // The eight hot spots of the mouse picture.
    property int setMouseMainSeg0_X: 0
    property int setMouseMainSeg0_Y: 0
    property int setMouseMainSeg1_X: 0
    property int setMouseMainSeg1_Y: 0
    property int setMouseMainSeg2_X: 0
    property int setMouseMainSeg2_Y: 0
    property int setMouseMainSeg3_X: 0
    property int setMouseMainSeg3_Y: 0
    property int setMouseMainSeg4_X: 0
    property int setMouseMainSeg4_Y: 0
    property int setMouseMainSeg5_X: 0
    property int setMouseMainSeg5_Y: 0
    property int setMouseMainSeg6_X: 0
    property int setMouseMainSeg6_Y: 0
    property int setMouseMainSeg7_X: 0
    property int setMouseMainSeg7_Y: 0

    // The slot of the profile in use (mouse/profileNo).
    property int currentProfileNo: 0
    // Macro names of the device, as the macro editor keeps them; the key assignment offers them.
    property var macroNames: []
    readonly property bool isUkrainian: language === "Ukrainian"
    // The lift-off row's own flag: its `visible` also reads false while the window is still hidden.
    readonly property bool lodVisible: sensorType === "3395"
    // The window's content (MainLayout.qml): built once a device has connected, while the
    // power-on picture shows, and null until then. Native calls that need it wait for it (initUI,
    // the lock's first release) or, for firmware reports and key capture, have nothing to update.
    readonly property Item layout: background.status === Loader.Ready ? background.item : null
    readonly property Item mouseMain: layout ? layout.mouseMain : null
    readonly property Item keyMatrixMain: layout ? layout.keyMatrixMain : null
    readonly property Item dpiSettingMain: layout ? layout.dpiSettingMain : null
    readonly property Item lightControlMain: layout ? layout.lightControlMain : null
    readonly property Item reportRateList: layout ? layout.reportRateList : null
    readonly property Item lodList: layout ? layout.lodList : null
    readonly property Item profileList: layout ? layout.profileList : null
    readonly property Item keyAssigmentMain: layout ? layout.keyAssigmentMain : null
    readonly property Item profileMain: layout ? layout.profileMain : null
    readonly property Item macroEditorMain: layout ? layout.macroEditorMain : null
    readonly property Item gunControlMain: layout ? layout.gunControlMain : null
    readonly property Item systemSettingMain: layout ? layout.systemSettingMain : null
    readonly property Item resetDialog: layout ? layout.resetDialog : null
    readonly property Item helpMenu: layout ? layout.helpMenu : null
    readonly property Item layoutAdjustMain: layout ? layout.layoutAdjustMain : null
    readonly property QtObject keyCodeNames: layout ? layout.keyCodeNames : null
    // The lift-off row's entry (mouse/lod - 1); its list exists only while the row is shown.
    property int lodIndex: 0
    property bool initPending: false
    property bool revealPending: false
    // Unsaved: a page's changes, or a save the mouse did not keep.
    readonly property bool isSaveNeeded: !!layout && (keyMatrixMain.isSave || dpiSettingMain.isSave || lightControlMain.isSave
                                                      || ui_View.saveNotKept)
    readonly property bool dialogOpen: !!layout && layout.dialogOpen

    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int buttonCode, int x, int y)

    // ---- Called by native code ---------------------------------------------------------------

    function initUI() {
        setProtectUI(1000)
        root.visible = true
        background.active = true
        if (!layout) {
            initPending = true
            return
        }
        setUpForDevice()
    }

    // Steps of initUI that need the pages.
    function setUpForDevice() {
        var folder = String(ui_View.deviceFolder)
        var firstCall = !isPownOn || folder !== sceneFolder
        if (firstCall) {
            if (isPownOn)
                resetPages()
            readDevice()
        }
        initPages(firstCall)
        // Every connect brings the pages in line with the device's own state.
        hid.hid553_80H_SyncData()
        sceneFolder = folder
        isPownOn = true
    }

    function run() {
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(isDown, usbCode)
    }

    function detectMouse(isDown, buttonCode, x, y) {
        msg_MS(isDown, buttonCode, x, y)
    }

    // The busy lock: the view takes no input until the interval has passed (0: released at once).
    function setProtectUI(interval) {
        controlUIEnable(false)
        lockTimer.stop()
        var ms = Number(interval)
        if (!(ms > 0)) {
            releaseLock()
            return
        }
        lockTimer.interval = ms
        lockTimer.start()
    }

    function setScreenChange(screenValue) {
        var w = Number(screenValue)
        screenRate = w > 1920 ? w / 1920 : 1.0
        ui_Ctl.reSizeWinodws(Math.floor(root.width), Math.floor(root.height))
    }

    // Firmware reports set the pages' state; nothing is sent back.
    function syncFwReport(type, reportRate, dpi, lightMode, speed) {
        if (!layout)
            return
        var t = Number(type)
        if (t === 2 || t === 255) {
            var entry = Blocks.rateIndex(reportRate)
            if (entry >= 0)
                reportRateList.currentSelect = entry
        }
        if (t === 3 || t === 255) {
            // A stage the page does not show would be stored and sent back as it is.
            var stage = Number(dpi) - 1
            if (stage >= 0 && stage < dpiSettingMain.currentDpiCount)
                dpiSettingMain.currentDPI = stage
        }
        if (t === 4 || t === 255)
            lightControlMain.setLightMode(Blocks.lightModeIndex(lightMode))
        if (t === 5 || t === 255) {
            var position = Blocks.speedPosition(speed)
            if (position >= 0)
                lightControlMain.setSpeedPosition(position)
        }
    }

    // ---- Used inside the scene ---------------------------------------------------------------

    function controlUIEnable(isEnable) {
        busyText.visible = !isEnable
        ui_View.setEnabled(isEnable)
    }

    function mainFocus() {
        if (!layout)
            return
        reportRateList.closeMenu()
        if (lodList)
            lodList.closeMenu()
        profileList.closeMenu()
        dpiSettingMain.closeMenu()
        lightControlMain.closeMenu()
        helpMenu.visible = false
    }

    function askMenuCmd(cmd) {
        if (Number(cmd) === 0 && url !== "")
            Qt.openUrlExternally(url)
    }

    function layoutLoaded() {
        if (initPending) {
            initPending = false
            setUpForDevice()
        }
        if (revealPending) {
            revealPending = false
            revealWindow()
        }
    }

    function releaseLock() {
        controlUIEnable(true)
        if (!powerOn.visible)
            return
        // The power-on picture stays until there is a window to show in its place.
        if (layout)
            revealWindow()
        else
            revealPending = true
    }

    // The first release of the lock: the window takes the power-on picture's place.
    function revealWindow() {
        powerOn.visible = false
        // Shown once per run: its picture is let go.
        powerOn.source = ""
        background.visible = true
        isDebugEnable = SceneText.toBool(ui_View.getGlobalData("debugmode/isEnable"))
    }

    // Capabilities, language and the device's active profile: once per device.
    function readDevice() {
        isColorful = SceneText.toBool(ui_View.getGlobalData("mouse/isColorful"))
        var ic = ui_View.getGlobalData("mouse/icType")
        icType = SceneText.isSet(ic) ? String(ic) : "553"
        is55328 = SceneText.toBool(ui_View.getGlobalData("mouse/is55328"))
        isGun = SceneText.toBool(ui_View.getGlobalData("mouse/isGun"))
        mouseMain.keyCount = SceneText.toInt(ui_View.getGlobalData("mouse/keyCount"), 8)
        var lang = ui_View.getGlobalData("common/language")
        language = SceneText.isSet(lang) ? String(lang) : "ChineseSimplified"
        Skin.chinese = language === "ChineseSimplified"
        var link = ui_View.getGlobalData("common/url")
        url = SceneText.isSet(link) ? String(link) : ""
        lightControlMain.isModde9 = icType !== "553" && icType !== "571"

        if (icType === "560" && Number(ui_View.mouseReadCurrentProfile()) !== 1)
            hid.hid560_02H_SetCurrentProfile(1)

        mainLang = texts("main", mainLangBuiltIn)
        savedLang = texts("saved", savedLangBuiltIn)
        keyMatrixMain.keyMatrixLang = texts("keyMatrix", keyMatrixMain.keyMatrixLangBuiltIn)
        keyAssigmentMain.keyAssigmentLang = texts("keyAssigment", keyAssigmentMain.keyAssigmentLangBuiltIn)
        dpiSettingMain.dpiSettingLang = texts("dpiSetting", dpiSettingMain.dpiSettingLangBuiltIn)
        lightControlMain.lightControlLang = texts("lightControl", lightControlMain.lightControlLangBuiltIn)
        macroEditorMain.macroEditorLang = texts("macroEditor", macroEditorMain.macroEditorLangBuiltIn)
        systemSettingMain.systemSettingLang = texts("systemSetting", systemSettingMain.systemSettingLangBuiltIn)
        gunControlMain.gunControlLang = texts("gunControl", gunControlMain.gunControlLangBuiltIn)
        profileMain.profileLang = texts("profile", profileMain.profileLangBuiltIn)
        keyCodeNames.keyCodeStr = texts("keyCode", keyCodeNames.keyCodeStrBuiltIn)
        ui_View.getLangStrings("other", language)
    }

    function texts(group, builtIn) {
        return SceneText.mergeTexts(builtIn, ui_View.getLangStrings(group, language))
    }

    // Every page from the current profile; firstCall also sets up what is read once per device.
    function initPages(firstCall) {
        var sensor = ui_View.getGlobalData("mouse/sensorType")
        sensorType = SceneText.isSet(sensor) ? String(sensor) : ""
        currentProfileNo = validSlot(ui_View.getGlobalData("mouse/profileNo"))
        profileMain.profileNo = currentProfileNo
        profileMain.init()
        profileList.selectSlot(currentProfileNo)
        // Every profile setting is read after this, from the profile in use.
        ui_View.setCurrentProfile(currentProfileNo)
        initReportRate()
        macroEditorMain.init()
        gunControlMain.init()
        keyAssigmentMain.init()
        keyMatrixMain.init(false, false)
        dpiSettingMain.init(false, false)
        lightControlMain.init(false, false)
        systemSettingMain.init(false, false)
        initLod()
        clearSaveFlags()
        if (firstCall)
            layoutAdjustMain.init()
    }

    // A different device: the pages start from scratch, as at program start.
    function resetPages() {
        keyMatrixMain.reset()
        dpiSettingMain.reset()
        lightControlMain.reset()
        keyAssigmentMain.close()
        profileMain.close()
        macroEditorMain.close()
        gunControlMain.close()
        systemSettingMain.close()
        resetDialog.close()
        helpMenu.visible = false
    }

    function validSlot(value) {
        var slot = SceneText.toInt(value, 0)
        return slot >= 0 && slot <= 9 ? slot : 0
    }

    function initReportRate() {
        var entry = SceneText.toInt(ui_View.getData("mouse/reportRate", false), -1)
        // A damaged value shows the usual 1000 Hz rather than nothing.
        reportRateList.currentSelect = entry >= 0 && entry < 4 ? entry : 3
    }

    function initLod() {
        var lod = SceneText.toInt(ui_View.getData("mouse/lod", false), 1)
        lodIndex = lod === 2 ? 1 : 0
        if (lodList)
            lodList.currentSelect = lodIndex
    }

    // The two blocks are built from the pages, which store what they hand over. A choice that
    // goes to the device at once (report rate, lift-off, a deleted macro's buttons) builds them
    // with `stored` instead: its own value and the rest as the profile holds it, so that edits
    // waiting for "Save" are neither stored nor sent by it.
    function o_saveData0(stored) {
        var light = stored ? lightControlMain.storedState(false).values : lightControlMain.saveData(true, true, false)
        var block = Blocks.block0(reportRateList.currentSelect, dpiSettingMain.currentDPI,
                                  light[0], light[2], light[1], light[3])
        ui_View.mouseSetParameter_0(block, currentProfileNo)
    }

    // pageKeys: buttons taken from the page even when `stored` is set.
    function o_saveData1(mask, stored, pageKeys) {
        var dpi = stored ? dpiSettingMain.storedState()
                         : { count: dpiSettingMain.currentDpiCount,
                             values: lodVisible ? dpiSettingMain.saveData_3395() : dpiSettingMain.saveData() }
        var colours = stored ? lightControlMain.storedState(false).colours : lightControlMain.saveData(true, false, true)
        var keys = stored ? keyMatrixMain.storedKeys(pageKeys) : keyMatrixMain.modKeys.saveData()
        ui_View.mouseSetParameter_1(Blocks.block1(lodIndex + 1, dpi.count, dpi.values, colours, keys), mask)
    }

    function clearSaveFlags() {
        keyMatrixMain.isSave = false
        dpiSettingMain.isSave = false
        lightControlMain.isSave = false
    }

    // What a save the mouse did not keep sent goes again with the next one (ui_View.beginSave),
    // so "Save" also runs for that alone.
    function saveAll() {
        dpiSettingMain.commitInput()
        lightControlMain.commitInput()
        var keys = keyMatrixMain.isSave, dpi = dpiSettingMain.isSave, light = lightControlMain.isSave
        var outcome = null
        if (keys || dpi || light || ui_View.saveNotKept) {
            controlUIEnable(false)
            ui_View.beginSave()
            if (light)
                o_saveData0()
            clearSaveFlags()
            if (keys || dpi || light)
                o_saveData1((dpi ? 1 : 0) + (light ? 2 : 0) + (keys ? 4 : 0))
            outcome = endSave()
        }
        controlUIEnable(true)
        return outcome
    }

    // Ends a save that began with ui_View.beginSave: the mouse is asked what it kept, and the
    // window says so beside "Save". Returns the outcome (see myQQuickView::endSave).
    function endSave() {
        var outcome = ui_View.endSave()
        showSaveOutcome(outcome)
        return outcome
    }

    function showSaveOutcome(outcome) {
        if (outcome.result !== "nothing" && layout)
            layout.saveNotice.show(SceneText.saveOutcomeText(outcome, savedLang),
                                   outcome.result === "notKept" || outcome.result === "noAnswer")
    }

    // The profile's settings go to the device again after a switch or a reset; the pages then
    // show what is stored and sent, with nothing left to save.
    function sendProfile() {
        keyMatrixMain.init(true, false)
        initReportRate()
        dpiSettingMain.init(true, false)
        lightControlMain.init(true, false)
        initLod()
        clearSaveFlags()
        o_saveData0()
        o_saveData1(7)
    }

    function sendGunMatrices() {
        if (!isGun)
            return
        ui_View.mouseSwitchKeyMatrix(1)
        ui_View.mouseResetKeyMatrix()
    }

    function changeProfile(slot) {
        var n = Number(slot)
        if (n === currentProfileNo || n < 0 || n > 9)
            return
        controlUIEnable(false)
        currentProfileNo = n
        profileMain.profileNo = n
        profileList.selectSlot(n)
        ui_View.setGlobalData("mouse/profileNo", n)
        ui_View.setCurrentProfile(n)
        ui_View.beginSave()
        applyProfile()
        endSave()
        controlUIEnable(true)
    }

    // The profile in use goes to the device whole, the pointer settings to the desktop.
    function applyProfile() {
        sendProfile()
        systemSettingMain.init(true, false)
        sendGunMatrices()
    }

    // The report-rate and lift-off rows send their choice at once.
    function chooseReportRate(index) {
        reportRateList.currentSelect = index
        ui_View.setData("mouse/reportRate", index)
        ui_View.beginSave()
        o_saveData0(true)
        endSave()
    }

    function chooseLod(index) {
        lodIndex = index
        if (lodList)
            lodList.currentSelect = index
        ui_View.setData("mouse/lod", index + 1)
        ui_View.beginSave()
        o_saveData1(1, true)
        endSave()
    }

    function factoryReset() {
        controlUIEnable(false)
        resetDialog.close()
        ui_View.resetProfile(currentProfileNo)
        dpiSettingMain.currentDPI = 1
        ui_View.beginSave()
        sendProfile()
        // The system page shows the reset profile without changing the desktop: its next change
        // would otherwise store the old values of the other two settings back into the profile.
        systemSettingMain.init(false, false)
        sendGunMatrices()
        gunControlMain.resetData()
        endSave()
        controlUIEnable(true)
    }

    // Buttons that run a macro the editor deleted go back to their saved definition.
    function macroDeleted(name) {
        var restored = []
        for (var i = 0; i < keyMatrixMain.modKeys.count; ++i) {
            var key = keyMatrixMain.modKeys.get(i)
            if (key.keyCode0 !== 4 || String(ui_View.getData("mouseMacroKey/" + key.keyCode2, false)) !== name)
                continue
            var saved = keyMatrixMain.modKeys_tmp.get(i)
            keyMatrixMain.modKeys.set(i, { keyCode0: saved.keyCode0, keyCode1: saved.keyCode1,
                                           keyCode2: saved.keyCode2, keyCode3: saved.keyCode3,
                                           keyText: saved.keyText })
            restored.push(i)
        }
        if (restored.length > 0) {
            keyAssigmentMain.refresh()
            o_saveData1(4, true, restored)
        }
        ui_View.deleteMacroUpdateProfile(name)
    }

    // The macro file is renamed first: a name the store refuses leaves the buttons as they were.
    function macroRenamed(oldName, newName) {
        var using = []
        for (var i = 0; i < keyMatrixMain.modKeys.count; ++i) {
            var key = keyMatrixMain.modKeys.get(i)
            if (key.keyCode0 === 4 && String(ui_View.getData("mouseMacroKey/" + key.keyCode2, false)) === oldName)
                using.push(i)
        }
        if (!ui_View.modifyMacroNameUpdateProfile(oldName, newName))
            return
        for (var j = 0; j < using.length; ++j) {
            ui_View.setData("mouseMacroKey/" + keyMatrixMain.modKeys.get(using[j]).keyCode2, newName)
            keyMatrixMain.modKeys.setProperty(using[j], "keyText", newName)
        }
    }

    function macroChanged(name) {
        for (var i = 0; i < keyMatrixMain.modKeys.count; ++i) {
            var key = keyMatrixMain.modKeys.get(i)
            if (key.keyCode0 === 4 && String(ui_View.getData("mouseMacroKey/" + key.keyCode2, false)) === name)
                macroEditorMain.sendMacro(key.keyCode2, name)
        }
    }

    // A hovered hot spot or row highlights both; the button being edited stays highlighted.
    function hoverKey(index) {
        if (!keyAssigmentMain.visible)
            mouseMain.selectKey = index
    }

    function openCentred(page) {
        page.x = Math.round((1024 - page.width) / 2)
        page.y = Math.round((640 - page.height) / 2)
        page.open()
    }

    // The key capture of the assignment dialog and the macro editor.
    onMsg_KB: function(isDown, usbCode) {
        if (!layout)
            return
        if (keyAssigmentMain.isFireInput)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 0)
        else if (keyAssigmentMain.isComboInput)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 1)
        if (macroEditorMain.currentMacro === "")
            return
        if (macroEditorMain.isInputting)
            macroEditorMain.detectKeyboard(isDown, usbCode)
        else if (macroEditorMain.isInsertting)
            macroEditorMain.detectInput(isDown, usbCode)
    }

    // What the command line asks of the window (mousecfg set, get, profile, ...).
    CommandOps {
        objectName: "commandOps"
        scene: root
    }

    Timer {
        id: lockTimer
        objectName: "lockTimer"
        repeat: false
        onTriggered: root.releaseLock()
    }

    // The design-sized content, scaled to the screen.
    Item {
        id: frame
        width: 1024
        height: 640
        scale: root.screenRate
        transformOrigin: Item.TopLeft

        Image {
            id: powerOn
            objectName: "powerOn"
            anchors.centerIn: parent
            source: Skin.image("index", "powerOn")
            cache: false
        }

        // Hidden until the first release of the busy lock; built in slices meanwhile.
        Loader {
            id: background
            objectName: "background"
            anchors.fill: parent
            visible: false
            active: false
            asynchronous: true
            source: "MainLayout.qml"
            onLoaded: root.layoutLoaded()
        }

        Text {
            id: busyText
            objectName: "busyText"
            anchors.centerIn: parent
            z: 100
            visible: false
            text: "LOADING ......"
            color: Skin.fontColor
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontMaxSize

            SequentialAnimation on opacity {
                running: busyText.visible
                loops: Animation.Infinite
                NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
                NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
            }
        }
    }
}
