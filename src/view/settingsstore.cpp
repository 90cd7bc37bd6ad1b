// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/settingsstore.h"

#include "view/settingsfiles.h"

#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace store {

namespace {

struct WriteReport
{
    WriteFailureHandler handler;
    bool told = false;
};

WriteReport &writeReport()
{
    static WriteReport report;
    return report;
}

// A format error is about reading a damaged file, which a write replaces; only a write that
// failed is reported.
bool checked(const QSettings &settings)
{
    if (settings.status() != QSettings::AccessError)
        return true;
    reportWriteFailure(settings.fileName(), QStringLiteral("the file or its folder cannot be written"));
    return false;
}

// Qt writes pending changes by itself a moment after they were made, and when the handle goes:
// those writes are checked as well.
class CheckedSettings : public QSettings
{
public:
    CheckedSettings(const QString &fileName, QObject *parent) : QSettings(fileName, QSettings::IniFormat, parent) {}
    ~CheckedSettings() override { written(*this); }

protected:
    bool event(QEvent *event) override
    {
        const bool update = event->type() == QEvent::UpdateRequest;
        const bool handled = QSettings::event(event);
        if (update)
            checked(*this);
        return handled;
    }
};

} // namespace

void setWriteFailureHandler(WriteFailureHandler handler)
{
    writeReport() = {std::move(handler), false};
}

void reportWriteFailure(const QString &file, const QString &why)
{
    WriteReport &report = writeReport();
    if (report.told)
        return;
    report.told = true;
    qDebug().noquote() << "Settings cannot be written:" << file << "(" + why + ")";
    if (report.handler)
        report.handler(QFileInfo(file).absolutePath());
}

bool written(QSettings &settings)
{
    settings.sync();
    return checked(settings);
}

QString globalFile(const QString &folder)
{
    return folder + QStringLiteral("/setting/apConfig.bin");
}

QString factoryGlobalFile(const QString &folder)
{
    return folder + QStringLiteral("/setting/apConfigD.bin");
}

QString defaultProfileFile(const QString &folder)
{
    return folder + QStringLiteral("/setting/pD.bin");
}

QString profileFile(const QString &folder, int slot)
{
    return folder + QStringLiteral("/setting/p") + QString::number(slot + 1) + QStringLiteral(".bin");
}

QSettings *open(const QString &fileName, QObject *parent)
{
    return new CheckedSettings(fileName, parent);
}

void close(QSettings *&handle)
{
    if (!handle)
        return;
    written(*handle);
    delete handle;
    handle = nullptr;
}

bool replace(QSettings *&handle, const QString &target, const QString &source)
{
    if (handle)
        written(*handle);
    const QFileInfo before(target);
    const qint64 oldSize = before.exists() ? before.size() : -1;
    const QDateTime oldTime = before.exists() ? before.lastModified() : QDateTime();

    QString why;
    bool unwritable = false;
    if (!settingsfiles::copyOver(source, target, &why, &unwritable)) {
        qDebug() << "Replace failed" << target << source << why;
        if (unwritable)
            reportWriteFailure(target, why);
        return false;
    }

    // The shared cache rereads a file only when its size or time stamp changed; a copy of
    // equal size written within the same clock tick would otherwise be taken for the old file.
    const QFileInfo after(target);
    if (oldTime.isValid() && after.size() == oldSize && after.lastModified() == oldTime) {
        QFile f(target);
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(oldTime.addSecs(1), QFileDevice::FileModificationTime);
    }

    QObject *parent = handle ? handle->parent() : nullptr;
    delete handle;
    handle = open(target, parent);
    return true;
}

} // namespace store
