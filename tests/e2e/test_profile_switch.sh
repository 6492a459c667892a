#!/usr/bin/env bash
# Switching the profile from the title bar: the mouse is told the new
# profile first (02H with its number), then every screen sends the new
# profile's settings in the shell's order (key matrix, report rate, DPI,
# lighting), and the active DPI stage is read back (84H) last.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

# Two profiles; the second has its own report rate and DPI stages.
SCREENS_DATA="$E2E_TMP/seed"
mkdir -p "$SCREENS_DATA/setting"
printf '[profile]\nprofileName=Standard0, Game1\n' >"$SCREENS_DATA/setting/name.bin"
sed -e 's/^reportRate=.*/reportRate=1/' \
    -e 's/^currentDpiCount=.*/currentDpiCount=3/' \
    -e 's/^dpiValueArray=.*/dpiValueArray=500, 1000, 2000, 4000, 8000, 12000, 16000, 16000/' \
    "$KELDA_DIST_DIR/modules/setting/p2.bin" >"$SCREENS_DATA/setting/p2.bin"
screens_start 560

mark=$(screens_wire_mark)
e2e_click "$wid" "${SCREENS_TITLE_PROFILES[@]}"
e2e_screenshot screens_title_profiles "$wid" >/dev/null
read -r x y <<<"$(screens_title_profile_item 1)"
e2e_click "$wid" "$x" "$y"
screens_wait_command "$mark" 84 30

wire=$(screens_wire_since "$mark")
e2e_log "wire after the switch:"
echo "$wire" >&2
codes=$(echo "$wire" | awk '{ print $1 }' | tr '\n' ' ')
first=$(echo "$wire" | head -1)
screens_expect "first command" "${first:0:5}" "02 02"
# DPI: block 2 (profile 2) with three stages enabled; report rate 250 Hz (4).
dpi=$(echo "$wire" | awk '$1 == "0c" && substr($2, 1, 2) == "02"' | head -1)
[ -n "$dpi" ] || e2e_fail "no DPI block for profile 2 in: $codes"
read -r _ _ block <<<"$dpi"
screens_expect "stage mask" "${block:200:2}" 07
rate=$(echo "$wire" | awk '$1 == "03"' | head -1)
screens_expect "report rate" "${rate:3:4}" 0204
# Order: 02, key matrix (0D), report rate (03), DPI block, lighting, 84 last.
python3 - "$wire" <<'PY' || e2e_fail "commands out of order: $codes"
import sys
lines = [l.split() for l in sys.argv[1].splitlines() if l.strip()]
codes = [l[0] for l in lines]
def at(pred):
    for i, l in enumerate(lines):
        if pred(l):
            return i
    return None
profile = at(lambda l: l[0] == "02")
keys = at(lambda l: l[0] == "0d")
rate = at(lambda l: l[0] == "03")
dpi = at(lambda l: l[0] == "0c" and l[1][:2] == "02")
read = at(lambda l: l[0] == "84")
assert profile == 0
assert rate is not None and dpi is not None and read is not None
assert keys is None or profile < keys < rate
assert profile < rate < dpi < read
# The DPI block is the first block after the switch; lighting blocks follow it.
assert at(lambda l: l[0] == "0c") == dpi
assert read == len(codes) - 1
PY
e2e_log "ok: order $codes"
screens_expect_value setting/apConfig.bin mouse profileNo 1
e2e_screenshot screens_profile_switched "$wid" >/dev/null

screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
