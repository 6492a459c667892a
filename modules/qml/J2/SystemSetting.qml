import QtQuick
import "../basic"
import "../js/SystemSettings.js" as System

// System settings dialog: pointer speed, double-click speed and wheel
// scroll lines of the desktop. Each control stores its value in the
// current profile and applies it as soon as it settles.
Rectangle {
    id: systemSetting

    property var langStrings: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow", "Fast",
        "Scroll Speed", "Number of Rows", "Scroll one Screen", "Profiles follow the focused program",
        "Start with the desktop", "Language", "Applies at the next start"]
    // The interface languages shipped with the program, in the order of the
    // chooser, which names each in itself; a code is the name of its file
    // under modules/i18n/.
    readonly property var languages: ["English", "French", "ChineseSimplified"]
    // The back end of per-program profiles and autostart; absent where no
    // scene host publishes it.
    readonly property QtObject programs: typeof programProfiles !== "undefined" ? programProfiles : null
    // What the dialog shows: slider positions, the line count, the scroll
    // choice and the index of the interface language.
    property int speedPos: 0
    property int doublePos: 0
    property string linesText: "3"
    property bool oneScreen: false
    property int languageIndex: 0
    property string linesOnFocus: ""

    // Reads the three settings from the current profile (the factory
    // profile with isRecovery). Factory values are written and applied at
    // once; otherwise they are applied only with isSendData.
    function init(isSendData, isRecovery) {
        speedPos = System.position(ui_View.getData("mouse/mouseRate", isRecovery))
        doublePos = System.position(ui_View.getData("mouse/doubleRate", isRecovery))
        var scroll = System.scrollChoice(ui_View.getData("mouse/scrollRate", isRecovery))
        linesText = String(scroll.lines)
        oneScreen = scroll.oneScreen
        readLanguage()
        showValues()
        if (isRecovery) {
            ui_View.setData("mouse/mouseRate", speedPos)
            ui_View.setData("mouse/doubleRate", doublePos)
            ui_View.setData("mouse/scrollRate", System.scrollValue(oneScreen, linesText))
        }
        if (isSendData || isRecovery) {
            ui_View.mouseSetCursorSpeed(System.stepOf(speedPos))
            ui_View.mouseSetDoubleClickSpeed(System.stepOf(doublePos))
            ui_View.mouseSetVerticalScrollLines(System.scrollValue(oneScreen, linesText))
        }
    }

    // Puts the values into the controls, once they are built.
    function showValues() {
        var ui = content.item
        if (!ui)
            return
        ui.speed.slider.setValue(speedPos)
        ui.doubleClick.slider.setValue(doublePos)
        ui.linesInput.textValue = linesText
        ui.languageList.currentSelect = languageIndex
        showChoice(oneScreen)
    }

    function setCursorSpeed(pos) {
        speedPos = pos
        ui_View.setData("mouse/mouseRate", pos)
        ui_View.mouseSetCursorSpeed(System.stepOf(pos))
    }

    function setDoubleClickSpeed(pos) {
        doublePos = pos
        ui_View.setData("mouse/doubleRate", pos)
        ui_View.mouseSetDoubleClickSpeed(System.stepOf(pos))
    }

    // The radio buttons select themselves on a click; the other one is
    // cleared here.
    function showChoice(isOneScreen) {
        oneScreen = isOneScreen
        var ui = content.item
        if (!ui)
            return
        ui.rowsRadio.isSelect = !isOneScreen
        ui.screenRadio.isSelect = isOneScreen
    }

    function setScroll(isOneScreen) {
        var ui = content.item
        if (ui)
            linesText = ui.linesInput.textValue
        linesText = String(System.lines(linesText))
        if (ui)
            ui.linesInput.textValue = linesText
        showChoice(isOneScreen)
        var value = System.scrollValue(oneScreen, linesText)
        ui_View.setData("mouse/scrollRate", value)
        ui_View.mouseSetVerticalScrollLines(value)
    }

    function systemSettingFocus() {
        var ui = content.item
        if (!ui)
            return
        ui.linesInput.closeFocus()
        ui.languageList.closeMenu()
    }

    // The chooser shows it through showValues().
    function readLanguage() {
        var stored = String(ui_View.getGlobalData("common/language"))
        for (var i = 0; i < languages.length; ++i) {
            if (languages[i] === stored)
                languageIndex = i
        }
    }

    // The choice is stored at once; the texts change at the next start.
    function chooseLanguage(index) {
        if (index < 0 || index >= languages.length)
            return
        languageIndex = index
        if (content.item)
            content.item.languageList.currentSelect = index
        ui_View.setGlobalData("common/language", languages[index])
    }

    function close() {
        systemSettingFocus()
        visible = false
    }

    width: 420
    height: 440
    color: mainIten.colorGray0
    Accessible.role: Accessible.Dialog
    Accessible.name: langStrings[0]
    Keys.onEscapePressed: close()
    border.color: mainIten.colorGray1

    // What becomes of a setting on this desktop, right of its heading.
    component DesktopNote: Text {
        property int setting: 0
        x: 200
        width: parent.width - 234
        horizontalAlignment: Text.AlignRight
        elide: Text.ElideRight
        text: typeof ui_View !== "undefined" && ui_View.pointerNote ? ui_View.pointerNote(setting) : ""
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMinSize
        color: mainIten.colorGray2
        Accessible.role: Accessible.StaticText
        Accessible.name: text
    }

    component SectionHead: Row {
        property alias textValue: label.text
        property alias icon: image.source
        x: 24
        spacing: 8
        Image {
            id: image
            anchors.verticalCenter: parent.verticalCenter
            width: 16
            height: 16
            sourceSize.width: 16
            sourceSize.height: 16
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMiddleSize
            color: mainIten.fontColor
        }
    }

    // A step slider: 352 px, so the knob runs over positions 3..337, with a
    // mark for each of the eleven steps and the slow and fast ends named.
    component StepSlider: Item {
        property alias slider: track
        property alias sliderName: track.objectName
        property alias accessibleName: track.accessibleName
        width: 352
        height: 34

        SliderButton {
            id: track
            y: 4
            width: parent.width
        }

        Repeater {
            model: 11
            Rectangle {
                x: 3 + 6 + index * (334 / 10)
                y: 16
                width: 1
                height: index % 5 === 0 ? 6 : 4
                color: mainIten.colorGray2
            }
        }

        Text {
            y: 20
            text: systemSetting.langStrings[3]
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMinSize
            color: mainIten.colorGray2
        }

        Text {
            anchors.right: parent.right
            y: 20
            text: systemSetting.langStrings[4]
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMinSize
            color: mainIten.colorGray2
        }
    }

    // A check box that shows what the back end holds: a click asks for the
    // change, and the box is bound again to the outcome.
    component SettingBox: CheckBox {
        property var holds: () => false
        function follow() {
            isSelect = Qt.binding(holds)
        }
        Component.onCompleted: follow()
    }

    // The visuals are built the first time the dialog is shown; until then
    // the dialog is its data and the functions the scene calls.
    property bool built: visible
    onVisibleChanged: if (visible) built = true

    Loader {
        id: content
        anchors.fill: parent
        active: systemSetting.built
        onLoaded: systemSetting.showValues()
        sourceComponent: Item {
            property alias speed: speed
            property alias doubleClick: doubleClick
            property alias linesInput: linesInput
            property alias rowsRadio: rowsRadio
            property alias screenRadio: screenRadio
            property alias languageList: languageList

            // Takes presses on the body so that they do not reach the mask,
            // and lets the line-count box give up its focus.
            MouseArea {
                anchors.fill: parent
                onPressed: systemSetting.systemSettingFocus()
            }

            DialogTitle {
                id: title
                textValue: systemSetting.langStrings[0]
                onCloseClicked: systemSetting.close()
            }

            // Restore the factory settings: written and applied at once.
            Image {
                objectName: "systemBack"
                anchors.right: parent.right
                anchors.rightMargin: 40
                y: 7
                width: 16
                height: 16
                sourceSize.width: 16
                sourceSize.height: 16
                source: mainIten.img("index", backArea.containsMouse ? "backBtnH" : "backBtn")

                function activate() {
                    if (mainIten.inputBlocked)
                        return
                    systemSetting.systemSettingFocus()
                    systemSetting.init(false, true)
                }

                activeFocusOnTab: enabled
                Keys.onSpacePressed: activate()
                Keys.onReturnPressed: activate()
                Keys.onEnterPressed: activate()
                Accessible.role: Accessible.Button
                Accessible.focusable: activeFocusOnTab
                Accessible.name: mainIten.accessLang[3]
                Accessible.onPressAction: activate()

                FocusRing {}

                MouseArea {
                    id: backArea
                    anchors.fill: parent
                    anchors.margins: -4
                    hoverEnabled: true
                    onClicked: {
                        systemSetting.systemSettingFocus()
                        systemSetting.init(false, true)
                    }
                }
            }




            DesktopNote {
                objectName: "speedNote"
                y: 49
                setting: 0
            }

            SectionHead {
                y: 46
                textValue: systemSetting.langStrings[1]
                icon: mainIten.img("mouseRate", "icon")
            }

            StepSlider {
                id: speed
                x: 34
                y: 74
                sliderName: "speedSlider"
                accessibleName: systemSetting.langStrings[1]
            }

            Connections {
                target: speed.slider
                function onValueChangeDelay(tmpValue) {
                    systemSetting.setCursorSpeed(tmpValue)
                }
                function onBtnClick() {
                    systemSetting.systemSettingFocus()
                }
            }

            DesktopNote {
                objectName: "doubleClickNote"
                y: 125
                setting: 1
            }

            SectionHead {
                y: 122
                textValue: systemSetting.langStrings[2]
                icon: mainIten.img("mouseRate", "icon")
            }

            StepSlider {
                id: doubleClick
                x: 34
                y: 150
                sliderName: "doubleSlider"
                accessibleName: systemSetting.langStrings[2]
            }

            Connections {
                target: doubleClick.slider
                function onValueChangeDelay(tmpValue) {
                    systemSetting.setDoubleClickSpeed(tmpValue)
                }
                function onBtnClick() {
                    systemSetting.systemSettingFocus()
                }
            }

            Rectangle {
                x: 24
                y: 200
                width: parent.width - 48
                height: 1
                color: mainIten.colorGray1
            }

            DesktopNote {
                objectName: "scrollNote"
                y: 217
                setting: 2
            }

            SectionHead {
                y: 214
                textValue: systemSetting.langStrings[5]
                icon: mainIten.img("scrollRate", "icon")
            }

            RadioButton {
                id: rowsRadio
                objectName: "rowsRadio"
                x: 34
                y: 250
                textValue: systemSetting.langStrings[6]
                isSelect: true
                onBtnClick: systemSetting.setScroll(false)
            }

            Rectangle {
                x: rowsRadio.x + rowsRadio.width + 8
                anchors.verticalCenter: rowsRadio.verticalCenter
                width: 48
                height: 20
                radius: 2
                color: mainIten.colorBlack
                border.color: linesInput.txtInput.activeFocus ? mainIten.colorBlue : mainIten.colorGray1

                RectInput {
                    id: linesInput
                    objectName: "linesInput"
                    anchors.fill: parent
                    minValue: 0
                    maxValue: 100
                    textValue: "3"
                    accessibleName: systemSetting.langStrings[6]
                    onInputSignal: systemSetting.linesOnFocus = textValue
                    // A typed line count chooses the line setting; leaving the box
                    // unchanged keeps whatever is chosen.
                    onEndInputSignal: {
                        if (textValue !== systemSetting.linesOnFocus)
                            systemSetting.setScroll(false)
                        else
                            textValue = String(System.lines(textValue))
                    }
                }
            }

            RadioButton {
                id: screenRadio
                objectName: "screenRadio"
                x: 250
                y: 250
                textValue: systemSetting.langStrings[7]
                onBtnClick: systemSetting.setScroll(true)
            }

            Rectangle {
                x: 24
                y: 284
                width: parent.width - 48
                height: 1
                color: mainIten.colorGray1
            }


            SettingBox {
                id: followBox
                objectName: "followFocusBox"
                x: 34
                y: 300
                textValue: systemSetting.langStrings[8]
                enabled: systemSetting.programs !== null && systemSetting.programs.available
                opacity: enabled ? 1.0 : 0.4
                holds: () => systemSetting.programs !== null && systemSetting.programs.enabled
                onBtnClick: {
                    systemSetting.systemSettingFocus()
                    systemSetting.programs.enabled = !isSelect
                    Qt.callLater(follow)
                }
            }

            // Why the feature cannot work on this desktop, in one sentence.
            Text {
                objectName: "followFocusReason"
                x: 34
                y: 318
                width: parent.width - 68
                visible: systemSetting.programs !== null && !systemSetting.programs.available
                text: systemSetting.programs ? systemSetting.programs.unavailableReason : ""
                wrapMode: Text.WordWrap
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMinSize
                color: mainIten.colorGray2
            }

            SettingBox {
                id: autostartBox
                objectName: "autostartBox"
                x: 34
                y: 356
                textValue: systemSetting.langStrings[9]
                enabled: systemSetting.programs !== null
                opacity: enabled ? 1.0 : 0.4
                holds: () => systemSetting.programs !== null && systemSetting.programs.autostart
                onBtnClick: {
                    systemSetting.systemSettingFocus()
                    systemSetting.programs.autostart = !isSelect
                    Qt.callLater(follow)
                }
            }

            Rectangle {
                x: 24
                y: 388
                width: parent.width - 48
                height: 1
                color: mainIten.colorGray1
            }

            Text {
                id: languageLabel
                x: 34
                anchors.verticalCenter: languageChooser.verticalCenter
                text: systemSetting.langStrings[10]
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontNormalSize
                color: mainIten.fontColor
            }

            // The language chooser: the list itself takes Tab, the arrows, Space,
            // Enter and Escape, and speaks as a combo box.
            Item {
                id: languageChooser
                objectName: "languageChooser"
                x: languageLabel.x + languageLabel.width + 12
                y: 400
                z: 2
                width: languageList.width
                height: languageList.height

                DropDownList {
                    id: languageList
                    objectName: "languageList"
                    width: 120
                    currentSelect: 0
                    mdItems: ListModel {
                        ListElement { textValue: "English" }
                        ListElement { textValue: "Français" }
                        ListElement { textValue: "简体中文" }
                    }
                    accessibleName: systemSetting.langStrings[10]
                    onValueChange: (index) => systemSetting.chooseLanguage(index)
                }
            }

            Text {
                objectName: "languageNote"
                x: languageChooser.x + languageChooser.width + 12
                anchors.verticalCenter: languageChooser.verticalCenter
                width: parent.width - x - 24
                wrapMode: Text.WordWrap
                text: systemSetting.langStrings[11]
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMinSize
                color: mainIten.colorGray2
            }
        }
    }
}
