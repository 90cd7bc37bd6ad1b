#pragma once

// A private X server for tests that need a real X11 desktop: Xvfb on a free display number.

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTest>

#include <cstdio>
#include <sys/types.h>

class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // Starts Xvfb and waits until it accepts clients; on failure `why` says what is missing.
    bool start(QString *why);
    // ":N" once started.
    QByteArray display() const { return m_display; }

private:
    FILE *m_pipe = nullptr;
    pid_t m_pid = -1;
    QByteArray m_display;
};

struct xcb_connection_t;

// Another X client: it owns a window that can take the input focus and counts the key and button
// presses that reach it, and it sends input through the XTEST extension as a real keyboard and
// mouse would (X keycodes are evdev codes + 8).
class XClient
{
public:
    explicit XClient(const QByteArray &display);
    ~XClient();
    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;

    bool isValid() const { return m_xtestOpcode != 0; }
    void focusOwnWindow();
    bool hasFocus();

    void key(quint8 keycode, bool isDown);
    void tap(quint8 keycode) { key(keycode, true); key(keycode, false); }
    void button(quint8 button, bool isDown);
    void click(quint8 number) { button(number, true); button(number, false); }
    void moveTo(qint16 x, qint16 y);
    // Waits until the server has handled everything sent so far.
    void sync();

    // Presses that reached the window since the last call.
    void takePresses(int *keys, int *buttons);

private:
    void fakeInput(quint8 type, quint8 detail, qint16 x, qint16 y);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_window = 0;
    quint8 m_xtestOpcode = 0;
};

// Runs a test object with a private X server as the application's display. The object is built
// from the display (empty when no server could start) and the reason none started, so that it
// can skip.
template <class Test>
int execWithXvfb(int argc, char **argv)
{
    // The server must outlive the application's connection to it.
    XvfbServer xvfb;
    QString whyNoX;
    QByteArray display;
    if (xvfb.start(&whyNoX)) {
        display = xvfb.display();
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", display);
    }
    QApplication app(argc, argv);
    Test test(display, whyNoX);
    return QTest::qExec(&test, argc, argv);
}
