// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A Hid_Thread wired to one virtual mouse, and the wire log cut into one record per request:
// what the command slots put on the wire, as the tests of the command sets compare it.

#include "device/hid_thread.h"
#include "vdev/virtualdevice.h"

#include <QByteArray>
#include <QList>
#include <QtTest>

#include <functional>

namespace commandwire {

struct Transfer
{
    QByteArray request;          // the 9-byte feature report as sent
    QList<QByteArray> writes;    // output reports, report number included
    bool replyRead = false;
    double settleMs = 0;         // from the request to the next call on the wire
    double tailMs = 0;           // from the last report of the transfer to the next call
};

// Chunk bytes carried by the output reports, in order.
QByteArray dataOut(const Transfer &t, int length, int reportLength);

struct Rig
{
    explicit Rig(int mouse, Hid_Thread *useThread = nullptr);
    ~Rig();

    vdev::VirtualDevice device;
    Hid_Thread ownThread;
    Hid_Thread &hid;
    int mouse;
    int reportLength;

    // (Re)plugs the mouse and makes it the only, connected row of the device list.
    void connect();
    // Clears the wire log, runs f, then marks the log so the time after the last transfer shows.
    void run(const std::function<void(Hid_Thread &)> &f);
    QList<Transfer> transfers() const;
    QStringList requests() const;    // payload bytes of each request, hex
    double trailingMs() const;       // last command-interface call to the end of run()
    VirtualFirmware::State state() const { return device.firmwareState(mouse); }
};

// A recognisable block: byte i = (i * 7 + seed) mod 256.
QByteArray pattern(int length, int seed);
inline uchar *bytes(QByteArray &b) { return reinterpret_cast<uchar *>(b.data()); }
QByteArray hexOf(std::initializer_list<uchar> values);

// One set command: the call, and what must cross the wire.
struct SetCase
{
    const char *name;
    std::function<void(Hid_Thread &)> call;
    const char *request;         // payload b0..b7, hex
    QByteArray data;             // data phase as it must arrive (empty: none)
    bool settle;
    int sleepMs;                 // pause after the transfer before the slot returns
    const char *failLine;        // debug line when the transport stays busy
};

// One query: the call returns its outputs (hex); setup prepares the mouse.
struct QueryCase
{
    const char *name;
    std::function<QByteArray(Hid_Thread &)> call;
    std::function<void(VirtualFirmware::State &)> setup;
    const char *request;
    QByteArray answered;         // outputs after a transfer that worked
    QByteArray prefilled;        // outputs after a transfer that failed: the pre-fill
    QByteArray untouched;        // outputs when the command never ran: the inputs
    const char *failLine;
};

// Each check also runs the command against a transport held for the whole wait: only the
// failure line, nothing on the wire, outputs untouched.
void checkSet(Rig &rig, const SetCase &c);
void checkQuery(Rig &rig, const QueryCase &c);
void checkBusy(Rig &rig, const std::function<void(Hid_Thread &)> &call, const char *failLine);

} // namespace commandwire
