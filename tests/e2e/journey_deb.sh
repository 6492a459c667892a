#!/usr/bin/env bash
# The Debian package from the build to its removal: lintian finds nothing,
# the installed desktop entry and metainfo validate, apt installs it, two
# ordinary users run the installed program (one with the window under Xvfb
# and the virtual mouse, one carrying over an earlier per-user installation)
# and each keeps their own data in ~/.config/kelda-config, a home that cannot
# be written is refused with a message, and removing and purging the package
# leave every user's data in place.
#
# Needs root (apt, test users); leaves the machine as it found it. Run by
# `make test-deb`, which builds the package first; KELDA_DEB names another.
source "$(dirname "$0")/lib.sh"

if [ "$(id -u)" -ne 0 ]; then
    echo "journey_deb: skipped: needs root to install the package and create test users" >&2
    exit 77
fi
deb=${KELDA_DEB:-$(ls -t "$KELDA_BUILD_DIR"/deb/kelda-config_*.deb 2>/dev/null | head -1)}
[ -f "$deb" ] || e2e_fail "no package; build it with make deb"
deb=$(realpath "$deb")
if dpkg-query -W -f='${Status}' kelda-config 2>/dev/null | grep -q installed; then
    echo "journey_deb: skipped: kelda-config is installed on this machine already" >&2
    exit 77
fi

users=()
# The program first (e2e_cleanup stops what the test started), then the
# users and the package.
journey_cleanup() {
    local rc=$? u pid
    if [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; then
        kill "$E2E_APP_PID" 2>/dev/null || true
        wait "$E2E_APP_PID" 2>/dev/null || true
    fi
    for u in "${users[@]}"; do
        # what the test started as that user and left behind
        for pid in $(pgrep -u "$u"); do kill -KILL "$pid" 2>/dev/null || true; done
        userdel -r "$u" >/dev/null 2>&1 || e2e_log "could not remove the test user $u"
    done
    if dpkg-query -W -f='${Status}' kelda-config 2>/dev/null | grep -q installed; then
        apt-get purge -y -q kelda-config >/dev/null 2>&1 || e2e_log "could not purge kelda-config"
    fi
    e2e_cleanup
    exit "$rc"
}
trap journey_cleanup EXIT

# ---- the package itself ----
lintian --fail-on error,warning --display-info --show-overrides "$deb" >"$E2E_TMP/lintian.log" 2>&1 \
    || { cat "$E2E_TMP/lintian.log" >&2; e2e_fail "lintian"; }
e2e_log "lintian: $(grep -c . "$E2E_TMP/lintian.log") line(s) of output"
sed 's/^/  lintian: /' "$E2E_TMP/lintian.log" >&2

apt-get install -y -q "$deb" >"$E2E_TMP/apt.log" 2>&1 || { cat "$E2E_TMP/apt.log" >&2; e2e_fail "apt install"; }
desktop-file-validate /usr/share/applications/com.zorvant.KeldaConfig.desktop || e2e_fail "desktop entry"
grep -q '"43"' /usr/share/gnome-shell/extensions/kelda-focus@zorvant.example/metadata.json \
    || e2e_fail "no GNOME Shell extension for this GNOME in the package"
appstreamcli validate --no-net --pedantic /usr/share/metainfo/com.zorvant.KeldaConfig.metainfo.xml \
    >"$E2E_TMP/appstream.log" 2>&1 || { cat "$E2E_TMP/appstream.log" >&2; e2e_fail "metainfo"; }
[ -f /usr/lib/udev/rules.d/70-kelda-x7.rules ] || e2e_fail "no udev rule"

# ---- two ordinary users ----
chmod 755 "$E2E_TMP"
for n in 1 2; do
    u="kdeb$n-$$"
    useradd --create-home --home-dir "$E2E_TMP/home/$u" --shell /bin/sh "$u" || e2e_fail "useradd $u"
    users+=("$u")
    install -d -o "$u" -m 700 "$E2E_TMP/run-$u"
done
u1=${users[0]}
u2=${users[1]}
home() { echo "$E2E_TMP/home/$1"; }

# A command as user $1, with a clean environment of that user's own; it
# execs, so a command started in the background keeps its process id.
as_user() {
    (exec_as "$@")
}
exec_as() {
    local u=$1
    shift
    exec setpriv --reuid="$u" --regid="$(id -g "$u")" --init-groups -- env -i \
        HOME="$(home "$u")" USER="$u" LOGNAME="$u" PATH=/usr/bin:/bin \
        XDG_RUNTIME_DIR="$E2E_TMP/run-$u" TMPDIR="$E2E_TMP/run-$u" DISPLAY="${DISPLAY:-}" \
        DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM="${QPA:-offscreen}" \
        KELDA_VMOUSE_SOCKET="$E2E_TMP/run-$u/vmouse.sock" KELDA_VMOUSE_TRANSCRIPT="$E2E_TMP/run-$u/wire.jsonl" \
        LD_PRELOAD="$KELDA_VMOUSE_LIB" "$@"
}

# User 1: the window under Xvfb with the virtual mouse; a DPI change made
# through kelda-ctl (handed to the running program) lands in their folder.
e2e_start_x
data1="$(home "$u1")/.config/kelda-config/modules"
(QPA=xcb exec_as "$u1" /usr/bin/kelda-config >>"$E2E_APP_LOG" 2>&1) &
E2E_APP_PID=$!
e2e_track "$E2E_APP_PID"
wid=$(e2e_wait_window 60)
[ "$(xdotool getwindowname "$wid")" = "ZORVANT KELDA MOUSE X7" ] || e2e_fail "title not read from the user's data"
[ "$(stat -c %U "$data1/setting/apConfig.bin")" = "$u1" ] || e2e_fail "user 1's data folder is not theirs"
dpi='[500,1000,2000,4000,0,0,0,0]'
as_user "$u1" kelda-ctl call setDataList '"mouse/dpiValueArray"' "$dpi" >/dev/null 2>"$E2E_TMP/ctl.err" \
    || e2e_fail "setDataList: $(cat "$E2E_TMP/ctl.err")"
as_user "$u1" kelda-ctl --time call mouseSetDpi 4 '"3360"' "$dpi" >/dev/null 2>"$E2E_TMP/ctl.err" \
    || e2e_fail "mouseSetDpi: $(cat "$E2E_TMP/ctl.err")"
grep -q 'no device connected' "$E2E_TMP/ctl.err" && e2e_fail "the program did not connect the virtual mouse"
grep -q 'in the running kelda-config' "$E2E_TMP/ctl.err" || e2e_fail "kelda-ctl did not find the program: $(cat "$E2E_TMP/ctl.err")"
for _ in $(seq 1 50); do
    grep -q '^dpiValueArray=500, 1000, 2000, 4000' "$data1/setting/p1.bin" && break
    sleep 0.2
done
grep -q '^dpiValueArray=500, 1000, 2000, 4000' "$data1/setting/p1.bin" || e2e_fail "the DPI change is not in $data1"
python3 "$(dirname "$0")/screens_wire.py" commands "$E2E_TMP/run-$u1/wire.jsonl" | grep -q '^0c ' \
    || e2e_fail "no DPI block on the wire"
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true
e2e_log "user 1: DPI saved in $data1"

# User 2 installed an earlier release for themselves: the first start
# carries it over byte for byte and leaves it in place.
legacy="$(home "$u2")/.local/lib/kelda-config/modules"
data2="$(home "$u2")/.config/kelda-config/modules"
mkdir -p "$legacy/macro"
cp -a /usr/share/kelda-config/modules/. "$legacy/"
sed -i 's/^lod=.*/lod=42/' "$legacy/setting/p1.bin"
printf '[macro]\ntotal=1\n0="1,A"\n' >"$legacy/macro/Mine.bin"
chown -R "$u2:" "$(home "$u2")/.local"
(cd "$legacy" && find . -type f -exec md5sum {} + | sort) >"$E2E_TMP/legacy.md5"
as_user "$u2" kelda-ctl call getData '"mouse/lod"' false >"$E2E_TMP/lod" 2>"$E2E_TMP/ctl.err" \
    || e2e_fail "kelda-ctl as user 2: $(cat "$E2E_TMP/ctl.err")"
[ "$(cat "$E2E_TMP/lod")" = '"42"' ] || e2e_fail "user 2 reads lod $(cat "$E2E_TMP/lod")"
(cd "$data2" && md5sum -c --quiet "$E2E_TMP/legacy.md5") || e2e_fail "user 2's data was not carried over byte for byte"
(cd "$legacy" && md5sum -c --quiet "$E2E_TMP/legacy.md5") || e2e_fail "the earlier folder changed"
grep -q '^dpiValueArray=500, 1000, 2000, 4000' "$data2/setting/p1.bin" && e2e_fail "user 2 sees user 1's data"
e2e_log "user 2: earlier installation carried over into $data2"

# A home that cannot be written: a clear refusal, nothing written elsewhere.
ro="$E2E_TMP/readonly-config"
mkdir -m 555 "$ro"
rc=0
as_user "$u2" env XDG_CONFIG_HOME="$ro" kelda-ctl call getData '"mouse/lod"' false >/dev/null \
    2>"$E2E_TMP/ro.err" || rc=$?
[ "$rc" = 1 ] || e2e_fail "status $rc for a read-only home"
grep -q "kelda-ctl: the data folder $ro/kelda-config cannot be created: Permission denied" "$E2E_TMP/ro.err" \
    || e2e_fail "message for a read-only home: $(cat "$E2E_TMP/ro.err")"
[ -z "$(ls -A "$ro")" ] || e2e_fail "something was written into the read-only home"
dpkg --verify kelda-config || e2e_fail "the package's own files changed"

# ---- removal keeps every user's data; purge removes only the package ----
apt-get remove -y -q kelda-config >>"$E2E_TMP/apt.log" 2>&1 || e2e_fail "apt remove"
[ ! -e /usr/bin/kelda-config ] || e2e_fail "remove left the program"
grep -q '^dpiValueArray=500, 1000, 2000, 4000' "$data1/setting/p1.bin" || e2e_fail "remove lost user 1's data"
(cd "$data2" && md5sum -c --quiet "$E2E_TMP/legacy.md5") || e2e_fail "remove changed user 2's data"
apt-get install -y -q "$deb" >>"$E2E_TMP/apt.log" 2>&1 || e2e_fail "apt install again"
apt-get purge -y -q kelda-config >>"$E2E_TMP/apt.log" 2>&1 || e2e_fail "apt purge"
[ ! -e /usr/share/kelda-config ] && [ ! -e /usr/lib/udev/rules.d/70-kelda-x7.rules ] || e2e_fail "purge left files"
[ -f "$data1/setting/p1.bin" ] && [ -f "$data2/macro/Mine.bin" ] || e2e_fail "purge removed user data"
e2e_log "package built, checked, installed, used by two users, removed and purged"
