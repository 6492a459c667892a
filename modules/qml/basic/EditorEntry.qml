import QtQuick

// An entry of the editor box that opens an editor.
Rectangle {
    id: editorEntry
    property alias textValue: label.text
    signal clicked()

    x: 6
    width: parent.width - 12
    height: 28
    radius: 2
    color: area.containsMouse ? mainIten.colorOrange : "transparent"

    function activate() {
        if (!mainIten.inputBlocked)
            editorEntry.clicked()
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: activate()
    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()
    Accessible.role: Accessible.Button
    Accessible.focusable: activeFocusOnTab
    Accessible.name: label.text
    Accessible.onPressAction: activate()

    Rectangle {
        x: 6
        anchors.verticalCenter: parent.verticalCenter
        width: 3
        height: 14
        color: mainIten.colorBlue
    }

    Text {
        id: label
        x: 16
        anchors.verticalCenter: parent.verticalCenter
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: area.containsMouse ? mainIten.colorGray0 : mainIten.fontColor
    }

    Text {
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        text: "›"
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMaxSize
        color: area.containsMouse ? mainIten.colorGray0 : mainIten.colorBlue
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: editorEntry.clicked()
    }

    FocusRing {}
}
