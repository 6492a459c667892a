#pragma once

#include <QString>

// Pointer settings of KDE Plasma, which keeps its own and reads no
// GSettings: the double-click time and wheel scroll lines in kdeglobals
// (Plasma is told to reload them), the pointer speed on each pointing
// device through KWin's input-device interface on Wayland.
namespace pointer::kde {

// Whether the session is KDE Plasma.
bool isPlasma();

// Each writes the setting and reads it back; false when Plasma did not
// keep it.
bool applyPointerSpeed(double acceleration);
bool applyDoubleClickTime(unsigned ms);
bool applyScrollLines(unsigned lines);

// Sets key=value in [group] of an INI-style file, keeping every other line
// as it was; creates the file and the group where missing. False on a
// write error.
bool setIniKey(const QString &path, const QString &group, const QString &key, const QString &value);
// The value of key in [group], or empty.
QString iniKey(const QString &path, const QString &group, const QString &key);

} // namespace pointer::kde
