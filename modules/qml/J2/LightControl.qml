import QtQuick
import "../basic"

// Lighting screen (right panel). Not built yet: this file only gives the
// shell the screen's size and interface; the lighting screen replaces it.
Rectangle {
    id: lightControl

    property var langStrings: []
    property bool isSave: false

    function init(isSendData, isRecovery) {}
    function saveData(isSendData, isStep) {}
    function lightControlFocus() {}

    width: 232
    height: 264
    color: mainIten.colorBlack

    PendingLabel {
        screenName: "Lighting"
    }
}
