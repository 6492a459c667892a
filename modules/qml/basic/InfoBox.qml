import QtQuick

// The information box: versions and product data. It is dragged by its body
// and stays inside the scene.
Rectangle {
    id: infoBox

    width: 400
    height: 240
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1
    Accessible.role: Accessible.Dialog
    Accessible.name: mainIten.accessLang[2]
    Keys.onEscapePressed: infoBox.visible = false

    SceneDragArea {
        anchors.fill: parent
    }

    DialogTitle {
        textValue: qsTr("Infomation")
        onCloseClicked: infoBox.visible = false
    }

    // The maker's logo gets a fixed place whatever the picture's size.
    Image {
        objectName: "company"
        x: 24
        y: 40
        width: 200
        height: 56
        fillMode: Image.PreserveAspectFit
        horizontalAlignment: Image.AlignLeft
        source: mainIten.img("index", "company")
    }

    Column {
        x: 24
        y: 104
        spacing: 3

        Repeater {
            model: [
                "Driver Version：1.0.1()",
                "Product Name：ZORVANT KELDA MOUSE X7",
                "Hardware Code: 1.3.1(3325-27/572)",
                ""
            ]
            Text {
                text: modelData
                height: Math.max(implicitHeight, 14)
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontNormalSize
                color: "#c0c0c0"
            }
        }

        Text {
            text: "ZORVANT Gaming · Built for the win"
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMinSize
            color: "#c0c0c0"
        }

        Text {
            text: "© ZORVANT Technology. All rights reserved."
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMinSize
            color: "#c0c0c0"
        }
    }
}
