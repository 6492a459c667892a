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

    width: dot.width + label.width + gapValue
    height: Math.max(label.height, dot.height)

    // A dark ring; selected, the ring and a dot inside it take the accent
    // colour, so that the choice reads at a glance on the dark panels.
    Rectangle {
        id: dot
        objectName: "ring"
        anchors.verticalCenter: parent.verticalCenter
        width: 12
        height: 12
        radius: 6
        color: mainIten.colorBlack
        border.width: radioButton.isSelect ? 2 : 1
        border.color: radioButton.isSelect ? mainIten.colorBlue : mainIten.colorGray2

        Rectangle {
            objectName: "innerDot"
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 3
            color: mainIten.colorBlue
            visible: radioButton.isSelect
        }
    }

    Text {
        id: label
        x: dot.width + radioButton.gapValue
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
