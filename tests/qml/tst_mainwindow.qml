import QtQuick
import QtTest

// The scene's root: screen scaling, the busy lock and the first start-up hand-over.
TestCase {
    id: testCase
    name: "MainWindow"
    when: windowShown

    Component {
        id: mainComponent
        Loader { source: "qrc:/modules/qml/main.qml" }
    }

    function createMain() {
        ui_View.reset()
        ui_Ctl.reset()
        // The TestCase item itself is not shown: hang the scene on the window so visibility is real.
        var loader = createTemporaryObject(mainComponent, testCase.Window.contentItem)
        verify(loader.item !== null, "main.qml loads")
        return loader.item
    }

    function test_screenRate_data() {
        return [
            { tag: "no second screen (width 0)", width: 0, rate: 1.0, size: Qt.size(1024, 640) },
            { tag: "exactly 1920", width: 1920, rate: 1.0, size: Qt.size(1024, 640) },
            { tag: "1921", width: 1921, rate: 1921 / 1920, size: Qt.size(1024, 640) },
            { tag: "2560", width: 2560, rate: 2560 / 1920, size: Qt.size(1365, 853) },
            { tag: "3840", width: 3840, rate: 2.0, size: Qt.size(2048, 1280) }
        ]
    }

    function test_screenRate(data) {
        var main = createMain()
        main.setScreenChange(data.width)
        fuzzyCompare(main.screenRate, data.rate, 1e-9)
        compare(ui_Ctl.resizeCalls, 1)
        compare(ui_Ctl.lastSize, data.size)
    }

    function test_busyLock() {
        var main = createMain()
        var timer = findChild(main, "lockTimer")
        var busy = findChild(main, "busyText")
        ui_View.globals = { "debugmode/isEnable": "true" }
        main.visible = true  // as the first initUI does

        main.setProtectUI(60000)
        compare(ui_View.enabled, false)
        verify(busy.visible)
        compare(timer.interval, 60000)

        // A new lock restarts the timer with its own interval; its end releases the view and,
        // the first time, uncovers the window and reads the debug flag.
        main.setProtectUI(30)
        compare(timer.interval, 30)
        tryCompare(ui_View, "enabled", true, 5000)
        verify(!busy.visible)
        verify(!findChild(main, "powerOn").visible)
        verify(findChild(main, "background").visible)
        compare(main.isDebugEnable, true)

        // Interval 0 releases at once; later releases leave the debug flag alone.
        ui_View.globals = { "debugmode/isEnable": "false" }
        main.setProtectUI(60000)
        main.setProtectUI(0)
        compare(ui_View.enabled, true)
        verify(!timer.running)
        compare(main.isDebugEnable, true)
    }

    function test_initUI_readsCapabilitiesOnce() {
        var main = createMain()
        verify(!main.visible)
        ui_View.globals = { "mouse/isColorful": "true", "mouse/isGun": "false",
                            "mouse/icType": "560", "common/language": "English" }
        main.initUI()
        verify(main.visible)
        compare(ui_View.enabled, false)
        compare([main.isColorful, main.isGun, main.icType, main.language], [true, false, "560", "English"])

        // A second device later: locked again, capabilities and language kept.
        ui_View.globals = { "mouse/isColorful": "false", "mouse/icType": "553", "common/language": "Ukrainian" }
        main.setProtectUI(0)
        main.initUI()
        compare(ui_View.enabled, false)
        compare([main.isColorful, main.icType, main.language], [true, "560", "English"])
    }
}
