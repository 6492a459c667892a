import QtQuick
import QtTest
import "../../modules/qml/js/Dpi.js" as Dpi

// Stage slider positions to DPI values, and the stage-count limit.
TestCase {
    name: "DpiRules"

    function test_slider_to_dpi_data() {
        return [
            { tag: "left end", min: 200, max: 6000, base: 50, p: 3, dpi: 200 },
            { tag: "right end", min: 200, max: 6000, base: 50, p: 161, dpi: 6000 },
            { tag: "middle", min: 200, max: 6000, base: 50, p: 82, dpi: 3100 },
            { tag: "rounded down to the base", min: 200, max: 6000, base: 50, p: 4, dpi: 200 },
            { tag: "one step up", min: 200, max: 6000, base: 50, p: 5, dpi: 250 },
            { tag: "base 100", min: 100, max: 16000, base: 100, p: 82, dpi: 8000 },
            { tag: "below the track", min: 200, max: 6000, base: 50, p: 0, dpi: 200 },
            { tag: "beyond the track", min: 200, max: 6000, base: 50, p: 170, dpi: 6000 },
        ]
    }

    function test_slider_to_dpi(data) {
        var r = Dpi.range(data.min, data.max, data.base, "3360")
        compare(Dpi.toDpi(data.p, r), data.dpi)
    }

    // A stored value puts the knob where it produces that value again.
    function test_position_round_trip() {
        var ranges = [Dpi.range(200, 6000, 50, "3360"), Dpi.range(100, 12000, 100, "3389"),
                      Dpi.range(250, 4000, 250, "3050")]
        for (var i = 0; i < ranges.length; ++i) {
            var r = ranges[i]
            for (var v = r.minDPI; v <= r.maxDPI; v += r.dpiBase) {
                var p = Dpi.toPos(v, r)
                verify(p >= 3 && p <= 161)
                compare(Dpi.toDpi(p, r), v, "value " + v)
            }
        }
    }

    function test_missing_globals_take_scene_defaults() {
        var r = Dpi.range(undefined, null, "", undefined)
        compare([r.minDPI, r.maxDPI, r.dpiBase, r.sensorType], [200, 6000, 50, "3360"])
        var upsideDown = Dpi.range(6000, 200, 0, "4090")
        compare([upsideDown.minDPI, upsideDown.maxDPI, upsideDown.dpiBase, upsideDown.sensorType],
                [200, 6000, 50, "4090"])
    }

    function test_stage_limit_data() {
        return [
            { tag: "limit 4", limit: "4", items: ["1", "2", "3", "4"], stored: "6", count: 4 },
            { tag: "limit 8", limit: 8, items: ["1", "2", "3", "4", "5", "6", "7", "8"], stored: "5", count: 5 },
            { tag: "limit 1", limit: 1, items: ["1"], stored: "3", count: 1 },
            { tag: "limit above 8", limit: 12, items: ["1", "2", "3", "4", "5", "6", "7", "8"], stored: "9", count: 8 },
            { tag: "no limit stored", limit: undefined, items: ["1", "2", "3", "4", "5", "6", "7", "8"], stored: undefined, count: 8 },
            { tag: "stored count 0", limit: 6, items: ["1", "2", "3", "4", "5", "6"], stored: "0", count: 1 },
        ]
    }

    function test_stage_limit(data) {
        compare(Dpi.stageItems(data.limit), data.items)
        compare(Dpi.stageCount(data.stored, data.limit), data.count)
    }

    function test_stage_values() {
        var r = Dpi.range(200, 6000, 50, "3360")
        compare(Dpi.stageValues(["400", "800", "1600"], r), [400, 800, 1600, 200, 200, 200, 200, 200])
        compare(Dpi.stageValues(["400", "x", "1600", "3200", "4800", "6000", "100", "200", "999"], r),
                [400, 200, 1600, 3200, 4800, 6000, 100, 200])
    }

    function test_active_stage_data() {
        return [
            { tag: "reported stage 2", reported: 2, count: 4, stage: 1 },
            { tag: "failed read (3) on two stages", reported: 3, count: 2, stage: 1 },
            { tag: "stage 0 is not a stage", reported: 0, count: 4, stage: 0 },
        ]
    }

    function test_active_stage(data) {
        compare(Dpi.activeStage(data.reported, data.count), data.stage)
    }
}
