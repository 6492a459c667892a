#!/usr/bin/env bash
# Profiles follow the focused program under KDE Plasma's KWin, run headless
# on a private session bus: the program loads a KWin script that reports
# each activation back to it. A KWin script of the test moves the focus.
# KWin is restarted and the program follows the focus again; then the
# program quits from its tray menu and its script is gone from KWin.
source "$(dirname "$0")/wayland_lib.sh"
wl_need kwin_wayland kwin_wayland dbus-daemon dbus-send
WL_JOURNEY=kwin

# The installed binary carries a file capability that containers refuse;
# a copy runs without it.
mkdir -p "$E2E_TMP/kwin-bin" "$E2E_TMP/home"
cp "$(command -v kwin_wayland)" "$E2E_TMP/kwin-bin/kwin_wayland"
mkdir -m 700 "$WL_RUNTIME"
wl_start_bus "$E2E_TMP/session.bus"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/session.bus"
start_kwin() {
    env HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_DATA_HOME="$E2E_TMP/home/.local/share" \
        XDG_CACHE_HOME="$E2E_TMP/home/.cache" XDG_RUNTIME_DIR="$WL_RUNTIME" \
        "$E2E_TMP/kwin-bin/kwin_wayland" --virtual --socket kwin-e2e --width 1280 --height 720 \
        >>"$E2E_TMP/kwin.log" 2>&1 &
    kwin_pid=$!
    e2e_track $kwin_pid
    wl_wait_socket "$WL_RUNTIME/kwin-e2e" "$E2E_TMP/kwin.log"
}
start_kwin

kwin() {
    dbus-send --session --print-reply --dest=org.kde.KWin "$@"
}

# Runs a KWin script once: load, run, unload.
n=0
kwin_run() {
    n=$((n + 1))
    printf '%s\n' "$1" >"$E2E_TMP/step$n.js"
    local id
    id=$(kwin /Scripting org.kde.kwin.Scripting.loadScript string:"$E2E_TMP/step$n.js" string:"e2e-step$n" \
        | awk '/int32/ { print $2 }')
    [ -n "$id" ] && [ "$id" -ge 0 ] || e2e_fail "KWin did not load the test's script"
    kwin "/$id" org.kde.kwin.Script.run >/dev/null 2>&1 \
        || kwin "/Scripting/Script$id" org.kde.kwin.Script.run >/dev/null
    kwin /Scripting org.kde.kwin.Scripting.unloadScript string:"e2e-step$n" >/dev/null
}

kwin_focus() {
    kwin_run "
const all = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (const w of all)
    if (String(w.resourceClass) == '$1' || String(w.resourceName) == '$1') {
        if (workspace.windowList) workspace.activeWindow = w; else workspace.activeClient = w;
    }"
}

script_loaded() {
    kwin /Scripting org.kde.kwin.Scripting.isScriptLoaded string:kelda-config-focus 2>/dev/null | awk '/boolean/ { print $2 }'
}

SCREENS_TRAY=1
wl_start_app DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
wl_journey kwin_focus
wl_time_flips kwin_focus

# KWin restarts: the program loads its script again and follows the focus
# as before. The windows close first, beta before alpha, so the focus ends
# on alpha, whose profile is current.
kill "$pid_beta"
wait "$pid_beta" 2>/dev/null || true
kill "$pid_alpha"
wait "$pid_alpha" 2>/dev/null || true
kill "$kwin_pid"
wait "$kwin_pid" 2>/dev/null || true
rm -f "$WL_RUNTIME/kwin-e2e" "$WL_RUNTIME/kwin-e2e.lock"
start_kwin
for _ in $(seq 1 100); do
    [ "$(script_loaded)" = true ] && break
    sleep 0.1
done
[ "$(script_loaded)" = true ] || e2e_fail "the program did not load its script into the new KWin"
wl_expect_switch beta-after-restart beta-game 03 wl_open beta-game
e2e_log "ok: the focus is followed after KWin restarted"

# The program quits: its script goes with it.
e2e_tray_quit >/dev/null
for _ in $(seq 1 100); do
    e2e_app_running || break
    sleep 0.1
done
e2e_app_running && e2e_fail "the program still runs 10 s after Quit"
[ "$(script_loaded)" = false ] || e2e_fail "the program's KWin script stayed loaded after it quit"
e2e_log "ok: the script is unloaded when the program quits"
E2E_APP_PID=""
wl_finish
