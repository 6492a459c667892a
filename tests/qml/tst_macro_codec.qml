import QtQuick
import QtTest
import "../../modules/qml/js/MacroCodec.js" as Macro
import "../../modules/qml/js/KeyCodes.js" as KeyCodes

// The macro byte stream and the length rule that keeps it in one payload.
TestCase {
    name: "MacroCodec"

    function codeOf(name) {
        return KeyCodes.strTokeycode(KeyCodes.codes, KeyCodes.names, name)
    }

    function steps(texts) {
        return Macro.parseMacroIni(texts.concat(["1"])).steps
    }

    function hex(bytes) {
        return bytes.map(function (b) { return ("0" + b.toString(16)).slice(-2) }).join(" ")
    }

    function test_encode_data() {
        return [
            { tag: "press A, 50 ms, release A",
              steps: ["1,A", "0,50", "2,A"], repeat: 1,
              bytes: "00 01 05 04 81 04 00 00" },
            { tag: "repeat count high and low byte",
              steps: ["1,A", "0,50", "2,A"], repeat: 0x1234,
              bytes: "12 34 05 04 81 04 00 00" },
            { tag: "1270 ms takes the long form",
              steps: ["1,A", "0,1270", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 01 00 3f 81 04 00 00" },
            { tag: "1260 ms is still one byte",
              steps: ["1,A", "0,1260", "2,A"], repeat: 1,
              bytes: "00 01 7e 04 81 04 00 00" },
            { tag: "delays between actions add up",
              steps: ["1,A", "0,30", "0,40", "2,A"], repeat: 1,
              bytes: "00 01 07 04 81 04 00 00" },
            { tag: "0 ms is sent as 10 ms",
              steps: ["1,A", "0,0", "2,A"], repeat: 1,
              bytes: "00 01 01 04 81 04 00 00" },
            { tag: "no delay at all is sent as 10 ms",
              steps: ["1,B", "2,B"], repeat: 1,
              bytes: "00 01 01 05 81 05 00 00" },
            { tag: "backslash is its first code 0x31",
              steps: ["1,\\", "2,\\"], repeat: 1,
              bytes: "00 01 01 31 81 31 00 00" },
            { tag: "Intl2 is its first code 0x88",
              steps: ["1,Intl2", "2,Intl2"], repeat: 1,
              bytes: "00 01 01 88 81 88 00 00" },
            { tag: "mouse buttons carry release flags too",
              steps: ["3,MS-L", "0,20", "4,MS-L", "0,20", "3,MS-R"], repeat: 2,
              bytes: "00 02 02 f0 82 f0 01 f1 00 00" },
            { tag: "a release last ends with 0x81",
              steps: ["1,LCtrl", "1,C", "2,C", "2,LCtrl"], repeat: 1,
              bytes: "00 01 01 e0 01 06 81 06 81 e0 00 00" },
            { tag: "leading delays are skipped",
              steps: ["0,500", "1,A", "0,50", "2,A"], repeat: 1,
              bytes: "00 01 05 04 81 04 00 00" },
            { tag: "a single press is the count alone",
              steps: ["1,A"], repeat: 1, bytes: "00 01" },
            { tag: "no actions at all", steps: ["0,100"], repeat: 3, bytes: "00 03" },
            { tag: "an unknown name is code 0",
              steps: ["1,NoSuchKey", "2,NoSuchKey"], repeat: 1,
              bytes: "00 01 01 00 81 00 00 00" },
            { tag: "20 s uses 20 ms units",
              steps: ["1,A", "0,20000", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 01 03 e8 81 04 00 00" },
            { tag: "1000 s uses 50 ms units",
              steps: ["1,A", "0,1000000", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 02 4e 20 81 04 00 00" },
            { tag: "3000 s uses 100 ms units",
              steps: ["1,A", "0,3000000", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 03 75 30 81 04 00 00" },
            { tag: "beyond the longest delay the count stops at 59999",
              steps: ["1,A", "0,9000000", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 03 ea 5f 81 04 00 00" },
            { tag: "55 ms rounds to 60 ms",
              steps: ["1,A", "0,55", "2,A"], repeat: 1,
              bytes: "00 01 06 04 81 04 00 00" },
        ]
    }

    function test_encode(data) {
        compare(hex(Macro.encode(steps(data.steps), data.repeat, codeOf)), data.bytes)
    }

    // The estimate must match the real stream, or the limit would let a
    // macro outgrow its payload.
    function test_estimate_matches_stream_data() {
        return [
            { tag: "empty", steps: [], length: 2 },
            { tag: "one action", steps: ["1,A"], length: 2 },
            { tag: "click", steps: ["1,A", "0,50", "2,A"], length: 8 },
            { tag: "long delay", steps: ["1,A", "0,1270", "2,A"], length: 12 },
            { tag: "two long delays", steps: ["1,A", "0,5000", "2,A", "0,2000", "1,B"], length: 18 },
        ]
    }

    function test_estimate_matches_stream(data) {
        var s = steps(data.steps)
        compare(Macro.encodedLength(s), data.length)
        compare(Macro.encode(s, 1, codeOf).length, data.length)
    }

    function clicks(n) {
        var list = []
        for (var i = 0; i < n; ++i)
            list.push({ type: 1, info: "A" }, { type: 0, info: "10" }, { type: 2, info: "A" })
        return list
    }

    // 60 actions make 2 + 59 * 2 + 4 = 124 bytes: one more action is taken
    // (126), after that nothing is.
    function test_limit_refuses_the_step_after_126_bytes() {
        var s = clicks(30)
        compare(Macro.encodedLength(s), 124)
        var more = Macro.recordEvent(s, true, 0x05, "B", 1, true)
        verify(more !== null)
        compare(Macro.encodedLength(more), 126)
        compare(Macro.encode(more, 1, codeOf).length, 126)
        compare(Macro.recordEvent(more, false, 0x05, "B", 1, true), null)
        compare(Macro.insertDelay(more, 0), null)
        compare(Macro.insertPair(more, -1, 0xF0, "MS-L"), null)
        // An inserted click is checked once, before its two steps.
        var pair = Macro.insertPair(s, -1, 0xF0, "MS-L")
        compare(Macro.encode(pair.steps, 1, codeOf).length, 128)
    }

    // Below the limit, a long pause in front of the next action would add
    // six bytes and push the end mark out of the payload.
    function test_long_delay_that_would_overflow_is_refused() {
        var s = clicks(30)
        compare(Macro.recordEvent(s, true, 0x05, "B", 200, true), null)
        verify(Macro.recordEvent(s, true, 0x05, "B", 200, false) !== null)
    }

    function test_recording() {
        var s = []
        s = Macro.recordEvent(s, true, 0x04, "A", 37, true)
        compare(Macro.stepTexts(s), ["1,A"])            // no delay before the first step
        s = Macro.recordEvent(s, false, 0x04, "A", 12, true)
        compare(Macro.stepTexts(s), ["1,A", "0,120", "2,A"])
        s = Macro.recordEvent(s, true, 0xF0, "MS-L", 5, false)
        s = Macro.recordEvent(s, false, 0xF1, "MS-R", 5, false)
        compare(Macro.stepTexts(s), ["1,A", "0,120", "2,A", "3,MS-L", "4,MS-R"])
        compare(Macro.recordEvent(s, true, 0x99, "", 1, true), null)
    }

    function test_insert_positions_data() {
        return [
            { tag: "nothing selected: at the end", selected: -1, pairAt: 3, delayAt: 3 },
            { tag: "last selected: at the end", selected: 2, pairAt: 3, delayAt: 2 },
            { tag: "first selected: in its place", selected: 0, pairAt: 0, delayAt: 0 },
            { tag: "middle selected: in its place", selected: 1, pairAt: 1, delayAt: 1 },
        ]
    }

    function test_insert_positions(data) {
        var s = steps(["1,A", "0,50", "2,A"])
        var pair = Macro.insertPair(s, data.selected, 0xF2, "MS-M")
        compare(pair.index, data.pairAt)
        compare(Macro.stepText(pair.steps[data.pairAt]), "3,MS-M")
        compare(Macro.stepText(pair.steps[data.pairAt + 1]), "4,MS-M")
        compare(pair.steps.length, 5)
        var delay = Macro.insertDelay(s, data.selected)
        compare(delay.index, data.delayAt)
        compare(Macro.stepText(delay.steps[data.delayAt]), "0,50")
        compare(s.length, 3)        // the input list is not changed
    }

    function test_parse_macro_ini_data() {
        return [
            { tag: "fresh macro", list: ["1"], steps: [], repeat: 1 },
            { tag: "missing file", list: [], steps: [], repeat: 1 },
            { tag: "three steps", list: ["1,A", "0,50", "2,A", "3"],
              steps: ["1,A", "0,50", "2,A"], repeat: 3 },
            { tag: "names with commas stay whole", list: ["1,,", "2,,", "7"],
              steps: ["1,,", "2,,"], repeat: 7 },
            { tag: "mouse steps", list: ["3,MS-L", "4,MS-L", "65535"],
              steps: ["3,MS-L", "4,MS-L"], repeat: 65535 },
            { tag: "count above the field's range", list: ["1,A", "70000"], steps: ["1,A"], repeat: 65535 },
            { tag: "count 0 reads as 1", list: ["1,A", "0"], steps: ["1,A"], repeat: 1 },
            { tag: "unknown step types are skipped", list: ["9,A", "x,B", "1,C", "2"],
              steps: ["1,C"], repeat: 2 },
        ]
    }

    function test_parse_macro_ini(data) {
        var m = Macro.parseMacroIni(data.list)
        compare(Macro.stepTexts(m.steps), data.steps)
        compare(m.repeat, data.repeat)
        if (m.steps.length > 0)
            compare(typeof m.steps[0].type, "number")
    }

    function test_set_delay() {
        var s = steps(["1,A", "0,50", "2,A"])
        compare(Macro.stepTexts(Macro.setDelay(s, 1, "200")), ["1,A", "0,200", "2,A"])
        compare(Macro.setDelay(s, 0, "200"), null)        // not a delay
        compare(Macro.setDelay(s, 1, "-5"), null)
        var full = clicks(31)                             // 128 bytes
        compare(Macro.setDelay(full, 1, "5000"), null)    // would need 4 more
        verify(Macro.setDelay(full, 1, "500") !== null)
    }
}
