// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Capture for desktops that give no global view of the input (Wayland, offscreen): an
// application event filter that sees the keys and buttons that reach our own windows.

#include "platform/inputcapture.h"

#include <QObject>

// Set-1 scan code and flags of a Qt key, for key events that carry no native key code.
// Keypad keys are recognised by the keypad modifier; left and right modifiers cannot be told
// apart and read as the left ones.
bool scanCodeFromQtKey(int key, Qt::KeyboardModifiers modifiers, quint32 *scanCode, quint32 *flags);

class WindowCapture : public QObject, public InputCapture
{
    Q_OBJECT
public:
    explicit WindowCapture(InputSink *sink);
    ~WindowCapture() override;

    bool install() override;
    void remove() override;
    bool isInstalled() const override { return m_installed; }
    const char *description() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    InputSink *m_sink;
    bool m_installed = false;
    // The platform's native scan code is the X keycode (evdev + 8).
    bool m_nativeIsXKeycode = false;
};
