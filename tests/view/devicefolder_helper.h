#pragma once

// A view connected to one virtual mouse, working in a temporary copy of the shipped data:
// the working directory is a fresh folder holding modules/<pid> and modules/i18n.

#include "device/hid_thread.h"
#include "vdev/virtualdevice.h"
#include "view/myqquickview.h"

#include <QString>
#include <QTemporaryDir>

namespace devicefolder {

// Changes the working directory for its lifetime.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const QString &path);
    ~WorkingDirectory();
private:
    QString m_previous;
};

struct Rig
{
    // mouse: vdev::Mouse553 or vdev::Mouse560. open: run the view's initUI (profile handles).
    explicit Rig(int mouse, bool open = true);
    ~Rig();

    // Absolute path of the device folder, and of a file below it.
    QString folder() const;
    QString file(const QString &relative) const;

    QTemporaryDir dir;
    WorkingDirectory cwd;
    vdev::VirtualDevice device;
    Hid_Thread hid;
    myQQuickView view;
    int mouse;
};

// Whole content of a file, empty when missing.
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &content);

} // namespace devicefolder
