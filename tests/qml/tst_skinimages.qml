import QtQuick
import QtTest

// Skin pictures hold twice their design size in pixels; a plain Image shows them at design size.
TestCase {
    id: testCase
    name: "SkinImages"

    Component {
        id: imageComponent
        Image {}
    }

    function test_designSize_data() {
        return [
            { tag: "resource", source: "qrc:/index/modules/img/skin1/index/powerOn.png", size: Qt.size(320, 120) },
            { tag: "read from disk", source: "file:modules/img/skin1/titleLogo.png", size: Qt.size(160, 24) }
        ]
    }

    function test_designSize(data) {
        var image = createTemporaryObject(imageComponent, testCase, { source: data.source })
        tryCompare(image, "status", Image.Ready)
        compare(Qt.size(image.implicitWidth, image.implicitHeight), data.size)
        compare(image.sourceSize, Qt.size(2 * data.size.width, 2 * data.size.height))
        // The scene keeps seeing the name it gave.
        compare(String(image.source), data.source)
    }
}
