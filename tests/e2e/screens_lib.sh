# shellcheck shell=bash
# Helpers of the screens' journeys (DPI, macros, profiles, factory reset):
# start the program against the virtual mouse of a given family with its
# wire transcript, read the commands it sent, and find places on the scene.
# Source after lib.sh.

SCREENS_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Entry of a journey that runs on both firmware families: without a family
# it runs the script once per family, each in a process of its own, and
# exits with the result; with one it sets `family` and returns.
screens_each_family() {
    local script=$1 rc=0 f
    family=${2:-}
    [ -n "$family" ] && return 0
    for f in 560 553; do
        e2e_log "--- family $f"
        bash "$script" "$f" || rc=1
    done
    exit $rc
}

# Starts the program for a family (553 or 560) on its own X server, with a
# private data folder. SCREENS_DATA may name a folder whose files replace
# those of the copy (modules/ layout).
screens_start() {
    local family=$1
    mkdir -p "$E2E_TMP/data/setting"
    cp -a "$KELDA_DIST_DIR/modules/setting/." "$E2E_TMP/data/setting/"
    sed -i "s/^icType=.*/icType=$family/" "$E2E_TMP/data/setting/apConfig.bin"
    if [ -n "${SCREENS_DATA:-}" ]; then
        cp -a "$SCREENS_DATA/." "$E2E_TMP/data/"
    fi
    e2e_prepare_dist "$E2E_TMP/data"
    export KELDA_VMOUSE_FAMILY=$family
    export KELDA_VMOUSE_TRANSCRIPT="$E2E_TMP/wire.jsonl"
    # A control socket of its own: other virtual mice on this machine stay apart.
    export KELDA_VMOUSE_SOCKET="$E2E_TMP/vmouse.sock"
    : >"$KELDA_VMOUSE_TRANSCRIPT"
    e2e_start_x
    e2e_start_compositor
    if [ "${SCREENS_TRAY:-0}" = 1 ]; then
        e2e_start_tray
    fi
    e2e_use_virtual_mouse
    e2e_start_app
    e2e_wait_window >/dev/null
    e2e_wait_scene 3
    # The window may be created again while the program starts; take the
    # one that is there once the scene shows.
    wid=$(e2e_wait_window)
}

# One line per command sent so far: "<code> <p1..p6> <payload|->".
screens_wire() {
    python3 "$SCREENS_E2E_DIR/screens_wire.py" commands "$E2E_TMP/wire.jsonl"
}

screens_wire_mark() {
    screens_wire | wc -l
}

# Commands sent after `mark`, one per line.
screens_wire_since() {
    screens_wire | tail -n +"$(($1 + 1))"
}

# Calls on the command interface so far, data reports included: a block's
# data reports keep the wire busy although they add no command line.
screens_wire_calls() {
    grep -c '"iface":"cmd"' "$E2E_TMP/wire.jsonl" || true
}

# Waits until the command `code` was sent after `mark` and the wire has
# then been quiet for a second (the program sends its commands in bursts).
screens_wait_command() {
    local mark=$1 code=$2 timeout=${3:-20} count=-1 now
    local deadline=$((SECONDS + timeout))
    while [ $SECONDS -lt $deadline ]; do
        if screens_wire_since "$mark" | awk -v c="$code" '$1 == c { found = 1 } END { exit !found }'; then
            now=$(screens_wire_calls)
            [ "$now" = "$count" ] && return 0
            count=$now
        fi
        sleep 1
    done
    e2e_log "wire since mark $mark:"
    screens_wire_since "$mark" >&2
    e2e_fail "no command $code on the wire"
}

# Waits until commands were sent after `mark` and none followed for two
# seconds.
screens_wait_quiet() {
    local mark=$1 count=-1 now quiet=0
    for _ in $(seq 1 60); do
        now=$(screens_wire_calls)
        if [ "$(screens_wire | wc -l)" -gt "$mark" ] && [ "$now" = "$count" ]; then
            quiet=$((quiet + 1))
            [ $quiet -ge 4 ] && return 0
        else
            quiet=0
        fi
        count=$now
        sleep 0.5
    done
    e2e_fail "the wire did not settle after mark $mark"
}

# Fails when the virtual mouse recorded protocol violations.
screens_check_violations() {
    if grep -q '"violation"' "$E2E_TMP/wire.jsonl"; then
        grep '"violation"' "$E2E_TMP/wire.jsonl" >&2
        e2e_fail "protocol violations on the wire"
    fi
}

# A value of a settings file: file (under modules/), section, key.
screens_value() {
    awk -v section="[$2]" -v key="$3" '
        { sub(/\r$/, "") }
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$E2E_APP_DIR/modules/$1"
}

# Waits until a settings file holds a value (stores write back on their own
# schedule).
screens_expect_value() {
    local file=$1 section=$2 key=$3 want=$4 got=""
    for _ in $(seq 1 50); do
        got=$(screens_value "$file" "$section" "$key")
        [ "$got" = "$want" ] && break
        sleep 0.2
    done
    [ "$got" = "$want" ] || e2e_fail "$file [$section] $key: got '$got', want '$want'"
    e2e_log "ok: $file [$section] $key = $want"
}

# Waits until two files are equal byte for byte.
screens_expect_same() {
    for _ in $(seq 1 25); do
        if cmp -s "$1" "$2"; then
            e2e_log "ok: $(basename "$1") = $(basename "$2")"
            return 0
        fi
        sleep 0.2
    done
    e2e_fail "$1 and $2 differ"
}

screens_expect() {
    [ "$2" = "$3" ] || e2e_fail "$1: got '$2', want '$3'"
    e2e_log "ok: $1 = $3"
}

# Places on the scene (window coordinates).
SCREENS_TITLE_PROFILES=(832 24)          # the title bar's profile list
screens_title_profile_item() { echo 832 $((48 + 24 * $1)); }
SCREENS_CONFIG_BUTTON=(718 620)
SCREENS_RESET_BUTTON=(834 620)
SCREENS_SAVE_BUTTON=(950 620)
SCREENS_RESET_OK=(660 348)
SCREENS_MACRO_ENTRY=(140 469)
# System settings (420 x 440 at 302, 100).
SCREENS_SYSTEM_BUTTON=(140 560)
SCREENS_SYSTEM_ONE_SCREEN=(560 356)
SCREENS_SYSTEM_LINES=(490 356)
SCREENS_SYSTEM_RESTORE=(674 115)
SCREENS_SYSTEM_CLOSE=(704 115)
SCREENS_SYSTEM_FOLLOW=(360 406)
SCREENS_SYSTEM_AUTOSTART=(360 462)
SCREENS_SYSTEM_LANGUAGE=(456 512)
# DPI screen (right panel at 768, 56): stage k's value box and slider track.
screens_dpi_box() { echo 795 $((109 + 27 * $1)); }
screens_dpi_knob_y() { echo $((109 + 27 * $1)); }
SCREENS_DPI_COUNT=(960 72)
screens_dpi_count_item() { echo 960 $((96 + 24 * $1)); }
# Profile dialog (640 x 320 at 192, 160): row k, New, Import; on the right
# the bound programs, the recently focused ones and the default box.
screens_profile_row() { echo 310 $((226 + 32 * $1)); }
screens_profile_recent() { echo 620 $((361 + 22 * $1)); }
screens_profile_unbind() { echo 798 $((241 + 22 * $1)); }
SCREENS_PROFILE_DEFAULT=(600 455)
SCREENS_PROFILE_NEW=(366 448)
SCREENS_PROFILE_IMPORT=(482 448)
SCREENS_PROFILE_CLOSE=(814 175)
# Macro editor (600 x 440 at 212, 100).
SCREENS_MACRO_NEW=(274 504)
SCREENS_MACRO_RECORD=(728 181)
SCREENS_MACRO_CLOSE=(794 115)
screens_macro_step() { echo 531 $((182 + 26 * $1)); }
SCREENS_MACRO_INSERT_OK=(586 348)

# Right-clicks at scene coordinates.
screens_right_click() {
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.15
    xdotool click 3
    sleep 0.3
}

screens_double_click() {
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.15
    xdotool click --repeat 2 --delay 80 1
    sleep 0.3
}

# Answers the program's file dialog with a path: the dialog opens with its
# file name field focused. Keys go through XTEST to the focused window (Qt
# ignores synthetic key events).
screens_answer_file_dialog() {
    local path=$1 dlg=""
    for _ in $(seq 1 50); do
        for w in $(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null || true); do
            case $(xdotool getwindowname "$w" 2>/dev/null) in
                "Save File" | "Open File") dlg=$w ;;
            esac
        done
        [ -n "$dlg" ] && break
        sleep 0.2
    done
    [ -n "$dlg" ] || e2e_fail "no file dialog"
    sleep 0.5
    xdotool windowfocus --sync "$dlg"
    xdotool key ctrl+a
    xdotool type --delay 20 "$path"
    xdotool key Return
    sleep 1
}
