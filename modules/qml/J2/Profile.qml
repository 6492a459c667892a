import QtQuick
import "../basic"
import "../js/ProfileNames.js" as Names
import "../js/NameList.js" as NameList

// Profile dialog: the named profiles (at most six), new, import, delete,
// export and rename. Each entry keeps the slot its settings file lives in;
// the title bar's drop-down lists the same names (profileNames). On the
// right, the programs the selected profile follows and the default profile.
Rectangle {
    id: profile

    property var langStrings: ["config", "New", "Import", "Delete", "Export", "Standard",
        "Programs", "Recently focused", "Default profile", "No program bound yet.",
        "Focus other programs to list them here."]
    // The back end of per-program profiles; absent where no scene host
    // publishes it (then the panel stays empty).
    readonly property QtObject programs: typeof programProfiles !== "undefined" ? programProfiles : null
    readonly property int selectedSlot: selected >= 0 && selected < entries.length ? entries[selected].number : -1
    // Slot of the active profile.
    property int profileNo: 0
    property alias profileNames: profileNames
    property var entries: []
    property int selected: 0
    // Set while the shell's start-up hands over the stored profile number.
    property bool starting: false

    signal changeProfile(int index)

    // The slot of the entry at a list position (the title bar's drop-down
    // reports positions), and the position of a slot.
    function slotAt(position) {
        return position >= 0 && position < entries.length ? entries[position].number : position
    }

    function positionOf(slot) {
        return Names.positionOf(entries, slot)
    }

    // The title bar's position of the active profile.
    readonly property int activePosition: {
        var p = Names.positionOf(entries, profileNo)
        return p >= 0 ? p : profileNo
    }

    // Reads the name list, gives entry 0 the standard name and writes the
    // list back.
    function init() {
        entries = Names.withStandard(Names.parse(ui_View.getNameList(2)), langStrings[5])
        writeList()
        selected = 0
        // The shell assigns the stored profile number right after this;
        // the settings of that slot must be the ones the screens read.
        starting = true
        Qt.callLater(function () { profile.starting = false })
    }

    // At start the back end works on slot 0; a stored profile other than
    // 0 is made current, so the screens show and edit the profile the
    // title bar names.
    onProfileNoChanged: {
        if (!starting)
            return
        starting = false
        if (positionOf(profileNo) >= 0)
            ui_View.setCurrentProfile(profileNo)
    }

    function writeList() {
        ui_View.updataNameList(2, Names.texts(entries))
        // Rows change in place, so the title bar's list keeps its items.
        NameList.syncModel(profileNames, entries.map((e) => ({ textValue: e.name, number: e.number })))
        if (selected >= entries.length)
            selected = entries.length - 1
    }

    function addEntry() {
        var entry = Names.newEntry(entries)
        if (entry === null)
            return null
        var list = entries.slice()
        list.push(entry)
        entries = list
        selected = entries.length - 1
        writeList()
        return entry
    }

    function newProfile() {
        profileFocus()
        var entry = addEntry()
        if (entry !== null)
            ui_View.resetProfile(entry.number)
    }

    // A cancelled import leaves a factory profile, as New does, rather than
    // whatever an earlier profile left in that slot.
    function importProfile() {
        profileFocus()
        var entry = addEntry()
        if (entry !== null && !ui_View.loadProfile(entry.number))
            ui_View.resetProfile(entry.number)
    }

    function deleteProfile(position) {
        if (!Names.canDelete(entries, position, profileNo))
            return false
        // A new profile that later takes this slot starts without programs.
        if (programs)
            programs.forgetProfile(entries[position].number)
        var list = entries.slice()
        list.splice(position, 1)
        entries = list
        if (selected >= position && selected > 0)
            selected -= 1
        writeList()
        return true
    }

    function exportProfile() {
        ui_View.saveProfile(profileNo)
    }

    function renameProfile(position, newName) {
        if (!Names.canRename(entries, position, newName))
            return false
        var list = entries.slice()
        list[position] = { name: String(newName), number: list[position].number }
        entries = list
        writeList()
        return true
    }

    function canDelete(position) {
        return Names.canDelete(entries, position, profileNo)
    }

    function startRename(position) {
        if (position <= 0 || position >= entries.length)
            return
        selected = position
        var ui = content.item
        if (!ui)
            return
        ui.menu.visible = false
        ui.nameEditor.position = position
        ui.nameEditor.text = entries[position].name
        ui.nameEditor.editing = true
        ui.nameEditor.forceActiveFocus()
        ui.nameEditor.selectAll()
    }

    function finishRename(accept) {
        var ui = content.item
        if (!ui || !ui.nameEditor.editing)
            return
        ui.nameEditor.editing = false
        if (accept)
            renameProfile(ui.nameEditor.position, ui.nameEditor.text.trim())
    }

    function profileFocus() {
        if (content.item)
            content.item.menu.visible = false
        finishRename(true)
    }

    function close() {
        profileFocus()
        visible = false
    }

    width: 640
    height: 320
    color: mainIten.colorGray0
    Accessible.role: Accessible.Dialog
    Accessible.name: langStrings[0]
    // Escape closes the context menu first, then the dialog.
    Keys.onEscapePressed: {
        if (content.item && content.item.menu.visible) {
            content.item.menu.visible = false
            profile.forceActiveFocus()
        } else {
            close()
        }
    }
    border.color: mainIten.colorGray1

    ListModel {
        id: profileNames
    }

    // The visuals are built the first time the dialog is shown; until then
    // the dialog is its data and the functions the scene calls.
    property bool built: visible
    onVisibleChanged: if (visible) built = true

    Loader {
        id: content
        anchors.fill: parent
        active: profile.built
        sourceComponent: Item {
            property alias menu: menu
            property alias nameEditor: nameEditor

            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onPressed: profile.profileFocus()
            }

            DialogTitle {
                textValue: profile.langStrings[0]
                onCloseClicked: profile.close()
            }

            Rectangle {
                id: listFrame
                x: 20
                y: 46
                width: 320
                height: 6 * 32 + 8
                color: mainIten.colorBlack
                border.color: mainIten.colorGray1

                Column {
                    x: 4
                    y: 4
                    width: parent.width - 8
                    Accessible.role: Accessible.List
                    Accessible.name: profile.langStrings[0]

                    Repeater {
                        id: rows
                        objectName: "profileRows"
                        model: profileNames

                        Rectangle {
                            id: row
                            objectName: "profileRow" + index
                            readonly property bool isActive: model.number === profile.profileNo
                            width: parent.width
                            height: 32
                            radius: 2
                            color: index === profile.selected ? mainIten.colorGray1
                                                              : (rowArea.containsMouse ? "#262626" : "transparent")

                            // Space selects the entry, F2 renames it, the menu key
                            // or Shift+F10 opens its menu; Up and Down move.
                            function choose() {
                                if (mainIten.inputBlocked)
                                    return
                                profile.finishRename(true)
                                profile.selected = index
                                menu.visible = false
                            }
                            function openMenu() {
                                choose()
                                var p = mapToItem(profile, 40, height)
                                menu.x = Math.min(p.x, profile.width - menu.width - 4)
                                menu.y = Math.min(p.y, profile.height - menu.height - 4)
                                menu.visible = true
                                menuFirst.forceActiveFocus(Qt.TabFocusReason)
                            }
                            activeFocusOnTab: enabled
                            Keys.onSpacePressed: choose()
                            Keys.onReturnPressed: choose()
                            Keys.onEnterPressed: choose()
                            Keys.onUpPressed: if (index > 0) rows.itemAt(index - 1).forceActiveFocus(Qt.TabFocusReason)
                            Keys.onDownPressed: if (index + 1 < rows.count) rows.itemAt(index + 1).forceActiveFocus(Qt.TabFocusReason)
                            Keys.onPressed: (event) => {
                                if (event.key === Qt.Key_F2 && !mainIten.inputBlocked)
                                    profile.startRename(index)
                                else if (event.key === Qt.Key_Menu || (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier)))
                                    openMenu()
                                else
                                    return
                                event.accepted = true
                            }
                            Accessible.role: Accessible.ListItem
                            Accessible.name: model.textValue + ", P" + (model.number + 1)
                            Accessible.selectable: true
                            Accessible.selected: index === profile.selected
                            Accessible.onPressAction: choose()

                            FocusRing {}

                            Rectangle {
                                x: 0
                                anchors.verticalCenter: parent.verticalCenter
                                width: 3
                                height: 18
                                color: mainIten.colorBlue
                                visible: row.isActive
                            }

                            Image {
                                x: 12
                                anchors.verticalCenter: parent.verticalCenter
                                width: 16
                                height: 16
                                sourceSize.width: 16
                                sourceSize.height: 16
                                source: mainIten.img("profile", "icon")
                                opacity: row.isActive ? 1.0 : 0.6
                            }

                            Text {
                                x: 38
                                anchors.verticalCenter: parent.verticalCenter
                                width: parent.width - 80
                                elide: Text.ElideRight
                                text: model.textValue
                                font.family: mainIten.fontFamily
                                font.pixelSize: mainIten.fontNormalSize
                                font.bold: row.isActive
                                color: row.isActive ? mainIten.colorBlue : mainIten.fontColor
                            }

                            Text {
                                anchors.right: parent.right
                                anchors.rightMargin: 10
                                anchors.verticalCenter: parent.verticalCenter
                                text: "P" + (model.number + 1)
                                font.family: mainIten.fontFamily
                                font.pixelSize: mainIten.fontMinSize
                                color: mainIten.colorGray2
                            }

                            MouseArea {
                                id: rowArea
                                anchors.fill: parent
                                hoverEnabled: true
                                acceptedButtons: Qt.LeftButton | Qt.RightButton
                                onPressed: (mouse) => {
                                    profile.finishRename(true)
                                    profile.selected = index
                                    if (mouse.button === Qt.RightButton) {
                                        var p = mapToItem(profile, mouse.x, mouse.y)
                                        menu.x = Math.min(p.x, profile.width - menu.width - 4)
                                        menu.y = Math.min(p.y, profile.height - menu.height - 4)
                                        menu.visible = true
                                    } else {
                                        menu.visible = false
                                    }
                                }
                                onDoubleClicked: (mouse) => {
                                    if (mouse.button === Qt.LeftButton)
                                        profile.startRename(index)
                                }
                            }
                        }
                    }
                }

                // The name being edited, over its row.
                Rectangle {
                    visible: nameEditor.editing
                    x: 4 + 34
                    y: 4 + nameEditor.position * 32 + 5
                    width: parent.width - 8 - 34 - 40
                    height: 22
                    color: mainIten.colorGray0
                    border.color: mainIten.colorBlue

                    TextInput {
                        id: nameEditor
                        objectName: "profileNameEditor"
                        property int position: -1
                        anchors.fill: parent
                        anchors.leftMargin: 4
                        anchors.rightMargin: 4
                        verticalAlignment: TextInput.AlignVCenter
                        property bool editing: false
                        maximumLength: Names.maxNameLength
                        clip: true
                        selectByMouse: true
                        font.family: mainIten.fontFamily
                        font.pixelSize: mainIten.fontNormalSize
                        color: "#ffffff"
                        selectionColor: mainIten.colorBlue
                        Accessible.role: Accessible.EditableText
                        Accessible.name: mainIten.accessLang[18]
                        Keys.onReturnPressed: profile.finishRename(true)
                        Keys.onEnterPressed: profile.finishRename(true)
                        Keys.onEscapePressed: profile.finishRename(false)
                        onActiveFocusChanged: if (!activeFocus) profile.finishRename(true)
                    }
                }
            }

            ProgramBindingsPanel {
                id: bindingsPanel
                objectName: "programBindings"
                x: listFrame.x + listFrame.width + 20
                y: listFrame.y
                width: parent.width - x - 20
                height: parent.height - y - 20
                programs: profile.programs
                slot: profile.selectedSlot
                langStrings: profile.langStrings
            }

            Row {
                x: listFrame.x + listFrame.width - width
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 20
                spacing: 16

                TextButton {
                    objectName: "profileNew"
                    textValue: profile.langStrings[1]
                    enabled: profile.entries.length < Names.maxProfiles
                    opacity: enabled ? 1.0 : 0.4
                    onClicked: profile.newProfile()
                }

                TextButton {
                    objectName: "profileImport"
                    textValue: profile.langStrings[2]
                    enabled: profile.entries.length < Names.maxProfiles
                    opacity: enabled ? 1.0 : 0.4
                    onClicked: profile.importProfile()
                }
            }

            Text {
                x: 20
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 24
                text: profile.entries.length + " / " + Names.maxProfiles
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMinSize
                color: mainIten.colorGray2
            }

            // Context menu of an entry: Delete, Export.
            Rectangle {
                id: menu
                objectName: "profileMenu"
                visible: false
                width: 120
                height: menuColumn.height + 4
                color: mainIten.colorBlack
                border.color: mainIten.colorGray1
                z: 5
                Accessible.role: Accessible.PopupMenu
                Accessible.name: profile.langStrings[0]

                Column {
                    id: menuColumn
                    x: 2
                    y: 2
                    width: parent.width - 4

                    ContextMenuItem {
                        id: menuFirst
                        objectName: "profileMenuDelete"
                        textValue: profile.langStrings[3]
                        active: profile.canDelete(profile.selected)
                        onTriggered: {
                            menu.visible = false
                            profile.deleteProfile(profile.selected)
                        }
                    }

                    ContextMenuItem {
                        objectName: "profileMenuExport"
                        textValue: profile.langStrings[4]
                        onTriggered: {
                            menu.visible = false
                            profile.exportProfile()
                        }
                    }
                }
            }
        }
    }
}
