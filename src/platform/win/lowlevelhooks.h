// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Desktop-wide capture on Windows: the low-level keyboard and mouse hooks. They run on the
// installing (GUI) thread from its message loop and only observe: every event is passed on.

#include "platform/inputcapture.h"

class LowLevelHooks : public InputCapture
{
public:
    explicit LowLevelHooks(InputSink *sink);
    ~LowLevelHooks() override;

    // Both hooks or neither: when one cannot be installed the other is removed again.
    bool install() override;
    void remove() override;
    bool isInstalled() const override { return m_keyboardHook && m_mouseHook; }
    const char *description() const override;

private:
    InputSink *m_sink;
    void *m_keyboardHook = nullptr; // HHOOK
    void *m_mouseHook = nullptr;    // HHOOK
};
