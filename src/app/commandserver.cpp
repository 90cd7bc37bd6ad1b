// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandserver.h"

#include "app/datafolder.h"
#include "app/widget.h"
#include "device/hid_thread.h"
#include "platform/pointersettings.h"
#include "view/filedialogs.h"
#include "view/myqquickview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJSValue>
#include <QLoggingCategory>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>

namespace cli {

namespace {

// A command handed over waits for the window to be set up, then runs (a profile switch of a gun
// mouse sends for a few seconds).
constexpr int HandOverTimeoutMs = 90000;
constexpr int PollMs = 25;

QVariant plain(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QJSValue>() ? value.value<QJSValue>().toVariant() : value;
}

// A function of the scene's command object; its arguments and result are variants.
QVariant invoke(QObject *target, const char *function, const QVariantList &args = {})
{
    QVariant result;
    QGenericArgument a[4];
    for (int i = 0; i < args.size() && i < 4; ++i)
        a[i] = Q_ARG(QVariant, args.at(i));
    if (!target || !QMetaObject::invokeMethod(target, function, Q_RETURN_ARG(QVariant, result), a[0], a[1], a[2], a[3]))
        return QVariantMap{{QStringLiteral("error"), QStringLiteral("the window cannot run %1").arg(QLatin1String(function))}};
    return plain(result);
}

QString hexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

CommandReply failure(int code, const QString &text)
{
    return {code, QString(), QStringLiteral("mousecfg: ") + text + QLatin1Char('\n')};
}

// A dry run: the command works on a copy of the device's settings folder, its set commands are
// recorded instead of sent, the pointer settings go to a stand-in, and afterwards the window
// shows what it showed before (the files' state and the device's own reports over it).
class DryRun
{
public:
    ~DryRun() { end(); }

    bool begin(Widget &w, QObject *ops)
    {
        m_view = w.view();
        m_hid = &w.hid;
        m_ops = ops;
        const QString copy = m_dir.filePath(QStringLiteral("settings"));
        if (!m_view || !m_dir.isValid() || !datafolder::copyTree(m_view->settingsFolder(), copy))
            return false;
        m_snapshot = invoke(ops, "snapshot");
        m_view->settingsFolderOverride = copy;
        m_view->openSettings();
        std::memcpy(m_blocks, m_view->profileBlocks, sizeof m_blocks);
        std::memcpy(m_read, m_view->profileBlockRead, sizeof m_read);
        std::memcpy(m_tried, m_view->profileBlockTried, sizeof m_tried);
        m_pointer = &pointerSettings() == &systemPointerSettings() ? nullptr : &pointerSettings();
        setPointerSettings(&m_memory);
        m_hid->dryRun = &reports;
        m_active = true;
        return true;
    }

    void end()
    {
        if (!m_active)
            return;
        m_active = false;
        m_hid->dryRun = nullptr;
        setPointerSettings(m_pointer);
        std::memcpy(m_view->profileBlocks, m_blocks, sizeof m_blocks);
        std::memcpy(m_view->profileBlockRead, m_read, sizeof m_read);
        std::memcpy(m_view->profileBlockTried, m_tried, sizeof m_tried);
        m_view->settingsFolderOverride.clear();
        m_view->openSettings();
        invoke(m_ops, "restore", {m_snapshot});
    }

    // Where a file the command writes goes instead.
    QString scratch(const QString &fileName) const { return m_dir.filePath(QFileInfo(fileName).fileName()); }

    QList<Hid_Thread::Report> reports;

private:
    QTemporaryDir m_dir;
    myQQuickView *m_view = nullptr;
    Hid_Thread *m_hid = nullptr;
    QObject *m_ops = nullptr;
    QVariant m_snapshot;
    unsigned char m_blocks[5][128] = {};
    bool m_read[5] = {};
    bool m_tried[5] = {};
    PointerSettings *m_pointer = nullptr;
    MemoryPointerSettings m_memory;
    bool m_active = false;
};

// What a file of the command must be before the window is asked: an import names a readable
// profile or macro file, an export a folder that exists.
QString fileProblem(const Request &r, const QString &file)
{
    const QFileInfo info(file);
    if (r.command == QLatin1String("export") || r.command == QLatin1String("macro export"))
        return info.absoluteDir().exists() ? QString() : QStringLiteral("no folder %1").arg(info.absolutePath());
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("cannot read %1").arg(file);
    if (r.command == QLatin1String("import")
        && !QSettings(file, QSettings::IniFormat).childGroups().contains(QStringLiteral("mouse")))
        return QStringLiteral("%1 is no profile (it has no [mouse] section)").arg(file);
    return QString();
}

} // namespace

CommandServer::CommandServer(Widget *widget, const QString &demoFamily, const QString &defaultDemoFamily,
                             QObject *parent)
    : QObject(parent), m_widget(widget), m_demoFamily(demoFamily), m_defaultDemoFamily(defaultDemoFamily)
{
    m_wait.setInterval(PollMs);
    connect(&m_wait, &QTimer::timeout, this, &CommandServer::poll);
}

void CommandServer::submit(const QStringList &arguments, const QString &workingDir, const CommandAnswer &answer)
{
    Job job;
    job.arguments = arguments;
    job.workingDir = workingDir;
    job.answer = answer;
    m_queue << job;
    // Never inside the one that runs: its device commands let events through.
    QTimer::singleShot(0, this, &CommandServer::next);
}

void CommandServer::next()
{
    if (m_running)
        return;
    if (m_queue.isEmpty()) {
        emit drained();
        return;
    }
    m_running = true;
    m_job = m_queue.takeFirst();
    m_job.parsed = parse(m_job.arguments);
    const Request &r = m_job.parsed.request;
    if (m_job.parsed.kind != Parsed::Command || !m_job.parsed.error.isEmpty())
        return finish(failure(Usage, m_job.parsed.error.isEmpty() ? QStringLiteral("no command") : m_job.parsed.error));
    const QString asked = r.demo ? (r.demoFamily.isEmpty() ? m_defaultDemoFamily : r.demoFamily) : QString();
    if (asked != m_demoFamily)
        return finish(failure(NoMouse, (m_demoFamily.isEmpty() ? QStringLiteral("the mousecfg that runs serves the attached mice")
                                                               : QStringLiteral("the mousecfg that runs serves the virtual %1 mouse").arg(m_demoFamily))
                                           + QStringLiteral(", not %1: quit it (tray menu) first")
                                                 .arg(asked.isEmpty() ? QStringLiteral("the attached mice") : QStringLiteral("the virtual %1 mouse").arg(asked))));
    m_job.deadline = QDeadlineTimer(readyTimeoutMs);
    m_wait.start();
    poll();
}

QObject *CommandServer::commandOps() const
{
    myQQuickView *v = m_widget ? m_widget->view() : nullptr;
    QQuickItem *root = v ? v->rootObject() : nullptr;
    return root ? root->findChild<QObject *>(QStringLiteral("commandOps")) : nullptr;
}

// Set up for the connected mouse (as after its connect), the busy lock released.
bool CommandServer::sceneReady() const
{
    myQQuickView *v = m_widget->view();
    QQuickItem *root = v ? v->rootObject() : nullptr;
    if (!root || !root->property("isPownOn").toBool() || !v->isEnabled()
        || root->property("sceneFolder").toString() != v->settingsFolder())
        return false;
    QObject *lock = root->findChild<QObject *>(QStringLiteral("lockTimer"));
    return lock && !lock->property("running").toBool();
}

void CommandServer::poll()
{
    if (!m_running)
        return;
    Widget *w = m_widget;
    if (!w)
        return finish(failure(NoMouse, QStringLiteral("the window is gone")));
    // A check that is due may still find the mouse.
    if (!deviceConnected && !w->checkTimer.isActive()) {
        if (!w->lockedOutPaths.isEmpty())
            return finish(failure(NotAccessible, QStringLiteral("a mouse is attached, but this user may not open it: install "
                                                                "the mousecfg package (or its udev rule), then plug it in again")));
        return finish(failure(NoMouse, QStringLiteral("no mouse of the device table is attached (mousecfg --demo tries "
                                                      "a virtual one)")));
    }
    if (deviceConnected && sceneReady()) {
        // Its device commands let events through: no second turn of the wait meanwhile.
        m_wait.stop();
        return finish(run(m_job.parsed.request, m_job.workingDir));
    }
    if (m_job.deadline.hasExpired())
        finish(failure(NoAnswer, QStringLiteral("the mouse did not answer: the window was not set up for it in time")));
}

void CommandServer::finish(const CommandReply &reply)
{
    m_wait.stop();
    const CommandAnswer answer = m_job.answer;
    m_job = Job();
    m_running = false;
    if (answer)
        answer(reply);
    QTimer::singleShot(0, this, &CommandServer::next);
}

CommandReply CommandServer::run(const Request &r, const QString &workingDir)
{
    Widget &w = *m_widget;
    QObject *ops = commandOps();
    if (!ops)
        return failure(NoAnswer, QStringLiteral("the window has no command functions"));
    if (r.changes() && invoke(ops, "busy").toBool())
        return failure(Busy, QStringLiteral("the window has unsaved changes or an open dialog: save or close them first"));

    // The file of a file command, relative to the folder the command was given in.
    const bool macroExport = r.command == QLatin1String("macro export");
    const bool fileCommand = macroExport || r.command == QLatin1String("export") || r.command == QLatin1String("import")
                             || r.command == QLatin1String("macro import");
    const QString file = fileCommand ? QDir(workingDir).absoluteFilePath(r.words.value(macroExport ? 1 : 0)) : QString();
    if (fileCommand) {
        const QString problem = fileProblem(r, file);
        if (!problem.isEmpty())
            return failure(Usage, r.command + QStringLiteral(": ") + problem);
    }

    DryRun dry;
    if (r.dryRun && r.changes() && !dry.begin(w, ops))
        return failure(NoAnswer, QStringLiteral("no copy of the settings for a dry run"));
    const QString written = r.dryRun && fileCommand ? dry.scratch(file) : file;
    std::unique_ptr<filedialogs::ScopedHook> dialogs;
    if (fileCommand)
        dialogs = std::make_unique<filedialogs::ScopedHook>([written](const filedialogs::Request &) { return written; });

    QStringList warnings;
    const QMetaObject::Connection told = connect(&w, &Widget::trayMessageShown, this,
                                                 [&warnings](const QString &title, const QString &text) {
                                                     warnings << title + QStringLiteral(": ") + text;
                                                 });
    // Every save a command makes is checked against the mouse, as the window's are; a check
    // that failed also tells the tray, which is no refusal of its own.
    int notices = 0, notKept = 0, unanswered = 0;
    const QMetaObject::Connection notSaved = connect(w.view(), &myQQuickView::trayNotice, this, [&notices] { ++notices; });
    const QMetaObject::Connection checked = connect(w.view(), &myQQuickView::saveChecked, this,
                                                    [&](const QVariantMap &outcome) {
                                                        const QString result = outcome.value(QStringLiteral("result")).toString();
                                                        notKept += result == QLatin1String("notKept");
                                                        unanswered += result == QLatin1String("noAnswer");
                                                    });
    const unsigned failedBefore = w.hid.failedTransfers;

    const QString &c = r.command;
    QVariantList numbers;
    for (int n : r.numbers)
        numbers << n;
    const QString word = r.words.value(0);
    QVariant result;
    if (c == QLatin1String("status") || c == QLatin1String("get"))
        result = invoke(ops, "state");
    else if (c == QLatin1String("set dpi"))
        result = invoke(ops, "setDpi", {numbers, r.stage});
    else if (c == QLatin1String("set rate"))
        result = invoke(ops, "setRate", {r.numbers.value(0)});
    else if (c == QLatin1String("set lod"))
        result = invoke(ops, "setLod", {r.numbers.value(0)});
    else if (c == QLatin1String("set light"))
        result = invoke(ops, "setLight", {word, r.speed, r.brightness, QVariant(r.colours)});
    else if (c == QLatin1String("set button"))
        result = invoke(ops, "setButton", {r.numbers.value(0), word});
    else if (c == QLatin1String("profile"))
        result = invoke(ops, "switchProfile", {word});
    else if (c == QLatin1String("export"))
        result = invoke(ops, "exportProfile");
    else if (c == QLatin1String("import"))
        result = invoke(ops, "importProfile");
    else if (c == QLatin1String("reset"))
        result = invoke(ops, "reset");
    else if (c == QLatin1String("macro list"))
        result = invoke(ops, "macros");
    else if (c == QLatin1String("macro export"))
        result = invoke(ops, "exportMacro", {word});
    else if (c == QLatin1String("macro import"))
        result = invoke(ops, "importMacro");
    dialogs.reset();
    dry.end();
    disconnect(told);
    disconnect(notSaved);
    disconnect(checked);
    const bool refused = notices > notKept + unanswered;

    const QVariantMap answer = result.toMap();
    const QString error = answer.value(QStringLiteral("error")).toString();
    if (!error.isEmpty())
        return failure(Usage, error);

    CommandReply reply;
    if (c == QLatin1String("status") || c == QLatin1String("get")) {
        QVariantMap state = answer;
        const DeviceEntry &e = w.hid.deviceList.at(w.hid.deviceIndex);
        state.insert(QStringLiteral("device"),
                     QVariantMap{{QStringLiteral("id"), QStringLiteral("%1:%2").arg(e.vid, 4, 16, QLatin1Char('0')).arg(e.pid, 4, 16, QLatin1Char('0'))},
                                 {QStringLiteral("family"), w.view()->icType}});
        reply.out = r.json ? jsonText(state) : stateText(state, c == QLatin1String("status"));
    } else if (c == QLatin1String("macro list")) {
        reply.out = r.json ? jsonText(result) : macrosText(result.toList());
    } else if (c == QLatin1String("macro import")) {
        reply.out = QStringLiteral("imported as %1\n").arg(answer.value(QStringLiteral("name")).toString());
    }
    for (const QVariant &note : answer.value(QStringLiteral("notes")).toList())
        reply.err += QStringLiteral("mousecfg: ") + note.toString() + QLatin1Char('\n');
    for (const QString &warning : std::as_const(warnings))
        reply.err += QStringLiteral("mousecfg: ") + warning + QLatin1Char('\n');
    if (r.dryRun) {
        for (const Hid_Thread::Report &report : std::as_const(dry.reports))
            reply.out += (report.feature ? QStringLiteral("feature ") : QStringLiteral("output  ")) + hexText(report.bytes)
                         + QLatin1Char('\n');
        if (dry.reports.isEmpty())
            reply.out += QStringLiteral("nothing would be sent\n");
        if (fileCommand && (c.endsWith(QLatin1String("export"))))
            reply.out += QStringLiteral("would write %1\n").arg(file);
    } else if (fileCommand && c.endsWith(QLatin1String("export")) && !QFileInfo::exists(file)) {
        reply.exitCode = Usage;
        reply.err += QStringLiteral("mousecfg: %1: %2 could not be written\n").arg(c, file);
    }

    const unsigned failed = w.hid.failedTransfers - failedBefore;
    if (failed > 0 || refused) {
        reply.exitCode = NoAnswer;
        reply.err += QStringLiteral("mousecfg: the mouse refused or did not answer (%1 of the transfers failed)\n").arg(failed);
    } else if (notKept > 0) {
        reply.exitCode = NotVerified;
        reply.err += QStringLiteral("mousecfg: the mouse did not keep what was saved\n");
    } else if (unanswered > 0) {
        reply.exitCode = NoAnswer;
        reply.err += QStringLiteral("mousecfg: the mouse did not answer whether it kept what was saved\n");
    }
    return reply;
}

void print(const CommandReply &reply)
{
    std::fputs(reply.out.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    std::fputs(reply.err.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

int handOver(SingleInstance &instance, const QStringList &arguments, const QString &workingDir)
{
    CommandReply reply;
    if (!instance.sendCommand(arguments, workingDir, HandOverTimeoutMs, &reply))
        reply = failure(NoAnswer, QStringLiteral("the mousecfg that runs did not answer: quit it (tray menu) and try again"));
    print(reply);
    return reply.exitCode;
}

int runHere(Widget &widget, SingleInstance &instance, const QStringList &arguments, const QString &workingDir,
            const QString &demoFamily, const QString &defaultDemoFamily)
{
    CommandServer server(&widget, demoFamily, defaultDemoFamily);
    QObject::connect(&instance, &SingleInstance::commandReceived, &server, &CommandServer::submit);
    widget.checkDevice();
    int exitCode = Done;
    bool answered = false;
    server.submit(arguments, workingDir, [&](const CommandReply &reply) {
        print(reply);
        exitCode = reply.exitCode;
        answered = true;
    });
    QObject::connect(&server, &CommandServer::drained, &server, [&] {
        if (answered)
            QCoreApplication::exit(exitCode);
    });
    return QCoreApplication::exec();
}

void prepareProcess()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tray icon of the offscreen platform complains about a signal it does not have.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\nqt.core.qobject.connect.warning=false"));
}

} // namespace cli
