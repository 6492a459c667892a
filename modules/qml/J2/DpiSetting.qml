import QtQuick
import "../js/Dpi.js" as Dpi
import "../basic"

// The DPI screen of the right panel: up to eight stages, each a slider and
// the value it gives, the number of stages in use, and the active stage.
// Values are kept in the stage rows until the shell's save button stores
// them in the profile and sends them (saveData).
Rectangle {
    id: dpiSetting

    property var langStrings: ["DPI"]
    property bool isSave: false
    property int currentDpi: 0          // active stage, 0-based, as the mouse reports it
    property int currentDpiCount: 1     // number of stages in use
    property int stageLimit: 8          // the profile's mouse/dpiCount
    property var dpiRange: Dpi.range(undefined, undefined, undefined, undefined)

    // The values of the eight stages, as the rows show them.
    function stageValues() {
        var values = []
        for (var i = 0; i < stages.count; ++i)
            values.push(stages.get(i).dpiValue)
        return values
    }

    // Reads the stages from the current profile, or from the factory
    // profile with isRecovery; with isSendData stores and sends them.
    function init(isSendData, isRecovery) {
        dpiRange = Dpi.range(ui_View.getGlobalData("mouse/minDPI"), ui_View.getGlobalData("mouse/maxDPI"),
                             ui_View.getGlobalData("mouse/dpiBase"), ui_View.getGlobalData("mouse/sensorType"))
        stageLimit = Dpi.stageLimit(ui_View.getData("mouse/dpiCount", isRecovery))
        var items = Dpi.stageItems(stageLimit)
        countItems.clear()
        for (var i = 0; i < items.length; ++i)
            countItems.append({ textValue: items[i] })
        currentDpiCount = Dpi.stageCount(ui_View.getData("mouse/currentDpiCount", isRecovery), stageLimit)
        countList.currentSelect = currentDpiCount - 1

        var values = Dpi.stageValues(ui_View.getDataList("mouse/dpiValueArray", isRecovery), dpiRange)
        for (i = 0; i < values.length; ++i)
            stages.set(i, { dpiValue: values[i] })
        for (i = 0; i < stageRows.count; ++i)
            stageRows.itemAt(i).placeKnob()
        if (isSendData)
            saveData(true)
    }

    // Stores the stage values and the stage count in the current profile;
    // with isSendData sends them to the mouse.
    function saveData(isSendData) {
        var values = stageValues()
        ui_View.setDataList("mouse/dpiValueArray", values)
        ui_View.setData("mouse/currentDpiCount", currentDpiCount)
        if (isSendData)
            ui_View.mouseSetDpi(currentDpiCount, dpiRange.sensorType, values)
    }

    // The factory stages, shown until the next save stores them.
    function restoreDefaults() {
        if (typeof mainIten.mainFocus === "function")
            mainIten.mainFocus()
        init(false, true)
        isSave = true
    }

    function selectStage(index) {
        if (index < 0 || index >= currentDpiCount)
            return
        currentDpi = index
        ui_View.mouseSetCurrentDPI(index + 1)
    }

    function closeMenu() {
        countList.closeMenu()
    }

    // A value typed or stepped from the keyboard: kept inside the range
    // and on its steps exactly as the slider would give it.
    function setStageValue(index, value) {
        var v = Dpi.toDpi(Dpi.toPos(value, dpiRange), dpiRange)
        stages.setProperty(index, "dpiValue", v)
        stageRows.itemAt(index).placeKnob()
        isSave = true
    }

    function stepStage(index, steps) {
        var v = stages.get(index).dpiValue + steps * dpiRange.dpiBase
        setStageValue(index, Math.max(dpiRange.minDPI, Math.min(dpiRange.maxDPI, v)))
    }

    function stageName(index) {
        return langStrings[0] + " " + (index + 1)
    }

    width: 232
    height: 264
    color: mainIten.colorBlack

    ListModel {
        id: stages
        ListElement { dpiValue: 400 }
        ListElement { dpiValue: 800 }
        ListElement { dpiValue: 1600 }
        ListElement { dpiValue: 3200 }
        ListElement { dpiValue: 4800 }
        ListElement { dpiValue: 6000 }
        ListElement { dpiValue: 6000 }
        ListElement { dpiValue: 6000 }
    }

    ListModel {
        id: countItems
    }

    Image {
        x: 12
        y: 8
        width: 16
        height: 16
        sourceSize.width: 16
        sourceSize.height: 16
        source: mainIten.img("dpiSetting", "icon")
    }

    Text {
        x: 34
        y: 8
        text: dpiSetting.langStrings[0]
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
        font.bold: true
        color: mainIten.fontColor
    }

    // Restore the factory stages.
    Image {
        id: backIcon
        objectName: "dpiBack"
        activeFocusOnTab: enabled
        Keys.onSpacePressed: if (!mainIten.inputBlocked) dpiSetting.restoreDefaults()
        Keys.onReturnPressed: if (!mainIten.inputBlocked) dpiSetting.restoreDefaults()
        Keys.onEnterPressed: if (!mainIten.inputBlocked) dpiSetting.restoreDefaults()
        Accessible.role: Accessible.Button
        Accessible.focusable: activeFocusOnTab
        Accessible.name: mainIten.accessLang[3]
        Accessible.onPressAction: if (!mainIten.inputBlocked) dpiSetting.restoreDefaults()
        anchors.right: countList.left
        anchors.rightMargin: 12
        y: 8
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
            onClicked: dpiSetting.restoreDefaults()
        }

        FocusRing {}
    }

    Rectangle {
        x: 12
        y: 32
        width: parent.width - 24
        height: 1
        color: mainIten.colorGray1
    }

    Column {
        id: stageColumn
        x: 0
        y: 40
        width: parent.width
        spacing: 0

        Repeater {
            id: stageRows
            model: stages

            Item {
                id: row
                objectName: "stage" + index
                readonly property bool enabledStage: index < dpiSetting.currentDpiCount
                readonly property bool active: index === dpiSetting.currentDpi && enabledStage

                function placeKnob() {
                    slider.setValue(Dpi.toPos(dpiValue, dpiSetting.dpiRange))
                }

                width: stageColumn.width
                height: 27
                opacity: enabledStage ? 1.0 : 0.35
                enabled: enabledStage

                Rectangle {
                    id: stageBox
                    objectName: "stageBox"
                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    width: 42
                    height: 20
                    radius: 2
                    color: row.active ? mainIten.colorBlue
                                      : (stageArea.containsMouse ? mainIten.colorGray1 : mainIten.colorGray0)
                    border.width: 1
                    border.color: row.active ? mainIten.colorBlue : mainIten.colorGray1

                    MouseArea {
                        id: stageArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: dpiSetting.selectStage(index)
                    }

                    // The stage's value; from the keyboard it can be typed
                    // (Enter or leaving the box takes it), stepped with the
                    // arrows and Page Up / Page Down, and Space makes the
                    // stage the active one.
                    TextInput {
                        id: stageInput
                        objectName: "stageInput"
                        readonly property int value: dpiValue
                        readonly property int minimumValue: dpiSetting.dpiRange.minDPI
                        readonly property int maximumValue: dpiSetting.dpiRange.maxDPI
                        readonly property int stepSize: dpiSetting.dpiRange.dpiBase

                        function commit() {
                            var v = parseInt(text, 10)
                            if (!isNaN(v) && v !== dpiValue && !mainIten.inputBlocked)
                                dpiSetting.setStageValue(index, v)
                            text = Qt.binding(() => String(dpiValue))
                            // The next digits typed replace the value.
                            if (activeFocus)
                                selectAll()
                        }

                        function stepBy(steps) {
                            if (mainIten.inputBlocked)
                                return
                            commit()
                            dpiSetting.stepStage(index, steps)
                        }

                        anchors.fill: parent
                        horizontalAlignment: TextInput.AlignHCenter
                        verticalAlignment: TextInput.AlignVCenter
                        text: String(dpiValue)
                        maximumLength: 5
                        validator: IntValidator { bottom: 0; top: 99999 }
                        readOnly: mainIten.inputBlocked
                        // A click selects the stage (the area below); the
                        // keyboard edits.
                        enabled: row.enabledStage
                        activeFocusOnTab: enabled
                        selectByMouse: false
                        font.family: mainIten.fontFamily
                        font.pixelSize: mainIten.fontNormalSize
                        color: row.active ? "#ffffff" : mainIten.fontColor
                        selectionColor: mainIten.colorGray1
                        onActiveFocusChanged: activeFocus ? selectAll() : commit()
                        Keys.onReturnPressed: commit()
                        Keys.onEnterPressed: commit()
                        Keys.onSpacePressed: if (!mainIten.inputBlocked) dpiSetting.selectStage(index)
                        Keys.onUpPressed: stepBy(1)
                        Keys.onDownPressed: stepBy(-1)
                        Keys.onPressed: (event) => {
                            if (event.key === Qt.Key_PageUp)
                                stepBy(10)
                            else if (event.key === Qt.Key_PageDown)
                                stepBy(-10)
                            else
                                return
                            event.accepted = true
                        }
                        Accessible.role: Accessible.SpinBox
                        Accessible.focusable: activeFocusOnTab
                        Accessible.readOnly: !enabled
                        Accessible.name: dpiSetting.stageName(index)
                        Accessible.description: row.active ? dpiSetting.langStrings[0] + " ✓" : ""
                        Accessible.onPressAction: if (!mainIten.inputBlocked) dpiSetting.selectStage(index)
                        Accessible.onIncreaseAction: stepBy(1)
                        Accessible.onDecreaseAction: stepBy(-1)

                        MouseArea {
                            anchors.fill: parent
                            onClicked: dpiSetting.selectStage(index)
                        }
                    }

                    FocusRing {
                        target: stageInput
                    }
                }

                SliderButton {
                    id: slider
                    objectName: "slider"
                    // 176 px: the knob runs over positions 3..161.
                    x: 52
                    anchors.verticalCenter: parent.verticalCenter
                    width: 176
                    colorS: row.active ? mainIten.colorBlue : mainIten.colorOrange
                    value: dpiValue
                    minimumValue: dpiSetting.dpiRange.minDPI
                    maximumValue: dpiSetting.dpiRange.maxDPI
                    stepSize: dpiSetting.dpiRange.dpiBase
                    pageSteps: 10
                    accessibleName: dpiSetting.stageName(index)
                    accessibleValue: String(dpiValue)
                    keyStepper: (steps) => dpiSetting.stepStage(index, steps)
                    onValueChange: (pos) => stages.setProperty(index, "dpiValue", Dpi.toDpi(pos, dpiSetting.dpiRange))
                    onValueChangeDelay: (pos) => {
                        stages.setProperty(index, "dpiValue", Dpi.toDpi(pos, dpiSetting.dpiRange))
                        dpiSetting.isSave = true
                    }
                    onBtnClick: dpiSetting.closeMenu()
                }
            }
        }
    }

    // Number of stages in use, limited by the profile.
    DropDownList {
        id: countList
        objectName: "dpiCountList"
        anchors.right: parent.right
        anchors.rightMargin: 12
        y: 4
        width: 56
        z: 2
        mdItems: countItems
        accessibleName: mainIten.accessLang[4]
        onValueChange: (index) => {
            dpiSetting.currentDpiCount = index + 1
            dpiSetting.isSave = true
        }
    }
}
