#!/bin/bash
# Chooses 250 Hz in the report-rate box and reads the report off the wire:
# 01H for the 553 family, 03H (with the profile number) for the 560 family.
# Runs once per family.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keys_journeys.sh"

keys_journey "$0" "${1:-}"

mark=$(keys_wire_mark)
# The report-rate list (left panel, under the editor box) opens downwards;
# "250Hz" is its second item. The choice arrives once the list has closed.
e2e_click "$wid" 184 520
sleep 0.3
e2e_screenshot "report_rate_${family}_open" "$wid" >/dev/null
e2e_click "$wid" 184 $((532 + 24 + 12))
if [ "$family" = 560 ]; then
    keys_wait_command "$mark" 03
    keys_expect "03H profile and rate" "$(keys_wire_since "$mark" 03 | tail -n 1 | awk '{print substr($2, 1, 4)}')" "0104"
else
    keys_wait_command "$mark" 01
    keys_expect "01H rate" "$(keys_wire_since "$mark" 01 | tail -n 1 | awk '{print substr($2, 1, 2)}')" "04"
fi
keys_expect_stored mouse reportRate 1
e2e_screenshot "report_rate_${family}_chosen" "$wid" >/dev/null
e2e_check_scene_log
e2e_log "PASS ($family)"
