import QtQuick
import "../js/Slider.js" as Slider
import "../basic"

// A drop-down grid: the items in three columns, each cell as wide as the
// head. A chosen cell is reported through btnClick(); users read
// currentSelect there.
Item {
    id: dropDownGrid

    property bool isDrop: false
    property ListModel mdItems: ListModel {}
    property int currentSelect: 0
    property alias textValue: headText.text
    property color borderColor: mainIten.colorGray1
    property color bgColor: mainIten.colorGray0
    property int horizontalOffset: 0

    signal btnClick()
    signal valueChange(int index) // part of the control's interface; never emitted

    readonly property int rowHeight: 24
    readonly property int columns: 3
    // A last row that is only partly filled still gets its full height.
    readonly property int rows: Math.ceil(mdItems.count / columns)
    readonly property bool animating: openAnimation.running || closeAnimation.running
    property real dropScroll: rowHeight * rows
    // The cell the arrow keys have reached while the grid is open.
    property int keyIndex: -1
    property string accessibleName: ""

    function toggle() {
        if (mainIten.inputBlocked || animating)
            return
        if (dropScroll !== 0) {
            keyIndex = Math.max(0, currentSelect)
            open()
        } else {
            close()
        }
    }

    function choose(index) {
        if (mainIten.inputBlocked)
            return
        if (itemText(index) !== "")
            currentSelect = index
        close()
        btnClick()
    }

    function moveKey(delta) {
        if (!isDrop) {
            toggle()
            return
        }
        var next = keyIndex + delta
        if (next >= 0 && next < mdItems.count)
            keyIndex = next
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: isDrop && keyIndex >= 0 ? choose(keyIndex) : toggle()
    Keys.onReturnPressed: isDrop && keyIndex >= 0 ? choose(keyIndex) : toggle()
    Keys.onEnterPressed: isDrop && keyIndex >= 0 ? choose(keyIndex) : toggle()
    Keys.onLeftPressed: moveKey(-1)
    Keys.onRightPressed: moveKey(1)
    Keys.onUpPressed: moveKey(-columns)
    Keys.onDownPressed: moveKey(columns)
    Keys.onEscapePressed: (event) => {
        if (isDrop)
            close()
        else
            event.accepted = false
    }
    onActiveFocusChanged: if (!activeFocus && isDrop && !animating) close()
    Accessible.role: Accessible.ComboBox
    Accessible.focusable: activeFocusOnTab
    Accessible.name: accessibleName
    Accessible.description: headText.text
    Accessible.onPressAction: toggle()

    function closeMenu() {
        if (dropScroll === 0 && !animating && isDrop) {
            closeAnimation.start()
            isDrop = false
        }
    }

    function open() {
        dropScroll = rowHeight * rows
        isDrop = true
        openAnimation.start()
    }

    function close() {
        openAnimation.stop()
        closeAnimation.start()
        isDrop = false
    }

    function itemText(index) {
        if (index < 0 || index >= mdItems.count)
            return ""
        var t = mdItems.get(index).textValue
        return t === undefined ? "" : String(t)
    }

    width: 120
    height: rowHeight
    z: dropArea.visible ? 1 : 0

    NumberAnimation {
        id: openAnimation
        target: dropDownGrid
        property: "dropScroll"
        to: 0
        duration: Slider.dropDuration(dropDownGrid.mdItems.count)
        easing.type: Easing.OutQuad
    }

    NumberAnimation {
        id: closeAnimation
        target: dropDownGrid
        property: "dropScroll"
        to: dropDownGrid.rowHeight * dropDownGrid.rows
        duration: Slider.dropDuration(dropDownGrid.mdItems.count)
        easing.type: Easing.OutQuad
        onFinished: dropDownGrid.dropScroll = Qt.binding(() => dropDownGrid.rowHeight * dropDownGrid.rows)
    }

    Rectangle {
        id: head
        width: parent.width
        height: dropDownGrid.rowHeight
        color: dropDownGrid.bgColor
        border.color: dropDownGrid.borderColor

        // The choice is centred in the room left of the arrow; a long one
        // is set smaller rather than cut.
        Text {
            id: headText
            anchors.left: parent.left
            anchors.leftMargin: 4 + dropDownGrid.horizontalOffset
            anchors.right: headArrow.left
            anchors.rightMargin: 2
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: mainIten.fontMinSize
            elide: Text.ElideRight
            text: dropDownGrid.mdItems.count >= 0 ? dropDownGrid.itemText(dropDownGrid.currentSelect) : ""
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontNormalSize
            color: mainIten.fontColor
        }

        Image {
            id: headArrow
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            source: mainIten.img("index", dropDownGrid.isDrop ? "dropBtnU" : "dropBtn")
        }

        FocusRing {
            target: dropDownGrid
        }

        MouseArea {
            anchors.fill: parent
            onClicked: {
                if (dropDownGrid.animating)
                    return
                if (dropDownGrid.dropScroll !== 0)
                    dropDownGrid.open()
                else
                    dropDownGrid.close()
            }
        }
    }

    Item {
        id: dropArea
        objectName: "dropArea"
        y: dropDownGrid.rowHeight
        width: dropDownGrid.width * dropDownGrid.columns
        height: dropDownGrid.rowHeight * dropDownGrid.rows
        clip: true
        visible: dropDownGrid.dropScroll < dropDownGrid.rowHeight * dropDownGrid.rows
        Accessible.role: Accessible.List
        Accessible.name: dropDownGrid.accessibleName

        Rectangle {
            y: -dropDownGrid.dropScroll
            width: parent.width
            height: parent.height
            color: dropDownGrid.bgColor
            border.color: dropDownGrid.borderColor

            Grid {
                columns: dropDownGrid.columns

                Repeater {
                    model: dropDownGrid.mdItems

                    Rectangle {
                        objectName: "cell" + index
                        width: dropDownGrid.width
                        height: dropDownGrid.rowHeight
                        readonly property bool lit: index === dropDownGrid.currentSelect || cellArea.containsMouse
                        color: lit ? mainIten.colorOrange : dropDownGrid.bgColor
                        Accessible.role: Accessible.ListItem
                        Accessible.name: model.textValue === undefined ? "" : String(model.textValue)
                        Accessible.ignored: Accessible.name === ""
                        Accessible.selectable: true
                        Accessible.selected: index === dropDownGrid.currentSelect
                        Accessible.onPressAction: dropDownGrid.choose(index)

                        Rectangle {
                            anchors.fill: parent
                            anchors.margins: 1
                            visible: dropDownGrid.isDrop && index === dropDownGrid.keyIndex
                                     && dropDownGrid.activeFocus
                            color: "transparent"
                            border.width: 2
                            border.color: mainIten.colorBlue
                        }

                        Text {
                            anchors.centerIn: parent
                            anchors.horizontalCenterOffset: dropDownGrid.horizontalOffset
                            text: model.textValue === undefined ? "" : model.textValue
                            font.family: mainIten.fontFamily
                            font.pixelSize: mainIten.fontNormalSize
                            color: parent.lit ? mainIten.colorGray0 : mainIten.fontColor
                        }

                        MouseArea {
                            id: cellArea
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: {
                                if (dropDownGrid.itemText(index) !== "")
                                    dropDownGrid.currentSelect = index
                                dropDownGrid.close()
                                dropDownGrid.btnClick()
                            }
                        }
                    }
                }
            }
        }
    }
}
