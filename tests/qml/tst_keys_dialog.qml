import QtQuick
import QtTest
import "../../modules/qml/basic"
import "../../modules/qml/J2"
import "support"

// The key list and the key assignment dialog, driven as a user would: with
// clicks on the dialog's controls and key events as the shell passes them on
// from the input hooks.
SceneLook {
    id: mainIten
    width: 1024
    height: 640

    readonly property QtObject ui_View: backEnd.view

    FakeBackEnd {
        id: backEnd
    }

    // The shell's mouse picture and macro editor opener, as far as the
    // screens use them.
    QtObject {
        id: mouseMain
        property int keyCount: 8
        property int selectKey: -1
    }

    property int macroEditorOpened: 0
    function openMacroEditor() {
        macroEditorOpened += 1
    }

    QtObject {
        id: macroEditorMain
        property var sent: []
        function sendMacro(index, name) {
            sent.push([index, name])
        }
    }

    KeyMatrix {
        id: keyMatrixMain
        x: 24
        y: 88
        keyDialog: keyAssigmentMain
    }

    KeyAssigment {
        id: keyAssigmentMain
        keyMatrix: keyMatrixMain
        macroEditor: macroEditorMain
    }

    TestCase {
        name: "KeyDialog"
        when: windowShown

        readonly property var layout: [
            [0, 0, 0xF0, 0], [0, 0, 0xF1, 0], [0, 0, 0xF2, 0], [0, 0, 0xF4, 0],
            [0, 0, 0xF3, 0], [5, 0, 1, 0], [5, 0, 2, 0], [0, 0xF0, 0x1E, 2],
            [4, 0, 8, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0],
            [0, 0, 0, 0], [0, 0, 0, 0], [0xFF, 0, 1, 0], [0xFF, 0, 2, 0]
        ]

        function find(name) {
            var item = findChild(keyAssigmentMain, name)
            verify(item !== null, name)
            return item
        }

        function codesOfDialog() {
            return [keyAssigmentMain.keyCode0, keyAssigmentMain.keyCode1,
                    keyAssigmentMain.keyCode2, keyAssigmentMain.keyCode3]
        }

        function codesOfRow(i) {
            return keyMatrixMain.entryCodes(keyMatrixMain.modKeys, i)
        }

        // Brings the section that holds `item` into view and clicks it.
        function click(item, x, y) {
            var body = find("body")
            var pos = item.mapToItem(body.contentItem, 0, 0)
            body.contentY = Math.max(0, Math.min(body.contentHeight - body.height, pos.y - 40))
            wait(0)
            mouseClick(item, x === undefined ? item.width / 2 : x, y === undefined ? item.height / 2 : y)
        }

        function key(isDown, code, index) {
            keyAssigmentMain.detectKeyboard(isDown, code, index)
        }

        function init() {
            var stored = {}, factory = {}
            for (var i = 0; i < 16; ++i) {
                stored[i] = layout[i].map(String)   // the store hands back text
                factory[i] = layout[i]
            }
            delete stored[9]                        // a missing key
            stored[10] = ["7"]                      // a short one
            factory[9] = [0, 0, 0xF4, 0]
            backEnd.keyDefines = stored
            backEnd.factoryKeyDefines = factory
            backEnd.profileData = { "mouseMacroKey/8": "burst" }
            backEnd.globalData = { "mouse/selectGun": ["2", "0", "1"] }
            macroEditorMain.sent = []
            keyMatrixMain.init(false, false)
            keyMatrixMain.isSave = false
            backEnd.reset()
        }

        function cleanup() {
            if (keyAssigmentMain.visible)
                keyAssigmentMain.closeDialog()
        }

        function test_listInit() {
            compare(keyMatrixMain.modKeys.get(7).keyText, "Double Fire")
            compare(keyMatrixMain.modKeys.get(8).keyText, "burst")
            compare(keyMatrixMain.modKeys.get(5).keyText, "DPI+")
            compare(codesOfRow(0), [0, 0, 0xF0, 0])
            compare(typeof codesOfRow(0)[2], "number")
            // Button 9 has no stored definition: it keeps the factory one.
            compare(codesOfRow(9), [0, 0, 0xF4, 0])
            compare(keyMatrixMain.modKeys_tmp.get(9).keyText, "Forward Key")
            compare(codesOfRow(10), [7, 0, 0, 0])
        }

        function test_saveSendsTheMatrix() {
            keyMatrixMain.init(true, false)
            var calls = backEnd.callsOf("mouseSetKeyMatrix")
            compare(calls.length, 1)
            var values = calls[0][1]
            compare(values.length, 64)
            compare(values.slice(0, 8), [0, 0, 0xF0, 0, 0, 0, 0xF1, 0])
            compare(values.slice(28, 44), [0, 0xF0, 0x1E, 2, 4, 0, 8, 0, 0, 0, 0xF4, 0, 7, 0, 0, 0])
            compare(calls[0][2], true)
            // Weapon entries the data file lacks keep the built-in period.
            compare(calls[0][3], [10, 10, 10])
            compare(backEnd.callsOf("getGunData").map((c) => c[1]), [2, 0, 1])
        }

        function test_fireKey() {
            keyAssigmentMain.show(3)
            var box = find("fireKeyBox")
            click(box)
            verify(keyAssigmentMain.isFireInput)
            key(true, 0x04, 0)
            verify(!keyAssigmentMain.isFireInput)
            compare(codesOfDialog(), [1, 4, 0x0A, 0])
            compare(keyAssigmentMain.keyString, "A")
            compare(keyAssigmentMain.fireBoxText, "A")

            // Rate slider: open it and click where the knob lands at 29.
            var rate = find("rateSlider")
            click(rate, 20)
            tryCompare(rate, "isDrop", true)
            wait(250)
            var slider = rate.sliderControl
            mouseClick(slider, 29 + slider.knobWidth / 2, slider.height / 2)
            tryCompare(keyAssigmentMain, "keyCode2", 0x1E)
            compare(rate.textValue, "30MS")
            compare(codesOfDialog(), [1, 4, 0x1E, 0])

            keyAssigmentMain.closeDialog()
            compare(codesOfRow(3), [1, 4, 0x1E, 0])
            compare(keyMatrixMain.modKeys.get(3).keyText, "A")
            verify(keyMatrixMain.isSave)
        }

        function test_fireTimesAndEndless() {
            keyAssigmentMain.show(4)
            click(find("fireKeyBox"))
            key(false, 0x1E, 0)                 // a release ends the input too
            compare(keyAssigmentMain.keyString, "1")
            var times = find("timesBox")
            var endless = find("endlessBox")
            verify(endless.isSelect)
            times.textValue = "5"
            keyAssigmentMain.timesEdited()
            compare(keyAssigmentMain.keyCode3, 5)
            verify(!endless.isSelect)
            click(endless)
            verify(endless.isSelect)
            compare(times.textValue, "0")
            compare(keyAssigmentMain.keyCode3, 0)
            click(endless)                      // clearing changes nothing else
            verify(!endless.isSelect)
            compare(keyAssigmentMain.keyCode3, 0)
        }

        function pressCombo(codes) {
            click(find("comboBox"), 20)
            verify(keyAssigmentMain.isComboInput)
            compare(find("comboText").text, "")
            for (var i = 0; i < codes.length; ++i) {
                key(true, codes[i], 1)
                key(false, codes[i], 1)
            }
        }

        function test_combination() {
            keyAssigmentMain.show(4)
            pressCombo([0xE0, 0xE1, 0x04])
            compare(find("comboText").text, "LCtrl + LShift + A")
            click(find("comboOk"))
            verify(!keyAssigmentMain.isComboInput)
            compare(codesOfDialog(), [2, 3, 4, 0])
            compare(find("comboText").text, "LCtrl + LShift + A")
            keyAssigmentMain.closeDialog()
            compare(codesOfRow(4), [2, 3, 4, 0])
            compare(keyMatrixMain.modKeys.get(4).keyText, "LCtrl+LShift+A")
        }

        function test_combinationThirdKeyIgnored() {
            keyAssigmentMain.show(4)
            pressCombo([0x04, 0x05, 0x06])
            compare(find("comboText").text, "A + B")
            click(find("comboOk"))
            compare(codesOfDialog(), [2, 0, 4, 5])
        }

        function test_combinationCancelAndEmpty() {
            keyAssigmentMain.show(4)
            pressCombo([0x04])
            click(find("comboCancel"))
            compare(find("comboText").text, "Click Input")
            compare(codesOfDialog(), [0, 0, 0xF3, 0])
            pressCombo([])
            click(find("comboOk"))
            compare(find("comboText").text, "Click Input")
            compare(codesOfDialog(), [0, 0, 0xF3, 0])
            // Key events that arrive while no input runs change nothing.
            key(true, 0x04, 1)
            key(true, 0x04, 0)
            compare(codesOfDialog(), [0, 0, 0xF3, 0])
        }

        function test_macro() {
            var names = keyAssigmentMain.macroModel
            names.clear()
            names.append({ textValue: "m1" })
            names.append({ textValue: "reload" })
            keyAssigmentMain.show(2)
            var list = keyAssigmentMain.macroList
            click(find("modeRadio1"))
            compare(keyAssigmentMain.macroMode, 1)
            click(list, 40)
            tryCompare(list, "isDrop", true)
            wait(250)
            var item = findChild(list, "item1")
            mouseClick(item, 40, item.height / 2)
            tryCompare(keyAssigmentMain, "keyCode0", 4)
            compare(codesOfDialog(), [4, 1, 2, 0])
            compare(keyAssigmentMain.keyString, "reload")
            click(find("modeRadio2"))
            compare(codesOfDialog(), [4, 2, 2, 0])
            click(find("modeRadio1"))
            keyAssigmentMain.closeDialog()
            compare(backEnd.callsOf("setData"), [["setData", "mouseMacroKey/2", "reload"]])
            compare(macroEditorMain.sent, [[2, "reload"]])
            compare(codesOfRow(2), [4, 1, 2, 0])
            compare(keyMatrixMain.modKeys.get(2).keyText, "reload")
        }

        function test_rowsFollowTheMousePicture() {
            mouseMain.keyCount = 6
            verify(findChild(keyMatrixMain, "keyRow5").visible)
            verify(!findChild(keyMatrixMain, "keyRow6").visible)
            mouseMain.keyCount = 8
            var clicked = []
            var record = function (i) { clicked.push(i) }
            keyMatrixMain.clickBtn.connect(record)
            mouseClick(findChild(keyMatrixMain, "keyRow2"))
            keyMatrixMain.clickBtn.disconnect(record)
            compare(clicked, [2])
        }

        function test_macroEditorButton() {
            mainIten.macroEditorOpened = 0
            keyAssigmentMain.show(2)
            click(find("macroEditorButton"))
            compare(mainIten.macroEditorOpened, 1)
        }

        function test_closeWithoutChange_data() {
            return [{ tag: "clean", isSave: false }, { tag: "already marked", isSave: true }]
        }

        function test_closeWithoutChange(data) {
            keyMatrixMain.isSave = data.isSave
            mouseMain.selectKey = 1
            keyAssigmentMain.show(1)
            // Choosing the definition the button already has is no change.
            click(find("mouseRadio2"))
            compare(codesOfDialog(), [0, 0, 0xF1, 0])
            click(find("closeButton"))
            verify(!keyAssigmentMain.visible)
            compare(keyMatrixMain.isSave, data.isSave)
            compare(backEnd.callsOf("setData").length, 0)
            compare(mouseMain.selectKey, -1)
            compare(keyMatrixMain.selectKey, -1)
        }

        function test_lastLeftButton() {
            var keys = keyMatrixMain.modKeys
            verify(keys.checkOneLeftKey(0))
            verify(!keys.checkOneLeftKey(1))
            mouseMain.selectKey = 0
            verify(keys.checkOneLeftKey())
            mouseMain.selectKey = -1
            // Left on a second button frees both.
            keyAssigmentMain.show(1)
            click(find("mouseRadio0"))
            keyAssigmentMain.closeDialog()
            verify(!keys.checkOneLeftKey(0))
            verify(!keys.checkOneLeftKey(1))
            // Moving the first one away leaves the second locked.
            keyAssigmentMain.show(0)
            click(find("mouseRadio1"))
            keyAssigmentMain.closeDialog()
            verify(keys.checkOneLeftKey(1))
        }

        function test_backRestoresFactory() {
            keyAssigmentMain.show(5)
            click(find("dpiRadio3"))
            compare(codesOfDialog(), [5, 0, 4, 0])
            compare(keyAssigmentMain.keyString, "Sniper Key")
            keyAssigmentMain.closeDialog()
            keyMatrixMain.isSave = false
            keyAssigmentMain.show(5)
            click(find("backButton"))
            compare(codesOfDialog(), [5, 0, 1, 0])
            compare(keyAssigmentMain.keyString, "DPI+")
            compare(codesOfRow(5), [5, 0, 1, 0])
            verify(keyMatrixMain.isSave)
        }

        // Opening the dialog shows the button's function in its section;
        // `shows` lists control properties, `radios` the radios selected
        // among the mouse-function and DPI ones.
        function test_showsCurrentFunction_data() {
            return [
                { tag: "middle key", codes: [0, 0, 0xF2, 0], radios: ["mouseRadio1"] },
                { tag: "double fire", codes: [0, 0xF0, 0x1E, 2], radios: ["mouseRadio5"] },
                { tag: "disabled", codes: [0, 0, 0, 0], radios: ["mouseRadio6"] },
                { tag: "fire", codes: [1, 4, 0x1E, 5], radios: [],
                  shows: [["fireKeyBox", "fireText", "A"], ["rateSlider", "textValue", "30MS"],
                          ["timesBox", "textValue", "5"], ["endlessBox", "isSelect", false]] },
                { tag: "combination", codes: [2, 3, 4, 0], radios: [],
                  shows: [["comboText", "text", "LCtrl + LShift + A"]] },
                { tag: "media", codes: [3, 0, 0xE9, 0], radios: [], shows: [["mediaGrid", "currentSelect", 6]] },
                { tag: "macro", codes: [4, 2, 8, 0], radios: [],
                  shows: [["macroList", "currentSelect", 1], ["modeRadio2", "isSelect", true],
                          ["modeRadio0", "isSelect", false]] },
                { tag: "dpi", codes: [5, 0, 4, 0], radios: ["dpiRadio3"] },
                { tag: "shortcut", codes: [7, 0, 0xE0, 0x1D], radios: [], shows: [["shortcutGrid", "currentSelect", 8]] }
            ]
        }

        function test_showsCurrentFunction(data) {
            var names = keyAssigmentMain.macroModel
            names.clear()
            names.append({ textValue: "m1" })
            names.append({ textValue: "burst" })
            keyAssigmentMain.show(0)            // a selection left from before
            keyMatrixMain.setEntry(keyMatrixMain.modKeys, 8, data.codes,
                                   keyAssigmentMain.keyCodeToString(data.codes[0], data.codes[1],
                                                                    data.codes[2], data.codes[3]))
            keyAssigmentMain.show(8)
            var radios = []
            for (var i = 0; i < 7; ++i)
                if (find("mouseRadio" + i).isSelect) radios.push("mouseRadio" + i)
            for (i = 0; i < 4; ++i)
                if (find("dpiRadio" + i).isSelect) radios.push("dpiRadio" + i)
            compare(radios, data.radios)
            var shows = data.shows || []
            for (i = 0; i < shows.length; ++i) {
                var value = shows[i][1] === "fireText" ? keyAssigmentMain.fireBoxText
                                                       : find(shows[i][0])[shows[i][1]]
                compare(value, shows[i][2], shows[i][0])
            }
            compare(codesOfDialog(), data.codes)
        }

        function test_grids_data() {
            return [
                { tag: "media", grid: "mediaGrid", cell: 6, codes: [3, 0, 0xE9, 0], text: "Volumn+" },
                { tag: "windows", grid: "windowsGrid", cell: 3, codes: [6, 0, 0xE3, 7], text: "Desktop" },
                { tag: "shortcut", grid: "shortcutGrid", cell: 8, codes: [7, 0, 0xE0, 0x1D], text: "Undo" }
            ]
        }

        function test_grids(data) {
            keyAssigmentMain.show(6)
            var grid = find(data.grid)
            click(grid, 20)
            tryCompare(grid, "isDrop", true)
            wait(250)
            var cell = findChild(grid, "cell" + data.cell)
            verify(cell !== null)
            mouseClick(cell, cell.width / 2, cell.height / 2)
            compare(codesOfDialog(), data.codes)
            compare(keyAssigmentMain.keyCode, data.codes.map(function (c) {
                return (c < 16 ? "0" : "") + c.toString(16).toUpperCase() }).join(""))
            compare(keyAssigmentMain.keyString, data.text)
            compare(find("title").text, "Key 7 : " + data.text)
        }
    }
}
