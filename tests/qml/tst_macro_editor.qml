import QtQuick
import QtTest
import "support"
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"

// The macro editor against a fake back end: the macro list and its files,
// recording, the step menu, the repeat count and sending.
SceneLook {
    id: mainIten
    width: 700
    height: 500

    readonly property QtObject ui_View: backEnd.view
    property var mainLang: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
        "Reset factory setting", "Cancel", "OK"]
    property var events: []

    FakeBackEnd {
        id: backEnd
    }

    KeyCodeString {
        id: _KeyCodeString
    }

    MacroEditor {
        id: editor
        x: 20
        y: 20
        visible: true
        onMacroDeleted: (name) => mainIten.events.push(["deleted", name])
        onMacroRenamed: (oldName, newName) => mainIten.events.push(["renamed", oldName, newName,
                                                                     JSON.stringify(backEnd.nameLists[0])])
        onMacroEdited: (name) => mainIten.events.push(["edited", name])
    }

    TestCase {
        name: "MacroEditor"
        when: windowShown

        function init() {
            backEnd.nameLists = { 0: ["Macro_0", "Reload"] }
            backEnd.macros = { "Macro_0": ["1,A", "0,50", "2,A", "3"], "Reload": ["1"] }
            editor.stopRecord()
            editor.init()
            backEnd.reset()
            mainIten.events = []
            waitForRendering(editor)
        }

        function names() {
            return backEnd.nameLists[0]
        }

        function test_init_opens_the_first_macro() {
            compare(editor.macroNames, ["Macro_0", "Reload"])
            compare(editor.macroNameModel.count, 2)
            compare(editor.currentMacroName, "Macro_0")
            compare(editor.steps.length, 3)
            compare(editor.steps[1].info, "50")
            compare(editor.repeatCount, 3)
            compare(findChild(editor, "repeatInput").textValue, "3")
        }

        function test_filler_is_dropped() {
            backEnd.nameLists = { 0: ["Only", "nodelistpadx"] }
            editor.init()
            compare(editor.macroNames, ["Only"])
        }

        function test_new_macro() {
            mouseClick(findChild(editor, "macroNew"))
            compare(backEnd.callsOf("createMacroIni"), [["createMacroIni", "Macro_1", 0]])
            compare(names(), ["Macro_0", "Reload", "Macro_1"])
            compare(editor.currentMacroName, "Macro_1")
            compare(editor.selectedMacro, 2)
        }

        function test_no_more_than_100_macros() {
            var list = []
            for (var k = 0; k < 100; ++k)
                list.push("m" + k)
            backEnd.nameLists = { 0: list }
            editor.init()
            backEnd.reset()
            editor.newMacro()
            editor.importMacro()
            compare(backEnd.calls.filter((c) => c[0] !== "loadMacroIni").length, 0)
        }

        function test_import_goes_to_the_selected_place() {
            editor.openMacro(1)
            editor.importMacro()
            compare(backEnd.callsOf("loadMacroFile"), [["loadMacroFile", "Macro_1"]])
            // The fake's dialog is cancelled: an empty macro is created.
            compare(backEnd.callsOf("createMacroIni"), [["createMacroIni", "Macro_1", 0]])
            compare(names(), ["Macro_0", "Macro_1", "Reload"])
            compare(editor.currentMacroName, "Macro_1")
        }

        function test_export_the_selected_macro() {
            editor.openMacro(1)
            editor.exportMacro()
            compare(backEnd.callsOf("saveMacroFile"), [["saveMacroFile", "Reload"]])
        }

        function test_delete() {
            mouseClick(findChild(editor, "macroDelete"))
            compare(backEnd.callsOf("deleteMacroIni"), [["deleteMacroIni", "Macro_0"]])
            compare(mainIten.events, [["deleted", "Macro_0"]])
            compare(names(), ["Reload"])
            compare(editor.currentMacroName, "Reload")
        }

        // The shell moves the bindings before the list is written.
        function test_rename() {
            verify(editor.renameMacro(0, "Burst"))
            compare(mainIten.events, [["renamed", "Macro_0", "Burst", JSON.stringify(["Macro_0", "Reload"])]])
            compare(names(), ["Burst", "Reload"])
            compare(editor.currentMacroName, "Burst")
        }

        function test_rename_refused_data() {
            return [
                { tag: "duplicate", name: "Reload" },
                { tag: "path", name: "../x" },
                { tag: "empty", name: "" },
                { tag: "a stray file of that name", name: "Stray" },
            ]
        }

        function test_rename_refused(data) {
            backEnd.macros["Stray"] = ["1"]
            verify(!editor.renameMacro(0, data.name))
            compare(mainIten.events, [])
            compare(backEnd.callsOf("updataNameList").length, 0)
        }

        function test_rename_by_double_click() {
            var row = null
            tryVerify(() => (row = findChild(editor, "macro1")) !== null)
            mouseDoubleClickSequence(row, 40, 12)
            verify(findChild(editor, "macroNameEditor").editing)
            keyClick(Qt.Key_A, Qt.ControlModifier)
            keyClick(Qt.Key_Z)
            keyClick(Qt.Key_Return)
            compare(names(), ["Macro_0", "z"])
        }

        function test_recording_saves_each_event_and_sends_at_stop() {
            editor.openMacro(1)
            backEnd.reset()
            mouseClick(findChild(editor, "recordButton"))
            verify(editor.isRecording)
            editor.detectKeyboard(true, 0x04)
            wait(120)
            editor.detectKeyboard(false, 0x04)
            compare(backEnd.callsOf("saveMacroIni").length, 2)
            compare(mainIten.events, [])
            var texts = backEnd.macros["Reload"]
            compare(texts[0], "1,A")
            compare(texts[2], "2,A")
            var delay = Number(texts[1].substring(2))
            verify(texts[1].startsWith("0,") && delay >= 100 && delay <= 300 && delay % 10 === 0, texts[1])
            mouseClick(findChild(editor, "recordButton"))
            verify(!editor.isRecording)
            compare(mainIten.events, [["edited", "Reload"]])
        }

        function test_recording_without_delays() {
            editor.openMacro(1)
            findChild(editor, "delayCheck").isSelect = true
            mouseClick(findChild(editor, "delayCheck"))
            compare(editor.recordDelay, false)
            editor.startRecord()
            editor.detectKeyboard(true, 0xE1)
            editor.detectKeyboard(true, 0x05)
            editor.detectKeyboard(false, 0x05)
            editor.stopRecord()
            compare(backEnd.macros["Reload"], ["1,LShift", "1,B", "2,B", "1"])
            mouseClick(findChild(editor, "delayCheck"))
            compare(editor.recordDelay, true)
        }

        function test_step_menu_inserts_clicks() {
            var step = findChild(editor, "step2")
            mousePress(step, 40, 10, Qt.RightButton)
            mouseRelease(step, 40, 10, Qt.RightButton)
            verify(findChild(editor, "stepMenu").visible)
            editor.insertClick(0xF1)                   // last step selected: at the end
            compare(backEnd.macros["Macro_0"], ["1,A", "0,50", "2,A", "3,MS-R", "4,MS-R", "3"])
            compare(backEnd.callsOf("saveMacroIni")[0][3], 3)
            compare(mainIten.events, [["edited", "Macro_0"]])
            editor.selectedStep = 0
            editor.insertDelay()
            compare(backEnd.macros["Macro_0"][0], "0,50")
            editor.deleteStep(0)
            compare(backEnd.macros["Macro_0"], ["1,A", "0,50", "2,A", "3,MS-R", "4,MS-R", "3"])
        }

        function test_insert_key_box() {
            editor.selectedStep = -1
            editor.startInsert()
            verify(findChild(editor, "insertBox").visible)
            editor.detectInput(true, 0xF0)              // mouse buttons are ignored
            compare(editor.insertCode, 0)
            editor.detectInput(true, 0x2C)
            editor.detectInput(false, 0x2C)
            compare(findChild(editor, "insertKeyName").text, "Space")
            mouseClick(findChild(editor, "insertOk"))
            verify(!editor.isInserting)
            compare(backEnd.macros["Macro_0"].slice(3), ["1,Space", "2,Space", "3"])
        }

        function full() {
            var list = ["1,A"]
            for (var i = 0; i < 30; ++i)
                list.push("2,A", "1,A")
            list.push("2,A", "1")
            return list                                 // 62 actions: 128 bytes
        }

        function test_full_macro_refuses_additions() {
            backEnd.macros["Macro_0"] = full()
            editor.openMacro(0)
            verify(editor.full)
            verify(!editor.insertDelay())
            verify(!editor.insertClick(0xF0))
            editor.startRecord()
            editor.detectKeyboard(true, 0x04)
            editor.stopRecord()
            compare(editor.steps.length, 62)
            editor.startInsert()
            verify(!editor.isInserting)
        }

        function test_repeat_count_takes_five_digits() {
            var input = findChild(editor, "repeatInput")
            input.txtInput.forceActiveFocus()
            input.txtInput.selectAll()
            for (const k of [Qt.Key_6, Qt.Key_5, Qt.Key_5, Qt.Key_3, Qt.Key_5])
                keyClick(k)
            editor.macroEditorFocus()
            compare(editor.repeatCount, 65535)
            compare(backEnd.callsOf("saveMacroIni")[0][3], 65535)
            editor.setRepeat("0")
            compare(editor.repeatCount, 1)
            compare(input.textValue, "1")
        }

        function test_send_macro_encodes_the_stored_steps() {
            editor.sendMacro(3, "Macro_0")
            compare(backEnd.callsOf("mouseSendMacroData"), [["mouseSendMacroData", [0, 3, 5, 4, 0x81, 4, 0, 0], 3]])
        }

        function test_delay_edit() {
            mouseDoubleClickSequence(findChild(editor, "step1"), 80, 12)
            verify(findChild(editor, "delayEditor").editing)
            keyClick(Qt.Key_A, Qt.ControlModifier)
            keyClick(Qt.Key_2)
            keyClick(Qt.Key_0)
            keyClick(Qt.Key_0)
            keyClick(Qt.Key_Return)
            compare(backEnd.macros["Macro_0"], ["1,A", "0,200", "2,A", "3"])
        }
    }
}
