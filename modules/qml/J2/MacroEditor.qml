import QtQuick
import "../basic"
import "../js/MacroCodec.js" as Macro
import "../js/NameList.js" as NameList

// Macro editor dialog: the list of macros (at most 100) and the steps of
// the selected one, recorded from the whole desktop or inserted from the
// step menu, with the repeat count. Every change is saved at once and the
// shell re-sends the macro to every button bound to it (macroEdited).
Rectangle {
    id: macroEditor

    property var langStrings: ["Macro Editor", "Macro Name", "New", "Delete", "Action", "Stop Record",
        "Times", "OK", "Start Record", "Delay", "Delete", "Import", "Export", "Insert Delay",
        "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key"]
    property bool isRecording: false
    property bool isInserting: false
    property string currentMacroName: ""

    // The macro names in list order; macroNameModel carries them with the
    // role textValue for the key dialog's macro list.
    property var macroNames: []
    property alias macroNameModel: macroNameModel
    property int selectedMacro: -1

    // The selected macro: its steps ({ type, info }) and repeat count.
    property var steps: []
    property int repeatCount: 1
    property int selectedStep: -1
    property bool recordDelay: true
    readonly property int encodedLength: Macro.encodedLength(steps)
    readonly property bool full: !Macro.belowLimit(steps)

    // Recording: milliseconds since the last recorded event.
    property double lastEventTime: 0
    property int recordTicks: 0
    // Insert Key: the last keyboard key pressed while the box is open.
    property int insertCode: 0

    signal macroDeleted(string name)
    signal macroRenamed(string oldName, string newName)
    signal macroEdited(string name)

    // ---- key names ----

    function codeOf(name) {
        return _KeyCodeString.strTokeycode(name)
    }

    function nameOf(code) {
        return _KeyCodeString.keycodeTostr(code)
    }

    // ---- start-up and the macro list ----

    function init() {
        setNames(NameList.dropFiller(ui_View.getNameList(0)))
        if (macroNames.length > 0)
            openMacro(0)
        else
            clearMacro()
    }

    function setNames(names) {
        macroNames = names
        NameList.syncModel(macroNameModel, names.map((n) => ({ textValue: n })))
    }

    function writeNames(names) {
        setNames(names)
        ui_View.updataNameList(0, names)
    }

    function clearMacro() {
        selectedMacro = -1
        currentMacroName = ""
        steps = []
        repeatCount = 1
        showRepeat()
        selectedStep = -1
    }

    function openMacro(index) {
        stopRecord()
        cancelInsert()
        if (index < 0 || index >= macroNames.length) {
            clearMacro()
            return
        }
        var parsed = Macro.parseMacroIni(ui_View.loadMacroIni(macroNames[index]))
        selectedMacro = index
        currentMacroName = macroNames[index]
        steps = parsed.steps
        repeatCount = parsed.repeat
        showRepeat()
        selectedStep = -1
    }

    function showRepeat() {
        if (content.item)
            content.item.repeatInput.textValue = String(repeatCount)
    }

    function newMacro() {
        macroEditorFocus()
        var name = Macro.defaultName(macroNames)
        if (name === "" || macroNames.length >= Macro.maxMacros)
            return
        var names = macroNames.slice()
        names.push(name)
        ui_View.createMacroIni(name, 0)
        writeNames(names)
        openMacro(names.length - 1)
    }

    // The imported macro goes to the selected position; a cancelled import
    // still leaves an empty macro of that name.
    function importMacro() {
        macroEditorFocus()
        var name = Macro.defaultName(macroNames)
        if (name === "" || macroNames.length >= Macro.maxMacros)
            return
        var at = selectedMacro < 0 ? macroNames.length : selectedMacro
        var names = macroNames.slice()
        names.splice(at, 0, name)
        if (!ui_View.loadMacroFile(name))
            ui_View.createMacroIni(name, 0)
        writeNames(names)
        openMacro(at)
    }

    function exportMacro() {
        macroEditorFocus()
        if (currentMacroName !== "")
            ui_View.saveMacroFile(currentMacroName)
    }

    // The shell gives the buttons bound to the macro their earlier
    // assignment back and clears the binding in the profiles (macroDeleted).
    function deleteMacro(index) {
        macroEditorFocus()
        if (index < 0 || index >= macroNames.length)
            return
        stopRecord()
        var name = macroNames[index]
        ui_View.deleteMacroIni(name)
        macroDeleted(name)
        var names = macroNames.slice()
        names.splice(index, 1)
        writeNames(names)
        openMacro(Math.min(index, names.length - 1))
    }

    // A rename is taken when the name is valid, unused in the list and no
    // stray macro file has it (the file rename would fail). The shell moves
    // the buttons' bindings and renames the file (macroRenamed).
    function renameMacro(index, newName) {
        if (index < 0 || index >= macroNames.length)
            return false
        var name = String(newName)
        if (name === macroNames[index] || !Macro.validName(macroNames, name, index))
            return false
        if (ui_View.loadMacroIni(name).length > 0)
            return false
        var oldName = macroNames[index]
        macroRenamed(oldName, name)
        var names = macroNames.slice()
        names[index] = name
        writeNames(names)
        if (index === selectedMacro)
            currentMacroName = name
        return true
    }

    // ---- the steps ----

    function setSteps(list) {
        steps = list
        commit()
    }

    // Saves the macro and lets the shell re-send it to its buttons.
    function commit() {
        if (currentMacroName === "")
            return
        ui_View.saveMacroIni(currentMacroName, Macro.stepTexts(steps), repeatCount)
        macroEdited(currentMacroName)
    }

    function deleteStep(index) {
        if (index < 0 || index >= steps.length)
            return
        var list = steps.slice()
        list.splice(index, 1)
        selectedStep = Math.min(index, list.length - 1)
        setSteps(list)
    }

    function insertDelay() {
        var r = Macro.insertDelay(steps, selectedStep)
        if (r === null)
            return false
        selectedStep = r.index
        setSteps(r.steps)
        return true
    }

    function insertClick(code) {
        var r = Macro.insertPair(steps, selectedStep, code, nameOf(code))
        if (r === null)
            return false
        selectedStep = r.index
        setSteps(r.steps)
        return true
    }

    function setDelay(index, ms) {
        var list = Macro.setDelay(steps, index, ms)
        if (list === null)
            return false
        setSteps(list)
        return true
    }

    function setRepeat(text) {
        var count = Macro.clampRepeat(text)
        var changed = count !== repeatCount
        repeatCount = count
        showRepeat()
        if (changed)
            commit()
    }

    // ---- recording ----

    function startRecord() {
        if (currentMacroName === "" || isRecording)
            return
        macroEditorFocus()
        cancelInsert()
        lastEventTime = Date.now()
        recordTicks = 0
        isRecording = true
    }

    // The steps are saved as they come; the macro goes to its buttons once
    // the recording ends, so no device traffic runs while keys are timed.
    function stopRecord() {
        if (!isRecording)
            return
        isRecording = false
        commit()
    }

    // A key event from the desktop while recording: the time since the
    // previous event becomes a delay step in 10 ms units.
    function detectKeyboard(isDown, usbCode) {
        if (!isRecording || currentMacroName === "")
            return
        var now = Date.now()
        var ticks = Math.max(0, Math.round((now - lastEventTime) / 10))
        lastEventTime = now
        var code = Number(usbCode)
        var list = Macro.recordEvent(steps, isDown, code, nameOf(code), ticks, recordDelay)
        if (list === null)
            return
        steps = list
        selectedStep = list.length - 1
        ui_View.saveMacroIni(currentMacroName, Macro.stepTexts(steps), repeatCount)
        if (content.item)
            content.item.stepList.positionViewAtEnd()
    }

    // ---- Insert Key ----

    function startInsert() {
        if (currentMacroName === "" || full)
            return
        stopRecord()
        insertCode = 0
        isInserting = true
    }

    function cancelInsert() {
        isInserting = false
        insertCode = 0
    }

    // Shows the last keyboard key pressed; mouse buttons are ignored.
    function detectInput(isDown, usbCode) {
        var code = Number(usbCode)
        if (!isInserting || !isDown || code >= Macro.firstMouseCode || nameOf(code) === "")
            return
        insertCode = code
    }

    function confirmInsert() {
        var code = insertCode
        cancelInsert()
        if (code !== 0)
            insertClick(code)
    }

    // ---- sending ----

    // The macro's stored steps, encoded, to macro slot `index`.
    function sendMacro(index, macroName) {
        var parsed = Macro.parseMacroIni(ui_View.loadMacroIni(macroName))
        var stream = Macro.encode(parsed.steps, parsed.repeat, codeOf)
        ui_View.mouseSendMacroData(stream, index)
    }

    // ---- focus and closing ----

    function macroEditorFocus() {
        var ui = content.item
        if (!ui)
            return
        ui.listMenu.visible = false
        ui.stepMenu.visible = false
        finishRename(true)
        finishDelayEdit(true)
        ui.repeatInput.closeFocus()
    }

    function close() {
        stopRecord()
        cancelInsert()
        macroEditorFocus()
        visible = false
    }

    function startRename(index) {
        if (index < 0 || index >= macroNames.length)
            return
        stopRecord()
        var ui = content.item
        if (!ui)
            return
        var editor = ui.renameEditor
        editor.index = index
        editor.text = macroNames[index]
        editor.editing = true
        editor.forceActiveFocus()
        editor.selectAll()
    }

    function finishRename(accept) {
        var editor = content.item ? content.item.renameEditor : null
        if (!editor || !editor.editing)
            return
        editor.editing = false
        if (accept)
            renameMacro(editor.index, editor.text)
    }

    function startDelayEdit(index) {
        if (index < 0 || index >= steps.length || steps[index].type !== Macro.DELAY || isRecording)
            return
        var ui = content.item
        if (!ui)
            return
        var editor = ui.delayEditor
        editor.index = index
        editor.text = String(steps[index].info)
        editor.editing = true
        editor.forceActiveFocus()
        editor.selectAll()
    }

    function finishDelayEdit(accept) {
        var editor = content.item ? content.item.delayEditor : null
        if (!editor || !editor.editing)
            return
        editor.editing = false
        if (accept && editor.text !== "")
            setDelay(editor.index, editor.text)
    }

    function openMenu(menu, item, x, y) {
        var p = item.mapToItem(macroEditor, x, y)
        menu.x = Math.min(p.x, width - menu.width - 4)
        menu.y = Math.min(p.y, height - menu.height - 4)
        menu.visible = true
    }

    // The menu key or Shift+F10 opens a row's menu from the keyboard, its
    // first entry focused.
    function isMenuKey(event) {
        return event.key === Qt.Key_Menu || (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier))
    }

    function openMenuByKey(menu, first, item) {
        openMenu(menu, item, 40, item.height)
        first.forceActiveFocus(Qt.TabFocusReason)
    }

    width: 600
    height: 440
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1

    ListModel {
        id: macroNameModel
    }

    Timer {
        interval: 10
        repeat: true
        running: macroEditor.isRecording
        onTriggered: macroEditor.recordTicks = Math.round((Date.now() - macroEditor.lastEventTime) / 10)
    }

    Accessible.role: Accessible.Dialog
    Accessible.name: langStrings[0]
    // Escape closes an open context menu first, then the editor.
    Keys.onEscapePressed: {
        var ui = content.item
        if (ui && (ui.listMenu.visible || ui.stepMenu.visible)) {
            ui.listMenu.visible = false
            ui.stepMenu.visible = false
            macroEditor.forceActiveFocus()
        } else {
            close()
        }
    }

    component Heading: Text {
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        font.bold: true
        color: mainIten.fontColor
    }

    component ListFrame: Rectangle {
        color: mainIten.colorBlack
        border.color: mainIten.colorGray1
    }

    // The visuals are built the first time the dialog is shown; until then
    // the dialog is its data and the functions the scene calls.
    property bool built: visible
    onVisibleChanged: if (visible) built = true

    Loader {
        id: content
        anchors.fill: parent
        active: macroEditor.built
        onLoaded: macroEditor.showRepeat()
        sourceComponent: Item {
            property alias repeatInput: repeatInput
            property alias stepList: stepList
            property alias listMenu: listMenu
            property alias stepMenu: stepMenu
            property alias renameEditor: renameEditor
            property alias delayEditor: delayEditor

            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onPressed: macroEditor.macroEditorFocus()
            }

            DialogTitle {
                textValue: macroEditor.langStrings[0]
                onCloseClicked: macroEditor.close()
            }



            // ---- macro list ----

            Heading {
                x: 20
                y: 44
                text: macroEditor.langStrings[1]
            }

            Text {
                x: 20
                y: 44
                width: 180
                horizontalAlignment: Text.AlignRight
                text: macroEditor.macroNames.length + " / " + Macro.maxMacros
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMinSize
                color: mainIten.colorGray2
            }

            ListFrame {
                id: macroFrame
                x: 20
                y: 66
                width: 180
                height: 310

                ListView {
                    id: macroList
                    objectName: "macroList"
                    Accessible.role: Accessible.List
                    Accessible.name: mainIten.accessLang[22]
                    anchors.fill: parent
                    anchors.margins: 3
                    clip: true
                    model: macroNameModel
                    boundsBehavior: Flickable.StopAtBounds

                    delegate: Rectangle {
                        id: macroRow
                        objectName: "macro" + index
                        width: macroList.width
                        height: 26
                        radius: 2
                        color: index === macroEditor.selectedMacro ? mainIten.colorBlue
                                                                   : (macroArea.containsMouse ? "#262626" : "transparent")

                        // Space opens the macro, F2 renames it; Up and Down move.
                        function choose() {
                            if (mainIten.inputBlocked)
                                return
                            macroEditor.macroEditorFocus()
                            if (index !== macroEditor.selectedMacro)
                                macroEditor.openMacro(index)
                        }
                        activeFocusOnTab: enabled
                        Keys.onSpacePressed: choose()
                        Keys.onReturnPressed: choose()
                        Keys.onEnterPressed: choose()
                        Keys.onUpPressed: { macroList.decrementCurrentIndex(); macroList.currentItem.forceActiveFocus(Qt.TabFocusReason) }
                        Keys.onDownPressed: { macroList.incrementCurrentIndex(); macroList.currentItem.forceActiveFocus(Qt.TabFocusReason) }
                        onActiveFocusChanged: if (activeFocus) macroList.currentIndex = index
                        Keys.onPressed: (event) => {
                            if (mainIten.inputBlocked)
                                return
                            if (event.key === Qt.Key_F2)
                                macroEditor.startRename(index)
                            else if (macroEditor.isMenuKey(event)) {
                                choose()
                                macroEditor.openMenuByKey(listMenu, listMenuFirst, macroRow)
                            } else
                                return
                            event.accepted = true
                        }
                        Accessible.role: Accessible.ListItem
                        Accessible.name: model.textValue
                        Accessible.selectable: true
                        Accessible.selected: index === macroEditor.selectedMacro
                        Accessible.onPressAction: choose()
                        FocusRing { anchors.margins: 1 }

                        Text {
                            x: 10
                            anchors.verticalCenter: parent.verticalCenter
                            width: parent.width - 16
                            elide: Text.ElideRight
                            text: model.textValue
                            font.family: mainIten.fontFamily
                            font.pixelSize: mainIten.fontNormalSize
                            color: index === macroEditor.selectedMacro ? "#ffffff" : mainIten.fontColor
                        }

                        MouseArea {
                            id: macroArea
                            anchors.fill: parent
                            hoverEnabled: true
                            acceptedButtons: Qt.LeftButton | Qt.RightButton
                            onPressed: (mouse) => {
                                macroEditor.macroEditorFocus()
                                if (index !== macroEditor.selectedMacro)
                                    macroEditor.openMacro(index)
                                if (mouse.button === Qt.RightButton)
                                    macroEditor.openMenu(listMenu, macroArea, mouse.x, mouse.y)
                            }
                            onDoubleClicked: (mouse) => {
                                if (mouse.button === Qt.LeftButton)
                                    macroEditor.startRename(index)
                            }
                        }
                    }

                    // Right-click below the last macro: the list menu for import.
                    MouseArea {
                        id: macroListRest
                        z: -1
                        width: macroList.width
                        height: Math.max(0, macroList.height - macroList.contentHeight)
                        y: macroList.contentHeight
                        acceptedButtons: Qt.RightButton
                        onPressed: (mouse) => {
                            macroEditor.macroEditorFocus()
                            macroEditor.openMenu(listMenu, macroListRest, mouse.x, mouse.y)
                        }
                    }
                }

                // The name being edited, over its row.
                Rectangle {
                    visible: renameEditor.editing
                    x: 3
                    y: 3 + renameEditor.index * 26 - macroList.contentY
                    width: macroList.width
                    height: 26
                    color: mainIten.colorGray0
                    border.color: mainIten.colorBlue

                    TextInput {
                        id: renameEditor
                        objectName: "macroNameEditor"
                        Accessible.role: Accessible.EditableText
                        Accessible.name: macroEditor.langStrings[1]
                        property int index: -1
                        anchors.fill: parent
                        anchors.leftMargin: 8
                        anchors.rightMargin: 4
                        verticalAlignment: TextInput.AlignVCenter
                        property bool editing: false
                        maximumLength: 32
                        clip: true
                        selectByMouse: true
                        font.family: mainIten.fontFamily
                        font.pixelSize: mainIten.fontNormalSize
                        color: "#ffffff"
                        selectionColor: mainIten.colorBlue
                        Keys.onReturnPressed: macroEditor.finishRename(true)
                        Keys.onEnterPressed: macroEditor.finishRename(true)
                        Keys.onEscapePressed: macroEditor.finishRename(false)
                        onActiveFocusChanged: if (!activeFocus) macroEditor.finishRename(true)
                    }
                }
            }

            Row {
                x: 20
                y: 392
                spacing: 12

                TextButton {
                    objectName: "macroNew"
                    width: 84
                    textValue: macroEditor.langStrings[2]
                    enabled: macroEditor.macroNames.length < Macro.maxMacros
                    opacity: enabled ? 1.0 : 0.4
                    onClicked: macroEditor.newMacro()
                }

                TextButton {
                    objectName: "macroDelete"
                    width: 84
                    textValue: macroEditor.langStrings[3]
                    enabled: macroEditor.selectedMacro >= 0
                    opacity: enabled ? 1.0 : 0.4
                    onClicked: macroEditor.deleteMacro(macroEditor.selectedMacro)
                }
            }

            // ---- step list ----

            Heading {
                x: 216
                y: 44
                text: macroEditor.langStrings[4]
            }

            Text {
                objectName: "macroLength"
                x: 216
                y: 44
                width: 220
                horizontalAlignment: Text.AlignRight
                text: macroEditor.encodedLength + " / " + Macro.lengthLimit
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMinSize
                color: macroEditor.full ? "#ff3030" : mainIten.colorGray2
            }

            ListFrame {
                id: stepFrame
                x: 216
                y: 66
                width: 220
                height: 310
                opacity: macroEditor.currentMacroName === "" ? 0.5 : 1.0

                ListView {
                    id: stepList
                    Accessible.role: Accessible.List
                    Accessible.name: mainIten.accessLang[23]
                    objectName: "stepList"
                    anchors.fill: parent
                    anchors.margins: 3
                    clip: true
                    model: macroEditor.steps
                    boundsBehavior: Flickable.StopAtBounds

                    delegate: Rectangle {
                        id: stepRow
                        objectName: "step" + index
                        readonly property var step: modelData
                        readonly property bool isDelay: step.type === Macro.DELAY
                        readonly property bool isDown: step.type === Macro.KEY_DOWN || step.type === Macro.MOUSE_DOWN
                        width: stepList.width
                        height: 26
                        radius: 2
                        color: index === macroEditor.selectedStep ? mainIten.colorGray1
                                                                  : (stepArea.containsMouse ? "#262626" : "transparent")

                        // Space selects the step, F2 edits a delay; Up and Down move.
                        function choose() {
                            if (mainIten.inputBlocked)
                                return
                            macroEditor.macroEditorFocus()
                            macroEditor.selectedStep = index
                        }
                        activeFocusOnTab: enabled
                        Keys.onSpacePressed: choose()
                        Keys.onReturnPressed: choose()
                        Keys.onEnterPressed: choose()
                        Keys.onUpPressed: { stepList.decrementCurrentIndex(); stepList.currentItem.forceActiveFocus(Qt.TabFocusReason) }
                        Keys.onDownPressed: { stepList.incrementCurrentIndex(); stepList.currentItem.forceActiveFocus(Qt.TabFocusReason) }
                        onActiveFocusChanged: if (activeFocus) stepList.currentIndex = index
                        Keys.onPressed: (event) => {
                            if (mainIten.inputBlocked)
                                return
                            if (event.key === Qt.Key_F2)
                                macroEditor.startDelayEdit(index)
                            else if (macroEditor.isMenuKey(event) && !macroEditor.isRecording) {
                                choose()
                                macroEditor.openMenuByKey(stepMenu, stepMenuFirst, stepRow)
                            } else
                                return
                            event.accepted = true
                        }
                        Accessible.role: Accessible.ListItem
                        Accessible.name: (index + 1) + ", " + (stepRow.isDelay ? stepRow.step.info + " ms" : stepRow.step.info)
                        Accessible.selectable: true
                        Accessible.selected: index === macroEditor.selectedStep
                        Accessible.onPressAction: choose()
                        FocusRing { anchors.margins: 1 }

                        Text {
                            x: 6
                            width: 22
                            anchors.verticalCenter: parent.verticalCenter
                            horizontalAlignment: Text.AlignRight
                            text: index + 1
                            font.family: mainIten.fontFamily
                            font.pixelSize: mainIten.fontMinSize
                            color: mainIten.colorGray2
                        }

                        Image {
                            x: 36
                            anchors.verticalCenter: parent.verticalCenter
                            width: 16
                            height: 16
                            sourceSize.width: 16
                            sourceSize.height: 16
                            source: mainIten.img("macros", stepRow.isDelay ? "delay" : (stepRow.isDown ? "keyDown" : "keyUp"))
                        }

                        Text {
                            x: 60
                            anchors.verticalCenter: parent.verticalCenter
                            width: parent.width - 66
                            elide: Text.ElideRight
                            text: stepRow.isDelay ? stepRow.step.info + " ms" : stepRow.step.info
                            font.family: mainIten.fontFamily
                            font.pixelSize: mainIten.fontNormalSize
                            color: stepRow.isDelay ? mainIten.colorGray2 : (stepRow.isDown ? "#ffffff" : mainIten.fontColor)
                        }

                        MouseArea {
                            id: stepArea
                            anchors.fill: parent
                            hoverEnabled: true
                            acceptedButtons: Qt.LeftButton | Qt.RightButton
                            onPressed: (mouse) => {
                                macroEditor.macroEditorFocus()
                                macroEditor.selectedStep = index
                                if (mouse.button === Qt.RightButton && !macroEditor.isRecording)
                                    macroEditor.openMenu(stepMenu, stepArea, mouse.x, mouse.y)
                            }
                            onDoubleClicked: (mouse) => {
                                if (mouse.button === Qt.LeftButton)
                                    macroEditor.startDelayEdit(index)
                            }
                        }
                    }

                    // Below the last step: clears the selection; right-click opens
                    // the step menu, whose insertions then go to the end.
                    MouseArea {
                        id: stepListRest
                        z: -1
                        width: stepList.width
                        height: Math.max(0, stepList.height - stepList.contentHeight)
                        y: stepList.contentHeight
                        acceptedButtons: Qt.LeftButton | Qt.RightButton
                        onPressed: (mouse) => {
                            macroEditor.macroEditorFocus()
                            macroEditor.selectedStep = -1
                            if (mouse.button === Qt.RightButton && macroEditor.currentMacroName !== ""
                                    && !macroEditor.isRecording)
                                macroEditor.openMenu(stepMenu, stepListRest, mouse.x, mouse.y)
                        }
                    }
                }

                // The delay being edited, over its row.
                Rectangle {
                    visible: delayEditor.editing
                    x: 3 + 56
                    y: 3 + delayEditor.index * 26 - stepList.contentY + 3
                    width: 80
                    height: 20
                    color: mainIten.colorGray0
                    border.color: mainIten.colorBlue

                    TextInput {
                        id: delayEditor
                        objectName: "delayEditor"
                        Accessible.role: Accessible.EditableText
                        Accessible.name: macroEditor.langStrings[9]
                        property int index: -1
                        anchors.fill: parent
                        anchors.leftMargin: 4
                        verticalAlignment: TextInput.AlignVCenter
                        property bool editing: false
                        maximumLength: 5
                        validator: IntValidator { bottom: 0; top: 65535 }
                        selectByMouse: true
                        font.family: mainIten.fontFamily
                        font.pixelSize: mainIten.fontNormalSize
                        color: "#ffffff"
                        selectionColor: mainIten.colorBlue
                        Keys.onReturnPressed: macroEditor.finishDelayEdit(true)
                        Keys.onEnterPressed: macroEditor.finishDelayEdit(true)
                        Keys.onEscapePressed: macroEditor.finishDelayEdit(false)
                        onActiveFocusChanged: if (!activeFocus) macroEditor.finishDelayEdit(true)
                    }
                }
            }

            // How much of the payload the macro uses.
            Rectangle {
                x: 216
                y: 382
                width: 220
                height: 4
                radius: 2
                color: mainIten.colorGray1

                Rectangle {
                    objectName: "lengthBar"
                    width: parent.width * Math.min(1, macroEditor.encodedLength / Macro.lengthLimit)
                    height: parent.height
                    radius: 2
                    color: macroEditor.full ? "#ff3030"
                           : (macroEditor.encodedLength > 100 ? "#e0a030" : mainIten.colorBlue)
                }
            }

            // ---- recording and repeat count ----

            Column {
                x: 452
                y: 66
                width: 128
                spacing: 14

                Rectangle {
                    id: recordButton
                    objectName: "recordButton"
                    width: parent.width
                    height: 30
                    radius: 2
                    enabled: macroEditor.currentMacroName !== ""
                    opacity: enabled ? 1.0 : 0.4
                    color: macroEditor.isRecording ? "#c02828"
                           : (recordArea.containsMouse ? mainIten.colorOrange : mainIten.colorBlue)

                    Row {
                        anchors.centerIn: parent
                        spacing: 8

                        Rectangle {
                            id: recordDot
                            anchors.verticalCenter: parent.verticalCenter
                            width: 10
                            height: 10
                            radius: macroEditor.isRecording ? 1 : 5
                            color: "#ffffff"

                            SequentialAnimation on opacity {
                                running: macroEditor.isRecording
                                loops: Animation.Infinite
                                onRunningChanged: if (!running) recordDot.opacity = 1.0
                                NumberAnimation { to: 0.3; duration: 400 }
                                NumberAnimation { to: 1.0; duration: 400 }
                            }
                        }

                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: macroEditor.isRecording ? macroEditor.langStrings[5] : macroEditor.langStrings[8]
                            font.family: mainIten.fontFamily
                            font.pixelSize: mainIten.fontNormalSize
                            color: "#ffffff"
                        }
                    }

                    function activate() {
                        if (mainIten.inputBlocked)
                            return
                        if (macroEditor.isRecording)
                            macroEditor.stopRecord()
                        else
                            macroEditor.startRecord()
                    }
                    activeFocusOnTab: enabled
                    Keys.onSpacePressed: activate()
                    Keys.onReturnPressed: activate()
                    Keys.onEnterPressed: activate()
                    Accessible.role: Accessible.Button
                    Accessible.focusable: activeFocusOnTab
                    Accessible.name: macroEditor.isRecording ? macroEditor.langStrings[5] : macroEditor.langStrings[8]
                    Accessible.onPressAction: activate()
                    FocusRing {}

                    MouseArea {
                        id: recordArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: {
                            if (macroEditor.isRecording)
                                macroEditor.stopRecord()
                            else
                                macroEditor.startRecord()
                        }
                    }
                }

                Text {
                    objectName: "recordClock"
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    visible: macroEditor.isRecording
                    text: (macroEditor.recordTicks / 100).toFixed(2) + " s"
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontNormalSize
                    color: "#ff8080"
                }

                CheckBox {
                    id: delayCheck
                    objectName: "delayCheck"
                    textValue: macroEditor.langStrings[9]
                    isSelect: true
                    // The box flips after this handler.
                    onBtnClick: macroEditor.recordDelay = !isSelect
                }

                Rectangle {
                    width: parent.width
                    height: 1
                    color: mainIten.colorGray1
                }

                Row {
                    spacing: 10

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: macroEditor.langStrings[6]
                        font.family: mainIten.fontFamily
                        font.pixelSize: mainIten.fontNormalSize
                        color: mainIten.fontColor
                    }

                    Rectangle {
                        width: 64
                        height: 22
                        radius: 2
                        color: mainIten.colorBlack
                        border.color: repeatInput.txtInput.activeFocus ? mainIten.colorBlue : mainIten.colorGray1
                        opacity: macroEditor.currentMacroName === "" ? 0.4 : 1.0

                        // Repeat count 1..65535: the box takes five digits here.
                        RectInput {
                            id: repeatInput
                            objectName: "repeatInput"
                            accessibleName: macroEditor.langStrings[6]
                            anchors.fill: parent
                            enabled: macroEditor.currentMacroName !== ""
                            minValue: 0
                            maxValue: Macro.maxRepeat
                            textValue: "1"
                            Component.onCompleted: txtInput.maximumLength = 5
                            onEndInputSignal: macroEditor.setRepeat(textValue)
                        }
                    }
                }
            }

            // What the selected macro holds: presses, releases and delays.
            Column {
                objectName: "macroSummary"
                x: 452
                y: 292
                width: 128
                spacing: 6
                visible: macroEditor.currentMacroName !== ""

                Rectangle {
                    width: parent.width
                    height: 1
                    color: mainIten.colorGray1
                }

                Text {
                    width: parent.width
                    elide: Text.ElideRight
                    text: macroEditor.currentMacroName
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontMiddleSize
                    font.bold: true
                    color: mainIten.colorBlue
                }

                Repeater {
                    model: [
                        { icon: "keyDown", count: macroEditor.steps.filter((s) => s.type === Macro.KEY_DOWN || s.type === Macro.MOUSE_DOWN).length },
                        { icon: "keyUp", count: macroEditor.steps.filter((s) => s.type === Macro.KEY_UP || s.type === Macro.MOUSE_UP).length },
                        { icon: "delay", count: macroEditor.steps.filter((s) => s.type === Macro.DELAY).length }
                    ]

                    Row {
                        spacing: 8
                        Image {
                            width: 16
                            height: 16
                            sourceSize.width: 16
                            sourceSize.height: 16
                            source: mainIten.img("macros", modelData.icon)
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: "× " + modelData.count
                            font.family: mainIten.fontFamily
                            font.pixelSize: mainIten.fontNormalSize
                            color: mainIten.fontColor
                        }
                    }
                }
            }

            // ---- Insert Key box ----

            Rectangle {
                id: insertBox
                objectName: "insertBox"
                visible: macroEditor.isInserting
                x: stepFrame.x + (stepFrame.width - width) / 2
                y: stepFrame.y + 90
                z: 4
                width: 200
                height: 118
                color: mainIten.colorGray0
                border.color: mainIten.colorBlue

                MouseArea {
                    anchors.fill: parent
                }

                Text {
                    x: 12
                    y: 10
                    text: macroEditor.langStrings[14]
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontNormalSize
                    font.bold: true
                    color: mainIten.fontColor
                }

                Rectangle {
                    x: 12
                    y: 34
                    width: parent.width - 24
                    height: 32
                    color: mainIten.colorBlack
                    border.color: mainIten.colorGray1

                    Text {
                        objectName: "insertKeyName"
                        anchors.centerIn: parent
                        text: macroEditor.insertCode === 0 ? "…" : macroEditor.nameOf(macroEditor.insertCode)
                        font.family: mainIten.fontFamily
                        font.pixelSize: mainIten.fontMaxSize
                        color: macroEditor.insertCode === 0 ? mainIten.colorGray2 : "#ffffff"
                    }
                }

                Row {
                    anchors.right: parent.right
                    anchors.rightMargin: 12
                    y: 80
                    spacing: 8

                    TextButton {
                        objectName: "insertCancel"
                        width: 80
                        textValue: mainIten.mainLang !== undefined ? mainIten.mainLang[7] : "Cancel"
                        normalColor: mainIten.colorGray1
                        onClicked: macroEditor.cancelInsert()
                    }

                    TextButton {
                        objectName: "insertOk"
                        width: 80
                        textValue: macroEditor.langStrings[7]
                        enabled: macroEditor.insertCode !== 0
                        opacity: enabled ? 1.0 : 0.4
                        onClicked: macroEditor.confirmInsert()
                    }
                }
            }

            // ---- menus ----

            // Macro list: Delete, Import, Export.
            ListFrame {
                id: listMenu
                objectName: "macroListMenu"
                visible: false
                z: 5
                width: 130
                height: listMenuColumn.height + 4

                Column {
                    id: listMenuColumn
                    x: 2
                    y: 2
                    width: parent.width - 4

                    ContextMenuItem {
                        id: listMenuFirst
                        textValue: macroEditor.langStrings[10]
                        active: macroEditor.selectedMacro >= 0
                        onTriggered: macroEditor.deleteMacro(macroEditor.selectedMacro)
                    }
                    ContextMenuItem {
                        textValue: macroEditor.langStrings[11]
                        active: macroEditor.macroNames.length < Macro.maxMacros
                        onTriggered: macroEditor.importMacro()
                    }
                    ContextMenuItem {
                        textValue: macroEditor.langStrings[12]
                        active: macroEditor.selectedMacro >= 0
                        onTriggered: macroEditor.exportMacro()
                    }
                }
            }

            // Steps: Delete, Insert Delay, Insert Key, Insert Left/Middle/Right Key.
            ListFrame {
                id: stepMenu
                objectName: "stepMenu"
                visible: false
                z: 5
                width: 150
                height: stepMenuColumn.height + 4

                Column {
                    id: stepMenuColumn
                    x: 2
                    y: 2
                    width: parent.width - 4

                    ContextMenuItem {
                        id: stepMenuFirst
                        textValue: macroEditor.langStrings[10]
                        active: macroEditor.selectedStep >= 0
                        onTriggered: {
                            stepMenu.visible = false
                            macroEditor.deleteStep(macroEditor.selectedStep)
                        }
                    }
                    ContextMenuItem {
                        textValue: macroEditor.langStrings[13]
                        active: !macroEditor.full
                        onTriggered: {
                            stepMenu.visible = false
                            macroEditor.insertDelay()
                        }
                    }
                    ContextMenuItem {
                        textValue: macroEditor.langStrings[14]
                        active: !macroEditor.full
                        onTriggered: {
                            stepMenu.visible = false
                            macroEditor.startInsert()
                        }
                    }
                    ContextMenuItem {
                        textValue: macroEditor.langStrings[15]
                        active: !macroEditor.full
                        onTriggered: {
                            stepMenu.visible = false
                            macroEditor.insertClick(0xF0)
                        }
                    }
                    ContextMenuItem {
                        textValue: macroEditor.langStrings[16]
                        active: !macroEditor.full
                        onTriggered: {
                            stepMenu.visible = false
                            macroEditor.insertClick(0xF2)
                        }
                    }
                    ContextMenuItem {
                        textValue: macroEditor.langStrings[17]
                        active: !macroEditor.full
                        onTriggered: {
                            stepMenu.visible = false
                            macroEditor.insertClick(0xF1)
                        }
                    }
                }
            }
        }
    }
}
