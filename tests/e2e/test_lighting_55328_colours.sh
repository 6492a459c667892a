#!/bin/bash
# A single-colour 55328 device whose stored colour 8 is black (as any save
# with an effect other than "Breath Loop" leaves it): the user picks
# "Breath Loop", gives each of the colour blocks 1 to 6 its own red value in
# the R box and saves. Every one of the six colours must reach the mouse at
# its place: the eight-colour command 10H on the 553 family (the fixed-colour
# command would carry colour 1 alone), block 1 offsets 104-127 on the 560
# family. Runs once per family.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keys_journeys.sh"

family=${1:-}
if [ -z "$family" ]; then
    rc=0
    for family in 553 560; do
        e2e_log "--- family $family"
        bash "$0" "$family" || rc=1
    done
    exit $rc
fi

mkdir -p "$E2E_TMP/data/setting"
cp -a "$KELDA_DIST_DIR/modules/setting/." "$E2E_TMP/data/setting/"
sed -i "s/^isColorful=.*/isColorful=false/; s/^is55328=.*/is55328=true/; s/^icType=.*/icType=$family/" \
    "$E2E_TMP/data/setting/apConfig.bin"
sed -i 's/^lightValue=.*/lightValue=0, 2, 4/;
        s/^colorValue=.*/colorValue=255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 127, 0, 96, 0, 255, 0, 0, 0/' \
    "$E2E_TMP/data/setting/p1.bin"
e2e_prepare_dist "$E2E_TMP/data"
export KELDA_VMOUSE_FAMILY=$family
export KELDA_VMOUSE_COLOURFUL=false
export KELDA_VMOUSE_TRANSCRIPT="$E2E_TMP/wire.jsonl"
e2e_start_x
e2e_use_virtual_mouse
e2e_start_app
wid=$(e2e_wait_window)
e2e_wait_scene 3

shot=$(e2e_screenshot "lighting55328_${family}_start" "$wid")
top=$(keys_light_top "$shot")
[ -n "$top" ] || e2e_fail "lighting screen not found"

# "Breath Loop" is the fifth item; it shows the speed slider only, so the
# screen is 224 high. The blocks sit 19 px apart in the colour area's first
# row, the R box 86 px below the colour area's top.
e2e_click "$wid" 906 $((top + 20))
sleep 0.3
e2e_click "$wid" 906 $((top + 8 + 24 + 4 * 24 + 12))
sleep 0.5
area=$((top + 224 - 109))
# block number, red typed, the block's own green and blue
table=("1 11 00 00" "2 21 ff 00" "3 31 00 ff" "4 41 00 ff" "5 51 ff ff" "6 61 7f 00")
for row in "${table[@]}"; do
    read -r k red _ _ <<<"$row"
    e2e_click "$wid" $((853 + 19 * (k - 1))) $((area + 8))
    sleep 0.2
    xdotool mousemove --window "$wid" 817 $((area + 86)) click --repeat 2 1
    sleep 0.2
    xdotool key --window "$wid" ctrl+a
    xdotool type --window "$wid" --delay 60 "$((16#$red))"
    xdotool key --window "$wid" Return
    sleep 0.3
done
shot=$(e2e_screenshot "lighting55328_${family}_breath_loop" "$wid")

mark=$(keys_wire_mark)
e2e_click "$wid" 950 620      # Save
if [ "$family" = 553 ]; then
    keys_wait_count "$mark" 10 1
    colours=$(keys_wait_payload "$mark" 10 0018 24)
    [ -z "$(keys_wire_since "$mark" 0c)" ] || e2e_fail "the fixed-colour command went out"
    offset=0
else
    keys_wait_count "$mark" 0c 2
    colours=$(keys_wait_payload "$mark" 0c 0180 128)
    offset=104
fi
for row in "${table[@]}"; do
    read -r k red green blue <<<"$row"
    keys_expect "colour $k" "$(keys_bytes "$colours" $((offset + 3 * (k - 1))) 3)" "$red$green$blue"
done
keys_expect "colour 7" "$(keys_bytes "$colours" $((offset + 18)) 3)" "6000ff"
keys_expect "colour 8 (never black with Breath Loop)" "$(keys_bytes "$colours" $((offset + 21)) 3)" "ffffff"
e2e_check_scene_log
e2e_log "PASS ($family)"
