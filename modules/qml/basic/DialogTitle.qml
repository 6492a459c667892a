import QtQuick

// The title strip of a dialog: black, its title at the left and a close
// icon at the right.
Rectangle {
    id: dialogTitle
    property alias textValue: title.text
    signal closeClicked()

    width: parent.width
    height: 30
    color: mainIten.colorBlack

    Text {
        id: title
        Accessible.role: Accessible.Heading
        x: 12
        anchors.verticalCenter: parent.verticalCenter
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
        color: mainIten.fontColor
    }

    Image {
        objectName: "closeIcon"
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        width: 16
        height: 16
        sourceSize.width: 16
        sourceSize.height: 16
        source: mainIten.img("index", closeArea.containsMouse ? "closeBtnH" : "closeBtn")

        function activate() {
            if (!mainIten.inputBlocked)
                dialogTitle.closeClicked()
        }

        activeFocusOnTab: enabled
        Keys.onSpacePressed: activate()
        Keys.onReturnPressed: activate()
        Keys.onEnterPressed: activate()
        Accessible.role: Accessible.Button
        Accessible.focusable: activeFocusOnTab
        Accessible.name: mainIten.accessLang[1]
        Accessible.onPressAction: activate()

        FocusRing {}

        MouseArea {
            id: closeArea
            anchors.fill: parent
            anchors.margins: -4
            hoverEnabled: true
            onClicked: dialogTitle.closeClicked()
        }
    }
}
