// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up benchmark: how fast `mousecfg --demo=560` shows its window and its scene, how much
// memory it holds and how much CPU it takes while idle, next to a bare Qt Quick window with a
// tray icon (bare_window, built alongside).
//
// One private Xvfb serves every run; this process watches it as an X client (SubstructureNotify
// on the root window). A run starts one program from a fresh temporary folder holding a hard link
// to the executable and a copy of its data folder, with HOME, TMPDIR and the XDG folders inside
// it (the runtime folder in /dev/shm, in memory as in a session): the program writes nowhere else
// and has a single-instance identity of its own. Only the QML disk cache is kept from one start
// of a program to the next, as for a user; a "first start" with an empty one is timed too. The
// clock starts just before fork. Measured: the first MapNotify of a managed window; the "first
// frame" line the program writes to stderr with MOUSECFG_MARK_FIRST_FRAME set, and its threads'
// CPU time then (schedstat); the "scene built" line that follows once the rest of the window is
// built behind the power-on picture (a window built at once counts its first frame); VmRSS and
// VmHWM 5 s after start; idle CPU from 5 s to 15 s as utime+stime and as the threads' run time and
// wake-ups. The two programs alternate after one uncounted warm-up start each; medians of 5 runs
// (or as many as the first argument says) are reported.
#include "xvfb_helper.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double SampleAtMs = 5000, IdleUntilMs = 15000, StartTimeoutMs = 20000;

struct Program
{
    const char *label;
    QString executable;
    QStringList arguments;
    QString dataFolder;  // copied next to the executable; empty for none
};

struct Run
{
    double mappedMs = -1, frameMs = -1, builtMs = -1, firstStartMs = -1;  // -1: not seen
    double frameCpuMs = 0, builtCpuMs = 0;  // CPU time of its threads up to the first frame, the scene
    double rssMb = 0, hwmMb = 0;
    double idleCpu = 0, idleCpuExact = 0;   // percent of one core: utime+stime, threads' run time
    double wakeUps = 0;                     // per second while idle
    QString failure;
};

// The words of a /proc file.
QList<QByteArray> procWords(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().simplified().split(' ') : QList<QByteArray>();
}

// A field of /proc/<pid>/status, in kB.
long statusKb(pid_t pid, const QByteArray &field)
{
    const QList<QByteArray> words = procWords(QStringLiteral("/proc/%1/status").arg(pid));
    return words.value(words.indexOf(field) + 1).toLong();
}

// utime + stime in clock ticks: fields 14 and 15 of /proc/<pid>/stat, after the command name.
long cpuTicks(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray stat = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLong() + fields.value(12).toLong();
}

// Time on a CPU (ns) and times scheduled, summed over the threads alive now: finer than ticks.
std::pair<double, double> threadsCpu(pid_t pid)
{
    std::pair<double, double> sum;
    const QString tasks = QStringLiteral("/proc/%1/task/").arg(pid);
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QList<QByteArray> fields = procWords(tasks + task + QStringLiteral("/schedstat"));
        sum.first += fields.value(0).toDouble();
        sum.second += fields.value(2).toDouble();
    }
    return sum;
}

// One program started under the X server, with its output and its windows watched.
class Launch
{
public:
    // `cacheFolder` is shared between starts; empty: a cache of the run's own (an empty one).
    Launch(xcb_connection_t *x, const Program &program, const QByteArray &display, const QString &cacheFolder)
        : m_x(x)
    {
        namespace fs = std::filesystem;
        const fs::path folder = m_dir.path().toStdString(), from = program.executable.toStdString();
        const fs::path executable = folder / from.filename();
        std::error_code error;
        fs::create_hard_link(from, executable, error);
        if (error)
            fs::copy_file(from, executable, error);
        if (!error && !program.dataFolder.isEmpty())
            fs::copy(program.dataFolder.toStdString(), folder / fs::path(program.dataFolder.toStdString()).filename(),
                     fs::copy_options::recursive, error);
        for (const char *sub : {"home", "tmp", "config", "cache", "data"})
            if (!error)
                fs::create_directory(folder / sub, error);
        if (!m_dir.isValid() || error) {
            m_run.failure = QString::fromStdString("cannot prepare the run folder: " + error.message());
            return;
        }

        const QString base = m_dir.path() + QLatin1Char('/');
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"WAYLAND_DISPLAY", "QT_QUICK_BACKEND", "QT_SCALE_FACTOR"})
            env.remove(QString::fromLatin1(name));
        const std::pair<const char *, QString> settings[] = {
            {"DISPLAY", QString::fromLatin1(display)},
            {"QT_QPA_PLATFORM", "xcb"},
            {"MOUSECFG_MARK_FIRST_FRAME", "1"},
            {"GSETTINGS_BACKEND", "memory"},  // never the user's settings
            {"HOME", base + "home"},
            {"TMPDIR", base + "tmp"},
            {"XDG_CONFIG_HOME", base + "config"},
            {"XDG_CACHE_HOME", cacheFolder.isEmpty() ? base + "cache" : cacheFolder},
            {"XDG_DATA_HOME", base + "data"},
            {"XDG_RUNTIME_DIR", m_runtime.isValid() ? m_runtime.path() : base + "tmp"},
        };
        for (const auto &setting : settings)
            env.insert(QString::fromLatin1(setting.first), setting.second);

        // Everything exec needs is built before fork.
        std::vector<QByteArray> strings{QByteArray::fromStdString(executable.string())};
        for (const QString &argument : program.arguments)
            strings.push_back(argument.toLocal8Bit());
        const std::size_t argCount = strings.size();
        for (const QString &entry : env.toStringList())
            strings.push_back(entry.toLocal8Bit());
        std::vector<char *> argv, envp;
        for (std::size_t i = 0; i < strings.size(); ++i)
            (i < argCount ? argv : envp).push_back(strings[i].data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const QByteArray workDir = m_dir.path().toLocal8Bit();

        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            m_run.failure = QStringLiteral("no pipe");
            return;
        }
        takeXEvents();  // whatever earlier runs left behind
        m_start = Clock::now();
        m_pid = ::fork();
        if (m_pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the benchmark
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(out[1], STDERR_FILENO);
            if (::chdir(workDir.constData()) == 0)
                ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_output = out[0];
        if (m_pid < 0)
            m_run.failure = QStringLiteral("fork failed");
    }

    ~Launch()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_output >= 0)
            ::close(m_output);
    }

    // Until the first frame only (`startOnly`), or every figure.
    Run measure(bool startOnly)
    {
        if (!m_run.failure.isEmpty())
            return m_run;
        if (!pump(StartTimeoutMs, [this] { return m_run.mappedMs >= 0 && m_run.frameMs >= 0; }))
            return fail(QStringLiteral("no mapped window and first frame within %1 s").arg(StartTimeoutMs / 1000));
        if (startOnly || !pump(SampleAtMs))
            return fail(QString());
        if (m_run.builtMs < 0) {
            m_run.builtMs = m_run.frameMs;
            m_run.builtCpuMs = m_run.frameCpuMs;
        }
        m_run.rssMb = statusKb(m_pid, "VmRSS:") / 1024.0;
        m_run.hwmMb = statusKb(m_pid, "VmHWM:") / 1024.0;
        const long ticks = cpuTicks(m_pid);
        const auto threads = threadsCpu(m_pid);
        if (!pump(IdleUntilMs))
            return fail(QString());
        const double seconds = (IdleUntilMs - SampleAtMs) / 1000;
        const auto after = threadsCpu(m_pid);
        m_run.idleCpu = 100.0 * double(cpuTicks(m_pid) - ticks) / double(::sysconf(_SC_CLK_TCK)) / seconds;
        m_run.idleCpuExact = 100.0 * (after.first - threads.first) / 1e9 / seconds;
        m_run.wakeUps = (after.second - threads.second) / seconds;
        return m_run;
    }

private:
    double elapsedMs() const { return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count(); }

    // Keeps the first reason; adds what the program said last.
    Run fail(const QString &why)
    {
        if (m_run.failure.isEmpty())
            m_run.failure = why;
        if (!m_run.failure.isEmpty() && !m_tail.isEmpty())
            m_run.failure += QStringLiteral("; its last output:\n") + QString::fromLocal8Bit(m_tail.right(600));
        return m_run;
    }

    // Handles the program's output and X events until `done` holds or `untilMs` after start has
    // passed (true), or the program has ended (false).
    bool pump(double untilMs, const std::function<bool()> &done = nullptr)
    {
        for (;;) {
            takeXEvents();
            if (done && done())
                return true;
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                // A start that finds another instance with its identity wakes it and ends with 1.
                m_run.failure = WIFEXITED(status)
                    ? QStringLiteral("ended early with exit code %1%2")
                          .arg(WEXITSTATUS(status))
                          .arg(WEXITSTATUS(status) == 1 ? " (another instance running?)" : "")
                    : QStringLiteral("killed by signal %1").arg(WTERMSIG(status));
                return false;
            }
            const double left = untilMs - elapsedMs();
            if (left <= 0)
                return !done;
            pollfd fds[2] = {{m_output, POLLIN, 0}, {xcb_get_file_descriptor(m_x), POLLIN, 0}};
            ::poll(fds, 2, std::min(int(left) + 1, 100));
            if (fds[0].revents & (POLLIN | POLLHUP))
                readOutput();
        }
    }

    void readOutput()
    {
        char buffer[4096];
        const ssize_t n = ::read(m_output, buffer, sizeof buffer);
        if (n <= 0)
            return;
        m_tail.append(buffer, n);
        if (m_run.frameMs < 0 && m_tail.contains("first frame\n")) {
            m_run.frameMs = elapsedMs();
            m_run.frameCpuMs = threadsCpu(m_pid).first / 1e6;
        }
        if (m_run.builtMs < 0 && m_tail.contains("scene built\n")) {
            m_run.builtMs = elapsedMs();
            m_run.builtCpuMs = threadsCpu(m_pid).first / 1e6;
        }
        m_tail = m_tail.right(4096);
    }

    // The first map of a managed (not override-redirect) window.
    void takeXEvents()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_x)) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !map->override_redirect && m_pid > 0
                && m_run.mappedMs < 0)
                m_run.mappedMs = elapsedMs();
            std::free(event);
        }
    }

    xcb_connection_t *m_x;
    QTemporaryDir m_dir;
    QTemporaryDir m_runtime{QStringLiteral("/dev/shm/mousecfg-bench-XXXXXX")};
    Run m_run;
    Clock::time_point m_start;
    pid_t m_pid = -1;
    int m_output = -1;
    QByteArray m_tail;
};

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    XvfbServer server;
    QString why;
    if (!server.start(&why)) {
        std::printf("skipped: %s\n", qPrintable(why));
        return 0;
    }
    xcb_connection_t *x = xcb_connect(server.display().constData(), nullptr);
    const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, xcb_setup_roots_iterator(xcb_get_setup(x)).data->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const Program programs[] = {
        {"mousecfg --demo=560", MOUSECFG_BINARY, {QStringLiteral("--demo=560")}, MOUSECFG_DATA},
        {"bare window", BARE_WINDOW_BINARY, {}, QString()},
    };
    // Each program keeps its QML cache from one start to the next; the warm-up start fills it.
    QTemporaryDir caches;
    std::vector<Run> results[2];
    for (int round = -1; round < runs; ++round) {
        for (int p = 0; p < 2; ++p) {
            Run run = Launch(x, programs[p], server.display(), caches.filePath(QString::number(p))).measure(round < 0);
            const Run firstStart = round < 0 ? Run() : Launch(x, programs[p], server.display(), QString()).measure(true);
            run.firstStartMs = firstStart.frameMs;
            if (!caches.isValid() || !run.failure.isEmpty() || !firstStart.failure.isEmpty()) {
                std::printf("%s: %s\n", programs[p].label,
                            qPrintable(run.failure + firstStart.failure + (caches.isValid() ? "" : "no temporary folder")));
                xcb_disconnect(x);
                return 1;
            }
            if (round < 0)
                continue;
            std::printf("run %d %-20s mapped %4.0f  frame %4.0f  CPU %3.0f  first start %4.0f  built %4.0f  CPU %3.0f ms  "
                        "RSS %4.1f  HWM %4.1f MB  idle %.2f %% (%.3f %%, %.1f/s)\n",
                        round + 1, programs[p].label, run.mappedMs, run.frameMs, run.frameCpuMs, run.firstStartMs,
                        run.builtMs, run.builtCpuMs, run.rssMb, run.hwmMb, run.idleCpu, run.idleCpuExact, run.wakeUps);
            std::fflush(stdout);
            results[p].push_back(run);
        }
    }
    xcb_disconnect(x);

    const auto median = [&](int p, double Run::*field) {
        std::vector<double> values;
        for (const Run &run : results[p])
            values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[values.size() / 2];
    };
    // A target is a ratio to the bare window (times) or a limit (the rest); 0 for none. The
    // memory peak on the way (the scene's loading) is for information: the limit is on what
    // stays resident.
    struct Row { const char *name; double Run::*field; const char *unit; int decimals; double ratio, limit; };
    const Row rows[] = {
        {"window mapped", &Run::mappedMs, "ms", 1, 1.3, 0},
        {"first frame", &Run::frameMs, "ms", 1, 1.3, 0},
        {"  CPU until then", &Run::frameCpuMs, "ms", 1, 1.3, 0},
        {"  first start", &Run::firstStartMs, "ms", 1, 1.3, 0},
        {"scene built", &Run::builtMs, "ms", 1, 2, 0},
        {"  CPU until then", &Run::builtCpuMs, "ms", 1, 2, 0},
        {"VmRSS at 5 s", &Run::rssMb, "MB", 1, 1.15, 0},
        {"  peak (VmHWM)", &Run::hwmMb, "MB", 1, 0, 0},
        {"idle CPU 5-15 s", &Run::idleCpu, "%", 2, 0, 0.1},
        {"  thread time", &Run::idleCpuExact, "%", 3, 0, 0.1},
        {"  wake-ups", &Run::wakeUps, "/s", 1, 0, 0},
    };
    double load[3] = {};
    ::getloadavg(load, 3);
    std::printf("\nmedians of %d runs (Xvfb; load average %.1f)\n", runs, load[0]);
    std::printf("%-16s %-3s %20s %12s %6s  %s\n", "", "", programs[0].label, programs[1].label, "ratio", "target");
    for (const Row &row : rows) {
        const double program = median(0, row.field), bare = median(1, row.field);
        const double ratio = bare > 0 ? program / bare : 0;
        QString target;
        if (row.ratio > 0)
            target = QStringLiteral("<= %1 x  %2").arg(row.ratio).arg(ratio <= row.ratio ? "met" : "MISSED");
        else if (row.limit > 0)
            target = QStringLiteral("<= %1 %2 %3").arg(row.limit).arg(row.unit).arg(program <= row.limit ? "met" : "MISSED");
        std::printf("%-16s %-3s %20.*f %12.*f %6.2f  %s\n", row.name, row.unit, row.decimals, program, row.decimals,
                    bare, ratio, qPrintable(target));
    }
    return 0;
}
