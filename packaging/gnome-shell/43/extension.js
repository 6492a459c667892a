// Exports the focused window on the session bus for kelda-config:
// com.zorvant.KeldaConfig.Focus at /com/zorvant/KeldaConfig/Focus, with
// Focused() and the FocusChanged signal, both (application id, window
// class, title, process id). GNOME Shell 42 to 44 (legacy modules).
/* exported init */
const { Gio, GLib, Shell } = imports.gi;

const ObjectPath = '/com/zorvant/KeldaConfig/Focus';
const Interface = `<node>
  <interface name="com.zorvant.KeldaConfig.Focus">
    <method name="Focused">
      <arg type="s" direction="out" name="appId"/>
      <arg type="s" direction="out" name="wmClass"/>
      <arg type="s" direction="out" name="title"/>
      <arg type="u" direction="out" name="pid"/>
    </method>
    <signal name="FocusChanged">
      <arg type="s" name="appId"/>
      <arg type="s" name="wmClass"/>
      <arg type="s" name="title"/>
      <arg type="u" name="pid"/>
    </signal>
  </interface>
</node>`;

class FocusExport {
    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(Interface, this);
        this._object.export(Gio.DBus.session, ObjectPath);
        this._handler = global.display.connect('notify::focus-window', () => this._changed());
    }

    disable() {
        global.display.disconnect(this._handler);
        this._object.unexport();
        this._object = null;
    }

    // null while no window has the focus (the overview, a switch under way).
    _describe() {
        const window = global.display.focus_window;
        if (!window)
            return null;
        const app = Shell.WindowTracker.get_default().get_window_app(window);
        const pid = window.get_pid();
        return [app?.get_id() ?? '', window.get_wm_class() ?? '', window.get_title() ?? '', pid > 0 ? pid : 0];
    }

    Focused() {
        return this._describe() ?? ['', '', '', 0];
    }

    _changed() {
        const focused = this._describe();
        if (focused)
            this._object.emit_signal('FocusChanged', new GLib.Variant('(sssu)', focused));
    }
}

function init() {
    return new FocusExport();
}
