#include "app/Autostart.h"

#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Autostart {

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QLatin1String("/autostart/") + QLatin1String(ApplicationId) + QLatin1String(".desktop");
}

bool enabled()
{
    return QFileInfo::exists(entryPath());
}

QString execLine(const QString &program)
{
    // Inside double quotes a desktop entry escapes ", `, $ and \ with a
    // backslash, and the file's string rule then doubles every backslash;
    // a literal % is written %%.
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('\\'))
            quoted += QLatin1String("\\\\\\\\");
        else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QLatin1String("\\\\") + c;
        else if (c == QLatin1Char('%'))
            quoted += QLatin1String("%%");
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1String("\" ") + QLatin1String(HiddenOption);
}

bool setEnabled(bool on, const QString &program, QString *error)
{
    const QString path = entryPath();
    if (!on) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            *error = QObject::tr("The autostart entry %1 could not be removed.").arg(path);
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QObject::tr("The folder for %1 could not be made.").arg(path);
        return false;
    }
    const QString content = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=KELDA MOUSE X7\n"
        "Comment=Keeps the mouse configuration in the tray\n"
        "Exec=%1\n"
        "Icon=%2\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n").arg(execLine(program), QLatin1String(ApplicationId));
    if (!SafeFile::write(path, content.toUtf8())) {
        *error = QObject::tr("The autostart entry %1 could not be written.").arg(path);
        return false;
    }
    return true;
}

} // namespace Autostart
