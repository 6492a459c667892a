#!/bin/bash
# Picks the "Wave" lighting effect, types a new green for colour 1, saves,
# and reads the effect and colour reports off the wire: 10H and 0DH for the
# 553 family, profile blocks 0 and 1 through 0CH for the 560 family. Runs
# once per family.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keys_journeys.sh"

keys_journey "$0" "${1:-}"
shot=$(e2e_screenshot "lighting_${family}_start" "$wid")
top=$(keys_light_top "$shot")
[ -n "$top" ] || e2e_fail "lighting screen not found"
e2e_log "lighting screen at y $top"

# The effect list sits in the screen's heading; "Wave" is its sixth item.
e2e_click "$wid" 906 $((top + 20))
sleep 0.3
e2e_screenshot "lighting_${family}_effects" "$wid" >/dev/null
e2e_click "$wid" 906 $((top + 8 + 24 + 5 * 24 + 12))
sleep 0.4
shot=$(e2e_screenshot "lighting_${family}_wave" "$wid")

# Wave shows the brightness slider only: the screen is 224 high and its
# colour boxes sit 86 px below the colour area's top (height - 109).
gbox_y=$((top + 224 - 109 + 86))
xdotool mousemove --window "$wid" 891 "$gbox_y" click --repeat 2 1
sleep 0.2
xdotool key --window "$wid" ctrl+a
xdotool type --window "$wid" --delay 60 "128"
xdotool key --window "$wid" Return
sleep 0.3
e2e_screenshot "lighting_${family}_colour" "$wid" >/dev/null

mark=$(keys_wire_mark)
e2e_click "$wid" 950 620      # Save
stored_colours="255, 128, 0"
if [ "$family" = 560 ]; then
    # The colour and the effect call write blocks 0 and 1; the scene's
    # second pair carries the same bytes, which the mouse then holds, so it
    # is not sent. Colours in block 0 (offsets 24-47), the effect in block 1
    # (71-73): Wave, brightness step 4 = 0xFF, no speed byte.
    keys_wait_count "$mark" 0c 2
    colours=$(keys_wait_payload "$mark" 0c 0080 128)
    effect=$(keys_wait_payload "$mark" 0c 0180 128)
    keys_expect "colour 1 in block 0" "$(keys_bytes "$colours" 24 3)" "ff8000"
    keys_expect "colour 2 in block 0" "$(keys_bytes "$colours" 27 3)" "00ff00"
    keys_expect "effect bytes in block 1" "$(keys_bytes "$effect" 71 3)" "05ff00"
else
    keys_wait_command "$mark" 0d
    # The scene sends the colour table four times; the mouse holds it after
    # the first.
    keys_wait_payload "$mark" 10 0018 24 >/dev/null
    keys_expect "10H count" "$(keys_wire_since "$mark" 10 | wc -l | tr -d ' ')" "1"
    line=$(keys_wire_since "$mark" 10 | tail -n 1)
    keys_expect "10H type and length" "$(echo "$line" | awk '{print substr($2, 1, 4)}')" "0018"
    payload=$(echo "$line" | awk '{print $3}')
    keys_expect "colour 1" "$(keys_bytes "$payload" 0 3)" "ff8000"
    keys_expect "colour 2" "$(keys_bytes "$payload" 3 3)" "00ff00"
    keys_expect "0DH effect" "$(keys_wire_since "$mark" 0d | tail -n 1 | awk '{print substr($2, 1, 6)}')" "05ff00"
fi
keys_expect_stored mouse lightValue "5, 4, 4"   # a chosen effect starts at step 4
got=$(keys_profile_value mouse colorValue)
keys_expect "stored colour 1" "${got:0:${#stored_colours}}" "$stored_colours"

e2e_screenshot "lighting_${family}_saved" "$wid" >/dev/null
e2e_check_scene_log
e2e_log "PASS ($family)"
