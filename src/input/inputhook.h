// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The process-wide key and button observer used by the macro recorder and key capture:
// translates every keystroke into a key code (auto-repeat filtered) and every left, right and
// middle button press and release into a button code, and hands them to the registered
// callbacks. It also carries the hand-over of copy-data records (the "already running"
// warning sent by another process).

#include "app/copydata.h"
#include "input/keycodes.h"
#include "platform/inputcapture.h"

#include <QtGlobal>

#include <memory>

class QCoreApplication;

class InputHook : public InputSink
{
public:
    using KeyboardCallback = void (*)(uchar code, uchar isDown, void *context);
    using MouseCallback = void (*)(uchar button, uchar isDown, quint32 x, quint32 y, void *context);
    using CopyDataCallback = void (*)(const copydata::Record &record, void *context);

    // Builds the tables and installs the capture.
    explicit InputHook(bool nonUsBackslash = false);
    ~InputHook();
    InputHook(const InputHook &) = delete;
    InputHook &operator=(const InputHook &) = delete;

    // Starts capturing (restarting when already running); false when no capture could start.
    bool installHooks();
    void removeHooks();
    bool isInstalled() const;
    // Description of the running capture, "" when none runs.
    const char *captureDescription() const;

    // A null function turns that kind of report off; the last registration wins.
    void setKeyboardCallback(KeyboardCallback callback, void *context);
    void setMouseCallback(MouseCallback callback, void *context);
    // Registers a receiver of copy-data records. The records themselves are picked up by the
    // entry point (the WM_COPYDATA filter on Windows, the single-instance channel elsewhere),
    // which may hand them over through deliverCopyData.
    void installCopyDataFilter(CopyDataCallback callback, QCoreApplication *application, void *context);
    // Hands a record to the receiver registered on the live hook; false when there is none.
    static bool deliverCopyData(const copydata::Record &record);

    // InputSink: fed by the capture (and by tests).
    void keyEvent(quint32 scanCode, quint32 flags, bool isDown) override;
    void mouseEvent(quint32 message, qint32 x, qint32 y) override;

    const keycodes::KeyTranslator &translator() const { return m_translator; }

private:
    keycodes::KeyTranslator m_translator;
    std::unique_ptr<InputCapture> m_capture;
    bool m_loggedCapture = false;
    KeyboardCallback m_keyboardCallback = nullptr;
    void *m_keyboardContext = nullptr;
    MouseCallback m_mouseCallback = nullptr;
    void *m_mouseContext = nullptr;
    CopyDataCallback m_copyDataCallback = nullptr;
    void *m_copyDataContext = nullptr;
};
