import QtQuick
import "../basic"

// A labelled check box, the box to the right of the text. A click emits
// btnClick(index) first and flips isSelect afterwards, so a handler reads
// the value from before the click.
Item {
    id: checkBox

    property alias textValue: label.text
    property alias tmptext: label
    property bool isSelect: false
    property int index: -1
    property int gapValue: 8
    property color bgColor: "transparent"
    property color borderColor: mainIten.colorGray2

    // Its name for assistive tools when the label says too little.
    property string accessibleName: label.text

    signal btnClick(int index)

    function toggle() {
        if (mainIten.inputBlocked)
            return
        checkBox.btnClick(checkBox.index)
        checkBox.isSelect = !checkBox.isSelect
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: toggle()
    Keys.onReturnPressed: toggle()
    Keys.onEnterPressed: toggle()
    Accessible.role: Accessible.CheckBox
    Accessible.focusable: activeFocusOnTab
    Accessible.name: accessibleName
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.onPressAction: toggle()
    Accessible.onToggleAction: toggle()

    width: box.width + label.width + gapValue
    height: label.height

    Text {
        id: label
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
    }

    Rectangle {
        id: box
        x: label.width + checkBox.gapValue
        y: (checkBox.height - height) / 2 - 1
        width: 12
        height: 12
        radius: 2
        color: checkBox.bgColor
        border.width: 1
        border.color: checkBox.borderColor
    }

    Image {
        objectName: "checkMark"
        x: box.x + 3
        y: box.y - 3
        visible: checkBox.isSelect
        source: mainIten.img("index", "checkBtn")
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            checkBox.btnClick(checkBox.index)
            checkBox.isSelect = !checkBox.isSelect
        }
    }

    FocusRing {}
}
