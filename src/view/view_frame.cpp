// SPDX-License-Identifier: GPL-3.0-or-later
// The view's own slots: transport release, the scene's run step, busy lock, firmware reports and
// screen changes handed to the scene.
#include "view/myqquickview.h"

#include "device/hid_thread.h"

#include <QEventLoop>
#include <QThread>

void myQQuickView::clearHidBusy()
{
    // A device is (re)connected: whether it may be sent commands is decided anew by initUI.
    if (hid) {
        hid->hidBusy = false;
        hid->refuseCommands = false;
    }
}

void myQQuickView::setDeviceAbsent(bool absent)
{
    deviceAbsent = absent;
    if (absent)
        QQuickWidget::setEnabled(false);
}

void myQQuickView::setEnabled(bool enabled)
{
    QQuickWidget::setEnabled(enabled && !deviceAbsent);
}

void myQQuickView::runUI()
{
    invokeRoot("run", Qt::QueuedConnection);
}

void myQQuickView::openUpdateExe()
{
}

void myQQuickView::setBusy(int busyTime)
{
    invokeRoot("setProtectUI", Qt::DirectConnection, {busyTime});
}

void myQQuickView::syncFwReport(uchar type, uchar reportRate, uchar dpi, uchar lightMode, uchar speed)
{
    // The status-polling worker calls this from its pool thread; the scene belongs to the GUI
    // thread, so such a call is re-posted to this object (queued calls keep their order).
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, "syncFwReport", Qt::QueuedConnection,
                                  Q_ARG(uchar, type), Q_ARG(uchar, reportRate), Q_ARG(uchar, dpi),
                                  Q_ARG(uchar, lightMode), Q_ARG(uchar, speed));
        return;
    }
    const status::Report report{type, reportRate, dpi, lightMode, speed};
    // The answer a save check waits for is the check's own: the pages keep showing what was
    // saved, and what the mouse should hold is not taken from it.
    if (answerLoop && type == 0xFF) {
        stateAnswer = report;
        stateAnswered = true;
        answerLoop->quit();
        return;
    }
    savecheck::follow(expectedState, report);
    invokeRoot("syncFwReport", Qt::DirectConnection,
               {int(type), int(reportRate), int(dpi), int(lightMode), int(speed)});
    emit firmwareReported(type, dpi);
}

void myQQuickView::setScreenChange(int widgetData)
{
    invokeRoot("setScreenChange", Qt::DirectConnection, {widgetData});
}
