import QtQuick
import "../common"
import "SceneText.js" as SceneText

// The profile page: named profiles, each with its settings slot. Its list is also the title
// bar's profile drop-down.
FloatingPanel {
    id: page
    property int profileNo: -1
    property int activeSlot: 0
    property alias profileDataModel0: profileModel
    readonly property var profileLangBuiltIn: ["config", "New", "Import", "Delete", "Export", "Standard", "", "", "", ""]
    property var profileLang: profileLangBuiltIn
    signal changeProfile(int tmpProfileNo)
    signal listViewFocus()
    signal doubleClick()

    width: 415
    height: 288
    keepInside: false

    ListModel { id: profileModel }

    function init() {
        var stored = SceneText.dropSentinel(ui_View.getNameList(2))
        profileModel.clear()
        for (var i = 0; i < stored.length && profileModel.count < 6; ++i) {
            var text = stored[i]
            var slot = parseInt(text.charAt(text.length - 1), 10)
            if (text.length < 1 || isNaN(slot) || slot > 5)
                continue
            profileModel.append({ textValue: text.slice(0, -1), profileNo: slot })
        }
        if (profileModel.count === 0)
            profileModel.append({ textValue: "", profileNo: 0 })
        profileModel.setProperty(0, "textValue", profileLang[5])
        store()
    }

    function store() {
        var list = []
        for (var i = 0; i < profileModel.count; ++i)
            list.push(profileModel.get(i).textValue + profileModel.get(i).profileNo)
        ui_View.updataNameList(2, list)
    }
}
