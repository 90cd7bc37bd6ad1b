// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest

// Skin pictures come at their design size, and with "?hi" at twice it in pixels; either way an
// Image shows them at their design size.
TestCase {
    id: testCase
    name: "SkinImages"

    Component {
        id: imageComponent
        Image {}
    }

    function test_designSize_data() {
        return [
            { tag: "resource", source: "qrc:/index/modules/img/skin1/index/powerOn.png", size: Qt.size(320, 120),
              pixels: 1 },
            { tag: "resource, scaled window", source: "qrc:/index/modules/img/skin1/index/powerOn.png?hi",
              size: Qt.size(320, 120), pixels: 2 },
            { tag: "read from disk", source: "file:modules/img/skin1/titleLogo.png", size: Qt.size(160, 24), pixels: 1 },
            { tag: "read from disk, scaled window", source: "file:modules/img/skin1/titleLogo.png?hi",
              size: Qt.size(160, 24), pixels: 2 }
        ]
    }

    function test_designSize(data) {
        var image = createTemporaryObject(imageComponent, testCase, { source: data.source })
        tryCompare(image, "status", Image.Ready)
        compare(Qt.size(image.implicitWidth, image.implicitHeight), data.size)
        compare(image.sourceSize, Qt.size(data.pixels * data.size.width, data.pixels * data.size.height))
        // The scene keeps seeing the name it gave.
        compare(String(image.source), data.source)
    }
}
