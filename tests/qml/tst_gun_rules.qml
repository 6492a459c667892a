import QtQuick
import QtTest
import "../../modules/qml/js/Gun.js" as Gun

// Gun entries as stored, the weapon slots and the slider conversions.
TestCase {
    name: "GunRules"

    function test_entry_data() {
        return [
            { tag: "stored entry", list: ["AK", "L-Click", "9", "2", "5", "30"], pos: 0,
              saved: ["AK", "L-Click", 9, 2, 5, 30] },
            { tag: "missing entry takes the built-in values", list: [], pos: 3,
              saved: ["Gun4", "L-Click", 10, 0, 10, 0] },
            { tag: "out of range values are kept in range", list: ["M4", "", "0", "-3", "99", "300"], pos: 1,
              saved: ["M4", "L-Click", 1, 0, 64, 255] },
        ]
    }

    function test_entry(data) {
        compare(Gun.saveList(Gun.entry(data.list, data.pos)), data.saved)
    }

    function test_lists_for_the_back_end() {
        var e = Gun.entry(["AK", "L-Click", "9", "2", "5", "30"], 0)
        compare(Gun.renameList(e, "old"), ["AK", "L-Click", 9, 2, 5, 30, "old"])
        compare(Gun.sendList(e), [30, 2, 5])
    }

    function test_selected_guns_data() {
        return [
            { tag: "stored", list: ["3", "4", "5"], guns: [3, 4, 5] },
            { tag: "missing", list: [], guns: [0, 1, 2] },
            { tag: "out of range", list: ["9", "-1", "2"], guns: [0, 1, 2] },
        ]
    }

    function test_selected_guns(data) {
        compare(Gun.selectedGuns(data.list), data.guns)
    }

    function test_slider_conversions() {
        compare([Gun.axisValue(3), Gun.axisValue(89), Gun.axisValue(46)], [0, 64, 32])
        for (var v = 0; v <= 64; ++v)
            compare(Gun.axisValue(Gun.axisPos(v)), v)
        compare([Gun.periodValue(3), Gun.periodValue(79), Gun.periodValue(9)], [4, 80, 10])
        compare(Gun.periodValue(Gun.periodPos(9)), 9)
    }
}
