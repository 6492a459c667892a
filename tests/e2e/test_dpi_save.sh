#!/usr/bin/env bash
# DPI stages edited on the screen and saved: the stage count from the
# drop-down, a stage dragged to the top of the range, Save; the profile
# keeps the values and the mouse gets them (0CH block on the 560 family,
# 11H on the 553 family), coded for the configured sensor.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_each_family "$0" "${1:-}"

screens_start "$family"
sensor=$(screens_value setting/apConfig.bin mouse sensorType)
max=$(screens_value setting/apConfig.bin mouse maxDPI)

# Four stages.
e2e_click "$wid" "${SCREENS_DPI_COUNT[@]}"
read -r x y <<<"$(screens_dpi_count_item 3)"
e2e_click "$wid" "$x" "$y"
sleep 0.5
# Stage 2's knob to the right end of its track.
y=$(screens_dpi_knob_y 1)
knob=$(python3 -c "
import sys
values = '$(screens_value setting/p1.bin mouse dpiValueArray)'.split(',')
lo, hi = $(screens_value setting/apConfig.bin mouse minDPI), $max
v = int(values[1])
print(int(820 + 3 + (v - lo) * 158 / (hi - lo) + 6))")
xdotool mousemove --window "$wid" "$knob" "$y" mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove_relative -- 40 0
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
e2e_screenshot "screens_dpi_edited_$family" "$wid" >/dev/null

mark=$(screens_wire_mark)
e2e_click "$wid" "${SCREENS_SAVE_BUTTON[@]}"
if [ "$family" = 560 ]; then code=0c; else code=11; fi
screens_wait_command "$mark" "$code"

values=$(screens_value setting/p1.bin mouse dpiValueArray)
screens_expect_value setting/p1.bin mouse currentDpiCount 4
IFS=', ' read -r -a v <<<"$values"
screens_expect "stage 2 value" "${v[1]}" "$max"
sent=$(screens_wire_since "$mark" | awk -v c="$code" '$1 == c')
screens_expect "DPI commands" "$(echo "$sent" | wc -l)" 1
read -r _ params payload <<<"$sent"
# The codes the sensor takes for the stored values.
codes=$(python3 - "$sensor" "$values" "$family" <<'PY'
import sys
sensor, values, family = sys.argv[1], [int(x) for x in sys.argv[2].split(",")], sys.argv[3]
def code(v):
    if sensor == "3360":
        return (v // 100 - 1) & 0xFF, 0
    if sensor == "3389":
        return (v // 50) & 0xFF, (v // 50) >> 8 & 1
    if sensor == "3327":
        return v // 100 & 0xFF, 0
    if sensor == "3050":
        raise SystemExit("3050 not expected here")
    return ((v // 100 - 1) if v <= 5000 else ((v // 200) | 0x40)) & 0xFF, 0
codes = [code(v) for v in values[:8]]
high = sum(h << i for i, (c, h) in enumerate(codes))
if family == "553":
    print("".join("%02x" % (c if i < 4 else 0x80) for i, (c, h) in enumerate(codes)))
else:
    print("%02x%02x" % (high, high) if sensor == "3389" else "", "".join("%02x" % c for c, h in codes))
PY
)
if [ "$family" = 560 ]; then
    read -r high low <<<"$codes"
    [ -n "$low" ] || { low=$high; high=""; }
    screens_expect "block number" "${params:0:2}" 01
    screens_expect "codes, first copy" "${payload:168:16}" "$low"
    screens_expect "codes, second copy" "${payload:184:16}" "$low"
    screens_expect "stage mask" "${payload:200:2}" 0f
    [ -n "$high" ] && screens_expect "high bits" "${payload:164:4}" "$high"
else
    screens_expect "stage count" "${params:0:2}" 04
    screens_expect "codes" "${payload:0:16}" "$codes"
fi

screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
