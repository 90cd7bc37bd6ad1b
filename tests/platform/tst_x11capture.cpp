// The desktop-wide capture end to end on a private X server: keys and buttons sent with XTEST
// while another program's window has the focus arrive in the scene as detectKeyboard and
// detectMouse calls with the right codes, and still reach that window.
#include "input/inputforward.h"
#include "input/inputhook.h"
#include "platform/linux/windowcapture.h"
#include "view/myqquickview.h"
#include "xvfb_helper.h"

#include <QApplication>
#include <QRasterWindow>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {
const char sceneQml[] = R"(
import QtQuick
Item {
    property string keys: ""
    property string buttons: ""
    property bool typesOk: true
    function detectKeyboard(isDown, usbCode) {
        if (typeof isDown !== "boolean" || typeof usbCode !== "number")
            typesOk = false
        keys += usbCode.toString(16).toUpperCase() + (isDown ? "+ " : "- ")
    }
    function detectMouse(isDown, buttonCode, x, y) {
        if (typeof isDown !== "boolean")
            typesOk = false
        buttons += buttonCode.toString(16).toUpperCase() + (isDown ? "+" : "-") + "@" + x + "," + y + " "
    }
}
)";

// Another program's window, on a connection of its own, that holds the input focus.
class ForeignWindow
{
public:
    explicit ForeignWindow(const QByteArray &display)
    {
        m_connection = xcb_connect(display.constData(), nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        const quint32 mask[] = {XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 400, 400, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, mask);
        xcb_map_window(m_connection, m_window);
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, m_window, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }
    ~ForeignWindow() { xcb_disconnect(m_connection); }

    bool hasFocus() const
    {
        xcb_get_input_focus_reply_t *reply =
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr);
        const bool focused = reply && reply->focus == m_window;
        std::free(reply);
        return focused;
    }

    // Key and button presses that reached the window so far.
    void countEvents(int *keys, int *buttons)
    {
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_KEY_PRESS)
                ++*keys;
            else if (type == XCB_BUTTON_PRESS)
                ++*buttons;
            std::free(event);
        }
    }

private:
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window = 0;
};

struct RecordingSink : InputSink
{
    QStringList events;
    void keyEvent(quint32 scanCode, quint32 flags, bool isDown) override
    {
        events << QString::asprintf("%02X%s%c", scanCode, flags & 1 ? "e" : "", isDown ? '+' : '-');
    }
    void mouseEvent(quint32 message, qint32, qint32) override { events << QString::asprintf("m%X", message); }
};
} // namespace

class TestX11Capture : public QObject
{
    Q_OBJECT
public:
    TestX11Capture(const QByteArray &display, const QString &whyNoX)
        : m_display(display), m_whyNoX(whyNoX)
    {
    }

private slots:
    void initTestCase();
    void keysAndButtonsFromAnotherWindow();
    void ownWindowFallbackUsesNativeKeycodes();

private:
    bool xdotool(const QStringList &arguments);

    QByteArray m_display;
    QString m_whyNoX;
};

void TestX11Capture::initTestCase()
{
    if (m_display.isEmpty())
        QSKIP(qPrintable(QStringLiteral("X11 capture not tested: %1").arg(m_whyNoX)));
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(),
             "xdotool is missing: run scripts/install-deps.sh");
}

bool TestX11Capture::xdotool(const QStringList &arguments)
{
    QString output;
    const bool ok = runOnDisplay(m_display, QStringLiteral("xdotool"), arguments, &output);
    if (!ok)
        qWarning() << "xdotool" << arguments << output;
    return ok;
}

void TestX11Capture::keysAndButtonsFromAnotherWindow()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("scene.qml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(sceneQml);
    file.close();
    myQQuickView view;
    view.setSource(QUrl::fromLocalFile(file.fileName()));
    QVERIFY2(view.rootObject(), "scene did not load");

    InputHook hook(false);
    QVERIFY(hook.isInstalled());
    QVERIFY2(QByteArray(hook.captureDescription()).contains("XInput2"), hook.captureDescription());
    hook.setKeyboardCallback(forwardKeyboardToScene, &view);
    hook.setMouseCallback(forwardMouseToScene, &view);

    ForeignWindow other(m_display);
    QVERIFY(other.hasFocus());

    // One press and one release each; the pairs that differ only by the extended flag and
    // the keys the translation treats specially.
    const QStringList keys = {"a", "Return", "KP_Enter", "Shift_L", "Shift_R", "Control_R", "Super_L",
                              "Super_R", "Pause", "Num_Lock", "Num_Lock", "Scroll_Lock", "Scroll_Lock",
                              "Print", "Home", "F12"};
    const QStringList codes = {"4", "28", "58", "E1", "E5", "E4", "E3", "E7", "48", "53", "53", "47", "47",
                               "46", "4A", "45"};
    QVERIFY(xdotool(QStringList{"key", "--delay", "5"} + keys));
    QString expected;
    for (const QString &code : codes)
        expected += code + "+ " + code + "- ";
    QObject *root = view.rootObject();
    QTRY_COMPARE_WITH_TIMEOUT(root->property("keys").toString(), expected, 10000);

    // A held key: the server repeats the press, the scene sees one press and one release.
    root->setProperty("keys", QString());
    QVERIFY(xdotool({"keydown", "b"}));
    QVERIFY(xdotool({"keydown", "b"}));
    QVERIFY(xdotool({"keyup", "b"}));
    QTRY_COMPARE_WITH_TIMEOUT(root->property("keys").toString(), QString("5+ 5- "), 10000);

    // Wheel notches (buttons 4 and 5) and side buttons are never reported.
    QVERIFY(xdotool({"mousemove", "123", "45", "click", "1", "click", "4", "click", "3", "click", "2",
                     "click", "8"}));
    QTRY_COMPARE_WITH_TIMEOUT(root->property("buttons").toString(),
                              QString("F0+@123,45 F0-@123,45 F1+@123,45 F1-@123,45 F2+@123,45 F2-@123,45 "),
                              10000);
    QVERIFY(root->property("typesOk").toBool());

    // Nothing was grabbed: the focused window saw every press too.
    int keyPresses = 0;
    int buttonPresses = 0;
    other.countEvents(&keyPresses, &buttonPresses);
    QCOMPARE(keyPresses, keys.size() + 2);
    QCOMPARE(buttonPresses, 5);

    // Removed: nothing more arrives.
    hook.removeHooks();
    QVERIFY(!hook.isInstalled());
    root->setProperty("keys", QString());
    QVERIFY(xdotool({"key", "a"}));
    QTest::qWait(200);
    QCOMPARE(root->property("keys").toString(), QString());
}

void TestX11Capture::ownWindowFallbackUsesNativeKeycodes()
{
    RecordingSink sink;
    WindowCapture capture(&sink);
    QVERIFY(capture.install());
    QRasterWindow window;
    window.resize(200, 200);
    window.show();
    window.requestActivate();
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), static_cast<QWindow *>(&window), 10000);

    // Qt reports both Shift keys as Qt::Key_Shift; only the X keycode tells the right one.
    QVERIFY(xdotool({"key", "Shift_R", "KP_Enter"}));
    QTRY_COMPARE_WITH_TIMEOUT(sink.events.join(' '), QString("36+ 36- 1Ce+ 1Ce-"), 10000);
}

int main(int argc, char **argv)
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
    TestX11Capture test(display, whyNoX);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11capture.moc"
