#include "xvfb_helper.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::~XvfbServer()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
}

bool XvfbServer::start(QString *why)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        *why = QStringLiteral("Xvfb is not installed (Debian package xvfb)");
        return false;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        *why = QStringLiteral("pipe failed");
        return false;
    }
    const QByteArray program = xvfb.toLocal8Bit();
    const QByteArray fdArg = QByteArray::number(fds[1]);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(fds[0]);
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
        }
        ::execl(program.constData(), "Xvfb", "-displayfd", fdArg.constData(), "-nolisten", "tcp", "-noreset",
                "-screen", "0", "1024x768x24", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (m_pid < 0) {
        ::close(fds[0]);
        *why = QStringLiteral("fork failed");
        return false;
    }
    // Xvfb writes the display number once it accepts connections.
    QByteArray number;
    pollfd pfd = {fds[0], POLLIN, 0};
    while (!number.endsWith('\n')) {
        const int ready = ::poll(&pfd, 1, 15000);
        if (ready < 0 && errno == EINTR)
            continue;
        char c = 0;
        if (ready <= 0 || ::read(fds[0], &c, 1) != 1)
            break;
        number += c;
    }
    ::close(fds[0]);
    if (!number.endsWith('\n')) {
        *why = QStringLiteral("Xvfb did not start");
        return false;
    }
    m_display = ':' + number.trimmed();
    return true;
}

bool runOnDisplay(const QByteArray &display, const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLocal8Bit(display));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(20000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
