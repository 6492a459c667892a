import QtQuick

// "LOADING ......", pulsing while busy.
Text {
    id: busyIndicator
    property bool isBusy: false

    function setBusy(_isBusy) {
        isBusy = _isBusy
    }

    visible: isBusy
    text: qsTr("LOADING ......")
    font.family: mainIten.fontFamily
    font.pixelSize: mainIten.fontNormalSize
    color: mainIten.fontColor
    // Screen readers announce it when it shows.
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text

    SequentialAnimation on opacity {
        running: busyIndicator.isBusy
        loops: Animation.Infinite
        NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
        NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
        onRunningChanged: if (!running) busyIndicator.opacity = 1.0
    }
}
