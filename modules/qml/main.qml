import QtQuick

// The program's window: a 1024 x 640 design scaled for wide screens. Native code calls the
// functions below by name; the scene reaches the backend through ui_View, ui_Ctl and hid only
// from functions and handlers that run after loading.
Item {
    id: root

    property real screenRate: 1.0
    width: 1024 * screenRate
    height: 640 * screenRate
    visible: false

    property int skin_No: 1
    property bool isPownOn: false
    property bool isDebugEnable: false

    // Device capabilities and language, read once at the first initUI.
    property bool isColorful: false
    property bool isGun: true
    property string icType: "553"
    property bool is55328: false
    property string language: "ChineseSimplified"
    property string url: ""

    // The last firmware report; pages follow it.
    property int fwType: -1
    property int fwReportRate: 0
    property int fwDpi: 0
    property int fwLightMode: 0
    property int fwSpeed: 0

    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int buttonCode, int x, int y)
    signal fwReport(int type, int reportRate, int dpi, int lightMode, int speed)

    // Settings values come back as text from the INI files.
    function toBool(value) {
        if (value === true || value === 1)
            return true
        var text = String(value).toLowerCase()
        return text === "true" || text === "1"
    }

    function initUI() {
        setProtectUI(1000)
        root.visible = true
        if (isPownOn)
            return
        isColorful = toBool(ui_View.getGlobalData("mouse/isColorful"))
        isGun = toBool(ui_View.getGlobalData("mouse/isGun"))
        is55328 = toBool(ui_View.getGlobalData("mouse/is55328"))
        var ic = ui_View.getGlobalData("mouse/icType")
        if (ic !== undefined && ic !== null && String(ic) !== "")
            icType = String(ic)
        var lang = ui_View.getGlobalData("common/language")
        if (lang !== undefined && lang !== null && String(lang) !== "")
            language = String(lang)
        var link = ui_View.getGlobalData("common/url")
        if (link !== undefined && link !== null)
            url = String(link)
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

    function controlUIEnable(isEnable) {
        busyText.visible = !isEnable
        ui_View.setEnabled(isEnable)
    }

    // The busy lock: the view takes no input until the interval has passed (0: released at once).
    function setProtectUI(interval) {
        busyText.visible = true
        ui_View.setEnabled(false)
        lockTimer.stop()
        var ms = Number(interval)
        if (!(ms > 0)) {
            releaseLock()
            return
        }
        lockTimer.interval = ms
        lockTimer.start()
    }

    function releaseLock() {
        controlUIEnable(true)
        if (powerOn.visible) {
            powerOn.visible = false
            background.visible = true
            isDebugEnable = toBool(ui_View.getGlobalData("debugmode/isEnable"))
        }
    }

    function setScreenChange(screenValue) {
        var w = Number(screenValue)
        screenRate = w > 1920 ? w / 1920 : 1.0
        ui_Ctl.reSizeWinodws(Math.floor(root.width), Math.floor(root.height))
    }

    function syncFwReport(type, reportRate, dpi, lightMode, speed) {
        fwType = type
        fwReportRate = reportRate
        fwDpi = dpi
        fwLightMode = lightMode
        fwSpeed = speed
        fwReport(type, reportRate, dpi, lightMode, speed)
    }

    function mainFocus() {
        root.forceActiveFocus()
    }

    Timer {
        id: lockTimer
        objectName: "lockTimer"
        repeat: false
        onTriggered: root.releaseLock()
    }

    // Dragging the window: the offset from the press point, in window pixels, moves it.
    MouseArea {
        id: dragArea
        anchors.fill: parent
        property real pressX: 0
        property real pressY: 0
        onPressed: function(mouse) {
            root.mainFocus()
            pressX = mouse.x
            pressY = mouse.y
        }
        onPositionChanged: function(mouse) {
            if (!pressed)
                return
            ui_Ctl.onXChanged(Math.round(mouse.x - pressX))
            ui_Ctl.onYChanged(Math.round(mouse.y - pressY))
        }
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
            source: "qrc:/index/modules/img/skin" + root.skin_No + "/index/powerOn.png"
        }

        Item {
            id: background
            objectName: "background"
            anchors.fill: parent
            visible: false

            Image {
                anchors.fill: parent
                source: "file:modules/img/skin" + root.skin_No + "/background.png"
            }
            Image {
                x: 0
                y: 0
                source: "file:modules/img/skin" + root.skin_No + "/titleBar.png"
            }
            Image {
                x: 52
                y: 24
                source: "file:modules/img/skin" + root.skin_No + "/titleLogo.png"
            }
            Image {
                anchors.fill: parent
                source: "file:modules/img/skin" + root.skin_No + "/MouseFront.png"
            }
        }

        Text {
            id: busyText
            objectName: "busyText"
            anchors.centerIn: parent
            z: 100
            visible: false
            text: "LOADING ......"
            color: "#ffffff"
            font.pixelSize: 16

            SequentialAnimation on opacity {
                running: busyText.visible
                loops: Animation.Infinite
                NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
                NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
            }
        }
    }
}
