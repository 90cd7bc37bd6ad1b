// SPDX-License-Identifier: GPL-3.0-or-later
#include "xvfb_helper.h"

#include <QStandardPaths>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/uio.h>

XvfbServer::~XvfbServer()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGTERM);
    if (m_pipe)
        ::pclose(m_pipe);  // waits for the server to end
}

bool XvfbServer::start(QString *why)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        *why = QStringLiteral("Xvfb is not installed (Debian package xvfb)");
        return false;
    }
    // The shell prints its pid, which Xvfb takes over; Xvfb writes the display number once it
    // accepts connections.
    m_pipe = ::popen("echo $$; exec Xvfb -displayfd 1 -nolisten tcp -noreset -screen 0 1024x768x24 2>/dev/null",
                     "re");
    char line[32];
    if (m_pipe && std::fgets(line, sizeof line, m_pipe))
        m_pid = std::atoi(line);
    if (m_pid <= 0 || !std::fgets(line, sizeof line, m_pipe)) {
        *why = QStringLiteral("Xvfb did not start");
        return false;
    }
    m_display = ':' + QByteArray(line).trimmed();
    return true;
}

XClient::XClient(const QByteArray &display)
{
    m_connection = xcb_connect(display.constData(), nullptr);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_window = xcb_generate_id(m_connection);
    const quint32 mask[] = {XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 400, 400, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, mask);

    static const char name[] = "XTEST";
    xcb_query_extension_reply_t *reply = xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, sizeof name - 1, name), nullptr);
    if (reply && reply->present)
        m_xtestOpcode = reply->major_opcode;
    std::free(reply);
}

XClient::~XClient()
{
    xcb_disconnect(m_connection);
}

void XClient::focusOwnWindow()
{
    xcb_map_window(m_connection, m_window);
    xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, m_window, XCB_CURRENT_TIME);
    sync();
}

bool XClient::hasFocus()
{
    xcb_get_input_focus_reply_t *reply =
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr);
    const bool focused = reply && reply->focus == m_window;
    std::free(reply);
    return focused;
}

static_assert(XCB_KEY_PRESS == 2 && XCB_KEY_RELEASE == 3 && XCB_BUTTON_PRESS == 4 && XCB_BUTTON_RELEASE == 5
              && XCB_MOTION_NOTIFY == 6, "the event codes XClient's header uses");

void XClient::fakeInput(quint8 type, quint8 detail, qint16 x, qint16 y)
{
    // XTEST FakeInput as on the wire (36 bytes): type, detail, then root x and y at offset 24.
    quint8 request[36] = {};
    request[4] = type;
    request[5] = detail;
    std::memcpy(request + 24, &x, 2);
    std::memcpy(request + 26, &y, 2);
    static xcb_extension_t xtest = {"XTEST", 0};
    xcb_protocol_request_t protocol = {};
    protocol.count = 1;
    protocol.ext = &xtest;
    protocol.opcode = 2;
    protocol.isvoid = 1;
    iovec parts[3];
    parts[2].iov_base = request;
    parts[2].iov_len = sizeof request;
    xcb_send_request(m_connection, 0, parts + 2, &protocol);
    sync();
}

void XClient::sync()
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

void XClient::takePresses(int *keys, int *buttons)
{
    sync();
    *keys = 0;
    *buttons = 0;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const int type = event->response_type & 0x7f;
        if (type == XCB_KEY_PRESS)
            ++*keys;
        else if (type == XCB_BUTTON_PRESS)
            ++*buttons;
        std::free(event);
    }
}
