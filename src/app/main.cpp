// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point: one instance per executable, the main window, one device check, the event loop.
#include "app/commandserver.h"
#include "app/copydata.h"
#include "app/datafolder.h"
#include "app/devicetools.h"
#include "app/scenefont.h"
#include "app/scenestartup.h"
#include "app/singleinstance.h"
#include "app/widget.h"
#include "input/inputforward.h"
#include "input/inputhook.h"
#include "platform/sessionwatch.h"
#include "view/myqquickview.h"
#include "view/settingsstore.h"
#include "vdev/demo.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifdef Q_OS_WIN
#include "platform/win/copydatafilter.h"
#endif

#ifdef __GLIBC__
namespace {
constexpr int StartUpSettledMs = 2000;
} // namespace
#endif

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // One allocation arena for every thread: beside the window's thread, the others only poll
    // the device or load the scene once, and an arena of their own would stay resident for it.
    mallopt(M_ARENA_MAX, 1);
#endif
    // What the start does, read once: the window, a command ("mousecfg set dpi 400,800"), a
    // device tool, or the usage.
    const QString callerDir = QDir::currentPath();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const cli::Parsed parsed = cli::parse(arguments);
    const cli::Request &request = parsed.request;
    const bool isCommand = parsed.kind == cli::Parsed::Command;
    // Finding and adding a mouse needs neither a window, nor a display, nor the running instance.
    if (parsed.kind == cli::Parsed::DeviceTool)
        return devicetools::main(argc, argv);
    if (parsed.kind == cli::Parsed::Help) {
        std::fputs(qPrintable(cli::helpText()), stdout);
        return cli::Done;
    }
    QString error = parsed.error;
    if (error.isEmpty() && !vdev::isDemoFamily(request.demoFamily))
        error = QStringLiteral("--demo: unknown family \"%1\" (553, 560, 3395)").arg(request.demoFamily);
    auto usageError = [&error] {
        std::fprintf(stderr, "mousecfg: %s\n", qPrintable(error));
        return int(cli::Usage);
    };
    // A command's bad words are told at once, the window's once no running program is to be woken.
    if (isCommand && !error.isEmpty())
        return usageError();
    const QString demoFamily = !request.demo ? QString()
                                             : request.demoFamily.isEmpty() ? vdev::defaultDemoFamily() : request.demoFamily;
    if (isCommand)
        cli::prepareProcess();
    selectSceneRenderer();

    QApplication app(argc, argv);
    installSceneFontFallbacks();
    QCoreApplication::setOrganizationName(QStringLiteral("mousecfg"));
    QCoreApplication::setApplicationName(QStringLiteral("mousecfg"));

    // One instance per executable and user: a second start wakes the first and leaves (a
    // command is handed to it).
    SingleInstance instance;
    if (instance.isRunning()) {
        // A command is answered by the running program: one program talks to the mouse.
        if (isCommand)
            return cli::handOver(instance, arguments, callerDir);
        instance.sendMessage(QString(), 5000);
        return 1;
    }
    if (!error.isEmpty())
        return usageError();
    // Every data path is relative to the data folder: the executable's, or the user's own copy
    // of an installed program's data.
    const QString unusableFolder = datafolder::enter(QCoreApplication::applicationDirPath());

    Widget w;
    // With --demo a virtual mouse stands in for real devices (after the Widget, before the
    // first device check).
    if (request.demo)
        vdev::setupDemo(demoFamily, &w);
    // A command runs on the window without showing it.
    if (isCommand)
        return cli::runHere(w, instance, arguments, callerDir, demoFamily, vdev::defaultDemoFamily());
    markFirstFrame(w.view());
    QObject::connect(&instance, &SingleInstance::messageReceived, &w, &Widget::receiveMessage);
    cli::CommandServer commands(&w, demoFamily, vdev::defaultDemoFamily());
    QObject::connect(&instance, &SingleInstance::commandReceived, &commands, &cli::CommandServer::submit);
    // What start-up could not set up is told once there is a tray to tell it.
    if (!unusableFolder.isEmpty())
        store::reportWriteFailure(unusableFolder + QStringLiteral("/modules"), QStringLiteral("no copy of the data can be made there"));
    if (!instance.problem().isEmpty())
        w.showTrayMessage(QObject::tr("Single instance"),
                          QObject::tr("A second start of the program may not find this one and run beside it: %1")
                              .arg(instance.problem()),
                          QSystemTrayIcon::Warning, 15000);

    // ---- Login session ---------------------------------------------------------------------
    // The seat's devices follow the active session: when this one is active again the mouse is
    // looked for anew. The virtual mice do not depend on the seat, so demo mode only watches a
    // logind that MOUSECFG_LOGIND_BUS names (a D-Bus address; unset: the system bus).
    const QString logindBus = qEnvironmentVariable("MOUSECFG_LOGIND_BUS");
    if (!request.demo || !logindBus.isEmpty())
        w.watchSession(createSessionWatch(&w, logindBus));

    // ---- Input capture ---------------------------------------------------------------------
    // Built after the Widget and before the window is shown; declared after the Widget, it is
    // destroyed (capture removed) when the event loop has returned, before the Widget.
    InputHook inputHook(false);
    inputHook.setKeyboardCallback(forwardKeyboardToScene, w.view());
    inputHook.setMouseCallback(forwardMouseToScene, w.view());

    // The copy-data warning: WM_COPYDATA on Windows, the single-instance channel elsewhere.
#ifdef Q_OS_WIN
    installCopyDataFilter(&w);
#else
    inputHook.installCopyDataFilter(
        [](const copydata::Record &record, void *context) {
            showCopyDataMessage(record, static_cast<Widget *>(context));
        },
        &app, &w);
    QObject::connect(&instance, &SingleInstance::copyDataReceived, &w,
                     [](const copydata::Record &record) { InputHook::deliverCopyData(record); });
#endif

    const bool hidden = parsed.hidden;
    if (!hidden)
        w.showNormal();
    w.checkDevice();
    // Without a tray a window hidden at start could not be reached: it is shown once a mouse is
    // there (without one the program stays quietly running; a second start asks for the window).
    if (hidden && deviceConnected && !w.trayAvailable())
        w.showNormal();

#ifdef __GLIBC__
    // The program stays resident for the whole session: once start-up is through (the scene
    // built behind the power-on picture, the first balloon shown; well under a second), give
    // back the memory that it used and freed again (glibc keeps it otherwise).
    QTimer::singleShot(StartUpSettledMs, [] { malloc_trim(0); });
#endif

    return app.exec();
}
