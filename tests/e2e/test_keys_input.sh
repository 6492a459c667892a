#!/bin/bash
# Keys typed on the desktop reach the key assignment dialog through the
# program's input capture: an auto-fire key for button 4 and the combination
# Ctrl + Shift + B for button 7, then Save and the key matrix on the wire.
# The input path does not depend on the family; it runs on the shipped one.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keys_journeys.sh"

family=$(sed -n 's/^icType=//p' "$KELDA_DIST_DIR/modules/setting/apConfig.bin" | tr -d '\r')
keys_journey "$0" "$family"

# Button 4: click the fire key box, press A, close the dialog.
e2e_click "$wid" 140 248
sleep 0.4
e2e_click "$wid" 458 341
xdotool key a
sleep 0.5
e2e_screenshot "keys_input_fire" "$wid" >/dev/null
e2e_click "$wid" 695 139
# Button 7: Ctrl + Shift + B in the group box, confirmed with the tick.
e2e_click "$wid" 140 350
sleep 0.4
e2e_click "$wid" 370 457
xdotool keydown ctrl keydown shift key b keyup shift keyup ctrl
sleep 0.5
e2e_screenshot "keys_input_combination" "$wid" >/dev/null
e2e_click "$wid" 530 457
sleep 0.3
e2e_click "$wid" 695 139
sleep 0.3
e2e_screenshot "keys_input_list" "$wid" >/dev/null

mark=$(keys_wire_mark)
e2e_click "$wid" 950 620      # Save
if [ "$family" = 560 ]; then code=0d; else code=12; fi
keys_wait_command "$mark" "$code"
payload=$(keys_wait_payload "$mark" "$code" "" 64)
# Button 4 (index 3) arrives in entry 5; the combination keeps its place.
keys_expect "auto-fire A at 10 ms, endless" "$(keys_bytes "$payload" 20 4)" "0a040a00"
keys_expect "Ctrl + Shift + B" "$(keys_bytes "$payload" 24 4)" "00030500"
e2e_check_scene_log
e2e_log "PASS"
