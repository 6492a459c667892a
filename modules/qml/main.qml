import QtQuick
import "./basic"
import "./common"
import "./J2"
import "js/Shell.js" as Shell

// Root of the scene. The back end calls initUI, run, setProtectUI,
// setCurrentDPI, detectKeyboard, detectMouse and setDeviceConnected by name;
// the screens call mainFocus and controlUIEnable.
SceneLook {
    id: mainIten

    width: 1024
    height: 640
    visible: false
    focus: true
    inputBlocked: busyIndicator.isBusy

    property var mainLang: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
        "Reset factory setting", "Cancel", "OK", "System setting", "Save", "LOD",
        "Mouse not connected", "Save changes to %1?", "Discard"]
    property string language: "ChineseSimplified"
    property bool isColorful: false
    property string icType: "553"
    property bool is55328: false
    property bool isGun: true
    property bool isPownOn: false
    property string url: ""
    // Whether a mouse is connected; until the back end says so the title
    // area shows the "not connected" notice.
    property bool deviceConnected: false
    // Unsaved mark of the lift-off slider.
    property bool lodIsSave: false
    readonly property bool hasUnsaved: keyMatrixMain.isSave || dpiSettingMain.isSave
                                       || lightControlMain.isSave || lodIsSave
    // The profile the open save question is about, and a switch asked for
    // from outside the window (the focused program, kelda-ctl) that waits
    // until the edits are saved or discarded; -1 when none.
    property int askedProfile: -1
    property int waitingProfile: -1

    signal emptyAreaPressed()
    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int code, int x, int y)

    // ---- root functions called by the back end ----

    function initUI() {
        setProtectUI(1000)
        mainIten.visible = true
        if (!isPownOn) {
            readGlobalSettings()
            loadLanguages()
            reportRateInit(false)
            lodInit(false)
            lodIsSave = false
            profileMain.init()
            var profileNo = ui_View.getGlobalData("mouse/profileNo")
            if (!Shell.isMissing(profileNo) && !isNaN(Number(profileNo)))
                profileMain.profileNo = Number(profileNo)
            profileList.currentSelect = profileMain.profileNo
            ui_View.mouseGetRight()
            profileList.closeMenu()
            macroEditorMain.init()
            keyAssigmentMain.init()
            keyMatrixMain.init(false, false)
            dpiSettingMain.init(false, false)
            lightControlMain.init(false, false)
            systemSettingMain.init(false, false)
            isPownOn = true
        }
        ui_View.mouseGetRight()
        keyMatrixMain.init(false, false)
        showCurrentDpi()
    }

    function run() {
        safetyTimer.restart()
    }

    // Blocks all input to the scene for `interval` ms behind the busy
    // indicator; the panels appear when the period ends.
    function setProtectUI(interval) {
        busyIndicator.setBusy(true)
        ui_View.setEnabled(false)
        var ms = Number(interval)
        protectTimer.interval = (interval === undefined || isNaN(ms)) ? 1000 : Math.max(0, ms)
        protectTimer.restart()
    }

    function setCurrentDPI(dpiValue) {
        var stage = Number(dpiValue)
        if (stage !== 0 && !isNaN(stage))
            dpiSettingMain.currentDpi = stage - 1
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(Shell.toBool(isDown), Number(usbCode))
    }

    function detectMouse(isDown, code, x, y) {
    }

    function setDeviceConnected(connected) {
        deviceConnected = Shell.toBool(connected)
    }

    // ---- root functions used by the screens ----

    function mainFocus() {
        reportRateList.closeMenu()
        lodSlider.closeMenu()
        dpiSettingMain.closeMenu()
        profileList.closeMenu()
        lightControlMain.lightControlFocus()
    }

    function controlUIEnable(isEnable) {
        busyIndicator.setBusy(!isEnable)
        ui_View.setEnabled(isEnable)
    }

    // ---- start-up ----

    function readGlobalSettings() {
        var v = ui_View.getGlobalData("mouse/isColorful")
        if (!Shell.isMissing(v))
            isColorful = Shell.toBool(v)
        v = ui_View.getGlobalData("mouse/icType")
        if (!Shell.isMissing(v))
            icType = String(v)
        v = ui_View.getGlobalData("mouse/is55328")
        if (!Shell.isMissing(v))
            is55328 = Shell.toBool(v)
        v = ui_View.getGlobalData("mouse/isGun")
        if (!Shell.isMissing(v))
            isGun = Shell.toBool(v)
        v = ui_View.getGlobalData("mouse/keyCount")
        if (!Shell.isMissing(v) && !isNaN(Number(v)))
            mouseMain.keyCount = Number(v)
        v = ui_View.getGlobalData("common/language")
        if (!Shell.isMissing(v))
            language = String(v)
        v = ui_View.getGlobalData("common/url")
        if (!Shell.isMissing(v))
            url = String(v)
    }

    function loadLanguages() {
        function group(name) {
            return ui_View.getLangStrings(name, language)
        }
        mainLang = Shell.mergeLang(mainLang, group("main"))
        keyMatrixMain.langStrings = Shell.mergeLang(keyMatrixMain.langStrings, group("keyMatrix"))
        keyAssigmentMain.langStrings = Shell.mergeLang(keyAssigmentMain.langStrings, group("keyAssigment"))
        dpiSettingMain.langStrings = Shell.mergeLang(dpiSettingMain.langStrings, group("dpiSetting"))
        lightControlMain.langStrings = Shell.mergeLang(lightControlMain.langStrings, group("lightControl"))
        macroEditorMain.langStrings = Shell.mergeLang(macroEditorMain.langStrings, group("macroEditor"))
        systemSettingMain.langStrings = Shell.mergeLang(systemSettingMain.langStrings, group("systemSetting"))
        gunControlLang = group("gunControl")
        profileMain.langStrings = Shell.mergeLang(profileMain.langStrings, group("profile"))
        _KeyCodeString.keyCodeStr = Shell.mergeLang(_KeyCodeString.keyCodeStr, group("keyCode"))
        accessLang = Shell.mergeLang(accessLang, group("access"))
        // The back end keeps the tray texts of this group; the scene has no use for them.
        group("other")
    }

    function showCurrentDpi() {
        var stage = Number(ui_View.mouseGetCurrentDPI())
        if (stage >= 1)
            dpiSettingMain.currentDpi = stage - 1
    }

    function endProtection() {
        ui_View.setEnabled(true)
        busyIndicator.setBusy(false)
        environment.visible = true
        leftPanel.visible = true
        bottomBar.visible = true
        rightPanel.visible = true
        menuUp.visible = true
        mouseMain.visible = true
    }

    // ---- report rate and lift-off ----

    function reportRateInit(isSendData) {
        var v = ui_View.getData("mouse/reportRate", false)
        if (!Shell.isMissing(v) && !isNaN(Number(v)))
            reportRateList.currentSelect = Number(v)
        if (isSendData)
            ui_View.mouseSetReportRate(Shell.reportRateCode(reportRateList.currentSelect))
    }

    function reportRateChanged(index) {
        ui_View.setData("mouse/reportRate", index)
        ui_View.mouseSetReportRate(Shell.reportRateCode(index))
    }

    // The lift-off setting is stored only; nothing is sent for it.
    function lodInit(isSendData) {
        var v = ui_View.getData("mouse/lod", false)
        if (!Shell.isMissing(v) && !isNaN(Number(v))) {
            lodSlider.sliderControl.setValue(Number(v))
            lodSlider.textValue = Shell.lodText(Number(v))
        }
        v = ui_View.getData("mouse/lodEn", false)
        if (!Shell.isMissing(v))
            lodCheck.isSelect = Shell.toBool(v)
    }

    // ---- dialogs ----

    function anyDialogOpen() {
        return macroEditorMain.visible || isOpen(gunControlMain) || systemSettingMain.visible
            || keyAssigmentMain.visible || profileMain.visible || isOpen(resetBox) || isOpen(unsavedBox)
    }

    // The mask is up exactly while a dialog is open. The keyboard follows:
    // an opening dialog takes the focus (Tab then stays inside it, the
    // panels below being disabled), and the last one closing gives it back
    // to the control that had it.
    function updateMask() {
        mask.visible = anyDialogOpen()
        Qt.callLater(focusTopDialog)
    }

    // The control of the window that last had the focus, given back when
    // the last dialog closes.
    property Item lastPanelFocus: null
    readonly property Item focusNow: Window.activeFocusItem
    onFocusNowChanged: {
        if (focusNow && focusNow !== mainIten && isInside(focusNow, mainIten) && !isInDialog(focusNow))
            lastPanelFocus = focusNow
    }

    // The dialog in front: the macro editor may open over the key dialog.
    function topDialog() {
        var order = [macroEditorMain, resetBox, profileMain, keyAssigmentMain, systemSettingMain,
                     gunControlMain, infoBox]
        for (var i = 0; i < order.length; ++i) {
            if (isOpen(order[i]))
                return order[i]
        }
        return null
    }

    function isInside(item, ancestor) {
        for (var p = item; p; p = p.parent) {
            if (p === ancestor)
                return true
        }
        return false
    }

    function focusTopDialog() {
        var top = topDialog()
        var current = mainIten.Window.activeFocusItem
        if (top) {
            if (!isInside(current, top))
                top.forceActiveFocus()
        } else if (!current || !current.visible || isInDialog(current)) {
            var back = lastPanelFocus
            if (back && back.visible && back.enabled)
                back.forceActiveFocus()
            else
                mainIten.forceActiveFocus()
        }
    }

    function isInDialog(item) {
        var dialogs = [macroEditorMain, resetBox, profileMain, keyAssigmentMain, systemSettingMain,
                       gunControlMain, infoBox]
        for (var i = 0; i < dialogs.length; ++i) {
            if (dialogs[i] && isInside(item, dialogs[i]))
                return true
        }
        return false
    }

    // Spoken by screen readers: the end of a save or of a profile change.
    function announce(message) {
        statusLine.text = ""
        statusLine.text = message
    }

    // Escape that no control took: close an open drop-down of the window.
    Keys.onEscapePressed: {
        if (!inputBlocked)
            mainFocus()
    }

    // The gun editor, the reset confirmation and the information box are
    // built when first opened; until then their names hold null.
    function isOpen(dialog) {
        return dialog !== null && dialog.visible
    }

    function centre(dialog) {
        dialog.x = Shell.centred(width, dialog.width)
        dialog.y = Shell.centred(height, dialog.height)
    }

    function openMacroEditor() {
        mainFocus()
        centre(macroEditorMain)
        macroEditorMain.visible = true
    }

    function openGunControl() {
        if (gunControlMain === null) {
            gunControlMain = gunControlComponent.createObject(mainIten)
            gunControlMain.langStrings = Shell.mergeLang(gunControlMain.langStrings, gunControlLang)
            gunControlMain.init()
        }
        gunControlMain.visible = true
    }

    function openSystemSetting() {
        centre(systemSettingMain)
        systemSettingMain.visible = true
    }

    function openProfile() {
        mainFocus()
        centre(profileMain)
        profileMain.visible = true
    }

    function openResetBox() {
        mainFocus()
        if (resetBox === null)
            resetBox = resetBoxComponent.createObject(mainIten)
        resetBox.visible = true
    }

    function openInfoBox() {
        if (infoBox === null)
            infoBox = infoBoxComponent.createObject(mainIten)
        centre(infoBox)
        infoBox.visible = true
    }

    function openKeyAssigment(index) {
        mouseMain.selectKey = index
        keyAssigmentMain.show(index)
    }

    // Pressing the mask takes the focus from whatever the open dialog edits.
    function dialogsFocus() {
        if (macroEditorMain.visible)
            macroEditorMain.macroEditorFocus()
        if (profileMain.visible)
            profileMain.profileFocus()
        if (isOpen(gunControlMain))
            gunControlMain.gunControlFocus()
        lightControlMain.lightControlFocus()
        if (systemSettingMain.visible)
            systemSettingMain.systemSettingFocus()
    }

    // ---- save, profile change, factory reset ----

    function saveAll() {
        mainFocus()
        var sending = keyMatrixMain.isSave || dpiSettingMain.isSave || lightControlMain.isSave
        if (sending)
            controlUIEnable(false)
        if (keyMatrixMain.isSave) {
            keyMatrixMain.isSave = false
            keyMatrixMain.modKeys.saveData()
        }
        if (dpiSettingMain.isSave) {
            dpiSettingMain.isSave = false
            dpiSettingMain.saveData(true)
        }
        if (lightControlMain.isSave) {
            lightControlMain.isSave = false
            lightControlMain.saveData(true, 0)
        }
        if (lodIsSave)
            lodIsSave = false
        controlUIEnable(true)
        announce(accessLang[5])
    }

    // A profile change never drops edits silently. Without unsaved edits it
    // happens at once (true). Otherwise the user is asked whether to save
    // them first; a change asked for from outside waits for that answer, and
    // is made once the edits are saved or discarded, also when the question
    // is cancelled and the edits are saved later (false).
    function requestProfile(slot, fromOutside) {
        slot = Number(slot)
        if (!hasUnsaved) {
            changeProfile(slot)
            return true
        }
        if (Shell.toBool(fromOutside))
            waitingProfile = slot
        askedProfile = slot
        if (unsavedBox === null)
            unsavedBox = unsavedBoxComponent.createObject(mainIten)
        mainFocus()
        unsavedBox.open()
        return false
    }

    function answerUnsaved(answer) {
        var slot = askedProfile
        askedProfile = -1
        unsavedBox.visible = false
        if (answer !== "save" && answer !== "discard") {
            // The title bar goes on naming the profile whose edits stay.
            profileList.currentSelect = profileMain.activePosition
            return
        }
        waitingProfile = -1
        if (answer === "save")
            saveAll()
        changeProfile(slot)
    }

    // A waiting switch goes ahead once nothing is left unsaved.
    onHasUnsavedChanged: {
        if (!hasUnsaved && waitingProfile >= 0 && askedProfile < 0) {
            var slot = waitingProfile
            waitingProfile = -1
            Qt.callLater(changeProfile, slot)
        }
    }

    // Shows the profile in slot index. What the screens showed is dropped:
    // they show the new profile, so nothing is left unsaved.
    function changeProfile(index) {
        controlUIEnable(false)
        profileMain.profileNo = index
        ui_View.setGlobalData("mouse/profileNo", index)
        ui_View.setCurrentProfile(index)
        keyMatrixMain.init(true, false)
        reportRateInit(true)
        lodInit(true)
        dpiSettingMain.init(true, false)
        lightControlMain.init(true, false)
        systemSettingMain.init(true, false)
        showCurrentDpi()
        keyMatrixMain.isSave = false
        dpiSettingMain.isSave = false
        lightControlMain.isSave = false
        lodIsSave = false
        controlUIEnable(true)
        announce(accessLang[6])
    }

    function factoryReset() {
        controlUIEnable(false)
        if (resetBox)
            resetBox.visible = false
        ui_View.resetProfile(profileMain.profileNo)
        ui_View.mouseGetRight()
        keyMatrixMain.init(true, false)
        reportRateInit(true)
        dpiSettingMain.init(true, false)
        lightControlMain.init(true, false)
        systemSettingMain.init(true, false)
        ui_View.mouseSetCurrentDPI(2)
        dpiSettingMain.currentDpi = 1
        keyMatrixMain.isSave = false
        dpiSettingMain.isSave = false
        lightControlMain.isSave = false
        lodIsSave = false
        controlUIEnable(true)
    }

    // ---- macro bookkeeping between the macro editor and the key list ----

    function macroButtons(name) {
        var keys = keyMatrixMain.modKeys
        return Shell.macroButtons(keys.count, (i) => keys.get(i),
                                  (slot) => ui_View.getData("mouseMacroKey/" + slot, false), name)
    }

    function handleMacroDeleted(name) {
        var keys = keyMatrixMain.modKeys
        var saved = keyMatrixMain.modKeys_tmp
        var buttons = macroButtons(name)
        for (var i = 0; i < buttons.length; ++i) {
            var n = buttons[i]
            if (n >= saved.count)
                continue
            var e = saved.get(n)
            keys.set(n, { keyCode0: e.keyCode0, keyCode1: e.keyCode1, keyCode2: e.keyCode2,
                          keyCode3: e.keyCode3, keyText: e.keyText })
        }
        keys.saveData()
        ui_View.deleteMacroUpdateProfile(name)
    }

    function handleMacroRenamed(oldName, newName) {
        var keys = keyMatrixMain.modKeys
        var buttons = macroButtons(oldName)
        for (var i = 0; i < buttons.length; ++i) {
            var n = buttons[i]
            ui_View.setData("mouseMacroKey/" + keys.get(n).keyCode2, newName)
            keys.setProperty(n, "keyText", newName)
        }
        ui_View.modifyMacroNameUpdateProfile(oldName, newName)
    }

    function handleMacroEdited(name) {
        var keys = keyMatrixMain.modKeys
        var buttons = macroButtons(name)
        for (var i = 0; i < buttons.length; ++i)
            macroEditorMain.sendMacro(keys.get(buttons[i]).keyCode2, name)
    }

    // Recorded keys go to whichever screen waits for them.
    onMsg_KB: (isDown, usbCode) => {
        if (macroEditorMain.currentMacroName !== "") {
            if (macroEditorMain.isRecording)
                macroEditorMain.detectKeyboard(isDown, usbCode)
            if (macroEditorMain.isInserting)
                macroEditorMain.detectInput(isDown, usbCode)
        }
        if (keyAssigmentMain.isFireInput)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 0)
        if (keyAssigmentMain.isComboInput)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 1)
    }

    KeyCodeString {
        id: _KeyCodeString
    }

    Timer {
        id: protectTimer
        objectName: "protectTimer"
        interval: 1000
        onTriggered: mainIten.endProtection()
    }

    // Re-reads the key list of the active layer a second after the mouse
    // switched layers.
    Timer {
        id: safetyTimer
        objectName: "safetyTimer"
        interval: 1000
        onTriggered: {
            console.log("testxxx")
            keyMatrixMain.init(false, false)
        }
    }

    // ---- layout ----

    WindowDragArea {
        anchors.fill: parent
        onPressed: {
            mainIten.emptyAreaPressed()
            mainIten.mainFocus()
        }
    }

    Environment {
        id: environment
        enabled: !mask.visible
        objectName: "environment"
        visible: false
        url: mainIten.url
    }

    Rectangle {
        id: notConnected
        objectName: "notConnected"
        visible: environment.visible && !mainIten.deviceConnected
        anchors.horizontalCenter: parent.horizontalCenter
        y: 14
        width: notConnectedRow.width + 24
        height: 24
        radius: 12
        color: "#2b1416"
        border.color: "#ff3030"

        Row {
            id: notConnectedRow
            anchors.centerIn: parent
            spacing: 8

            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 8
                height: 8
                radius: 4
                color: "#ff3030"
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: mainIten.mainLang[12]
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontNormalSize
                color: "#ff8080"
            }
        }
    }

    // The title bar comes first in the keyboard's reading order.
    DropDownList {
        id: profileList
        enabled: !mask.visible
        objectName: "profileList"
        visible: menuUp.visible
        width: 144
        x: menuUp.x - 16 - width
        y: menuUp.y + (menuUp.height - height) / 2
        z: 3
        mdItems: profileMain.profileNames
        accessibleName: mainIten.accessLang[16]
        // The list shows names by position; a profile is its slot number.
        onValueChange: (index) => mainIten.requestProfile(profileMain.slotAt(index), false)
    }

    Menu_Up {
        id: menuUp
        enabled: !mask.visible
        objectName: "menuUp"
        x: 920
        y: 16
        visible: false
        onBtnClicked: (btnIndex) => {
            if (btnIndex === 0)
                ui_Ctl.onMinimize()
            else if (btnIndex === 1)
                ui_Ctl.onClose()
            else if (btnIndex === 2)
                mainIten.openInfoBox()
        }
    }

    // The title bar keeps showing the active profile when entries before it
    // are deleted.
    Binding {
        target: profileList
        property: "currentSelect"
        value: profileMain.activePosition
    }

    Mouse {
        id: mouseMain
        enabled: !mask.visible
        objectName: "mouseMain"
        visible: false
        isKeyLocked: (index) => keyMatrixMain.modKeys.checkOneLeftKey(index)
        keyLabel: keyMatrixMain.keyLabel(0).replace(/ 1$/, "")
        onBtnClick: mainIten.openKeyAssigment(selectKey)
    }

    Column {
        id: leftPanel
        enabled: !mask.visible
        objectName: "leftPanel"
        x: 24
        y: 88
        spacing: 8
        visible: false

        KeyMatrix {
            id: keyMatrixMain
            objectName: "keyMatrixMain"
            onEnterBtn: (index) => mouseMain.selectKey = index
            onLeaveBtn: (index) => {
                if (!keyAssigmentMain.visible)
                    mouseMain.selectKey = -1
            }
            onClickBtn: (index) => {
                if (!keyMatrixMain.modKeys.checkOneLeftKey(index))
                    mainIten.openKeyAssigment(index)
            }
        }

        Rectangle {
            id: editorBox
            objectName: "editorBox"
            width: 232
            height: 75
            color: mainIten.colorBlack

            Text {
                x: 12
                y: 8
                text: mainIten.mainLang[0]
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMiddleSize
                font.bold: true
                color: mainIten.fontColor
            }

            Rectangle {
                x: 12
                y: 32
                width: parent.width - 24
                height: 1
                color: mainIten.colorGray1
            }

            EditorEntry {
                objectName: "macroEditorEntry"
                y: 40
                textValue: mainIten.mainLang[1]
                onClicked: mainIten.openMacroEditor()
            }

            // The gun editor is not offered in this product.
            EditorEntry {
                y: 40
                visible: false
                textValue: mainIten.mainLang[2]
                onClicked: mainIten.openGunControl()
            }
        }

        Rectangle {
            id: reportRateBox
            objectName: "reportRateBox"
            width: 232
            height: 42
            z: 2
            color: mainIten.colorBlack

            Text {
                x: 12
                anchors.verticalCenter: parent.verticalCenter
                width: reportRateList.x - x - 6
                elide: Text.ElideRight
                text: mainIten.mainLang[3]
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontNormalSize
                color: mainIten.fontColor
            }

            DropDownList {
                id: reportRateList
                objectName: "reportRateList"
                anchors.right: parent.right
                anchors.rightMargin: 12
                y: 9
                // Room for "1000Hz"; the label takes the rest.
                width: 96
                accessibleName: mainIten.mainLang[3]
                mdItems: ListModel {
                    ListElement { textValue: "125Hz" }
                    ListElement { textValue: "250Hz" }
                    ListElement { textValue: "500Hz" }
                    ListElement { textValue: "1000Hz" }
                }
                onValueChange: (index) => mainIten.reportRateChanged(index)
            }
        }

        // Lift-off distance, not offered in this product.
        Rectangle {
            id: lodBox
            objectName: "lodBox"
            width: 232
            height: 42
            z: 1
            visible: false
            color: mainIten.colorBlack

            Text {
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                text: mainIten.mainLang[11]
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontNormalSize
                color: mainIten.fontColor
            }

            DropDownSlider {
                id: lodSlider
                objectName: "lodSlider"
                x: 44
                y: 9
                width: 120
                accessibleName: mainIten.mainLang[11]
                textValue: Shell.lodText(3)
                onValueChange: (value) => lodSlider.textValue = Shell.lodText(value)
            }

            Connections {
                target: lodSlider.sliderControl
                function onValueChangeDelay(tmpValue) {
                    lodSlider.textValue = Shell.lodText(tmpValue)
                    ui_View.setData("mouse/lod", tmpValue)
                    mainIten.lodIsSave = true
                }
            }

            CheckBox {
                id: lodCheck
                objectName: "lodCheck"
                anchors.right: parent.right
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                textValue: "Enable"
                accessibleName: mainIten.mainLang[11]
                // The box flips after this handler, so the new value is the negation.
                onBtnClick: ui_View.setData("mouse/lodEn", !lodCheck.isSelect)
            }
        }

        TextButton {
            objectName: "systemSettingButton"
            width: 232
            height: 24
            textValue: mainIten.mainLang[9]
            onClicked: mainIten.openSystemSetting()
        }
    }

    Column {
        id: rightPanel
        enabled: !mask.visible
        objectName: "rightPanel"
        x: 768
        y: 56
        spacing: 8
        visible: false

        DpiSetting {
            id: dpiSettingMain
            objectName: "dpiSettingMain"
            z: 1
        }

        LightControl {
            id: lightControlMain
            objectName: "lightControlMain"
        }
    }

    Row {
        id: bottomBar
        enabled: !mask.visible
        objectName: "bottomBar"
        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        spacing: 16
        visible: false

        TextButton {
            objectName: "profileButton"
            textValue: mainIten.mainLang[4]
            onClicked: mainIten.openProfile()
        }

        TextButton {
            objectName: "resetButton"
            textValue: mainIten.mainLang[5]
            onClicked: mainIten.openResetBox()
        }

        TextButton {
            id: saveButton
            objectName: "saveButton"
            textValue: mainIten.mainLang[10]
            normalColor: mainIten.hasUnsaved ? "#ff3030" : mainIten.colorBlue
            onClicked: mainIten.saveAll()
        }
    }

    Rectangle {
        id: mask
        objectName: "mask"
        anchors.fill: parent
        visible: false
        color: "#90000000"

        WindowDragArea {
            anchors.fill: parent
            onPressed: mainIten.dialogsFocus()
        }
    }

    MacroEditor {
        id: macroEditorMain
        objectName: "macroEditorMain"
        visible: false
        onVisibleChanged: mainIten.updateMask()
        onMacroDeleted: (name) => mainIten.handleMacroDeleted(name)
        onMacroRenamed: (oldName, newName) => mainIten.handleMacroRenamed(oldName, newName)
        onMacroEdited: (name) => mainIten.handleMacroEdited(name)
    }

    // Built when first opened: nothing needs the gun editor before. Its
    // texts are read with the others at start-up.
    property Item gunControlMain: null
    property var gunControlLang: []

    Component {
        id: gunControlComponent
        GunControl {
            objectName: "gunControlMain"
            visible: false
            onVisibleChanged: mainIten.updateMask()
        }
    }

    SystemSetting {
        id: systemSettingMain
        objectName: "systemSettingMain"
        visible: false
        onVisibleChanged: mainIten.updateMask()
    }

    KeyAssigment {
        id: keyAssigmentMain
        objectName: "keyAssigmentMain"
        visible: false
        enabled: !macroEditorMain.visible
        onVisibleChanged: {
            mainIten.updateMask()
            if (!visible)
                mouseMain.selectKey = -1
        }
    }

    Profile {
        id: profileMain
        objectName: "profileMain"
        visible: false
        onVisibleChanged: mainIten.updateMask()
        onChangeProfile: (index) => mainIten.requestProfile(index, false)
    }

    // Built when first opened, like the gun editor.
    property Item resetBox: null

    Component {
        id: resetBoxComponent
        ResetBox {
            objectName: "resetBox"
            visible: false
            title: mainIten.mainLang[5]
            textValue: mainIten.mainLang[6]
            okText: mainIten.mainLang[8]
            cancelText: mainIten.mainLang[7]
            onVisibleChanged: mainIten.updateMask()
            onAccepted: mainIten.factoryReset()
            onRejected: visible = false
        }
    }

    // Built when first asked, like the reset confirmation.
    property Item unsavedBox: null

    Component {
        id: unsavedBoxComponent
        UnsavedBox {
            objectName: "unsavedBox"
            visible: false
            question: mainIten.mainLang[13].replace("%1", profileList.itemText(profileMain.activePosition))
            saveText: mainIten.mainLang[10]
            discardText: mainIten.mainLang[14]
            cancelText: mainIten.mainLang[7]
            onVisibleChanged: mainIten.updateMask()
            onAnswered: (answer) => mainIten.answerUnsaved(answer)
        }
    }

    property Item infoBox: null

    Component {
        id: infoBoxComponent
        InfoBox {
            objectName: "infoBox"
            visible: false
            onVisibleChanged: mainIten.updateMask()
        }
    }

    BusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        anchors.centerIn: parent
        z: 99
    }

    // Drawn for nobody: its text changes are what screen readers announce.
    Text {
        id: statusLine
        objectName: "statusLine"
        width: 1
        height: 1
        color: "transparent"
        Accessible.role: Accessible.AlertMessage
        Accessible.name: text
    }
}
