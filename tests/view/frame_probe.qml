import QtQuick

// Stands in for the program's scene: counts the calls native code makes into it and the keys
// it receives.
Item {
    width: 100
    height: 100
    focus: true
    property int runCount: 0
    property int keyCount: 0
    Keys.onPressed: keyCount++
    function run() {
        runCount++
    }
}
