// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/inputhook.h"

#include <QDebug>

namespace {
// The hook whose callbacks receive copy-data records (the most recently built one).
InputHook *liveHook = nullptr;
} // namespace

InputHook::InputHook(bool nonUsBackslash)
    : m_translator(nonUsBackslash)
{
    liveHook = this;
    installHooks();
}

InputHook::~InputHook()
{
    removeHooks();
    if (liveHook == this)
        liveHook = nullptr;
}

bool InputHook::installHooks()
{
    if (m_capture)
        removeHooks();
    m_capture = installBestInputCapture(this);
    if (!m_capture)
        return false;
    if (!m_loggedCapture) {
        m_loggedCapture = true;
        qInfo() << "Input capture:" << m_capture->description();
    }
    return true;
}

void InputHook::removeHooks()
{
    if (m_capture)
        m_capture->remove();
    m_capture.reset();
}

bool InputHook::isInstalled() const
{
    return m_capture && m_capture->isInstalled();
}

const char *InputHook::captureDescription() const
{
    return m_capture ? m_capture->description() : "";
}

void InputHook::setKeyboardCallback(KeyboardCallback callback, void *context)
{
    m_keyboardCallback = callback;
    m_keyboardContext = context;
}

void InputHook::setMouseCallback(MouseCallback callback, void *context)
{
    m_mouseCallback = callback;
    m_mouseContext = context;
}

void InputHook::installCopyDataFilter(CopyDataCallback callback, QCoreApplication *, void *context)
{
    m_copyDataCallback = callback;
    m_copyDataContext = context;
}

bool InputHook::deliverCopyData(const copydata::Record &record)
{
    if (!liveHook || !liveHook->m_copyDataCallback)
        return false;
    liveHook->m_copyDataCallback(record, liveHook->m_copyDataContext);
    return true;
}

void InputHook::keyEvent(quint32 scanCode, quint32 flags, bool isDown)
{
    // The state is tracked even without a callback, so a later registration does not see the
    // release of a key pressed before it as new.
    const uchar code = m_translator.keyEvent(scanCode, flags, isDown);
    if (code != 0 && m_keyboardCallback)
        m_keyboardCallback(code, isDown ? 1 : 0, m_keyboardContext);
}

void InputHook::mouseEvent(quint32 message, qint32 x, qint32 y)
{
    const keycodes::MouseButton button = keycodes::mouseButtonFromMessage(message);
    if (button.code != 0 && m_mouseCallback)
        m_mouseCallback(button.code, button.isDown ? 1 : 0, static_cast<quint32>(x), static_cast<quint32>(y),
                        m_mouseContext);
}
