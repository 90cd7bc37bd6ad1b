#pragma once

// Small helpers shared by the test programs.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Collects the text of every qDebug() line while alive (restores the previous handler after).
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    QStringList lines() const;
    bool contains(const QString &line) const;
    void clear();
};

// A dbus-daemon of the test's own: the tests never reach the machine's buses.
struct PrivateBus
{
    QTemporaryDir dir;
    QProcess daemon;
    QString address;
    bool start();
    ~PrivateBus();
};

} // namespace testsupport
