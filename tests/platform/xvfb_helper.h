// SPDX-License-Identifier: GPL-3.0-or-later
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

    // X protocol event codes: key press 2, release 3; button press 4, release 5; motion 6.
    void key(quint8 keycode, bool isDown) { fakeInput(isDown ? 2 : 3, keycode, 0, 0); }
    void tap(quint8 keycode) { key(keycode, true); key(keycode, false); }
    void button(quint8 number, bool isDown) { fakeInput(isDown ? 4 : 5, number, 0, 0); }
    void click(quint8 number) { button(number, true); button(number, false); }
    void moveTo(qint16 x, qint16 y) { fakeInput(6, 0, x, y); }
    // Waits until the server has handled everything sent so far.
    void sync();

    // Presses that reached the window since the last call.
    void takePresses(int *keys, int *buttons);

private:
    // Sends one XTEST FakeInput and waits until the server has handled it.
    void fakeInput(quint8 type, quint8 detail, qint16 x, qint16 y);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_window = 0;
    quint8 m_xtestOpcode = 0;
};

// A test object told the private X server's display (empty when none could start, with the
// reason in whyNoX).
class XvfbTestCase : public QObject
{
public:
    XvfbTestCase(const QByteArray &display, const QString &whyNoX)
        : m_display(display), m_whyNoX(whyNoX)
    {
    }

protected:
    QByteArray m_display;
    QString m_whyNoX;
};

// The main function of such a test: starts Xvfb, puts the application on it and runs the test.
template <class Test>
int runOnXvfb(int argc, char **argv)
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
