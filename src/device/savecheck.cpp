// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/savecheck.h"

#include "device/commandset.h"

namespace savecheck {

namespace {

bool isParameter0(const Sent &s)
{
    return s.payload == cmd553::setParameter0(s.payload[1]) && s.data.size() == cmd553::parameter0Length;
}

// The 553 family's fixed-colour request shares the code but carries no data.
bool isProfileBlock(const Sent &s)
{
    return s.payload == cmd560::setProfile(s.payload[1]) && s.data.size() == cmd560::profileLength;
}

void set(State &state, unsigned item, uint8_t State::*field, uint8_t value)
{
    state.*field = value;
    state.known |= item;
}

} // namespace

void follow(State &state, const status::Report &report)
{
    const bool all = report.type == 0xFF;
    if (all || report.type == 2)
        set(state, Rate, &State::rate, report.reportRate);
    if (all || report.type == 3)
        set(state, Stage, &State::stage, static_cast<uint8_t>(report.dpi - 1));
    if (all || report.type == 4)
        set(state, LightMode, &State::lightMode, report.lightMode);
    if (all || report.type == 5)
        set(state, LightSpeed, &State::speed, report.speed);
}

void followSent(State &state, const QList<Sent> &sent)
{
    for (auto it = sent.crbegin(); it != sent.crend(); ++it) {
        if (!isParameter0(*it))
            continue;
        const auto byte = [&it](int i) { return static_cast<uint8_t>(it->data.at(i)); };
        state = State{byte(0), byte(1), byte(2), byte(4), Rate | Stage | LightMode | LightSpeed};
        return;
    }
}

unsigned differences(const State &expected, const status::Report &answer)
{
    State shown;
    follow(shown, status::Report{0xFF, answer.reportRate, answer.dpi, answer.lightMode, answer.speed});
    unsigned items = 0;
    if (shown.rate != expected.rate)
        items |= Rate;
    if (shown.stage != expected.stage)
        items |= Stage;
    if (shown.lightMode != expected.lightMode)
        items |= LightMode;
    if (shown.speed != expected.speed)
        items |= LightSpeed;
    return items & expected.known;
}

std::map<int, QByteArray> writtenBlocks(const QList<Sent> &sent)
{
    std::map<int, QByteArray> blocks;
    for (const Sent &s : sent)
        if (isProfileBlock(s))
            blocks[s.payload[1]] = s.data;
    return blocks;
}

QStringList itemKeys(unsigned items, const QList<int> &blocks)
{
    QStringList keys;
    const std::pair<unsigned, const char *> names[] = {
        {Rate, "rate"}, {Stage, "stage"}, {LightMode, "lightMode"}, {LightSpeed, "lightSpeed"}};
    for (const auto &[item, name] : names)
        if (items & item)
            keys << QLatin1String(name);
    for (int block : blocks)
        keys << QStringLiteral("profile%1").arg(block);
    return keys;
}

} // namespace savecheck
