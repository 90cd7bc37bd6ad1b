// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A horizontal slider. Its value is the knob's x in pixels; the knob runs between a stop a
// quarter knob from each end. With isScale the knob rests on one of `segment` + 1 points and
// always snaps to the next point at or to the right of where it was left.
Item {
    id: slider

    property int segment: 10
    property int segmentValue: 0
    property bool isScale: false
    property color colorS: Skin.colorOrange
    property color trackColor: Skin.colorGray1

    signal valueChange(int tmpValue)
    signal btnClick()
    signal dragSignal(bool isDrag)
    signal valueChangeDelay(int tmpValue)

    implicitWidth: 100
    implicitHeight: 6

    function setRatioValue(ratio) {
        move.stop()
        knob.x = Math.floor(geometry.span * ratio) + geometry.leftStop + 1
        valueChange(knob.x)
    }

    function setIndexValue(index, isSendSignal) {
        move.stop()
        knob.x = geometry.pointX(index)
        segmentValue = index
        if (isSendSignal)
            valueChange(knob.x)
    }

    function setValue(x) {
        move.stop()
        knob.x = x
    }

    // Everything is measured in the knob's design size (w below), which does not depend on
    // the picture: a missing picture, or one drawn at twice the size, moves nothing.
    QtObject {
        id: geometry
        readonly property real w: knob.width
        readonly property real leftStop: w / 4
        readonly property real rightStop: slider.width - w - w / 4
        readonly property real span: rightStop - leftStop
        readonly property real per: span / slider.segment

        function pointX(index) {
            return leftStop + per * index
        }
        function clamp(x) {
            return Math.max(leftStop, Math.min(rightStop, x))
        }
        // The first point at or to the right of x (tolerance pixels of slack), else the last.
        function snapIndex(x, tolerance) {
            for (var i = 0; i < slider.segment; ++i) {
                if (x <= pointX(i) + tolerance)
                    return i
            }
            return slider.segment
        }
    }

    Rectangle {
        id: track
        anchors.fill: parent
        radius: 3
        color: slider.trackColor
    }

    Rectangle {
        height: parent.height
        width: knob.x + geometry.w / 2
        radius: 3
        color: slider.colorS
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -3
        onClicked: function(mouse) {
            slider.btnClick()
            var target = geometry.clamp(mouse.x + x - geometry.w / 2)
            if (slider.isScale) {
                var index = geometry.snapIndex(target, 0)
                target = geometry.pointX(index)
                slider.segmentValue = index
            }
            move.stop()
            move.to = target
            move.start()
        }
    }

    // 12 x 12: the knob positions the pages store and convert (3 to 161 on a 176-pixel DPI
    // slider, 3 to 337 on the 352-pixel pointer sliders) are those of a 12-pixel knob, which
    // also sits centred on the 6-pixel track.
    Image {
        id: knob
        objectName: "knob"
        x: width / 4
        y: -width / 4
        width: 12
        height: 12
        source: Skin.sourceSlide

        MouseArea {
            id: knobArea
            anchors.fill: parent
            preventStealing: true
            property real pressX: 0
            property real startX: 0

            function finish() {
                if (slider.isScale) {
                    var index = geometry.snapIndex(knob.x, 1)
                    knob.x = geometry.pointX(index)
                    slider.segmentValue = index
                }
                slider.valueChangeDelay(knob.x)
                slider.dragSignal(false)
            }

            onPressed: function(mouse) {
                move.stop()
                pressX = mapToItem(slider, mouse.x, 0).x
                startX = knob.x
                slider.btnClick()
                slider.dragSignal(true)
            }
            onPositionChanged: function(mouse) {
                knob.x = geometry.clamp(startX + mapToItem(slider, mouse.x, 0).x - pressX)
                if (!slider.isScale)
                    slider.valueChange(knob.x)
            }
            onReleased: finish()
            onCanceled: finish()
        }
    }

    NumberAnimation {
        id: move
        target: knob
        property: "x"
        duration: 120
        easing.type: Easing.OutQuad
        onFinished: {
            slider.valueChange(knob.x)
            slider.valueChangeDelay(knob.x)
        }
    }
}
