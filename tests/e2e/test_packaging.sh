#!/usr/bin/env bash
# Installation for one user: the desktop entry and metainfo validate, the
# installed program starts from its own folder, and a reinstall keeps what
# the user changed while adding keys a newer release ships.
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
app="$prefix/lib/kelda-config"
ctl="$KELDA_DIST_DIR/kelda-ctl"
install_once() {
    PREFIX="$prefix" KELDA_DIST_DIR="$KELDA_DIST_DIR" "$KELDA_SOURCE_DIR/scripts/install" >/dev/null
}

install_once
[ -L "$prefix/bin/kelda-config" ] || e2e_fail "no command link in bin/"
[ -f "$prefix/share/applications/com.zorvant.KeldaConfig.desktop" ] || e2e_fail "no desktop entry"
[ -f "$prefix/share/icons/hicolor/48x48/apps/com.zorvant.KeldaConfig.png" ] || e2e_fail "no 48 px icon"
[ -f "$prefix/share/icons/hicolor/scalable/apps/com.zorvant.KeldaConfig.svg" ] || e2e_fail "no scalable icon"

# The installed program, started through its link from another folder,
# finds the data folder beside the real executable.
e2e_start_x
e2e_app_env
env -C / "${E2E_ENV[@]}" "$prefix/bin/kelda-config" >>"$E2E_APP_LOG" 2>&1 &
E2E_APP_PID=$!
e2e_track "$E2E_APP_PID"
wid=$(e2e_wait_window)
[ "$(xdotool getwindowname "$wid")" = "ZORVANT KELDA MOUSE X7" ] || e2e_fail "title not read from the installed data"
kill "$E2E_APP_PID"; wait "$E2E_APP_PID" 2>/dev/null || true

# The user changes settings through the program's own slots.
env "${E2E_ENV[@]}" QT_QPA_PLATFORM=offscreen "$ctl" --data "$app" call setGlobalData '"common/language"' '"French"' >/dev/null \
    || e2e_fail "kelda-ctl could not change a global setting"
env "${E2E_ENV[@]}" QT_QPA_PLATFORM=offscreen "$ctl" --data "$app" call setData '"mouse/reportRate"' '1' >/dev/null \
    || e2e_fail "kelda-ctl could not change a profile setting"
grep -q '^language=French' "$app/modules/setting/apConfig.bin" || e2e_fail "setting not written"
# A key the user's file lacks, as after an upgrade that ships a new one.
sed -i '/^url=/d' "$app/modules/setting/apConfig.bin"
mkdir -p "$app/modules/macro" && echo '[macro]' > "$app/modules/macro/Mine.bin"

install_once
grep -q '^language=French' "$app/modules/setting/apConfig.bin" || e2e_fail "reinstall lost a global setting"
grep -q '^reportRate=1' "$app/modules/setting/p1.bin" || e2e_fail "reinstall lost a profile setting"
grep -q '^url=' "$app/modules/setting/apConfig.bin" || e2e_fail "reinstall did not add the shipped key"
[ -f "$app/modules/macro/Mine.bin" ] || e2e_fail "reinstall lost a macro"
cmp -s "$KELDA_DIST_DIR/modules/setting/pD.bin" "$app/modules/setting/pD.bin" || e2e_fail "factory profile not replaced"

PREFIX="$prefix" "$KELDA_SOURCE_DIR/scripts/uninstall" >/dev/null
[ ! -e "$prefix/bin/kelda-config" ] || e2e_fail "uninstall left the command"
[ ! -e "$app/kelda-config" ] || e2e_fail "uninstall left the program"
[ -f "$app/modules/setting/apConfig.bin" ] || e2e_fail "uninstall removed the user's settings"
[ -f "$app/modules/macro/Mine.bin" ] || e2e_fail "uninstall removed the user's macro"
PREFIX="$prefix" PURGE=1 "$KELDA_SOURCE_DIR/scripts/uninstall" >/dev/null
[ ! -e "$app" ] || e2e_fail "PURGE=1 left the data folder"
e2e_log "install, reinstall and uninstall keep the user's data"
