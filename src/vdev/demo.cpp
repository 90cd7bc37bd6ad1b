// SPDX-License-Identifier: GPL-3.0-or-later
#include "vdev/demo.h"

#include "app/widget.h"
#include "platform/pointersettings.h"
#include "platform/sessionwatch.h"
#include "vdev/virtualdevice.h"
#include "view/myqquickview.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QPointer>

#include <memory>

namespace vdev {

namespace {

std::unique_ptr<VirtualDevice> theDevice;
int demoMouse = Mouse560;

// The demo's stand-in for the login session: "deny" hands the seat to another session (the
// mouse refuses this user), "allow" brings it back.
class DemoSession : public SessionWatch
{
public:
    using SessionWatch::SessionWatch;
    using SessionWatch::setActive;
};
QPointer<DemoSession> demoSession;

// Serves the line-based control protocol on a local socket: one answer block per line.
class ControlServer : public QLocalServer
{
public:
    ControlServer(VirtualDevice &device, int mouse, QObject *parent, myQQuickView *view)
        : QLocalServer(parent), m_device(device), m_mouse(mouse), m_view(view)
    {
        setSocketOptions(QLocalServer::UserAccessOption);
        connect(this, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket *socket = nextPendingConnection()) {
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
    }

private:
    void serve(QLocalSocket *socket)
    {
        while (socket->canReadLine()) {
            const QString line = QString::fromUtf8(socket->readLine()).trimmed();
            if (line.isEmpty())
                continue;
            for (const QString &answer : runControlCommand(m_device, m_mouse, line, m_view))
                socket->write(answer.toUtf8() + '\n');
        }
        // A client that sends an endless line without a newline is cut off.
        if (socket->bytesAvailable() > 4096)
            socket->disconnectFromServer();
    }

    VirtualDevice &m_device;
    int m_mouse;
    QPointer<myQQuickView> m_view;
};

void addTrayMenu(Widget *w, VirtualDevice &device, int mouse)
{
    if (!w->trayMenu)
        return;
    auto *menu = new QMenu(QObject::tr("Virtual mouse"), w->trayMenu);
    auto addCommand = [&](const QString &text, const QString &command) {
        QAction *action = menu->addAction(text);
        QObject::connect(action, &QAction::triggered, menu, [&device, mouse, command] {
            runControlCommand(device, mouse, command);
        });
        return action;
    };
    addCommand(QObject::tr("Press DPI button"), QStringLiteral("press dpi"));
    addCommand(QObject::tr("Press report-rate button"), QStringLiteral("press rate"));
    addCommand(QObject::tr("Press light button"), QStringLiteral("press light"));
    addCommand(QObject::tr("Press light-speed button"), QStringLiteral("press speed"));
    menu->addSeparator();
    QAction *plugAction = menu->addAction(QString());
    auto label = [&device, mouse, plugAction] {
        plugAction->setText(device.isPlugged(mouse) ? QObject::tr("Unplug") : QObject::tr("Plug in"));
    };
    label();
    QObject::connect(plugAction, &QAction::triggered, menu, [&device, mouse, label] {
        runControlCommand(device, mouse, device.isPlugged(mouse) ? QStringLiteral("unplug") : QStringLiteral("plug"));
        label();
    });
    QObject::connect(menu, &QMenu::aboutToShow, menu, label);
    const QList<QAction *> existing = w->trayMenu->actions();
    w->trayMenu->insertMenu(existing.isEmpty() ? nullptr : existing.first(), menu);
    if (!existing.isEmpty())
        w->trayMenu->insertSeparator(existing.first());
}

// "fault clear", or "fault <fail|drop|alter> <write|feature> [N|always]": the next N (default 1)
// such reports to the mouse fail, are lost, or arrive altered (see FaultAction).
QStringList faultCommand(VirtualDevice &device, int mouse, const QStringList &args)
{
    if (args.size() == 1 && args.at(0).compare(QLatin1String("clear"), Qt::CaseInsensitive) == 0) {
        device.clearFaults();
        return {QStringLiteral("ok")};
    }
    const QStringList actions{QStringLiteral("fail"), QStringLiteral("drop"), QStringLiteral("alter")};
    const QStringList calls{QStringLiteral("write"), QStringLiteral("feature")};
    const qsizetype action = args.isEmpty() ? -1 : actions.indexOf(args.at(0).toLower());
    const qsizetype call = args.size() < 2 ? -1 : calls.indexOf(args.at(1).toLower());
    const bool always = args.size() == 3 && args.at(2).compare(QLatin1String("always"), Qt::CaseInsensitive) == 0;
    const int times = always ? -1 : args.size() == 3 ? args.at(2).toInt() : 1;
    if (action < 0 || call < 0 || args.size() > 3 || (!always && times < 1))
        return {QStringLiteral("error: fault fail|drop|alter write|feature [N|always], or fault clear")};
    static const FaultAction faultActions[] = {FaultAction::Fail, FaultAction::Drop, FaultAction::Alter};
    device.addFault(Fault{call == 0 ? Call::Write : Call::SendFeature, faultActions[action], 0, times,
                          mouse, Iface::Command});
    return {QStringLiteral("ok")};
}

} // namespace

bool isDemoFamily(const QString &family)
{
    return family.isEmpty() || mouseForFamily(family) >= 0;
}

QString defaultDemoFamily()
{
    return QStringLiteral("560");
}

void useDemoPointerSettings()
{
    static MemoryPointerSettings memory;
    setPointerSettings(qEnvironmentVariable("MOUSECFG_DEMO_DESKTOP") == QLatin1String("1") ? nullptr : &memory);
}

VirtualDevice *demoDevice()
{
    return theDevice.get();
}

bool setupDemo(const QString &family, Widget *w)
{
    if (!isDemoFamily(family))
        return false;
    const int mouse = mouseForFamily(family.isEmpty() ? defaultDemoFamily() : family);
    if (!theDevice) {
        theDevice = std::make_unique<VirtualDevice>();
        theDevice->install();
        // Only tests read the wire log from memory; a demo left running in the tray would hold
        // the newest 200,000 calls (over 10 MB) for nobody.
        theDevice->keepWireLog(false);
        useDemoPointerSettings();
        // The virtual mice keep what they store in the data folder, as a mouse keeps its flash:
        // a restarted demo finds what it saved.
        const QString state = QDir::current().filePath(QStringLiteral("demo-mice.state"));
        if (!theDevice->setStateFile(state))
            qWarning("cannot read the virtual mice's state from %s", qPrintable(state));
        demoMouse = mouse;
        theDevice->plug(mouse);
        const QString wireLog = qEnvironmentVariable("MOUSECFG_WIRE_LOG");
        if (!wireLog.isEmpty() && !theDevice->setWireLogFile(wireLog))
            qWarning("cannot write the wire log to %s", qPrintable(wireLog));
    }
    if (!w)
        return true;

    if (w->deviceMonitor)
        theDevice->addMonitor(w->deviceMonitor);
    // A real plug announces its interfaces one by one, hence the wait before a device check; a
    // virtual mouse has them all at once, and a soak run plugs it thousands of times.
    bool settleSet = false;
    const int settleMs = qEnvironmentVariableIntValue("MOUSECFG_VDEV_SETTLE_MS", &settleSet);
    if (settleSet && settleMs > 0)
        w->checkTimer.setInterval(settleMs);
    demoSession = new DemoSession(w);
    w->watchSession(demoSession);
    addTrayMenu(w, *theDevice, demoMouse);
    const QString control = qEnvironmentVariable("MOUSECFG_VDEV_CONTROL");
    if (!control.isEmpty() && !startControlServer(*theDevice, demoMouse, control, w, w->view()))
        qWarning("cannot listen on %s", qPrintable(control));
    return true;
}

QLocalServer *startControlServer(VirtualDevice &device, int mouse, const QString &name, QObject *parent,
                                 myQQuickView *view)
{
    auto *server = new ControlServer(device, mouse, parent, view);
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        delete server;
        return nullptr;
    }
    return server;
}

QStringList runControlCommand(VirtualDevice &device, int mouse, const QString &line, myQQuickView *view)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {QStringLiteral("error: empty command")};
    const QString command = words.at(0).toLower();
    QStringList args = words.mid(1);

    if (command == QLatin1String("set") && args.size() >= 2) {
        if (!view)
            return {QStringLiteral("error: no window")};
        const QString value = args.mid(1).join(QLatin1Char(' '));
        view->setData(args.at(0), value);
        if (view->getData(args.at(0), false).toString() != value)
            return {QStringLiteral("error: no device settings open")};
        return {QStringLiteral("ok")};
    }

    // An optional family at the end picks the other mouse.
    if (!args.isEmpty() && mouseForFamily(args.last()) >= 0)
        mouse = mouseForFamily(args.takeLast());

    if (command == QLatin1String("help") && args.isEmpty())
        return {QStringLiteral("press dpi|rate|light|speed [xN] [553|560|3395]"), QStringLiteral("unplug [553|560|3395]"),
                QStringLiteral("plug [553|560|3395]"), QStringLiteral("deny [553|560|3395]"),
                QStringLiteral("allow [553|560|3395]"), QStringLiteral("state [553|560|3395]"),
                QStringLiteral("fault fail|drop|alter write|feature [N|always] [553|560|3395]"),
                QStringLiteral("fault clear"), QStringLiteral("set <key> <value>"), QStringLiteral("ok")};
    if (command == QLatin1String("press") && (args.size() == 1 || args.size() == 2)) {
        // "press dpi x50" presses 50 times under one store: a soak run raises reports faster
        // than one line (and one state file write) per press allows.
        int times = 1;
        bool countOk = args.size() == 1;
        if (!countOk && args.at(1).startsWith(QLatin1Char('x'), Qt::CaseInsensitive))
            times = args.at(1).mid(1).toInt(&countOk);
        if (!countOk || times < 1 || times > 1000)
            return {QStringLiteral("error: press dpi|rate|light|speed [xN] (N from 1 to 1000)")};
        static const QHash<QString, void (VirtualFirmware::*)()> buttons{
            {QStringLiteral("dpi"), &VirtualFirmware::pressDpiButton},
            {QStringLiteral("rate"), &VirtualFirmware::pressRateButton},
            {QStringLiteral("light"), &VirtualFirmware::pressLightButton},
            {QStringLiteral("speed"), &VirtualFirmware::pressSpeedButton}};
        const QString button = args.at(0).toLower();
        const auto press = buttons.value(button);
        if (!device.isPlugged(mouse))
            return {QStringLiteral("error: mouse unplugged")};
        if (!press)
            return {QStringLiteral("error: unknown button ") + button};
        device.withFirmware(mouse, [press, times](VirtualFirmware &f) {
            for (int i = 0; i < times; ++i)
                (f.*press)();
        });
        return {QStringLiteral("ok")};
    }
    if (command == QLatin1String("unplug") && args.isEmpty()) {
        device.unplug(mouse);
        return {QStringLiteral("ok")};
    }
    if (command == QLatin1String("plug") && args.isEmpty()) {
        device.plug(mouse);
        return {QStringLiteral("ok")};
    }
    if ((command == QLatin1String("deny") || command == QLatin1String("allow")) && args.isEmpty()) {
        const bool deny = command == QLatin1String("deny");
        device.setAccessDenied(mouse, deny);
        if (demoSession)
            demoSession->setActive(!deny);
        return {QStringLiteral("ok")};
    }
    if (command == QLatin1String("fault"))
        return faultCommand(device, mouse, args);
    if (command == QLatin1String("state") && args.isEmpty()) {
        QStringList answer = QString::fromStdString(device.describe(mouse)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        answer << QStringLiteral("ok");
        return answer;
    }
    return {QStringLiteral("error: unknown command ") + line.simplified()};
}

} // namespace vdev
