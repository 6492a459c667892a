import QtQuick
import "../js/Slider.js" as Slider
import "../basic"

// A drop-down list. The choice of an item reaches the user through
// valueChange(index) only once the list has closed, about 140 ms after the
// click for four items.
Item {
    id: dropDownList

    property bool isDrop: false
    property int count: mdItems.count
    property ListModel mdItems: ListModel {}
    property int currentSelect: 2
    property alias textValue: headText.text
    property color borderColor: mainIten.colorGray1
    property color bgColor: mainIten.colorGray0
    property int horizontalOffset: 0

    signal dragSignal(bool isDrag)
    signal btnClick()
    signal valueChange(int index)

    readonly property int rowHeight: 24
    readonly property int maxRows: 10
    readonly property int visibleRows: Math.min(count, maxRows)
    readonly property bool animating: openAnimation.running || closeAnimation.running
    // How far the drop area's content is scrolled up out of sight: the whole
    // list (rowHeight * count) while closed, 0 while open.
    property real dropScroll: rowHeight * count
    // Scroll position of a list longer than maxRows.
    property real listScroll: 0
    property int pendingIndex: -1
    // The row the arrow keys have reached while the list is open.
    property int keyIndex: -1
    // Its name for assistive tools; the chosen item is its value.
    property string accessibleName: ""

    function toggle() {
        if (mainIten.inputBlocked)
            return
        btnClick()
        if (animating)
            return
        if (dropScroll !== 0) {
            keyIndex = currentSelect
            open()
        } else {
            close()
        }
    }

    function choose(index) {
        if (mainIten.inputBlocked || index < 0 || index >= count)
            return
        currentSelect = index
        pendingIndex = index
        close()
    }

    function moveKey(delta) {
        if (!isDrop) {
            toggle()
            return
        }
        keyIndex = Slider.clamp(keyIndex + delta, 0, count - 1)
        // Keep the row in sight in a list longer than maxRows.
        var top = keyIndex * rowHeight
        if (top < listScroll)
            listScroll = top
        else if (top + rowHeight > listScroll + rowHeight * maxRows)
            listScroll = top + rowHeight - rowHeight * maxRows
    }

    activeFocusOnTab: visible && enabled
    Keys.onSpacePressed: isDrop && keyIndex >= 0 ? choose(keyIndex) : toggle()
    Keys.onReturnPressed: isDrop && keyIndex >= 0 ? choose(keyIndex) : toggle()
    Keys.onEnterPressed: isDrop && keyIndex >= 0 ? choose(keyIndex) : toggle()
    Keys.onUpPressed: moveKey(-1)
    Keys.onDownPressed: moveKey(1)
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
        dropScroll = rowHeight * count // from here on animated, not bound
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
        target: dropDownList
        property: "dropScroll"
        to: 0
        duration: Slider.dropDuration(dropDownList.count)
        easing.type: Easing.OutQuad
    }

    NumberAnimation {
        id: closeAnimation
        target: dropDownList
        property: "dropScroll"
        to: dropDownList.rowHeight * dropDownList.count
        duration: Slider.dropDuration(dropDownList.count)
        easing.type: Easing.OutQuad
        onFinished: {
            dropDownList.dropScroll = Qt.binding(() => dropDownList.rowHeight * dropDownList.count)
            // Handed to the event loop, not emitted inside the animation's
            // tick: the choice may start seconds of device work, and Qt Quick
            // does not advance animations (the busy indicator among them)
            // from inside a tick.
            if (dropDownList.pendingIndex >= 0) {
                var index = dropDownList.pendingIndex
                dropDownList.pendingIndex = -1
                Qt.callLater(dropDownList.valueChange, index)
            }
        }
    }

    Rectangle {
        id: head
        width: parent.width
        height: dropDownList.rowHeight
        color: dropDownList.bgColor
        border.color: dropDownList.borderColor

        // The choice is centred in the room left of the arrow; a long one
        // is set smaller rather than cut.
        Text {
            id: headText
            anchors.left: parent.left
            anchors.leftMargin: 4 + dropDownList.horizontalOffset
            anchors.right: arrow.left
            anchors.rightMargin: 2
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: mainIten.fontMinSize
            elide: Text.ElideRight
            text: dropDownList.mdItems.count >= 0 ? dropDownList.itemText(dropDownList.currentSelect) : ""
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontNormalSize
            color: mainIten.fontColor
        }

        Image {
            id: arrow
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            source: mainIten.img("index", dropDownList.isDrop ? "dropBtnU" : "dropBtn")
        }

        FocusRing {
            target: dropDownList
        }

        MouseArea {
            anchors.fill: parent
            onClicked: {
                dropDownList.btnClick()
                if (dropDownList.animating)
                    return
                if (dropDownList.dropScroll !== 0)
                    dropDownList.open()
                else
                    dropDownList.close()
            }
        }
    }

    Item {
        id: dropArea
        objectName: "dropArea"
        y: dropDownList.rowHeight
        width: parent.width
        height: dropDownList.rowHeight * dropDownList.visibleRows
        clip: true
        visible: dropDownList.dropScroll < dropDownList.rowHeight * dropDownList.count
        Accessible.role: Accessible.List
        Accessible.name: dropDownList.accessibleName

        Item {
            id: content
            y: -dropDownList.dropScroll
            width: parent.width
            height: parent.height

            Rectangle {
                anchors.fill: parent
                color: dropDownList.bgColor
                border.color: dropDownList.borderColor
            }

            Column {
                id: rows
                y: -dropDownList.listScroll
                width: parent.width

                Repeater {
                    model: dropDownList.mdItems

                    Rectangle {
                        objectName: "item" + index
                        width: rows.width
                        height: dropDownList.rowHeight
                        readonly property bool lit: index === dropDownList.currentSelect || itemArea.containsMouse
                                                    || (dropDownList.isDrop && index === dropDownList.keyIndex)
                        color: lit ? mainIten.colorOrange : dropDownList.bgColor
                        Accessible.role: Accessible.ListItem
                        Accessible.name: model.textValue === undefined ? "" : String(model.textValue)
                        Accessible.selectable: true
                        Accessible.selected: index === dropDownList.currentSelect
                        Accessible.onPressAction: dropDownList.choose(index)

                        Rectangle {
                            anchors.fill: parent
                            anchors.margins: 1
                            visible: dropDownList.isDrop && index === dropDownList.keyIndex
                                     && dropDownList.activeFocus
                            color: "transparent"
                            border.width: 2
                            border.color: mainIten.colorBlue
                        }

                        // Clear of the scroll bar when there is one; a long
                        // name is set smaller rather than cut.
                        Text {
                            anchors.left: parent.left
                            anchors.leftMargin: 4 + dropDownList.horizontalOffset
                            anchors.right: parent.right
                            anchors.rightMargin: scrollBar.visible ? 15 : 4
                            anchors.verticalCenter: parent.verticalCenter
                            horizontalAlignment: Text.AlignHCenter
                            fontSizeMode: Text.HorizontalFit
                            minimumPixelSize: mainIten.fontMinSize
                            elide: Text.ElideRight
                            text: model.textValue === undefined ? "" : model.textValue
                            font.family: mainIten.fontFamily
                            font.pixelSize: mainIten.fontNormalSize
                            color: parent.lit ? mainIten.colorGray0 : mainIten.fontColor
                        }

                        // The rightmost 15 px belong to the scroll bar.
                        MouseArea {
                            id: itemArea
                            width: parent.width - 15
                            height: parent.height
                            hoverEnabled: true
                            onClicked: {
                                dropDownList.currentSelect = index
                                dropDownList.pendingIndex = index
                                dropDownList.close()
                            }
                        }
                    }
                }
            }

            Rectangle {
                id: scrollBar
                objectName: "scrollBar"
                readonly property real track: dropDownList.rowHeight * dropDownList.maxRows
                readonly property real listHeight: dropDownList.rowHeight * dropDownList.count
                visible: dropDownList.count > dropDownList.maxRows
                anchors.right: parent.right
                width: 12
                height: visible ? track * dropDownList.maxRows / dropDownList.count : 0
                y: visible ? dropDownList.listScroll * track / listHeight : 0
                radius: 2
                color: "#ffffff"
                border.color: mainIten.colorGray3

                MouseArea {
                    property real pressY: 0
                    anchors.fill: parent
                    onPressed: (mouse) => {
                        pressY = mouse.y
                        dropDownList.dragSignal(true)
                    }
                    onPositionChanged: (mouse) => {
                        // The bar moves with the pointer and stays inside its track.
                        var barY = Slider.clamp(scrollBar.y + mouse.y - pressY, 0,
                                                scrollBar.track - scrollBar.height)
                        dropDownList.listScroll = barY * scrollBar.listHeight / scrollBar.track
                    }
                    onReleased: dropDownList.dragSignal(false)
                    onCanceled: dropDownList.dragSignal(false)
                }
            }
        }
    }
}
