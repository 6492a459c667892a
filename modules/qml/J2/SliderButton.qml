import QtQuick
import "../js/Slider.js" as Slider
import "../basic"

// A horizontal slider. Every value it reports is the knob's x in pixels,
// from minPos (knob width / 4) to maxPos (track width - knob width - knob
// width / 4); the screens convert those pixels into their values.
Item {
    id: sliderButton

    property int segment: 10
    property int segmentValue: 0
    property bool isScale: false
    property color colorS: mainIten.colorOrange
    property color trackColor: mainIten.colorGray1
    property alias knob: knob

    readonly property real knobWidth: Slider.knobWidth
    readonly property real minPos: Slider.minPos(knobWidth)
    readonly property real maxPos: Slider.maxPos(width, knobWidth)
    readonly property real per: (maxPos - minPos) / segment
    readonly property bool moving: moveAnimation.running || knobArea.pressed

    // What assistive tools read: the knob position unless the screen
    // gives its own value, range and step.
    property real value: knob.x
    property real minimumValue: minPos
    property real maximumValue: maxPos
    property real stepSize: isScale ? per : 1
    property string accessibleName: ""
    property string accessibleValue: String(Math.round(value))
    // The keys move the knob one step (a mark of a scaled slider, else one
    // pixel), Page Up and Page Down `pageSteps` steps. A screen whose values
    // are not pixels sets keyStepper(steps) and moves the knob itself.
    property int pageSteps: isScale ? 1 : 10
    property var keyStepper: null

    signal valueChange(int tmpValue)
    signal btnClick()
    signal dragSignal(bool isDrag)
    signal valueChangeDelay(int tmpValue)

    function setRatioValue(ration) {
        moveAnimation.stop()
        knob.x = Slider.ratioPos(ration, minPos, maxPos)
        valueChange(knob.x)
    }

    function setIndexValue(Index, isSendSignal) {
        moveAnimation.stop()
        knob.x = Slider.indexPos(Index, minPos, per)
        segmentValue = Index
        if (isSendSignal)
            valueChange(knob.x)
    }

    function setValue(tmpvalue) {
        moveAnimation.stop()
        knob.x = tmpvalue
    }

    function stepBy(steps) {
        if (mainIten.inputBlocked)
            return
        btnClick()
        if (keyStepper) {
            keyStepper(steps)
            return
        }
        moveAnimation.stop()
        if (isScale) {
            segmentValue = Slider.clamp(segmentValue + steps, 0, segment)
            knob.x = Slider.indexPos(segmentValue, minPos, per)
        } else {
            knob.x = Slider.clamp(Math.round(knob.x) + steps, minPos, maxPos)
        }
        emitValue(knob.x)
    }

    activeFocusOnTab: visible && enabled
    Keys.onLeftPressed: stepBy(-1)
    Keys.onDownPressed: stepBy(-1)
    Keys.onRightPressed: stepBy(1)
    Keys.onUpPressed: stepBy(1)
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_PageUp)
            stepBy(pageSteps)
        else if (event.key === Qt.Key_PageDown)
            stepBy(-pageSteps)
        else if (event.key === Qt.Key_Home)
            stepBy(-100000)
        else if (event.key === Qt.Key_End)
            stepBy(100000)
        else
            return
        event.accepted = true
    }
    Accessible.role: Accessible.Slider
    Accessible.name: accessibleName
    Accessible.description: accessibleValue
    Accessible.onIncreaseAction: stepBy(1)
    Accessible.onDecreaseAction: stepBy(-1)

    width: 100
    height: 6

    Rectangle {
        id: track
        anchors.fill: parent
        radius: 3
        color: sliderButton.trackColor
    }

    Rectangle {
        id: filled
        objectName: "filled"
        height: parent.height
        width: Math.max(0, knob.x + sliderButton.knobWidth / 2)
        radius: 3
        color: sliderButton.colorS
    }

    // The track takes clicks up to 3 px beyond its edges.
    MouseArea {
        id: trackArea
        x: -3
        y: -3
        width: parent.width + 6
        height: parent.height + 6
        onClicked: (mouse) => {
            sliderButton.btnClick()
            var target = Slider.clamp(mouse.x - 3 - sliderButton.knobWidth / 2,
                                      sliderButton.minPos, sliderButton.maxPos)
            if (sliderButton.isScale) {
                var i = Slider.snapIndexClick(target, sliderButton.minPos, sliderButton.per,
                                              sliderButton.segment)
                target = Slider.indexPos(i, sliderButton.minPos, sliderButton.per)
                sliderButton.segmentValue = i
            }
            moveAnimation.stop()
            moveAnimation.to = target
            moveAnimation.start()
        }
    }

    function emitValue(x) {
        valueChange(x)
        valueChangeDelay(x)
    }

    NumberAnimation {
        id: moveAnimation
        target: knob
        property: "x"
        duration: 120
        easing.type: Easing.OutQuad
        // From the event loop, not inside the animation's tick: the new
        // value may start device work, during which animations must go on.
        onFinished: Qt.callLater(sliderButton.emitValue, knob.x)
    }

    Image {
        id: knob
        objectName: "knob"
        x: sliderButton.minPos
        y: -sliderButton.knobWidth / 4
        width: sliderButton.knobWidth
        height: sliderButton.knobWidth
        sourceSize.width: 2 * sliderButton.knobWidth
        sourceSize.height: 2 * sliderButton.knobWidth
        smooth: true
        source: mainIten.img("index", "slide")

        FocusRing {
            target: sliderButton
            radius: width / 2
        }

        MouseArea {
            id: knobArea
            property real pressX: 0
            anchors.fill: parent
            anchors.margins: -2
            onPressed: (mouse) => {
                moveAnimation.stop()
                pressX = mouse.x
                sliderButton.btnClick()
                sliderButton.dragSignal(true)
            }
            onPositionChanged: (mouse) => {
                // The knob follows the pointer; pressX is in the knob's own
                // coordinates, which move with it.
                knob.x = Slider.clamp(knob.x + mouse.x - pressX, sliderButton.minPos, sliderButton.maxPos)
                if (!sliderButton.isScale)
                    sliderButton.valueChange(knob.x)
            }
            onReleased: finishDrag()
            onCanceled: finishDrag()

            function finishDrag() {
                if (sliderButton.isScale) {
                    var i = Slider.snapIndexRelease(knob.x, sliderButton.minPos, sliderButton.per,
                                                    sliderButton.segment)
                    knob.x = Slider.indexPos(i, sliderButton.minPos, sliderButton.per)
                    sliderButton.segmentValue = i
                }
                sliderButton.valueChangeDelay(knob.x)
                sliderButton.dragSignal(false)
            }
        }
    }
}
