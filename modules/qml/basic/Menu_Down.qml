import QtQuick

// A bottom bar of three buttons (profiles, reset, save) reporting the index
// of the clicked one. The scene builds its own bottom bar, which colours the
// save button; this one is kept for screens that need a plain bar.
Row {
    id: menuDown
    property var texts: ["Config", "Reset", "Save"]
    signal btnClicked(int btnIndex)

    spacing: 16

    Repeater {
        model: menuDown.texts
        TextButton {
            textValue: modelData
            onClicked: menuDown.btnClicked(index)
        }
    }
}
