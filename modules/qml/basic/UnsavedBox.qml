import QtQuick

// Asks what becomes of unsaved edits before another profile replaces them
// on screen: Cancel, Discard or Save (Save at the right, where the focus
// starts). Tab and Shift+Tab or the arrows move the focus ring between the
// answers, Enter or Space gives the one it marks, Escape cancels.
Rectangle {
    id: unsavedBox

    property alias question: message.text
    property alias saveText: saveButton.textValue
    property alias discardText: discardButton.textValue
    property alias cancelText: cancelButton.textValue
    // The answer the focus ring marks: 0 cancel, 1 discard, 2 save.
    property int current: 2

    readonly property var answers: ["cancel", "discard", "save"]
    readonly property var buttons: [cancelButton, discardButton, saveButton]

    signal answered(string answer)

    function open() {
        current = 2
        visible = true
        forceActiveFocus()
    }

    width: Math.max(427, message.implicitWidth + 32)
    height: 102
    x: (mainIten.width - width) / 2
    y: (mainIten.height - height) / 2
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1

    Accessible.role: Accessible.Dialog
    Accessible.name: message.text

    Keys.onPressed: (event) => {
        switch (event.key) {
        case Qt.Key_Escape:
            answered("cancel")
            break
        case Qt.Key_Tab:
        case Qt.Key_Right:
            current = (current + 1) % 3
            break
        case Qt.Key_Backtab:
        case Qt.Key_Left:
            current = (current + 2) % 3
            break
        case Qt.Key_Return:
        case Qt.Key_Enter:
        case Qt.Key_Space:
            answered(answers[current])
            break
        default:
            return
        }
        event.accepted = true
    }

    SceneDragArea {
        anchors.fill: parent
    }

    Text {
        id: message
        x: 16
        y: 20
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
        font.bold: true
        color: mainIten.fontColor
    }

    Row {
        id: buttonRow
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 14
        spacing: 12

        TextButton {
            id: cancelButton
            objectName: "unsavedCancel"
            width: 100
            height: 25
            Accessible.role: Accessible.Button
            Accessible.name: textValue
            onClicked: unsavedBox.answered("cancel")
        }

        TextButton {
            id: discardButton
            objectName: "unsavedDiscard"
            width: 100
            height: 25
            Accessible.role: Accessible.Button
            Accessible.name: textValue
            onClicked: unsavedBox.answered("discard")
        }

        TextButton {
            id: saveButton
            objectName: "unsavedSave"
            width: 100
            height: 25
            Accessible.role: Accessible.Button
            Accessible.name: textValue
            onClicked: unsavedBox.answered("save")
        }
    }

    // The focus ring around the answer Enter gives.
    Rectangle {
        objectName: "unsavedFocusRing"
        readonly property Item target: unsavedBox.buttons[unsavedBox.current]
        x: buttonRow.x + target.x - 3
        y: buttonRow.y + target.y - 3
        width: target.width + 6
        height: target.height + 6
        color: "transparent"
        border.color: mainIten.colorBlue
        border.width: 2
        visible: unsavedBox.activeFocus
    }
}
