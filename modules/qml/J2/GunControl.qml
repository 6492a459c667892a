import QtQuick
import "../basic"

// Gun editor dialog, hidden in this product. Not built yet: this file only
// gives the shell the dialog's size and interface; the gun editor replaces it.
Rectangle {
    id: gunControl

    property var langStrings: []

    function init() {}
    function gunControlFocus() {}

    width: 520
    height: 400
    x: (mainIten.width - width) / 2
    y: (mainIten.height - height) / 2
    visible: false
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1

    DialogTitle {
        textValue: "Gun editor"
        onCloseClicked: gunControl.visible = false
    }

    PendingLabel {
        screenName: "Gun editor"
    }
}
