#!/usr/bin/env bash
# A whole journey with the keyboard alone: Tab to key 4 in the key list,
# Enter opens its dialog, the combination Ctrl + C is given in the group box
# (Space starts it, Enter confirms it), Escape closes the dialog, DPI stage 2
# is typed as 1200, Space on Save saves; the mouse gets both. The focus is
# only read over AT-SPI, as a screen reader user hears it; every action is a
# key press.
source "$(dirname "$0")/a11y_bus.sh"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_each_family "$0" "${1:-}"

E2E_SESSION_BUS=$DBUS_SESSION_BUS_ADDRESS
E2E_EXTRA_ENV=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
screens_start "$family"
# The system Python, which has the AT-SPI bindings.
focused() { /usr/bin/python3 "$SCREENS_E2E_DIR/a11y.py" "$E2E_APP_PID" focused; }

# Tab until the focus is on "role|name..." (a prefix).
tab_to() {
    local want=$1 now=""
    for _ in $(seq 1 80); do
        xdotool key Tab
        sleep 0.15
        now=$(focused)
        [ "${now#"$want"}" != "$now" ] && { e2e_log "focus: $now"; return 0; }
    done
    e2e_fail "Tab never reached $want (last: $now)"
}

wait_focus() {
    local want=$1 now=""
    for _ in $(seq 1 30); do
        now=$(focused)
        [ "${now#"$want"}" != "$now" ] && { e2e_log "focus: $now"; return 0; }
        sleep 0.2
    done
    e2e_fail "the focus did not come to $want (it is on $now)"
}

xdotool windowfocus --sync "$wid"
tab_to "list item|Key 4,"
xdotool key Return
wait_focus "dialog|Key 4 : "
tab_to "button|Group Function"
xdotool key space
sleep 0.5
xdotool keydown ctrl key c keyup ctrl
sleep 0.5
xdotool key Return
sleep 0.5
e2e_screenshot "keyboard_combination_$family" "$wid" >/dev/null
xdotool key Escape
wait_focus "list item|Key 4, LCtrl+C"

tab_to "spin box|DPI 2"
xdotool type --delay 50 1200
xdotool key Return
sleep 0.3
e2e_screenshot "keyboard_dpi_$family" "$wid" >/dev/null
tab_to "button|Save"
mark=$(screens_wire_mark)
xdotool key space
if [ "$family" = 560 ]; then dpi=0c keys=0d; else dpi=11 keys=12; fi
screens_wait_command "$mark" "$dpi"
screens_wait_command "$mark" "$keys"

IFS=', ' read -r -a v <<<"$(screens_value setting/p1.bin mouse dpiValueArray)"
screens_expect "stage 2 stored" "${v[1]}" 1200
payload=$(screens_wire_since "$mark" | awk -v c="$keys" '$1 == c && length($3) >= 128 {p = $3} END {print p}')
# Button 4 arrives in entry 5 of the device's matrix.
screens_expect "Ctrl + C on button 4" "${payload:40:8}" "00010600"
screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
