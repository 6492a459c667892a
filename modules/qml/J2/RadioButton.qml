import QtQuick

// A radio button. A click selects it and then emits btnClick(index); the
// user clears the other buttons of its group.
Item {
    id: radioButton

    property alias textValue: label.text
    property bool isSelect: false
    property int index: -1
    property int gapValue: 16

    signal btnClick(int index)

    width: 8 + label.width + gapValue
    height: Math.max(label.height, dot.height)

    Rectangle {
        id: dot
        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 10
        radius: 4
        color: mainIten.colorGray3

        Rectangle {
            objectName: "innerDot"
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 2
            color: mainIten.colorOrange
            visible: radioButton.isSelect
        }
    }

    Text {
        id: label
        x: 8 + radioButton.gapValue
        anchors.verticalCenter: parent.verticalCenter
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            radioButton.isSelect = true
            radioButton.btnClick(radioButton.index)
        }
    }
}
