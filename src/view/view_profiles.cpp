// Profiles: opening the connected device's settings files, current profile, import/export.
#include "view/myqquickview.h"

void myQQuickView::initUI()
{
    invokeRoot("initUI", Qt::QueuedConnection);
}
