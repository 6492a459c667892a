import QtQuick

// A flat button of the scene: blue, grey under the pointer. Tab reaches it;
// Space and Enter press it.
Rectangle {
    id: textButton
    property alias textValue: label.text
    property color normalColor: mainIten.colorBlue
    property alias hovered: area.containsMouse
    signal clicked()

    function activate() {
        if (!mainIten.inputBlocked)
            textButton.clicked()
    }

    width: 100
    height: 24
    color: area.containsMouse ? mainIten.colorOrange : normalColor

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: activate()
    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()
    Accessible.role: Accessible.Button
    Accessible.focusable: activeFocusOnTab
    Accessible.name: label.text
    Accessible.onPressAction: activate()

    Text {
        id: label
        anchors.centerIn: parent
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: area.containsMouse ? mainIten.colorGray0 : mainIten.fontColor
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: textButton.clicked()
    }

    FocusRing {}
}
