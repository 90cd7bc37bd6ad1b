// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/x11capture.h"

#include "input/keycodes.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#include <xcb/xinput.h>

#include <cstdlib>

namespace {
constexpr quint32 RawEventMask = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE
    | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE;

// X button number -> button message; 0 for buttons that are never reported (wheel, side).
quint32 buttonMessage(quint32 button, bool isDown)
{
    switch (button) {
    case 1: return isDown ? keycodes::WmLButtonDown : keycodes::WmLButtonUp;
    case 2: return isDown ? keycodes::WmMButtonDown : keycodes::WmMButtonUp;
    case 3: return isDown ? keycodes::WmRButtonDown : keycodes::WmRButtonUp;
    default: return 0;
    }
}
} // namespace

X11Capture::X11Capture(InputSink *sink)
    : m_sink(sink)
{
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, &X11Capture::deliverButtons);
}

X11Capture::~X11Capture()
{
    remove();
}

const char *X11Capture::description() const
{
    return "XInput2 raw key and button events of the whole X11 desktop";
}

bool X11Capture::install()
{
    if (m_installed)
        return true;
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app || !m_sink || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    m_connection = x11->connection();

    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(m_connection, &xcb_input_id);
    if (!extension || !extension->present)
        return false;
    m_opcode = extension->major_opcode;

    // Qt has usually agreed on an XInput 2 version on this connection already; asking again
    // for a lower one is refused, which is harmless: only the selection below must succeed.
    xcb_input_xi_query_version_reply_t *version =
        xcb_input_xi_query_version_reply(m_connection, xcb_input_xi_query_version(m_connection, 2, 2), nullptr);
    std::free(version);

    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (!screens.rem)
        return false;
    m_root = screens.data->root;

    QCoreApplication::instance()->installNativeEventFilter(this);
    if (!selectRawEvents(true)) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        return false;
    }
    m_installed = true;
    return true;
}

void X11Capture::remove()
{
    if (!m_installed)
        return;
    selectRawEvents(false);
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    m_replyTimer.stop();
    for (; m_pendingCount > 0; --m_pendingCount) {
        xcb_discard_reply(m_connection, m_pending[m_pendingHead].sequence);
        m_pendingHead = (m_pendingHead + 1) % MaxPending;
    }
    m_installed = false;
}

bool X11Capture::selectRawEvents(bool on)
{
    struct
    {
        xcb_input_event_mask_t head;
        quint32 mask;
    } selection = {{XCB_INPUT_DEVICE_ALL_MASTER, 1}, on ? RawEventMask : 0};
    xcb_generic_error_t *error = xcb_request_check(
        m_connection, xcb_input_xi_select_events_checked(m_connection, m_root, 1, &selection.head));
    const bool ok = error == nullptr;
    std::free(error);
    return ok;
}

bool X11Capture::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
        return false;
    const auto *generic = static_cast<const xcb_ge_generic_event_t *>(message);
    if (generic->extension != m_opcode)
        return false;

    switch (generic->event_type) {
    case XCB_INPUT_RAW_KEY_PRESS:
    case XCB_INPUT_RAW_KEY_RELEASE: {
        const auto *raw = static_cast<const xcb_input_raw_key_press_event_t *>(message);
        quint32 scanCode = 0;
        quint32 flags = 0;
        // X keycodes are evdev codes + 8.
        if (raw->detail >= 8 && keycodes::scanCodeFromEvdev(raw->detail - 8, &scanCode, &flags))
            m_sink->keyEvent(scanCode, flags, generic->event_type == XCB_INPUT_RAW_KEY_PRESS);
        return true;
    }
    case XCB_INPUT_RAW_BUTTON_PRESS:
    case XCB_INPUT_RAW_BUTTON_RELEASE: {
        const auto *raw = static_cast<const xcb_input_raw_button_press_event_t *>(message);
        const quint32 buttonMsg = buttonMessage(raw->detail, generic->event_type == XCB_INPUT_RAW_BUTTON_PRESS);
        if (buttonMsg != 0)
            queueButton(buttonMsg);
        return true;
    }
    default:
        return false;
    }
}

void X11Capture::queueButton(quint32 message)
{
    if (m_pendingCount == MaxPending) {
        // The server stopped answering: report at the last known position rather than queue more.
        m_sink->mouseEvent(message, m_lastX, m_lastY);
        return;
    }
    const xcb_query_pointer_cookie_t cookie = xcb_query_pointer(m_connection, m_root);
    xcb_flush(m_connection);
    m_pending[(m_pendingHead + m_pendingCount) % MaxPending] = {message, cookie.sequence};
    ++m_pendingCount;
    if (!m_replyTimer.isActive())
        m_replyTimer.start(0);
}

void X11Capture::deliverButtons()
{
    while (m_pendingCount > 0) {
        const PendingButton &pending = m_pending[m_pendingHead];
        void *reply = nullptr;
        xcb_generic_error_t *error = nullptr;
        if (!xcb_poll_for_reply(m_connection, pending.sequence, &reply, &error)) {
            m_replyTimer.start(1);
            return;
        }
        if (reply) {
            const auto *pointer = static_cast<const xcb_query_pointer_reply_t *>(reply);
            m_lastX = pointer->root_x;
            m_lastY = pointer->root_y;
        }
        std::free(reply);
        std::free(error);
        const quint32 message = pending.message;
        m_pendingHead = (m_pendingHead + 1) % MaxPending;
        --m_pendingCount;
        m_sink->mouseEvent(message, m_lastX, m_lastY);
    }
}
