// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// Follows whether the user's login session is the active one at its seat. While another session
// is active (another user, another virtual terminal) the seat's devices are taken from this one,
// and given back when it is active again: the program then looks for its mouse anew.
class SessionWatch : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    bool isActive() const { return m_active; }

signals:
    void activeChanged(bool active);

protected:
    void setActive(bool active);

private:
    bool m_active = true;
};

// Watches this process's session through logind on the D-Bus bus at busAddress (empty: the
// system bus). Null where the platform has no such service (the session then counts as active).
SessionWatch *createSessionWatch(QObject *parent, const QString &busAddress);
