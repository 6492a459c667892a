import QtQuick

// Root of the scene. The back end calls the functions below by name.
Rectangle {
    id: root
    width: 1024
    height: 640
    color: "#1e1f22"
    visible: false

    property int currentDpi: 0
    property int protectInterval: -1
    property int initCount: 0
    property int runCount: 0
    property var keyboardEvents: []
    property var mouseEvents: []

    signal msg_KB(bool isDown, int usbCode)

    function initUI() {
        root.visible = true
        initCount += 1
    }

    property bool deviceConnected: false

    function setDeviceConnected(connected) {
        deviceConnected = connected
    }

    function run() {
        runCount += 1
    }

    function setProtectUI(interval) {
        protectInterval = interval
    }

    function setCurrentDPI(dpiValue) {
        if (dpiValue !== 0)
            currentDpi = dpiValue - 1
    }

    function detectKeyboard(isDown, usbCode) {
        keyboardEvents.push([isDown, usbCode])
        msg_KB(isDown, usbCode)
    }

    function detectMouse(isDown, code, x, y) {
        mouseEvents.push([isDown, code, x, y])
    }

    Text {
        anchors.centerIn: parent
        color: "#a7a9ab"
        font.pixelSize: 22
        text: "ZORVANT KELDA MOUSE X7"
    }
}
