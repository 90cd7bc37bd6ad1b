#include "testsupport.h"

#include <QMutex>

namespace {
QMutex captureMutex;
QStringList captured;
QtMessageHandler previousHandler = nullptr;
int captureDepth = 0;
bool captureQuiet = false;

void captureHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker lock(&captureMutex);
        captured << message;
    }
    if (previousHandler && !(captureQuiet && (type == QtDebugMsg || type == QtInfoMsg)))
        previousHandler(type, context, message);
}
} // namespace

namespace testsupport {

DebugCapture::DebugCapture(bool quiet)
{
    QMutexLocker lock(&captureMutex);
    if (captureDepth++ == 0) {
        captureQuiet = quiet;
        captured.clear();
        previousHandler = qInstallMessageHandler(captureHandler);
    }
}

DebugCapture::~DebugCapture()
{
    QMutexLocker lock(&captureMutex);
    if (--captureDepth == 0)
        qInstallMessageHandler(previousHandler);
}

QStringList DebugCapture::lines() const
{
    QMutexLocker lock(&captureMutex);
    return captured;
}

bool DebugCapture::contains(const QString &line) const
{
    const QStringList all = lines();
    for (const QString &l : all)
        if (l.trimmed() == line.trimmed())
            return true;
    return false;
}

void DebugCapture::clear()
{
    QMutexLocker lock(&captureMutex);
    captured.clear();
}

bool PrivateBus::start()
{
    daemon.start("dbus-daemon", {"--session", "--address=unix:dir=" + dir.path(), "--print-address", "--nofork"});
    if (daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000))
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    return !address.isEmpty();
}

PrivateBus::~PrivateBus()
{
    daemon.kill();
    daemon.waitForFinished();
}

} // namespace testsupport
