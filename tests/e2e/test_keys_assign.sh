#!/bin/bash
# Gives button 2 the middle button through the key assignment dialog, saves,
# and reads the key matrix off the wire: 0DH for the 560 family, 02H then
# 12H for the 553 family. Runs once per family.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keys_journeys.sh"

keys_journey "$0" "${1:-}"
e2e_screenshot "keys_${family}_main" "$wid" >/dev/null

# The dialog opens on what a button does now: button 3 holds the middle
# button, so the Middle Key radio (second column, first row) shows its
# accent-blue dot. Closing without a change leaves the list alone.
e2e_click "$wid" 140 214
sleep 0.4
shot=$(e2e_screenshot "keys_${family}_dialog_key3" "$wid")
read -r r g b <<<"$(e2e_pixel "$shot" 460 213)"
[ "$r" -lt 60 ] && [ "$b" -gt 180 ] || e2e_fail "Middle Key is not shown selected (dot $r $g $b)"
e2e_click "$wid" 695 139
sleep 0.3

# Row "Key 2" of the key list opens the dialog for button 2.
e2e_click "$wid" 140 180
sleep 0.4
first=$(e2e_screenshot "keys_${family}_dialog" "$wid")
if [ "$family" = 560 ]; then
    # The dialog's body scrolls through its eight sections with the wheel;
    # at the end the last section (shortcuts) is in view.
    xdotool mousemove --window "$wid" 512 400
    for step in 1 2 3; do
        xdotool click --repeat 2 --delay 80 5
        sleep 1
        e2e_screenshot "keys_${family}_dialog_scroll$step" "$wid" >/dev/null
    done
    xdotool click --repeat 12 --delay 60 5
    sleep 1
    last=$(e2e_screenshot "keys_${family}_dialog_end" "$wid")
    diff=$(compare -metric AE -crop 384x360+320+160 "$first" "$last" null: 2>&1 || true)
    [ "${diff%% *}" -gt 1000 ] || e2e_fail "the dialog body did not scroll ($diff)"
    xdotool click --repeat 20 --delay 60 4
    sleep 1
fi
# Mouse Function, second column of the first row: Middle Key.
e2e_click "$wid" 490 213
e2e_screenshot "keys_${family}_dialog_middle" "$wid" >/dev/null
# The close icon of the title bar writes the choice into the list.
e2e_click "$wid" 695 139
sleep 0.3
e2e_screenshot "keys_${family}_list_changed" "$wid" >/dev/null

mark=$(keys_wire_mark)
e2e_click "$wid" 950 620      # Save
# At start-up the program asked the mouse for its key layer ("test <n>" in
# its output); a non-zero answer means the alternate layer, which is stored
# as mouseKeyMatrix0 and, on the 553 family, sent as matrix 2 after
# selecting matrix 1.
answer=$(sed -n 's/^test \([0-9]*\)$/\1/p' "$E2E_APP_LOG" | tail -n 1)
[ -n "$answer" ] || { keys_skip_if_unavailable; e2e_fail "the program did not ask for the key layer"; }
section=mouseKeyMatrix
[ "$answer" != 0 ] && section=mouseKeyMatrix0
if [ "$family" = 560 ]; then
    keys_wait_command "$mark" 0d
    keys_wait_payload "$mark" 0d "" 64 >/dev/null
    line=$(keys_wire_since "$mark" 0d | tail -n 1)
    keys_expect "0DH profile and length" "$(echo "$line" | awk '{print substr($2, 1, 4)}')" "0180"
else
    keys_wait_command "$mark" 12
    keys_wait_payload "$mark" 12 "" 64 >/dev/null
    layer=$(keys_wire_since "$mark" 02 | tail -n 1 | awk '{print substr($2, 1, 2)}')
    line=$(keys_wire_since "$mark" 12 | tail -n 1)
    if [ "$answer" != 0 ]; then
        keys_expect "02H key layer" "$layer" "01"
        keys_expect "12H matrix and length" "$(echo "$line" | awk '{print substr($2, 1, 6)}')" "024008"
    else
        keys_expect "02H key layer" "$layer" "00"
        keys_expect "12H matrix and length" "$(echo "$line" | awk '{print substr($2, 1, 6)}')" "004008"
    fi
fi
payload=$(echo "$line" | awk '{print $3}')
# Button 2 is entry 1: the middle button, in device encoding 01 00 F2 00.
keys_expect "entry of button 2" "$(keys_bytes "$payload" 4 4)" "0100f200"
keys_expect "entry of button 1" "$(keys_bytes "$payload" 0 4)" "0100f000"
keys_expect "entry 8" "$(keys_bytes "$payload" 32 4)" "0c000000"
keys_expect_stored "$section" 1 "0, 0, 242, 0"

e2e_screenshot "keys_${family}_saved" "$wid" >/dev/null
e2e_check_scene_log
e2e_log "PASS ($family)"
