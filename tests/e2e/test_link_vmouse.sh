#!/usr/bin/env bash
# The unchanged kelda-config with the virtual mouse preloaded, on the real
# clock under Xvfb: it connects, the mouse's DPI button and key layer reach
# it, unplugging is noticed, the transcript is well formed and the mouse saw
# no protocol violation. A second run refuses the open as a hidraw node
# without a udev rule does: the node is named and the user is told.
set -euo pipefail
build=${KELDA_BUILD_DIR:?}
dist=${KELDA_DIST_DIR:?}
lib=$build/sim/libkelda-virtual-mouse.so
vmouse=$build/sim/kelda-vmouse
tmp=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; echo "--- log" >&2; cat "$tmp/app.log" >&2 || true; exit 1; }

# A private copy of the program and its data folder.
mkdir -p "$tmp/app"
cp "$dist/kelda-config" "$tmp/app/"
cp -r "$dist/modules" "$tmp/app/"

n=110
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=":$n" DBUS_SESSION_BUS_ADDRESS=disabled:
export KELDA_VMOUSE_SOCKET=$tmp/vmouse.sock KELDA_VMOUSE_TRANSCRIPT=$tmp/transcript.jsonl

start_app() {
  : > "$tmp/app.log"
  env LD_PRELOAD="$lib" "$@" "$tmp/app/kelda-config" >"$tmp/app.log" 2>&1 &
  app_pid=$!
}
stop_app() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=
}
wait_log() { # text [seconds]
  for _ in $(seq $((${2:-10} * 20))); do grep -qF -- "$1" "$tmp/app.log" && return 0; sleep 0.05; done
  fail "'$1' not in the log"
}

# ---- connected run ----
start_app
wait_log "Device Connect" 30
wait_log "Info: Detect Device"
for _ in $(seq 100); do [ -S "$KELDA_VMOUSE_SOCKET" ] && break; sleep 0.05; done

# The balloon's text comes from the language file; any new "Info:" line is it.
infos=$(grep -c '^Info: ' "$tmp/app.log" || true)
"$vmouse" press-dpi 3 >/dev/null || fail "press-dpi"
for _ in $(seq 100); do [ "$(grep -c '^Info: ' "$tmp/app.log")" -gt "$infos" ] && break; sleep 0.05; done
[ "$(grep -c '^Info: ' "$tmp/app.log")" -gt "$infos" ] || fail "no balloon for the DPI button"
"$vmouse" layer on >/dev/null
wait_log "test 1"
state=$("$vmouse" state)
python3 - "$state" <<'PY' || fail "state: $state"
import json, sys
s = json.loads(sys.argv[1])
assert s["family"] == 560 and s["plugged"] and s["violations"] == 0, s
mouse = s["devices"][0]["state"]
assert mouse["options560"][0] & 0x08, mouse["options560"]   # set by the connect sequence
assert mouse["keyLayer"] is True
PY
[ "$("$vmouse" violations)" = "[]" ] || fail "violations: $("$vmouse" violations)"

# The panels show once the scene's one-second start-up protection is over.
for _ in $(seq 50); do
  import -window root "$tmp/connected.png"
  [ "$(stat -c %s "$tmp/connected.png")" -gt 2000 ] && break
  sleep 0.1
done
[ "$(stat -c %s "$tmp/connected.png")" -gt 2000 ] || fail "screenshot"

"$vmouse" unplug >/dev/null
wait_log "Device removed" 3
stop_app

python3 - "$KELDA_VMOUSE_TRANSCRIPT" <<'PY' || fail "transcript"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
assert rows, "empty transcript"
for r in rows:
    assert "violation" not in r, r
    assert set(r) >= {"t_ms", "iface", "op", "data", "ret"}, r
    assert r["iface"] in ("cmd", "read") and r["op"] in (
        "open", "close", "send_feature", "get_feature", "write", "read"), r
    assert r["data"] == r["data"].lower()
cmd = [r["data"] for r in rows if r["iface"] == "cmd" and r["op"] == "send_feature"]
# The connect sequence reads the keyboard option and writes it back with bit 0x08.
assert cmd[:2] == ["00810000000000007e", "0001080000000000f6"], cmd[:2]
events = [r["data"] for r in rows if r["iface"] == "read" and r["op"] == "read" and r["ret"] == 4]
assert events == ["06070003", "060d0100"], events
ts = [r["t_ms"] for r in rows]
assert ts == sorted(ts), "t_ms goes back"
PY

# ---- refused open ----
KELDA_VMOUSE_DENY_OPEN=1 start_app
wait_log "Device Connect" 30
wait_log "cannot open /dev/vmouse/hidraw1: permission denied"
wait_log "Info: The mouse is connected, but this user may not use it yet."
wait_log "Device removed"
[ "$(grep -c 'Info: The mouse is connected' "$tmp/app.log")" = 1 ] || fail "told more than once"
stop_app
