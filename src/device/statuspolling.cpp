// SPDX-License-Identifier: GPL-3.0-or-later
// Status polling: a task on the global thread pool reads the status interface, one report per
// turn with a 1000 ms time-out, and hands each report to the view; when the interface cannot
// be opened any more the device is gone. Everything the task does to the view or the device
// list is queued to the GUI thread; reports are queued in the order they were read.

#include "device/hid_thread.h"

#include "app/widget.h"
#include "device/hidapi_seam.h"
#include "device/statusreport.h"
#include "view/myqquickview.h"
#include "view/settingsstore.h"

#include <QDebug>
#include <QMetaObject>
#include <QSettings>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <cstring>

namespace {
constexpr int statusReadTimeoutMs = 1000;
constexpr int failedReadPauseMs = 100;
}

void Hid_Thread::startPollingUSBVendorCmd(int index)
{
    const bool wasPolling = isPolling.load();
    qDebug() << "startPollingUSBVendorCmd" << wasPolling << index;
    if (wasPolling)
        isPolling = false;
    // A task still inside its last read sees a newer generation and ends after that read;
    // the new task waits for it before it reads, so only one reads the interface at a time.
    const unsigned generation = ++pollGeneration;

    if (owner && owner->debugMode)
        readIdentity();

    // Without a status interface there is nothing to poll: polling stays off, so that device
    // changes keep leading to device checks.
    const DeviceEntry *entry = entryAt(index);
    if (!entry || entry->path2.isEmpty())
        return;

    isPolling = true;
    const QByteArray statusPath = entry->path2.toLocal8Bit();
    // The new task first waits for the one before it, which waited for its own predecessor:
    // waiting for the newest task therefore waits for all of them.
    const QFuture<void> previous = pollingFuture;
    pollingFuture = QtConcurrent::run(QThreadPool::globalInstance(), [this, index, statusPath, generation, previous] {
        QFuture<void>(previous).waitForFinished();
        pollStatus(index, statusPath, generation);
    });
}

void Hid_Thread::stopPolling()
{
    if (isPolling)
        isPolling = false;
}

void Hid_Thread::waitForPollingToEnd()
{
    // Each task waits for its predecessor before it starts, so the latest one ends last.
    pollingFuture.waitForFinished();
}

void Hid_Thread::readIdentity()
{
    myQQuickView *v = view();
    const QString folder = v ? v->settingsFolder() : QString();
    if (folder.isEmpty())
        return;
    uchar option = 0, icIndex = 0, sensorIndex = 0, keyCount = 0;
    hid553_83H_GetKeyboardoption(option, icIndex, sensorIndex, keyCount);
    // A query that did not reach the device tells nothing: keep what the settings say.
    if (!lastTransferOk)
        return;
    // The view's handles still belong to the device connected before (initUI swaps them later):
    // the identity goes into this device's own file.
    QSettings own(store::globalFile(folder), QSettings::IniFormat);
    if (const uint32_t ic = status::icType(icIndex)) {
        own.setValue(QStringLiteral("mouse/icType"), static_cast<uint>(ic));
        v->icType = QString::number(ic);
    }
    if (const uint32_t sensor = status::sensorType(sensorIndex))
        own.setValue(QStringLiteral("mouse/sensorType"), static_cast<uint>(sensor));
    own.setValue(QStringLiteral("mouse/keyCount"), static_cast<int>(keyCount));
}

void Hid_Thread::pollStatus(int index, const QByteArray &statusPath, unsigned generation)
{
    QMutexLocker reader(&pollReader);
    auto mine = [this, generation] { return isPolling.load() && pollGeneration.load() == generation; };

    bool removed = false;
    unsigned char buffer[status::readSize];
    while (mine()) {
        if (!openStatusPath(statusPath)) {
            removed = true;
            break;
        }
        std::memset(buffer, 0, sizeof buffer);
        const int got = hid::read_timeout(statusHandle, buffer, sizeof buffer, statusReadTimeoutMs);
        status::Report report;
        if (status::decode(buffer, got, report)) {
            QMetaObject::invokeMethod(this, [this, report] {
                if (myQQuickView *v = view())
                    v->syncFwReport(report.type, report.reportRate, report.dpi, report.lightMode, report.speed);
            }, Qt::QueuedConnection);
        }
        hid::close(statusHandle);
        statusHandle = nullptr;
        if (got >= 0 || !mine())
            continue;
        // A device that is gone (why reads usually fail) is told at once; one that fails every
        // read while present would otherwise turn this into a busy loop.
        if (!openStatusPath(statusPath)) {
            removed = true;
            break;
        }
        hid::close(statusHandle);
        statusHandle = nullptr;
        QThread::msleep(failedReadPauseMs);
    }
    if (!removed)
        return;

    QMetaObject::invokeMethod(this, [this, index, generation] {
        // A device check that started polling anew in the meantime owns the state now.
        if (pollGeneration.load() != generation || !isPolling)
            return;
        qDebug() << "Device removed";
        if (myQQuickView *v = view())
            v->setDeviceAbsent(true);
        if (DeviceEntry *entry = entryAt(index))
            entry->path2.clear();
        isPolling = false;
        emit deviceRemoved();
    }, Qt::QueuedConnection);
}
