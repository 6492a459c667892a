import QtQuick
import "../basic"

// One entry of a right-click menu: its text, greyed while it is not active.
Rectangle {
    id: menuItem

    property string textValue: ""
    property bool active: true
    signal triggered()

    width: parent ? parent.width : 0
    height: 24
    color: itemArea.containsMouse && active ? mainIten.colorOrange : "transparent"

    function activate() {
        if (menuItem.active && !mainIten.inputBlocked)
            menuItem.triggered()
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: activate()
    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()
    Accessible.role: Accessible.MenuItem
    Accessible.focusable: activeFocusOnTab
    Accessible.name: textValue
    Accessible.onPressAction: activate()

    FocusRing {
        anchors.margins: 1
    }

    Text {
        x: 10
        anchors.verticalCenter: parent.verticalCenter
        text: menuItem.textValue
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: !menuItem.active ? mainIten.colorGray1
               : (itemArea.containsMouse ? mainIten.colorGray0 : mainIten.fontColor)
    }

    MouseArea {
        id: itemArea
        anchors.fill: parent
        hoverEnabled: true
        onClicked: {
            if (menuItem.active)
                menuItem.triggered()
        }
    }
}
