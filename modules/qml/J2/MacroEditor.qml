import QtQuick
import "../basic"

// Macro editor dialog. Not built yet: this file only gives the shell the
// dialog's size and interface; the macro editor replaces it.
Rectangle {
    id: macroEditor

    property var langStrings: []
    property bool isRecording: false
    property bool isInserting: false
    property string currentMacroName: ""

    // Bookkeeping the shell does on the key list.
    signal macroDeleted(string name)
    signal macroRenamed(string oldName, string newName)
    signal macroEdited(string name)

    function init() {}
    function macroEditorFocus() {}
    function sendMacro(index, macroName) {}
    function detectKeyboard(isDown, usbCode) {}
    function detectInput(isDown, usbCode) {}

    width: 600
    height: 440
    visible: false
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1

    DialogTitle {
        textValue: "Macro Editor"
        onCloseClicked: macroEditor.visible = false
    }

    PendingLabel {
        screenName: "Macro editor"
    }
}
