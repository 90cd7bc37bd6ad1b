// SPDX-License-Identifier: GPL-3.0-or-later
// Keystroke and button translation, the evdev and Qt key bridges, and the input hook.
#include "testsupport.h"
#include "input/inputhook.h"
#include "input/keycodes.h"
#include "platform/linux/windowcapture.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using keycodes::FlagAltDown;
using keycodes::FlagExtended;

namespace {
// Every keystroke with a key code, as "scan:code" in hex; "e" marks the extended flag. Keyboards
// send the right Shift key without the extended flag; the right Windows key is 0x5C extended.
const char composedTable[] =
    "01:29 02:1E 03:1F 04:20 05:21 06:22 07:23 08:24 09:25 0A:26 0B:27 0C:2D 0D:2E 0E:2A 0F:2B 10:14 11:1A "
    "12:08 13:15 14:17 15:1C 16:18 17:0C 18:12 19:13 1A:2F 1B:30 1C:28 1Ce:58 1D:E0 1De:E4 1E:04 1F:16 20:07 "
    "21:09 22:0A 23:0B 24:0D 25:0E 26:0F 27:33 28:34 29:35 2A:E1 2B:31 2C:1D 2D:1B 2E:06 2F:19 30:05 31:11 "
    "32:10 33:36 34:37 35:38 35e:54 36e:E5 37:55 37e:46 38:E2 38e:E6 39:2C 3A:39 3B:3A 3C:3B 3D:3C 3E:3D "
    "3F:3E 40:3F 41:40 42:41 43:42 44:43 45:48 45e:53 46:47 47:5F 47e:4A 48:60 48e:52 49:61 49e:4B 4A:56 "
    "4B:5C 4Be:50 4C:5D 4D:5E 4De:4F 4E:57 4F:59 4Fe:4D 50:5A 50e:51 51:5B 51e:4E 52:62 52e:49 53:63 53e:4C "
    "56:64 57:44 58:45 5Be:E3 5De:65 6E:72 36:E5 5Ce:E7";

// One row per "key:code" pair of a table.
void addPairRows(const char *table)
{
    for (const QString &pair : QString::fromLatin1(table).split(' ', Qt::SkipEmptyParts))
        QTest::newRow(qPrintable(pair)) << pair.section(':', 0, 0) << pair.section(':', 1).toInt(nullptr, 16);
}

// A key as the tables write it: hex digits, then "e" for the extended flag, "a" for Alt held,
// "x" for flags beyond the known bits.
uint scanOf(const QString &key) { return key.section(QRegularExpression("[a-z]"), 0, 0).toUInt(nullptr, 16); }
uint flagsOf(const QString &key)
{
    return (key.contains('e') ? FlagExtended : 0) | (key.contains('a') ? FlagAltDown : 0) | (key.contains('x') ? 0x90 : 0);
}

QList<QString> reported;
void recordKey(uchar code, uchar isDown, void *context)
{
    reported << QString::asprintf("%02X%c", code, isDown ? '+' : '-');
    if (context)
        ++*static_cast<int *>(context);
}

QStringList mouseReports;
void recordMouse(uchar button, uchar isDown, quint32 x, quint32 y, void *)
{
    mouseReports << QString::asprintf("%02X%c@%u,%u", button, isDown ? '+' : '-', x, y);
}

const copydata::Record *deliveredRecord = nullptr;
void *deliveredContext = nullptr;
void recordCopyData(const copydata::Record &record, void *context)
{
    deliveredRecord = &record;
    deliveredContext = context;
}
} // namespace

class TestKeyCodes : public QObject
{
    Q_OBJECT
private slots:
    void translation_data()
    {
        testsupport::addColumns<QString, int>({"key", "code"});
        // Nothing to report.
        QTest::newRow("scan 0") << "0" << 0;
        QTest::newRow("above 255 reads as 0, not as its low byte") << "11E" << 0;
        QTest::newRow("extended flag on a plain key") << "1Ee" << 0;
        QTest::newRow("Print Screen without Alt") << "54" << 0;
        QTest::newRow("unlisted scan 0x59") << "59" << 0;
        QTest::newRow("unlisted scan 0xFF") << "FFe" << 0;
        // The overrides; the pairs that differ only in the extended flag (Enter and keypad Enter,
        // Pause and Num Lock, both Shifts, both Windows keys) are rows of the table.
        QTest::newRow("Ctrl+Break reads as Pause") << "46e" << 0x48;
        QTest::newRow("Alt+Print Screen") << "54a" << 0x46;
        QTest::newRow("Alt+Print Screen, extended") << "54ea" << 0x46;
        QTest::newRow("Alt held on a plain key") << "1Ea" << 0x04;
        QTest::newRow("flags beyond the known bits ignored") << "1Ex" << 0x04;
        addPairRows(composedTable);
    }

    void translation()
    {
        QFETCH(QString, key);
        QTEST(int(keycodes::KeyTranslator().keyCode(scanOf(key), flagsOf(key))), "code");
    }

    // Virtual keys by themselves ("n": the non-US layout): the backslash key of either layout,
    // and the first and last code of every run of rows (and the code past it), reached by a scan
    // code or not.
    void virtualKeyUsage_data()
    {
        testsupport::addColumns<QString, int>({"key", "code"});
        addPairRows("DC:31 DCn:32 00:00 07:00 08:2A 7B:45 7C:68 85:71 87:73 88:00 C1:87 C2:85 C3:00 EB:8B EC:00 "
                    "FE:00 FF:66");
    }

    void virtualKeyUsage()
    {
        QFETCH(QString, key);
        QTEST(int(keycodes::KeyTranslator(key.endsWith('n')).usage(uint8_t(scanOf(key)))), "code");
    }

    void repeatFilter_data()
    {
        testsupport::addColumns<QString, QString>({"events", "reports"});
        QTest::newRow("release without a press") << "U1E" << "";
        QTest::newRow("keys without a code leave no state") << "D59 U59 D1Ee U1Ee" << "";
        QTest::newRow("held key: one down, one up") << "D1E D1E D1E U1E U1E" << "04+ 04-";
        QTest::newRow("press again after release") << "D1E U1E D1E U1E" << "04+ 04- 04+ 04-";
        QTest::newRow("interleaved keys") << "D1E D30 U1E U30" << "04+ 05+ 04- 05-";
        QTest::newRow("Ctrl+Break and Pause share one code") << "D46e D45 U45" << "48+ 48-";
        QTest::newRow("Enter and keypad Enter are separate") << "D1C D1Ce U1C U1Ce" << "28+ 58+ 28- 58-";
        // "-" takes the callback away, "+" gives it back: the state is kept in between.
        QTest::newRow("state kept without a callback") << "- D1E + D1E U1E - D1E + U1E" << "04- 04-";
    }

    // "D1E" presses scan 0x1E, "U1Ce" releases 0x1C extended; the reports come back as "04+ 04-".
    void repeatFilter()
    {
        QFETCH(QString, events);
        InputHook hook;
        int calls = 0;
        hook.setKeyboardCallback(recordKey, &calls);
        reported.clear();
        for (const QString &e : events.split(' ', Qt::SkipEmptyParts)) {
            if (e == "-" || e == "+")
                hook.setKeyboardCallback(e == "+" ? recordKey : nullptr, &calls);
            else
                hook.keyEvent(scanOf(e.mid(1)), flagsOf(e.mid(1)), e.startsWith('D'));
        }
        QTEST(reported.join(' '), "reports");
        QCOMPARE(calls, int(reported.size()));
    }

    // Every press and release of the three buttons, with its position; moves, double-click
    // messages, the wheel and side buttons are never reported.
    void mouseButtons()
    {
        InputHook hook;
        mouseReports.clear();
        hook.setMouseCallback(recordMouse, nullptr);
        for (quint32 message = 0x200; message <= 0x20B; ++message)
            hook.mouseEvent(message, 640, 2000);
        hook.mouseEvent(0x201, 1, 2); // a double click's second press comes as a plain press
        QCOMPARE(mouseReports.join(' '), QString("F0+@640,2000 F0-@640,2000 F1+@640,2000 F1-@640,2000 F2+@640,2000 "
                                                 "F2-@640,2000 F0+@1,2"));
        hook.setMouseCallback(nullptr, nullptr);
        hook.mouseEvent(0x201, 0, 0);
        QCOMPARE(mouseReports.size(), 7);
    }

    // Evdev codes in decimal: the first and last key of every run of the table and the code past
    // it (Esc, keypad ., non-US backslash, F11, F12, keypad Enter and /, right Alt, line feed,
    // Home, Delete, mute, Pause, both Windows keys, Menu, F23, F24); the keys the X11 end-to-end
    // test presses are left to it.
    void evdevKeys_data()
    {
        testsupport::addColumns<QString, int>({"key", "code"});
        addPairRows("0:00 1:29 83:63 84:00 86:64 87:44 88:45 96:58 98:54 100:E6 101:00 102:4A 111:4C 112:00 119:48 "
                    "125:E3 126:E7 127:65 128:00 193:72 195:00 255:00 300:00");
    }

    void evdevKeys()
    {
        QFETCH(QString, key);
        quint32 scan = 0, flags = 0;
        const bool mapped = keycodes::scanCodeFromEvdev(key.toUInt(), &scan, &flags);
        QTEST(mapped ? int(keycodes::KeyTranslator().keyCode(scan, flags)) : 0, "code");
    }

    // Two physical keys must never read as the same keystroke.
    void evdevCodesAreDistinct()
    {
        QHash<quint32, uint> seen;
        for (uint evdev = 0; evdev < 256; ++evdev) {
            quint32 scan = 0, flags = 0;
            if (!keycodes::scanCodeFromEvdev(evdev, &scan, &flags))
                continue;
            QVERIFY(scan > 0 && scan < 256);
            const quint32 key = scan << 8 | flags;
            QVERIFY2(!seen.contains(key), qPrintable(QString("evdev %1 and %2").arg(seen.value(key)).arg(evdev)));
            seen.insert(key, evdev);
        }
    }

    void copyDataHandOver()
    {
        copydata::Record record;
        record.dwData = copydata::WarningTag;
        {
            InputHook hook;
            QVERIFY(!InputHook::deliverCopyData(record));
            int context = 0;
            hook.installCopyDataFilter(recordCopyData, nullptr, &context);
            QVERIFY(InputHook::deliverCopyData(record));
            QCOMPARE(deliveredRecord, &record);
            QCOMPARE(deliveredContext, static_cast<void *>(&context));
        }
        // Nothing is handed to a receiver whose hook is gone.
        QVERIFY(!InputHook::deliverCopyData(record));
    }

    // A key the translation can report but the vocabulary cannot name would be lost on its way
    // into a macro.
    void everyKeyCodeHasAName()
    {
        QQmlEngine engine;
        QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/modules/qml/Xq/KeyCodeString.qml")));
        std::unique_ptr<QObject> vocabulary(component.create());
        QVERIFY2(vocabulary, qPrintable(component.errorString()));
        QSet<int> named;
        for (const QVariant &code : vocabulary->property("keyCode").toList())
            named.insert(code.toInt());
        for (int vk = 0; vk < 256; ++vk)
            for (bool nonUs : {false, true}) {
                const int code = keycodes::KeyTranslator(nonUs).usage(uint8_t(vk));
                QVERIFY2(code == 0 || named.contains(code), qPrintable(QString::asprintf("key code %02X", code)));
            }
        for (quint32 message = keycodes::WmLButtonDown; message <= keycodes::WmMButtonUp; ++message) {
            const int code = keycodes::mouseButtonFromMessage(message).code;
            QVERIFY(code == 0 || named.contains(code));
        }
    }

    void qtKeys_data()
    {
        // scan: scan << 8 | extended, 0 for no key
        testsupport::addColumns<int, bool, int>({"key", "keypad", "scan"});
        QTest::newRow("unknown key") << int(Qt::Key_LaunchMail) << false << 0;
        QTest::newRow("letter with keypad modifier falls back") << int(Qt::Key_A) << true << 0x1E00;
        QTest::newRow("A") << int(Qt::Key_A) << false << 0x1E00;
        QTest::newRow("shifted 1") << int(Qt::Key_Exclam) << false << 0x0200;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true << 0x1C01;
        QTest::newRow("Home") << int(Qt::Key_Home) << false << 0x4701;
        QTest::newRow("keypad Home") << int(Qt::Key_Home) << true << 0x4700;
        QTest::newRow("keypad slash") << int(Qt::Key_Slash) << true << 0x3501;
        QTest::newRow("keypad 0") << int(Qt::Key_0) << true << 0x5200;
        QTest::newRow("Num Lock") << int(Qt::Key_NumLock) << false << 0x4501;
    }

    void qtKeys()
    {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        quint32 scanCode = 0, flags = 0;
        const bool known = scanCodeFromQtKey(key, keypad ? Qt::KeypadModifier : Qt::NoModifier, &scanCode, &flags);
        QTEST(known ? int(scanCode << 8 | flags) : 0, "scan");
    }

    // No X server here: the hook settles for our own windows and still reports key codes and
    // buttons, each event once although it travels from the window through the widget into the scene.
    void hookFallsBackToOwnWindows()
    {
        InputHook hook;
        QVERIFY(hook.isInstalled());
        QVERIFY2(QByteArray(hook.captureDescription()).contains("own windows"), hook.captureDescription());
        reported.clear();
        mouseReports.clear();
        hook.setKeyboardCallback(recordKey, nullptr);
        hook.setMouseCallback(recordMouse, nullptr);
        // A top-level window holding an embedded scene, like the program's main window.
        QWidget widget;
        auto *scene = new QQuickWidget(&widget);
        (new QVBoxLayout(&widget))->addWidget(scene);
        widget.resize(300, 200);
        widget.show();
        widget.activateWindow();
        scene->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QWindow *window = widget.windowHandle();
        QTest::keyPress(window, Qt::Key_Shift);
        QTest::keyClick(window, Qt::Key_1, Qt::ShiftModifier);
        QTest::keyRelease(window, Qt::Key_Shift);
        QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(reported.join(' '), QString("E1+ 1E+ 1E- E1- 58+ 58-"));

        // Side buttons are not reported; of a double click each press and release once, the
        // double-click event itself ignored.
        const QPoint at(20, 30);
        const QPoint global = window->mapToGlobal(at);
        QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseClick(window, Qt::BackButton, Qt::NoModifier, at);
        QTest::mouseDClick(window, Qt::MiddleButton, Qt::NoModifier, at);
        QCOMPARE(mouseReports.join(' '), QString("F1+@%1,%2 F1-@%1,%2 F2+@%1,%2 F2-@%1,%2 F2+@%1,%2 F2-@%1,%2")
                                             .arg(global.x()).arg(global.y()));
    }
};

QTEST_MAIN(TestKeyCodes)
#include "tst_keycodes.moc"
