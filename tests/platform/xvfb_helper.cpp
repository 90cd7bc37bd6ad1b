#include "xvfb_helper.h"

#include <QStandardPaths>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::~XvfbServer()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
}

bool XvfbServer::start(QString *why)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        *why = QStringLiteral("Xvfb is not installed (Debian package xvfb)");
        return false;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        *why = QStringLiteral("pipe failed");
        return false;
    }
    const QByteArray program = xvfb.toLocal8Bit();
    const QByteArray fdArg = QByteArray::number(fds[1]);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(fds[0]);
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
        }
        ::execl(program.constData(), "Xvfb", "-displayfd", fdArg.constData(), "-nolisten", "tcp", "-noreset",
                "-screen", "0", "1024x768x24", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (m_pid < 0) {
        ::close(fds[0]);
        *why = QStringLiteral("fork failed");
        return false;
    }
    // Xvfb writes the display number once it accepts connections.
    QByteArray number;
    pollfd pfd = {fds[0], POLLIN, 0};
    while (!number.endsWith('\n')) {
        const int ready = ::poll(&pfd, 1, 15000);
        if (ready < 0 && errno == EINTR)
            continue;
        char c = 0;
        if (ready <= 0 || ::read(fds[0], &c, 1) != 1)
            break;
        number += c;
    }
    ::close(fds[0]);
    if (!number.endsWith('\n')) {
        *why = QStringLiteral("Xvfb did not start");
        return false;
    }
    m_display = ':' + number.trimmed();
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

void XClient::fakeInput(quint8 type, quint8 detail, qint16 x, qint16 y)
{
    // XTEST FakeInput, laid out as on the wire (36 bytes).
    struct
    {
        quint8 majorOpcode;
        quint8 minorOpcode;
        quint16 length;
        quint8 type;
        quint8 detail;
        quint8 pad0[2];
        quint32 time;
        quint32 root;
        quint8 pad1[8];
        qint16 rootX;
        qint16 rootY;
        quint8 pad2[7];
        quint8 deviceId;
    } request = {};
    static_assert(sizeof request == 36, "FakeInput request layout");
    request.type = type;
    request.detail = detail;
    request.rootX = x;
    request.rootY = y;
    static xcb_extension_t xtest = {"XTEST", 0};
    xcb_protocol_request_t protocol = {};
    protocol.count = 1;
    protocol.ext = &xtest;
    protocol.opcode = 2;
    protocol.isvoid = 1;
    iovec parts[3];
    parts[2].iov_base = &request;
    parts[2].iov_len = sizeof request;
    xcb_send_request(m_connection, 0, parts + 2, &protocol);
}

void XClient::key(quint8 keycode, bool isDown)
{
    fakeInput(isDown ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode, 0, 0);
    sync();
}

void XClient::button(quint8 number, bool isDown)
{
    fakeInput(isDown ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, number, 0, 0);
    sync();
}

void XClient::moveTo(qint16 x, qint16 y)
{
    fakeInput(XCB_MOTION_NOTIFY, 0, x, y);
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
