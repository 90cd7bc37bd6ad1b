pragma Singleton
import QtQuick
import "."

// Interim look of the scene (replaced by the control kit's own).
QtObject {
    property string fontFamily: "Noto Sans CJK SC"
    property int fontNormalSize: 12
    property int fontMaxSize: 16
    property int fontMiddleSize: 14
    property int fontMinSize: 10
    property color fontColor: "#ffffff"
    property color colorGray0: "#1a1a1a"
    property color colorGray1: "#3c3c3c"
    property color colorGray2: "#969696"
    property color colorGray3: "#d1d1d1"
    property color colorBlue: "#09347f"
    property color colorOrange: "#cf3e00"
    property color colorBlack: "#000000"
    property int skin_No: 1
    property bool isDebugEnable: false
}
