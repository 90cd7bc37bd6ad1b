// Entry point: one instance per executable, the main window, one device check, the event loop.
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
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifdef Q_OS_WIN
#include "platform/win/copydatafilter.h"
#endif

namespace {

#ifdef __GLIBC__
constexpr int StartUpSettledMs = 2000;
#endif

// "--demo" takes an optional family ("--demo=553"); the parser wants a value, so a bare
// "--demo" becomes "--demo=" (an empty family).
QStringList normalisedArguments(QStringList args)
{
    for (QString &arg : args)
        if (arg == QLatin1String("--demo"))
            arg = QStringLiteral("--demo=");
    return args;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // One allocation arena for every thread: beside the window's thread, the others only poll
    // the device or load the scene once, and an arena of their own would stay resident for it.
    mallopt(M_ARENA_MAX, 1);
#endif
    // Finding and adding a mouse needs neither a window, nor a display, nor the running instance.
    if (devicetools::isDeviceCommand(argc, argv))
        return devicetools::main(argc, argv);
    selectSceneRenderer();

    QApplication app(argc, argv);
    installSceneFontFallbacks();
    QCoreApplication::setOrganizationName(QStringLiteral("mousecfg"));
    QCoreApplication::setApplicationName(QStringLiteral("mousecfg"));

    // One instance per executable and user: a second start wakes the first and leaves, whatever
    // its arguments.
    SingleInstance instance;
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Configuration tool for USB gaming mice."));
    parser.addHelpOption();
    QCommandLineOption demoOption(QStringLiteral("demo"),
                                  QStringLiteral("Run with a virtual mouse of the given firmware family "
                                                 "(553, 560 or 3395; 560 when empty)."),
                                  QStringLiteral("family"));
    parser.addOption(demoOption);
    QCommandLineOption hiddenOption(QStringLiteral("hidden"),
                                    QStringLiteral("Start in the tray without showing the window (for the desktop's autostart)."));
    parser.addOption(hiddenOption);
    devicetools::describeOptions(parser);
    parser.process(normalisedArguments(app.arguments()));

    // Every data path is relative to the data folder: the executable's, or the user's own copy
    // of an installed program's data.
    const QString unusableFolder = datafolder::enter(QCoreApplication::applicationDirPath());

    Widget w;
    markFirstFrame(w.view());
    QObject::connect(&instance, &SingleInstance::messageReceived, &w, &Widget::receiveMessage);
    // What start-up could not set up is told once there is a tray to tell it.
    if (!unusableFolder.isEmpty())
        store::reportWriteFailure(unusableFolder + QStringLiteral("/modules"), QStringLiteral("no copy of the data can be made there"));
    if (!instance.problem().isEmpty())
        w.showTrayMessage(QObject::tr("Single instance"),
                          QObject::tr("A second start of the program may not find this one and run beside it: %1")
                              .arg(instance.problem()),
                          QSystemTrayIcon::Warning, 15000);

    // ---- Demo mode -------------------------------------------------------------------------
    // With --demo a virtual mouse stands in for real devices (after the Widget, before the
    // first device check).
    if (parser.isSet(demoOption) && !vdev::setupDemo(parser.value(demoOption), &w)) {
        qWarning("unknown demo family: %s", qPrintable(parser.value(demoOption)));
        return 2;
    }

    // ---- Login session ---------------------------------------------------------------------
    // The seat's devices follow the active session: when this one is active again the mouse is
    // looked for anew. The virtual mice do not depend on the seat, so demo mode only watches a
    // logind that MOUSECFG_LOGIND_BUS names (a D-Bus address; unset: the system bus).
    const QString logindBus = qEnvironmentVariable("MOUSECFG_LOGIND_BUS");
    if (!parser.isSet(demoOption) || !logindBus.isEmpty())
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

    const bool hidden = parser.isSet(hiddenOption);
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
