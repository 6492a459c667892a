#!/usr/bin/env bash
# kelda-ctl and a running kelda-config share the mouse without meeting on
# the wire: calls go through the program, which makes them as its scene
# would; without the program, runs of kelda-ctl take turns on the device
# lock; a program killed outright leaves the lock free; and messages on the
# program's socket that are not calls change nothing.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

SCREENS_DATA="$E2E_TMP/seed"
mkdir -p "$SCREENS_DATA/setting"
printf '[profile]\nprofileName=Standard0, Game1\n' >"$SCREENS_DATA/setting/name.bin"
screens_start 560
gui=$E2E_APP_PID

# Median wall time of N runs of a kelda-ctl call, in ms (KELDA_E2E_MEASURE=1).
median_ms() {
    local n=$1 i t0 times=()
    shift
    for i in $(seq 1 "$n"); do
        t0=$(date +%s%N)
        ctl "$@" >/dev/null 2>&1 || e2e_fail "measured call failed: $*"
        times+=($((($(date +%s%N) - t0) / 1000000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] " ms (min " a[1] ", max " a[NR] ")" }'
}

ctl() {
    e2e_app_env
    timeout 150 env "${E2E_ENV[@]}" QT_QPA_PLATFORM=offscreen "$E2E_APP_DIR/kelda-ctl" "$@"
}

# Processes and violations in the transcript, as "pids: A B | violations: N".
wire_summary() {
    python3 - "$KELDA_VMOUSE_TRANSCRIPT" <<'PY'
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
pids = sorted({r["pid"] for r in rows if "pid" in r})
print("pids:", *pids, "| violations:", sum("violation" in r for r in rows))
PY
}

# ---- calls through the running program ----
mark=$(screens_wire_mark)
out=$(ctl --time call setCurrentProfile 1 2>"$E2E_TMP/ctl.err") || e2e_fail "setCurrentProfile: $(cat "$E2E_TMP/ctl.err")"
screens_expect "setCurrentProfile result" "$out" null
grep -q "took .* ms (in the running kelda-config)" "$E2E_TMP/ctl.err" || e2e_fail "no time of the program: $(cat "$E2E_TMP/ctl.err")"
e2e_log "$(grep took "$E2E_TMP/ctl.err")"
screens_wait_command "$mark" 84 30
first=$(screens_wire_since "$mark" | head -1)
screens_expect "first command after the switch" "${first:0:5}" "02 02"
# The scene's own profile change ran: it notes the profile in the settings.
screens_expect_value setting/apConfig.bin mouse profileNo 1
sleep 1.5
e2e_screenshot ctl_instance_profile "$wid" >/dev/null

out=$(ctl call mouseSetDpi 4 '"3360"' '[400,800,1600,3200,6400,12000,16000,16000]') || e2e_fail "mouseSetDpi failed"
screens_expect "mouseSetDpi result" "$out" null
mark=$(screens_wire_mark)
dpi=$(ctl call mouseGetCurrentDPI) || e2e_fail "mouseGetCurrentDPI failed"
# Asked for the new profile (84H with profile 2), answered from the mouse.
query=$(screens_wire_since "$mark" | tail -1)
screens_expect "DPI query" "${query:0:5}" "84 02"
want=$("$KELDA_BUILD_DIR/sim/kelda-vmouse" state | python3 -c 'import json,sys; print(json.load(sys.stdin)["devices"][0]["state"]["profileCurrentDpi"][1])')
screens_expect "mouseGetCurrentDPI through the program" "$dpi" "$want"
summary=$(wire_summary)
screens_expect "wire" "$summary" "pids: $gui | violations: 0"

# Bad input is refused by kelda-ctl itself, with the usual status.
rc=0; ctl call mouseSetDpi 4 3360 '[]' 2>/dev/null || rc=$?
screens_expect "status of a wrong argument type" "$rc" 2

if [ "${KELDA_E2E_MEASURE:-0}" = 1 ]; then
    e2e_log "MEASURE mouseGetCurrentDPI through the program, median of 10: $(median_ms 10 call mouseGetCurrentDPI)"
fi

# ---- hostile messages on the socket ----
sock=$(ls "$E2E_RUNTIME"/kelda-config/*.sock)
screens_expect "socket folder and socket modes" "$(stat -c %a "$E2E_RUNTIME/kelda-config" "$sock" | tr '\n' ' ')" "700 700 "
snapshot() { (cd "$E2E_APP_DIR/modules" && find . -type f -exec md5sum {} + | sort); }
before=$(snapshot)
python3 - "$sock" <<'PY' || e2e_fail "the socket took a hostile message"
import json, socket, struct, sys, time

path = sys.argv[1]
CALL = 0x4B43544C

def talk(data, wait=3.0):
    s = socket.socket(socket.AF_UNIX)
    s.connect(path)
    s.sendall(data)
    s.settimeout(wait)
    got = b""
    try:
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            got += chunk
    except socket.timeout:
        pass
    s.close()
    return got

def frame(tag, payload):
    return struct.pack(">III", tag, len(payload), len(payload)) + payload

def refused(answer, what):
    assert answer[:1] == b"\0", (what, answer)
    n = struct.unpack(">I", answer[1:5])[0]
    print("refused %s: %s" % (what, answer[5:5 + n].decode()))

# Half a message, then silence: the program hangs up after its idle time.
s = socket.socket(socket.AF_UNIX)
s.connect(path)
s.sendall(frame(CALL, b'{"slot":"mouseGetCurrentDPI","args":[]}')[:7])
t0 = time.time()
s.settimeout(10)
assert s.recv(16) == b"", "the silent client got an answer"
quiet = time.time() - t0
assert 4 <= quiet <= 8, quiet
print("silent client cut off after %.1f s" % quiet)
s.close()

# Clients beyond the few served at once are turned away at once.
idle = []
for _ in range(8):
    idle.append(socket.socket(socket.AF_UNIX))
    idle[-1].connect(path)
refused(talk(b"", 2.0), "a ninth client")
for s in idle:
    s.close()
time.sleep(0.3)

refused(talk(struct.pack(">III", CALL, 0, 2 << 20) + b"x" * 65536), "a 2 MiB frame")
refused(talk(struct.pack(">III", CALL, 0, 1 << 20)), "a 1 MiB frame")
refused(talk(b"GET / HTTP/1.0\r\n\r\n"), "raw garbage")
refused(talk(frame(CALL, b"\xff\x00garbage{")), "garbage")
refused(talk(frame(CALL, json.dumps({"slot": "resetApconfig", "args": [1]}).encode())), "wrong argument count")
refused(talk(frame(CALL, json.dumps({"slot": "mouseSetDpi", "args": [4, 3360, []]}).encode())), "wrong types")
refused(talk(frame(CALL, json.dumps({"slot": "deleteEverything", "args": []}).encode())), "an unknown slot")
refused(talk(frame(CALL, json.dumps({"slot": "destroyed", "args": []}).encode())), "a signal")
PY
# A client that keeps silent holds nothing up: a call during its wait runs.
python3 -c "import socket,sys,time; s=socket.socket(socket.AF_UNIX); s.connect(sys.argv[1]); time.sleep(4)" "$sock" &
silent=$!
sleep 0.5
start=$(date +%s%N)
ctl call mouseGetCurrentDPI >/dev/null || e2e_fail "call beside a silent client failed"
e2e_log "call beside a silent client: $((($(date +%s%N) - start) / 1000000)) ms"
wait "$silent" || true
e2e_app_running || e2e_fail "the program died from the hostile messages"
sleep 1
[ "$before" = "$(snapshot)" ] || e2e_fail "files on disk changed: $(diff <(echo "$before") <(snapshot))"
e2e_log "ok: files on disk unchanged"
screens_expect "wire after the hostile messages" "$(wire_summary)" "pids: $gui | violations: 0"

# ---- kill -9 frees the lock; kelda-ctl runs without a program take turns ----
kill -9 "$gui"
wait "$gui" 2>/dev/null || true
# The mouse sees the killed program's handles close as the kernel reaps it;
# those records belong to it, not to the runs below.
sleep 1
: >"$KELDA_VMOUSE_TRANSCRIPT"
start=$(date +%s%N)
ctl call mouseGetCurrentDPI >"$E2E_TMP/a.out" 2>"$E2E_TMP/a.err" &
a=$!
ctl call mouseSetReportRate 1 >"$E2E_TMP/b.out" 2>"$E2E_TMP/b.err" &
b=$!
rc=0; wait "$a" || rc=$?
[ "$rc" = 0 ] || e2e_fail "first kelda-ctl after the kill ended with $rc: $(cat "$E2E_TMP/a.err")"
rc=0; wait "$b" || rc=$?
[ "$rc" = 0 ] || e2e_fail "second kelda-ctl ended with $rc: $(cat "$E2E_TMP/b.err")"
took=$((($(date +%s%N) - start) / 1000000))
e2e_log "two kelda-ctl runs after kill -9: $took ms"
# Neither waited for a lock the killed program might still have held.
[ "$took" -lt 30000 ] || e2e_fail "the lock outlived the killed program"
python3 - "$KELDA_VMOUSE_TRANSCRIPT" <<'PY' || e2e_fail "the two runs met on the wire"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
assert not [r for r in rows if "violation" in r], [r for r in rows if "violation" in r]
order = [r["pid"] for r in rows]
runs = [p for i, p in enumerate(order) if i == 0 or order[i - 1] != p]
assert len(set(order)) == 2 and len(runs) == 2, runs
print("two processes, one after the other: %d and %d records" % (order.count(runs[0]), order.count(runs[1])))
PY
if [ "${KELDA_E2E_MEASURE:-0}" = 1 ]; then
    e2e_log "MEASURE mouseGetCurrentDPI direct, median of 10: $(median_ms 10 call mouseGetCurrentDPI)"
fi
e2e_check_scene_log
e2e_log "PASS"
