#pragma once

// A private X server for tests that need a real X11 desktop: Xvfb on a free display number.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // Starts Xvfb and waits until it accepts clients; on failure `why` says what is missing.
    bool start(QString *why);
    // ":N" once started.
    QByteArray display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QByteArray m_display;
};

// Runs a program with DISPLAY set to `display`; true when it exits with code 0.
bool runOnDisplay(const QByteArray &display, const QString &program, const QStringList &arguments,
                  QString *output = nullptr);
