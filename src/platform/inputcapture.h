// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where keystrokes and button clicks come from. A capture only observes: every event still
// reaches the program that has the focus. It reports events in the form of the Windows
// low-level hooks, so one translation serves every system.

#include <QtGlobal>

#include <memory>

class InputSink
{
public:
    // scanCode: set-1 scan code; flags: bit 0 the extended (E0) flag, bit 5 Alt held.
    virtual void keyEvent(quint32 scanCode, quint32 flags, bool isDown) = 0;
    // message: the button message (0x201 left down ... 0x208 middle up); x, y: screen position.
    virtual void mouseEvent(quint32 message, qint32 x, qint32 y) = 0;

protected:
    ~InputSink() = default;
};

class InputCapture
{
public:
    virtual ~InputCapture() = default;
    // Starts delivering events to the sink; false when this capture cannot run here.
    virtual bool install() = 0;
    virtual void remove() = 0;
    virtual bool isInstalled() const = 0;
    // One line for the log: what is captured and how far it reaches.
    virtual const char *description() const = 0;
};

// The widest-reaching capture this system offers, installed; nullptr when none could start
// (for instance without an application object).
std::unique_ptr<InputCapture> installBestInputCapture(InputSink *sink);
