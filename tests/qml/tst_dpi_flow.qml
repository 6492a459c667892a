import QtQuick
import QtTest
import "support"

// The whole scene: the save button and the factory reset as they reach the
// DPI and system-settings screens.
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
        name: "DpiFlow"
        when: windowShown

        property var scene: null

        function init() {
            backEnd.reset()
            backEnd.globalData = { "mouse/sensorType": "3327", "mouse/minDPI": "100", "mouse/maxDPI": "16000",
                                   "mouse/dpiBase": "100" }
            backEnd.profileData = { "mouse/dpiCount": "8", "mouse/currentDpiCount": "3",
                                    "mouse/dpiValueArray": ["400", "800", "1600", "3200", "6400", "8000", "12000", "16000"] }
            backEnd.factoryData = { "mouse/dpiCount": "8", "mouse/currentDpiCount": "4",
                                    "mouse/dpiValueArray": ["800", "1600", "3200", "6400", "8000", "10000", "12000", "16000"],
                                    "mouse/mouseRate": "172", "mouse/doubleRate": "172", "mouse/scrollRate": "3" }
            var component = Qt.createComponent("qrc:/modules/qml/main.qml")
            verify(component.status === Component.Ready, component.errorString())
            scene = component.createObject(top)
            scene.initUI()
            scene.setProtectUI(0)
            tryVerify(() => child("rightPanel").visible, 2000)
            backEnd.reset()
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

        function test_moved_stage_is_saved_and_sent_by_the_save_button() {
            var dpi = child("dpiSettingMain")
            var knob = findChild(findChild(findChild(dpi, "stage0"), "slider"), "knob")
            mousePress(knob, 6, 6)
            mouseMove(knob, 400, 6)
            mouseRelease(knob, 400, 6)
            verify(scene.hasUnsaved)
            compare(backEnd.callsOf("mouseSetDpi").length, 0)
            mouseClick(child("saveButton"), 50, 12)
            compare(backEnd.callsOf("mouseSetDpi"),
                    [["mouseSetDpi", 3, "3327", [16000, 800, 1600, 3200, 6400, 8000, 12000, 16000]]])
            compare(backEnd.profileData["mouse/dpiValueArray"][0], 16000)
            compare(scene.hasUnsaved, false)
        }

        function test_restore_defaults_then_save_writes_the_factory_stages() {
            mouseClick(findChild(child("dpiSettingMain"), "dpiBack"), 8, 8)
            verify(scene.hasUnsaved)
            compare(backEnd.callsOf("setDataList").length, 0)
            mouseClick(child("saveButton"), 50, 12)
            compare(backEnd.callsOf("mouseSetDpi"),
                    [["mouseSetDpi", 4, "3327", [800, 1600, 3200, 6400, 8000, 10000, 12000, 16000]]])
            compare(backEnd.profileData["mouse/currentDpiCount"], 4)
        }

        function test_factory_reset_ends_with_stage_two() {
            mouseClick(child("resetButton"), 50, 12)
            // The reset copies the factory profile into the slot; the fake's data plays that part.
            backEnd.profileData = JSON.parse(JSON.stringify(backEnd.factoryData))
            backEnd.reset()
            mouseClick(child("resetOk"), 44, 12)
            var names = backEnd.names()
            var reset = names.indexOf("resetProfile")
            var dpi = names.indexOf("mouseSetDpi")
            var speed = names.indexOf("mouseSetCursorSpeed")
            var stage = names.indexOf("mouseSetCurrentDPI")
            verify(reset >= 0 && reset < dpi && dpi < speed && speed < stage, JSON.stringify(names))
            compare(backEnd.calls[dpi], ["mouseSetDpi", 4, "3327", [800, 1600, 3200, 6400, 8000, 10000, 12000, 16000]])
            compare(backEnd.calls[stage], ["mouseSetCurrentDPI", 2])
            compare(backEnd.callsOf("mouseSetCurrentDPI").length, 1)
            compare(child("dpiSettingMain").currentDpi, 1)
            compare(scene.hasUnsaved, false)
        }
    }
}
