#!/usr/bin/env bash
# Idle CPU of the read loop: the real program with the virtual mouse
# preloaded, connected and left alone for 30 s under its own Xvfb. Prints the
# CPU time of the main thread and of the pooled thread that runs the loop.
set -euo pipefail
build=${KELDA_BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build}
n=150; while [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & xp=$!
sleep 1
export DISPLAY=:$n DBUS_SESSION_BUS_ADDRESS=disabled: KELDA_VMOUSE_SOCKET="${TMPDIR:-/tmp}/kelda-cpu-vmouse.sock"
LD_PRELOAD=$build/sim/libkelda-virtual-mouse.so $build/dist/kelda-config >"${TMPDIR:-/tmp}/kelda-cpu-app.log" 2>&1 & ap=$!
for _ in $(seq 100); do grep -q "Device Connect" "${TMPDIR:-/tmp}/kelda-cpu-app.log" && break; sleep 0.1; done
sleep 3
snap() { # CPU ns of the whole process and of the pooled (read loop) threads
  p=$(awk '{print $1}' /proc/$ap/schedstat)
  t=0; for d in /proc/$ap/task/*; do if grep -q 'Thread (pooled)' $d/comm 2>/dev/null; then t=$((t + $(awk '{print $1}' $d/schedstat))); fi; done
  echo "$p $t"
}
read p0 t0 < <(snap); s0=$(date +%s.%N)
sleep 30
read p1 t1 < <(snap); s1=$(date +%s.%N)
python3 -c "
w=$s1-$s0
print('wall %.1f s; main thread %.3f%% CPU; read loop thread %.4f%% CPU (%.1f ms of CPU)' % (w, ($p1-$p0)/1e9/w*100, ($t1-$t0)/1e9/w*100, ($t1-$t0)/1e6))"
kill $ap; wait $ap 2>/dev/null || true; kill $xp; wait $xp 2>/dev/null || true
