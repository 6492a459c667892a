#!/bin/bash
# The lighting screen of the real program in each of its shapes: for every
# effect the panel height follows the sliders it shows and the colour
# blocks appear only for the effects that use them. Runs on a colourful
# device and on a single-colour 55328 device (through a test copy of the
# setting folder), and saves a screenshot of each shape.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keys_journeys.sh"

device=${1:-}
if [ -z "$device" ]; then
    rc=0
    for device in colourful 55328; do
        e2e_log "--- $device device"
        bash "$0" "$device" || rc=1
    done
    exit $rc
fi

mkdir -p "$E2E_TMP/data/setting"
cp -a "$KELDA_DIST_DIR/modules/setting/." "$E2E_TMP/data/setting/"
if [ "$device" = 55328 ]; then
    sed -i 's/^isColorful=.*/isColorful=false/; s/^is55328=.*/is55328=true/' \
        "$E2E_TMP/data/setting/apConfig.bin"
    export KELDA_VMOUSE_COLOURFUL=false
else
    export KELDA_VMOUSE_COLOURFUL=true
fi
e2e_prepare_dist "$E2E_TMP/data"
export KELDA_VMOUSE_FAMILY
KELDA_VMOUSE_FAMILY=$(sed -n 's/^icType=//p' "$E2E_TMP/data/setting/apConfig.bin" | tr -d '\r')
e2e_start_x
e2e_use_virtual_mouse
e2e_start_app
wid=$(e2e_wait_window)
e2e_wait_scene 3

shot=$(e2e_screenshot "lighting_${device}_start" "$wid")
read -r top _ <<<"$(keys_light_box "$shot")"
[ -n "$top" ] || e2e_fail "lighting screen not found"

# effect index, name, panel height, colour blocks shown
if [ "$device" = 55328 ]; then
    # (a single-colour device shows block 1 only with DPI stages in use,
    # which is the DPI screen's business); "Breath Loop" runs through the
    # stage colours and shows their blocks
    cases=("4 breath_loop 224 yes" "2 neon 264 no" "0 static 176 no")
else
    cases=("1 breath 264 no" "3 off 224 yes" "5 wave 224 yes" "7 finger_moving 264 no" "0 static 176 no")
fi
for c in "${cases[@]}"; do
    read -r effect name height blocks <<<"$c"
    e2e_click "$wid" 906 $((top + 20))
    sleep 0.3
    e2e_click "$wid" 906 $((top + 8 + 24 + effect * 24 + 12))
    sleep 0.5
    shot=$(e2e_screenshot "lighting_${device}_${name}" "$wid")
    read -r _ got <<<"$(keys_light_box "$shot")"
    keys_expect "$name: panel height" "$got" "$height"
    # Colour block 1 holds red; it sits in the first row of the colour
    # area, 109 px above the panel's bottom.
    read -r r g b <<<"$(e2e_pixel "$shot" 853 $((top + height - 109 + 8)))"
    shown=no
    [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ] && shown=yes
    keys_expect "$name: colour blocks shown" "$shown" "$blocks"
done
e2e_check_scene_log
e2e_log "PASS ($device)"
