import QtQuick

// A root item that records what the back end delivers through the two input
// root functions, so capture tests can read it back in order.
Item {
    width: 320
    height: 200
    property var keyboardEvents: []
    property var mouseEvents: []

    function detectKeyboard(isDown, usbCode) {
        keyboardEvents.push([isDown, usbCode])
    }

    function detectMouse(isDown, code, x, y) {
        mouseEvents.push([isDown, code, x, y])
    }
}
