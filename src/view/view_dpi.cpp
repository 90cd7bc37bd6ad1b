// SPDX-License-Identifier: GPL-3.0-or-later
// DPI stages: register conversion per sensor, active stage.
#include "view/myqquickview.h"

#include "device/hid_thread.h"
#include "view/dpiconversion.h"
#include "view/settingvalues.h"

#include <QDebug>

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
    if (!hid || dpiCount < 1 || dpiCount > dpi::maxStages) {
        qDebug() << "mouseSetDpi refused" << dpiCount;
        return;
    }
    const std::string sensor = sensorType.toStdString();
    const std::vector<int> dpiValues = values::integers(dpiValueArray, dpi::maxStages);
    const dpi::Registers registers = dpi::convert(sensor, dpiValues);

    if (is560()) {
        const int last = isGun ? 4 : 1;
        readMissingProfileBlocks(1, last);
        for (int block = 1; block <= 4; ++block)
            dpi::applyToProfileBlock(profileBlocks[block], registers, dpiCount, sensor);
        sendProfileBlocks(1, last);
        return;
    }
    std::array<uint8_t, dpi::maxStages> bytes =
        dpi::registers553(registers, dpiCount, static_cast<int>(dpiValues.size()));
    hid->hid553_11H_SetDPISet(static_cast<uchar>(dpiCount), bytes.data());
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
    if (!hid)
        return;
    if (is560())
        hid->hid560_04H_SetCurrentDPI(currentDPI);
    else
        hid->hid553_0BH_SetCurrentDPI(currentDPI);
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    uchar first = 1;
    uchar stage = 0;
    if (hid) {
        if (is560())
            hid->hid560_84H_GetCurrentDPI(first, stage);
        else
            hid->hid553_8BH_GetCurrentDPI(stage);
    }
    qDebug() << "currentDPI" << int(stage);
    return int(stage);
}
