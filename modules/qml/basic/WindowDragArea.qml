import QtQuick

// Dragging here moves the whole window: every move tells the window
// control how far the pointer is from where it was pressed, horizontally and
// then vertically, so the pointer keeps its place in the scene.
MouseArea {
    property real pressX: 0
    property real pressY: 0

    onPressed: (mouse) => {
        pressX = mouse.x
        pressY = mouse.y
    }
    onPositionChanged: (mouse) => {
        ui_Ctl.onXChanged(Math.round(mouse.x - pressX))
        ui_Ctl.onYChanged(Math.round(mouse.y - pressY))
    }
}
