import QtQuick

// Stands in for the program's scene: counts the calls native code makes into it.
Item {
    width: 100
    height: 100
    property int runCount: 0
    function run() {
        runCount++
    }
}
