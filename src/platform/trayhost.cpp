// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/trayhost.h"

#if defined(Q_OS_LINUX)
#include "platform/linux/desktoptray.h"
#endif

#include <QSystemTrayIcon>

bool TrayHost::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayHost::notify(const QString &, const QString &, const QString &, int)
{
}

TrayHost *createTrayHost(QObject *parent)
{
#if defined(Q_OS_LINUX)
    return new DesktopTray(parent);
#else
    return new TrayHost(parent);
#endif
}
