// The desktop's pointer options of the current profile (system settings page).
#include "view/myqquickview.h"

#include "platform/pointersettings.h"

#include <QDebug>

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    if (!pointerSettings().setMouseSpeed(pointer::mouseSpeedFromStep(cursorSpeed)))
        qDebug() << "setCursorSpeed Failed";
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    if (!pointerSettings().setWheelScrollLines(lines))
        qDebug() << "setVerticalScrollLines Failed";
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    if (!pointerSettings().setDoubleClickTime(pointer::doubleClickTimeFromStep(speed)))
        qDebug() << "setDoubleClickSpeed Failed";
}
