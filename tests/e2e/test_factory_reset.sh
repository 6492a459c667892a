#!/usr/bin/env bash
# Factory reset of the active profile: the profile file becomes the factory
# profile, the screens send it (key matrix, report rate, DPI, lighting), and
# the last command selects DPI stage 2; the DPI screen shows stage 2.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_each_family "$0" "${1:-}"

# The active profile starts away from the factory values.
SCREENS_DATA="$E2E_TMP/seed"
mkdir -p "$SCREENS_DATA/setting"
sed -e 's/^currentDpiCount=.*/currentDpiCount=2/' \
    -e 's/^dpiValueArray=.*/dpiValueArray=300, 700, 1600, 3200, 6400, 12000, 16000, 16000/' \
    -e 's/^scrollRate=.*/scrollRate=9/' \
    "$KELDA_DIST_DIR/modules/setting/p1.bin" >"$SCREENS_DATA/setting/p1.bin"
screens_start "$family"
e2e_screenshot "screens_before_reset_$family" "$wid" >/dev/null

mark=$(screens_wire_mark)
e2e_click "$wid" "${SCREENS_RESET_BUTTON[@]}"
e2e_screenshot "screens_reset_confirm_$family" "$wid" >/dev/null
e2e_click "$wid" "${SCREENS_RESET_OK[@]}"
if [ "$family" = 560 ]; then stage=04; dpi=0c; else stage=0b; dpi=11; fi
screens_wait_command "$mark" "$stage" 30

wire=$(screens_wire_since "$mark")
e2e_log "wire after the reset:"
echo "$wire" >&2
last=$(echo "$wire" | tail -1)
if [ "$family" = 560 ]; then
    screens_expect "last command" "${last:0:7}" "04 0102"
else
    screens_expect "last command" "${last:0:5}" "0b 02"
fi
# The factory stages went out before it.
factory=$(screens_value setting/pD.bin mouse currentDpiCount)
sent=$(echo "$wire" | awk -v c="$dpi" '$1 == c' | head -1)
[ -n "$sent" ] || e2e_fail "no DPI command in the reset"
read -r _ params block <<<"$sent"
if [ "$family" = 560 ]; then
    mask=$(( (1 << factory) - 1 ))
    screens_expect "stage mask" "${block:200:2}" "$(printf '%02x' "$mask")"
else
    screens_expect "stage count" "${params:0:2}" "$(printf '%02x' "$factory")"
fi
screens_expect_value setting/p1.bin mouse dpiValueArray "$(screens_value setting/pD.bin mouse dpiValueArray)"
screens_expect_value setting/p1.bin mouse scrollRate "$(screens_value setting/pD.bin mouse scrollRate)"
shot=$(e2e_screenshot "screens_after_reset_$family" "$wid")
# Stage 2's value box is filled blue.
read -r x y <<<"$(screens_dpi_box 1)"
read -r r g b <<<"$(e2e_pixel "$shot" $((x - 16)) "$y")"
[ "$b" -gt 150 ] && [ "$r" -lt 60 ] || e2e_fail "stage 2 not shown active (pixel $r $g $b)"

screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
