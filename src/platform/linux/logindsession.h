// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/sessionwatch.h"

#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class QDBusMessage;

// The session's "Active" property as logind publishes it. The session is the one XDG_SESSION_ID
// names, else the one logind finds for this process. Without a bus or a session it stays quiet
// (and says why in the debug output).
class LogindSession : public SessionWatch
{
    Q_OBJECT
public:
    LogindSession(QObject *parent, const QString &busAddress);
    ~LogindSession() override;

private slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    // Asks the manager for the session's object path (GetSession or GetSessionByPID).
    void findSession(bool byId);
    void watch(const QString &path);
    void readActive();
    // Runs onReply with the answer of an asynchronous call.
    void callAsync(const QDBusMessage &call, std::function<void(const QDBusMessage &)> onReply);

    QDBusConnection m_bus;
    QString m_connectionName;
    QString m_path;
};
