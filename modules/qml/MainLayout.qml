// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "Xq"
import "common"

// The window's content behind the power-on picture: background, pages, dialogs. The window
// builds it while the power-on picture shows (its first frame needs none of it) and reaches its
// parts through the properties below; the parts reach the window through `root`.
Item {
    id: layout

    property alias mouseMain: mouseMain
    property alias keyMatrixMain: keyMatrixMain
    property alias dpiSettingMain: dpiSettingMain
    property alias lightControlMain: lightControlMain
    property alias reportRateList: reportRateList
    readonly property Item lodList: lodLoader.item
    property alias profileList: profileList
    property alias keyAssigmentMain: keyAssigmentMain
    property alias profileMain: profileMain
    property alias macroEditorMain: macroEditorMain
    property alias gunControlMain: gunControlMain
    property alias systemSettingMain: systemSettingMain
    property alias resetDialog: resetDialog
    property alias helpMenu: helpMenu
    property alias layoutAdjustMain: layoutAdjustMain
    property alias keyCodeNames: keyCodeNames
    property alias saveNotice: saveNotice
    readonly property bool dialogOpen: keyAssigmentMain.visible || profileMain.visible || macroEditorMain.visible
                                       || gunControlMain.visible || systemSettingMain.visible || resetDialog.visible

    // Key names in the device's language, for the assignment dialog and the macro editor.
    KeyCodeString {
        id: keyCodeNames
        readonly property var keyCodeStrBuiltIn: keyCodeStr.slice()
    }

    // The background picture in pieces (see cmake/skin.cmake): its ends, one column repeated
    // along between them, and the stage behind the mouse.
    Item {
        anchors.fill: parent
        Image { source: Skin.diskImage("backgroundLeft") }
        Image {
            x: 12
            width: 1000
            height: 640
            // Repeated at design size, where stretching would interpolate it a shade off; stretched
            // from the twice-size picture, which Qt Quick repeats at the wrong height.
            fillMode: Skin.hiDpi ? Image.Stretch : Image.TileHorizontally
            source: Skin.diskImage("backgroundMiddle")
        }
        Image { x: 1012; source: Skin.diskImage("backgroundRight") }
        // Two pixels wider all round than what differs from the middle column, so that a scaled
        // window blends the stage's edges with the same pixels the whole picture has there.
        Image { x: 262; y: 54; source: Skin.diskImage("backgroundStage") }
    }

    // Pressing the empty background closes the drop-downs and drags the window.
    WindowDragArea {
        anchors.fill: parent
        screenRate: root.screenRate
        onPressed: root.mainFocus()
    }

    Image {
        x: root.setTitleBar_X
        y: root.setTitleBar_Y
        source: Skin.diskImage("titleBar")
    }
    Image {
        objectName: "titleLogo"
        x: 52 + root.setTitleLogo_X
        y: 24 + root.setTitleLogo_Y
        source: Skin.diskImage("titleLogo")
    }

    Mouse {
        id: mouseMain
        objectName: "mouseMain"
        x: root.setMouseMain_X
        y: root.setMouseMain_Y
        width: 1024
        height: 640
        segmentOffsets: [root.setMouseMainSeg0_X, root.setMouseMainSeg0_Y, root.setMouseMainSeg1_X,
            root.setMouseMainSeg1_Y, root.setMouseMainSeg2_X, root.setMouseMainSeg2_Y, root.setMouseMainSeg3_X,
            root.setMouseMainSeg3_Y, root.setMouseMainSeg4_X, root.setMouseMainSeg4_Y, root.setMouseMainSeg5_X,
            root.setMouseMainSeg5_Y, root.setMouseMainSeg6_X, root.setMouseMainSeg6_Y, root.setMouseMainSeg7_X,
            root.setMouseMainSeg7_Y]
        onKeyClicked: function(index) { keyAssigmentMain.openFor(index) }
        onKeyHovered: function(index) { root.hoverKey(index) }
    }

    Column {
        id: leftColumn
        objectName: "leftColumn"
        x: 24 + root.setLeftMain_X
        y: 88 + root.setLeftMain_Y
        spacing: 8

        KeyMatrix {
            id: keyMatrixMain
            objectName: "keyMatrixMain"
            width: 232
            keyCount: mouseMain.keyCount
            keyAssigment: keyAssigmentMain
            selectKey: mouseMain.selectKey
            onRowClicked: function(index) { keyAssigmentMain.openFor(index) }
            onRowHovered: function(index) { root.hoverKey(index) }
            onSendMacro: function(index, name) { macroEditorMain.sendMacro(index, name) }
        }

        PanelBox {
            id: editorBox
            width: 232
            height: root.isGun ? 100 : 76
            title: root.mainLang[0]

            Column {
                x: 8
                y: 36
                spacing: 8
                SceneButton {
                    objectName: "macroEditorButton"
                    width: 216
                    height: 24
                    text: root.mainLang[1]
                    onClicked: root.openCentred(macroEditorMain)
                }
                SceneButton {
                    objectName: "gunEditorButton"
                    width: 216
                    height: 24
                    visible: root.isGun
                    text: root.mainLang[2]
                    onClicked: root.openCentred(gunControlMain)
                }
            }
        }

        PanelBox {
            width: 232
            height: 42
            title: root.mainLang[3]
            titleSize: root.isUkrainian ? Skin.fontMinSize : Skin.fontNormalSize
            reservedRight: reportRateList.width + 8
            z: 3

            DropDownList {
                id: reportRateList
                objectName: "reportRateList"
                x: parent.width - width - 8
                y: 9
                width: root.isUkrainian ? 100 : 120
                mdItems: ListModel {
                    ListElement { textValue: "125Hz" }
                    ListElement { textValue: "250Hz" }
                    ListElement { textValue: "500Hz" }
                    ListElement { textValue: "1000Hz" }
                }
                count: 4
                onValueChange: function(index) { root.chooseReportRate(index) }
            }
        }

        PanelBox {
            id: lodRow
            objectName: "lodRow"
            width: 232
            height: 42
            title: "LOD"
            titleSize: root.isUkrainian ? Skin.fontMinSize : Skin.fontNormalSize
            reservedRight: lodLoader.width + 8
            visible: root.lodVisible
            z: 2

            // Built for the sensors that have the setting; the window keeps the choice.
            Loader {
                id: lodLoader
                x: parent.width - width - 8
                y: 9
                width: root.isUkrainian ? 100 : 120
                active: root.lodVisible
                sourceComponent: DropDownList {
                    objectName: "lodList"
                    width: lodLoader.width
                    currentSelect: root.lodIndex
                    mdItems: ListModel {
                        ListElement { textValue: "1 MM" }
                        ListElement { textValue: "2 MM" }
                    }
                    count: 2
                    onValueChange: function(index) { root.chooseLod(index) }
                }
            }
        }

        SceneButton {
            objectName: "systemSettingButton"
            width: 232
            height: 24
            text: root.mainLang[9]
            onClicked: root.openCentred(systemSettingMain)
        }
    }

    Column {
        id: rightColumn
        objectName: "rightColumn"
        x: 768 + root.setRightMain_X
        y: 56 + root.setRightMain_Y
        spacing: 8

        DpiSetting {
            id: dpiSettingMain
            objectName: "dpiSettingMain"
            width: 232
            entryRows: root.lodVisible
            z: 2
        }
        LightControl {
            id: lightControlMain
            objectName: "lightControlMain"
            width: 232
            isColorful: root.isColorful
            is55328: root.is55328
            dpiCount: dpiSettingMain.dpiCount
        }
    }

    Row {
        id: bottomRow
        objectName: "bottomRow"
        anchors.right: parent.right
        anchors.rightMargin: 24 - root.setDnbtnMain_X
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8 - root.setDnbtnMain_Y
        spacing: 16
        readonly property int buttonWidth: (root.isUkrainian ? 90 : 64) + root.setDnbtnWidget
        readonly property int buttonHeight: 24 + root.setDnbtnHeight

        SceneButton {
            objectName: "configButton"
            width: bottomRow.buttonWidth
            height: bottomRow.buttonHeight
            text: root.mainLang[4]
            onClicked: root.openCentred(profileMain)
        }
        SceneButton {
            objectName: "resetButton"
            width: bottomRow.buttonWidth
            height: bottomRow.buttonHeight
            text: root.mainLang[5]
            onClicked: resetDialog.openCentred()
        }
        SceneButton {
            objectName: "saveButton"
            width: bottomRow.buttonWidth
            height: bottomRow.buttonHeight
            text: root.mainLang[10]
            textColor: root.isSaveNeeded ? "#ff3030" : Skin.fontColor
            onClicked: root.saveAll()
        }
    }

    SaveNotice {
        id: saveNotice
        objectName: "saveNotice"
        anchors.left: parent.left
        anchors.leftMargin: 24
        anchors.right: bottomRow.left
        anchors.rightMargin: 16
        anchors.verticalCenter: bottomRow.verticalCenter
    }

    Item {
        id: titleButtons
        x: root.setUpbtnMain_X
        y: root.setUpbtnMain_Y
        z: 5

        DropDownList {
            id: profileList
            objectName: "profileList"
            x: 920 - 16 - 144
            y: 12
            width: 144
            mdItems: profileMain.profileDataModel0
            count: profileMain.profileDataModel0.count
            // Entries carry their slot: the list position is not the slot once an entry
            // in the middle has been deleted.
            function selectSlot(slot) {
                for (var i = 0; i < mdItems.count; ++i)
                    if (mdItems.get(i).profileNo === slot) {
                        currentSelect = i
                        return
                    }
                currentSelect = -1
            }
            onValueChange: function(index) {
                if (index >= 0 && index < mdItems.count)
                    root.changeProfile(mdItems.get(index).profileNo)
            }
            // The profile page added or removed an entry: the one in use may have moved.
            Connections {
                target: profileList.mdItems
                function onCountChanged() { profileList.selectSlot(root.currentProfileNo) }
            }
        }

        Row {
            x: 920
            y: 16
            spacing: 16
            TitleButton {
                objectName: "helpButton"
                icon: "help"
                onClicked: helpMenu.visible = !helpMenu.visible
            }
            TitleButton {
                objectName: "minimizeButton"
                icon: "minimize"
                onClicked: ui_Ctl.onMinimize()
            }
            TitleButton {
                objectName: "closeButton"
                icon: "close"
                onClicked: ui_Ctl.onClose()
            }
        }
    }

    // Dims the window while a dialog is open; a press hands the focus back to the dialog.
    Rectangle {
        id: mask
        objectName: "mask"
        anchors.fill: parent
        color: "#90000000"
        visible: layout.dialogOpen
        z: 10

        WindowDragArea {
            anchors.fill: parent
            screenRate: root.screenRate
            onPressed: {
                var pages = [resetDialog, keyAssigmentMain, profileMain, macroEditorMain,
                             gunControlMain, systemSettingMain]
                for (var i = 0; i < pages.length; ++i)
                    if (pages[i].visible) {
                        pages[i].forceActiveFocus()
                        return
                    }
            }
        }
    }

    KeyAssigment {
        id: keyAssigmentMain
        objectName: "keyAssigmentMain"
        z: 11
        keyMatrix: keyMatrixMain
        keyCodes: keyCodeNames
        isGun: root.isGun
        macroNames: root.macroNames
        onOpened: mouseMain.selectKey = keyAssigmentMain.selectKey
        onClosed: mouseMain.selectKey = -1
        onOpenMacroEditor: root.openCentred(macroEditorMain)
        onSendMacro: function(index, name) { macroEditorMain.sendMacro(index, name) }
    }

    Profile {
        id: profileMain
        objectName: "profileMain"
        z: 11
        onChangeProfile: function(tmpProfileNo) { root.changeProfile(tmpProfileNo) }
    }

    MacroEditor {
        id: macroEditorMain
        objectName: "macroEditorMain"
        z: 11
        keyCodes: keyCodeNames
        onMacroListChanged: function(names) { root.macroNames = names }
        onDeleteMacro: function(macroName) { root.macroDeleted(macroName) }
        onModifyMacroName: function(oldMacroName, newMacroName) {
            root.macroRenamed(oldMacroName, newMacroName)
        }
        onModifyMacroData: function(macroName) { root.macroChanged(macroName) }
    }
    // The assignment dialog's macro list may name a macro the editor just changed.
    Connections {
        target: macroEditorMain
        function onClosed() { keyAssigmentMain.closeMenus() }
    }

    GunControl {
        id: gunControlMain
        objectName: "gunControlMain"
        z: 11
        onSendKeyMatrix: keyMatrixMain.sendKeyMatrix(gunControlMain.assignedPeriods())
        onSaveRequested: {
            ui_View.beginSave()
            gunControlMain.sendAll()
            root.endSave()
        }
    }

    SystemSetting {
        id: systemSettingMain
        objectName: "systemSettingMain"
        z: 11
    }

    ConfirmDialog {
        id: resetDialog
        objectName: "resetDialog"
        z: 11
        title: root.mainLang[5]
        text: root.mainLang[6]
        okText: root.mainLang[8]
        cancelText: root.mainLang[7]
        onAccepted: root.factoryReset()
    }

    HelpMenu {
        id: helpMenu
        objectName: "helpMenu"
        x: 1024 - 300 - width
        y: 30
        z: 12
        url: root.url
        version: Qt.application.version
        onOpenUrl: root.askMenuCmd(0)
    }

    LayoutAdjust {
        id: layoutAdjustMain
        objectName: "layoutAdjustMain"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        z: 13
        visible: root.isDebugEnable
        target: root
    }
}
