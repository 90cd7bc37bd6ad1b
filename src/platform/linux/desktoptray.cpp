// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/desktoptray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace {
const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
} // namespace

DesktopTray::DesktopTray(QObject *parent)
    : TrayHost(parent)
{
    m_waitForHost = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (!m_waitForHost)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto *watcher = new QDBusServiceWatcher(WatcherService, bus, QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        if (m_hostSeen)
            return;
        m_hostSeen = true;
        emit appeared();
    });
    m_hostSeen = bus.isConnected() && bus.interface()->isServiceRegistered(WatcherService);
}

bool DesktopTray::canMakeIcon() const
{
    return !m_waitForHost || m_hostSeen;
}

bool DesktopTray::isAvailable() const
{
    return canMakeIcon() && TrayHost::isAvailable();
}

void DesktopTray::notify(const QString &app, const QString &title, const QString &text, int msecs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The icon and the desktop entry are the installed program's, so the desktop shows its name
    // and icon with the text.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("mousecfg")}};
    call << app << 0u << QStringLiteral("mousecfg") << title << text << QStringList() << hints << msecs;
    // Not waited for: the service may first have to be started by the bus.
    QDBusConnection::sessionBus().send(call);
}
