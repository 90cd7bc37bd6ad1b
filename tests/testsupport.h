// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small helpers shared by the test programs.

#include <QObject>
#include <QProcess>
#include <QTest>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <array>

namespace testsupport {

// A data table's columns in one call: addColumns<int, QString>({"mouse", "name"}).
template <typename... T>
void addColumns(const std::array<const char *, sizeof...(T)> &names)
{
    size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
}

// A file's bytes, empty when it cannot be read; writing makes the folder and checks the write.
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &content);

// A program run to its end (exit code -1: it crashed or did not end in time).
struct Run
{
    int exitCode = -1;
    QByteArray out, err;
};
Run run(const QString &program, const QStringList &args,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 120000);
// An environment of just these "NAME=value" settings.
QProcessEnvironment environment(const QStringList &settings);
// Ends a program started by the test: asked first, killed when it does not end.
void stop(QProcess &process);

// Collects the text of every qDebug() line while alive (restores the previous handler after).
// A quiet capture passes on only warnings and worse.
class DebugCapture
{
public:
    explicit DebugCapture(bool quiet = false);
    ~DebugCapture();
    QStringList lines() const;
    bool contains(const QString &line) const;
    void clear();
};

// A dbus-daemon of the test's own: tests never reach the machine's buses nor the tester's
// desktop. Stopped when destroyed.
struct PrivateBus
{
    QTemporaryDir dir;
    QProcess daemon;
    QString address;
    // The bus address once it runs; false when dbus-daemon could not start.
    bool start();
    ~PrivateBus();
};

// A desktop notification service for a private bus: records "summary: body" of each notice.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown;
    // Registers the service on the bus at `address` under its own connection name.
    bool serve(const QString &address, const QString &connectionName);
public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        shown << summary + ": " + body;
        return uint(shown.size());
    }
};

} // namespace testsupport
