import QtQuick

// Title-bar icons: information, minimise, close. btnIndex 0 is minimise,
// 1 close and 2 the information box.
Row {
    id: menuUp
    signal btnClicked(int btnIndex)

    // The icons are drawn into a fixed 16 px square whatever the picture size.
    readonly property int iconSize: 16

    spacing: 16

    Repeater {
        // Left to right: ask, minimise, close.
        model: [
            { file: "ask", btnIndex: 2 },
            { file: "minBtn", btnIndex: 0 },
            { file: "closeBtn", btnIndex: 1 }
        ]

        Image {
            objectName: "menuUp_" + modelData.file
            width: menuUp.iconSize
            height: menuUp.iconSize
            sourceSize.width: menuUp.iconSize
            sourceSize.height: menuUp.iconSize
            source: mainIten.img("index", modelData.file + (area.containsMouse ? "H" : ""))

            function activate() {
                if (!mainIten.inputBlocked)
                    menuUp.btnClicked(modelData.btnIndex)
            }

            activeFocusOnTab: menuUp.visible && enabled
            Keys.onSpacePressed: activate()
            Keys.onReturnPressed: activate()
            Keys.onEnterPressed: activate()
            Accessible.role: Accessible.Button
            Accessible.focusable: activeFocusOnTab
            // ask, minimise, close
            Accessible.name: mainIten.accessLang[[2, 0, 1][index]]
            Accessible.onPressAction: activate()

            FocusRing {}

            MouseArea {
                id: area
                anchors.fill: parent
                anchors.margins: -4
                hoverEnabled: true
                onClicked: menuUp.btnClicked(modelData.btnIndex)
            }
        }
    }
}
