import QtQuick
import "../basic"

// The marker of one colour block on the hue bar: a square with the block
// number above a diamond in the block's colour. 18 x 28; its centre, one
// pixel in, is the position on the bar.
Item {
    id: hueMarker

    property int number: 1
    property color markerColor: "#ff0000"
    property alias pressed: area.pressed

    signal pressedAt(real x)
    signal movedBy(real dx)
    signal released()
    // The arrows move the marker a pixel, Page Up / Page Down ten.
    signal keyMoved(real dx)

    property string accessibleName: ""
    property real value: 0

    function moveBy(dx) {
        if (!mainIten.inputBlocked)
            keyMoved(dx)
    }

    activeFocusOnTab: visible && enabled
    Keys.onLeftPressed: moveBy(-1)
    Keys.onDownPressed: moveBy(-1)
    Keys.onRightPressed: moveBy(1)
    Keys.onUpPressed: moveBy(1)
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_PageUp)
            moveBy(10)
        else if (event.key === Qt.Key_PageDown)
            moveBy(-10)
        else
            return
        event.accepted = true
    }
    Accessible.role: Accessible.Slider
    Accessible.name: accessibleName
    Accessible.description: String(markerColor)
    Accessible.onIncreaseAction: moveBy(1)
    Accessible.onDecreaseAction: moveBy(-1)

    FocusRing {}

    width: 18
    height: 28

    Rectangle {
        id: diamond
        x: 3
        y: 10
        width: 12
        height: 12
        rotation: 45
        antialiasing: true
        color: hueMarker.markerColor
        border.width: 1
        border.color: "#ffffff"
    }

    Rectangle {
        width: 18
        height: 14
        radius: 2
        color: area.pressed || area.containsMouse ? mainIten.colorBlue : mainIten.colorGray0
        border.width: 1
        border.color: "#ffffff"

        Text {
            anchors.centerIn: parent
            text: hueMarker.number
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMinSize
            font.bold: true
            color: "#ffffff"
        }
    }

    MouseArea {
        id: area
        property real pressX: 0
        anchors.fill: parent
        anchors.margins: -2
        hoverEnabled: true
        cursorShape: Qt.SizeHorCursor
        onPressed: (mouse) => {
            pressX = mouse.x
            hueMarker.pressedAt(mouse.x)
        }
        // The marker moves with the pointer; pressX is in its own
        // coordinates, which move with it.
        onPositionChanged: (mouse) => {
            if (pressed)
                hueMarker.movedBy(mouse.x - pressX)
        }
        onReleased: hueMarker.released()
    }
}
