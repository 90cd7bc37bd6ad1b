// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/windowcapture.h"

#include "input/keycodes.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace {
struct QtKeyRow
{
    int key;
    quint16 scan; // scan code << 8 | extended flag
};

// Keys of the main block (shifted symbols share the scan code of their key).
constexpr QtKeyRow mainKeys[] = {
    {Qt::Key_Escape, 0x0100}, {Qt::Key_1, 0x0200}, {Qt::Key_Exclam, 0x0200}, {Qt::Key_2, 0x0300},
    {Qt::Key_At, 0x0300}, {Qt::Key_3, 0x0400}, {Qt::Key_NumberSign, 0x0400}, {Qt::Key_4, 0x0500},
    {Qt::Key_Dollar, 0x0500}, {Qt::Key_5, 0x0600}, {Qt::Key_Percent, 0x0600}, {Qt::Key_6, 0x0700},
    {Qt::Key_AsciiCircum, 0x0700}, {Qt::Key_7, 0x0800}, {Qt::Key_Ampersand, 0x0800}, {Qt::Key_8, 0x0900},
    {Qt::Key_Asterisk, 0x0900}, {Qt::Key_9, 0x0A00}, {Qt::Key_ParenLeft, 0x0A00}, {Qt::Key_0, 0x0B00},
    {Qt::Key_ParenRight, 0x0B00}, {Qt::Key_Minus, 0x0C00}, {Qt::Key_Underscore, 0x0C00},
    {Qt::Key_Equal, 0x0D00}, {Qt::Key_Plus, 0x0D00}, {Qt::Key_Backspace, 0x0E00}, {Qt::Key_Tab, 0x0F00},
    {Qt::Key_Backtab, 0x0F00}, {Qt::Key_Q, 0x1000}, {Qt::Key_W, 0x1100}, {Qt::Key_E, 0x1200},
    {Qt::Key_R, 0x1300}, {Qt::Key_T, 0x1400}, {Qt::Key_Y, 0x1500}, {Qt::Key_U, 0x1600}, {Qt::Key_I, 0x1700},
    {Qt::Key_O, 0x1800}, {Qt::Key_P, 0x1900}, {Qt::Key_BracketLeft, 0x1A00}, {Qt::Key_BraceLeft, 0x1A00},
    {Qt::Key_BracketRight, 0x1B00}, {Qt::Key_BraceRight, 0x1B00}, {Qt::Key_Return, 0x1C00},
    {Qt::Key_Enter, 0x1C01}, {Qt::Key_Control, 0x1D00}, {Qt::Key_A, 0x1E00}, {Qt::Key_S, 0x1F00},
    {Qt::Key_D, 0x2000}, {Qt::Key_F, 0x2100}, {Qt::Key_G, 0x2200}, {Qt::Key_H, 0x2300}, {Qt::Key_J, 0x2400},
    {Qt::Key_K, 0x2500}, {Qt::Key_L, 0x2600}, {Qt::Key_Semicolon, 0x2700}, {Qt::Key_Colon, 0x2700},
    {Qt::Key_Apostrophe, 0x2800}, {Qt::Key_QuoteDbl, 0x2800}, {Qt::Key_QuoteLeft, 0x2900},
    {Qt::Key_AsciiTilde, 0x2900}, {Qt::Key_Shift, 0x2A00}, {Qt::Key_Backslash, 0x2B00}, {Qt::Key_Bar, 0x2B00},
    {Qt::Key_Z, 0x2C00}, {Qt::Key_X, 0x2D00}, {Qt::Key_C, 0x2E00}, {Qt::Key_V, 0x2F00}, {Qt::Key_B, 0x3000},
    {Qt::Key_N, 0x3100}, {Qt::Key_M, 0x3200}, {Qt::Key_Comma, 0x3300}, {Qt::Key_Less, 0x3300},
    {Qt::Key_Period, 0x3400}, {Qt::Key_Greater, 0x3400}, {Qt::Key_Slash, 0x3500}, {Qt::Key_Question, 0x3500},
    {Qt::Key_Print, 0x3701}, {Qt::Key_SysReq, 0x3701}, {Qt::Key_Alt, 0x3800}, {Qt::Key_AltGr, 0x3801},
    {Qt::Key_Space, 0x3900}, {Qt::Key_CapsLock, 0x3A00}, {Qt::Key_F1, 0x3B00}, {Qt::Key_F2, 0x3C00},
    {Qt::Key_F3, 0x3D00}, {Qt::Key_F4, 0x3E00}, {Qt::Key_F5, 0x3F00}, {Qt::Key_F6, 0x4000}, {Qt::Key_F7, 0x4100},
    {Qt::Key_F8, 0x4200}, {Qt::Key_F9, 0x4300}, {Qt::Key_F10, 0x4400}, {Qt::Key_Pause, 0x4500},
    {Qt::Key_NumLock, 0x4501}, {Qt::Key_ScrollLock, 0x4600}, {Qt::Key_Home, 0x4701}, {Qt::Key_Up, 0x4801},
    {Qt::Key_PageUp, 0x4901}, {Qt::Key_Left, 0x4B01}, {Qt::Key_Right, 0x4D01}, {Qt::Key_End, 0x4F01},
    {Qt::Key_Down, 0x5001}, {Qt::Key_PageDown, 0x5101}, {Qt::Key_Insert, 0x5201}, {Qt::Key_Delete, 0x5301},
    {Qt::Key_F11, 0x5700}, {Qt::Key_F12, 0x5800}, {Qt::Key_Meta, 0x5B01}, {Qt::Key_Menu, 0x5D01},
    {Qt::Key_F23, 0x6E00},
};

// Keys that carry the keypad modifier (with Num Lock off the digits arrive as cursor keys).
constexpr QtKeyRow keypadKeys[] = {
    {Qt::Key_Slash, 0x3501}, {Qt::Key_Asterisk, 0x3700}, {Qt::Key_7, 0x4700}, {Qt::Key_Home, 0x4700},
    {Qt::Key_8, 0x4800}, {Qt::Key_Up, 0x4800}, {Qt::Key_9, 0x4900}, {Qt::Key_PageUp, 0x4900},
    {Qt::Key_Minus, 0x4A00}, {Qt::Key_4, 0x4B00}, {Qt::Key_Left, 0x4B00}, {Qt::Key_5, 0x4C00},
    {Qt::Key_Clear, 0x4C00}, {Qt::Key_6, 0x4D00}, {Qt::Key_Right, 0x4D00}, {Qt::Key_Plus, 0x4E00},
    {Qt::Key_1, 0x4F00}, {Qt::Key_End, 0x4F00}, {Qt::Key_2, 0x5000}, {Qt::Key_Down, 0x5000},
    {Qt::Key_3, 0x5100}, {Qt::Key_PageDown, 0x5100}, {Qt::Key_0, 0x5200}, {Qt::Key_Insert, 0x5200},
    {Qt::Key_Period, 0x5300}, {Qt::Key_Comma, 0x5300}, {Qt::Key_Delete, 0x5300}, {Qt::Key_Enter, 0x1C01},
    {Qt::Key_NumLock, 0x4501},
};

template <size_t N>
bool lookUp(const QtKeyRow (&rows)[N], int key, quint32 *scanCode, quint32 *flags)
{
    for (const QtKeyRow &row : rows) {
        if (row.key == key) {
            *scanCode = row.scan >> 8;
            *flags = (row.scan & 1) ? keycodes::FlagExtended : 0;
            return true;
        }
    }
    return false;
}

// Qt's button -> the button messages (down, up); 0 for buttons that are never reported.
quint32 buttonMessage(Qt::MouseButton button, bool isDown)
{
    switch (button) {
    case Qt::LeftButton: return isDown ? keycodes::WmLButtonDown : keycodes::WmLButtonUp;
    case Qt::RightButton: return isDown ? keycodes::WmRButtonDown : keycodes::WmRButtonUp;
    case Qt::MiddleButton: return isDown ? keycodes::WmMButtonDown : keycodes::WmMButtonUp;
    default: return 0;
    }
}
} // namespace

bool scanCodeFromQtKey(int key, Qt::KeyboardModifiers modifiers, quint32 *scanCode, quint32 *flags)
{
    if ((modifiers & Qt::KeypadModifier) && lookUp(keypadKeys, key, scanCode, flags))
        return true;
    return lookUp(mainKeys, key, scanCode, flags);
}

WindowCapture::WindowCapture(InputSink *sink)
    : m_sink(sink)
{
}

WindowCapture::~WindowCapture()
{
    remove();
}

bool WindowCapture::install()
{
    if (m_installed)
        return true;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || !m_sink)
        return false;
    const QString platform = QGuiApplication::platformName();
    m_nativeIsXKeycode = platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
    app->installEventFilter(this);
    m_installed = true;
    return true;
}

void WindowCapture::remove()
{
    if (!m_installed)
        return;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
    m_installed = false;
}

const char *WindowCapture::description() const
{
    return "keys and buttons in this program's own windows only: the macro recorder and key capture "
           "see what is typed while this window has the focus";
}

bool WindowCapture::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress
        && type != QEvent::MouseButtonRelease)
        return false;
    // An event travels on from the window to its widgets and to embedded scenes; it counts
    // once, on arrival at a shown top-level window.
    if (!watched->isWindowType() || !static_cast<QWindow *>(watched)->isVisible())
        return false;

    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A held key repeats as release-and-press pairs on some platforms (X11): the key
        // stays down until its real release.
        if (key->isAutoRepeat())
            return false;
        quint32 scanCode = 0;
        quint32 flags = 0;
        bool known = false;
        if (m_nativeIsXKeycode && key->nativeScanCode() >= 8)
            known = keycodes::scanCodeFromEvdev(key->nativeScanCode() - 8, &scanCode, &flags);
        else
            known = scanCodeFromQtKey(key->key(), key->modifiers(), &scanCode, &flags);
        if (known)
            m_sink->keyEvent(scanCode, flags, type == QEvent::KeyPress);
        return false;
    }

    const auto *mouse = static_cast<QMouseEvent *>(event);
    const quint32 message = buttonMessage(mouse->button(), type == QEvent::MouseButtonPress);
    if (message != 0) {
        const QPoint at = mouse->globalPosition().toPoint();
        m_sink->mouseEvent(message, at.x(), at.y());
    }
    return false;
}
