import QtQuick

// A title strip with a "—" mark at its right; a click asks the owner to
// open or close the section below it.
Item {
    id: frame

    property alias textValue: title.text

    signal openCloseMenu()
    signal clickFrame()

    width: 242
    height: 18

    Rectangle {
        anchors.fill: parent
        color: mainIten.colorGray0
        border.color: mainIten.colorGray1
    }

    Text {
        id: title
        x: 8
        anchors.verticalCenter: parent.verticalCenter
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
    }

    Text {
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        text: "—"
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
    }

    MouseArea {
        anchors.fill: parent
        onClicked: {
            frame.openCloseMenu()
            frame.clickFrame()
        }
    }
}
