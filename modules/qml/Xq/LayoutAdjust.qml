import QtQuick

// The layout adjustment panel of debug mode (stand-in).
Rectangle {
    id: page
    property var target: null

    width: 250
    height: 130
    color: "#606060"

    function init() {
    }
}
