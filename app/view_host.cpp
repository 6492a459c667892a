// Pointer settings of the desktop.
#include "app/myQQuickView.h"

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    Q_UNUSED(cursorSpeed);
    notAvailableYet("mouseSetCursorSpeed");
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    Q_UNUSED(speed);
    notAvailableYet("mouseSetDoubleClickSpeed");
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    Q_UNUSED(lines);
    notAvailableYet("mouseSetVerticalScrollLines");
}
