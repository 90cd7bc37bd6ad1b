#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace {
QMutex captureMutex;
QStringList captured;
QtMessageHandler previousHandler = nullptr;
int captureDepth = 0;

void captureHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker lock(&captureMutex);
        captured << message;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

namespace testsupport {

DebugCapture::DebugCapture()
{
    QMutexLocker lock(&captureMutex);
    if (captureDepth++ == 0) {
        captured.clear();
        previousHandler = qInstallMessageHandler(captureHandler);
    }
}

DebugCapture::~DebugCapture()
{
    QMutexLocker lock(&captureMutex);
    if (--captureDepth == 0)
        qInstallMessageHandler(previousHandler);
}

QStringList DebugCapture::lines() const
{
    QMutexLocker lock(&captureMutex);
    return captured;
}

bool DebugCapture::contains(const QString &line) const
{
    const QStringList all = lines();
    for (const QString &l : all)
        if (l.trimmed() == line.trimmed())
            return true;
    return false;
}

void DebugCapture::clear()
{
    QMutexLocker lock(&captureMutex);
    captured.clear();
}

bool copyTree(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists())
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + "/" + source.relativeFilePath(path);
        if (QFileInfo(path).isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::remove(target);
            if (!QFile::copy(path, target))
                return false;
            QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    return true;
}

} // namespace testsupport
