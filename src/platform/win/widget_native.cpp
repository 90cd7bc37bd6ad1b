// SPDX-License-Identifier: GPL-3.0-or-later
// Native window messages of the main window on Windows.
#include "app/widget.h"

#include "platform/devicemonitor.h"

#include <windows.h>

bool Widget::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    if (eventType == "windows_generic_MSG") {
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_RESTORE) {
            setVisible(true);
        } else if (msg->message == WM_DEVICECHANGE) {
            if (deviceMonitor)
                deviceMonitor->notifyChanged();
            else
                onDeviceChange();
        }
    }
    // Every message also gets its default handling (a restore also un-minimises the window).
    return QWidget::nativeEvent(eventType, message, result);
}
