import QtQuick
import QtTest
import "../../modules/qml/basic"
import "../../modules/qml/J2"
import "support"

// The lighting screen on the scene's look, with the back end recording what
// is stored and sent.
SceneLook {
    id: mainIten
    width: 1024
    height: 640

    property bool isColorful: false
    property bool is55328: false
    property bool isPownOn: false

    readonly property QtObject ui_View: backEnd.view

    FakeBackEnd {
        id: backEnd
    }

    // What the screen stored and sent, in order, in a short form.
    function sent() {
        var out = []
        for (const c of backEnd.calls) {
            if (c[0] === "setDataList")
                out.push(["store", c[1], c[2]])
            else if (c[0] === "mouseSetRGBColor")
                out.push(["color", c[1], c[2]])
            else if (c[0] === "mouseSetRGBEffect")
                out.push(["effect", c[1], c[2], c[3]])
        }
        return out
    }

    LightControl {
        id: lightControlMain
        x: 768
        y: 300
    }

    TestCase {
        name: "LightingScreen"
        when: windowShown

        readonly property var storedColors: [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255,
                                             0, 255, 255, 255, 127, 0, 96, 0, 255, 255, 255, 255]

        function find(name) {
            var item = findChild(lightControlMain, name)
            verify(item !== null, name)
            return item
        }

        function setDevice(colorful, is55328) {
            mainIten.isColorful = colorful
            mainIten.is55328 = is55328
            mainIten.isPownOn = false
            lightControlMain.effectList.mdItems.clear()
        }

        function load(light) {
            backEnd.profileData = { "mouse/lightValue": light, "mouse/colorValue": storedColors }
            lightControlMain.init(false, false)
            lightControlMain.isSave = false
            backEnd.reset()
        }

        function init() {
            setDevice(false, false)
            lightControlMain.stageCount = 6
            load(["3", "1", "2"])
        }

        function marker() {
            return find("marker" + lightControlMain.selectBlock)
        }

        // Drags the selected block's marker so that its position p on the
        // bar becomes `p`.
        function dragMarkerTo(p) {
            var m = marker()
            var start = m.mapToItem(mainIten, 9, 20)
            var dx = p - (m.x - find("hueBar").x + 8)
            mousePress(mainIten, start.x, start.y)
            mouseMove(mainIten, start.x + dx / 2, start.y)
            mouseMove(mainIten, start.x + dx, start.y)
            mouseRelease(mainIten, start.x + dx, start.y)
        }

        function boxes() {
            return [Number(find("rChannel").textValue), Number(find("gChannel").textValue),
                    Number(find("bChannel").textValue)]
        }

        function test_initFromStore() {
            compare(lightControlMain.effect, 3)
            compare(lightControlMain.speedStep, 1)
            compare(lightControlMain.brightnessStep, 2)
            compare(lightControlMain.blockColor(5), "#ff7f00")
            compare(lightControlMain.selectBlock, 0)
            compare(boxes(), [255, 0, 0])
            compare(lightControlMain.effectList.count, 4)
            compare(find("speedSlider").segmentValue, 1)
        }

        function test_hueBarDrag_data() {
            return [
                { tag: "p 45", p: 45, color: "#80ff00", rgb: [128, 255, 0] },
                { tag: "p 180", p: 180, color: "#ff0000", rgb: [255, 0, 0] },
                { tag: "far right", p: 400, color: "#ffffff", rgb: [255, 255, 255] },
                { tag: "far left", p: -100, color: "#ff0000", rgb: [255, 0, 0] }
            ]
        }

        function test_hueBarDrag(data) {
            lightControlMain.selectBlockAt(1)
            dragMarkerTo(data.p)
            compare(lightControlMain.blockColor(1), data.color)
            compare(boxes(), data.rgb)
            compare(marker().markerColor.toString(), data.color)
            verify(lightControlMain.isSave)
        }

        function typeColor(rgb) {
            var names = ["rChannel", "gChannel", "bChannel"]
            for (var i = 0; i < 3; ++i) {
                var input = find(names[i]).input.txtInput
                input.forceActiveFocus()
                // On a busy machine the window may take a moment to become
                // active; keys typed before then would go nowhere.
                tryVerify(function() { return input.activeFocus })
                input.selectAll()
                var digits = String(rgb[i])
                for (var d = 0; d < digits.length; ++d)
                    keyClick(digits.charAt(d))
                input.focus = false
            }
        }

        function test_typedColour_data() {
            return [
                { tag: "pure red", rgb: [255, 0, 0], markerX: -8, color: "#ff0000" },
                { tag: "grey", rgb: [128, 128, 128], markerX: -8, color: "#808080" },
                { tag: "green", rgb: [0, 255, 0], markerX: 52, color: "#00ff00" },
                { tag: "white", rgb: [255, 255, 255], markerX: 175, color: "#ffffff" }
            ]
        }

        function test_typedColour(data) {
            lightControlMain.selectBlockAt(2)
            typeColor(data.rgb)
            compare(lightControlMain.blocks.get(2).markerX, data.markerX)
            compare(lightControlMain.blockColor(2), data.color)
            compare(marker().x - find("hueBar").x, data.markerX)
            verify(lightControlMain.isSave)
        }

        // Clicks colour block k once the row has laid out the blocks before
        // it (each 14 px wide, 5 px apart).
        function clickBlock(k) {
            var block = find("block" + k)
            tryCompare(block, "x", k * 19)
            waitForRendering(lightControlMain)
            mouseClick(block)
        }

        function test_blockClickPlacesItsMarker() {
            clickBlock(2)
            compare(lightControlMain.selectBlock, 2)
            compare(boxes(), [0, 0, 255])
            compare(lightControlMain.blocks.get(2).markerX, 121 + 1 - 9)
            verify(find("marker2").visible)
            verify(!find("marker0").visible)
        }

        function test_maskSwallowsPresses() {
            load(["0", "0", "0"])
            verify(find("colorMask").visible)
            lightControlMain.selectBlockAt(0)
            clickBlock(2)
            compare(lightControlMain.selectBlock, 0)
            load(["4", "0", "0"])
            verify(!find("colorMask").visible)
        }

        function chooseEffect(n) {
            var list = lightControlMain.effectList
            mouseClick(list, 30, 12)
            tryCompare(list, "isDrop", true)
            wait(250)
            var item = findChild(list, "item" + n)
            verify(item !== null)
            mouseClick(item, 30, item.height / 2)
            // The choice arrives once the list has closed.
            compare(lightControlMain.isSave, false)
            tryCompare(lightControlMain, "isSave", true)
            compare(lightControlMain.effect, n)
        }

        function test_effect7() {
            setDevice(true, false)
            load(["7", "0", "1"])
            compare(lightControlMain.effectList.count, 11)
            verify(!lightControlMain.speedShown)
            verify(lightControlMain.brightnessShown)
            compare(lightControlMain.height, 224)
            chooseEffect(7)
            verify(lightControlMain.speedShown)
            verify(lightControlMain.brightnessShown)
            compare(lightControlMain.height, 264)
            compare([lightControlMain.speedStep, lightControlMain.brightnessStep], [4, 4])
            compare(find("speedSlider").segmentValue, 4)
            verify(lightControlMain.isSave)
        }

        function test_breathLoopOn55328() {
            setDevice(false, true)
            load(["1", "2", "3"])
            compare(lightControlMain.effectList.count, 5)
            compare(lightControlMain.effectList.mdItems.get(4).textValue, "Breath Loop")
            chooseEffect(4)
            compare([lightControlMain.speedShown, lightControlMain.brightnessShown], [true, false])
            compare([lightControlMain.speedStep, lightControlMain.brightnessStep], [0, 3])
        }

        function test_sliderSettles() {
            load(["1", "0", "0"])
            var slider = find("brightnessSlider")
            // Click near the third mark; the knob snaps and the box follows.
            mouseClick(slider, slider.minPos + slider.per * 2 + slider.knobWidth / 2 - 2, 3)
            tryCompare(lightControlMain, "brightnessStep", 2)
            verify(lightControlMain.isSave)
            compare(findChild(find("brightnessRow"), "valueBox").children[0].text, "50%")
        }

        function visibleBlocks() {
            var shown = []
            for (var k = 0; k < 8; ++k)
                shown.push(find("block" + k).visible)
            return shown
        }

        function test_blockVisibility() {
            var t = true, f = false
            lightControlMain.stageCount = 3
            compare(visibleBlocks(), [t, t, t, f, f, f, f, f])
            verify(find("blockRow").visible)
            load(["1", "0", "0"])
            verify(!find("blockRow").visible)
            setDevice(true, false)
            load(["5", "0", "0"])
            compare(visibleBlocks(), [t, t, t, t, t, t, f, f])
        }

        function test_save_data() {
            return [
                { tag: "plain device, everything", colorful: false, is55328: false, step: 0,
                  order: ["store", "store", "color0", "effect", "color1"], last: [255, 255, 255] },
                { tag: "55328 static zeroes colour 8", colorful: false, is55328: true, step: 0,
                  effect: 0, order: ["store", "store", "color0", "effect", "color1"], last: [0, 0, 0] },
                { tag: "colourful, everything", colorful: true, is55328: false, step: 0,
                  order: ["store", "store", "color0", "effect", "color0", "effect"], last: [255, 255, 255] },
                { tag: "effect only", colorful: true, is55328: false, step: 1,
                  order: ["store", "color0", "effect"], last: [255, 255, 255] },
                { tag: "colours only", colorful: false, is55328: false, step: 2,
                  order: ["store", "color1"], last: [255, 255, 255] }
            ]
        }

        function test_save(data) {
            setDevice(data.colorful, data.is55328)
            load([String(data.effect === undefined ? 3 : data.effect), "2", "4"])
            lightControlMain.saveData(true, data.step)
            var calls = mainIten.sent()
            var order = calls.map(function (c) {
                return c[0] === "color" ? "color" + c[1] : c[0] })
            compare(order, data.order)
            for (var i = 0; i < calls.length; ++i) {
                var c = calls[i]
                var bytes = c[0] === "color" ? c[2] : (c[1] === "mouse/colorValue" ? c[2] : null)
                if (bytes) {
                    compare(bytes.length, 24)
                    compare(bytes.slice(21, 24), data.last)
                    compare(bytes.slice(15, 18), [255, 127, 0])
                }
                if (c[0] === "effect")
                    compare(c.slice(1), [data.effect === undefined ? 3 : data.effect, 2, 4])
                if (c[1] === "mouse/lightValue")
                    compare(c[2], [data.effect === undefined ? 3 : data.effect, 2, 4])
            }
        }

        function test_backButton() {
            backEnd.factoryData = { "mouse/lightValue": [1, 4, 4],
                                    "mouse/colorValue": [1, 2, 3] }
            mouseClick(find("backButton"))
            compare(lightControlMain.effect, 1)
            compare(lightControlMain.blockColor(0), "#010203")
            compare(lightControlMain.blockColor(1), "#000000")
            verify(lightControlMain.isSave)
            compare(mainIten.sent().length, 0)
            compare(lightControlMain.effectList.count, 4)
        }

        function test_sendOnInit() {
            lightControlMain.init(true, false)
            compare(mainIten.sent().length, 5)
        }
    }
}
