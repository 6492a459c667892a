#!/usr/bin/env bash
# Starting with the desktop: the system settings' check box writes and
# removes the autostart entry; the entry's command starts the program with
# no window and an icon in the tray, and a second launch shows the window,
# with the mouse connected or, for a window never shown, without one.
# Without a tray the same command starts the window minimised, and
# uninstalling removes the entry.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

export XDG_CONFIG_HOME="$E2E_TMP/config"
entry="$XDG_CONFIG_HOME/autostart/com.zorvant.KeldaConfig.desktop"

e2e_start_x
e2e_start_tray
trayer_pid=${E2E_PIDS[-1]}
e2e_prepare_dist
e2e_use_virtual_mouse
export KELDA_VMOUSE_SOCKET="$E2E_TMP/vmouse.sock"
e2e_start_app
wid=$(e2e_wait_window)
e2e_wait_scene 3
wid=$(e2e_wait_window)

e2e_click "$wid" "${SCREENS_SYSTEM_BUTTON[@]}"
e2e_click "$wid" "${SCREENS_SYSTEM_AUTOSTART[@]}"
for _ in $(seq 1 25); do [ -f "$entry" ] && break; sleep 0.2; done
[ -f "$entry" ] || e2e_fail "no autostart entry at $entry"
grep -qxF "Exec=\"$E2E_APP_DIR/kelda-config\" --hidden" "$entry" || e2e_fail "wrong command: $(grep Exec "$entry")"
e2e_screenshot autostart_on "$wid" >/dev/null
e2e_click "$wid" "${SCREENS_SYSTEM_AUTOSTART[@]}"
sleep 0.5
[ ! -e "$entry" ] || e2e_fail "the entry is still there after the box was cleared"
e2e_click "$wid" "${SCREENS_SYSTEM_AUTOSTART[@]}"
for _ in $(seq 1 25); do [ -f "$entry" ] && break; sleep 0.2; done
[ -f "$entry" ] || e2e_fail "no autostart entry after the second click"
e2e_log "ok: the check box writes and removes $entry"
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true

# The entry's command, as the desktop runs it at login.
start_from_entry() {
    local exec_line
    exec_line=$(sed -n 's/^Exec=//p' "$entry")
    eval "set -- $exec_line"
    e2e_app_env
    env -C "$E2E_TMP" "${E2E_ENV[@]}" "$@" >>"$E2E_APP_LOG" 2>&1 &
    E2E_APP_PID=$!
    e2e_track "$E2E_APP_PID"
    e2e_log "started from the entry: $* (pid $E2E_APP_PID)"
}

tray_icon() {
    xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ { p = 1; next }
        p && /"kelda-config"/ { print $1; exit }'
}

# A second launch hands over to the running program, which shows its window;
# then the program is ended.
second_launch_shows_window() {
    local rc wid
    rc=$(e2e_run_app_again)
    [ "$rc" = 1 ] || e2e_fail "the second launch did not hand over (status $rc)"
    wid=$(e2e_wait_window 10)
    e2e_log "ok: $1 ($wid)"
    kill "$E2E_APP_PID"
    wait "$E2E_APP_PID" 2>/dev/null || true
}

connects() { grep -c "Device Connect" "$E2E_APP_LOG" || true; }

before=$(connects)
start_from_entry
icon=""
for _ in $(seq 1 50); do
    icon=$(tray_icon)
    [ -n "$icon" ] && break
    sleep 0.2
done
[ -n "$icon" ] || e2e_fail "no tray icon in trayer's panel"
# The window could only be shown with the mouse connected.
for _ in $(seq 1 50); do [ "$(connects)" -gt "$before" ] && break; sleep 0.2; done
[ "$(connects)" -gt "$before" ] || e2e_fail "the mouse did not connect"
sleep 2
shown=$(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null || true)
for w in $shown; do
    geo=$(xdotool getwindowgeometry "$w" | awk '/Geometry:/ {print $2}')
    [ "$geo" != "1024x640" ] || e2e_fail "the window shows although started hidden"
done
e2e_screenshot autostart_hidden >/dev/null
e2e_log "ok: hidden start, tray icon $icon"

second_launch_shows_window "a second launch shows the window"

# Started hidden with no mouse at all: a second launch still opens the
# window (it shows that no mouse is connected), or it could never be opened.
E2E_PRELOAD=""
start_from_entry
for _ in $(seq 1 50); do [ -n "$(tray_icon)" ] && break; sleep 0.2; done
sleep 1
second_launch_shows_window "without a mouse a second launch shows the hidden window"
e2e_use_virtual_mouse

# No tray: minimised instead, so the window can be brought back.
kill "$trayer_pid"
sleep 0.5
start_from_entry
for _ in $(seq 1 50); do
    state=$(for w in $(xdotool search --pid "$E2E_APP_PID" 2>/dev/null); do
        xprop -id "$w" WM_HINTS 2>/dev/null | grep -i "initial state"; done | head -1)
    [ -n "$state" ] && break
    sleep 0.2
done
echo "$state" | grep -qi iconic || e2e_fail "without a tray the window did not start minimised: '$state'"
e2e_log "ok: without a tray the window starts minimised"
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true

# make uninstall takes the entry away with the program.
[ -f "$entry" ] || e2e_fail "the entry went away early"
PREFIX="$E2E_TMP/prefix" bash "$KELDA_SOURCE_DIR/scripts/uninstall" >/dev/null
[ ! -e "$entry" ] || e2e_fail "make uninstall left $entry"
e2e_log "ok: uninstall removes the autostart entry"
e2e_check_scene_log
e2e_log "PASS"
