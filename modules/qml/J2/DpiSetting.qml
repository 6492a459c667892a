import QtQuick
import "../basic"

// DPI screen (right panel). Not built yet: this file only gives the shell
// the screen's size and interface; the DPI screen replaces it.
Rectangle {
    id: dpiSetting

    property var langStrings: ["DPI"]
    property bool isSave: false
    property int currentDpi: 0        // active stage, 0-based
    property int currentDpiCount: 0   // number of stages in use

    function init(isSendData, isRecovery) {}
    function saveData(isSendData) {}
    function closeMenu() {}

    width: 232
    height: 264
    color: mainIten.colorBlack

    PendingLabel {
        screenName: "DPI settings"
    }
}
