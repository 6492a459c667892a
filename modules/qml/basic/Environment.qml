import QtQuick

// The window's backdrop: background picture and the title logo, which opens
// the maker's web site.
Item {
    id: environment
    property string url: ""

    width: 1024
    height: 640

    // Shown only while the background picture is not available, so the
    // panels never float on a transparent window.
    Rectangle {
        anchors.fill: parent
        visible: background.status !== Image.Ready
        radius: 8
        color: "#202124"
        border.color: mainIten.colorGray1
    }

    Image {
        id: background
        anchors.fill: parent
        source: "qrc:/modules/img/background.png"
        asynchronous: true
    }

    Image {
        id: titleLogo
        objectName: "titleLogo"
        x: 54
        y: 6
        source: "qrc:/modules/img/titleLogo.png"

        function activate() {
            if (environment.url !== "" && !mainIten.inputBlocked)
                Qt.openUrlExternally(environment.url)
        }

        activeFocusOnTab: environment.url !== "" && enabled
        Keys.onSpacePressed: activate()
        Keys.onReturnPressed: activate()
        Keys.onEnterPressed: activate()
        Accessible.role: Accessible.Link
        Accessible.name: mainIten.accessLang[14]
        Accessible.ignored: environment.url === ""
        Accessible.onPressAction: activate()

        FocusRing {}

        MouseArea {
            anchors.fill: parent
            cursorShape: environment.url !== "" ? Qt.PointingHandCursor : Qt.ArrowCursor
            onClicked: {
                if (environment.url !== "")
                    Qt.openUrlExternally(environment.url)
            }
        }
    }
}
