import QtQuick
import QtTest
import "support"

// The whole scene: the macro editor's changes reaching the key list and the
// mouse through the shell's bookkeeping.
Item {
    id: top
    width: 1024
    height: 640

    readonly property QtObject ui_View: backEnd.view
    readonly property QtObject ui_Ctl: backEnd.ctl

    FakeBackEnd {
        id: backEnd
    }

    TestCase {
        name: "MacroFlow"
        when: windowShown

        property var scene: null
        property var editor: null

        // Buttons 3 and 6 play "Burst" from macro slots 3 and 6, button 4
        // plays "Other"; their factory definitions are plain buttons.
        readonly property var defines: [[0, 0, 0xF0, 0], [0, 0, 0xF1, 0], [0, 0, 0xF2, 0], [4, 0, 3, 0],
                                        [4, 1, 4, 0], [5, 0, 1, 0], [4, 2, 6, 0], [0, 0xF0, 0x1E, 2]]
        readonly property var factory: [[0, 0, 0xF0, 0], [0, 0, 0xF1, 0], [0, 0, 0xF2, 0], [0, 0, 0xF4, 0],
                                        [0, 0, 0xF3, 0], [5, 0, 1, 0], [5, 0, 2, 0], [0, 0xF0, 0x1E, 2]]

        function init() {
            backEnd.reset()
            backEnd.globalData = {}
            backEnd.profileData = { "mouseMacroKey/3": "Burst", "mouseMacroKey/4": "Other", "mouseMacroKey/6": "Burst" }
            backEnd.nameLists = { 0: ["Burst", "Other"] }
            backEnd.macros = { "Burst": ["1,A", "0,50", "2,A", "2"], "Other": ["1"] }
            backEnd.keyDefines = {}
            backEnd.factoryKeyDefines = {}
            for (var i = 0; i < defines.length; ++i) {
                backEnd.keyDefines[i] = defines[i]
                backEnd.factoryKeyDefines[i] = factory[i]
            }
            var component = Qt.createComponent("qrc:/modules/qml/main.qml")
            verify(component.status === Component.Ready, component.errorString())
            scene = component.createObject(top)
            scene.initUI()
            scene.setProtectUI(0)
            tryVerify(() => child("leftPanel").visible, 2000)
            fillKeyList()
            editor = child("macroEditorMain")
            mouseClick(child("macroEditorEntry"), 40, 14)
            verify(editor.visible)
            backEnd.reset()
        }

        // A key list that does not read its definitions itself gets them here.
        function fillKeyList() {
            var keys = child("keyMatrixMain").modKeys
            var saved = child("keyMatrixMain").modKeys_tmp
            if (keys.count >= defines.length)
                return
            keys.clear()
            saved.clear()
            for (var i = 0; i < defines.length; ++i) {
                var d = defines[i], f = factory[i]
                keys.append({ keyCode0: d[0], keyCode1: d[1], keyCode2: d[2], keyCode3: d[3], keyText: "" })
                saved.append({ keyCode0: f[0], keyCode1: f[1], keyCode2: f[2], keyCode3: f[3], keyText: "f" + i })
            }
        }

        function cleanup() {
            scene.destroy()
            scene = null
        }

        function child(name) {
            var item = findChild(scene, name)
            verify(item !== null, "no " + name)
            return item
        }

        function key(i) {
            var e = child("keyMatrixMain").modKeys.get(i)
            return [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3]
        }

        function test_edit_resends_to_every_bound_button() {
            editor.openMacro(0)
            editor.insertClick(0xF0)
            compare(backEnd.callsOf("mouseSendMacroData"), [
                ["mouseSendMacroData", [0, 2, 5, 4, 0x81, 4, 1, 0xF0, 0x81, 0xF0, 0, 0], 3],
                ["mouseSendMacroData", [0, 2, 5, 4, 0x81, 4, 1, 0xF0, 0x81, 0xF0, 0, 0], 6]])
            verify(backEnd.indexOf("saveMacroIni", 0) < backEnd.indexOf("mouseSendMacroData", 0))
        }

        function test_delete_gives_the_buttons_their_earlier_assignment() {
            editor.deleteMacro(0)
            compare(key(3), factory[3])
            compare(key(6), factory[6])
            compare(key(4), defines[4])
            var names = backEnd.names()
            verify(names.indexOf("deleteMacroIni") < names.indexOf("deleteMacroUpdateProfile"))
            compare(backEnd.callsOf("deleteMacroUpdateProfile"), [["deleteMacroUpdateProfile", "Burst"]])
            compare(backEnd.nameLists[0], ["Other"])
        }

        function test_rename_moves_the_bindings() {
            verify(editor.renameMacro(0, "Spray"))
            compare(backEnd.profileData["mouseMacroKey/3"], "Spray")
            compare(backEnd.profileData["mouseMacroKey/6"], "Spray")
            compare(backEnd.profileData["mouseMacroKey/4"], "Other")
            var names = backEnd.names()
            verify(names.indexOf("modifyMacroNameUpdateProfile") < names.indexOf("updataNameList"))
            compare(backEnd.callsOf("modifyMacroNameUpdateProfile"), [["modifyMacroNameUpdateProfile", "Burst", "Spray"]])
        }

        // The key dialog lists the macros the editor holds, and follows its changes.
        function test_key_dialog_lists_the_macros() {
            var names = child("keyAssigmentMain").macroModel
            compare(names.count, 2)
            editor.newMacro()
            compare(names.count, 3)
            compare(names.get(2).textValue, "Macro_0")
        }

        // Desktop keys reach the editor only while it records.
        function test_recorded_keys_come_from_the_scene_root() {
            editor.openMacro(1)
            scene.detectKeyboard(true, 0x04)
            compare(editor.steps.length, 0)
            mouseClick(findChild(editor, "recordButton"))
            scene.detectKeyboard(true, 0x04)
            scene.detectKeyboard(false, 0x04)
            mouseClick(findChild(editor, "recordButton"))
            compare(editor.steps.length, 3)
            compare(backEnd.macros["Other"][0], "1,A")
        }
    }
}
