import QtQuick
import QtTest
import "support"
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"

// The profile dialog against a fake back end: the name file, the slot each
// action works on, and the start-up hand-over of the stored profile.
SceneLook {
    id: mainIten
    width: 600
    height: 500

    readonly property QtObject ui_View: backEnd.view

    FakeBackEnd {
        id: backEnd
    }

    Profile {
        id: profile
        x: 20
        y: 20
        visible: true
    }

    TestCase {
        name: "ProfileDialog"
        when: windowShown

        function start(texts, profileNo) {
            backEnd.nameLists = { 2: texts }
            profile.profileNo = 0
            profile.init()
            profile.profileNo = profileNo
            backEnd.reset()
            waitForRendering(profile)   // rows laid out after the list changed
        }

        function row(i) {
            return findChild(profile, "profileRows").itemAt(i)
        }

        function stored() {
            return backEnd.nameLists[2]
        }

        function test_init_names_entry_zero_and_writes_back() {
            backEnd.nameLists = { 2: ["Default0", "nodelistpadx"] }
            profile.langStrings = ["config", "New", "Import", "Delete", "Export", "Standard"]
            profile.init()
            compare(stored(), ["Standard0"])
            compare(profile.profileNames.count, 1)
            compare(profile.profileNames.get(0).textValue, "Standard")
        }

        function test_stored_profile_is_made_current_at_start() {
            backEnd.nameLists = { 2: ["Standard0", "a1", "b2"] }
            profile.profileNo = 0
            profile.init()
            backEnd.reset()
            profile.profileNo = 2
            compare(backEnd.callsOf("setCurrentProfile"), [["setCurrentProfile", 2]])
            // Later changes belong to the shell's profile change.
            profile.profileNo = 1
            compare(backEnd.callsOf("setCurrentProfile").length, 1)
        }

        function test_new_takes_lowest_free_slot_and_resets_it() {
            start(["Standard0", "profile_02"], 0)
            mouseClick(findChild(profile, "profileNew"))
            compare(stored(), ["Standard0", "profile_02", "profile_11"])
            compare(backEnd.callsOf("resetProfile"), [["resetProfile", 1]])
            compare(profile.selected, 2)
        }

        function test_new_refused_on_a_full_page() {
            start(["Standard0", "a1", "b2", "c3", "d4", "e5"], 0)
            profile.newProfile()
            compare(backEnd.callsOf("updataNameList").length, 0)
            compare(backEnd.callsOf("resetProfile").length, 0)
        }

        function test_import_loads_into_the_new_slot() {
            start(["Standard0", "a2"], 0)
            profile.importProfile()
            compare(stored(), ["Standard0", "a2", "profile_01"])
            compare(backEnd.callsOf("loadProfile"), [["loadProfile", 1]])
            // The fake's dialog is cancelled: the slot gets the factory profile.
            compare(backEnd.callsOf("resetProfile"), [["resetProfile", 1]])
        }

        function test_delete_rules() {
            start(["Standard0", "a1", "b2"], 2)
            verify(!profile.deleteProfile(0))
            verify(!profile.deleteProfile(2))              // active
            verify(profile.deleteProfile(1))
            compare(stored(), ["Standard0", "b2"])
            // The slot's file is not touched.
            compare(backEnd.callsOf("resetProfile").length, 0)
        }

        function test_delete_from_the_menu() {
            start(["Standard0", "a1", "b2"], 0)
            var r = row(1)
            mousePress(r, 20, 10, Qt.RightButton)
            mouseRelease(r, 20, 10, Qt.RightButton)
            verify(findChild(profile, "profileMenu").visible)
            mouseClick(findChild(profile, "profileMenuDelete"))
            compare(stored(), ["Standard0", "b2"])
        }

        function test_export_is_the_active_profile() {
            start(["Standard0", "a1", "b2"], 2)
            profile.selected = 1
            profile.exportProfile()
            compare(backEnd.callsOf("saveProfile"), [["saveProfile", 2]])
        }

        function test_rename_by_double_click() {
            start(["Standard0", "a1", "b2"], 0)
            var r = row(2)
            mouseDoubleClickSequence(r, 60, 12)
            var editor = findChild(profile, "profileNameEditor")
            verify(editor.visible)
            keyClick(Qt.Key_A, Qt.ControlModifier)
            keyClick(Qt.Key_G)
            keyClick(Qt.Key_O)
            keyClick(Qt.Key_Return)
            compare(stored(), ["Standard0", "a1", "go2"])
            compare(profile.profileNames.get(2).textValue, "go")
        }

        function test_rename_to_an_existing_name_is_ignored() {
            start(["Standard0", "a1", "b2"], 0)
            verify(!profile.renameProfile(2, "a"))
            verify(!profile.renameProfile(0, "Mine"))
            compare(backEnd.callsOf("updataNameList").length, 0)
        }

        function test_slots_of_positions_after_a_delete() {
            start(["Standard0", "a1", "b2"], 0)
            profile.deleteProfile(1)
            compare([profile.slotAt(0), profile.slotAt(1)], [0, 2])
            compare(profile.positionOf(2), 1)
        }
    }
}
