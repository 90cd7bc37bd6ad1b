// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "PointerSteps.js" as Steps

// The desktop pointer settings of the current profile: pointer speed, double-click speed and
// lines per wheel notch. The values live in the page's own properties (the root initialises
// the page before its body exists); each control stores all three and applies only its own.
FloatingPanel {
    id: page
    readonly property var systemSettingLangBuiltIn: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow",
        "Fast", "Scroll Speed", "Number of Rows", "Scroll one Screen", "Not applied on this desktop",
        "Demo: the desktop keeps its settings"]
    property var systemSettingLang: systemSettingLangBuiltIn

    // Knob positions (3..337), the row count and the scroll choice.
    property int mouseRate: 150
    property int doubleRate: 180
    property int scrollRows: 1
    property bool isScreenScroll: false
    // Whether the desktop took the last value of each setting; whether it is changed at all.
    property var applied: [true, true, true]
    property bool isDemo: false

    width: 416
    height: 312

    function init(isSendData, isRecovery) {
        isDemo = !ui_View.pointerSettingsChangeDesktop()
        mouseRate = Steps.knobPosition(ui_View.getData("mouse/mouseRate", isRecovery), 150)
        doubleRate = Steps.knobPosition(ui_View.getData("mouse/doubleRate", isRecovery), 180)
        var scroll = parseInt(ui_View.getData("mouse/scrollRate", isRecovery), 10)
        isScreenScroll = scroll > Steps.maxRows
        if (!isScreenScroll)
            scrollRows = Steps.rows(scroll, 1)
        if (isSendData)
            saveData(true, 0)
    }

    // isStep: 0 applies all three settings, 1 the pointer speed, 2 the double-click speed,
    // 3 the wheel lines.
    function saveData(isSendData, isStep) {
        var lines = isScreenScroll ? Steps.screenLines : scrollRows
        ui_View.setData("mouse/mouseRate", mouseRate)
        ui_View.setData("mouse/doubleRate", doubleRate)
        ui_View.setData("mouse/scrollRate", lines)
        if (!isSendData)
            return
        var step = Number(isStep)
        if (step === 0 || step === 1)
            ui_View.mouseSetCursorSpeed(Steps.stepOf(mouseRate))
        if (step === 0 || step === 2)
            ui_View.mouseSetDoubleClickSpeed(Steps.stepOf(doubleRate))
        if (step === 0 || step === 3)
            ui_View.mouseSetVerticalScrollLines(lines)
        applied = ui_View.pointerSettingsApplied()
    }

    bodySource: Qt.resolvedUrl("SystemSettingBody.qml")
}
