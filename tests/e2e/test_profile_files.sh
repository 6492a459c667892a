#!/usr/bin/env bash
# The profile dialog's file work, checked on disk: New puts the factory
# profile into the lowest free slot, a rename reaches the name file, Export
# writes the active profile byte for byte, Delete drops the entry and leaves
# the slot's file, Import copies an exported file byte for byte into the
# new entry's slot.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_start 560
setting="$E2E_APP_DIR/modules/setting"
names() { screens_value setting/name.bin profile profileName; }

e2e_click "$wid" "${SCREENS_CONFIG_BUTTON[@]}"
e2e_screenshot screens_profile_dialog "$wid" >/dev/null

# New: slot 1 (p2.bin) becomes the factory profile.
echo "stale=1" >>"$setting/p2.bin"
e2e_click "$wid" "${SCREENS_PROFILE_NEW[@]}"
screens_expect_value setting/name.bin profile profileName "Standard0, profile_01"
screens_expect_same "$setting/p2.bin" "$setting/pD.bin"

# Rename by double-click.
read -r x y <<<"$(screens_profile_row 1)"
screens_double_click "$wid" "$x" "$y"
xdotool key --window "$wid" ctrl+a
xdotool type --window "$wid" --delay 30 "Arena"
xdotool key --window "$wid" Return
screens_expect_value setting/name.bin profile profileName "Standard0, Arena1"
e2e_screenshot screens_profile_renamed "$wid" >/dev/null
e2e_click "$wid" "${SCREENS_PROFILE_CLOSE[@]}"

# Make Arena active from the title bar; its screens store their values.
mark=$(screens_wire_mark)
e2e_click "$wid" "${SCREENS_TITLE_PROFILES[@]}"
read -r x y <<<"$(screens_title_profile_item 1)"
e2e_click "$wid" "$x" "$y"
screens_wait_quiet "$mark"
screens_expect_value setting/apConfig.bin mouse profileNo 1

# Export (context menu, second entry) writes the active profile.
exported="$E2E_TMP/arena.pf"
e2e_click "$wid" "${SCREENS_CONFIG_BUTTON[@]}"
read -r x y <<<"$(screens_profile_row 1)"
screens_right_click "$wid" "$x" "$y"
e2e_screenshot screens_profile_menu "$wid" >/dev/null
e2e_click "$wid" $((x + 40)) $((y + 38))
e2e_screenshot screens_profile_export_dialog "$wid" >/dev/null
screens_answer_file_dialog "$exported"
screens_expect_same "$exported" "$setting/p2.bin"

# Back to Standard, then delete Arena: the entry goes, p2.bin stays.
e2e_click "$wid" "${SCREENS_PROFILE_CLOSE[@]}"
mark=$(screens_wire_mark)
e2e_click "$wid" "${SCREENS_TITLE_PROFILES[@]}"
read -r x y <<<"$(screens_title_profile_item 0)"
e2e_click "$wid" "$x" "$y"
screens_expect_value setting/apConfig.bin mouse profileNo 0
screens_wait_quiet "$mark"
cp "$setting/p2.bin" "$E2E_TMP/p2.before"
e2e_click "$wid" "${SCREENS_CONFIG_BUTTON[@]}"
read -r x y <<<"$(screens_profile_row 1)"
screens_right_click "$wid" "$x" "$y"
e2e_click "$wid" $((x + 40)) $((y + 14))
screens_expect_value setting/name.bin profile profileName "Standard0, nodelistpadx"
cmp -s "$setting/p2.bin" "$E2E_TMP/p2.before" || e2e_fail "Delete touched p2.bin"

# Import: a new entry in slot 1 whose file is the exported one.
echo "stale=1" >>"$setting/p2.bin"
e2e_click "$wid" "${SCREENS_PROFILE_IMPORT[@]}"
e2e_screenshot screens_profile_export_dialog "$wid" >/dev/null
screens_answer_file_dialog "$exported"
screens_expect_value setting/name.bin profile profileName "Standard0, profile_01"
screens_expect_same "$setting/p2.bin" "$exported"
e2e_screenshot screens_profile_imported "$wid" >/dev/null

screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
