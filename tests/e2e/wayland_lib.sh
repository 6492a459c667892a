# shellcheck shell=bash
# The focus journeys on Wayland desktops, run headless: the compositor runs
# on a private runtime folder (and private buses where the desktop needs
# them); kelda-config runs on the test's Xvfb as in every journey, with the
# session's WAYLAND_DISPLAY and buses, so it meets the desktop as a program
# of that session does. Two plain Wayland windows from executables of their
# own (alpha-game, beta-game) are bound to profiles 2 and 3.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/screens_lib.sh"

: "${KELDA_E2E_WINDOW:=$KELDA_BUILD_DIR/tests/kelda-e2e-window}"
WL_RUNTIME="$E2E_TMP/wl-runtime"

# Skips the journey (status 77) naming what this machine lacks.
wl_need() {
    local journey=$1 missing=() c
    shift
    for c in "$@"; do
        command -v "$c" >/dev/null 2>&1 || missing+=("$c")
    done
    [ -x "$KELDA_E2E_WINDOW" ] || missing+=("$KELDA_E2E_WINDOW")
    if [ ${#missing[@]} -gt 0 ]; then
        echo "SKIP: the $journey focus journey needs ${missing[*]} (scripts/setup-deps installs them)"
        exit 77
    fi
}

# A private session bus at $1 (a socket path), exported for what follows.
wl_start_bus() {
    local socket=$1
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$socket" >"$E2E_TMP/bus.$(basename "$socket").log" 2>&1 &
    e2e_track $!
    for _ in $(seq 1 100); do
        [ -S "$socket" ] && return 0
        sleep 0.05
    done
    e2e_fail "no bus at $socket"
}

# Waits until the compositor's socket exists and exports WAYLAND_DISPLAY.
wl_wait_socket() {
    local socket=$1 log=$2
    for _ in $(seq 1 200); do
        [ -S "$socket" ] && break
        sleep 0.1
    done
    [ -S "$socket" ] || { tail -20 "$log" >&2; e2e_fail "the compositor made no socket $socket"; }
    export WAYLAND_DISPLAY=$socket
}

# The seeded data: two named profiles and the two programs bound to them.
wl_seed() {
    SCREENS_DATA="$E2E_TMP/seed"
    mkdir -p "$SCREENS_DATA/setting"
    printf '[profile]\nprofileName=Standard0, Alpha1, Beta2\n' >"$SCREENS_DATA/setting/name.bin"
    cat >"$SCREENS_DATA/setting/apConfig.bin.extra" <<'INI'

[programProfiles]
enabled=true
defaultProfile=-1
bindings\1\program=alpha-game
bindings\1\profile=1
bindings\2\program=beta-game
bindings\2\profile=2
bindings\size=2
INI
}

# Starts kelda-config with the virtual mouse, its settings seeded.
wl_start_app() {
    wl_seed
    sed -e 's/^icType=.*/icType=560/' "$KELDA_DIST_DIR/modules/setting/apConfig.bin" >"$SCREENS_DATA/setting/apConfig.bin"
    cat "$SCREENS_DATA/setting/apConfig.bin.extra" >>"$SCREENS_DATA/setting/apConfig.bin"
    rm "$SCREENS_DATA/setting/apConfig.bin.extra"
    E2E_APP_EXTRA_ENV+=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY" XDG_SESSION_TYPE=wayland "$@")
    local display=$WAYLAND_DISPLAY
    screens_start 560
    # Starting Xvfb leaves no Wayland display behind; the windows need it.
    export WAYLAND_DISPLAY=$display
}

# Opens a Wayland window whose executable and application id are $1.
wl_open() {
    local name=$1
    mkdir -p "$E2E_TMP/bin"
    [ -x "$E2E_TMP/bin/$name" ] || cp "$KELDA_E2E_WINDOW" "$E2E_TMP/bin/$name"
    env QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR="$E2E_RUNTIME" "$E2E_TMP/bin/$name" "$name" \
        >>"$E2E_TMP/$name.log" 2>&1 &
    e2e_track $!
    declare -g "pid_${name%-game}=$!"
}

wl_focus_count() {
    grep -c 'focus moved to:' "$E2E_APP_LOG" || true
}

# Runs the command given, then waits until the program has learnt of a
# focus change naming $1, and logs how long that took.
wl_focus_and_time() {
    local name=$1 before start now
    shift
    before=$(wl_focus_count)
    start=$(date +%s%N)
    "$@"
    for _ in $(seq 1 1000); do
        if [ "$(wl_focus_count)" -gt "$before" ] \
            && tail -n +1 "$E2E_APP_LOG" | grep 'focus moved to:' | tail -1 | grep -q "$name"; then
            now=$(date +%s%N)
            e2e_log "latency: the program knew of $name after $(((now - start) / 1000000)) ms"
            echo "$(((now - start) / 1000000))" >>"$E2E_TMP/latencies"
            return 0
        fi
        sleep 0.01
    done
    e2e_fail "the program never learnt that $name has the focus"
}

switches() {
    screens_wire_since "$1" | awk '$1 == "02" { print substr($2, 1, 2) }' | tr '\n' ' '
}

# The title bar's profile list, cut from a screenshot of the program.
wl_title_shot() {
    local shot
    shot=$(e2e_screenshot "$1" "$wid")
    convert "$shot" -crop 200x32+740+8 +repage "$E2E_TMP/$1.title.png"
}

wl_same_picture() {
    [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]
}

# Moves the focus to $2 with the command given and checks that the mouse
# is switched to profile $3 (the byte on the wire), then shoots the title
# bar as $1.
wl_expect_switch() {
    local shot=$1 name=$2 want=$3 mark got
    shift 3
    mark=$(screens_wire_mark)
    wl_focus_and_time "$name" "$@"
    screens_wait_command "$mark" 84 30
    got=$(switches "$mark")
    [ "$got" = "$want " ] || e2e_fail "focusing $name sent profile commands '$got', want '$want '"
    e2e_log "ok: $name has the focus and the mouse got profile command $want"
    wl_title_shot "$WL_JOURNEY-$shot"
}

# The journey: opening alpha, opening beta, then moving the focus back to
# alpha with the command given switches the mouse to 02, 03, 02; the title
# bar shows beta apart from alpha, and alpha alike both times.
wl_journey() {
    wl_expect_switch alpha alpha-game 02 wl_open alpha-game
    wl_expect_switch beta beta-game 03 wl_open beta-game
    wl_expect_switch alpha-again alpha-game 02 "$@" alpha-game
    screens_expect_value setting/apConfig.bin mouse profileNo 1
    local a1="$E2E_TMP/$WL_JOURNEY-alpha.title.png" b="$E2E_TMP/$WL_JOURNEY-beta.title.png"
    local a2="$E2E_TMP/$WL_JOURNEY-alpha-again.title.png"
    wl_same_picture "$a1" "$a2" || e2e_fail "the title bar differs between two switches to alpha"
    ! wl_same_picture "$a1" "$b" || e2e_fail "the title bar shows no change between alpha and beta"
    e2e_log "ok: the title bar follows the switches"
}

# Flips the focus between the two windows with the command given, timing
# each, and logs the latencies; the last flip ends on alpha.
wl_time_flips() {
    local i
    : >"$E2E_TMP/latencies"
    for i in 1 2 3 4 5 6 7 8 9 10; do
        if [ $((i % 2)) = 1 ]; then
            wl_focus_and_time beta-game "$@" beta-game
        else
            wl_focus_and_time alpha-game "$@" alpha-game
        fi
    done
    e2e_log "focus latencies on $WL_JOURNEY (ms): $(sort -n "$E2E_TMP/latencies" | tr '\n' ' ')"
}

wl_finish() {
    screens_check_violations
    e2e_check_scene_log
    e2e_log "PASS"
}
