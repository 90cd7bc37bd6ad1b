// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one keystroke on its way to a key code: nanoseconds per event. The capture sits in
// the path of every key press of the desktop, so this must stay far below a microsecond.
#include "input/inputhook.h"
#include "input/keycodes.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {
// A mix of plain, extended, overridden and unknown keystrokes.
constexpr std::array<std::pair<uint32_t, uint32_t>, 8> keystrokes = {{
    {0x1E, 0}, {0x1C, keycodes::FlagExtended}, {0x46, keycodes::FlagExtended}, {0x54, keycodes::FlagAltDown},
    {0x36, 0}, {0x59, 0}, {0x300, 0}, {0x5B, keycodes::FlagExtended},
}};

int reports = 0;
void countReport(uchar, uchar, void *) { ++reports; }

// What the capture calls per event: translation (table lookups), repeat filter, callback.
// Every key goes down, repeats once and comes up again.
void BM_KeyEvent(benchmark::State &state)
{
    InputHook hook;
    hook.setKeyboardCallback(countReport, nullptr);
    size_t i = 0;
    for (auto _ : state) {
        const size_t n = i++;
        const auto &k = keystrokes[(n / 3) % keystrokes.size()];
        hook.keyEvent(k.first, k.second, n % 3 != 2);
    }
    benchmark::DoNotOptimize(reports);
}
BENCHMARK(BM_KeyEvent);

// The X11 path: evdev code to scan code first.
void BM_EvdevKeyEvent(benchmark::State &state)
{
    InputHook hook;
    hook.setKeyboardCallback(countReport, nullptr);
    constexpr std::array<uint32_t, 6> evdev = {30, 96, 54, 119, 126, 115};
    size_t i = 0;
    for (auto _ : state) {
        const size_t n = i++;
        uint32_t scan = 0, flags = 0;
        if (keycodes::scanCodeFromEvdev(evdev[(n / 2) % evdev.size()], &scan, &flags))
            hook.keyEvent(scan, flags, n % 2 == 0);
    }
    benchmark::DoNotOptimize(reports);
}
BENCHMARK(BM_EvdevKeyEvent);
} // namespace

BENCHMARK_MAIN();
