import QtQuick
import "../js/Input.js" as Input
import "../basic"

// A numeric input box. Leaving it with an empty text or a value below 1
// leaves "0" in it.
Item {
    id: rectInput

    property int maxValue: 255
    property int minValue: 0
    property alias textValue: input.text
    property alias txtInput: input
    property string accessibleName: ""

    signal endInputSignal()
    signal inputSignal()

    function closeFocus() {
        if (input.activeFocus) {
            input.deselect()
            input.focus = false
        }
    }

    width: 48
    height: 20

    TextInput {
        id: input
        anchors.fill: parent
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        text: "0"
        maximumLength: 4
        selectByMouse: true
        clip: true
        validator: IntValidator { bottom: rectInput.minValue; top: rectInput.maxValue }
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
        selectionColor: mainIten.colorBlue
        selectedTextColor: "#ffffff"

        // The integer validator lets a too large number stand as an
        // intermediate text; such a keystroke is taken back instead.
        property string acceptedText: "0"
        onTextChanged: {
            if (!Input.refused(text, rectInput.minValue, rectInput.maxValue))
                acceptedText = text
        }
        onTextEdited: {
            if (!Input.refused(text, rectInput.minValue, rectInput.maxValue))
                return
            var cursor = cursorPosition - (text.length - acceptedText.length)
            text = acceptedText
            cursorPosition = Math.max(0, Math.min(cursor, text.length))
        }

        activeFocusOnTab: rectInput.visible && enabled
        readOnly: mainIten.inputBlocked
        Accessible.role: Accessible.EditableText
        Accessible.focusable: activeFocusOnTab
        Accessible.readOnly: !enabled
        Accessible.name: rectInput.accessibleName
        Accessible.description: text

        Keys.onReturnPressed: focus = false
        Keys.onEnterPressed: focus = false

        onActiveFocusChanged: {
            if (activeFocus) {
                rectInput.inputSignal()
                return
            }
            if (text === "" || !(Number(text) >= 1))
                text = "0"
            rectInput.endInputSignal()
        }
    }

    FocusRing {
        target: input
    }
}
