import QtQuick
import "../js/KeyDefine.js" as KeyDefine
import "../js/KeyCodes.js" as KeyCodes
import "../basic"

// The key assignment dialog. show(index) loads button index's definition;
// each section composes a new one; closing writes it into the key list
// (nothing reaches the mouse before the user saves, except a macro, which is
// sent at once). The shell feeds key presses from the input hooks to
// detectKeyboard() while isFireInput or isComboInput is set.
Rectangle {
    id: keyAssigment

    property var langStrings: KeyDefine.defaultTexts

    // The definition being composed, its text, and the same as eight
    // hexadecimal digits for the fixed choices.
    property int keyCode0: 0
    property int keyCode1: 0
    property int keyCode2: 0
    property int keyCode3: 0
    property string keyString: ""
    property string keyCode: "00000000"
    property int selectIndex: -1

    property bool isFireInput: false
    property bool isComboInput: false
    // The macro drop-down, once the dialog is built, and the names it
    // lists: the macro editor's, or a list of its own without one.
    readonly property Item macroList: content.item ? content.item.macroList : null
    readonly property var macroModel: macroEditor && macroEditor.macroNameModel !== undefined
                                      ? macroEditor.macroNameModel : ownMacroNames

    // The screens the dialog works with; the shell's instances by default.
    property var keyMatrix: typeof keyMatrixMain !== "undefined" ? keyMatrixMain : null
    property var macroEditor: typeof macroEditorMain !== "undefined" ? macroEditorMain : null
    property var mousePicture: typeof mouseMain !== "undefined" ? mouseMain : null
    property var keyNames: typeof _KeyCodeString !== "undefined" ? _KeyCodeString : null

    // State of the auto-fire and combination inputs.
    // Name of the auto-fire key taken ("" until one is taken), the rate
    // slider's text, and the text of the combination box ("" shows the
    // prompt, except while a combination is being typed).
    property string fireKeyName: ""
    property string fireRateText: KeyDefine.fireRateDefaultText
    property var combo: KeyDefine.comboStart()
    property string comboText: ""
    readonly property string fireBoxText: isFireInput || fireKeyName === "" ? str(10) : fireKeyName
    readonly property string comboBoxText: !isComboInput && comboText === "" ? str(10) : comboText
    property int macroMode: 0

    // The key that started or ends an input from the keyboard reaches the
    // input capture too: it is not taken as part of the input. ignoreKey
    // holds its code until its release comes; lastComboPress lets the
    // confirming key be taken back when the capture saw it first.
    property int ignoreKey: -1
    property var lastComboPress: null

    function usbCodeOf(key) {
        switch (key) {
        case Qt.Key_Space: return 0x2C
        case Qt.Key_Return: return 0x28
        case Qt.Key_Enter: return 0x58
        case Qt.Key_Escape: return 0x29
        }
        return -1
    }

    function startFireInputByKey(key) {
        if (mainIten.inputBlocked || isFireInput)
            return
        ignoreKey = usbCodeOf(key)
        startFireInput()
    }

    function comboKey(key) {
        if (mainIten.inputBlocked)
            return
        var code = usbCodeOf(key)
        if (!isComboInput) {
            ignoreKey = code
            startCombo()
            return
        }
        if (lastComboPress && lastComboPress.code === code) {
            combo = lastComboPress.combo
            comboText = lastComboPress.text
        }
        ignoreKey = code
        if (key === Qt.Key_Escape)
            cancelCombo()
        else
            confirmCombo()
    }

    // The body scrolls to the control the keyboard reaches.
    readonly property Item focusedItem: Window.activeFocusItem
    onFocusedItemChanged: {
        var ui = content.item
        if (!ui)
            return
        var body = ui.body
        for (var p = focusedItem; p; p = p.parent) {
            if (p === ui.sections) {
                var top = focusedItem.mapToItem(ui.sections, 0, 0).y
                if (top - 8 < body.contentY)
                    body.contentY = Math.max(0, top - 8)
                else if (top + focusedItem.height + 8 > body.contentY + body.height)
                    body.contentY = Math.min(body.contentHeight - body.height,
                                             top + focusedItem.height + 8 - body.height)
                return
            }
        }
    }

    // Raised when the dialog has closed (the shell takes the mask down) and
    // when the user asks for the macro editor (the shell's opener, when
    // there is one, has been called already).
    signal closed()
    signal macroEditorRequested()

    function openMacroEditor() {
        if (typeof mainIten.openMacroEditor === "function")
            mainIten.openMacroEditor()
        macroEditorRequested()
    }

    function str(i) {
        return KeyDefine.text(langStrings, i)
    }

    function keyName(code) {
        if (keyNames)
            return keyNames.keycodeTostr(code)
        return KeyCodes.keycodeTostr(KeyCodes.codes, KeyCodes.names, code)
    }

    function keyCodeToString(code0, code1, code2, code3) {
        return KeyDefine.keyCodeToString(code0, code1, code2, code3, langStrings, keyName,
            function (slot) { return ui_View.getData("mouseMacroKey/" + slot, false) })
    }

    function codes() {
        return [keyCode0, keyCode1, keyCode2, keyCode3]
    }

    function setCodes(c, text) {
        keyCode0 = c[0]; keyCode1 = c[1]; keyCode2 = c[2]; keyCode3 = c[3]
        keyString = text
        markRadios()
    }

    // The mouse-function and DPI radios always show the definition: at
    // most one of them is selected, whichever section made it.
    function markRadios() {
        var ui = content.item
        if (!ui)
            return
        var choice = KeyDefine.choiceOf(codes())
        for (var k = 0; k < ui.mouseRadios.count; ++k)
            ui.mouseRadios.itemAt(k).isSelect = choice.kind === "mouse" && k === choice.index
        for (k = 0; k < ui.dpiRadios.count; ++k)
            ui.dpiRadios.itemAt(k).isSelect = choice.kind === "dpi" && k === choice.index
    }

    // Opening the dialog shows what the button does now in the section that
    // made it; the other sections keep their inputs.
    function showCurrentChoice() {
        var ui = content.item
        if (!ui)
            return
        var choice = KeyDefine.choiceOf(codes())
        switch (choice.kind) {
        case "fire":
            fireKeyName = keyName(keyCode1)
            fireRateText = KeyDefine.fireRateText(keyCode2 - 1)
            ui.rateSlider.textValue = fireRateText
            ui.rateSlider.sliderControl.setValue(KeyDefine.fireRatePos(keyCode2))
            ui.timesBox.textValue = String(keyCode3)
            ui.endlessBox.isSelect = keyCode3 === 0
            break
        case "combo":
            comboText = KeyDefine.comboNames(keyCode1, keyCode2, keyCode3, keyName).join(" + ")
            break
        case "media":
        case "windows":
        case "shortcut":
            if (choice.index >= 0) {
                var grid = choice.kind === "media" ? ui.mediaGrid
                         : choice.kind === "windows" ? ui.windowsGrid : ui.shortcutGrid
                grid.currentSelect = choice.index
            }
            break
        case "macro":
            for (var i = 0; i < macroModel.count; ++i) {
                if (String(macroModel.get(i).textValue) === keyString) {
                    ui.macroList.currentSelect = i
                    break
                }
            }
            if (choice.index >= 0) {
                macroMode = choice.index
                for (var k = 0; k < ui.modeRadios.count; ++k)
                    ui.modeRadios.itemAt(k).isSelect = k === choice.index
            }
            break
        }
    }

    // A fixed choice goes through the hexadecimal form.
    function chooseFixed(item) {
        keyCode = KeyDefine.toHex(item.codes)
        setCodes(KeyDefine.fromHex(keyCode), str(item.str))
    }

    function fillGrid(model, table) {
        model.clear()
        for (var i = 0; i < table.length; ++i)
            model.append({ textValue: str(table[i].str) })
    }

    // The fixed choices take the texts of the interface language; a dialog
    // not built yet fills them when it is.
    function init() {
        var ui = content.item
        if (!ui)
            return
        ui.macroList.closeMenu()
        fillGrids()
    }

    function fillGrids() {
        var ui = content.item
        fillGrid(ui.mediaGrid.mdItems, KeyDefine.mediaFunctions)
        fillGrid(ui.windowsGrid.mdItems, KeyDefine.windowsFunctions)
        fillGrid(ui.shortcutGrid.mdItems, KeyDefine.shortcutFunctions)
    }

    function show(index) {
        built = true
        selectIndex = index
        x = Qt.binding(function () { return (mainIten.width - keyAssigment.width) / 2 })
        y = Qt.binding(function () { return (mainIten.height - keyAssigment.height) / 2 })
        content.item.body.contentY = 0
        if (keyMatrix) {
            var e = keyMatrix.modKeys.get(index)
            setCodes([Number(e.keyCode0), Number(e.keyCode1), Number(e.keyCode2), Number(e.keyCode3)],
                     e.keyText === undefined ? "" : String(e.keyText))
            showCurrentChoice()
        }
        visible = true
    }

    function closeMenus() {
        var ui = content.item
        if (!ui)
            return
        ui.macroList.closeMenu()
        if (ui.rateSlider.isDrop)
            ui.rateSlider.closeMenu()
        ui.mediaGrid.closeMenu()
        ui.windowsGrid.closeMenu()
        ui.shortcutGrid.closeMenu()
        ui.timesBox.closeFocus()
    }

    function closeDialog() {
        visible = false
        // A pending input ends with the dialog, so that later key presses do
        // not edit a definition nobody sees.
        if (isFireInput) {
            isFireInput = false
            fireKeyName = ""
        }
        if (isComboInput)
            cancelCombo()
        if (keyMatrix && selectIndex >= 0) {
            var current = keyMatrix.entryCodes(keyMatrix.modKeys, selectIndex)
            if (!KeyDefine.sameCodes(current, codes())) {
                keyMatrix.setEntry(keyMatrix.modKeys, selectIndex, codes(), keyString)
                keyMatrix.isSave = true
                if (KeyDefine.isMacro(codes())) {
                    if (macroEditor)
                        macroEditor.sendMacro(keyCode2, keyString)
                    ui_View.setData("mouseMacroKey/" + keyCode2, keyString)
                }
            }
        }
        if (mousePicture)
            mousePicture.selectKey = -1
        closeMenus()
        closed()
    }

    // Back: the factory definition of the button, into the dialog and the
    // list at once.
    function restoreFactory() {
        if (!keyMatrix || selectIndex < 0)
            return
        var factory = keyMatrix.modKeys_tmp.get(selectIndex)
        var text = factory.keyText === undefined ? "" : String(factory.keyText)
        if (text === keyString)
            return
        var c = keyMatrix.entryCodes(keyMatrix.modKeys_tmp, selectIndex)
        setCodes(c, text)
        keyMatrix.setEntry(keyMatrix.modKeys, selectIndex, c, text)
        keyMatrix.isSave = true
    }

    // Auto-fire.
    function fireRate() {
        return KeyDefine.fireRate(fireRateText)
    }

    function fireTimes() {
        return content.item ? Number(content.item.timesBox.textValue) || 0 : 0
    }

    function startFireInput() {
        isFireInput = true
    }

    function takeFireKey(usbCode) {
        isFireInput = false
        fireKeyName = keyName(usbCode)
        setCodes(KeyDefine.fireDefinition(usbCode, fireRate(), fireTimes()), fireKeyName)
    }

    function setFireRatePos(pos) {
        fireRateText = KeyDefine.fireRateText(pos)
        if (content.item)
            content.item.rateSlider.textValue = fireRateText
        if (KeyDefine.isFire(codes()))
            keyCode2 = fireRate() & 0xFF
    }

    function timesEdited() {
        var times = fireTimes()
        if (content.item)
            content.item.endlessBox.isSelect = times === 0
        if (KeyDefine.isFire(codes()))
            keyCode3 = times & 0xFF
    }

    // Key combination.
    function startCombo() {
        lastComboPress = null
        isComboInput = true
        combo = KeyDefine.comboStart()
        comboText = ""
    }

    function confirmCombo() {
        isComboInput = false
        if (comboText === "")
            return
        var c = KeyDefine.comboDefinition(combo)
        setCodes(c, keyCodeToString(c[0], c[1], c[2], c[3]))
    }

    function cancelCombo() {
        isComboInput = false
        comboText = ""
    }

    function detectKeyboard(isDown, usbCode, index) {
        if (usbCode === ignoreKey) {
            if (!isDown)
                ignoreKey = -1
            return
        }
        if (index === 1 && isComboInput && isDown)
            lastComboPress = { code: usbCode, combo: combo, text: comboText }
        if (index === 0 && isFireInput) {
            takeFireKey(usbCode)
        } else if (index === 1 && isComboInput && isDown) {
            combo = KeyDefine.comboPress(combo, usbCode, keyName(usbCode))
            comboText = KeyDefine.comboText(combo)
        }
    }

    // Macro.
    function chooseMacro(index) {
        if (index < 0 || index >= macroModel.count)
            return
        var name = macroModel.get(index).textValue
        setCodes(KeyDefine.macroDefinition(macroMode, selectIndex), name === undefined ? "" : String(name))
    }

    function setMacroMode(mode) {
        macroMode = mode
        if (KeyDefine.isMacro(codes()))
            keyCode1 = mode
    }

    width: 416
    height: 404
    x: (mainIten.width - width) / 2
    y: (mainIten.height - height) / 2
    visible: false
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1
    Accessible.role: Accessible.Dialog
    Accessible.name: str(0) + (selectIndex + 1) + " : " + keyString
    Keys.onEscapePressed: closeDialog()

    // The dialog moves with its background and stays inside the scene.
    ListModel {
        id: ownMacroNames
    }

    // The visuals are built the first time the dialog is shown; until then
    // the dialog is its data and the functions the scene calls.
    property bool built: visible
    onVisibleChanged: if (visible) built = true

    Loader {
        id: content
        anchors.fill: parent
        active: keyAssigment.built
        onLoaded: keyAssigment.fillGrids()
        sourceComponent: Item {
            property alias sections: sections
            property alias body: body
            property alias mouseRadios: mouseRadios
            property alias dpiRadios: dpiRadios
            property alias rateSlider: rateSlider
            property alias timesBox: timesBox
            property alias endlessBox: endlessBox
            property alias mediaGrid: mediaGrid
            property alias windowsGrid: windowsGrid
            property alias shortcutGrid: shortcutGrid
            property alias macroList: macroList
            property alias modeRadios: modeRadios

            MouseArea {
                anchors.fill: parent
                drag.target: keyAssigment
                drag.minimumX: 0
                drag.minimumY: 0
                drag.maximumX: mainIten.width - keyAssigment.width
                drag.maximumY: mainIten.height - keyAssigment.height
            }

            Rectangle {
                id: titleBar
                x: 1
                y: 1
                width: parent.width - 2
                height: 40
                color: mainIten.colorBlack

                Rectangle {
                    x: 16
                    anchors.verticalCenter: parent.verticalCenter
                    width: 3
                    height: 16
                    color: mainIten.colorBlue
                }

                Text {
                    objectName: "title"
                    x: 26
                    anchors.verticalCenter: parent.verticalCenter
                    width: backButton.x - x - 12
                    elide: Text.ElideRight
                    text: keyAssigment.str(0) + (keyAssigment.selectIndex + 1) + " : " + keyAssigment.keyString
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontMiddleSize
                    font.bold: true
                    color: "#ffffff"
                }

                IconButton {
                    id: backButton
                    objectName: "backButton"
                    anchors.right: closeButton.left
                    anchors.rightMargin: 16
                    anchors.verticalCenter: parent.verticalCenter
                    icon: "backBtn"
                    accessibleName: mainIten.accessLang[3]
                    onClicked: keyAssigment.restoreFactory()
                }

                IconButton {
                    id: closeButton
                    objectName: "closeButton"
                    anchors.right: parent.right
                    anchors.rightMargin: 16
                    anchors.verticalCenter: parent.verticalCenter
                    icon: "closeBtn"
                    accessibleName: mainIten.accessLang[1]
                    onClicked: keyAssigment.closeDialog()
                }
            }

            Flickable {
                id: body
                objectName: "body"
                x: 16
                y: 42
                width: parent.width - 32
                height: 360
                contentWidth: width
                contentHeight: 860
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                property bool sliderDragging: false
                interactive: !sliderDragging

                Column {
                    id: sections
                    width: body.width
                    // Spread so that the last grid's drop area ends at the bottom
                    // of the 860 px body.
                    spacing: 22
                    topPadding: 10

                    // 1. Mouse function.
                    Column {
                        objectName: "sectionMouse"
                        width: parent.width
                        spacing: 10
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(1) }
                        Grid {
                            x: 8
                            columns: 3
                            columnSpacing: 8
                            rowSpacing: 12
                            Repeater {
                                id: mouseRadios
                                model: KeyDefine.mouseFunctions.length
                                // Three columns over the whole body, the label
                                // close to its ring, so longer names still fit.
                                RadioButton {
                                    objectName: "mouseRadio" + model.index
                                    width: 120
                                    gapValue: 8
                                    index: model.index
                                    textValue: keyAssigment.str(KeyDefine.mouseFunctions[model.index].str)
                                    onBtnClick: (i) => {
                                        for (var k = 0; k < mouseRadios.count; ++k)
                                            mouseRadios.itemAt(k).isSelect = k === i
                                        keyAssigment.chooseFixed(KeyDefine.mouseFunctions[i])
                                    }
                                }
                            }
                        }
                    }

                    // 2. Auto-fire of one key.
                    Column {
                        objectName: "sectionFire"
                        width: parent.width
                        spacing: 10
                        z: rateSlider.z > 0 ? 2 : 0
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(8) }
                        Row {
                            id: fireRow
                            // Both rows' labels take the width of the longer one, so
                            // their boxes line up.
                            readonly property int labelWidth: Math.ceil(Math.max(fireKeyLabel.implicitWidth,
                                                                                 timesLabel.implicitWidth))
                            x: 8
                            spacing: 10
                            Text {
                                id: fireKeyLabel
                                width: fireRow.labelWidth
                                anchors.verticalCenter: parent.verticalCenter
                                text: keyAssigment.str(9)
                                elide: Text.ElideRight
                                font.family: mainIten.fontFamily
                                font.pixelSize: mainIten.fontNormalSize
                                color: mainIten.fontColor
                            }
                            Rectangle {
                                id: fireKeyBox
                                objectName: "fireKeyBox"
                                // What the labels and the rate leave of the row.
                                width: Math.max(96, body.width - 8 - fireRow.labelWidth - fireRateLabel.width
                                                - rateSlider.width - 3 * fireRow.spacing)
                                height: 24
                                color: keyAssigment.isFireInput ? mainIten.colorBlack : mainIten.colorGray0
                                border.color: keyAssigment.isFireInput || fireKeyArea.containsMouse
                                              ? mainIten.colorBlue : mainIten.colorGray1
                                activeFocusOnTab: enabled
                                Keys.onSpacePressed: (event) => keyAssigment.startFireInputByKey(event.key)
                                Keys.onReturnPressed: (event) => keyAssigment.startFireInputByKey(event.key)
                                Keys.onEnterPressed: (event) => keyAssigment.startFireInputByKey(event.key)
                                Accessible.role: Accessible.Button
                                Accessible.focusable: activeFocusOnTab
                                Accessible.name: keyAssigment.str(9)
                                Accessible.description: keyAssigment.fireBoxText
                                Accessible.onPressAction: if (!mainIten.inputBlocked) keyAssigment.startFireInput()
                                FocusRing {}
                                Text {
                                    anchors.centerIn: parent
                                    width: parent.width - 8
                                    horizontalAlignment: Text.AlignHCenter
                                    elide: Text.ElideRight
                                    text: keyAssigment.fireBoxText
                                    font.family: mainIten.fontFamily
                                    font.pixelSize: mainIten.fontNormalSize
                                    color: keyAssigment.isFireInput ? mainIten.colorBlue : mainIten.fontColor
                                }
                                MouseArea {
                                    id: fireKeyArea
                                    anchors.fill: parent
                                    hoverEnabled: true
                                    onClicked: keyAssigment.startFireInput()
                                }
                            }
                            Text {
                                id: fireRateLabel
                                width: Math.ceil(implicitWidth)
                                anchors.verticalCenter: parent.verticalCenter
                                text: keyAssigment.str(11)
                                font.family: mainIten.fontFamily
                                font.pixelSize: mainIten.fontNormalSize
                                color: mainIten.fontColor
                            }
                            DropDownSlider {
                                id: rateSlider
                                objectName: "rateSlider"
                                width: 110
                                textValue: KeyDefine.fireRateDefaultText
                                accessibleName: keyAssigment.str(11)
                                onValueChange: (pos) => keyAssigment.setFireRatePos(pos)
                                onDragSignal: (isDrag) => body.sliderDragging = isDrag
                            }
                        }
                        Row {
                            x: 8
                            spacing: 10
                            Text {
                                id: timesLabel
                                width: fireRow.labelWidth
                                anchors.verticalCenter: parent.verticalCenter
                                text: keyAssigment.str(12)
                                elide: Text.ElideRight
                                font.family: mainIten.fontFamily
                                font.pixelSize: mainIten.fontNormalSize
                                color: mainIten.fontColor
                            }
                            Rectangle {
                                width: 48
                                height: 24
                                color: mainIten.colorBlack
                                border.color: timesBox.txtInput.activeFocus ? mainIten.colorBlue : mainIten.colorGray1
                                RectInput {
                                    id: timesBox
                                    objectName: "timesBox"
                                    anchors.centerIn: parent
                                    maxValue: 255
                                    minValue: 0
                                    accessibleName: keyAssigment.str(12)
                                    onEndInputSignal: keyAssigment.timesEdited()
                                }
                            }
                            Item { width: 6; height: 1 }
                            CheckBox {
                                id: endlessBox
                                objectName: "endlessBox"
                                anchors.verticalCenter: parent.verticalCenter
                                textValue: keyAssigment.str(13)
                                isSelect: true
                                onBtnClick: {
                                    // The click handler sees the box before it flips.
                                    if (!endlessBox.isSelect) {
                                        timesBox.textValue = "0"
                                        if (KeyDefine.isFire(keyAssigment.codes()))
                                            keyAssigment.keyCode3 = 0
                                    }
                                }
                            }
                        }
                    }

                    // 3. Key combination.
                    Column {
                        objectName: "sectionCombo"
                        width: parent.width
                        spacing: 10
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(14) }
                        Rectangle {
                            id: comboBox
                            objectName: "comboBox"
                            x: 8
                            width: 240
                            height: 24
                            color: keyAssigment.isComboInput ? mainIten.colorBlack : mainIten.colorGray0
                            border.color: keyAssigment.isComboInput || comboArea.containsMouse
                                          ? mainIten.colorBlue : mainIten.colorGray1
                            // Space or Enter starts the input; while it runs, Enter
                            // confirms and Escape cancels it.
                            activeFocusOnTab: enabled
                            Keys.onSpacePressed: (event) => {
                                if (!keyAssigment.isComboInput)
                                    keyAssigment.comboKey(event.key)
                            }
                            Keys.onReturnPressed: (event) => keyAssigment.comboKey(event.key)
                            Keys.onEnterPressed: (event) => keyAssigment.comboKey(event.key)
                            Keys.onEscapePressed: (event) => {
                                if (keyAssigment.isComboInput)
                                    keyAssigment.comboKey(event.key)
                                else
                                    event.accepted = false
                            }
                            Accessible.role: Accessible.Button
                            Accessible.focusable: activeFocusOnTab
                            Accessible.name: keyAssigment.str(14)
                            Accessible.description: keyAssigment.comboBoxText
                            Accessible.onPressAction: if (!mainIten.inputBlocked && !keyAssigment.isComboInput) keyAssigment.startCombo()
                            FocusRing {}
                            MouseArea {
                                id: comboArea
                                anchors.fill: parent
                                hoverEnabled: true
                                onClicked: keyAssigment.startCombo()
                            }
                            Text {
                                objectName: "comboText"
                                x: 8
                                anchors.verticalCenter: parent.verticalCenter
                                width: parent.width - 60
                                elide: Text.ElideRight
                                text: keyAssigment.comboBoxText
                                font.family: mainIten.fontFamily
                                font.pixelSize: mainIten.fontNormalSize
                                color: keyAssigment.isComboInput ? "#ffffff" : mainIten.fontColor
                            }
                            IconButton {
                                id: comboOk
                                objectName: "comboOk"
                                visible: keyAssigment.isComboInput
                                anchors.right: comboCancel.left
                                anchors.rightMargin: 8
                                anchors.verticalCenter: parent.verticalCenter
                                icon: "okBtn"
                                accessibleName: mainIten.accessLang[7]
                                onClicked: keyAssigment.confirmCombo()
                            }
                            IconButton {
                                id: comboCancel
                                objectName: "comboCancel"
                                visible: keyAssigment.isComboInput
                                anchors.right: parent.right
                                anchors.rightMargin: 6
                                anchors.verticalCenter: parent.verticalCenter
                                icon: "closeBtn"
                                accessibleName: mainIten.accessLang[8]
                                onClicked: keyAssigment.cancelCombo()
                            }
                        }
                    }

                    // 4. Media.
                    Column {
                        objectName: "sectionMedia"
                        width: parent.width
                        spacing: 10
                        z: mediaGrid.z > 0 ? 2 : 0
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(15) }
                        DropDownGrid {
                            id: mediaGrid
                            objectName: "mediaGrid"
                            accessibleName: keyAssigment.str(15)
                            x: 8
                            width: 120
                            onBtnClick: {
                                if (currentSelect >= 0)
                                    keyAssigment.chooseFixed(KeyDefine.mediaFunctions[currentSelect])
                            }
                        }
                    }

                    // 5. Macro.
                    Column {
                        objectName: "sectionMacro"
                        width: parent.width
                        spacing: 10
                        z: macroList.z > 0 ? 2 : 0
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(16) }
                        Row {
                            x: 8
                            spacing: 16
                            z: 1
                            DropDownList {
                                id: macroList
                                objectName: "macroList"
                                accessibleName: keyAssigment.str(16)
                                width: 160
                                currentSelect: -1
                                mdItems: keyAssigment.macroModel
                                onValueChange: (index) => keyAssigment.chooseMacro(index)
                            }
                            Rectangle {
                                objectName: "macroEditorButton"
                                width: 120
                                height: 24
                                color: macroEditorArea.containsMouse ? mainIten.colorOrange : mainIten.colorBlue
                                activeFocusOnTab: enabled
                                Keys.onSpacePressed: if (!mainIten.inputBlocked) keyAssigment.openMacroEditor()
                                Keys.onReturnPressed: if (!mainIten.inputBlocked) keyAssigment.openMacroEditor()
                                Keys.onEnterPressed: if (!mainIten.inputBlocked) keyAssigment.openMacroEditor()
                                Accessible.role: Accessible.Button
                                Accessible.focusable: activeFocusOnTab
                                Accessible.name: keyAssigment.str(17)
                                Accessible.onPressAction: if (!mainIten.inputBlocked) keyAssigment.openMacroEditor()
                                FocusRing {}
                                Text {
                                    anchors.centerIn: parent
                                    text: keyAssigment.str(17)
                                    font.family: mainIten.fontFamily
                                    font.pixelSize: mainIten.fontNormalSize
                                    color: macroEditorArea.containsMouse ? mainIten.colorGray0 : "#ffffff"
                                }
                                MouseArea {
                                    id: macroEditorArea
                                    anchors.fill: parent
                                    hoverEnabled: true
                                    onClicked: keyAssigment.openMacroEditor()
                                }
                            }
                        }
                        Column {
                            x: 8
                            spacing: 10
                            Repeater {
                                id: modeRadios
                                model: 3
                                RadioButton {
                                    objectName: "modeRadio" + model.index
                                    gapValue: 8
                                    index: model.index
                                    isSelect: model.index === 0
                                    textValue: keyAssigment.str(18 + model.index)
                                    onBtnClick: (i) => {
                                        for (var k = 0; k < modeRadios.count; ++k)
                                            modeRadios.itemAt(k).isSelect = k === i
                                        keyAssigment.setMacroMode(i)
                                    }
                                }
                            }
                        }
                    }

                    // 6. DPI.
                    Column {
                        objectName: "sectionDpi"
                        width: parent.width
                        spacing: 10
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(21) }
                        Row {
                            x: 8
                            spacing: 20
                            Repeater {
                                id: dpiRadios
                                model: KeyDefine.dpiFunctions.length
                                RadioButton {
                                    objectName: "dpiRadio" + model.index
                                    gapValue: 8
                                    index: model.index
                                    textValue: keyAssigment.str(KeyDefine.dpiFunctions[model.index].str)
                                    onBtnClick: (i) => {
                                        for (var k = 0; k < dpiRadios.count; ++k)
                                            dpiRadios.itemAt(k).isSelect = k === i
                                        keyAssigment.chooseFixed(KeyDefine.dpiFunctions[i])
                                    }
                                }
                            }
                        }
                    }

                    // 7. Windows functions.
                    Column {
                        objectName: "sectionWindows"
                        width: parent.width
                        spacing: 10
                        z: windowsGrid.z > 0 ? 2 : 0
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(25) }
                        DropDownGrid {
                            id: windowsGrid
                            objectName: "windowsGrid"
                            accessibleName: keyAssigment.str(25)
                            x: 8
                            width: 120
                            onBtnClick: {
                                if (currentSelect >= 0)
                                    keyAssigment.chooseFixed(KeyDefine.windowsFunctions[currentSelect])
                            }
                        }
                    }

                    // 8. Shortcuts.
                    Column {
                        objectName: "sectionShortcut"
                        width: parent.width
                        spacing: 10
                        z: shortcutGrid.z > 0 ? 2 : 0
                        SectionHeading { width: parent.width; textValue: keyAssigment.str(26) }
                        DropDownGrid {
                            id: shortcutGrid
                            objectName: "shortcutGrid"
                            accessibleName: keyAssigment.str(26)
                            x: 8
                            width: 120
                            onBtnClick: {
                                if (currentSelect >= 0)
                                    keyAssigment.chooseFixed(KeyDefine.shortcutFunctions[currentSelect])
                            }
                        }
                    }
                }
            }

            // Scroll position of the body.
            Rectangle {
                objectName: "scrollMark"
                x: parent.width - 8
                y: body.y + body.visibleArea.yPosition * body.height
                width: 3
                height: body.visibleArea.heightRatio * body.height
                radius: 1
                color: mainIten.colorGray1
            }

            Component.onCompleted: {
                // The knob starts where "10ms" belongs; moving it reports p + 1.
                rateSlider.sliderControl.setValue(9)
            }
        }
    }
}
