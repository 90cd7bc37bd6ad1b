// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/logindsession.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDebug>

namespace {
const QString Service = QStringLiteral("org.freedesktop.login1");
const QString ManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString ManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString SessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString Active = QStringLiteral("Active");
} // namespace

LogindSession::LogindSession(QObject *parent, const QString &busAddress)
    : SessionWatch(parent)
    , m_bus(QString())
{
    if (busAddress.isEmpty()) {
        m_bus = QDBusConnection::systemBus();
    } else {
        // A connection of its own per watch: the name is what QtDBus keeps it under.
        m_connectionName = QStringLiteral("mousecfg-logind-%1").arg(quintptr(this), 0, 16);
        m_bus = QDBusConnection::connectToBus(busAddress, m_connectionName);
    }
    if (!m_bus.isConnected()) {
        qDebug() << "Session not watched: no D-Bus bus" << m_bus.lastError().message();
        return;
    }
    findSession(!qEnvironmentVariableIsEmpty("XDG_SESSION_ID"));
}

LogindSession::~LogindSession()
{
    if (!m_path.isEmpty())
        m_bus.disconnect(Service, m_path, PropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                         SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
}

void LogindSession::callAsync(const QDBusMessage &call, std::function<void(const QDBusMessage &)> onReply)
{
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [pending, onReply] {
        pending->deleteLater();
        onReply(pending->reply());
    });
}

void LogindSession::findSession(bool byId)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, ManagerPath, ManagerInterface,
                                                       byId ? QStringLiteral("GetSession") : QStringLiteral("GetSessionByPID"));
    if (byId)
        call << qEnvironmentVariable("XDG_SESSION_ID");
    else
        call << uint(QCoreApplication::applicationPid());
    callAsync(call, [this, byId](const QDBusMessage &reply) {
        const QDBusReply<QDBusObjectPath> path(reply);
        if (path.isValid())
            watch(path.value().path());
        else if (byId)   // a stale id (su, a terminal of another session): ask by process
            findSession(false);
        else
            qDebug() << "Session not watched:" << reply.errorMessage();
    });
}

void LogindSession::watch(const QString &path)
{
    if (!m_bus.connect(Service, path, PropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                       SLOT(propertiesChanged(QString, QVariantMap, QStringList)))) {
        qDebug() << "Session not watched:" << m_bus.lastError().message();
        return;
    }
    m_path = path;
    readActive();
}

void LogindSession::readActive()
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, m_path, PropertiesInterface, QStringLiteral("Get"));
    call << SessionInterface << Active;
    callAsync(call, [this](const QDBusMessage &reply) {
        const QDBusReply<QVariant> active(reply);
        if (active.isValid())
            setActive(active.value().toBool());
    });
}

void LogindSession::propertiesChanged(const QString &interface, const QVariantMap &changed,
                                      const QStringList &invalidated)
{
    if (interface != SessionInterface)
        return;
    if (changed.contains(Active))
        setActive(changed.value(Active).toBool());
    else if (invalidated.contains(Active))
        readActive();
}
