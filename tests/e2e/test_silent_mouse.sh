#!/usr/bin/env bash
# A mouse that stops answering must not freeze the window. On the system
# front a feature report left unanswered blocks inside hidraw until the USB
# time-out (5 s) and then fails with ETIMEDOUT, as the kernel does. During a
# profile switch from the title bar whose closing DPI query (84H) is left
# unanswered, the window answers the desktop's ping and the busy indicator
# keeps pulsing for the whole wait; the query then fails with its line and
# the program carries on: the next query through it is answered.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

probe=$KELDA_BUILD_DIR/tools/loop_probe
[ -x "$probe" ] || e2e_fail "no event-loop probe at $probe"

SCREENS_DATA="$E2E_TMP/seed"
mkdir -p "$SCREENS_DATA/setting"
printf '[profile]\nprofileName=Standard0, Game1\n' >"$SCREENS_DATA/setting/name.bin"
sed -e 's/^reportRate=.*/reportRate=1/' "$KELDA_DIST_DIR/modules/setting/p2.bin" >"$SCREENS_DATA/setting/p2.bin"
screens_start 560
vmouse=$KELDA_BUILD_DIR/sim/kelda-vmouse

ctl() {
    e2e_app_env
    timeout 60 env "${E2E_ENV[@]}" QT_QPA_PLATFORM=offscreen "$E2E_APP_DIR/kelda-ctl" "$@"
}

# Brightest red of the busy indicator's text: it follows the pulsing opacity.
indicator() {
    local x y
    read -r x y <<<"$(e2e_window_pos "$wid")"
    import -silent -window root -crop "200x40+$((x + 412))+$((y + 300))" +repage -format '%[fx:maxima.r]' info:
}

[ "$("$vmouse" stall on)" = ok ] || e2e_fail "the virtual mouse did not take 'stall on'"
lines=$(wc -l <"$KELDA_VMOUSE_TRANSCRIPT")
"$probe" "$E2E_APP_PID" 12 >"$E2E_TMP/probe.out" 2>&1 &
probe_pid=$!
e2e_track "$probe_pid"
sleep 0.5
e2e_click "$wid" "${SCREENS_TITLE_PROFILES[@]}"
read -r x y <<<"$(screens_title_profile_item 1)"
e2e_click "$wid" "$x" "$y"

# The closing query goes out; its answer is what never comes.
deadline=$((SECONDS + 30))
until tail -n +$((lines + 1)) "$KELDA_VMOUSE_TRANSCRIPT" | grep -q '"op":"send_feature","data":"0084'; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the switch never reached its DPI query"
    sleep 0.05
done
asked=$(date +%s%N)
samples=()
for _ in 1 2 3 4 5 6; do
    samples+=("$(indicator)")
    sleep 0.35
done
e2e_screenshot silent_mouse_waiting "$wid" >/dev/null
deadline=$((SECONDS + 20))
until grep -q "cmd Failed 84" "$E2E_APP_LOG"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the unanswered query did not fail"
    sleep 0.05
done
failed_after=$((($(date +%s%N) - asked) / 1000000))
wait "$probe_pid" || true
read -r _ pings _ answers _ gap _ trip <"$E2E_TMP/probe.out" || true
e2e_log "query failed ${failed_after} ms after it was sent; pings $pings, answers $answers, longest gap ${gap} ms, longest round trip ${trip} ms; busy indicator: ${samples[*]}"

# The whole 5 s wait happened while the probe ran (it covered 12 s from
# before the click), so a gap the size of the time-out would show here.
[ "$failed_after" -ge 4000 ] || e2e_fail "the query failed after only ${failed_after} ms: no time-out was waited for"
python3 - "$gap" "$answers" "${samples[@]}" <<'PY' || e2e_fail "the window froze while the mouse was silent"
import sys
gap, answers = float(sys.argv[1]), int(sys.argv[2])
levels = {round(float(s), 2) for s in sys.argv[3:] if s}
assert answers > 100, answers
assert gap < 1000, gap
# The indicator pulses: the samples over two seconds are not all alike.
assert len(levels) >= 2, levels
PY

# The program goes on: the mouse answers again and so does the next query.
"$vmouse" stall off >/dev/null
out=$(ctl call mouseGetCurrentDPI 2>&1) || e2e_fail "kelda-ctl after the time-out: $out"
e2e_log "after the time-out: $out"
tail -n 5 "$KELDA_VMOUSE_TRANSCRIPT" | grep -q '"op":"get_feature","data":"0084[^"]*","ret":9' \
    || e2e_fail "the query after the time-out was not answered"
e2e_app_running || e2e_fail "kelda-config did not survive the time-out"
violations=$("$vmouse" violations)
[ "$violations" = "[]" ] || e2e_fail "protocol violations: $violations"
e2e_log "PASS"
