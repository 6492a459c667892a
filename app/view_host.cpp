// Pointer settings of the desktop. Each call applies one setting at once; a
// failure is only written to the debug output, and the scene keeps the value
// it stored.
#include "app/myQQuickView.h"

#include "host/PointerSettings.h"

#include <QDebug>

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
