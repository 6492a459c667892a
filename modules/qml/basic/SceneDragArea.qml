import QtQuick
import "../js/Shell.js" as Shell

// Dragging here moves `target` inside the scene, never past its edges.
MouseArea {
    property Item target: parent
    property real pressX: 0
    property real pressY: 0

    onPressed: (mouse) => {
        pressX = mouse.x
        pressY = mouse.y
    }
    onPositionChanged: (mouse) => {
        // The area moves with its target, so the pointer's offset from the
        // press position is the movement since the last event.
        target.x = Shell.clampPos(target.x + mouse.x - pressX, target.width, mainIten.width)
        target.y = Shell.clampPos(target.y + mouse.y - pressY, target.height, mainIten.height)
    }
}
