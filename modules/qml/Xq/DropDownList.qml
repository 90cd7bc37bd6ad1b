import QtQuick
import "."

// Interim drop-down list (replaced by the control kit's).
Item {
    id: control
    property bool isDrop: false
    property int count: 0
    property var mdItems: null
    property int currentSelect: 2
    property string textValue: mdItems && currentSelect >= 0 && currentSelect < count && mdItems.get(currentSelect)
                               ? mdItems.get(currentSelect).textValue : ""
    property color borderColor: Skin.colorGray1
    property color bgColor: Skin.colorGray0
    property int horizontalOffset: 0
    signal btnClick()
    signal valueChange(int index)
    height: 24
    function closeMenu() { isDrop = false }
    Rectangle {
        anchors.fill: parent
        color: control.bgColor
        border.color: control.borderColor
        Text { x: 6; anchors.verticalCenter: parent.verticalCenter; text: control.textValue; color: Skin.fontColor
               font.family: Skin.fontFamily; font.pixelSize: Skin.fontNormalSize }
        MouseArea { anchors.fill: parent; onClicked: { control.btnClick(); control.isDrop = !control.isDrop } }
    }
    Column {
        y: 24
        visible: control.isDrop
        Repeater {
            model: control.isDrop ? control.mdItems : null
            Rectangle {
                required property int index
                required property string textValue
                width: control.width; height: 24; color: index === control.currentSelect ? Skin.colorOrange : control.bgColor
                Text { x: 6; anchors.verticalCenter: parent.verticalCenter; text: textValue; color: Skin.fontColor
                       font.family: Skin.fontFamily; font.pixelSize: Skin.fontNormalSize }
                MouseArea { anchors.fill: parent; onClicked: { var c = control; var i = index; c.currentSelect = i; c.valueChange(i); c.isDrop = false } }
            }
        }
    }
}
