import QtQuick

// Stands in for the program's scene: passes on every firmware report it is handed.
Item {
    width: 100
    height: 100
    signal fwReport(int type, int reportRate, int dpi, int lightMode, int speed)
    function syncFwReport(type, reportRate, dpi, lightMode, speed) {
        fwReport(type, reportRate, dpi, lightMode, speed)
    }
    function initUI() {
    }
}
