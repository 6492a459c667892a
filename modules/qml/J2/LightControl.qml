import QtQuick
import "../js/Lighting.js" as Lighting
import "../basic"

// The lighting screen of the right panel: the effect, its speed and
// brightness steps, and the colours of the blocks on a hue bar or as R, G, B
// numbers. Values live on screen until saveData() stores and sends them.
Rectangle {
    id: lightControl

    property var langStrings: Lighting.defaultTexts
    property bool isSave: false
    // Number of DPI stages in use on the DPI screen: plain devices offer one
    // colour per stage.
    property int stageCount: typeof dpiSettingMain !== "undefined" ? dpiSettingMain.currentDpiCount : 0
    property int speedStep: 0
    property int brightnessStep: 0
    property bool speedShown: false
    property bool brightnessShown: false
    property int selectBlock: 0
    property bool fromBack: false

    readonly property bool colorful: mainIten.isColorful === true
    readonly property bool is55328: mainIten.is55328 === true
    // The chosen effect; follows the list once its choice arrives.
    property int effect: 0
    property alias effectList: effectList
    property alias blocks: blockModel

    function str(i) {
        var t = i < langStrings.length ? langStrings[i] : undefined
        return t === undefined || t === null ? "" : String(t)
    }

    function blockColor(k) {
        return blockModel.get(k).colorValue
    }

    function colors() {
        var list = []
        for (var k = 0; k < blockModel.count; ++k)
            list.push(blockColor(k))
        return list
    }

    function showSliders(visibility) {
        speedShown = visibility[0]
        brightnessShown = visibility[1]
    }

    function setSpeedStep(step) {
        speedStep = step
        speedSlider.setIndexValue(step, false)
    }

    function setBrightnessStep(step) {
        brightnessStep = step
        brightnessSlider.setIndexValue(step, false)
    }

    function setBoxes(rgb) {
        rChannel.textValue = String(rgb[0])
        gChannel.textValue = String(rgb[1])
        bChannel.textValue = String(rgb[2])
    }

    // Places block k's marker for a colour; marker, block and boxes take the
    // colour itself, not the colour under the marker.
    function setSliderPos(k, color) {
        var rgb = Lighting.rgbOf(color)
        blockModel.setProperty(k, "markerX", Lighting.sliderMarkerX(rgb[0], rgb[1], rgb[2]))
        blockModel.setProperty(k, "colorValue", Lighting.colorText(rgb[0], rgb[1], rgb[2]))
        setBoxes(rgb)
    }

    function selectBlockAt(k) {
        selectBlock = k
        setSliderPos(k, blockColor(k))
    }

    function setColorAtMarker(k, markerX) {
        var color = Lighting.hueColor(Lighting.positionOfMarker(markerX))
        blockModel.setProperty(k, "markerX", markerX)
        blockModel.setProperty(k, "colorValue", color)
        setBoxes(Lighting.rgbOf(color))
    }

    // Pressing a marker hands its colour to the block and the boxes; the
    // marker stays where it is.
    function markerPressed(k) {
        var rgb = Lighting.rgbOf(blockColor(k))
        blockModel.setProperty(k, "colorValue", Lighting.colorText(rgb[0], rgb[1], rgb[2]))
        setBoxes(rgb)
    }

    function boxesEdited() {
        setSliderPos(selectBlock, Lighting.colorText(Number(rChannel.textValue), Number(gChannel.textValue),
                                                     Number(bChannel.textValue)))
        isSave = true
    }

    function chooseEffect(n) {
        effect = n
        showSliders(Lighting.sliderVisibility(n, is55328, true))
        var steps = Lighting.chosenSteps(n, is55328)
        if (steps[0] !== null)
            setSpeedStep(steps[0])
        if (steps[1] !== null)
            setBrightnessStep(steps[1])
        selectBlockAt(0)
        isSave = true
    }

    function fillEffects(first) {
        var names = Lighting.effectStrings(colorful, is55328)
        var model = effectList.mdItems
        for (var i = 0; i < 4; ++i) {
            if (i < model.count)
                model.setProperty(i, "textValue", str(names[i]))
            else
                model.append({ textValue: str(names[i]) })
        }
        if (first && model.count === 4) {
            for (var j = 4; j < names.length; ++j)
                model.append({ textValue: str(names[j]) })
        }
    }

    function init(isSendData, isRecovery) {
        fillEffects(!isSendData && !fromBack && mainIten.isPownOn !== true)

        var light = Lighting.storedLight(ui_View.getDataList("mouse/lightValue", isRecovery),
                                         Lighting.effectStrings(true, true).length)
        if (light !== null) {
            effect = light[0]
            effectList.currentSelect = effect
            setSpeedStep(light[1])
            setBrightnessStep(light[2])
        }
        showSliders(Lighting.sliderVisibility(effect, is55328, false))

        var stored = ui_View.getDataList("mouse/colorValue", isRecovery)
        if (stored && stored.length > 0) {
            var list = Lighting.colorsOf(stored)
            for (var k = 0; k < list.length; ++k)
                blockModel.setProperty(k, "colorValue", list[k])
        }

        selectBlockAt(0)
        if (isSendData)
            saveData(true, 0)
    }

    // isStep 0: everything, 1: the effect values, 2: the colours.
    function saveData(isSendData, isStep) {
        var values = [effect, speedStep, brightnessStep]
        if (isStep === 0 || isStep === 1)
            ui_View.setDataList("mouse/lightValue", values)
        var bytes = Lighting.colorBytes(colors(), effect, is55328)
        if (isStep === 0 || isStep === 2)
            ui_View.setDataList("mouse/colorValue", bytes)
        if (!isSendData)
            return
        var plan = Lighting.sendPlan(isStep, colorful)
        for (var i = 0; i < plan.length; ++i) {
            if (plan[i][0] === "color")
                ui_View.mouseSetRGBColor(plan[i][1], bytes)
            else
                ui_View.mouseSetRGBEffect(values[0], values[1], values[2])
        }
    }

    // Back: the factory values on screen; nothing is stored before Save.
    function restoreFactory() {
        fromBack = true
        init(false, true)
        fromBack = false
        isSave = true
    }

    function lightControlFocus() {
        effectList.closeMenu()
        rChannel.input.closeFocus()
        gChannel.input.closeFocus()
        bChannel.input.closeFocus()
    }

    width: 232
    height: Lighting.panelHeight(speedShown, brightnessShown)
    color: mainIten.colorBlack

    ListModel {
        id: blockModel
    }

    Component.onCompleted: {
        for (var k = 0; k < Lighting.blockCount; ++k)
            blockModel.append({ colorValue: Lighting.defaultColors[k], markerX: 0 })
        fillEffects(false)
        effectList.currentSelect = effect
        selectBlockAt(0)
    }

    // Heading: the screen's name, the effect list and the back button.
    Image {
        id: icon
        x: 10
        y: 12
        width: 16
        height: 16
        sourceSize.width: 32
        sourceSize.height: 32
        source: mainIten.img("lightControl", "icon")
    }

    Text {
        x: icon.x + icon.width + 5
        anchors.verticalCenter: icon.verticalCenter
        width: effectList.x - x - 3
        elide: Text.ElideRight
        text: lightControl.str(0)
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
        font.bold: true
        color: "#ffffff"
    }

    IconButton {
        id: backButton
        objectName: "backButton"
        x: parent.width - 10 - width
        anchors.verticalCenter: icon.verticalCenter
        icon: "backBtn"
        accessibleName: mainIten.accessLang[3]
        onClicked: lightControl.restoreFactory()
    }

    Rectangle {
        x: 12
        y: 38
        width: parent.width - 24
        height: 1
        color: mainIten.colorGray1
    }

    // Speed and brightness rows.
    Repeater {
        model: 2

        Item {
            id: sliderRow
            readonly property bool isSpeed: index === 0
            objectName: isSpeed ? "speedRow" : "brightnessRow"
            x: 0
            y: isSpeed || !lightControl.speedShown ? 48 : 88
            width: lightControl.width
            height: 32
            visible: isSpeed ? lightControl.speedShown : lightControl.brightnessShown

            Text {
                x: 12
                anchors.verticalCenter: parent.verticalCenter
                width: 64
                elide: Text.ElideRight
                text: lightControl.str(sliderRow.isSpeed ? 5 : 7)
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontNormalSize
                color: mainIten.fontColor
            }

            Rectangle {
                objectName: "valueBox"
                x: parent.width - 12 - width
                anchors.verticalCenter: parent.verticalCenter
                width: 42
                height: 20
                color: mainIten.colorGray0
                border.color: mainIten.colorGray1
                Text {
                    anchors.centerIn: parent
                    text: Lighting.stepText(sliderRow.isSpeed ? lightControl.speedStep
                                                              : lightControl.brightnessStep)
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontNormalSize
                    color: mainIten.fontColor
                }
            }
        }
    }

    // The sliders sit outside the repeater so that the screen can name them.
    SliderButton {
        id: speedSlider
        objectName: "speedSlider"
        x: 78
        y: 48 + 13
        width: 96
        segment: 4
        isScale: true
        colorS: mainIten.colorBlue
        visible: lightControl.speedShown
        accessibleName: lightControl.str(5)
        accessibleValue: Lighting.stepText(lightControl.speedStep)
        onValueChangeDelay: {
            lightControl.speedStep = segmentValue
            lightControl.isSave = true
        }
    }

    SliderButton {
        id: brightnessSlider
        objectName: "brightnessSlider"
        x: 78
        y: (lightControl.speedShown ? 88 : 48) + 13
        width: 96
        segment: 4
        isScale: true
        colorS: mainIten.colorBlue
        visible: lightControl.brightnessShown
        accessibleName: lightControl.str(7)
        accessibleValue: Lighting.stepText(lightControl.brightnessStep)
        onValueChangeDelay: {
            lightControl.brightnessStep = segmentValue
            lightControl.isSave = true
        }
    }

    // Colour area: blocks, hue bar with markers, R G B boxes.
    Item {
        id: colorArea
        objectName: "colorArea"
        y: lightControl.height - 109
        width: parent.width
        height: 101
        // The keyboard reaches the colours only where a click may.
        enabled: Lighting.colorAreaActive(lightControl.effect)

        Text {
            x: 12
            y: 0
            height: 16
            verticalAlignment: Text.AlignVCenter
            text: lightControl.str(6)
            font.family: mainIten.fontFamily
            font.pixelSize: mainIten.fontNormalSize
            color: mainIten.fontColor
        }

        Row {
            id: blockRow
            objectName: "blockRow"
            x: 78
            y: 1
            spacing: 5
            visible: Lighting.rowVisible(lightControl.effect, lightControl.is55328)

            Repeater {
                model: blockModel

                Rectangle {
                    id: blockItem
                    objectName: "block" + index
                    width: 14
                    height: 14
                    visible: Lighting.blockVisible(index, lightControl.stageCount, lightControl.colorful,
                                                   lightControl.is55328, lightControl.effect)
                    color: model.colorValue
                    border.width: 1
                    border.color: lightControl.selectBlock === index ? "#ffffff" : mainIten.colorGray1

                    readonly property bool isRadio: true
                    function choose() {
                        if (!mainIten.inputBlocked)
                            lightControl.selectBlockAt(index)
                    }
                    function step(delta) {
                        var kids = blockRow.children
                        var group = []
                        for (var i = 0; i < kids.length; ++i) {
                            if (kids[i].isRadio === true && kids[i].visible)
                                group.push(kids[i])
                        }
                        var next = group[(group.indexOf(blockItem) + delta + group.length) % group.length]
                        next.forceActiveFocus(Qt.TabFocusReason)
                        next.choose()
                    }
                    activeFocusOnTab: visible && enabled
                    Keys.onSpacePressed: choose()
                    Keys.onReturnPressed: choose()
                    Keys.onEnterPressed: choose()
                    Keys.onLeftPressed: step(-1)
                    Keys.onRightPressed: step(1)
                    Accessible.role: Accessible.RadioButton
                    Accessible.focusable: activeFocusOnTab
                    Accessible.name: mainIten.accessLang[12] + " " + (index + 1)
                    Accessible.description: String(model.colorValue)
                    Accessible.checkable: true
                    Accessible.checked: lightControl.selectBlock === index
                    Accessible.onPressAction: choose()

                    FocusRing {}

                    MouseArea {
                        anchors.fill: parent
                        anchors.margins: -2
                        onClicked: lightControl.selectBlockAt(index)
                    }
                }
            }
        }

        Image {
            id: hueBar
            objectName: "hueBar"
            x: 24
            y: 40
            width: Lighting.barWidth
            height: 24
            source: mainIten.img("lightControl", "colorBar")
        }

        Repeater {
            model: blockModel

            HueMarker {
                objectName: "marker" + index
                number: index + 1
                x: hueBar.x + model.markerX
                y: hueBar.y - 18
                z: 1
                visible: lightControl.selectBlock === index
                markerColor: model.colorValue
                accessibleName: mainIten.accessLang[13] + " " + (index + 1)
                value: model.markerX
                onKeyMoved: (dx) => {
                    lightControl.setColorAtMarker(index, Lighting.clampMarkerX(model.markerX + dx))
                    lightControl.isSave = true
                }
                onPressedAt: lightControl.markerPressed(index)
                onMovedBy: (dx) => lightControl.setColorAtMarker(index, Lighting.clampMarkerX(model.markerX + dx))
                onReleased: lightControl.isSave = true
            }
        }

        Row {
            x: 10
            y: 75
            spacing: 10

            ColorChannelInput {
                id: rChannel
                objectName: "rChannel"
                input.accessibleName: mainIten.accessLang[9]
                label: "R"
                labelColor: "#ff5a5a"
                onEdited: lightControl.boxesEdited()
            }
            ColorChannelInput {
                id: gChannel
                objectName: "gChannel"
                input.accessibleName: mainIten.accessLang[10]
                label: "G"
                labelColor: "#5adc78"
                onEdited: lightControl.boxesEdited()
            }
            ColorChannelInput {
                id: bChannel
                objectName: "bChannel"
                input.accessibleName: mainIten.accessLang[11]
                label: "B"
                labelColor: "#4aa8ff"
                onEdited: lightControl.boxesEdited()
            }
        }
    }

    // Colours take input only for some effects; otherwise this mask
    // swallows every press over the colour area.
    Rectangle {
        objectName: "colorMask"
        y: colorArea.y
        width: parent.width
        height: 101
        color: "#b0000000"
        visible: !Lighting.colorAreaActive(lightControl.effect)
        z: 2
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.AllButtons
            onWheel: (wheel) => wheel.accepted = true
        }
    }

    DropDownList {
        id: effectList
        objectName: "effectList"
        x: backButton.x - 8 - width
        y: 8
        z: 3
        width: 120
        accessibleName: lightControl.str(0)
        onValueChange: (index) => lightControl.chooseEffect(index)
    }
}
