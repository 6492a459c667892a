import QtQuick
import "../basic"

// A drop-down whose drop area holds one slider. The slider's knob
// positions pass through as valueChange(tmpValue).
Item {
    id: dropDownSlider

    property bool isDrop: false
    property alias textValue: headText.text
    property color borderColor: mainIten.colorGray1
    property color bgColor: mainIten.colorGray0
    property color sliderBgColor: mainIten.colorGray0
    property color sliderbarBg: mainIten.colorGray1
    property alias sliderControl: slider
    property int horizontalOffset: 0

    signal btnClick()
    signal dragSignal(bool isDrag)
    signal valueChange(int index)

    readonly property int rowHeight: 24
    readonly property bool animating: openAnimation.running || closeAnimation.running
    // How far the drop row is scrolled up out of sight: rowHeight closed, 0 open.
    property real dropScroll: rowHeight

    property string accessibleName: ""

    function toggle() {
        if (mainIten.inputBlocked)
            return
        btnClick()
        if (animating)
            return
        if (isDrop) {
            closeMenu()
        } else {
            isDrop = true
            openAnimation.start()
        }
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: toggle()
    Keys.onReturnPressed: toggle()
    Keys.onEnterPressed: toggle()
    // Opened, the arrows move its slider at once.
    Keys.onLeftPressed: if (isDrop) slider.stepBy(-1)
    Keys.onRightPressed: if (isDrop) slider.stepBy(1)
    Keys.onDownPressed: isDrop ? slider.stepBy(-1) : toggle()
    Keys.onUpPressed: if (isDrop) slider.stepBy(1)
    Keys.onEscapePressed: (event) => {
        if (isDrop)
            closeMenu()
        else
            event.accepted = false
    }
    Accessible.role: Accessible.ComboBox
    Accessible.focusable: activeFocusOnTab
    Accessible.name: accessibleName
    Accessible.description: headText.text
    Accessible.onPressAction: toggle()

    function closeMenu() {
        if (slider.activeFocus)
            dropDownSlider.forceActiveFocus()
        openAnimation.stop()
        closeAnimation.start()
        isDrop = false
    }

    function setValue(ration) {
        slider.setRatioValue(ration)
    }

    width: 120
    height: rowHeight
    z: dropArea.visible ? 1 : 0

    NumberAnimation {
        id: openAnimation
        target: dropDownSlider
        property: "dropScroll"
        to: 0
        duration: 180
        easing.type: Easing.OutQuad
    }

    NumberAnimation {
        id: closeAnimation
        target: dropDownSlider
        property: "dropScroll"
        to: dropDownSlider.rowHeight
        duration: 180
        easing.type: Easing.OutQuad
    }

    Rectangle {
        id: head
        width: parent.width
        height: dropDownSlider.rowHeight
        color: dropDownSlider.bgColor
        border.color: dropDownSlider.borderColor

        Text {
            id: headText
            anchors.centerIn: parent
            anchors.horizontalCenterOffset: dropDownSlider.horizontalOffset
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontNormalSize
            color: mainIten.fontColor
        }

        Image {
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            source: mainIten.img("index", dropDownSlider.isDrop ? "dropBtnU" : "dropBtn")
        }

        FocusRing {
            target: dropDownSlider
        }

        MouseArea {
            anchors.fill: parent
            onClicked: {
                dropDownSlider.btnClick()
                if (dropDownSlider.animating)
                    return
                if (dropDownSlider.isDrop) {
                    dropDownSlider.closeMenu()
                } else {
                    dropDownSlider.isDrop = true
                    openAnimation.start()
                }
            }
        }
    }

    Item {
        id: dropArea
        objectName: "dropArea"
        y: dropDownSlider.rowHeight
        width: parent.width
        height: dropDownSlider.rowHeight
        clip: true
        visible: dropDownSlider.dropScroll < dropDownSlider.rowHeight

        Rectangle {
            y: -dropDownSlider.dropScroll
            width: parent.width
            height: parent.height
            color: dropDownSlider.sliderBgColor
            border.color: dropDownSlider.borderColor

            SliderButton {
                id: slider
                objectName: "slider"
                width: parent.width - 16
                anchors.centerIn: parent
                trackColor: dropDownSlider.sliderbarBg
                accessibleName: dropDownSlider.accessibleName
                accessibleValue: dropDownSlider.textValue
                onValueChange: (tmpValue) => dropDownSlider.valueChange(tmpValue)
                onDragSignal: (isDrag) => dropDownSlider.dragSignal(isDrag)
            }
        }
    }
}
