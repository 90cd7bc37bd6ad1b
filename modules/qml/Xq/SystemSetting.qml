import QtQuick
import "../common"

// The desktop pointer settings page (stand-in).
FloatingPanel {
    id: page
    readonly property var systemSettingLangBuiltIn: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow",
        "Fast", "Scroll Speed", "Number of Rows", "Scroll one Screen"]
    property var systemSettingLang: systemSettingLangBuiltIn

    width: 416
    height: 312

    function init(isSendData, isRecovery) {
    }
}
