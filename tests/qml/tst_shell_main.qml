import QtQuick
import QtTest
import "support"

// The whole scene (main.qml from the program's resources) against a fake
// back end. The scene reaches ui_View and ui_Ctl by name through the context
// it is created in, which is this file's.
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
        id: testCase
        name: "Shell"
        when: windowShown

        property var scene: null
        readonly property var panels: ["environment", "leftPanel", "bottomBar", "rightPanel", "menuUp", "mouseMain"]

        function init() {
            backEnd.reset()
            backEnd.globalData = {}
            backEnd.profileData = {}
            backEnd.langGroups = {}
            backEnd.currentDpi = 3
            var component = Qt.createComponent("qrc:/modules/qml/main.qml")
            verify(component.status === Component.Ready, component.errorString())
            scene = component.createObject(top)
            verify(scene !== null)
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

        // Runs the first initUI() and ends its protection period at once.
        function startScene() {
            scene.initUI()
            scene.setProtectUI(0)
            tryVerify(() => child("leftPanel").visible, 2000)
            backEnd.reset()
        }

        // The calls named, in this order, among everything recorded.
        function verifyOrder(expected) {
            var from = 0
            for (const [name, ...args] of expected) {
                var i = from
                for (; i < backEnd.calls.length; ++i) {
                    var c = backEnd.calls[i]
                    if (c[0] === name && JSON.stringify(c.slice(1, 1 + args.length)) === JSON.stringify(args))
                        break
                }
                verify(i < backEnd.calls.length,
                       name + "(" + args + ") missing after call " + from + " in " + JSON.stringify(backEnd.calls))
                from = i + 1
            }
        }

        function openList(list) {
            mouseClick(list, list.width / 2, 12)
            tryCompare(list, "animating", false)
            compare(list.isDrop, true)
        }

        function test_panelsAppearAfterFirstProtection() {
            compare(scene.visible, false)
            scene.initUI()
            compare(scene.visible, true)
            for (const name of panels)
                compare(child(name).visible, false, name)
            compare(child("busyIndicator").visible, true)
            compare(backEnd.callsOf("setEnabled"), [["setEnabled", false]])
            wait(700)
            compare(child("leftPanel").visible, false)
            tryVerify(() => child("leftPanel").visible, 1000)
            for (const name of panels)
                compare(child(name).visible, true, name)
            compare(child("busyIndicator").visible, false)
            compare(backEnd.callsOf("setEnabled"), [["setEnabled", false], ["setEnabled", true]])
        }

        function test_laterInitUIOnlyRepeatsTheDeviceQueries() {
            scene.initUI()
            compare(backEnd.callsOf("getLangStrings").length, 12)
            compare(backEnd.callsOf("mouseGetRight").length, 2)
            compare(scene.isPownOn, true)
            scene.initUI()
            compare(backEnd.callsOf("getLangStrings").length, 12)
            compare(backEnd.callsOf("mouseGetRight").length, 3)
            compare(backEnd.callsOf("mouseGetCurrentDPI").length, 2)
        }

        function test_startUpReadsGlobalDataAndLanguage() {
            backEnd.globalData = { "mouse/isColorful": "true", "mouse/keyCount": "6",
                                   "common/language": "English", "mouse/profileNo": "3" }
            var main = ["编辑", "宏编辑", "", "回报率"]
            backEnd.langGroups = { "main": main, "keyCode": ["Ä"] }
            scene.initUI()
            compare(scene.isColorful, true)
            compare(child("mouseMain").keyCount, 6)
            compare(child("profileMain").profileNo, 3)
            compare(child("profileList").currentSelect, 3)
            // Missing keys keep the defaults.
            compare(scene.icType, "553")
            compare(scene.isGun, true)
            compare(scene.is55328, false)
            for (const c of backEnd.callsOf("getLangStrings"))
                compare(c[2], "English")
            compare(backEnd.callsOf("getLangStrings").map((c) => c[1]),
                    ["main", "keyMatrix", "keyAssigment", "dpiSetting", "lightControl", "macroEditor",
                     "systemSetting", "gunControl", "profile", "keyCode", "access", "other"])
            compare(scene.mainLang[0], "编辑")
            compare(scene.mainLang[3], "回报率")
            compare(scene.mainLang[10], "Save")
            compare(scene.mainLang[12], "Mouse not connected")
        }

        function test_reportRate_data() {
            return [
                { tag: "125Hz", index: 0, code: 8 },
                { tag: "250Hz", index: 1, code: 4 },
                { tag: "500Hz", index: 2, code: 2 },
                { tag: "1000Hz", index: 3, code: 1 }
            ]
        }

        function test_reportRate(data) {
            backEnd.profileData = { "mouse/reportRate": "1" }
            startScene()
            var list = child("reportRateList")
            compare(list.currentSelect, 1)
            compare(list.textValue, "250Hz")
            openList(list)
            mouseClick(findChild(list, "item" + data.index), 30, 12)
            tryVerify(() => backEnd.callsOf("mouseSetReportRate").length === 1, 1000)
            compare(backEnd.calls, [["setData", "mouse/reportRate", data.index],
                                    ["mouseSetReportRate", data.code]])
            compare(backEnd.profileData["mouse/reportRate"], data.index)
        }

        function test_reportRateIsSentOnlyWhenAsked() {
            backEnd.profileData = { "mouse/reportRate": "3" }
            scene.initUI()
            compare(backEnd.callsOf("mouseSetReportRate").length, 0)
            compare(child("reportRateList").textValue, "1000Hz")
        }

        function test_saveButton_data() {
            return [
                { tag: "lift-off alone", marks: ["lod"], enables: [[true]] },
                { tag: "key list", marks: ["keyMatrixMain"], enables: [[false], [true]] },
                { tag: "every screen", marks: ["keyMatrixMain", "dpiSettingMain", "lightControlMain", "lod"],
                  enables: [[false], [true]] }
            ]
        }

        function test_saveButton(data) {
            startScene()
            var save = child("saveButton")
            verify(Qt.colorEqual(save.normalColor, "#009cde"))
            for (const mark of data.marks) {
                if (mark === "lod")
                    child("lodSlider").sliderControl.valueChangeDelay(40)
                else
                    child(mark).isSave = true
            }
            verify(Qt.colorEqual(save.normalColor, "#ff3030"))
            if (data.marks.indexOf("lod") >= 0)
                compare(backEnd.profileData["mouse/lod"], 40)
            backEnd.reset()
            mouseClick(save, 50, 12)
            verify(Qt.colorEqual(save.normalColor, "#009cde"))
            compare(scene.hasUnsaved, false)
            compare(backEnd.callsOf("setEnabled").map((c) => c.slice(1)), data.enables)
            // The key list sends its whole matrix once and the DPI screen its
            // stages once, each only when marked; lift-off alone sends nothing.
            compare(backEnd.callsOf("mouseSetKeyMatrix").length,
                    data.marks.indexOf("keyMatrixMain") >= 0 ? 1 : 0)
            compare(backEnd.callsOf("mouseSetDpi").length,
                    data.marks.indexOf("dpiSettingMain") >= 0 ? 1 : 0)
            if (data.marks.length === 1 && data.marks[0] === "lod")
                compare(backEnd.calls.filter((c) => c[0] !== "setEnabled").length, 0)
        }

        function test_factoryReset() {
            backEnd.profileData = { "mouse/reportRate": "1" }
            startScene()
            child("profileMain").profileNo = 2
            child("dpiSettingMain").currentDpi = 5
            for (const name of ["keyMatrixMain", "dpiSettingMain", "lightControlMain"])
                child(name).isSave = true
            scene.lodIsSave = true
            mouseClick(child("resetButton"), 50, 12)
            compare(child("resetBox").visible, true)
            compare(child("mask").visible, true)
            compare(child("resetBox").x, (1024 - 427) / 2)
            backEnd.reset()
            mouseClick(child("resetOk"), 44, 12)
            verifyOrder([["setEnabled", false], ["resetProfile", 2], ["mouseGetRight"],
                         ["mouseSetReportRate", 4], ["mouseSetCurrentDPI", 2], ["setEnabled", true]])
            compare(backEnd.calls[0], ["setEnabled", false])
            compare(backEnd.calls[backEnd.calls.length - 1], ["setEnabled", true])
            compare(child("dpiSettingMain").currentDpi, 1)
            compare(scene.hasUnsaved, false)
            compare(child("resetBox").visible, false)
            compare(child("mask").visible, false)
        }

        function test_factoryResetCancel() {
            startScene()
            mouseClick(child("resetButton"), 50, 12)
            mouseClick(child("resetCancel"), 44, 12)
            compare(child("resetBox").visible, false)
            compare(child("mask").visible, false)
            compare(backEnd.callsOf("resetProfile").length, 0)
        }

        function test_infoBoxStaysInsideTheScene_data() {
            return [
                { tag: "left", dx: -700, dy: 0, x: 0, y: 200 },
                { tag: "top", dx: 0, dy: -700, x: 312, y: 0 },
                { tag: "right", dx: 700, dy: 0, x: 624, y: 200 },
                { tag: "bottom", dx: 0, dy: 700, x: 312, y: 400 },
                { tag: "inside", dx: -100, dy: 50, x: 212, y: 250 }
            ]
        }

        function test_infoBoxStaysInsideTheScene(data) {
            startScene()
            mouseClick(child("menuUp_ask"), 8, 8)
            var box = child("infoBox")
            compare(box.visible, true)
            compare(child("mask").visible, false)
            compare(box.x, 312)
            compare(box.y, 200)
            mousePress(scene, 512, 350)
            mouseMove(scene, 512 + data.dx / 2, 350 + data.dy / 2)
            mouseMove(scene, 512 + data.dx, 350 + data.dy)
            mouseRelease(scene, 512 + data.dx, 350 + data.dy)
            compare(box.x, data.x)
            compare(box.y, data.y)
            mouseClick(findChild(box, "closeIcon"), 8, 8)
            compare(box.visible, false)
        }

        function test_titleBarButtons_data() {
            return [
                { tag: "minimise", icon: "menuUp_minBtn", call: "onMinimize" },
                { tag: "close", icon: "menuUp_closeBtn", call: "onClose" }
            ]
        }

        function test_titleBarButtons(data) {
            startScene()
            mouseClick(child(data.icon), 8, 8)
            compare(backEnd.names(), [data.call])
        }

        function test_dialogsBringTheMask() {
            startScene()
            mouseClick(child("systemSettingButton"), 100, 12)
            var dialog = child("systemSettingMain")
            compare(dialog.visible, true)
            compare(dialog.x, (1024 - dialog.width) / 2)
            compare(dialog.y, (640 - dialog.height) / 2)
            compare(child("mask").visible, true)
            mouseClick(findChild(dialog, "closeIcon"), 8, 8)
            compare(dialog.visible, false)
            compare(child("mask").visible, false)
            // A dialog that takes the mask down itself does not keep it down.
            child("macroEditorEntry").parent.visible = true
            mouseClick(child("macroEditorEntry"), 40, 10)
            compare(child("macroEditorMain").visible, true)
            compare(child("mask").visible, true)
            child("mask").visible = false
            child("macroEditorMain").visible = false
            child("profileMain").visible = true
            compare(child("mask").visible, true)
        }

        // The dialogs start as their data: what the first initUI reads is
        // held before any of them is built, and shows once one is opened.
        function test_dialogsAreBuiltOnFirstOpen_data() {
            return [
                { tag: "system", dialog: "systemSettingMain", inner: "linesInput",
                  open: () => scene.openSystemSetting(),
                  shows: (d) => findChild(d, "linesInput").textValue === "7" },
                { tag: "profile", dialog: "profileMain", inner: "profileRows",
                  open: () => scene.openProfile(),
                  shows: (d) => findChild(d, "profileRows").count === 2 },
                { tag: "macro", dialog: "macroEditorMain", inner: "repeatInput",
                  open: () => scene.openMacroEditor(),
                  shows: (d) => findChild(d, "repeatInput").textValue === "4" },
                { tag: "keys", dialog: "keyAssigmentMain", inner: "mediaGrid",
                  open: () => scene.openKeyAssigment(0),
                  shows: (d) => d.macroList.mdItems.count === 1 && findChild(d, "mediaGrid").mdItems.count > 0 }
            ]
        }

        function test_dialogsAreBuiltOnFirstOpen(data) {
            backEnd.profileData = { "mouse/scrollRate": "7" }
            backEnd.nameLists = { 0: ["burst"], 2: ["Standard0", "game1"] }
            backEnd.macros = { "burst": ["4"] }
            startScene()
            var dialog = child(data.dialog)
            compare(findChild(dialog, data.inner), null)
            data.open()
            verify(findChild(dialog, data.inner) !== null)
            verify(data.shows(dialog))
        }

        function test_dragOnEmptyAreaMovesTheWindow() {
            startScene()
            var pressed = 0
            scene.emptyAreaPressed.connect(() => ++pressed)
            mousePress(scene, 300, 560)
            mouseMove(scene, 310, 555)
            mouseRelease(scene, 310, 555)
            compare(pressed, 1)
            compare(backEnd.calls, [["onXChanged", 10], ["onYChanged", -5]])
        }

        function test_notConnectedNotice() {
            startScene()
            var notice = child("notConnected")
            compare(notice.visible, true)
            scene.setDeviceConnected(true)
            compare(notice.visible, false)
            scene.setDeviceConnected(false)
            compare(notice.visible, true)
        }

        function test_setCurrentDPI_data() {
            return [
                { tag: "stage 4", value: 4, shown: 3 },
                { tag: "stage 1", value: 1, shown: 0 },
                { tag: "0 is ignored", value: 0, shown: 5 }
            ]
        }

        function test_setCurrentDPI(data) {
            child("dpiSettingMain").currentDpi = 5
            scene.setCurrentDPI(data.value)
            compare(child("dpiSettingMain").currentDpi, data.shown)
        }

        function test_profileChangeFromTitleBar() {
            backEnd.profileData = { "mouse/reportRate": "0" }
            backEnd.currentDpi = 2
            startScene()
            var names = child("profileMain").profileNames
            for (const n of ["Standard", "profile_1", "profile_2"])
                names.append({ textValue: n })
            var list = child("profileList")
            openList(list)
            mouseClick(findChild(list, "item1"), 30, 12)
            tryVerify(() => backEnd.callsOf("setCurrentProfile").length === 1, 1000)
            verifyOrder([["setEnabled", false], ["setGlobalData", "mouse/profileNo", 1],
                         ["setCurrentProfile", 1], ["mouseSetReportRate", 8],
                         ["mouseGetCurrentDPI"], ["setEnabled", true]])
            compare(child("profileMain").profileNo, 1)
            compare(child("dpiSettingMain").currentDpi, 1)
        }

        function test_macroBookkeeping() {
            startScene()
            var keys = child("keyMatrixMain").modKeys
            var saved = child("keyMatrixMain").modKeys_tmp
            keys.clear()
            saved.clear()
            var macro = (slot, name) => ({ keyCode0: 4, keyCode1: 0, keyCode2: slot, keyCode3: 0, keyText: name })
            keys.append(macro(0, "M1"))
            keys.append({ keyCode0: 0, keyCode1: 0, keyCode2: 0xF1, keyCode3: 0, keyText: "Right Key" })
            keys.append(macro(2, "M1"))
            keys.append(macro(3, "M2"))
            for (var i = 0; i < 4; ++i)
                saved.append({ keyCode0: 0, keyCode1: 0, keyCode2: 0xF0 + i, keyCode3: 0, keyText: "factory " + i })
            backEnd.profileData = { "mouseMacroKey/0": "M1", "mouseMacroKey/2": "M1", "mouseMacroKey/3": "M2" }
            var editor = child("macroEditorMain")

            editor.macroRenamed("M1", "Combo")
            compare(backEnd.profileData["mouseMacroKey/0"], "Combo")
            compare(backEnd.profileData["mouseMacroKey/2"], "Combo")
            compare(backEnd.profileData["mouseMacroKey/3"], "M2")
            compare([keys.get(0).keyText, keys.get(2).keyText, keys.get(3).keyText], ["Combo", "Combo", "M2"])
            compare(backEnd.calls[backEnd.calls.length - 1], ["modifyMacroNameUpdateProfile", "M1", "Combo"])

            backEnd.reset()
            editor.macroDeleted("Combo")
            compare([keys.get(0).keyCode2, keys.get(0).keyText], [0xF0, "factory 0"])
            compare([keys.get(2).keyCode2, keys.get(2).keyText], [0xF2, "factory 2"])
            compare([keys.get(3).keyCode0, keys.get(3).keyText], [4, "M2"])
            compare(backEnd.calls[backEnd.calls.length - 1], ["deleteMacroUpdateProfile", "Combo"])
        }
    }
}
