// Pointer settings of GNOME and the other desktops that keep them in
// GSettings (org.gnome.desktop.peripherals.mouse). Wheel scroll lines have
// no key there; they apply to this program's own wheel handling. KDE Plasma
// reads no GSettings: there the settings go to Plasma's own.
#include "host/PointerSettings.h"

// GLib before Qt: Qt's "signals" keyword would break GLib's headers.
#ifdef KELDA_HAVE_GIO
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>
#endif

#include "host/linux/KdePointer.h"

#include <QDebug>
#include <QGuiApplication>
#include <QStyleHints>

namespace pointer {

namespace {

#ifdef KELDA_HAVE_GIO
const char *const MouseSchema = "org.gnome.desktop.peripherals.mouse";

// The desktop's mouse settings, or null with the reason in a debug line.
GSettings *openMouseSettings(const char *key)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, MouseSchema, TRUE) : nullptr;
    if (!schema) {
        qDebug() << "pointer settings: GSettings schema" << MouseSchema << "is not installed";
        return nullptr;
    }
    GSettings *settings = nullptr;
    if (g_settings_schema_has_key(schema, key))
        settings = g_settings_new_full(schema, nullptr, nullptr);
    else
        qDebug() << "pointer settings: GSettings schema" << MouseSchema << "has no key" << key;
    g_settings_schema_unref(schema);
    if (!settings)
        return nullptr;

    // Without a settings service GLib falls back to keeping values in
    // memory: the write would succeed and change nothing on the desktop.
    GSettingsBackend *backend = nullptr;
    g_object_get(settings, "backend", &backend, nullptr);
    const bool inMemory = backend && g_strcmp0(G_OBJECT_TYPE_NAME(backend), "GMemorySettingsBackend") == 0;
    if (backend)
        g_object_unref(backend);
    if (inMemory) {
        qDebug() << "pointer settings: no GSettings backend that stores settings (is dconf installed?)";
        g_object_unref(settings);
        return nullptr;
    }
    return settings;
}

// Writes one key and reads it back once the backend has committed: dconf
// accepts a write without a session bus and takes it back when its commit
// fails, so only the value read back tells whether the desktop has it.
bool writeKey(const char *key, GVariant *value)
{
    g_variant_ref_sink(value);
    bool ok = false;
    if (GSettings *settings = openMouseSettings(key)) {
        ok = g_settings_set_value(settings, key, value);
        g_settings_sync();
        if (ok) {
            GVariant *stored = g_settings_get_value(settings, key);
            ok = g_variant_equal(stored, value);
            g_variant_unref(stored);
            if (!ok)
                qDebug() << "pointer settings: the desktop did not keep" << key
                         << "(no session bus for dconf?)";
        }
        g_object_unref(settings);
    }
    g_variant_unref(value);
    return ok;
}
#endif

} // namespace

bool applyCursorSpeed(unsigned step)
{
    if (kde::isPlasma())
        return kde::applyPointerSpeed(desktopSpeed(step));
#ifdef KELDA_HAVE_GIO
    return writeKey("speed", g_variant_new_double(desktopSpeed(step)));
#else
    Q_UNUSED(step);
    qDebug() << "pointer settings: built without GSettings";
    return false;
#endif
}

bool applyDoubleClickTime(unsigned step)
{
    if (kde::isPlasma())
        return kde::applyDoubleClickTime(doubleClickTime(step));
#ifdef KELDA_HAVE_GIO
    return writeKey("double-click", g_variant_new_int32(gint32(doubleClickTime(step))));
#else
    Q_UNUSED(step);
    qDebug() << "pointer settings: built without GSettings";
    return false;
#endif
}

bool applyScrollLines(unsigned lines)
{
    if (!qGuiApp)
        return false;
    const unsigned value = scrollLines(lines);
    QGuiApplication::styleHints()->setWheelScrollLines(int(value));
    if (kde::isPlasma())
        return kde::applyScrollLines(value);
    qDebug().nospace() << "pointer settings: the desktop has no setting for wheel scroll lines; "
                       << value << " lines per notch apply to this program's own wheel handling";
    return true;
}

} // namespace pointer
