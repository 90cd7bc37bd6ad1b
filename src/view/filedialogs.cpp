// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/filedialogs.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace filedialogs {

namespace {

Hook &hook()
{
    static Hook installed;
    return installed;
}

QString run(const Request &request)
{
    if (hook())
        return hook()(request);
    if (request.mode == Mode::Open)
        return QFileDialog::getOpenFileName(request.parent, request.caption, request.directory, request.filter);
    return QFileDialog::getSaveFileName(request.parent, request.caption, request.directory, request.filter);
}

} // namespace

void setHook(Hook h)
{
    hook() = std::move(h);
}

ScopedHook::ScopedHook(Hook h)
{
    setHook(std::move(h));
}

ScopedHook::~ScopedHook()
{
    setHook(nullptr);
}

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter)
{
    return run({Mode::Open, parent, caption, directory, filter});
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter)
{
    return run({Mode::Save, parent, caption, directory, filter});
}

QString desktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

} // namespace filedialogs
