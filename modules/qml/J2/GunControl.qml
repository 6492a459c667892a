import QtQuick
import "../basic"
import "../js/Gun.js" as Gun
import "../js/MacroCodec.js" as Macro
import "../js/NameList.js" as NameList

// Gun editor dialog (not offered in this product's scene): six weapon
// entries with their recoil values, and the entries bound to the mouse's
// three weapon slots.
Rectangle {
    id: gunControl

    property var langStrings: ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis", "Y axis",
        "Fire adjust", "Rate", "Times", "Endness", "Save", "Save All"]
    property var entries: []
    property var selectGun: [0, 1, 2]
    property int selected: 0
    readonly property var current: selected < entries.length ? entries[selected] : Gun.entry([], 0)

    // ---- data ----

    function init() {
        var names = NameList.dropFiller(ui_View.getNameList(1))
        var list = []
        for (var i = 0; i < Gun.entryCount; ++i) {
            var e = Gun.entry(ui_View.getGunData(i), i)
            // A rename is stored under the entry's name and in the name
            // list, not in the entry read by position.
            if (i < names.length && names[i] !== "")
                e.name = names[i]
            list.push(e)
        }
        entries = list
        selectGun = Gun.selectedGuns(ui_View.getGlobalData("mouse/selectGun"))
        fillNames()
        for (var s = 0; s < slotLists.count; ++s)
            slotLists.itemAt(s).list.currentSelect = selectGun[s]
        select(0)
    }

    function fillNames() {
        NameList.syncModel(gunNames, entries.map((e) => ({ textValue: e.name })))
    }

    function select(index) {
        gunControlFocus()
        selected = index
        showCurrent()
    }

    function showCurrent() {
        var e = current
        xSlider.sliderControl.setValue(Gun.axisPos(e.x))
        xSlider.textValue = String(e.x)
        ySlider.sliderControl.setValue(Gun.axisPos(e.y))
        ySlider.textValue = String(e.y)
        rateSlider.sliderControl.setValue(Gun.periodPos(e.period))
        rateSlider.textValue = e.period + "MS"
        timesInput.textValue = String(e.count)
        endlessCheck.isSelect = e.count === 0
    }

    function setField(field, value) {
        var list = entries.slice()
        var e = Object.assign({}, list[selected])
        e[field] = value
        list[selected] = e
        entries = list
    }

    // Stores an entry and sends its Y offset to the mouse.
    function saveEntry(index) {
        ui_View.mouseSaveGundata(index, Gun.saveList(entries[index]))
    }

    // Every entry the editor lists, in position order.
    function saveAll() {
        gunControlFocus()
        for (var i = 0; i < entries.length; ++i)
            saveEntry(i)
    }

    function chooseGun(slot, index) {
        var list = selectGun.slice()
        list[slot] = index
        selectGun = list
        ui_View.setGlobalData("mouse/selectGun", list)
        ui_View.mouseSendGundata(slot + 1, Gun.sendList(entries[index]))
    }

    function renameEntry(index, newName) {
        var name = String(newName).trim()
        var names = []
        for (var i = 0; i < entries.length; ++i)
            names.push(entries[i].name)
        if (!Macro.validName(names, name, index))
            return false
        var oldName = entries[index].name
        var list = entries.slice()
        list[index] = Object.assign({}, list[index], { name: name })
        entries = list
        ui_View.modifyGundata(1, Gun.renameList(list[index], oldName))
        names[index] = name
        ui_View.updataNameList(1, names)
        fillNames()
        return true
    }

    // The three slots back to entries 0, 1, 2 with their factory recoil.
    function resetPage() {
        gunControlFocus()
        selectGun = [0, 1, 2]
        ui_View.setGlobalData("mouse/selectGun", selectGun)
        var list = entries.slice()
        for (var i = 0; i < Gun.slotCount; ++i)
            list[i] = Object.assign({}, list[i], { y: Gun.resetY[i], period: Gun.resetPeriod })
        entries = list
        for (i = 0; i < Gun.slotCount; ++i) {
            slotLists.itemAt(i).list.currentSelect = i
            saveEntry(i)
            ui_View.mouseSendGundata(i + 1, Gun.sendList(entries[i]))
        }
        showCurrent()
    }

    function gunControlFocus() {
        xSlider.closeMenu()
        ySlider.closeMenu()
        rateSlider.closeMenu()
        for (var s = 0; s < slotLists.count; ++s)
            slotLists.itemAt(s).list.closeMenu()
        timesInput.closeFocus()
        finishRename(true)
    }

    function startRename(index) {
        nameEditor.index = index
        nameEditor.text = entries[index].name
        nameEditor.editing = true
        nameEditor.forceActiveFocus()
        nameEditor.selectAll()
    }

    function finishRename(accept) {
        if (!nameEditor.editing)
            return
        nameEditor.editing = false
        if (accept)
            renameEntry(nameEditor.index, nameEditor.text)
    }

    function close() {
        gunControlFocus()
        visible = false
    }

    width: 560
    height: 420
    x: (mainIten.width - width) / 2
    y: (mainIten.height - height) / 2
    color: mainIten.colorGray0
    border.color: mainIten.colorGray1
    Accessible.role: Accessible.Dialog
    Accessible.name: langStrings[0]
    Keys.onEscapePressed: close()

    ListModel {
        id: gunNames
    }

    MouseArea {
        anchors.fill: parent
        onPressed: gunControl.gunControlFocus()
    }

    DialogTitle {
        textValue: gunControl.langStrings[0]
        onCloseClicked: gunControl.close()
    }

    Image {
        objectName: "gunBack"
        anchors.right: parent.right
        anchors.rightMargin: 40
        y: 7
        width: 16
        height: 16
        sourceSize.width: 16
        sourceSize.height: 16
        source: mainIten.img("index", backArea.containsMouse ? "backBtnH" : "backBtn")

        MouseArea {
            id: backArea
            anchors.fill: parent
            anchors.margins: -4
            hoverEnabled: true
            onClicked: gunControl.resetPage()
        }
    }

    component Label: Text {
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontNormalSize
        color: mainIten.fontColor
    }

    component Heading: Row {
        property alias textValue: label.text
        spacing: 8
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 3
            height: 14
            color: mainIten.colorBlue
        }
        Text {
            id: label
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontNormalSize
            font.bold: true
            color: mainIten.fontColor
        }
    }

    // ---- entries ----

    Heading {
        x: 20
        y: 44
        textValue: gunControl.langStrings[1]
    }

    Rectangle {
        x: 20
        y: 66
        width: 170
        height: Gun.entryCount * 30 + 6
        color: mainIten.colorBlack
        border.color: mainIten.colorGray1

        Column {
            x: 3
            y: 3
            width: parent.width - 6

            Repeater {
                model: gunNames

                Rectangle {
                    objectName: "gun" + index
                    width: parent.width
                    height: 30
                    radius: 2
                    color: index === gunControl.selected ? mainIten.colorGray1
                                                         : (rowArea.containsMouse ? "#262626" : "transparent")

                    Image {
                        x: 8
                        anchors.verticalCenter: parent.verticalCenter
                        width: 16
                        height: 16
                        sourceSize.width: 16
                        sourceSize.height: 16
                        source: mainIten.img("gun", "icon")
                    }

                    Label {
                        x: 32
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width - 60
                        elide: Text.ElideRight
                        text: model.textValue
                        font.bold: index === gunControl.selected
                        color: index === gunControl.selected ? "#ffffff" : mainIten.fontColor
                    }

                    Label {
                        anchors.right: parent.right
                        anchors.rightMargin: 8
                        anchors.verticalCenter: parent.verticalCenter
                        visible: gunControl.selectGun.indexOf(index) >= 0
                        text: gunControl.selectGun.indexOf(index) + 1
                        font.pixelSize: mainIten.fontMinSize
                        color: mainIten.colorBlue
                    }

                    MouseArea {
                        id: rowArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: gunControl.select(index)
                        onDoubleClicked: gunControl.startRename(index)
                    }
                }
            }
        }

        Rectangle {
            visible: nameEditor.editing
            x: 3 + 28
            y: 3 + nameEditor.index * 30 + 4
            width: parent.width - 6 - 34
            height: 22
            color: mainIten.colorGray0
            border.color: mainIten.colorBlue

            TextInput {
                id: nameEditor
                objectName: "gunNameEditor"
                property int index: -1
                anchors.fill: parent
                anchors.leftMargin: 4
                verticalAlignment: TextInput.AlignVCenter
                property bool editing: false
                maximumLength: 16
                clip: true
                selectByMouse: true
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontNormalSize
                color: "#ffffff"
                Keys.onReturnPressed: gunControl.finishRename(true)
                Keys.onEnterPressed: gunControl.finishRename(true)
                Keys.onEscapePressed: gunControl.finishRename(false)
                onActiveFocusChanged: if (!activeFocus) gunControl.finishRename(true)
            }
        }
    }

    // ---- weapon slots ----

    Heading {
        x: 214
        y: 44
        textValue: gunControl.langStrings[2]
    }

    Column {
        x: 228
        y: 68
        spacing: 6
        z: 3

        Repeater {
            id: slotLists
            model: Gun.slotCount

            Item {
                property alias list: slotList
                width: 200
                height: 24
                z: Gun.slotCount - index

                Label {
                    anchors.verticalCenter: parent.verticalCenter
                    text: index + 1
                    color: mainIten.colorBlue
                }

                DropDownList {
                    id: slotList
                    objectName: "gunSlot" + index
                    x: 72
                    width: 128
                    mdItems: gunNames
                    currentSelect: index
                    onBtnClick: gunControl.finishRename(true)
                    onValueChange: (i) => gunControl.chooseGun(index, i)
                }
            }
        }
    }

    // ---- recoil of the selected entry ----

    Heading {
        x: 214
        y: 166
        textValue: gunControl.langStrings[3]
    }

    Label {
        x: 228
        y: 194
        text: gunControl.langStrings[4]
    }

    DropDownSlider {
        id: xSlider
        objectName: "gunX"
        x: 300
        y: 190
        z: 2
        width: 120
        onValueChange: (pos) => xSlider.textValue = String(Gun.axisValue(pos))
    }

    Connections {
        target: xSlider.sliderControl
        function onValueChangeDelay(tmpValue) {
            gunControl.setField("x", Gun.axisValue(tmpValue))
            xSlider.textValue = String(gunControl.current.x)
        }
    }

    Label {
        x: 228
        y: 226
        text: gunControl.langStrings[5]
    }

    DropDownSlider {
        id: ySlider
        objectName: "gunY"
        x: 300
        y: 222
        z: 1
        width: 120
        onValueChange: (pos) => ySlider.textValue = String(Gun.axisValue(pos))
    }

    Connections {
        target: ySlider.sliderControl
        function onValueChangeDelay(tmpValue) {
            gunControl.setField("y", Gun.axisValue(tmpValue))
            ySlider.textValue = String(gunControl.current.y)
        }
    }

    // ---- firing ----

    Heading {
        x: 214
        y: 266
        textValue: gunControl.langStrings[6]
    }

    // The entry's trigger key.
    Label {
        objectName: "gunKey"
        x: 420
        y: 266
        width: 120
        horizontalAlignment: Text.AlignRight
        text: gunControl.current.key
        color: mainIten.colorGray2
    }

    Label {
        x: 228
        y: 294
        text: gunControl.langStrings[7]
    }

    DropDownSlider {
        id: rateSlider
        objectName: "gunRate"
        x: 300
        y: 290
        z: 2
        width: 110
        onValueChange: (pos) => rateSlider.textValue = Gun.periodValue(pos) + "MS"
    }

    Connections {
        target: rateSlider.sliderControl
        function onValueChangeDelay(tmpValue) {
            gunControl.setField("period", Gun.periodValue(tmpValue))
            rateSlider.textValue = gunControl.current.period + "MS"
        }
    }

    Label {
        x: 228
        y: 328
        text: gunControl.langStrings[8]
    }

    Rectangle {
        x: 300
        y: 324
        width: 48
        height: 22
        radius: 2
        color: mainIten.colorBlack
        border.color: timesInput.txtInput.activeFocus ? mainIten.colorBlue : mainIten.colorGray1

        RectInput {
            id: timesInput
            objectName: "gunTimes"
            anchors.fill: parent
            maxValue: 255
            onEndInputSignal: {
                var n = Number(textValue)
                gunControl.setField("count", n)
                endlessCheck.isSelect = n === 0
            }
        }
    }

    CheckBox {
        id: endlessCheck
        objectName: "gunEndless"
        x: 364
        y: 328
        textValue: gunControl.langStrings[9]
        onBtnClick: {
            // Ticking sets endless firing; clearing it leaves the count.
            if (!isSelect) {
                timesInput.textValue = "0"
                gunControl.setField("count", 0)
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 20
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 20
        spacing: 16

        TextButton {
            objectName: "gunSaveAll"
            textValue: gunControl.langStrings[11]
            normalColor: mainIten.colorGray1
            onClicked: gunControl.saveAll()
        }

        TextButton {
            objectName: "gunSave"
            textValue: gunControl.langStrings[10]
            onClicked: {
                gunControl.gunControlFocus()
                gunControl.saveEntry(gunControl.selected)
            }
        }
    }
}
