import QtQuick
import "../basic"

// Key list (left panel). Not built yet: this file only gives the shell the
// key list's size and interface; the key list replaces it.
Rectangle {
    id: keyMatrix

    property var langStrings: ["Key ", "Key Function"]
    property bool isSave: false
    property alias modKeys: modKeys
    property alias modKeys_tmp: modKeys_tmp

    signal enterBtn(int index)
    signal leaveBtn(int index)
    signal clickBtn(int index)

    function init(isSendData, isRecovery) {}

    width: 232
    height: 320
    color: mainIten.colorBlack

    ListModel {
        id: modKeys
        function saveData() {}
        function checkOneLeftKey(index) { return false }
    }

    ListModel {
        id: modKeys_tmp
    }

    PendingLabel {
        screenName: "Key list"
    }
}
