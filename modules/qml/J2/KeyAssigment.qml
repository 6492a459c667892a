import QtQuick
import "../basic"

// Key assignment dialog. Not built yet: this file only gives the shell the
// dialog's size and interface; the key dialog replaces it.
Rectangle {
    id: keyAssigment

    property var langStrings: []
    property bool isFireInput: false
    property bool isComboInput: false
    property int selectIndex: -1

    function init() {}
    function show(index) {
        selectIndex = index
        visible = true
    }
    function detectKeyboard(isDown, usbCode, index) {}

    width: 416
    height: 404
    x: (mainIten.width - width) / 2
    y: (mainIten.height - height) / 2
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1

    DialogTitle {
        textValue: "Key " + (keyAssigment.selectIndex + 1)
        onCloseClicked: keyAssigment.visible = false
    }

    PendingLabel {
        screenName: "Key assignment"
    }
}
