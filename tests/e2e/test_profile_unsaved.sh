#!/usr/bin/env bash
# A profile change never drops unsaved edits. From the title bar the user is
# asked: Cancel (Escape) keeps the edits and the profile, Discard switches
# without storing them. A switch asked for by kelda-ctl waits (status 3) and
# is made once the user answers: Save stores the edits, sends them, then
# switches. After every switch the Save button no longer shows unsaved work.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

SCREENS_DATA="$E2E_TMP/seed"
mkdir -p "$SCREENS_DATA/setting"
printf '[profile]\nprofileName=Standard0, Game1\n' >"$SCREENS_DATA/setting/name.bin"
screens_start 560

# The question box's answers (window coordinates; the box is centred).
CANCEL=(435 344)
DISCARD=(547 344)
SAVE_BUTTON_FILL=(912 613) # a spot of the Save button away from its text

save_button_colour() {
    e2e_pixel "$(e2e_screenshot "unsaved_$1" "$wid")" "${SAVE_BUTTON_FILL[@]}"
}

# Four DPI stages on screen, not saved.
edit_stage_count() {
    e2e_click "$wid" "${SCREENS_DPI_COUNT[@]}"
    read -r x y <<<"$(screens_dpi_count_item "$1")"
    e2e_click "$wid" "$x" "$y"
    sleep 0.5
    screens_expect "Save button with unsaved edits" "$(save_button_colour "edited_$1")" "255 48 48"
}

choose_title_profile() {
    e2e_click "$wid" "${SCREENS_TITLE_PROFILES[@]}"
    read -r x y <<<"$(screens_title_profile_item "$1")"
    e2e_click "$wid" "$x" "$y"
    sleep 0.8
}

ctl() {
    e2e_app_env
    timeout 150 env "${E2E_ENV[@]}" QT_QPA_PLATFORM=offscreen "$E2E_APP_DIR/kelda-ctl" "$@"
}

count1=$(screens_value setting/p1.bin mouse currentDpiCount)
count2=$(screens_value setting/p2.bin mouse currentDpiCount)
edit_stage_count 3

# ---- title bar, Escape: nothing sent, nothing stored, the edits stay ----
mark=$(screens_wire_mark)
choose_title_profile 1
e2e_screenshot unsaved_question "$wid" >/dev/null
xdotool key Escape
sleep 1
screens_expect "commands after Cancel" "$(screens_wire_since "$mark" | wc -l)" 0
screens_expect_value setting/apConfig.bin mouse profileNo 0
screens_expect_value setting/p1.bin mouse currentDpiCount "$count1"
screens_expect "Save button after Cancel" "$(save_button_colour cancelled)" "255 48 48"

# ---- title bar, Discard: switched, profile 1 not written ----
choose_title_profile 1
e2e_click "$wid" "${DISCARD[@]}"
screens_wait_command "$mark" 84 30
first=$(screens_wire_since "$mark" | head -1)
screens_expect "first command after Discard" "${first:0:5}" "02 02"
screens_expect_value setting/apConfig.bin mouse profileNo 1
screens_expect_value setting/p1.bin mouse currentDpiCount "$count1"
screens_expect "Save button after the switch" "$(save_button_colour discarded)" "0 156 222"

# ---- kelda-ctl while edits are unsaved: it waits, the user saves ----
edit_stage_count 1
mark=$(screens_wire_mark)
rc=0
ctl call setCurrentProfile 0 2>"$E2E_TMP/ctl.err" || rc=$?
screens_expect "kelda-ctl status while edits are unsaved" "$rc" 3
grep -q "waits until they are saved or discarded" "$E2E_TMP/ctl.err" || e2e_fail "kelda-ctl said: $(cat "$E2E_TMP/ctl.err")"
sleep 1
screens_expect "commands while the switch waits" "$(screens_wire_since "$mark" | wc -l)" 0
# The question is open with the focus on Save: Enter answers it.
xdotool mousemove --window "$wid" 560 300
xdotool key Return
screens_wait_command "$mark" 84 30
screens_expect_value setting/p2.bin mouse currentDpiCount 2
screens_expect_value setting/apConfig.bin mouse profileNo 0
wire=$(screens_wire_since "$mark")
echo "$wire" >&2
# Profile 2's DPI block (two stages enabled) goes out before the switch to 1.
python3 - "$wire" <<'PY' || e2e_fail "Save then switch: wrong order"
import sys
lines = [l.split() for l in sys.argv[1].splitlines() if l.strip()]
dpi = next(i for i, l in enumerate(lines) if l[0] == "0c" and l[1][:2] == "02")
switch = next(i for i, l in enumerate(lines) if l[0] == "02")
assert lines[dpi][2][200:202] == "03", lines[dpi][2][200:202]
assert lines[switch][1][:2] == "01" and dpi < switch
PY
screens_expect_value setting/p1.bin mouse currentDpiCount "$count1"
[ "$count2" != 2 ] || e2e_fail "the seed profile already had two stages"
screens_expect "Save button after Save and switch" "$(save_button_colour saved)" "0 156 222"

screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
