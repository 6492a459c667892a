# shellcheck shell=bash
# Harness for the end-to-end tests. Source it from a test script:
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_start_x                 # own Xvfb on a free display
#   e2e_start_compositor        # optional: translucent windows look as on a desktop
#   e2e_prepare_dist            # private copy of build/dist (settings may change)
#   e2e_start_app               # kelda-config, with the virtual mouse if asked for
#   wid=$(e2e_wait_window)
#   e2e_screenshot shell_main
#
# Everything a test starts is recorded and stopped on exit, in reverse order;
# nothing else is touched. Set KELDA_E2E_KEEP=1 to keep the temporary folder.

set -euo pipefail

: "${KELDA_SOURCE_DIR:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
: "${KELDA_BUILD_DIR:=$KELDA_SOURCE_DIR/build}"
: "${KELDA_DIST_DIR:=$KELDA_BUILD_DIR/dist}"
# The virtual mouse. Its system front, a daemon serving emulated hidraw nodes
# that the program meets through the real hidapi and udev, is what
# e2e_use_virtual_mouse starts; its preload front, a library with the hidapi
# functions, is there for journeys that ask for it.
: "${KELDA_VMOUSE_SYSTEM:=$KELDA_BUILD_DIR/sim/kelda-vmouse-system}"
: "${KELDA_VMOUSE_LIB:=$KELDA_BUILD_DIR/sim/libkelda-virtual-mouse.so}"
: "${KELDA_SCREENSHOT_DIR:=$KELDA_BUILD_DIR/screenshots}"
: "${E2E_SCREEN:=1280x800x24}"

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kelda-e2e.XXXXXX")
E2E_PIDS=()
E2E_APP_PID=""
E2E_APP_LOG="$E2E_TMP/app.log"
E2E_APP_DIR=""
E2E_PRELOAD=""
E2E_VMOUSE_FRONT=""
E2E_VMOUSE_ENV=()
# Settings a test adds to (or overrides in) the program's environment.
E2E_APP_EXTRA_ENV=()
# Private runtime and temp folders: the single-instance lock and socket of
# the program under test live there, so tests never meet another instance
# running on this machine, and two launches of one test do meet each other.
E2E_RUNTIME="$E2E_TMP/runtime"
mkdir -m 700 "$E2E_RUNTIME"
# The virtual mouse's control socket (and the markers beside it that tell
# which processes drive the mouse) belong to this test alone as well.
: "${KELDA_VMOUSE_SOCKET:=$E2E_TMP/vmouse.sock}"
export KELDA_VMOUSE_SOCKET

e2e_log() {
    echo "[e2e $(date +%H:%M:%S)] $*" >&2
}

e2e_fail() {
    e2e_log "FAIL: $*"
    if [ -n "${E2E_APP_PID:-}" ] && ! kill -0 "$E2E_APP_PID" 2>/dev/null; then
        local rc=0
        wait "$E2E_APP_PID" 2>/dev/null || rc=$?
        if [ "$rc" -gt 128 ]; then
            e2e_log "kelda-config was killed by signal $((rc - 128))"
        else
            e2e_log "kelda-config exited with status $rc"
        fi
    fi
    if [ -s "$E2E_APP_LOG" ]; then
        e2e_log "program output:"
        tail -n 40 "$E2E_APP_LOG" >&2
    fi
    exit 1
}

e2e_cleanup() {
    local i pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            for _ in $(seq 1 50); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -9 "$pid" 2>/dev/null || true
        fi
        wait "$pid" 2>/dev/null || true
    done
    if [ "${KELDA_E2E_KEEP:-0}" = 1 ]; then
        e2e_log "kept $E2E_TMP"
    else
        rm -rf "$E2E_TMP"
    fi
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

e2e_track() {
    E2E_PIDS+=("$1")
}

# Starts Xvfb on a display it picks itself (-displayfd) and exports DISPLAY.
e2e_start_x() {
    local file="$E2E_TMP/display" n
    : >"$file"
    Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" -nolisten tcp -noreset \
        3>"$file" >"$E2E_TMP/xvfb.log" 2>&1 &
    e2e_track $!
    for _ in $(seq 1 100); do
        n=$(tr -dc '0-9' <"$file")
        [ -n "$n" ] && break
        sleep 0.1
    done
    [ -n "$n" ] || e2e_fail "Xvfb did not report a display"
    export DISPLAY=":$n"
    unset WAYLAND_DISPLAY
    e2e_log "Xvfb on $DISPLAY"
}

# A compositing manager, so the translucent window is blended as on a desktop.
e2e_start_compositor() {
    xcompmgr -n >"$E2E_TMP/xcompmgr.log" 2>&1 &
    e2e_track $!
    sleep 0.3
}

# A system tray, so the program's tray icon has a place.
e2e_start_tray() {
    trayer --edge bottom --align right --widthtype pixel --width 64 --height 24 \
        >"$E2E_TMP/trayer.log" 2>&1 &
    e2e_track $!
    sleep 0.3
}

# Opens the tray icon's menu and chooses Quit; prints the moment (ms since
# the epoch) of the click on Quit.
e2e_tray_quit() {
    local icon x y menu="" before after
    # The icon is the program's window embedded in trayer's panel.
    icon=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ { p = 1; next }
        p && /"kelda-config"/ { print $NF; exit }')
    [ -n "$icon" ] || e2e_fail "no tray icon in trayer's panel"
    IFS=+ read -r _ x y <<<"$icon"
    before=$(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | sort)
    xdotool mousemove $((x + 10)) $((y + 10)) click 3
    for _ in $(seq 1 100); do
        after=$(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | sort)
        for w in $(comm -13 <(echo "$before") <(echo "$after")); do
            # The menu: one item, a few dozen pixels high.
            if xdotool getwindowgeometry "$w" | awk '/Geometry:/ { split($2, g, "x"); exit !(g[2] < 60) }'; then
                menu=$w
                break
            fi
        done
        [ -n "$menu" ] && break
        sleep 0.05
    done
    [ -n "$menu" ] || e2e_fail "the tray menu did not open"
    read -r x y <<<"$(e2e_window_pos "$menu")"
    sleep 0.2
    date +%s%3N
    xdotool mousemove $((x + 30)) $((y + 11)) click 1
}

# Copies the assembled program with its data folder into the test's own
# folder, so settings written by the test stay there. An optional argument
# names a data folder whose contents replace the copy's modules/.
e2e_prepare_dist() {
    E2E_APP_DIR="$E2E_TMP/dist"
    [ -x "$KELDA_DIST_DIR/kelda-config" ] || e2e_fail "no program at $KELDA_DIST_DIR/kelda-config"
    cp -a "$KELDA_DIST_DIR" "$E2E_APP_DIR"
    if [ $# -ge 1 ] && [ -n "$1" ]; then
        cp -a "$1"/. "$E2E_APP_DIR/modules/"
    fi
}

# The program meets the virtual mouse on its system front: the daemon starts
# with the first launch (so it takes the KELDA_VMOUSE_* settings the test
# exported before that) and stops with the test. "preload" puts the hidapi
# stand-in into the program instead.
e2e_under_asan_logs() {
    case "${ASAN_OPTIONS:-}" in *log_path=*) return 0 ;; esac
    return 1
}

e2e_use_virtual_mouse() {
    E2E_VMOUSE_FRONT=${1:-system}
    # umockdev's preload library crashes a program built with AddressSanitizer
    # that writes its reports to a file: the runtime opens the file before
    # umockdev's wrappers are ready. Sanitizer runs therefore meet the mouse
    # on the preload front; the system front is covered by the plain run.
    if [ "$E2E_VMOUSE_FRONT" = system ] && e2e_under_asan_logs; then
        E2E_VMOUSE_FRONT=preload
    fi
    case "$E2E_VMOUSE_FRONT" in
    system) [ -x "$KELDA_VMOUSE_SYSTEM" ] || e2e_fail "no virtual mouse at $KELDA_VMOUSE_SYSTEM" ;;
    preload)
        [ -f "$KELDA_VMOUSE_LIB" ] || e2e_fail "no virtual mouse at $KELDA_VMOUSE_LIB"
        E2E_PRELOAD="$KELDA_VMOUSE_LIB"
        ;;
    *) e2e_fail "e2e_use_virtual_mouse: unknown front $E2E_VMOUSE_FRONT" ;;
    esac
}

# Starts the system front once and reads how programs reach it.
e2e_start_vmouse_system() {
    [ ${#E2E_VMOUSE_ENV[@]} -eq 0 ] || return 0
    local file="$E2E_TMP/vmouse.env" line
    "$KELDA_VMOUSE_SYSTEM" --env-file "$file" >>"$E2E_TMP/vmouse-system.log" 2>&1 &
    e2e_track $!
    for _ in $(seq 1 100); do
        [ -s "$file" ] && break
        kill -0 "$!" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$file" ] || { cat "$E2E_TMP/vmouse-system.log" >&2; e2e_fail "the virtual mouse's system front did not start"; }
    while IFS= read -r line; do
        E2E_VMOUSE_ENV+=("$line")
    done <"$file"
    e2e_log "virtual mouse on its system front (${E2E_VMOUSE_ENV[0]})"
}

# The environment every launch of the program gets, as arguments for env.
# The program gets no session bus unless a test asks for its own one
# (E2E_SESSION_BUS); E2E_EXTRA_ENV adds settings of a test.
E2E_EXTRA_ENV=()
e2e_app_env() {
    E2E_ENV=(TMPDIR="$E2E_RUNTIME" XDG_RUNTIME_DIR="$E2E_RUNTIME"
        QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS="${E2E_SESSION_BUS:-disabled:}"
        # A fresh data folder speaks the desktop's language: English unless
        # a test asks for another with E2E_LANG.
        LANG="${E2E_LANG:-C.UTF-8}" LANGUAGE= LC_ALL= LC_MESSAGES=
        "${E2E_EXTRA_ENV[@]}" "${E2E_APP_EXTRA_ENV[@]}")
    if [ "$E2E_VMOUSE_FRONT" = system ]; then
        e2e_start_vmouse_system
        E2E_ENV+=("${E2E_VMOUSE_ENV[@]}")
    elif [ -n "$E2E_PRELOAD" ]; then
        E2E_ENV+=(LD_PRELOAD="$E2E_PRELOAD")
    fi
}

# Starts the program from the working directory given (default: the test's
# temporary folder, never the program's own folder).
e2e_start_app() {
    local cwd=${1:-$E2E_TMP}
    [ -n "$E2E_APP_DIR" ] || e2e_prepare_dist
    e2e_app_env
    env -C "$cwd" "${E2E_ENV[@]}" "$E2E_APP_DIR/kelda-config" >>"$E2E_APP_LOG" 2>&1 &
    E2E_APP_PID=$!
    e2e_track "$E2E_APP_PID"
    e2e_log "kelda-config started (pid $E2E_APP_PID, cwd $cwd)"
}

# Runs another launch in the foreground and prints its exit code.
e2e_run_app_again() {
    local rc=0
    e2e_app_env
    timeout 20 env -C "$E2E_TMP" "${E2E_ENV[@]}" "$E2E_APP_DIR/kelda-config" \
        >>"$E2E_TMP/second.log" 2>&1 || rc=$?
    echo "$rc"
}

e2e_app_running() {
    [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null
}

# Waits for the program's 1024 x 640 window and prints its id.
e2e_wait_window() {
    local timeout=${1:-20} wid geo
    local deadline=$((SECONDS + timeout))
    while [ $SECONDS -lt $deadline ]; do
        e2e_app_running || e2e_fail "kelda-config exited early"
        for wid in $(timeout 2 xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null || true); do
            geo=$(xdotool getwindowgeometry "$wid" 2>/dev/null | awk '/Geometry:/ {print $2}')
            if [ "$geo" = "1024x640" ]; then
                echo "$wid"
                return 0
            fi
        done
        sleep 0.2
    done
    e2e_fail "no 1024x640 window within ${timeout}s"
}

# Waits until the scene has finished its first protection period and shows
# its panels.
e2e_wait_scene() {
    sleep "${1:-2}"
}

# Position of a window's top-left corner on the screen, as "x y".
e2e_window_pos() {
    xdotool getwindowgeometry "$1" | awk '/Position:/ {split($2, p, ","); print p[1], p[2]}'
}

# Clicks at scene coordinates (x, y) of window wid.
e2e_click() {
    local wid=$1 x=$2 y=$3
    xdotool mousemove --window "$wid" "$x" "$y"
    sleep 0.15
    xdotool click 1
    sleep 0.3
}

# Saves a screenshot of the whole screen under build/screenshots/<name>.png,
# or, with a window id as second argument, of that window only.
e2e_screenshot() {
    local name=$1 wid=${2:-} out
    mkdir -p "$KELDA_SCREENSHOT_DIR"
    out="$KELDA_SCREENSHOT_DIR/$name.png"
    if [ -n "$wid" ]; then
        local pos
        read -r -a pos <<<"$(e2e_window_pos "$wid" 2>/dev/null)"
        [ "${#pos[@]}" = 2 ] || e2e_fail "window $wid is gone (screenshot $name)"
        import -silent -window root -crop "1024x640+${pos[0]}+${pos[1]}" +repage "$out"
    else
        import -silent -window root "$out"
    fi
    e2e_log "screenshot $out"
    echo "$out"
}

# Colour of one pixel of a PNG as "r g b" (0..255).
e2e_pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)] %[fx:int(255*p{'"$2"','"$3"'}.g)] %[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# Fails when the program reported errors of its scene.
e2e_check_scene_log() {
    if grep -E "TypeError|ReferenceError|is not a type|is not defined|Cannot assign|Cannot read property|Unable to assign" "$E2E_APP_LOG" >&2; then
        e2e_fail "the scene reported errors"
    fi
}
