// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's pointer options of the current profile (system settings page).
#include "view/myqquickview.h"

#include "platform/pointersettings.h"

#include <QDebug>

namespace {
enum PointerSetting { Speed, DoubleClick, WheelLines };
}

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    pointerApplied[Speed] = pointerSettings().setMouseSpeed(pointer::mouseSpeedFromStep(cursorSpeed));
    if (!pointerApplied[Speed])
        qDebug() << "setCursorSpeed Failed";
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    pointerApplied[WheelLines] = pointerSettings().setWheelScrollLines(lines);
    if (!pointerApplied[WheelLines])
        qDebug() << "setVerticalScrollLines Failed";
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    pointerApplied[DoubleClick] = pointerSettings().setDoubleClickTime(pointer::doubleClickTimeFromStep(speed));
    if (!pointerApplied[DoubleClick])
        qDebug() << "setDoubleClickSpeed Failed";
}

QVariantList myQQuickView::pointerSettingsApplied()
{
    return {pointerApplied[Speed], pointerApplied[DoubleClick], pointerApplied[WheelLines]};
}

bool myQQuickView::pointerSettingsChangeDesktop()
{
    return pointerSettings().changesDesktop();
}
