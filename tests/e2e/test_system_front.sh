#!/usr/bin/env bash
# The virtual mouse's system front as the real stack sees it: Debian's
# hidapi-hidraw enumerates what the kernel would list (both interfaces of
# each device, the nested collection as an entry of its own on the same
# path, ids, strings, interface numbers, usage pairs); the unchanged program
# drives the command and read nodes it should; and a user who may not open
# the nodes is told about the udev rule in plain words.
source "$(dirname "$0")/lib.sh"

if e2e_under_asan_logs; then
    echo "SKIP: the system front cannot serve programs whose AddressSanitizer writes to a log file"
    exit 77
fi
PROBE="$KELDA_BUILD_DIR/sim/kelda-hidraw-probe"
[ -x "$PROBE" ] || e2e_fail "no $PROBE"

export KELDA_VMOUSE_KEYBOARD=true
export KELDA_VMOUSE_TRANSCRIPT="$E2E_TMP/wire.jsonl"
e2e_use_virtual_mouse
e2e_start_x
e2e_app_env

# ---- enumeration through the real hidapi ----
got=$(env "${E2E_VMOUSE_ENV[@]}" "$PROBE" 04d9)
want="/dev/hidraw100 04d9:a1ee 0 ff00/ff00 ZORVANT|ZORVANT KELDA MOUSE X7 (virtual)
/dev/hidraw101 04d9:a1ee 1 ff01/ff01 ZORVANT|ZORVANT KELDA MOUSE X7 (virtual)
/dev/hidraw101 04d9:a1ee 1 ff01/0020 ZORVANT|ZORVANT KELDA MOUSE X7 (virtual)
/dev/hidraw102 04d9:8008 0 ff01/0001 ZORVANT|ZORVANT keyboard (virtual)
/dev/hidraw103 04d9:8008 1 ff02/0001 ZORVANT|ZORVANT keyboard (virtual)
/dev/hidraw103 04d9:8008 1 ff02/0020 ZORVANT|ZORVANT keyboard (virtual)"
[ "$(sort <<<"$got")" = "$(sort <<<"$want")" ] || e2e_fail "hidapi enumerated:
$got"
e2e_log "ok: hidapi enumerates both interfaces of both devices with the nested collection"

# ---- the program connects to the right nodes ----
e2e_start_app
for _ in $(seq 1 150); do
    grep -q "Device Connect" "$E2E_APP_LOG" && [ -s "$KELDA_VMOUSE_TRANSCRIPT" ] && break
    sleep 0.1
done
grep -q "Device Connect" "$E2E_APP_LOG" || e2e_fail "the program did not connect"
sleep 2
python3 - "$KELDA_VMOUSE_TRANSCRIPT" "$E2E_APP_PID" <<'PY' || e2e_fail "the program drove the wrong nodes"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
calls = [r for r in rows if "op" in r]
violations = [r["violation"] for r in rows if "violation" in r]
assert not violations, violations
where = {(r["dev"], r["iface"], r["op"]) for r in calls}
assert ("mouse", "cmd", "send_feature") in where and ("mouse", "cmd", "get_feature") in where, where
assert ("mouse", "read", "open") in where, where
assert not any(r["dev"] == "keyboard" for r in calls), "the keyboard was driven"
assert not any(r["iface"] == "read" and r["op"] in ("send_feature", "get_feature", "write") for r in calls)
# The 560 connect sequence: read the keyboard option, set bit 0x08 in it.
feature = [r["data"] for r in calls if r["op"] in ("send_feature", "get_feature")]
assert feature[:3] == ["00810000000000007e", "00810000000000007e", "0001080000000000f6"], feature[:3]
assert {r["pid"] for r in calls} == {int(sys.argv[2])}, "pid is not the program's"
PY
e2e_log "ok: the program drives the command and read nodes of the mouse"
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true

# ---- a node this user may not open ----
if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null; then
    e2e_log "permission journey skipped: needs root to run the program as another user"
    exit 0
fi
"$KELDA_BUILD_DIR/sim/kelda-vmouse" deny on >/dev/null
user_runtime="$E2E_TMP/nobody-runtime"
mkdir -m 700 "$user_runtime"
chown -R nobody:nogroup "$E2E_APP_DIR" "$user_runtime"
chmod 755 "$E2E_TMP"
: >"$E2E_APP_LOG"
env -C "$E2E_APP_DIR" TMPDIR="$user_runtime" XDG_RUNTIME_DIR="$user_runtime" HOME="$user_runtime" \
    QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled: "${E2E_VMOUSE_ENV[@]}" \
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$E2E_APP_DIR/kelda-config" >>"$E2E_APP_LOG" 2>&1 &
E2E_APP_PID=$!
e2e_track "$E2E_APP_PID"
for _ in $(seq 1 150); do
    grep -q "may not use it yet" "$E2E_APP_LOG" && break
    sleep 0.1
done
grep -qF "cannot open /dev/hidraw100: permission denied (the udev rule 70-kelda-x7.rules is not installed)" \
    "$E2E_APP_LOG" || e2e_fail "no log line about the udev rule"
grep -q "Info: The mouse is connected, but this user may not use it yet. Install the device rule 70-kelda-x7.rules" \
    "$E2E_APP_LOG" || e2e_fail "the user was not told about the udev rule"
e2e_log "ok: a user without access is told about the udev rule"
