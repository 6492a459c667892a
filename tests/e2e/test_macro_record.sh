#!/usr/bin/env bash
# A macro recorded from the desktop reaches the mouse: the profile binds
# button 4 to macro slot 3 for "Macro_0"; the macro editor creates Macro_0,
# records two letters typed with xdotool into another window, and when the
# recording stops the encoded stream goes out as the macro of slot 3
# (0FH with macro number 4 on the 560 family, 13H on the 553 family).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

# The key list holds the button's binding; a tree whose key list is still
# the shell's placeholder cannot run this journey (reported as skipped).
if grep -q "PendingLabel" "$KELDA_SOURCE_DIR/modules/qml/J2/KeyMatrix.qml"; then
    e2e_log "SKIP: the key list is not built in this tree"
    exit 77
fi

screens_each_family "$0" "${1:-}"

# Button 4 (index 3) plays the macro of slot 3, which is named Macro_0, in
# both key layers (the mouse tells the program which one is active).
SCREENS_DATA="$E2E_TMP/seed"
mkdir -p "$SCREENS_DATA/setting"
cp "$KELDA_DIST_DIR/modules/setting/p1.bin" "$SCREENS_DATA/setting/p1.bin"
python3 - "$SCREENS_DATA/setting/p1.bin" <<'PY'
import sys
path = sys.argv[1]
text = open(path, encoding="utf-8").read()
out, section = [], None
for line in text.splitlines():
    if line.startswith("["):
        section = line
    elif section in ("[mouseKeyMatrix]", "[mouseKeyMatrix0]") and line.startswith("3="):
        line = "3=4, 0, 3, 0"
    out.append(line)
out += ["", "[mouseMacroKey]", "3=Macro_0"]
open(path, "w", encoding="utf-8").write("\n".join(out) + "\n")
PY
screens_start "$family"

e2e_click "$wid" "${SCREENS_MACRO_ENTRY[@]}"
e2e_click "$wid" "${SCREENS_MACRO_NEW[@]}"
[ -f "$E2E_APP_DIR/modules/macro/Macro_0.bin" ] || e2e_fail "New did not create Macro_0"
screens_expect_value setting/name.bin macro macroName "Macro_0, nodelistpadx"

# Another window takes the typing.
xmessage -geometry 320x80+1060+700 "typing target" &
e2e_track $!
sleep 1
target=$(xdotool search --name "xmessage" | head -1)

mark=$(screens_wire_mark)
e2e_click "$wid" "${SCREENS_MACRO_RECORD[@]}"
xdotool windowactivate --sync "$target" 2>/dev/null || xdotool windowfocus --sync "$target"
sleep 0.3
xdotool type --delay 200 "kb"
sleep 0.5
e2e_screenshot "screens_macro_recording_$family" "$wid" >/dev/null
e2e_click "$wid" "${SCREENS_MACRO_RECORD[@]}"

# The file holds press K, delay, release K, delay, press B, delay, release B.
total=$(screens_value macro/Macro_0.bin config total)
screens_expect "recorded steps" "$total" 7
for i in 0 2 4 6; do
    step=$(screens_value macro/Macro_0.bin macro "$i")
    case $i in
        0) want='"1,K"' ;; 2) want='"2,K"' ;; 4) want='"1,B"' ;; 6) want='"2,B"' ;;
    esac
    screens_expect "step $i" "$step" "$want"
done
for i in 1 3 5; do
    step=$(screens_value macro/Macro_0.bin macro "$i")
    [[ $step =~ ^\"0,([0-9]+)0\"$ ]] || e2e_fail "step $i is no recorded delay: $step"
done

if [ "$family" = 560 ]; then code=0f; else code=13; fi
screens_wait_command "$mark" "$code"
sent=$(screens_wire_since "$mark" | awk -v c="$code" '$1 == c')
screens_expect "macro commands after the recording" "$(echo "$sent" | wc -l)" 1
read -r _ params payload <<<"$sent"
screens_expect "macro number" "${params:0:2}" 04
screens_expect "payload length announced" "${params:2:2}" 80
stream=$(python3 "$SCREENS_E2E_DIR/screens_wire.py" macro "$E2E_APP_DIR/modules/macro/Macro_0.bin")
e2e_log "stream $stream"
screens_expect "payload starts with the stream" "${payload:0:${#stream}}" "$stream"
rest=${payload:${#stream}}
[ -z "${rest//0/}" ] || e2e_fail "payload continues after the stream: $rest"
screens_expect "payload bytes" $((${#payload} / 2)) 128
e2e_screenshot "screens_macro_recorded_$family" "$wid" >/dev/null

# Insert Key from the step menu of the first step: X goes in before it, as
# a press and a release, and the macro is sent again.
read -r x y <<<"$(screens_macro_step 0)"
screens_right_click "$wid" "$x" "$y"
e2e_screenshot "screens_macro_step_menu_$family" "$wid" >/dev/null
e2e_click "$wid" $((x + 30)) $((y + 62))
xdotool key x
sleep 0.3
e2e_screenshot "screens_macro_insert_key_$family" "$wid" >/dev/null
mark=$(screens_wire_mark)
e2e_click "$wid" "${SCREENS_MACRO_INSERT_OK[@]}"
screens_expect_value macro/Macro_0.bin config total 9
screens_expect_value macro/Macro_0.bin macro 0 '"1,X"'
screens_expect_value macro/Macro_0.bin macro 1 '"2,X"'
screens_wait_command "$mark" "$code"
read -r _ _ payload <<<"$(screens_wire_since "$mark" | awk -v c="$code" '$1 == c')"
stream=$(python3 "$SCREENS_E2E_DIR/screens_wire.py" macro "$E2E_APP_DIR/modules/macro/Macro_0.bin")
screens_expect "payload after the insertion" "${payload:0:${#stream}}" "$stream"

screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
