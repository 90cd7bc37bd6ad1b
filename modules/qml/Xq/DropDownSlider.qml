// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A drop-down holding a slider 16 pixels narrower than the header. The slider's knob positions
// and drags are passed on unchanged; the page sets the header text.
DropDownBase {
    id: dropSlider

    property color sliderBgColor: Skin.colorGray0
    property color sliderbarBg: Skin.colorGray1
    property alias sliderControl: slider

    signal btnClick()
    signal dragSignal(bool isDrag)
    signal valueChange(int index)

    panelHeight: 24

    function closeMenu() {
        isDrop = false
    }

    function setValue(ratio) {
        slider.setRatioValue(ratio)
    }

    onHeaderClicked: btnClick()

    Rectangle {
        anchors.fill: parent
        color: dropSlider.sliderBgColor

        SliderButton {
            id: slider
            anchors.centerIn: parent
            width: parent.width - 16
            trackColor: dropSlider.sliderbarBg
            onValueChange: function(tmpValue) { dropSlider.valueChange(tmpValue) }
            onDragSignal: function(isDrag) { dropSlider.dragSignal(isDrag) }
        }
    }
}
