// Pointer settings of the desktop. Each call applies one setting at once; a
// failure is only written to the debug output, and the scene keeps the value
// it stored.
#include "app/myQQuickView.h"

#include "host/PointerSettings.h"

#include <QDebug>
#ifndef Q_OS_WIN
#include "host/linux/KdePointer.h"
#endif

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    if (!pointer::applyCursorSpeed(cursorSpeed))
        qDebug() << "setCursorSpeed Failed";
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    if (!pointer::applyDoubleClickTime(speed))
        qDebug() << "setDoubleClickSpeed Failed";
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    if (!pointer::applyScrollLines(lines))
        qDebug() << "setVerticalScrollLines Failed";
}

QString myQQuickView::pointerNote(int setting) const
{
#ifdef Q_OS_WIN
    Q_UNUSED(setting);
    return {};
#else
    const bool wayland = qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (pointer::kde::isPlasma()) {
        // KWin sets the speed of each mouse on Wayland only.
        return setting == 0 && !wayland ? tr("Not applied on Plasma X11") : QString();
    }
    // The desktops that read GNOME's mouse settings.
    static const char *const gnomeLike[] = {"GNOME", "Unity", "Budgie", "Pantheon"};
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    bool gnome = false;
    for (const char *name : gnomeLike)
        gnome |= desktops.contains(QLatin1String(name), Qt::CaseInsensitive);
    if (setting == 2)
        return tr("This program only");
    return gnome ? QString() : tr("Not applied on this desktop");
#endif
}
