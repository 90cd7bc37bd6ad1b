import QtQuick
import QtTest

// The root of the program's scene: screen scaling, the busy lock and the calls native code makes.
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
            { tag: "no second screen (width 0)", width: 0, rate: 1.0, w: 1024, h: 640 },
            { tag: "narrower than 1920", width: 1366, rate: 1.0, w: 1024, h: 640 },
            { tag: "exactly 1920", width: 1920, rate: 1.0, w: 1024, h: 640 },
            { tag: "1921 just above", width: 1921, rate: 1921 / 1920, w: 1024, h: 640 },
            { tag: "2560", width: 2560, rate: 2560 / 1920, w: 1365, h: 853 },
            { tag: "3840", width: 3840, rate: 2.0, w: 2048, h: 1280 }
        ]
    }

    function test_screenRate(data) {
        var main = createMain()
        main.setScreenChange(data.width)
        fuzzyCompare(main.screenRate, data.rate, 1e-9)
        compare(ui_Ctl.resizeCalls, 1)
        compare(ui_Ctl.lastWidth, data.w)
        compare(ui_Ctl.lastHeight, data.h)
        compare(Math.floor(main.width), data.w)
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
        verify(timer.running)
        compare(timer.interval, 60000)

        // A new lock restarts the timer with the new interval.
        main.setProtectUI(30)
        verify(timer.running)
        compare(timer.interval, 30)
        tryCompare(ui_View, "enabled", true, 5000)
        verify(!busy.visible)

        // The first release uncovers the window and reads the debug flag.
        verify(!findChild(main, "powerOn").visible)
        verify(findChild(main, "background").visible)
        compare(main.isDebugEnable, true)

        // Later releases leave the debug flag alone; interval 0 releases at once.
        ui_View.globals = { "debugmode/isEnable": "false" }
        main.setProtectUI(60000)
        main.setProtectUI(0)
        compare(ui_View.enabled, true)
        verify(!busy.visible)
        verify(!timer.running)
        compare(main.isDebugEnable, true)
    }

    function test_initUI_readsCapabilitiesOnce() {
        var main = createMain()
        verify(!main.visible)
        ui_View.globals = { "mouse/isColorful": "true", "mouse/isGun": "false", "mouse/is55328": "1",
                            "mouse/icType": "560", "common/language": "English" }
        main.initUI()
        verify(main.visible)
        compare(ui_View.enabled, false)
        compare(findChild(main, "lockTimer").interval, 1000)
        compare(main.isColorful, true)
        compare(main.isGun, false)
        compare(main.is55328, true)
        compare(main.icType, "560")
        compare(main.language, "English")
        verify(main.isPownOn)

        // A second device later: locked again, but capabilities and language stay.
        ui_View.globals = { "mouse/isColorful": "false", "mouse/icType": "553", "common/language": "Ukrainian" }
        main.setProtectUI(0)
        main.initUI()
        compare(ui_View.enabled, false)
        compare(main.isColorful, true)
        compare(main.icType, "560")
        compare(main.language, "English")
    }

    SignalSpy { id: kbSpy; signalName: "msg_KB" }
    SignalSpy { id: msSpy; signalName: "msg_MS" }
    SignalSpy { id: fwSpy; signalName: "fwReport" }

    function test_nativeCallsReachTheScene() {
        var main = createMain()
        kbSpy.clear(); kbSpy.target = main
        msSpy.clear(); msSpy.target = main
        fwSpy.clear(); fwSpy.target = main

        main.detectKeyboard(true, 0x04)
        compare(kbSpy.count, 1)
        compare(kbSpy.signalArguments[0][0], true)
        compare(kbSpy.signalArguments[0][1], 0x04)

        main.detectMouse(false, 0xF1, 1920, 1080)
        compare(msSpy.count, 1)
        compare(msSpy.signalArguments[0][1], 0xF1)
        compare(msSpy.signalArguments[0][3], 1080)

        main.syncFwReport(255, 2, 3, 7, 5)
        compare(fwSpy.count, 1)
        compare([main.fwType, main.fwReportRate, main.fwDpi, main.fwLightMode, main.fwSpeed], [255, 2, 3, 7, 5])
    }
}
