// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/copydatafilter.h"

#include "app/copydata.h"

#include "app/widget.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <windows.h>

bool CopyDataFilter::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message != WM_COPYDATA)
        return false;
    const auto *cds = reinterpret_cast<const COPYDATASTRUCT *>(msg->lParam);
    if (cds) {
        // Windows hands over exactly cbData bytes; the text ends there, so the terminator is
        // ours to add and nothing beyond the buffer is ever read.
        copydata::Record record;
        record.dwData = quint64(cds->dwData);
        record.cbData = quint32(cds->cbData);
        if (cds->lpData && cds->cbData <= 64 * 1024)
            record.bytes = QByteArray(static_cast<const char *>(cds->lpData), int(cds->cbData));
        record.bytes.append('\0');
        // The sender waits until we return: show the box after this message is done.
        QPointer<Widget> widget(m_widget);
        QTimer::singleShot(0, qApp, [record, widget] { showCopyDataMessage(record, widget.data()); });
    }
    if (result)
        *result = 1;
    return true;
}

void installCopyDataFilter(Widget *widget)
{
    static CopyDataFilter *filter = nullptr;
    if (filter)
        return;
    filter = new CopyDataFilter(widget);
    QCoreApplication::instance()->installNativeEventFilter(filter);
}
