#pragma once

// Small helpers shared by the test programs.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

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

} // namespace testsupport
