// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/plasmapointer.h"

#include "platform/linux/gsettingspointer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>

namespace {
const QString KWin = QStringLiteral("org.kde.KWin");
const QString DevicesPath = QStringLiteral("/org/kde/KWin/InputDevice");
const QString DeviceInterface = QStringLiteral("org.kde.KWin.InputDevice");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
// A tool or KWin that does not answer within this counts as failed rather than freezing the page.
constexpr int TimeoutMs = 3000;

// KDE's own tool, Plasma 6's where installed.
QString kdeTool(const QString &name)
{
    QString path = QStandardPaths::findExecutable(name + QLatin1Char('6'));
    return path.isEmpty() ? QStandardPaths::findExecutable(name + QLatin1Char('5')) : path;
}

bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    if (program.isEmpty())
        return false;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(TimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Writes one key and reads it back: false unless the file now holds the value (an immutable
// group or a file that cannot be written keeps the old one).
bool writeConfig(const QString &file, const QStringList &groups, const QString &key, const QString &value)
{
    QStringList where{QStringLiteral("--file=") + file};
    for (const QString &group : groups)
        where << QStringLiteral("--group=") + group;
    where << QStringLiteral("--key=") + key;
    QString stored;
    // "--" keeps a negative value from reading as an option.
    return run(kdeTool(QStringLiteral("kwriteconfig")), where + QStringList{QStringLiteral("--"), value})
        && run(kdeTool(QStringLiteral("kreadconfig")), where, &stored) && stored == value;
}

// KGlobalSettings' change type SettingsChanged (3) in category SETTINGS_MOUSE (0): KDE's
// platform theme then reloads the mouse options of every running Qt program.
void announceMouseSettings()
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/KGlobalSettings"),
                                                     QStringLiteral("org.kde.KGlobalSettings"),
                                                     QStringLiteral("notifyChange"));
    signal << 3 << 0;
    QDBusConnection::sessionBus().send(signal);
}

bool writeAndAnnounce(const QString &file, const QStringList &groups, const QString &key, const QString &value)
{
    if (!writeConfig(file, groups, key, value))
        return false;
    announceMouseSettings();
    return true;
}

QDBusMessage callKWin(const QString &path, const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(KWin, path, Properties, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, TimeoutMs);
}

QVariant kwinProperty(const QString &path, const QString &interface, const QString &name)
{
    const QDBusMessage reply = callKWin(path, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}
} // namespace

bool isPlasmaDesktop(const QByteArray &currentDesktop)
{
    return currentDesktop.split(':').contains("KDE");
}

// The page's 1..20 becomes libinput's acceleration speed -1..1 as on GNOME: linear on either
// side of 10, so that the page's default speed is Plasma's default (0).
bool PlasmaPointer::setMouseSpeed(int speed)
{
    const double acceleration = libinputPointerSpeed(speed);
    if (m_session == Session::Wayland)
        return setDeviceAcceleration(acceleration);
    return writeAndAnnounce(QStringLiteral("kcminputrc"), {QStringLiteral("Mouse")},
                            QStringLiteral("XLbInptPointerAcceleration"), QString::number(acceleration, 'f', 3));
}

bool PlasmaPointer::setDoubleClickTime(int milliseconds)
{
    return writeAndAnnounce(QStringLiteral("kdeglobals"), {QStringLiteral("KDE")},
                            QStringLiteral("DoubleClickInterval"), QString::number(milliseconds));
}

// "Scroll one screen" arrives as 1000 lines: Qt scrolls at most a page per wheel notch.
bool PlasmaPointer::setWheelScrollLines(uint lines)
{
    return writeAndAnnounce(QStringLiteral("kdeglobals"), {QStringLiteral("KDE")},
                            QStringLiteral("WheelScrollLines"), QString::number(lines));
}

// Every mouse KWin knows takes the speed; touchpads keep theirs, as in Plasma's mouse settings.
// KWin keeps each device's options in kcminputrc under Libinput/<vendor>/<product>/<name>; the
// value is written there too, so it holds after the next login even where KWin did not store it.
bool PlasmaPointer::setDeviceAcceleration(double acceleration)
{
    const QStringList devices =
        kwinProperty(DevicesPath, QStringLiteral("org.kde.KWin.InputDeviceManager"), QStringLiteral("devicesSysNames"))
            .toStringList();
    int mice = 0;
    bool held = true;
    for (const QString &sysName : devices) {
        const QString path = DevicesPath + QLatin1Char('/') + sysName;
        const QDBusMessage reply = callKWin(path, QStringLiteral("GetAll"), {DeviceInterface});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            continue;
        const auto device = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        if (!device.value(QStringLiteral("pointer")).toBool() || device.value(QStringLiteral("touchpad")).toBool()
            || !device.value(QStringLiteral("supportsPointerAcceleration")).toBool())
            continue;
        ++mice;
        callKWin(path, QStringLiteral("Set"),
                 {DeviceInterface, QStringLiteral("pointerAcceleration"), QVariant::fromValue(QDBusVariant(acceleration))});
        const QVariant now = kwinProperty(path, DeviceInterface, QStringLiteral("pointerAcceleration"));
        const bool deviceHeld = now.isValid() && std::abs(now.toDouble() - acceleration) < 1e-3
            && writeConfig(QStringLiteral("kcminputrc"),
                           {QStringLiteral("Libinput"), device.value(QStringLiteral("vendor")).toString(),
                            device.value(QStringLiteral("product")).toString(), device.value(QStringLiteral("name")).toString()},
                           QStringLiteral("PointerAcceleration"), QString::number(acceleration, 'f', 3));
        held = deviceHeld && held;
    }
    return mice > 0 && held;
}
