// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/lowlevelhooks.h"

#include <windows.h>

namespace {
// The hook procedures are plain functions: they reach the installed hooks through here.
LowLevelHooks *activeHooks = nullptr;
InputSink *activeSink = nullptr;
HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;

LRESULT CALLBACK keyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    // Only HC_ACTION carries a record; anything else must be passed on untouched.
    if (nCode == HC_ACTION && activeSink) {
        const auto *record = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        const bool isDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        activeSink->keyEvent(record->scanCode, record->flags, isDown);
    }
    return CallNextHookEx(keyboardHook, nCode, wParam, lParam);
}

LRESULT CALLBACK mouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && activeSink && wParam >= WM_LBUTTONDOWN && wParam <= WM_MBUTTONUP) {
        const auto *record = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
        activeSink->mouseEvent(quint32(wParam), qint32(record->pt.x), qint32(record->pt.y));
    }
    return CallNextHookEx(mouseHook, nCode, wParam, lParam);
}
} // namespace

LowLevelHooks::LowLevelHooks(InputSink *sink)
    : m_sink(sink)
{
}

LowLevelHooks::~LowLevelHooks()
{
    remove();
}

const char *LowLevelHooks::description() const
{
    return "low-level keyboard and mouse hooks of the whole desktop";
}

bool LowLevelHooks::install()
{
    if (m_keyboardHook || m_mouseHook)
        remove();
    if (activeHooks) // one pair of hooks per process
        return false;
    HINSTANCE module = GetModuleHandleW(nullptr);
    keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0);
    mouseHook = keyboardHook ? SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0) : nullptr;
    if (!keyboardHook || !mouseHook) {
        if (keyboardHook)
            UnhookWindowsHookEx(keyboardHook);
        keyboardHook = nullptr;
        mouseHook = nullptr;
        return false;
    }
    m_keyboardHook = keyboardHook;
    m_mouseHook = mouseHook;
    activeHooks = this;
    activeSink = m_sink;
    return true;
}

void LowLevelHooks::remove()
{
    if (activeHooks != this)
        return;
    UnhookWindowsHookEx(keyboardHook);
    UnhookWindowsHookEx(mouseHook);
    keyboardHook = nullptr;
    mouseHook = nullptr;
    m_keyboardHook = nullptr;
    m_mouseHook = nullptr;
    activeHooks = nullptr;
    activeSink = nullptr;
}

std::unique_ptr<InputCapture> installBestInputCapture(InputSink *sink)
{
    auto hooks = std::make_unique<LowLevelHooks>(sink);
    if (hooks->install())
        return hooks;
    return nullptr;
}
