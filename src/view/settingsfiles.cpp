// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/settingsfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace settingsfiles {

namespace {

bool fail(QString *why, const QString &text)
{
    if (why)
        *why = text;
    return false;
}

} // namespace

bool copyOver(const QString &source, const QString &target, QString *why, bool *unwritable)
{
    if (unwritable)
        *unwritable = false;
    const QFileInfo info(source);
    if (!info.exists())
        return fail(why, QStringLiteral("missing"));
    if (!info.isFile())
        return fail(why, QStringLiteral("not a file"));
    if (info.size() > maxFileSize)
        return fail(why, QStringLiteral("too large"));
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(why, in.errorString());
    const QByteArray content = in.read(maxFileSize + 1);
    if (in.error() != QFileDevice::NoError)
        return fail(why, in.errorString());
    if (content.size() > maxFileSize)
        return fail(why, QStringLiteral("too large"));
    in.close();

    if (unwritable)
        *unwritable = true;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(why, out.errorString());
    if (out.write(content) != content.size()) {
        out.cancelWriting();
        return fail(why, out.errorString());
    }
    if (!out.commit())
        return fail(why, out.errorString());
    if (unwritable)
        *unwritable = false;
    return true;
}

} // namespace settingsfiles
