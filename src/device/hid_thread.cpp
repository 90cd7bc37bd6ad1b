// SPDX-License-Identifier: GPL-3.0-or-later
// The device object and its transport: one command at a time on the GUI thread, framed as a
// 9-byte feature request, an optional data phase in reports of reportLength bytes, and for
// queries a 9-byte feature reply. Every report goes out on a freshly opened handle and no
// handle stays open between commands.

#include "device/hid_thread.h"

#include "app/widget.h"
#include "device/commandset.h"
#include "device/hidapi_seam.h"
#include "view/myqquickview.h"

#include <QCoreApplication>
#include <QDebug>

#include <algorithm>
#include <utility>
#include <cstring>
#include <vector>

namespace {

constexpr int featureReportSize = 9;
constexpr unsigned long pauseAfterOutputMs = 20;
constexpr unsigned long transportPollMs = 8;

// Copies the piece of a data phase that starts at `offset` into an output report: report
// number 0, the data, zeros up to reportLength. The last piece of a transfer that is not a
// multiple of the chunk size carries only the bytes that are left.
void fillOutputReport(std::vector<unsigned char> &report, const unsigned char *data, int length, int offset,
                      int chunk)
{
    std::fill(report.begin(), report.end(), 0);
    const int n = std::min(chunk, length - offset);
    std::memcpy(report.data() + 1, data + offset, static_cast<size_t>(n));
}

} // namespace

Hid_Thread::Hid_Thread(QObject *parent)
    : QThread(parent)
{
}

Hid_Thread::~Hid_Thread()
{
    // The polling task calls back into this object: it must be gone first.
    stopPolling();
    waitForPollingToEnd();
    closeCommandHandle();
}

myQQuickView *Hid_Thread::view() const
{
    return owner ? owner->view() : nullptr;
}

bool Hid_Thread::isGunDevice() const
{
    const myQQuickView *v = view();
    return v && v->isGun;
}

void Hid_Thread::setRequest(const protocol::Payload &payload)
{
    request[0] = 0;
    std::memcpy(request + 1, payload.data(), payload.size());
}

uchar Hid_Thread::hidCS(uchar *cmd)
{
    return cmd ? protocol::checksum(cmd) : 0;
}

DeviceEntry *Hid_Thread::entryAt(int index)
{
    return index >= 0 && index < deviceList.size() ? &deviceList[index] : nullptr;
}

void Hid_Thread::closeCommandHandle()
{
    if (commandHandle) {
        hid::close(commandHandle);
        commandHandle = nullptr;
    }
}

hid_device *Hid_Thread::openCommandInterface(int index)
{
    DeviceEntry *entry = entryAt(index);
    if (!entry || entry->path.isEmpty())
        return nullptr;
    closeCommandHandle();
    hid_device *handle = hid::open_path(entry->path.toLocal8Bit().constData());
    if (!handle) {
        // Every later command fails at once until a device check finds the interface again.
        entry->path.clear();
        return nullptr;
    }
    hid::set_nonblocking(handle, 0);
    commandHandle = handle;
    return handle;
}

hid_device *Hid_Thread::openStatusPath(const QByteArray &statusPath)
{
    if (statusHandle) {
        hid::close(statusHandle);
        statusHandle = nullptr;
    }
    if (statusPath.isEmpty())
        return nullptr;
    hid_device *handle = hid::open_path(statusPath.constData());
    if (!handle)
        return nullptr;
    hid::set_nonblocking(handle, 0);
    statusHandle = handle;
    return handle;
}

hid_device *Hid_Thread::openStatusInterface(int index)
{
    DeviceEntry *entry = entryAt(index);
    if (!entry || entry->path2.isEmpty())
        return nullptr;
    hid_device *handle = openStatusPath(entry->path2.toLocal8Bit());
    if (!handle)
        entry->path2.clear();
    return handle;
}

bool Hid_Thread::waitForTransport()
{
    lastTransferOk = false;
    for (int attempt = 0; attempt < transportWaitCount; ++attempt) {
        if (!hidBusy) {
            hidBusy = true;
            return true;
        }
        QThread::msleep(transportPollMs);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return false;
}

bool Hid_Thread::claimTransport(const char *failureLine)
{
    if (refuseCommands) {
        lastTransferOk = false;
        qDebug() << failureLine << "(unknown device family)";
        ++failedTransfers;
        return false;
    }
    if (waitForTransport())
        return true;
    qDebug() << failureLine;
    ++failedTransfers;
    return false;
}

void Hid_Thread::sendWithData(const char *failureLine, const protocol::Payload &payload, const uchar *src, int length)
{
    if (!claimTransport(failureLine))
        return;
    setRequest(payload);
    cmdset::loadBlock(dataBuffer, src, length);
    sendCommand(length, true);
}

void Hid_Thread::sendAndPause(const char *failureLine, const protocol::Payload &payload, unsigned long pauseMs)
{
    if (!claimTransport(failureLine))
        return;
    setRequest(payload);
    sendCommand(0, false);
    QThread::msleep(pauseMs);
}

void Hid_Thread::settlePause()
{
    QThread::msleep(5);
    QThread::msleep(5);
}

bool Hid_Thread::endTransfer(const char *failure)
{
    closeCommandHandle();
    hidBusy = false;
    lastTransferOk = !failure;
    if (failure) {
        ++failedTransfers;
        // Whatever the caller makes of it, the log says which command failed and where.
        qDebug().noquote() << QStringLiteral("cmd %1 failed: %2").arg(transferCode, 2, 16, QLatin1Char('0'))
                           .arg(QLatin1String(failure));
    }
    return lastTransferOk;
}

// A data phase needs a report length the buffers can hold and at most a dataBuffer of data;
// anything else is refused before the device sees the request it belongs to.
static bool dataPhaseAllowed(const DeviceEntry &entry, int length, int capacity)
{
    if (length < 0 || length > capacity) {
        qDebug() << "cmd refused: data length" << length;
        return false;
    }
    if (length > 0 && (entry.reportLength <= 0 || entry.reportLength > Hid_Thread::maxReportLength)) {
        qDebug() << "cmd refused: reportLength" << entry.reportLength;
        return false;
    }
    return true;
}

bool Hid_Thread::sendRequest(int length, int &reportLength, bool &encode, bool dry)
{
    transferCode = request[1];
    const DeviceEntry *entry = entryAt(deviceIndex);
    if (!entry || entry->path.isEmpty())
        return endTransfer("no device");
    if (!dataPhaseAllowed(*entry, length, static_cast<int>(sizeof dataBuffer)))
        return endTransfer("refused");
    reportLength = entry->reportLength;
    encode = entry->isEncode || scrambleChallenge;

    if (!openCommandInterface(deviceIndex))
        return endTransfer("open");
    if (encode)
        USBDataEncryption(request + 1, secrecyCode);
    if (dry) {
        dryRun->append({true, QByteArray(reinterpret_cast<const char *>(request), featureReportSize)});
        return true;
    }
    if (!openCommandInterface(deviceIndex))
        return endTransfer("open");
    if (hid::send_feature_report(commandHandle, request, featureReportSize) < 0)
        return endTransfer("feature send");
    return true;
}

void Hid_Thread::startRecording()
{
    recorded.clear();
    recording = true;
}

QList<savecheck::Sent> Hid_Thread::takeRecording()
{
    recording = false;
    return std::exchange(recorded, {});
}

bool Hid_Thread::resend(const QList<savecheck::Sent> &commands)
{
    bool delivered = true;
    for (const savecheck::Sent &command : commands) {
        if (!claimTransport("cmd Failed resend"))
            return false;
        setRequest(command.payload);
        cmdset::loadBlock(dataBuffer, reinterpret_cast<const uchar *>(command.data.constData()),
                          static_cast<int>(std::min<qsizetype>(command.data.size(), sizeof dataBuffer)));
        delivered = sendCommand(static_cast<int>(command.data.size()), command.settle) && delivered;
        // The requests sent without settle pauses are followed by a short one.
        if (!command.settle)
            QThread::msleep(10);
    }
    return delivered;
}

bool Hid_Thread::sendCommand(int length, bool settle)
{
    if (!recording)
        return transferCommand(length, settle);
    // Kept before the request is scrambled; a length the transport refuses is refused again.
    savecheck::Sent sent;
    std::memcpy(sent.payload.data(), request + 1, sent.payload.size());
    sent.data = QByteArray(reinterpret_cast<const char *>(dataBuffer),
                           std::clamp(length, 0, static_cast<int>(sizeof dataBuffer)));
    sent.settle = settle;
    recorded.append(sent);
    const qsizetype at = recorded.size() - 1;
    const bool delivered = transferCommand(length, settle);
    if (recording && at < recorded.size())
        recorded[at].delivered = delivered;
    return delivered;
}

bool Hid_Thread::transferCommand(int length, bool settle)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);

    // The event processing above may have run a device check: the entry is looked up afterwards.
    int reportLength = 0;
    bool encode = false;
    const bool dry = dryRun != nullptr;
    if (!sendRequest(length, reportLength, encode, dry))
        return false;
    if (settle && !dry)
        settlePause();
    if (length == 0)
        return endTransfer();

    const int chunk = protocol::chunkSize(length, reportLength);
    std::vector<unsigned char> report(static_cast<size_t>(reportLength) + 1);
    for (int offset = 0; offset < length; offset += chunk) {
        fillOutputReport(report, dataBuffer, length, offset, chunk);
        if (dry) {
            dryRun->append({false, QByteArray(reinterpret_cast<const char *>(report.data()), int(report.size()))});
            continue;
        }
        if (!openCommandInterface(deviceIndex))
            return endTransfer("open");
        if (hid::write(commandHandle, report.data(), report.size()) < 0)
            return endTransfer("write");
        QThread::msleep(pauseAfterOutputMs);
    }
    if (settle)
        settlePause();
    return endTransfer();
}

bool Hid_Thread::queryCommand(int length)
{
    int reportLength = 0;
    bool encode = false;
    if (!sendRequest(length, reportLength, encode))
        return false;
    if (!openCommandInterface(deviceIndex))
        return endTransfer("open");
    if (hid::get_feature_report(commandHandle, reply, featureReportSize) < 0)
        return endTransfer("feature get");
    if (length == 0) {
        endTransfer();
        if (encode)
            USBDataDecipher(reply + 1, secrecyCode);
        return true;
    }

    // Data-phase reports are never scrambled. Each one is awaited at most dataReadTimeoutMs;
    // a report that does not come, or comes cut short, ends the transfer as failed (a block
    // padded with zeros would be written back to the mouse as its own).
    const int chunk = protocol::chunkSize(length, reportLength);
    std::vector<unsigned char> report(static_cast<size_t>(reportLength) + 1);
    for (int offset = 0; offset < length; offset += chunk) {
        std::fill(report.begin(), report.end(), 0);
        if (!openCommandInterface(deviceIndex))
            return endTransfer("open");
        const int got = hid::read_timeout(commandHandle, report.data(), report.size(), dataReadTimeoutMs);
        const int wanted = std::min(chunk, length - offset);
        if (got < 0)
            return endTransfer("read");
        if (got == 0)
            return endTransfer("read timed out");
        if (got < wanted)
            return endTransfer("short read");
        std::memcpy(dataBuffer + offset, report.data(), static_cast<size_t>(wanted));
    }
    return endTransfer();
}
