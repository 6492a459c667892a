import QtQuick
import "../js/KeyDefine.js" as KeyDefine
import "../basic"

// The key list of the left panel: one row per mouse button with the function
// it has. A click on a row asks the shell to open the key assignment dialog
// (clickBtn); the shell refuses that for the last button acting as the left
// button (modKeys.checkOneLeftKey). Edits made in the dialog live in modKeys
// until the save button sends the whole matrix (modKeys.saveData()).
Rectangle {
    id: keyMatrix

    property var langStrings: KeyDefine.defaultMatrixTexts
    property bool isSave: false
    // Rows shown: the mouse's button count (mouse/keyCount), as the mouse
    // picture has it.
    property int keyCount: typeof mouseMain !== "undefined" ? mouseMain.keyCount : 8
    // The highlighted row: the mouse picture's selected button (hovered, or
    // the one whose dialog is open).
    property int selectKey: typeof mouseMain !== "undefined" ? mouseMain.selectKey : -1
    // The dialog owns the texts of the definitions (its language group).
    property var keyDialog: typeof keyAssigmentMain !== "undefined" ? keyAssigmentMain : null
    property alias modKeys: modKeys
    property alias modKeys_tmp: modKeys_tmp

    readonly property int headHeight: 36
    readonly property int rowSpacing: 2
    readonly property int rowHeight: Math.max(18, Math.min(36,
        Math.floor((height - headHeight - 8) / Math.max(1, keyCount)) - rowSpacing))

    // "Key 4" for button index 3, from the language's "Key ".
    function keyLabel(index) {
        var word = langStrings.length > 0 ? String(langStrings[0]).trim() : ""
        return word + " " + (index + 1)
    }

    signal enterBtn(int index)
    signal leaveBtn(int index)
    signal clickBtn(int index)

    function keyCodeToString(code0, code1, code2, code3) {
        if (keyDialog)
            return keyDialog.keyCodeToString(code0, code1, code2, code3)
        return KeyDefine.keyCodeToString(code0, code1, code2, code3, KeyDefine.defaultTexts,
            function (code) { return "" },
            function (slot) { return ui_View.getData("mouseMacroKey/" + slot, false) })
    }

    // A button the model does not hold reads as zeros.
    function entryCodes(model, i) {
        if (i < 0 || i >= model.count)
            return [0, 0, 0, 0]
        var e = model.get(i)
        return [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3]
    }

    function setEntry(model, i, codes, text) {
        model.set(i, { keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2],
                       keyCode3: codes[3], keyText: text })
    }

    function refreshTexts(model) {
        for (var i = 0; i < model.count; ++i) {
            var c = entryCodes(model, i)
            model.setProperty(i, "keyText", keyCodeToString(c[0], c[1], c[2], c[3]))
        }
    }

    // Reads the current definitions (or the factory ones) and the factory
    // copy that the dialog's back action and the macro bookkeeping restore
    // from. A button without a stored definition keeps its factory one, and
    // without that the built-in layout; a short entry reads as zeros where
    // it lacks values.
    function init(isSendData, isRecovery) {
        for (var j = 0; j < KeyDefine.buttonCount; ++j) {
            var factory = KeyDefine.storedDefinition(ui_View.mouseGetKeydefine(j, true),
                                                     KeyDefine.factoryLayout[j])
            var current = KeyDefine.storedDefinition(ui_View.mouseGetKeydefine(j, isRecovery), factory)
            setEntry(modKeys, j, current, "")
            setEntry(modKeys_tmp, j, factory, "")
        }
        refreshTexts(modKeys)
        refreshTexts(modKeys_tmp)
        if (isSendData)
            modKeys.saveData()
    }

    // Firing periods of the weapon entries bound to the three weapon keys.
    function gunPeriods() {
        var selected = ui_View.getGlobalData("mouse/selectGun")
        if (selected === undefined || selected === null || selected === "")
            selected = [0, 1, 2]
        else if (!Array.isArray(selected) && typeof selected !== "object")
            selected = String(selected).split(",")
        var periods = []
        for (var i = 0; i < 3; ++i) {
            var entry = i < selected.length ? ui_View.getGunData(Number(selected[i])) : []
            var period = entry && entry.length > 2 ? Number(entry[2]) : NaN
            periods.push(isNaN(period) ? 10 : period)
        }
        return periods
    }

    width: 232
    height: 320
    color: mainIten.colorBlack

    ListModel {
        id: modKeys

        // Sends the whole matrix: the sixteen definitions in button order.
        function saveData() {
            var values = KeyDefine.matrixValues(function (i) { return keyMatrix.entryCodes(modKeys, i) })
            ui_View.mouseSetKeyMatrix(values, true, keyMatrix.gunPeriods())
        }

        // True when `index` (default: the selected button) is the only
        // button acting as the left button; it cannot be reassigned.
        function checkOneLeftKey(index) {
            var selected = index === undefined ? keyMatrix.selectKey : index
            return KeyDefine.checkOneLeftKey(count, function (i) { return keyMatrix.entryCodes(modKeys, i) },
                                             selected)
        }
    }

    ListModel {
        id: modKeys_tmp
    }

    Component.onCompleted: {
        for (var i = 0; i < KeyDefine.buttonCount; ++i) {
            var codes = KeyDefine.factoryLayout[i]
            modKeys.append({ keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2],
                             keyCode3: codes[3], keyText: "" })
            modKeys_tmp.append({ keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2],
                                 keyCode3: codes[3], keyText: "" })
        }
        refreshTexts(modKeys)
        refreshTexts(modKeys_tmp)
    }

    // Heading.
    Item {
        id: head
        width: parent.width
        height: keyMatrix.headHeight

        Rectangle {
            x: 12
            anchors.verticalCenter: parent.verticalCenter
            width: 3
            height: 14
            color: mainIten.colorBlue
        }

        Text {
            x: 22
            anchors.verticalCenter: parent.verticalCenter
            text: keyMatrix.langStrings.length > 1 ? keyMatrix.langStrings[1] : ""
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMiddleSize
            font.bold: true
            color: "#ffffff"
        }

        Rectangle {
            anchors.bottom: parent.bottom
            x: 12
            width: parent.width - 24
            height: 1
            color: mainIten.colorGray1
        }
    }

    Column {
        id: rows
        x: 8
        y: keyMatrix.headHeight + 6
        width: parent.width - 16
        spacing: keyMatrix.rowSpacing
        Accessible.role: Accessible.List
        Accessible.name: keyMatrix.langStrings.length > 1 ? keyMatrix.langStrings[1] : ""

        Repeater {
            id: rowRepeater
            model: modKeys

            Rectangle {
                id: row
                objectName: "keyRow" + index
                readonly property bool lit: keyMatrix.selectKey === index
                readonly property bool hovered: rowArea.containsMouse
                visible: index < keyMatrix.keyCount
                width: rows.width
                height: visible ? keyMatrix.rowHeight : 0
                radius: 2
                color: hovered ? mainIten.colorOrange : (lit ? mainIten.colorBlue : mainIten.colorGray0)

                function activate() {
                    if (!mainIten.inputBlocked)
                        keyMatrix.clickBtn(index)
                }

                // Up and Down move along the visible rows.
                function step(delta) {
                    var next = index + delta
                    if (next >= 0 && next < keyMatrix.keyCount)
                        rowRepeater.itemAt(next).forceActiveFocus(Qt.TabFocusReason)
                }

                activeFocusOnTab: visible && enabled
                Keys.onSpacePressed: activate()
                Keys.onReturnPressed: activate()
                Keys.onEnterPressed: activate()
                Keys.onUpPressed: step(-1)
                Keys.onDownPressed: step(1)
                // The focused row is shown on the mouse picture as the
                // hovered one is.
                onActiveFocusChanged: activeFocus ? keyMatrix.enterBtn(index) : keyMatrix.leaveBtn(index)
                Accessible.role: Accessible.ListItem
                Accessible.name: keyMatrix.keyLabel(index) + ", " + (model.keyText === undefined ? "" : model.keyText)
                Accessible.onPressAction: activate()

                FocusRing {}

                // Button number badge and name ("Key  1"); rows past the
                // eighth carry no name.
                Rectangle {
                    id: badge
                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    height: 20
                    radius: 10
                    color: "transparent"
                    border.width: 1
                    border.color: row.hovered ? mainIten.colorGray0
                                              : (row.lit ? "#ffffff" : mainIten.colorBlue)

                    Text {
                        anchors.centerIn: parent
                        text: index + 1
                        font.family: mainIten.fontFamily
                        font.pixelSize: mainIten.fontMinSize
                        font.bold: true
                        color: row.hovered ? mainIten.colorGray0 : "#ffffff"
                    }
                }

                Text {
                    x: badge.x + badge.width + 8
                    anchors.verticalCenter: parent.verticalCenter
                    width: 64
                    elide: Text.ElideRight
                    text: index < 8 && keyMatrix.langStrings.length > 0
                          ? keyMatrix.langStrings[0] + " " + (index + 1) : ""
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontNormalSize
                    color: row.hovered ? mainIten.colorGray0 : (row.lit ? "#ffffff" : mainIten.colorGray2)
                }

                Text {
                    objectName: "keyText"
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    width: 110
                    horizontalAlignment: Text.AlignRight
                    elide: Text.ElideRight
                    text: model.keyText === undefined ? "" : model.keyText
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontNormalSize
                    color: row.hovered ? mainIten.colorGray0 : (row.lit ? "#ffffff" : mainIten.fontColor)
                }

                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onEntered: keyMatrix.enterBtn(index)
                    onExited: keyMatrix.leaveBtn(index)
                    onClicked: keyMatrix.clickBtn(index)
                }
            }
        }
    }
}
