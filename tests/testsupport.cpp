// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
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

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env, int timeoutMs)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QProcessEnvironment environment(const QStringList &settings)
{
    QProcessEnvironment env;
    for (const QString &setting : settings)
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    return env;
}

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
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

bool FakeNotifications::serve(const QString &address, const QString &connectionName)
{
    QDBusConnection services = QDBusConnection::connectToBus(address, connectionName);
    return services.registerObject("/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots)
        && services.registerService("org.freedesktop.Notifications");
}

} // namespace testsupport
