import QtQuick

// Heading of a section of the key assignment dialog: a blue mark, the title
// and a hairline under it.
Item {
    id: sectionHeading

    property alias textValue: title.text

    width: 384
    height: 26

    Rectangle {
        anchors.verticalCenter: title.verticalCenter
        width: 3
        height: 12
        color: mainIten.colorBlue
    }

    Text {
        id: title
        x: 10
        y: 2
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
        font.bold: true
        color: "#ffffff"
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: mainIten.colorGray1
    }
}
