// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "SceneText.js" as SceneText

// The profile page: the user's named profiles (at most six), each with its own settings slot.
// Its list is also the title bar's profile drop-down. Every entry carries its slot number,
// and every file operation goes through that number, never through the entry's list position
// (which stops matching the slot once an entry in the middle has been deleted).
FloatingPanel {
    id: page
    // The slot of the profile in use (set by the main window).
    property int profileNo: -1
    property alias profileDataModel0: profileModel
    // The entry the page acts on (list position), the entry being renamed, the context menu.
    property int selectedIndex: 0
    property int editingIndex: -1
    property bool menuShown: false
    property point menuPosition: Qt.point(0, 0)
    readonly property int maxEntries: 6
    readonly property var profileLangBuiltIn: ["config", "New", "Import", "Delete", "Export", "Standard", "", "", "", ""]
    property var profileLang: profileLangBuiltIn
    signal changeProfile(int tmpProfileNo)
    signal listViewFocus()
    signal doubleClick()

    width: 415
    height: 288
    // Never past the left or top edge; the others may be dragged out of the window.
    keepInside: false

    ListModel { id: profileModel }

    TextMetrics {
        id: nameMetrics
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    onDoubleClick: startRename(selectedIndex)
    onClosed: {
        menuShown = false
        editingIndex = -1
    }

    // Entries from the stored name list: the name followed by the slot digit. Entries without
    // a slot digit 0..5, or with a slot an earlier entry has, are dropped (two entries on one
    // slot would write each other's settings).
    function init() {
        var stored = SceneText.dropSentinel(ui_View.getNameList(2))
        profileModel.clear()
        for (var i = 0; i < stored.length && profileModel.count < maxEntries; ++i) {
            var text = stored[i]
            var digit = text.charAt(text.length - 1)
            if (!/^[0-5]$/.test(digit) || indexOfSlot(Number(digit)) >= 0)
                continue
            profileModel.append({ textValue: text.slice(0, -1), profileNo: Number(digit) })
        }
        if (profileModel.count === 0)
            profileModel.append({ textValue: "", profileNo: 0 })
        profileModel.setProperty(0, "textValue", profileLang[5])
        selectedIndex = Math.max(0, indexOfSlot(profileNo))
        editingIndex = -1
        menuShown = false
        store()
    }

    function store() {
        var list = []
        for (var i = 0; i < profileModel.count; ++i)
            list.push(profileModel.get(i).textValue + profileModel.get(i).profileNo)
        ui_View.updataNameList(2, list)
    }

    function indexOfSlot(slot) {
        for (var i = 0; i < profileModel.count; ++i)
            if (profileModel.get(i).profileNo === slot)
                return i
        return -1
    }

    function indexOfName(name) {
        for (var i = 0; i < profileModel.count; ++i)
            if (profileModel.get(i).textValue === name)
                return i
        return -1
    }

    // The smallest slot no entry uses; the slot in use counts as used even without an entry,
    // so that a new profile never resets the settings the pages are showing.
    function freeSlot() {
        if (profileModel.count >= maxEntries) {
            console.debug("Profile list full: no new profile")
            return -1
        }
        for (var n = 0; n < maxEntries; ++n)
            if (indexOfSlot(n) < 0 && n !== profileNo)
                return n
        console.debug("Profile list: no free slot")
        return -1
    }

    function addEntry(slot) {
        var k = 0
        while (indexOfName("profile_" + k) >= 0)
            ++k
        profileModel.append({ textValue: "profile_" + k, profileNo: slot })
        selectedIndex = profileModel.count - 1
        store()
    }

    // A new profile starts from the factory values.
    function newProfile() {
        var slot = freeSlot()
        if (slot < 0)
            return
        addEntry(slot)
        ui_View.resetProfile(slot)
    }

    // A new profile from a file; a cancelled dialog (or a file that cannot be read) adds nothing.
    function importProfile() {
        var slot = freeSlot()
        if (slot < 0 || !ui_View.loadProfile(slot))
            return
        addEntry(slot)
    }

    // The selected entry's settings to a file.
    function exportProfile() {
        if (selectedIndex >= 0 && selectedIndex < profileModel.count)
            ui_View.saveProfile(profileModel.get(selectedIndex).profileNo)
    }

    // The first entry and the profile in use stay; the slot file is left as it is.
    function deleteProfile() {
        var i = selectedIndex
        if (i <= 0 || i >= profileModel.count || profileModel.get(i).profileNo === profileNo) {
            console.debug("Profile entry kept:", i)
            return
        }
        profileModel.remove(i)
        selectedIndex = i - 1
        store()
    }

    function profileMenuCmd(cmd) {
        menuShown = false
        switch (Number(cmd)) {
        case 0: deleteProfile(); break
        case 1: exportProfile(); break
        case 2: importProfile(); break
        }
    }

    // The first entry's name is fixed (init gives it back its label).
    function startRename(index) {
        if (index <= 0 || index >= profileModel.count)
            return
        menuShown = false
        selectedIndex = index
        editingIndex = index
    }

    // A name another entry has, or no name, keeps the old one; a name too wide for the title
    // bar's drop-down is shortened until it fits.
    function finishRename(name, apply) {
        var i = editingIndex
        editingIndex = -1
        if (!apply || i <= 0 || i >= profileModel.count)
            return
        var text = String(name).trim()
        nameMetrics.text = text
        while (text.length > 1 && nameMetrics.advanceWidth > 104) {
            text = text.slice(0, -1).trim()
            nameMetrics.text = text
        }
        if (text === "" || text === profileModel.get(i).textValue || indexOfName(text) >= 0)
            return
        profileModel.setProperty(i, "textValue", text)
        store()
    }

    function openMenu(index, position) {
        selectedIndex = index
        editingIndex = -1
        // Kept inside the panel.
        menuPosition = Qt.point(Math.min(position.x, width - 128), Math.min(position.y, height - 56))
        menuShown = true
    }

    bodySource: Qt.resolvedUrl("ProfileBody.qml")
}
