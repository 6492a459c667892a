import QtQuick
import QtTest
import "support"

// The whole scene: switching profiles from the title bar or from outside,
// and the profile dialog's name list reaching the title bar.
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
        name: "ProfileFlow"
        when: windowShown

        property var scene: null

        function init() {
            backEnd.reset()
            backEnd.globalData = { "mouse/profileNo": "0", "mouse/sensorType": "3360" }
            backEnd.profileData = { "mouse/reportRate": "2", "mouse/dpiCount": "8", "mouse/currentDpiCount": "5",
                                    "mouse/dpiValueArray": ["400", "800", "1600", "3200", "6000", "6000", "6000", "6000"],
                                    "mouse/mouseRate": "200", "mouse/doubleRate": "100", "mouse/scrollRate": "1000" }
            backEnd.nameLists = { 2: ["Standard0", "game1", "work2"] }
            backEnd.currentDpi = 4
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

        // The named calls appear in this order (other calls may sit between).
        function verifyOrder(expected) {
            var from = 0
            for (var e of expected) {
                var i = from
                for (; i < backEnd.calls.length; ++i) {
                    var c = backEnd.calls[i]
                    if (c[0] === e[0] && JSON.stringify(c.slice(1, e.length)) === JSON.stringify(e.slice(1)))
                        break
                }
                verify(i < backEnd.calls.length, JSON.stringify(e) + " missing after call " + from
                       + " in " + JSON.stringify(backEnd.names()))
                from = i + 1
            }
        }

        function test_title_bar_lists_the_profiles() {
            var list = child("profileList")
            compare(list.count, 3)
            compare(list.textValue, "Standard")
            compare(backEnd.nameLists[2], ["Standard0", "game1", "work2"])
        }

        function test_switch_from_the_title_bar() {
            var list = child("profileList")
            mouseClick(list, list.width / 2, 12)
            tryCompare(list, "animating", false)
            mouseClick(findChild(list, "item2"))
            tryVerify(() => backEnd.callsOf("setCurrentProfile").length === 1, 1000)
            verifyOrder([["setEnabled", false],
                         ["setGlobalData", "mouse/profileNo", 2],
                         ["setCurrentProfile", 2],
                         ["mouseSetReportRate", 2],
                         ["mouseSetDpi", 5, "3360", [400, 800, 1600, 3200, 6000, 6000, 6000, 6000]],
                         ["mouseSetCursorSpeed", 6],
                         ["mouseSetDoubleClickSpeed", 3],
                         ["mouseSetVerticalScrollLines", 1000],
                         ["mouseGetCurrentDPI"],
                         ["setEnabled", true]])
            compare(child("profileMain").profileNo, 2)
            compare(child("dpiSettingMain").currentDpi, 3)
            compare(list.textValue, "work")
        }

        // The stored profile is the one the back end works on from the start.
        function test_stored_profile_is_current_at_start() {
            cleanup()
            backEnd.globalData = { "mouse/profileNo": "1" }
            var component = Qt.createComponent("qrc:/modules/qml/main.qml")
            scene = component.createObject(top)
            scene.initUI()
            var first = backEnd.indexOf("setCurrentProfile", 0)
            verify(first >= 0)
            compare(backEnd.calls[first], ["setCurrentProfile", 1])
            // before any screen reads its profile keys
            verify(first < backEnd.indexOf("getDataList", 0))
            compare(child("profileList").textValue, "game")
        }

        // After a deletion, list positions and slots differ: the title bar
        // switches by slot and keeps naming the active profile.
        function test_switch_after_deleting_an_earlier_entry() {
            var list = child("profileList")
            var dialog = child("profileMain")
            verify(dialog.deleteProfile(1))
            compare(list.count, 2)
            mouseClick(list, list.width / 2, 12)
            tryCompare(list, "animating", false)
            mouseClick(findChild(list, "item1"))
            tryVerify(() => backEnd.callsOf("setCurrentProfile").length === 1, 1000)
            compare(backEnd.callsOf("setCurrentProfile"), [["setCurrentProfile", 2]])
            compare(backEnd.callsOf("setGlobalData"), [["setGlobalData", "mouse/profileNo", 2]])
            compare(list.textValue, "work")
            // The slot's own entry cannot be deleted while active; a new
            // profile takes the freed slot 1 and does not touch slot 2.
            verify(!dialog.deleteProfile(1))
            dialog.newProfile()
            compare(backEnd.callsOf("resetProfile"), [["resetProfile", 1]])
            compare(list.textValue, "work")
        }

        function test_title_bar_follows_a_deletion_before_the_active_entry() {
            var list = child("profileList")
            var dialog = child("profileMain")
            scene.changeProfile(2)
            compare(list.textValue, "work")
            verify(dialog.deleteProfile(1))
            compare(list.currentSelect, 1)
            compare(list.textValue, "work")
        }

        // A switch from outside never drops edits: Cancel on the question
        // keeps them and the profile, and saving them lets the switch go on.
        function test_switch_from_outside_waits_until_the_edits_are_saved() {
            child("dpiSettingMain").isSave = true
            verify(!scene.requestProfile(2, true))
            verify(child("unsavedBox").visible)
            mouseClick(child("unsavedCancel"))
            verify(!child("unsavedBox").visible)
            verify(child("dpiSettingMain").isSave)
            compare(backEnd.callsOf("setCurrentProfile").length, 0)
            mouseClick(child("saveButton"))
            tryVerify(() => backEnd.callsOf("setCurrentProfile").length === 1, 1000)
            verifyOrder([["mouseSetDpi"], ["setCurrentProfile", 2]])
            verify(!scene.hasUnsaved)
        }

        function test_new_profile_appears_in_the_title_bar() {
            var dialog = child("profileMain")
            dialog.newProfile()
            compare(child("profileList").count, 4)
            compare(backEnd.callsOf("resetProfile"), [["resetProfile", 3]])
        }
    }
}
