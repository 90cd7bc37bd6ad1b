// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a save sent and what the mouse shows of it afterwards: pure functions, no I/O. A save is
// checked in two ways: profile blocks it wrote are read back, and the mouse's report of its
// state (report rate, DPI stage, light mode and speed) is compared with what it was last told.

#include "device/protocol.h"
#include "device/statusreport.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <map>

namespace savecheck {

// A set command as it went out: its payload before any scrambling, its data phase, whether it
// was sent with the settle pauses and whether the transport took the whole of it.
struct Sent
{
    protocol::Payload payload{};
    QByteArray data;
    bool settle = true;
    bool delivered = false;
};

// The settings a status report shows, one bit each.
enum Item : unsigned { Rate = 1, Stage = 2, LightMode = 4, LightSpeed = 8 };

// What the mouse should report, in the form parameter block 0 carries it (report-rate code,
// stage counted from 0, light-mode code, speed code), and which of the four are known.
struct State
{
    uint8_t rate = 0;
    uint8_t stage = 0;
    uint8_t lightMode = 0;
    uint8_t speed = 0;
    unsigned known = 0;
};

// A status report of the mouse's own buttons (or an answer to the sync request): the items it
// announces are now what the mouse holds.
void follow(State &state, const status::Report &report);
// The last parameter block 0 among `sent` sets all four items.
void followSent(State &state, const QList<Sent> &sent);
// The known items that `answer`, a report of all items, shows otherwise.
unsigned differences(const State &expected, const status::Report &answer);
// The device profile blocks written among `sent`: block number -> the bytes last written to it.
std::map<int, QByteArray> writtenBlocks(const QList<Sent> &sent);
// Names of what did not stick, for the scene and scripts: "rate", "stage", "lightMode",
// "lightSpeed", then "profile<N>" for each block.
QStringList itemKeys(unsigned items, const QList<int> &blocks);

} // namespace savecheck
