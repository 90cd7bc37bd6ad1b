// Settings store: device-wide and per-profile keys over the device's INI files.
#include "view/myqquickview.h"

#include <QSettings>

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return globalSettings ? globalSettings->value(key.toString()) : QVariant();
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    if (globalSettings)
        globalSettings->setValue(key.toString(), tmpdata);
}
