import QtQuick

// The confirmation of a factory reset, centred and draggable inside the
// scene. OK sits at the right.
Rectangle {
    id: resetBox

    property alias title: title.text
    property alias textValue: message.text
    property alias okText: okButton.textValue
    property alias cancelText: cancelButton.textValue

    signal accepted()
    signal rejected()

    width: 427
    height: 102
    x: (mainIten.width - width) / 2
    y: (mainIten.height - height) / 2
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1
    Accessible.role: Accessible.Dialog
    Accessible.name: title.text
    Accessible.description: message.text
    Keys.onEscapePressed: resetBox.rejected()

    SceneDragArea {
        anchors.fill: parent
    }

    Text {
        id: title
        x: 16
        y: 10
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
        font.bold: true
        color: mainIten.fontColor
    }

    Text {
        id: message
        x: 16
        y: 38
        width: parent.width - 32
        elide: Text.ElideRight
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        spacing: 12

        TextButton {
            id: cancelButton
            objectName: "resetCancel"
            width: 88
            height: 25
            onClicked: resetBox.rejected()
        }

        TextButton {
            id: okButton
            objectName: "resetOk"
            width: 88
            height: 25
            onClicked: resetBox.accepted()
        }
    }
}
