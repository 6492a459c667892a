import QtQuick
import QtTest
import "../../modules/qml/js/Lighting.js" as Lighting

// Colour maths and visibility rules of the lighting screen.
TestCase {
    name: "LightingRules"

    function test_hueColor_data() {
        return [
            { tag: "left end", p: 0, want: "#ff0000" },
            { tag: "p 45: segment 1, f 127", p: 45, want: "#80ff00" },
            { tag: "segment 2 start", p: 60, want: "#00ff00" },
            { tag: "segment 3", p: 105, want: "#0080ff" },
            { tag: "segment 4", p: 135, want: "#7f00ff" },
            { tag: "segment 5 end", p: 179, want: "#ff0009" },
            { tag: "p 180 past the segments: red", p: 180, want: "#ff0000" },
            { tag: "p 182 still red", p: 182, want: "#ff0000" },
            { tag: "p 183 right end: white", p: 183, want: "#ffffff" }
        ]
    }

    function test_hueColor(data) {
        compare(Lighting.hueColor(data.p), data.want)
    }

    function test_sliderMarkerX_data() {
        return [
            { tag: "pure red at the left end", rgb: [255, 0, 0], want: -8 },
            { tag: "grey stays at the left end", rgb: [128, 128, 128], want: -8 },
            { tag: "mixed colour at the left end", rgb: [10, 20, 30], want: -8 },
            { tag: "yellow", rgb: [255, 255, 0], want: 30 + 1 - 9 },
            { tag: "green", rgb: [0, 255, 0], want: 60 + 1 - 9 },
            { tag: "blue", rgb: [0, 0, 255], want: 121 + 1 - 9 },
            { tag: "magenta", rgb: [255, 0, 255], want: 152 + 1 - 9 },
            { tag: "white at the right end", rgb: [255, 255, 255], want: 175 }
        ]
    }

    function test_sliderMarkerX(data) {
        compare(Lighting.sliderMarkerX(data.rgb[0], data.rgb[1], data.rgb[2]), data.want)
    }

    // Placing the marker for a colour of the bar and reading the bar there
    // comes back close to the colour.
    function test_placeThenReadIsClose() {
        var samples = [[255, 128, 0], [0, 255, 200], [40, 0, 255]]
        for (var i = 0; i < samples.length; ++i) {
            var c = samples[i]
            var p = Lighting.positionOfMarker(Lighting.sliderMarkerX(c[0], c[1], c[2]))
            var back = Lighting.rgbOf(Lighting.hueColor(p))
            for (var j = 0; j < 3; ++j)
                verify(Math.abs(back[j] - c[j]) <= 17, JSON.stringify([c, p, back]))
        }
    }

    function test_colorText() {
        compare(Lighting.colorText(255, 127, 0), "#ff7f00")
        compare(Lighting.rgbOf("#6000ff"), [0x60, 0, 0xff])
        compare(Lighting.rgbOf(Qt.rgba(0, 1, 0, 1).toString()), [0, 255, 0])
        compare(Lighting.colorsOf([1, 2, 3]).slice(0, 2), ["#010203", "#000000"])
    }

    // A profile file edited by hand or imported from elsewhere: the screen
    // shows only an effect it offers and steps it can show.
    function test_storedLight_data() {
        return [
            { tag: "stored", list: [2, 1, 3], count: 4, want: [2, 1, 3] },
            { tag: "as texts", list: ["5", "0", "4"], count: 11, want: [5, 0, 4] },
            { tag: "steps out of range", list: [0, -3, 99], count: 4, want: [0, 0, 4] },
            { tag: "steps no number", list: [1, "fast", ""], count: 4, want: [1, 4, 4] },
            { tag: "effect not offered", list: [4, 1, 1], count: 4, want: null },
            { tag: "effect no number", list: ["red", 1, 1], count: 4, want: null },
            { tag: "negative effect", list: [-1, 1, 1], count: 4, want: null },
            { tag: "short", list: [1, 1], count: 4, want: null },
            { tag: "missing", list: undefined, count: 4, want: null }
        ]
    }
    function test_storedLight(data) {
        compare(Lighting.storedLight(data.list, data.count), data.want)
    }

    function test_colorBytes_data() {
        var colors = Lighting.defaultColors
        return [
            { tag: "55328 static zeroes colour 8", effect: 0, is55328: true, last: [0, 0, 0] },
            { tag: "55328 breath loop keeps colour 8", effect: 4, is55328: true, last: [255, 255, 255] },
            { tag: "other device keeps colour 8", effect: 0, is55328: false, last: [255, 255, 255] },
            // Stored black by an earlier save: the 55328 would run on colour 1 alone.
            { tag: "55328 breath loop never sends colour 8 black", effect: 4, is55328: true,
              last8: "#000000", last: [255, 255, 255] },
            { tag: "other device sends a black colour 8", effect: 4, is55328: false,
              last8: "#000000", last: [0, 0, 0] }
        ]
    }

    function test_colorBytes(data) {
        var colors = Lighting.defaultColors.slice(0, 7).concat([data.last8 || Lighting.defaultColors[7]])
        var bytes = Lighting.colorBytes(colors, data.effect, data.is55328)
        compare(bytes.length, 24)
        compare(bytes.slice(0, 6), [255, 0, 0, 0, 255, 0])
        compare(bytes.slice(18, 21), [0x60, 0, 255])
        compare(bytes.slice(21, 24), data.last)
    }

    // A block can be picked when it, its row and the unmasked colour area
    // are all shown.
    function visibleBlocks(stages, colorful, is55328, effect) {
        var shown = []
        for (var k = 0; k < 8; ++k)
            shown.push(Lighting.blockVisible(k, stages, colorful, is55328, effect)
                       && Lighting.rowVisible(effect, is55328) && Lighting.colorAreaActive(effect))
        return shown
    }

    function test_blockVisibility_data() {
        var f = false, t = true
        return [
            { tag: "3 stages, plain device", stages: 3, colorful: f, is55328: f, effect: 3,
              want: [t, t, t, f, f, f, f, f] },
            { tag: "no stages, plain device", stages: 0, colorful: f, is55328: f, effect: 3,
              want: [f, f, f, f, f, f, f, f] },
            { tag: "colourful shows six", stages: 0, colorful: t, is55328: f, effect: 5,
              want: [t, t, t, t, t, t, f, f] },
            { tag: "8 stages still six", stages: 8, colorful: f, is55328: f, effect: 5,
              want: [t, t, t, t, t, t, f, f] },
            { tag: "55328 breath loop", stages: 1, colorful: f, is55328: t, effect: 4,
              want: [t, t, t, t, t, t, f, f] },
            { tag: "55328 other effect", stages: 8, colorful: f, is55328: t, effect: 3,
              want: [t, f, f, f, f, f, f, f] },
            { tag: "55328 static", stages: 8, colorful: f, is55328: t, effect: 0,
              want: [f, f, f, f, f, f, f, f] },
            { tag: "colourful twinkling", stages: 8, colorful: t, is55328: f, effect: 4,
              want: [f, f, f, f, f, f, f, f] }
        ]
    }

    function test_blockVisibility(data) {
        compare(visibleBlocks(data.stages, data.colorful, data.is55328, data.effect), data.want)
    }

}
