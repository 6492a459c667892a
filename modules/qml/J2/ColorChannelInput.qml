import QtQuick

// One channel box of the lighting screen: a letter and a 0..255 number box.
Row {
    id: colorChannel

    property alias label: letter.text
    property alias labelColor: letter.color
    property alias input: box
    property alias textValue: box.textValue

    signal edited()

    spacing: 4

    Text {
        id: letter
        width: 10
        anchors.verticalCenter: parent.verticalCenter
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        font.bold: true
    }

    Rectangle {
        width: 50
        height: 22
        color: mainIten.colorGray0
        border.color: box.txtInput.activeFocus ? mainIten.colorBlue : mainIten.colorGray1

        RectInput {
            id: box
            anchors.centerIn: parent
            minValue: 0
            maxValue: 255
            textValue: "255"
            onEndInputSignal: colorChannel.edited()
        }
    }
}
