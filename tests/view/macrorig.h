#pragma once

// File helpers for the macro, gun, name and language tests, on top of settingsrig::Rig
// (whose working directory holds ./modules/<pid>).

#include "settingsrig_helper.h"

#include <QDir>
#include <QFile>

namespace macrorig {

// "./modules/<pid>/" + relative.
inline QString deviceFile(const settingsrig::Rig &rig, const QString &relative)
{
    return QStringLiteral("./modules/") + QString::number(vdev::mouseModel(rig.mouse).productId, 16)
           + QLatin1Char('/') + relative;
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

} // namespace macrorig
