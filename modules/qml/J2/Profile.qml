import QtQuick
import "../basic"

// Profile dialog. Not built yet: this file only gives the shell the
// dialog's size and interface; the profile dialog replaces it.
Rectangle {
    id: profile

    property var langStrings: []
    property int profileNo: 0
    // Profile names for the title bar's drop-down (role textValue).
    property alias profileNames: profileNames

    signal changeProfile(int index)

    function init() {}
    function profileFocus() {}

    width: 360
    height: 320
    visible: false
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1

    ListModel {
        id: profileNames
    }

    DialogTitle {
        textValue: "Config"
        onCloseClicked: profile.visible = false
    }

    PendingLabel {
        screenName: "Profiles"
    }
}
