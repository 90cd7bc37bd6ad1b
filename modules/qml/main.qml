import QtQuick
import "Xq"
import "common"
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
    readonly property bool isSaveNeeded: keyMatrixMain.isSave || dpiSettingMain.isSave || lightControlMain.isSave
    readonly property bool dialogOpen: keyAssigmentMain.visible || profileMain.visible || macroEditorMain.visible
                                       || gunControlMain.visible || systemSettingMain.visible || resetDialog.visible

    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int buttonCode, int x, int y)

    // ---- Called by native code ---------------------------------------------------------------

    function initUI() {
        setProtectUI(1000)
        root.visible = true
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
        var t = Number(type)
        if (t === 2 || t === 255) {
            var entry = Blocks.rateIndex(reportRate)
            if (entry >= 0)
                reportRateList.currentSelect = entry
        }
        if (t === 3 || t === 255) {
            // A stage the page does not have would be sent back as a stray byte.
            var stage = Number(dpi) - 1
            if (stage >= 0 && stage < 8)
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
        reportRateList.closeMenu()
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

    function releaseLock() {
        controlUIEnable(true)
        if (powerOn.visible) {
            powerOn.visible = false
            background.visible = true
            isDebugEnable = SceneText.toBool(ui_View.getGlobalData("debugmode/isEnable"))
        }
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
        var link = ui_View.getGlobalData("common/url")
        url = SceneText.isSet(link) ? String(link) : ""
        lightControlMain.isModde9 = icType !== "553" && icType !== "571"

        if (icType === "560" && Number(ui_View.mouseReadCurrentProfile()) !== 1)
            hid.hid560_02H_SetCurrentProfile(1)

        mainLang = texts("main", mainLangBuiltIn)
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
        initReportRate()
        currentProfileNo = validSlot(ui_View.getGlobalData("mouse/profileNo"))
        profileMain.profileNo = currentProfileNo
        profileMain.init()
        profileList.selectSlot(currentProfileNo)
        ui_View.setCurrentProfile(currentProfileNo)
        macroEditorMain.init()
        gunControlMain.init()
        keyAssigmentMain.init()
        keyMatrixMain.init(false, false)
        dpiSettingMain.init(false, false)
        lightControlMain.init(false, false)
        systemSettingMain.init(false, false)
        initLod()
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
        resetDialog.visible = false
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
        lodList.currentSelect = lod === 2 ? 1 : 0
    }

    function o_saveData0() {
        var light = lightControlMain.saveData(true, true, false)
        var block = Blocks.block0(reportRateList.currentSelect, dpiSettingMain.currentDPI,
                                  light[0], light[2], light[1], light[3])
        ui_View.mouseSetParameter_0(block, currentProfileNo)
    }

    function o_saveData1(mask) {
        var dpi = lodVisible ? dpiSettingMain.saveData_3395() : dpiSettingMain.saveData()
        var colours = lightControlMain.saveData(true, false, true)
        var block = Blocks.block1(lodList.currentSelect + 1, dpiSettingMain.currentDpiCount, dpi, colours,
                                  keyMatrixMain.modKeys.saveData())
        ui_View.mouseSetParameter_1(block, mask)
    }

    function clearSaveFlags() {
        keyMatrixMain.isSave = false
        dpiSettingMain.isSave = false
        lightControlMain.isSave = false
    }

    function saveAll() {
        dpiSettingMain.commitInput()
        lightControlMain.commitInput()
        var keys = keyMatrixMain.isSave, dpi = dpiSettingMain.isSave, light = lightControlMain.isSave
        if (keys || dpi || light) {
            controlUIEnable(false)
            if (light)
                o_saveData0()
            clearSaveFlags()
            o_saveData1((dpi ? 1 : 0) + (light ? 2 : 0) + (keys ? 4 : 0))
        }
        controlUIEnable(true)
    }

    // The profile's settings go to the device again after a switch or a reset.
    function sendProfile() {
        keyMatrixMain.init(true, false)
        initReportRate()
        dpiSettingMain.init(true, false)
        lightControlMain.init(true, false)
        initLod()
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
        sendProfile()
        systemSettingMain.init(true, false)
        sendGunMatrices()
        controlUIEnable(true)
    }

    function factoryReset() {
        controlUIEnable(false)
        resetDialog.visible = false
        clearSaveFlags()
        ui_View.resetProfile(currentProfileNo)
        dpiSettingMain.currentDPI = 1
        sendProfile()
        // The system page shows the reset profile without changing the desktop: its next change
        // would otherwise store the old values of the other two settings back into the profile.
        systemSettingMain.init(false, false)
        sendGunMatrices()
        gunControlMain.resetData()
        controlUIEnable(true)
    }

    // Buttons that run a macro the editor deleted go back to their saved definition.
    function macroDeleted(name) {
        var restored = false
        for (var i = 0; i < keyMatrixMain.modKeys.count; ++i) {
            var key = keyMatrixMain.modKeys.get(i)
            if (key.keyCode0 !== 4 || String(ui_View.getData("mouseMacroKey/" + key.keyCode2, false)) !== name)
                continue
            var saved = keyMatrixMain.modKeys_tmp.get(i)
            keyMatrixMain.modKeys.set(i, { keyCode0: saved.keyCode0, keyCode1: saved.keyCode1,
                                           keyCode2: saved.keyCode2, keyCode3: saved.keyCode3,
                                           keyText: saved.keyText })
            restored = true
        }
        if (restored) {
            keyAssigmentMain.refresh()
            o_saveData1(4)
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

    Timer {
        id: lockTimer
        objectName: "lockTimer"
        repeat: false
        onTriggered: root.releaseLock()
    }

    KeyCodeString {
        id: keyCodeNames
        readonly property var keyCodeStrBuiltIn: keyCodeStr.slice()
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
        }

        Item {
            id: background
            objectName: "background"
            anchors.fill: parent
            visible: false

            Image {
                anchors.fill: parent
                source: Skin.diskImage("background")
            }

            // Pressing the empty background closes the drop-downs and drags the window.
            WindowDragArea {
                anchors.fill: parent
                screenRate: root.screenRate
                onPressed: root.mainFocus()
            }

            Image {
                x: root.setTitleBar_X
                y: root.setTitleBar_Y
                source: Skin.diskImage("titleBar")
            }
            Image {
                objectName: "titleLogo"
                x: 52 + root.setTitleLogo_X
                y: 24 + root.setTitleLogo_Y
                source: Skin.diskImage("titleLogo")
            }

            Mouse {
                id: mouseMain
                objectName: "mouseMain"
                x: root.setMouseMain_X
                y: root.setMouseMain_Y
                width: 1024
                height: 640
                segmentOffsets: [root.setMouseMainSeg0_X, root.setMouseMainSeg0_Y, root.setMouseMainSeg1_X,
                    root.setMouseMainSeg1_Y, root.setMouseMainSeg2_X, root.setMouseMainSeg2_Y, root.setMouseMainSeg3_X,
                    root.setMouseMainSeg3_Y, root.setMouseMainSeg4_X, root.setMouseMainSeg4_Y, root.setMouseMainSeg5_X,
                    root.setMouseMainSeg5_Y, root.setMouseMainSeg6_X, root.setMouseMainSeg6_Y, root.setMouseMainSeg7_X,
                    root.setMouseMainSeg7_Y]
                onKeyClicked: function(index) { keyAssigmentMain.openFor(index) }
                onKeyHovered: function(index) { root.hoverKey(index) }
            }

            Column {
                id: leftColumn
                objectName: "leftColumn"
                x: 24 + root.setLeftMain_X
                y: 88 + root.setLeftMain_Y
                spacing: 8

                KeyMatrix {
                    id: keyMatrixMain
                    objectName: "keyMatrixMain"
                    width: 232
                    keyCount: mouseMain.keyCount
                    keyAssigment: keyAssigmentMain
                    selectKey: mouseMain.selectKey
                    onRowClicked: function(index) { keyAssigmentMain.openFor(index) }
                    onRowHovered: function(index) { root.hoverKey(index) }
                    onSendMacro: function(index, name) { macroEditorMain.sendMacro(index, name) }
                }

                PanelBox {
                    id: editorBox
                    width: 232
                    height: root.isGun ? 100 : 76
                    title: root.mainLang[0]

                    Column {
                        x: 8
                        y: 36
                        spacing: 8
                        SceneButton {
                            objectName: "macroEditorButton"
                            width: 216
                            height: 24
                            text: root.mainLang[1]
                            onClicked: root.openCentred(macroEditorMain)
                        }
                        SceneButton {
                            objectName: "gunEditorButton"
                            width: 216
                            height: 24
                            visible: root.isGun
                            text: root.mainLang[2]
                            onClicked: root.openCentred(gunControlMain)
                        }
                    }
                }

                PanelBox {
                    width: 232
                    height: 42
                    title: root.mainLang[3]
                    titleSize: root.isUkrainian ? Skin.fontMinSize : Skin.fontNormalSize
                    reservedRight: reportRateList.width + 8
                    z: 3

                    DropDownList {
                        id: reportRateList
                        objectName: "reportRateList"
                        x: parent.width - width - 8
                        y: 9
                        width: root.isUkrainian ? 100 : 120
                        mdItems: ListModel {
                            ListElement { textValue: "125Hz" }
                            ListElement { textValue: "250Hz" }
                            ListElement { textValue: "500Hz" }
                            ListElement { textValue: "1000Hz" }
                        }
                        count: 4
                        onValueChange: function(index) {
                            ui_View.setData("mouse/reportRate", index)
                            root.o_saveData0()
                        }
                    }
                }

                PanelBox {
                    id: lodRow
                    objectName: "lodRow"
                    width: 232
                    height: 42
                    title: "LOD"
                    titleSize: root.isUkrainian ? Skin.fontMinSize : Skin.fontNormalSize
                    reservedRight: lodList.width + 8
                    visible: root.lodVisible
                    z: 2

                    DropDownList {
                        id: lodList
                        objectName: "lodList"
                        x: parent.width - width - 8
                        y: 9
                        width: root.isUkrainian ? 100 : 120
                        currentSelect: 0
                        mdItems: ListModel {
                            ListElement { textValue: "1 MM" }
                            ListElement { textValue: "2 MM" }
                        }
                        count: 2
                        onValueChange: function(index) {
                            ui_View.setData("mouse/lod", index + 1)
                            root.o_saveData1(1)
                        }
                    }
                }

                SceneButton {
                    objectName: "systemSettingButton"
                    width: 232
                    height: 24
                    text: root.mainLang[9]
                    onClicked: root.openCentred(systemSettingMain)
                }
            }

            Column {
                id: rightColumn
                objectName: "rightColumn"
                x: 768 + root.setRightMain_X
                y: 56 + root.setRightMain_Y
                spacing: 8
                // The lighting page's long mode list hangs over the bottom row.
                z: 1

                DpiSetting {
                    id: dpiSettingMain
                    objectName: "dpiSettingMain"
                    width: 232
                    entryRows: root.lodVisible
                    z: 2
                }
                LightControl {
                    id: lightControlMain
                    objectName: "lightControlMain"
                    width: 232
                    isColorful: root.isColorful
                    is55328: root.is55328
                    dpiCount: dpiSettingMain.dpiCount
                }
            }

            Row {
                id: bottomRow
                objectName: "bottomRow"
                anchors.right: parent.right
                anchors.rightMargin: 24 - root.setDnbtnMain_X
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 8 - root.setDnbtnMain_Y
                spacing: 16
                readonly property int buttonWidth: (root.isUkrainian ? 90 : 64) + root.setDnbtnWidget
                readonly property int buttonHeight: 24 + root.setDnbtnHeight

                SceneButton {
                    objectName: "configButton"
                    width: bottomRow.buttonWidth
                    height: bottomRow.buttonHeight
                    text: root.mainLang[4]
                    onClicked: root.openCentred(profileMain)
                }
                SceneButton {
                    objectName: "resetButton"
                    width: bottomRow.buttonWidth
                    height: bottomRow.buttonHeight
                    text: root.mainLang[5]
                    onClicked: resetDialog.openCentred()
                }
                SceneButton {
                    objectName: "saveButton"
                    width: bottomRow.buttonWidth
                    height: bottomRow.buttonHeight
                    text: root.mainLang[10]
                    textColor: root.isSaveNeeded ? "#ff3030" : Skin.fontColor
                    onClicked: root.saveAll()
                }
            }

            Item {
                id: titleButtons
                x: root.setUpbtnMain_X
                y: root.setUpbtnMain_Y
                z: 5

                DropDownList {
                    id: profileList
                    objectName: "profileList"
                    x: 920 - 16 - 144
                    y: 12
                    width: 144
                    mdItems: profileMain.profileDataModel0
                    count: profileMain.profileDataModel0.count
                    // Entries carry their slot: the list position is not the slot once an entry
                    // in the middle has been deleted.
                    function selectSlot(slot) {
                        for (var i = 0; i < mdItems.count; ++i)
                            if (mdItems.get(i).profileNo === slot) {
                                currentSelect = i
                                return
                            }
                        currentSelect = -1
                    }
                    onValueChange: function(index) {
                        if (index >= 0 && index < mdItems.count)
                            root.changeProfile(mdItems.get(index).profileNo)
                    }
                    // The profile page added or removed an entry: the one in use may have moved.
                    Connections {
                        target: profileList.mdItems
                        function onCountChanged() { profileList.selectSlot(root.currentProfileNo) }
                    }
                }

                Row {
                    x: 920
                    y: 16
                    spacing: 16
                    TitleButton {
                        objectName: "helpButton"
                        icon: "help"
                        onClicked: helpMenu.visible = !helpMenu.visible
                    }
                    TitleButton {
                        objectName: "minimizeButton"
                        icon: "minimize"
                        onClicked: ui_Ctl.onMinimize()
                    }
                    TitleButton {
                        objectName: "closeButton"
                        icon: "close"
                        onClicked: ui_Ctl.onClose()
                    }
                }
            }

            // Dims the window while a dialog is open; a press hands the focus back to the dialog.
            Rectangle {
                id: mask
                objectName: "mask"
                anchors.fill: parent
                color: "#90000000"
                visible: root.dialogOpen
                z: 10

                WindowDragArea {
                    anchors.fill: parent
                    screenRate: root.screenRate
                    onPressed: {
                        var pages = [resetDialog, keyAssigmentMain, profileMain, macroEditorMain,
                                     gunControlMain, systemSettingMain]
                        for (var i = 0; i < pages.length; ++i)
                            if (pages[i].visible) {
                                pages[i].forceActiveFocus()
                                return
                            }
                    }
                }
            }

            KeyAssigment {
                id: keyAssigmentMain
                objectName: "keyAssigmentMain"
                z: 11
                keyMatrix: keyMatrixMain
                keyCodes: keyCodeNames
                isGun: root.isGun
                macroNames: root.macroNames
                onOpened: mouseMain.selectKey = keyAssigmentMain.selectKey
                onClosed: mouseMain.selectKey = -1
                onOpenMacroEditor: root.openCentred(macroEditorMain)
                onSendMacro: function(index, name) { macroEditorMain.sendMacro(index, name) }
            }

            Profile {
                id: profileMain
                objectName: "profileMain"
                z: 11
                onChangeProfile: function(tmpProfileNo) { root.changeProfile(tmpProfileNo) }
            }

            MacroEditor {
                id: macroEditorMain
                objectName: "macroEditorMain"
                z: 11
                keyCodes: keyCodeNames
                onMacroListChanged: function(names) { root.macroNames = names }
                onDeleteMacro: function(macroName) { root.macroDeleted(macroName) }
                onModifyMacroName: function(oldMacroName, newMacroName) {
                    root.macroRenamed(oldMacroName, newMacroName)
                }
                onModifyMacroData: function(macroName) { root.macroChanged(macroName) }
            }
            // The assignment dialog's macro list may name a macro the editor just changed.
            Connections {
                target: macroEditorMain
                function onClosed() { keyAssigmentMain.closeMenus() }
            }

            GunControl {
                id: gunControlMain
                objectName: "gunControlMain"
                z: 11
                onSendKeyMatrix: keyMatrixMain.sendKeyMatrix(gunControlMain.assignedPeriods())
            }

            SystemSetting {
                id: systemSettingMain
                objectName: "systemSettingMain"
                z: 11
            }

            ConfirmDialog {
                id: resetDialog
                objectName: "resetDialog"
                z: 11
                title: root.mainLang[5]
                text: root.mainLang[6]
                okText: root.mainLang[8]
                cancelText: root.mainLang[7]
                onAccepted: root.factoryReset()
            }

            HelpMenu {
                id: helpMenu
                objectName: "helpMenu"
                x: 1024 - 300 - width
                y: 30
                z: 12
                url: root.url
                version: Qt.application.version
                onOpenUrl: root.askMenuCmd(0)
            }

            LayoutAdjust {
                id: layoutAdjustMain
                objectName: "layoutAdjustMain"
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.bottom: parent.bottom
                z: 13
                visible: root.isDebugEnable
                target: root
            }
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
