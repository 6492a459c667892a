#pragma once

#include <QString>

// The desktop's autostart entry of the program
// (~/.config/autostart/<application id>.desktop): it starts the installed
// program hidden in the tray at login.
namespace Autostart {

inline constexpr const char *HiddenOption = "--hidden";
// The application id of the desktop entry, the icon and the metainfo.
inline constexpr const char *ApplicationId = "com.zorvant.KeldaConfig";

QString entryPath();
bool enabled();
// Writes the entry for program (an absolute path) or removes it; false with
// a message in *error when that failed.
bool setEnabled(bool on, const QString &program, QString *error);
// The Exec= value for program, quoted as desktop entries require.
QString execLine(const QString &program);

} // namespace Autostart
