#!/usr/bin/env bash
# The window as a screen reader meets it, over AT-SPI on a private session
# bus: on the main window and on every dialog each control has a role and a
# name (the counts per role are printed). Then a whole journey with AT-SPI
# actions alone: DPI stage 2 to 1200, Save, and the values on the wire.
source "$(dirname "$0")/a11y_bus.sh"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_each_family "$0" "${1:-}"

E2E_SESSION_BUS=$DBUS_SESSION_BUS_ADDRESS
E2E_EXTRA_ENV=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1)
screens_start "$family"
# The system Python, which has the AT-SPI bindings.
a11y() { /usr/bin/python3 "$SCREENS_E2E_DIR/a11y.py" "$E2E_APP_PID" "$@"; }

a11y walk "main window"
# Tab goes round every enabled control (Tab only moves the focus).
xdotool windowfocus --sync "$wid"
a11y tabs "main window" 150
# Each dialog opened and closed through its controls' actions.
open_close() {
    local label=$1 role=$2 name=$3 dialog=$4 close_role=$5 close=$6
    a11y act "$role" "$name" press
    a11y wait dialog "$dialog"
    a11y --in "$dialog" walk "$label"
    a11y --in "$dialog" tabs "$label" 80
    a11y --in "$dialog" act "$close_role" "$close" press
    a11y wait dialog "$dialog" 0
}
open_close "key dialog" button "Key 4" "Key 4 : Forward Key" button Close
open_close "macro editor" button "Macro Editor" "Macro Editor" button Close
open_close "system settings" button "System setting" "System Setting" button Close
open_close "profile dialog" button "Config" "config" button Close
open_close "reset confirmation" button "Reset" "Reset" button Cancel
open_close "information box" button "Information" "Information" button Close

# DPI stage 2 to 1200 with the slider's increase and decrease actions.
value=$(a11y value slider "DPI 2")
step=$(screens_value setting/apConfig.bin mouse dpiBase)
if [ "$value" -lt 1200 ]; then
    a11y act slider "DPI 2" increase $(((1200 - value) / step))
else
    a11y act slider "DPI 2" decrease $(((value - 1200) / step))
fi
screens_expect "stage 2 shown" "$(a11y value slider "DPI 2")" 1200
mark=$(screens_wire_mark)
a11y act button Save press
if [ "$family" = 560 ]; then code=0c; else code=11; fi
screens_wait_command "$mark" "$code"
a11y wait alert Saved
IFS=', ' read -r -a v <<<"$(screens_value setting/p1.bin mouse dpiValueArray)"
screens_expect "stage 2 stored" "${v[1]}" 1200
sent=$(screens_wire_since "$mark" | awk -v c="$code" '$1 == c')
read -r _ _ payload <<<"$sent"
# 1200 DPI on the shipped sensor: code 1200 / 100 - 1.
sensor=$(screens_value setting/apConfig.bin mouse sensorType)
want=$(python3 -c "
v, s = 1200, '$sensor'
print('%02x' % ((v // 50) & 255 if s == '3389' else v // 100 if s == '3327' else v // 100 - 1))")
if [ "$family" = 560 ]; then
    screens_expect "stage 2 code" "${payload:170:2}" "$want"
else
    screens_expect "stage 2 code" "${payload:2:2}" "$want"
fi
screens_check_violations
e2e_check_scene_log
e2e_log "PASS"
