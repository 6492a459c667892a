#!/usr/bin/env bash
# The system settings dialog stores each choice in the active profile as
# soon as it settles: the pointer-speed knob clicked to the fast end, the
# one-screen scroll choice, then a typed line count; the restore button
# writes the factory values back at once.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_start 560

e2e_click "$wid" "${SCREENS_SYSTEM_BUTTON[@]}"
e2e_screenshot screens_system_settings "$wid" >/dev/null
# The speed track runs from x 336 to 688 at y 180 (dialog at 302, 100).
e2e_click "$wid" 686 180
screens_expect_value setting/p1.bin mouse mouseRate 337
e2e_click "$wid" "${SCREENS_SYSTEM_ONE_SCREEN[@]}"
screens_expect_value setting/p1.bin mouse scrollRate 1000
e2e_click "$wid" "${SCREENS_SYSTEM_LINES[@]}"
xdotool key ctrl+a
xdotool type --delay 30 "7"
xdotool key Return
screens_expect_value setting/p1.bin mouse scrollRate 7
e2e_screenshot screens_system_changed "$wid" >/dev/null

e2e_click "$wid" "${SCREENS_SYSTEM_RESTORE[@]}"
screens_expect_value setting/p1.bin mouse mouseRate "$(screens_value setting/pD.bin mouse mouseRate)"
screens_expect_value setting/p1.bin mouse scrollRate "$(screens_value setting/pD.bin mouse scrollRate)"
e2e_click "$wid" "${SCREENS_SYSTEM_CLOSE[@]}"

e2e_check_scene_log
e2e_log "PASS"
