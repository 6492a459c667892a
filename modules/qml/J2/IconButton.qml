import QtQuick
import "../basic"

// A small image button of the skin's `index` group: `icon` at rest, the
// "H" variant of it under the pointer.
Item {
    id: iconButton

    property string icon: "closeBtn"
    property string group: "index"
    property alias hovered: area.containsMouse
    // What the icon does, for assistive tools.
    property string accessibleName: ""

    signal clicked()

    function activate() {
        if (!mainIten.inputBlocked)
            iconButton.clicked()
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: activate()
    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()
    Accessible.role: Accessible.Button
    Accessible.focusable: activeFocusOnTab
    Accessible.name: accessibleName
    Accessible.onPressAction: activate()

    width: 16
    height: 16

    Image {
        anchors.centerIn: parent
        width: iconButton.width
        height: iconButton.height
        sourceSize.width: 2 * iconButton.width
        sourceSize.height: 2 * iconButton.height
        smooth: true
        source: mainIten.img(iconButton.group, iconButton.icon + (area.containsMouse ? "H" : ""))
    }

    MouseArea {
        id: area
        anchors.fill: parent
        anchors.margins: -4
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: iconButton.clicked()
    }

    FocusRing {}
}
