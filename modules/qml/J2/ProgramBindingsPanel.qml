import QtQuick
import "../basic"

// The programs a profile follows: the bound ones (each with a remove
// cross), the programs focused lately (a click binds one), and whether this
// profile is the default for programs without a binding.
Item {
    id: panel

    property QtObject programs: null
    // The profile slot shown; -1 for none.
    property int slot: -1
    property var langStrings: []

    readonly property var bound: programs && slot >= 0 ? (programs.revision, programs.programsOf(slot)) : []
    readonly property var recent: programs ? programs.recentPrograms : []

    function boundSlotOf(name) {
        if (!programs)
            return -1
        for (var s = 0; s < 6; ++s) {
            var list = programs.programsOf(s)
            for (var i = 0; i < list.length; ++i) {
                if (String(list[i]).toLowerCase() === String(name).toLowerCase())
                    return s
            }
        }
        return -1
    }

    component Label: Text {
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
        elide: Text.ElideRight
    }

    component ListFrame: Rectangle {
        property alias model: repeater.model
        property alias delegate: repeater.delegate
        property string emptyText: ""
        property string accessibleName: ""
        Accessible.role: Accessible.List
        Accessible.name: accessibleName
        color: mainIten.colorBlack
        border.color: mainIten.colorGray1
        clip: true

        Flickable {
            anchors.fill: parent
            anchors.margins: 4
            contentHeight: column.height
            boundsBehavior: Flickable.StopAtBounds
            Column {
                id: column
                width: parent.width
                Repeater {
                    id: repeater
                }
            }
        }

        Text {
            anchors.fill: parent
            anchors.margins: 8
            visible: repeater.count === 0
            text: parent.emptyText
            wrapMode: Text.WordWrap
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontMinSize
            color: mainIten.colorGray2
        }
    }

    Label {
        text: panel.langStrings[6]
        width: parent.width
    }

    ListFrame {
        id: boundFrame
        objectName: "boundPrograms"
        accessibleName: mainIten.accessLang[19]
        y: 20
        width: parent.width
        height: 92
        model: panel.bound
        emptyText: panel.langStrings[9]
        delegate: Rectangle {
            objectName: "boundProgram" + index
            width: parent ? parent.width : 0
            height: 22
            color: removeArea.containsMouse ? "#262626" : "transparent"
            // Space, Enter or Delete removes the binding.
            function activate() {
                if (!mainIten.inputBlocked)
                    panel.programs.unbind(modelData)
            }
            activeFocusOnTab: enabled
            Keys.onSpacePressed: activate()
            Keys.onReturnPressed: activate()
            Keys.onEnterPressed: activate()
            Keys.onDeletePressed: activate()
            Accessible.role: Accessible.ListItem
            Accessible.name: modelData
            Accessible.description: mainIten.accessLang[21]
            Accessible.onPressAction: activate()
            FocusRing { anchors.margins: 1 }
            Label {
                x: 6
                width: parent.width - 30
                anchors.verticalCenter: parent.verticalCenter
                text: modelData
            }
            Text {
                anchors.right: parent.right
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                text: "\u2715"
                font.pixelSize: mainIten.fontNormalSize
                color: removeArea.containsMouse ? "#ff3030" : mainIten.colorGray2
            }
            MouseArea {
                id: removeArea
                objectName: "unbind"
                anchors.right: parent.right
                width: 28
                height: parent.height
                hoverEnabled: true
                onClicked: panel.programs.unbind(modelData)
            }
        }
    }

    Label {
        y: 120
        width: parent.width
        text: panel.langStrings[7]
    }

    ListFrame {
        objectName: "recentPrograms"
        accessibleName: mainIten.accessLang[20]
        y: 140
        width: parent.width
        height: 92
        model: panel.recent
        emptyText: panel.programs && !panel.programs.available ? panel.programs.unavailableReason
                                                                 : panel.langStrings[10]
        delegate: Rectangle {
            id: recentRow
            objectName: "recentProgram" + index
            readonly property int boundTo: (panel.bound, panel.boundSlotOf(modelData.name))
            width: parent ? parent.width : 0
            height: 22
            color: recentArea.containsMouse ? "#262626" : "transparent"
            // Space or Enter binds the program to the selected profile.
            function activate() {
                if (!mainIten.inputBlocked && panel.slot >= 0)
                    panel.programs.bind(modelData.name, panel.slot)
            }
            activeFocusOnTab: enabled
            Keys.onSpacePressed: activate()
            Keys.onReturnPressed: activate()
            Keys.onEnterPressed: activate()
            Accessible.role: Accessible.ListItem
            Accessible.name: modelData.name
            Accessible.description: recentRow.boundTo >= 0 ? "P" + (recentRow.boundTo + 1) : ""
            Accessible.onPressAction: activate()
            FocusRing { anchors.margins: 1 }
            Label {
                x: 6
                width: parent.width - 60
                anchors.verticalCenter: parent.verticalCenter
                text: modelData.name
                color: recentRow.boundTo === panel.slot ? mainIten.colorBlue : mainIten.fontColor
            }
            // Where the program is bound already, and whether the name is a
            // window class rather than an executable.
            Text {
                anchors.right: parent.right
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                text: (modelData.kind === "class" ? "class " : "")
                      + (recentRow.boundTo >= 0 ? "P" + (recentRow.boundTo + 1) : "+")
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMinSize
                color: mainIten.colorGray2
            }
            MouseArea {
                id: recentArea
                anchors.fill: parent
                hoverEnabled: true
                enabled: panel.slot >= 0
                onClicked: panel.programs.bind(modelData.name, panel.slot)
            }
        }
    }

    CheckBox {
        id: defaultBox
        objectName: "defaultProfileBox"
        y: 242
        textValue: panel.langStrings[8]
        enabled: panel.programs !== null && panel.slot >= 0
        opacity: enabled ? 1.0 : 0.4
        // The box flips itself on a click, which ends a binding; it is
        // bound again to what the back end then holds.
        function follow() {
            isSelect = Qt.binding(() => panel.programs !== null && panel.slot >= 0
                                        && panel.programs.defaultProfile === panel.slot)
        }
        Component.onCompleted: follow()
        onBtnClick: {
            panel.programs.defaultProfile = isSelect ? -1 : panel.slot
            Qt.callLater(follow)
        }
    }
}
