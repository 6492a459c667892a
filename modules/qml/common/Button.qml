import QtQuick

// A large button whose background brightens under the pointer.
Item {
    id: button
    property alias textValue: label.text
    signal btnClick()

    width: 192
    height: 38

    Rectangle {
        anchors.fill: parent
        radius: 2
        color: mainIten.colorBlue
        opacity: area.containsMouse ? 1.0 : 0.7
    }

    Text {
        id: label
        anchors.centerIn: parent
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
        color: "#ffffff"
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.btnClick()
    }
}
