#!/usr/bin/env bash
# Installation for one user: the desktop entry and metainfo validate, the
# installed program keeps its data in the user's XDG folder, carried over
# from an earlier installation's folder, and a reinstall keeps what the user
# changed while the next start adds keys a newer release ships.
source "$(dirname "$0")/lib.sh"

desktop-file-validate "$KELDA_SOURCE_DIR/packaging/com.zorvant.KeldaConfig.desktop" \
    || e2e_fail "desktop entry does not validate"
appstreamcli validate --no-net --pedantic "$KELDA_SOURCE_DIR/packaging/com.zorvant.KeldaConfig.metainfo.xml" \
    >"$E2E_TMP/appstream.log" 2>&1 || { cat "$E2E_TMP/appstream.log" >&2; e2e_fail "metainfo does not validate"; }

# Every screenshot the metainfo names is rendered by the build: a picture of
# the program's own window at the size the metainfo gives, not a blank one.
# (A build configured with -DKELDA_APPSTREAM_SCREENSHOTS=OFF, such as the
# sanitizer builds, renders none.)
shots="$KELDA_BUILD_DIR/appstream/screenshots"
[ "${KELDA_RENDERS_SCREENSHOTS:-ON}" = OFF ] && shots=""
names=$(sed -n 's#.*<image[^>]*>.*/\([^/<]*\)</image>.*#\1#p' "$KELDA_SOURCE_DIR/packaging/com.zorvant.KeldaConfig.metainfo.xml")
[ -n "$names" ] || e2e_fail "the metainfo names no screenshot"
for name in $names; do
    [ -n "$shots" ] || break
    [ -f "$shots/$name" ] || e2e_fail "screenshot $name was not rendered by the build"
    [ "$(identify -format '%wx%h' "$shots/$name")" = 1024x640 ] || e2e_fail "screenshot $name is not 1024x640"
    colours=$(convert "$shots/$name" -format '%k' info:)
    [ "$colours" -gt 1000 ] || e2e_fail "screenshot $name shows almost nothing ($colours colours)"
done

prefix="$E2E_TMP/prefix"
shipped="$prefix/share/kelda-config/modules"
export XDG_CONFIG_HOME="$E2E_TMP/config"
data="$XDG_CONFIG_HOME/kelda-config/modules"
ctl() {
    env "${E2E_ENV[@]}" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" QT_QPA_PLATFORM=offscreen "$prefix/bin/kelda-ctl" "$@"
}
install_once() {
    PREFIX="$prefix" KELDA_BUILD_DIR="$KELDA_BUILD_DIR" "$KELDA_SOURCE_DIR/scripts/install" >/dev/null
}

# An earlier installation kept program and data together in lib/; the
# user had changed a profile there.
old="$prefix/lib/kelda-config"
mkdir -p "$old/modules"
cp -a "$KELDA_DIST_DIR/modules/." "$old/modules/"
cp "$KELDA_DIST_DIR/kelda-config" "$old/"
printf 'kelda-config\nmodules/setting/pD.bin\n' >"$old/.install-manifest"
sed -i 's/^lod=.*/lod=42/' "$old/modules/setting/p2.bin"

install_once
[ -x "$prefix/bin/kelda-config" ] && [ -x "$prefix/bin/kelda-ctl" ] || e2e_fail "no programs in bin/"
[ -f "$shipped/setting/apConfig.bin" ] && [ -f "$shipped/img/logo.ico" ] || e2e_fail "no shipped data"
[ -f "$prefix/share/applications/com.zorvant.KeldaConfig.desktop" ] || e2e_fail "no desktop entry"
[ -f "$prefix/share/icons/hicolor/48x48/apps/com.zorvant.KeldaConfig.png" ] || e2e_fail "no 48 px icon"
[ -f "$prefix/share/icons/hicolor/scalable/apps/com.zorvant.KeldaConfig.svg" ] || e2e_fail "no scalable icon"
[ -f "$prefix/share/gnome-shell/extensions/kelda-focus@zorvant.example/extension.js" ] \
    || e2e_fail "no GNOME Shell extension in the user's extensions folder"
[ ! -e "$old/kelda-config" ] && [ -f "$old/modules/setting/p2.bin" ] || e2e_fail "the earlier program or its data"

# The installed program, started from another folder, makes the user's data
# folder from the earlier one and reads its title from there.
e2e_start_x
e2e_app_env
env -C / "${E2E_ENV[@]}" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" "$prefix/bin/kelda-config" >>"$E2E_APP_LOG" 2>&1 &
E2E_APP_PID=$!
e2e_track "$E2E_APP_PID"
wid=$(e2e_wait_window)
[ "$(xdotool getwindowname "$wid")" = "ZORVANT KELDA MOUSE X7" ] || e2e_fail "title not read from the user's data"
cmp -s "$old/modules/setting/p2.bin" "$data/setting/p2.bin" || e2e_fail "the earlier profile was not carried over"
kill "$E2E_APP_PID"; wait "$E2E_APP_PID" 2>/dev/null || true

# The user changes settings through the program's own slots.
ctl call setGlobalData '"common/language"' '"French"' >/dev/null || e2e_fail "kelda-ctl could not change a global setting"
ctl call setData '"mouse/reportRate"' '1' >/dev/null || e2e_fail "kelda-ctl could not change a profile setting"
grep -q '^language=French' "$data/setting/apConfig.bin" || e2e_fail "setting not written"
# A key the user's file lacks, as after an upgrade that ships a new one.
sed -i '/^url=/d' "$data/setting/apConfig.bin"
echo '[macro]' >"$data/macro/Mine.bin"

install_once
ctl call getData '"mouse/lod"' false >/dev/null || e2e_fail "kelda-ctl after the reinstall"
grep -q '^language=French' "$data/setting/apConfig.bin" || e2e_fail "reinstall lost a global setting"
grep -q '^reportRate=1' "$data/setting/p1.bin" || e2e_fail "reinstall lost a profile setting"
grep -q '^url=' "$data/setting/apConfig.bin" || e2e_fail "the next start did not add the shipped key"
[ -f "$data/macro/Mine.bin" ] || e2e_fail "reinstall lost a macro"
cmp -s "$shipped/setting/pD.bin" "$data/setting/pD.bin" || e2e_fail "factory profile not refreshed"

PREFIX="$prefix" "$KELDA_SOURCE_DIR/scripts/uninstall" >/dev/null
left=$(find "$prefix" -type f ! -path "$old/*")
[ -z "$left" ] || e2e_fail "uninstall left $left"
[ -f "$data/setting/apConfig.bin" ] && [ -f "$data/macro/Mine.bin" ] || e2e_fail "uninstall removed the user's data"
PREFIX="$prefix" PURGE=1 "$KELDA_SOURCE_DIR/scripts/uninstall" >/dev/null
[ ! -e "$data" ] && [ ! -e "$old" ] || e2e_fail "PURGE=1 left the data folder"
e2e_log "install, reinstall and uninstall keep the user's data"
