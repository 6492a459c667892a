import QtQuick
import "../basic"

// A radio button. A click selects it and then emits btnClick(index); the
// user clears the other buttons of its group.
Item {
    id: radioButton

    property alias textValue: label.text
    property bool isSelect: false
    property int index: -1
    property int gapValue: 16

    readonly property bool isRadio: true

    signal btnClick(int index)

    function choose() {
        if (mainIten.inputBlocked)
            return
        radioButton.isSelect = true
        radioButton.btnClick(radioButton.index)
    }

    // The arrows move to the previous or next button of the same group
    // (the radio buttons sharing its parent) and choose it.
    function step(delta) {
        var group = []
        var kids = parent ? parent.children : []
        for (var i = 0; i < kids.length; ++i) {
            if (kids[i].isRadio === true && kids[i].visible && kids[i].enabled)
                group.push(kids[i])
        }
        var at = group.indexOf(radioButton)
        var next = group[(at + delta + group.length) % group.length]
        if (next && next !== radioButton) {
            next.forceActiveFocus(Qt.TabFocusReason)
            next.choose()
        }
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: choose()
    Keys.onReturnPressed: choose()
    Keys.onEnterPressed: choose()
    Keys.onLeftPressed: step(-1)
    Keys.onUpPressed: step(-1)
    Keys.onRightPressed: step(1)
    Keys.onDownPressed: step(1)
    Accessible.role: Accessible.RadioButton
    Accessible.focusable: activeFocusOnTab
    Accessible.name: label.text
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.onPressAction: choose()
    Accessible.onToggleAction: choose()

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

    FocusRing {}
}
