import QtQuick

// The keyboard focus mark: a frame in the accent colour around its parent,
// shown while the parent (or `target`) holds the active focus.
Rectangle {
    property Item target: parent

    anchors.fill: parent
    anchors.margins: -3
    visible: target !== null && target.activeFocus
    color: "transparent"
    radius: 3
    border.width: 2
    border.color: mainIten.colorBlue
    z: 100
}
