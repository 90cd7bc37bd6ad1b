#pragma once

// A view wired to one virtual mouse, working on a private copy of that mouse's shipped
// settings folder in a temporary working directory.

#include "device/hid_thread.h"
#include "vdev/virtualdevice.h"
#include "view/myqquickview.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace settingsrig {

// Points the application's own default settings store into a temporary folder, so tests never
// touch the user's; call once from initTestCase.
void isolateDefaultStore(const QString &folder);

class Rig
{
public:
    // initUI: open the device's files at once (as a connect does).
    explicit Rig(int mouse, bool initUI = true);
    ~Rig();

    QTemporaryDir dir;
    vdev::VirtualDevice device;
    Hid_Thread hid;
    std::unique_ptr<myQQuickView> view;
    int mouse;

    // "./modules/<pid>/setting/" + name, relative to the working directory.
    QString settingFile(const QString &name) const;
    QByteArray fileContent(const QString &name) const;
    // A file outside the settings folder, inside the temporary directory.
    QString scratchFile(const QString &name) const;

    VirtualFirmware::State state() const { return device.firmwareState(mouse); }
    void clearWire() { device.clearWireLog(); }
    // Request payloads (b0..b7) sent on the command interface since the last clearWire.
    QList<QByteArray> requests() const;
    // How many of them start with command byte b0.
    int count(uint8_t b0) const;

private:
    QString m_previousDir;
};

} // namespace settingsrig
