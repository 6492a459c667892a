import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"

// The gun editor against a small fake of the gun data calls.
SceneLook {
    id: mainIten
    width: 700
    height: 500

    readonly property QtObject ui_View: QtObject {
        property var calls: []
        property var gunData: ({})
        property var nameList: []
        property var selectGun: ["2", "0", "5"]
        function record(args) { calls.push(Array.prototype.slice.call(args)) }
        function getGunData(name) { return gunData[name] || [] }
        function getNameList(type) { return type === 1 ? nameList : [] }
        function getGlobalData(key) { return key === "mouse/selectGun" ? selectGun : undefined }
        function setGlobalData(key, value) { record(["setGlobalData", key, value]) }
        function mouseSaveGundata(index, src6) { record(["mouseSaveGundata", index, src6]) }
        function mouseSendGundata(index, src) { record(["mouseSendGundata", index, src]) }
        function modifyGundata(type, src) { record(["modifyGundata", type, src]) }
        function updataNameList(type, names) { record(["updataNameList", type, names]); return true }
    }

    GunControl {
        id: gun
        visible: true
    }

    TestCase {
        name: "GunScreen"
        when: windowShown

        function init() {
            ui_View.gunData = { 0: ["AK", "L-Click", "12", "1", "6", "0"], 2: ["M4", "L-Click", "8", "0", "3", "30"] }
            ui_View.nameList = ["AK", "", "Renamed"]
            ui_View.selectGun = ["2", "0", "5"]
            gun.init()
            ui_View.calls = []
        }

        function test_init_reads_entries_by_position() {
            compare(gun.entries.length, 6)
            compare([gun.entries[0].name, gun.entries[1].name, gun.entries[2].name], ["AK", "Gun2", "Renamed"])
            compare(gun.entries[2].count, 30)
            compare(gun.selectGun, [2, 0, 5])
            compare(findChild(gun, "gunSlot0").currentSelect, 2)
        }

        function test_save_one_and_all() {
            gun.select(2)
            mouseClick(findChild(gun, "gunSave"))
            compare(ui_View.calls, [["mouseSaveGundata", 2, ["Renamed", "L-Click", 8, 0, 3, 30]]])
            ui_View.calls = []
            mouseClick(findChild(gun, "gunSaveAll"))
            compare(ui_View.calls.map((c) => c[1]), [0, 1, 2, 3, 4, 5])
        }

        function test_choose_gun_stores_and_sends_the_slot() {
            gun.chooseGun(1, 2)
            compare(ui_View.calls, [["setGlobalData", "mouse/selectGun", [2, 2, 5]],
                                    ["mouseSendGundata", 2, [30, 0, 3]]])
        }

        function test_rename() {
            verify(gun.renameEntry(0, "AK-47"))
            compare(ui_View.calls, [["modifyGundata", 1, ["AK-47", "L-Click", 12, 1, 6, 0, "AK"]],
                                    ["updataNameList", 1, ["AK-47", "Gun2", "Renamed", "Gun4", "Gun5", "Gun6"]]])
            verify(!gun.renameEntry(1, "Renamed"))
        }

        function test_reset_page() {
            gun.resetPage()
            compare(gun.selectGun, [0, 1, 2])
            compare(ui_View.calls, [
                ["setGlobalData", "mouse/selectGun", [0, 1, 2]],
                ["mouseSaveGundata", 0, ["AK", "L-Click", 9, 1, 5, 0]],
                ["mouseSendGundata", 1, [0, 1, 5]],
                ["mouseSaveGundata", 1, ["Gun2", "L-Click", 9, 0, 7, 0]],
                ["mouseSendGundata", 2, [0, 0, 7]],
                ["mouseSaveGundata", 2, ["Renamed", "L-Click", 9, 0, 8, 30]],
                ["mouseSendGundata", 3, [30, 0, 8]],
            ])
        }

        function test_times_and_endless() {
            gun.select(2)
            compare(findChild(gun, "gunEndless").isSelect, false)
            mouseClick(findChild(gun, "gunEndless"))
            compare(gun.current.count, 0)
            compare(findChild(gun, "gunTimes").textValue, "0")
        }
    }
}
