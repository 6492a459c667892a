import QtQuick
import "../basic"

// The mouse picture with its numbered button markers. Clicking marker i
// selects button i and emits btnClick(); the owner opens the key dialog for
// selectKey. isKeyLocked(i), when given, tells whether button i must keep
// its definition (it holds the only left-button assignment); such a click
// only flashes the selection back to -1.
Item {
    id: mousePicture

    property bool isSide: false
    property int keyCount: 8
    property int selectKey: -1
    property var isKeyLocked: null
    // The word before a marker's number for assistive tools ("Key").
    property string keyLabel: "Key"

    signal btnClick()

    // Anchor picture corners and where each marker sits next to its anchor
    // (aw, ah: the anchor picture's size; markers are 36 x 36).
    readonly property var markerPlaces: [
        { x: 400, y: 72,  mx: (aw) => aw - 24, my: (ah) => ah - 12 },
        { x: 540, y: 165, mx: (aw) => 48 - 36, my: (ah) => -12 },
        { x: 458, y: 160, mx: (aw) => aw - 24, my: (ah) => -36 },
        { x: 514, y: 133, mx: (aw) => -24,     my: (ah) => ah - 12 },
        { x: 391, y: 173, mx: (aw) => -24,     my: (ah) => ah - 12 },
        { x: 394, y: 335, mx: (aw) => -24,     my: (ah) => 0 },
        { x: 580, y: 268, mx: (aw) => aw - 24, my: (ah) => -12 },
        { x: 640, y: 254, mx: (aw) => -24,     my: (ah) => ah - 12 }
    ]

    function clickKey(i) {
        selectKey = i
        if (isKeyLocked && isKeyLocked(i)) {
            selectKey = -1
            return
        }
        btnClick()
    }

    width: 1024
    height: 640

    Image {
        id: front
        objectName: "mouseFront"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 32
        visible: !mousePicture.isSide
        source: mainIten.img("mouse", "MouseFront")
        asynchronous: true
    }

    Image {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 276
        visible: mousePicture.isSide
        source: mousePicture.isSide ? mainIten.img("mouse", "MouseSide") : ""
    }

    Repeater {
        model: 8

        Item {
            id: keyItem
            readonly property var place: mousePicture.markerPlaces[index]
            readonly property bool lit: mousePicture.selectKey === index || markerArea.containsMouse
            visible: index < mousePicture.keyCount && !mousePicture.isSide

            Image {
                id: anchorImage
                x: keyItem.place.x
                y: keyItem.place.y
                source: mainIten.img("mouse", "Mouse0")
            }

            Rectangle {
                id: marker
                objectName: "marker" + index
                x: keyItem.place.x + keyItem.place.mx(anchorImage.width)
                y: keyItem.place.y + keyItem.place.my(anchorImage.height)
                width: 36
                height: 36
                radius: 18
                color: keyItem.lit ? mainIten.colorNew : mainIten.colorGray0
                border.width: 1
                border.color: keyItem.lit ? mainIten.colorNew : mainIten.colorGray1

                function activate() {
                    if (!mainIten.inputBlocked)
                        mousePicture.clickKey(index)
                }

                activeFocusOnTab: keyItem.visible && enabled
                Keys.onSpacePressed: activate()
                Keys.onReturnPressed: activate()
                Keys.onEnterPressed: activate()
                Accessible.role: Accessible.Button
                Accessible.focusable: activeFocusOnTab
                Accessible.name: mousePicture.keyLabel + " " + (index + 1)
                Accessible.onPressAction: activate()

                FocusRing {
                    radius: width / 2
                }

                Text {
                    anchors.centerIn: parent
                    text: index + 1
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontMiddleSize
                    font.bold: true
                    color: keyItem.lit ? "#ffffff" : mainIten.fontColor
                }

                MouseArea {
                    id: markerArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: mousePicture.clickKey(index)
                }
            }
        }
    }
}
