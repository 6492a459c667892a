# shellcheck shell=bash
# Helpers of the key, lighting and report-rate journeys: the family under
# test, the program's wire traffic and places on its scene. Source after
# lib.sh.

KEYS_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Entry of a journey script: called with no family, runs the script once per
# firmware family, each run in its own process with its own X server and
# data folder, and exits with the result; called with a family, starts the
# program for it and sets `family` and `wid`.
keys_journey() {
    local script=$1 rc=0 f
    family=$2
    if [ -z "$family" ]; then
        local skipped=0 r
        for f in 560 553; do
            e2e_log "--- family $f"
            r=0
            bash "$script" "$f" || r=$?
            if [ "$r" = 77 ]; then
                skipped=1
            elif [ "$r" != 0 ]; then
                rc=1
            fi
        done
        [ $rc = 0 ] && [ $skipped = 1 ] && rc=77
        exit $rc
    fi
    keys_start_family "$family"
    wid=$KEYS_WID
}

# The data folder ships one family; the other is switched in through a copy
# of the setting folder whose global file names it. The virtual mouse speaks
# the same family and records its wire traffic.
keys_start_family() {
    local family=$1 shipped
    shipped=$(sed -n 's/^icType=//p' "$KELDA_DIST_DIR/modules/setting/apConfig.bin" | tr -d '\r')
    if [ "$family" != "$shipped" ]; then
        mkdir -p "$E2E_TMP/data/setting"
        cp -a "$KELDA_DIST_DIR/modules/setting/." "$E2E_TMP/data/setting/"
        sed -i "s/^icType=.*/icType=$family/" "$E2E_TMP/data/setting/apConfig.bin"
        e2e_prepare_dist "$E2E_TMP/data"
    else
        e2e_prepare_dist
    fi
    export KELDA_VMOUSE_FAMILY=$family
    export KELDA_VMOUSE_COLOURFUL=true
    export KELDA_VMOUSE_TRANSCRIPT="$E2E_TMP/wire.jsonl"
    e2e_start_x
    e2e_use_virtual_mouse
    e2e_start_app
    KEYS_WID=$(e2e_wait_window)
    e2e_wait_scene 3
}

# One line per command sent so far (see keys_wire.py).
keys_wire() {
    python3 "$KEYS_E2E_DIR/keys_wire.py" "$E2E_TMP/wire.jsonl"
}

# Number of commands sent so far, so that a check can look only at later ones.
keys_wire_mark() {
    keys_wire | wc -l
}

# Commands sent after `mark` whose code is `code` (two hex digits).
keys_wire_since() {
    local mark=$1 code=$2
    keys_wire | tail -n +"$((mark + 1))" | awk -v c="$code" '$1 == c'
}

# Waits until a command with `code` has been sent after `mark`.
keys_wait_command() {
    local mark=$1 code=$2 timeout=${3:-10}
    local deadline=$((SECONDS + timeout))
    while [ $SECONDS -lt $deadline ]; do
        [ -n "$(keys_wire_since "$mark" "$code")" ] && return 0
        sleep 0.3
    done
    keys_skip_if_unavailable
    e2e_log "wire since mark $mark:"
    keys_wire | tail -n +"$((mark + 1))" >&2
    e2e_fail "no command $code on the wire"
}

# Waits until at least `n` commands `code` have been sent after `mark`.
keys_wait_count() {
    local mark=$1 code=$2 n=$3 timeout=${4:-15}
    local deadline=$((SECONDS + timeout))
    while [ $SECONDS -lt $deadline ]; do
        [ "$(keys_wire_since "$mark" "$code" | wc -l)" -ge "$n" ] && return 0
        sleep 0.3
    done
    e2e_log "wire since mark $mark:"
    keys_wire | tail -n +"$((mark + 1))" >&2
    e2e_fail "fewer than $n commands $code on the wire"
}

# Waits until the last command `code` sent after `mark` whose parameter word
# starts with `prefix` carries at least `bytes` bytes of payload, and prints
# that payload. A 128-byte block takes most of a second to cross the wire
# (its data reports are paced), so a fixed sleep is not enough on a busy
# machine.
keys_wait_payload() {
    local mark=$1 code=$2 prefix=$3 bytes=$4 timeout=${5:-15} p=""
    local deadline=$((SECONDS + timeout))
    while [ $SECONDS -lt $deadline ]; do
        p=$(keys_wire_since "$mark" "$code" |
            awk -v x="$prefix" 'substr($2, 1, length(x)) == x {p = $3} END {print p}')
        [ "$p" != "-" ] && [ ${#p} -ge $((bytes * 2)) ] && { echo "$p"; return 0; }
        sleep 0.3
    done
    e2e_log "wire since mark $mark:"
    keys_wire | tail -n +"$((mark + 1))" >&2
    e2e_fail "command $code $prefix did not carry $bytes bytes"
}

# A program whose back end does not have an operation yet says so in its
# output ("<slot>: not available yet"); the journey cannot run there and is
# reported to CTest as skipped (exit code 77), not as passed.
keys_skip_if_unavailable() {
    local missing
    missing=$(sed -n 's/^\([A-Za-z]*\): not available yet$/\1/p' "$E2E_APP_LOG" | sort -u | tr '\n' ' ')
    if [ -n "$missing" ]; then
        e2e_log "SKIP: the program's back end lacks $missing"
        exit 77
    fi
}

# Bytes `from`..`from + n - 1` of a hex string.
keys_bytes() {
    echo "${1:$(($2 * 2)):$(($3 * 2))}"
}

# Waits for the settings file to hold a value (the store writes it back on
# its own schedule), then compares.
keys_expect_stored() {
    local section=$1 key=$2 want=$3 got=""
    for _ in $(seq 1 50); do
        got=$(keys_profile_value "$section" "$key")
        [ "$got" = "$want" ] && break
        sleep 0.2
    done
    keys_expect "stored $section/$key" "$got" "$want"
}

keys_expect() {
    local what=$1 got=$2 want=$3
    [ "$got" = "$want" ] || e2e_fail "$what: got '$got', want '$want'"
    e2e_log "ok: $what = $want"
}

# A value of the first profile's settings file: section, key.
keys_profile_value() {
    awk -v section="[$1]" -v key="$2" '
        { sub(/\r$/, "") }
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$E2E_APP_DIR/modules/setting/p1.bin"
}

# Top edge and height of the lighting screen, as "top height": the second
# black panel of the right column (the first is the DPI screen), found in a
# screenshot.
keys_light_box() {
    local shot=$1
    convert "$shot" -crop 1x584+770+56 +repage -depth 8 txt:- | awk '
        /^[0-9]/ {
            split($1, p, "[,:]"); y = p[2] + 56
            black = ($3 == "#000000" || $3 == "#000000FF")
            if (black && !inside && ++runs == 2) top = y
            if (!black && inside && runs == 2 && !height) height = y - top
            inside = black
        }
        END { if (top) print top, (height ? height : 640 - top) }'
}

keys_light_top() {
    keys_light_box "$1" | awk '{print $1}'
}
