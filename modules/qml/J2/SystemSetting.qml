import QtQuick
import "../basic"

// System settings dialog. Not built yet: this file only gives the shell the
// dialog's size and interface; the system settings replace it.
Rectangle {
    id: systemSetting

    property var langStrings: []

    function init(isSendData, isRecovery) {}
    function systemSettingFocus() {}

    width: 420
    height: 300
    visible: false
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1

    DialogTitle {
        textValue: "System setting"
        onCloseClicked: systemSetting.visible = false
    }

    PendingLabel {
        screenName: "System settings"
    }
}
