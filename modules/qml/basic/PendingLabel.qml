import QtQuick

// The label of a screen whose real content is not in this build yet.
Text {
    property string screenName: ""

    anchors.centerIn: parent
    width: parent.width - 24
    horizontalAlignment: Text.AlignHCenter
    wrapMode: Text.WordWrap
    text: screenName + " — not built yet"
    font.family: mainIten.fontFamily
    font.pixelSize: mainIten.fontNormalSize
    font.italic: true
    color: mainIten.colorGray2
}
