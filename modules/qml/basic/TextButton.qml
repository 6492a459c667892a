import QtQuick

// A flat button of the scene: blue, grey under the pointer.
Rectangle {
    id: textButton
    property alias textValue: label.text
    property color normalColor: mainIten.colorBlue
    property alias hovered: area.containsMouse
    signal clicked()

    width: 100
    height: 24
    color: area.containsMouse ? mainIten.colorOrange : normalColor

    Text {
        id: label
        anchors.centerIn: parent
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: area.containsMouse ? mainIten.colorGray0 : mainIten.fontColor
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: textButton.clicked()
    }
}
