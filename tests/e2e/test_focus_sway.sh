#!/usr/bin/env bash
# Profiles follow the focused program under sway, a wlroots compositor,
# run headless: the program learns the focus from the compositor's toplevel
# list; swaymsg moves the focus.
source "$(dirname "$0")/wayland_lib.sh"
wl_need sway sway swaymsg
WL_JOURNEY=sway

# sway will not run as root; then it runs as nobody, in a runtime folder
# of that user.
as_user=()
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
mkdir -m 700 "$WL_RUNTIME"
printf 'xwayland disable\n' >"$E2E_TMP/sway.conf"
chmod 755 "$E2E_TMP"
chmod 644 "$E2E_TMP/sway.conf"
[ "$(id -u)" = 0 ] && chown nobody "$WL_RUNTIME"
env -i PATH="$PATH" HOME="$WL_RUNTIME" XDG_RUNTIME_DIR="$WL_RUNTIME" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_user[@]}" sway -c "$E2E_TMP/sway.conf" \
    >"$E2E_TMP/sway.log" 2>&1 &
e2e_track $!
wl_wait_socket "$WL_RUNTIME/wayland-1" "$E2E_TMP/sway.log"
export SWAYSOCK
for _ in $(seq 1 50); do
    SWAYSOCK=$(ls "$WL_RUNTIME"/sway-ipc.*.sock 2>/dev/null | head -1 || true)
    [ -n "$SWAYSOCK" ] && break
    sleep 0.1
done

sway_focus() {
    swaymsg "[app_id=\"$1\"] focus" >/dev/null
}

wl_start_app
wl_journey sway_focus
wl_time_flips sway_focus
wl_finish
