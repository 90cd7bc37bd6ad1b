// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A view wired to one virtual mouse, working on a private copy of that mouse's shipped
// settings folder in a temporary working directory (the default settings store is private to
// every test program anyway).

#include "device/hid_thread.h"
#include "testsupport.h"
#include "vdev/virtualdevice.h"
#include "view/myqquickview.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

namespace settingsrig {

// Bytes as "0a 1b ..." for readable comparisons.
QByteArray hex(const uint8_t *data, int length);
using testsupport::readFile;
using testsupport::writeFile;

struct Rig
{
    explicit Rig(int mouse, bool initUI = true);   // initUI: open the device's files, as a connect does
    ~Rig();

    QTemporaryDir dir;
    vdev::VirtualDevice device;
    Hid_Thread hid;
    std::unique_ptr<myQQuickView> view;
    int mouse;
    QString previousDir;

    QString file(const QString &relative) const;   // "./modules/<pid>/" + relative
    QString settingFile(const QString &name) const { return file("setting/" + name); }
    QByteArray fileContent(const QString &name) const { return readFile(settingFile(name)); }
    VirtualFirmware::State state() const { return device.firmwareState(mouse); }
    // Command bytes (b0) of the requests sent since the last clearWireLog, as hex text.
    QByteArray commands() const;
};

} // namespace settingsrig
