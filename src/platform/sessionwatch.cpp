// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sessionwatch.h"

#if defined(Q_OS_LINUX)
#include "platform/linux/logindsession.h"
#endif

void SessionWatch::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    emit activeChanged(active);
}

SessionWatch *createSessionWatch(QObject *parent, const QString &busAddress)
{
#if defined(Q_OS_LINUX)
    return new LogindSession(parent, busAddress);
#else
    Q_UNUSED(parent);
    Q_UNUSED(busAddress);
    return nullptr;
#endif
}
