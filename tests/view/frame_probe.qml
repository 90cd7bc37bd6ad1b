// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Stands in for the program's scene: counts the calls native code makes into it and the keys
// it receives, and passes on every firmware report it is handed.
Item {
    width: 100
    height: 100
    focus: true
    property int runCount: 0
    property int keyCount: 0
    signal fwReport(int type, int reportRate, int dpi, int lightMode, int speed)
    Keys.onPressed: keyCount++
    function run() {
        runCount++
    }
    function syncFwReport(type, reportRate, dpi, lightMode, speed) {
        fwReport(type, reportRate, dpi, lightMode, speed)
    }
    function initUI() {
    }
}
