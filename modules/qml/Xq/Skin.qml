// SPDX-License-Identifier: GPL-3.0-or-later
pragma Singleton
import QtQuick

// The scene's look: every control and page takes its fonts, colours and skin images from here.
QtObject {
    // Chinese is written in the CJK design throughout; other languages in the Latin and Cyrillic
    // one, so that they never load the far larger CJK font (a Chinese character among them
    // still falls back to it).
    property bool chinese: false
    readonly property string fontFamily: chinese ? "Noto Sans CJK SC" : "Noto Sans"
    readonly property int fontNormalSize: 12
    readonly property int fontMaxSize: 16
    readonly property int fontMiddleSize: 14
    readonly property int fontMinSize: 10
    readonly property color fontColor: "#ffffff"

    readonly property color colorGray0: "#1a1a1a"
    readonly property color colorGray1: "#3c3c3c"
    readonly property color colorGray2: "#969696"
    readonly property color colorGray3: "#d1d1d1"
    // Button background and hover/selection; the layout adjustment panel may change both.
    property color colorBlue: "#09347f"
    property color colorOrange: "#cf3e00"
    readonly property color colorBlack: "#000000"

    // Kept in step with the root's own flag.
    property bool isDebugEnable: false

    readonly property int skin_No: 1
    // The window is drawn larger than its design (a wide screen, or a high pixel ratio): the
    // pictures come at twice their design size so that they stay crisp.
    property bool hiDpi: false
    readonly property url sourceCheckBtn: image("index", "checkBtn")
    readonly property url sourceSlide: image("index", "slide")
    readonly property url sourceDropBtn: image("index", "dropBtn")
    readonly property url sourceDropBtnU: image("index", "dropBtnU")

    // A skin image of the resources: qrc:/<group>/modules/img/skin<n>/<group>/<name>.png
    function image(group, name) {
        return "qrc:/" + group + "/modules/img/skin" + skin_No + "/" + group + "/" + name + ".png" + resolution()
    }

    // A skin image read from disk, relative to the data folder.
    function diskImage(name) {
        return "file:modules/img/skin" + skin_No + "/" + name + ".png" + resolution()
    }

    function resolution() {
        return hiDpi ? "?hi" : ""
    }
}
