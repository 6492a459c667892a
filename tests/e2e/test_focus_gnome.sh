#!/usr/bin/env bash
# Profiles follow the focused program under GNOME Shell, run headless on
# private buses: the program learns the focus from the "Kelda focus"
# extension that ships with it. A helper extension of the test hides the
# overview the shell starts in and moves the focus, which GNOME lets no
# ordinary program do.
source "$(dirname "$0")/wayland_lib.sh"
wl_need gnome-shell gnome-shell gsettings gdbus dbus-daemon
WL_JOURNEY=gnome

home="$E2E_TMP/home"
extensions="$home/.local/share/gnome-shell/extensions"
mkdir -p "$extensions/e2e@kelda.test" "$home/.config" "$home/.cache"
mkdir -m 700 "$WL_RUNTIME"
cp -r "$KELDA_SOURCE_DIR/packaging/gnome-shell/43" "$extensions/kelda-focus@zorvant.example"
cat >"$extensions/e2e@kelda.test/metadata.json" <<'JSON'
{"uuid": "e2e@kelda.test", "name": "e2e helper", "description": "Moves the focus for the tests", "shell-version": ["43"]}
JSON
cat >"$extensions/e2e@kelda.test/extension.js" <<'JS'
/* exported init */
const { Gio } = imports.gi;
const Main = imports.ui.main;
const Interface = `<node><interface name="org.kelda.E2E">
  <method name="Focus"><arg type="s" direction="in" name="wmClass"/><arg type="b" direction="out" name="found"/></method>
</interface></node>`;

class Helper {
    enable() {
        const hide = () => Main.overview.hide();
        if (Main.layoutManager._startingUp)
            Main.layoutManager.connect('startup-complete', hide);
        else
            hide();
        this._object = Gio.DBusExportedObject.wrapJSObject(Interface, this);
        this._object.export(Gio.DBus.session, '/org/kelda/E2E');
    }

    disable() {
        this._object.unexport();
    }

    Focus(wmClass) {
        for (const actor of global.get_window_actors()) {
            if (actor.meta_window.get_wm_class() === wmClass) {
                Main.activateWindow(actor.meta_window);
                return true;
            }
        }
        return false;
    }
}

function init() {
    return new Helper();
}
JS

# The shell looks for logind on the system bus: an empty one of its own.
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache"
wl_start_bus "$E2E_TMP/system.bus"
wl_start_bus "$E2E_TMP/session.bus"
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$E2E_TMP/system.bus"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/session.bus"
export GSETTINGS_BACKEND=dconf
XDG_RUNTIME_DIR="$WL_RUNTIME" gsettings set org.gnome.shell enabled-extensions \
    "['kelda-focus@zorvant.example', 'e2e@kelda.test']"
# It crashes when stopped; its exit status says nothing.
env XDG_RUNTIME_DIR="$WL_RUNTIME" gnome-shell --headless --wayland --no-x11 --virtual-monitor 1280x720 \
    --wayland-display gnome-e2e >"$E2E_TMP/gnome-shell.log" 2>&1 &
e2e_track $!
wl_wait_socket "$WL_RUNTIME/gnome-e2e" "$E2E_TMP/gnome-shell.log"
for _ in $(seq 1 100); do
    gdbus call --session -d org.gnome.Shell -o /com/zorvant/KeldaConfig/Focus \
        -m com.zorvant.KeldaConfig.Focus.Focused >/dev/null 2>&1 && break
    sleep 0.1
done

gnome_focus() {
    gdbus call --session -d org.gnome.Shell -o /org/kelda/E2E -m org.kelda.E2E.Focus "$1" | grep -q true \
        || e2e_fail "GNOME has no window of $1"
}

wl_start_app DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
wl_journey gnome_focus
wl_time_flips gnome_focus
wl_finish
