// Keystroke and button translation: the composed tables, the overrides, the auto-repeat filter,
// the evdev bridge used on Linux, and the hook object's callbacks.
#include "input/inputhook.h"
#include "input/keycodes.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

using keycodes::FlagAltDown;
using keycodes::FlagExtended;

namespace {
struct Composed
{
    quint8 scan;
    quint8 extended;
    quint8 code;
};
// Every keystroke with a key code: scan code, extended flag, key code.
const Composed composedTable[] = {
    {0x01, 0, 0x29}, {0x02, 0, 0x1E}, {0x03, 0, 0x1F}, {0x04, 0, 0x20}, {0x05, 0, 0x21}, {0x06, 0, 0x22},
    {0x07, 0, 0x23}, {0x08, 0, 0x24}, {0x09, 0, 0x25}, {0x0A, 0, 0x26}, {0x0B, 0, 0x27}, {0x0C, 0, 0x2D},
    {0x0D, 0, 0x2E}, {0x0E, 0, 0x2A}, {0x0F, 0, 0x2B}, {0x10, 0, 0x14}, {0x11, 0, 0x1A}, {0x12, 0, 0x08},
    {0x13, 0, 0x15}, {0x14, 0, 0x17}, {0x15, 0, 0x1C}, {0x16, 0, 0x18}, {0x17, 0, 0x0C}, {0x18, 0, 0x12},
    {0x19, 0, 0x13}, {0x1A, 0, 0x2F}, {0x1B, 0, 0x30}, {0x1C, 0, 0x28}, {0x1C, 1, 0x58}, {0x1D, 0, 0xE0},
    {0x1D, 1, 0xE4}, {0x1E, 0, 0x04}, {0x1F, 0, 0x16}, {0x20, 0, 0x07}, {0x21, 0, 0x09}, {0x22, 0, 0x0A},
    {0x23, 0, 0x0B}, {0x24, 0, 0x0D}, {0x25, 0, 0x0E}, {0x26, 0, 0x0F}, {0x27, 0, 0x33}, {0x28, 0, 0x34},
    {0x29, 0, 0x35}, {0x2A, 0, 0xE1}, {0x2B, 0, 0x31}, {0x2C, 0, 0x1D}, {0x2D, 0, 0x1B}, {0x2E, 0, 0x06},
    {0x2F, 0, 0x19}, {0x30, 0, 0x05}, {0x31, 0, 0x11}, {0x32, 0, 0x10}, {0x33, 0, 0x36}, {0x34, 0, 0x37},
    {0x35, 0, 0x38}, {0x35, 1, 0x54}, {0x36, 1, 0xE5}, {0x37, 0, 0x55}, {0x37, 1, 0x46}, {0x38, 0, 0xE2},
    {0x38, 1, 0xE6}, {0x39, 0, 0x2C}, {0x3A, 0, 0x39}, {0x3B, 0, 0x3A}, {0x3C, 0, 0x3B}, {0x3D, 0, 0x3C},
    {0x3E, 0, 0x3D}, {0x3F, 0, 0x3E}, {0x40, 0, 0x3F}, {0x41, 0, 0x40}, {0x42, 0, 0x41}, {0x43, 0, 0x42},
    {0x44, 0, 0x43}, {0x45, 0, 0x48}, {0x45, 1, 0x53}, {0x46, 0, 0x47}, {0x47, 0, 0x5F}, {0x47, 1, 0x4A},
    {0x48, 0, 0x60}, {0x48, 1, 0x52}, {0x49, 0, 0x61}, {0x49, 1, 0x4B}, {0x4A, 0, 0x56}, {0x4B, 0, 0x5C},
    {0x4B, 1, 0x50}, {0x4C, 0, 0x5D}, {0x4D, 0, 0x5E}, {0x4D, 1, 0x4F}, {0x4E, 0, 0x57}, {0x4F, 0, 0x59},
    {0x4F, 1, 0x4D}, {0x50, 0, 0x5A}, {0x50, 1, 0x51}, {0x51, 0, 0x5B}, {0x51, 1, 0x4E}, {0x52, 0, 0x62},
    {0x52, 1, 0x49}, {0x53, 0, 0x63}, {0x53, 1, 0x4C}, {0x56, 0, 0x64}, {0x57, 0, 0x44}, {0x58, 0, 0x45},
    {0x5B, 1, 0xE3}, {0x5D, 1, 0x65}, {0x6E, 0, 0x72},
    // Keyboards send the right Shift key without the extended flag; the right Windows key is
    // 0x5C extended.
    {0x36, 0, 0xE5}, {0x5C, 1, 0xE7},
};

QList<QString> reported;
void recordKey(uchar code, uchar isDown, void *context)
{
    reported << QString::asprintf("%02X%c", code, isDown ? '+' : '-');
    if (context)
        ++*static_cast<int *>(context);
}

// "D1E" presses scan 0x1E, "U1Ce" releases 0x1C extended; the reports come back as "04+ 04-".
QString runKeys(InputHook &hook, const QString &events)
{
    reported.clear();
    const QStringList list = events.split(' ', Qt::SkipEmptyParts);
    for (const QString &e : list) {
        const bool down = e.startsWith('D');
        const bool extended = e.endsWith('e');
        const QString hex = e.mid(1, e.size() - 1 - (extended ? 1 : 0));
        hook.keyEvent(hex.toUInt(nullptr, 16), extended ? FlagExtended : 0, down);
    }
    return reported.join(' ');
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
        QTest::addColumn<uint>("scanCode");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<int>("code");

        // Nothing to report.
        QTest::newRow("scan 0") << 0u << 0u << 0;
        QTest::newRow("above 255 reads as 0, not as its low byte") << 0x11Eu << 0u << 0;
        QTest::newRow("extended flag on a plain key") << 0x1Eu << FlagExtended << 0;
        QTest::newRow("Print Screen without Alt") << 0x54u << 0u << 0;
        QTest::newRow("unlisted scan 0x59") << 0x59u << 0u << 0;
        QTest::newRow("unlisted scan 0xFF") << 0xFFu << FlagExtended << 0;

        // The overrides; the pairs that differ only in the extended flag (Enter and keypad Enter,
        // Pause and Num Lock, both Shifts, both Windows keys) are rows of the table below.
        QTest::newRow("Ctrl+Break reads as Pause") << 0x46u << FlagExtended << 0x48;
        QTest::newRow("Alt+Print Screen") << 0x54u << FlagAltDown << 0x46;
        QTest::newRow("Alt+Print Screen, extended") << 0x54u << (FlagAltDown | FlagExtended) << 0x46;
        QTest::newRow("Alt held on a plain key") << 0x1Eu << FlagAltDown << 0x04;
        QTest::newRow("flags beyond the known bits ignored") << 0x1Eu << 0x90u << 0x04;

        for (const Composed &c : composedTable) {
            const QByteArray name = QByteArray::number(c.scan, 16).toUpper() + (c.extended ? "+E0" : "");
            QTest::newRow(name.constData()) << uint(c.scan) << (c.extended ? FlagExtended : 0u) << int(c.code);
        }
    }

    void translation()
    {
        QFETCH(uint, scanCode);
        QFETCH(uint, flags);
        QFETCH(int, code);
        const keycodes::KeyTranslator translator;
        QCOMPARE(int(translator.keyCode(scanCode, flags)), code);
    }

    // Virtual keys by themselves: the backslash key of either layout, and the first and last
    // code of every run of rows (and the code past it), reached by a scan code or not.
    void virtualKeyUsage_data()
    {
        QTest::addColumn<bool>("nonUs");
        QTest::addColumn<int>("virtualKey");
        QTest::addColumn<int>("code");
        QTest::newRow("US backslash") << false << 0xDC << 0x31;
        QTest::newRow("non-US backslash") << true << 0xDC << 0x32;
        QTest::newRow("none for 0") << false << 0x00 << 0;
        QTest::newRow("before the first") << false << 0x07 << 0;
        QTest::newRow("first: Back") << false << 0x08 << 0x2A;
        QTest::newRow("F12") << false << 0x7B << 0x45;
        QTest::newRow("F13") << false << 0x7C << 0x68;
        QTest::newRow("F22") << false << 0x85 << 0x71;
        QTest::newRow("F24") << false << 0x87 << 0x73;
        QTest::newRow("past F24") << false << 0x88 << 0;
        QTest::newRow("Intl1") << false << 0xC1 << 0x87;
        QTest::newRow("keypad comma") << false << 0xC2 << 0x85;
        QTest::newRow("past keypad comma") << false << 0xC3 << 0;
        QTest::newRow("Intl5") << false << 0xEB << 0x8B;
        QTest::newRow("past Intl5") << false << 0xEC << 0;
        QTest::newRow("before the last") << false << 0xFE << 0;
        QTest::newRow("last: Power") << false << 0xFF << 0x66;
    }

    void virtualKeyUsage()
    {
        QFETCH(bool, nonUs);
        QFETCH(int, virtualKey);
        QTEST(int(keycodes::KeyTranslator(nonUs).usage(uint8_t(virtualKey))), "code");
    }

    void repeatFilter_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("reports");

        QTest::newRow("release without a press") << "U1E" << "";
        QTest::newRow("keys without a code leave no state") << "D59 U59 D1Ee U1Ee" << "";
        QTest::newRow("held key: one down, one up") << "D1E D1E D1E U1E U1E" << "04+ 04-";
        QTest::newRow("press again after release") << "D1E U1E D1E U1E" << "04+ 04- 04+ 04-";
        QTest::newRow("interleaved keys") << "D1E D30 U1E U30" << "04+ 05+ 04- 05-";
        QTest::newRow("Ctrl+Break and Pause share one code") << "D46e D45 U45" << "48+ 48-";
        QTest::newRow("Enter and keypad Enter are separate") << "D1C D1Ce U1C U1Ce" << "28+ 58+ 28- 58-";
    }

    void repeatFilter()
    {
        QFETCH(QString, events);
        QFETCH(QString, reports);
        InputHook hook;
        int calls = 0;
        hook.setKeyboardCallback(recordKey, &calls);
        QCOMPARE(runKeys(hook, events), reports);
        QCOMPARE(calls, int(reported.size()));
    }

    void stateKeptWithoutCallback()
    {
        InputHook hook;
        runKeys(hook, "D1E");
        hook.setKeyboardCallback(recordKey, nullptr);
        QCOMPARE(runKeys(hook, "D1E U1E"), QString("04-"));
        hook.setKeyboardCallback(nullptr, nullptr);
        QCOMPARE(runKeys(hook, "D1E"), QString());
        QVERIFY(hook.translator().isDown(0x04));
    }

    void mouseButtons()
    {
        // Every press and release of the three buttons, with its position; moves, double-click
        // messages, the wheel and side buttons are never reported.
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

    void evdevKeys_data()
    {
        QTest::addColumn<uint>("evdev");
        QTest::addColumn<int>("code");

        // The first and last key of every run of the table and the code past it; the keys the
        // X11 end-to-end test presses are left to it.
        QTest::newRow("reserved 0") << 0u << 0;
        QTest::newRow("first: Esc") << 1u << 0x29;
        QTest::newRow("last plain scan code: keypad .") << 83u << 0x63;
        QTest::newRow("unused 84") << 84u << 0;
        QTest::newRow("non-US backslash") << 86u << 0x64;
        QTest::newRow("F11") << 87u << 0x44;
        QTest::newRow("F12") << 88u << 0x45;
        QTest::newRow("keypad Enter") << 96u << 0x58;
        QTest::newRow("keypad /") << 98u << 0x54;
        QTest::newRow("right Alt") << 100u << 0xE6;
        QTest::newRow("line feed has no code") << 101u << 0;
        QTest::newRow("Home") << 102u << 0x4A;
        QTest::newRow("Delete") << 111u << 0x4C;
        QTest::newRow("mute has no code") << 112u << 0;
        QTest::newRow("Pause") << 119u << 0x48;
        QTest::newRow("left Windows") << 125u << 0xE3;
        QTest::newRow("right Windows") << 126u << 0xE7;
        QTest::newRow("Menu") << 127u << 0x65;
        QTest::newRow("past Menu") << 128u << 0;
        QTest::newRow("F23") << 193u << 0x72;
        QTest::newRow("past F24") << 195u << 0;
        QTest::newRow("last of the table") << 255u << 0;
        QTest::newRow("beyond the table") << 300u << 0;
    }

    void evdevKeys()
    {
        QFETCH(uint, evdev);
        QFETCH(int, code);
        quint32 scan = 0;
        quint32 flags = 0;
        const bool mapped = keycodes::scanCodeFromEvdev(evdev, &scan, &flags);
        const keycodes::KeyTranslator translator;
        QCOMPARE(mapped ? int(translator.keyCode(scan, flags)) : 0, code);
    }

    void evdevCodesAreDistinct()
    {
        // Two physical keys must never read as the same keystroke.
        QHash<quint32, uint> seen;
        for (uint evdev = 0; evdev < 256; ++evdev) {
            quint32 scan = 0;
            quint32 flags = 0;
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

    void everyKeyCodeHasAName()
    {
        // A key the translation can report but the vocabulary cannot name would be lost on its
        // way into a macro.
        QQmlEngine engine;
        QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/modules/qml/Xq/KeyCodeString.qml")));
        std::unique_ptr<QObject> vocabulary(component.create());
        QVERIFY2(vocabulary, qPrintable(component.errorString()));
        QSet<int> named;
        for (const QVariant &code : vocabulary->property("keyCode").toList())
            named.insert(code.toInt());

        const keycodes::KeyTranslator us(false);
        const keycodes::KeyTranslator nonUs(true);
        for (int vk = 0; vk < 256; ++vk) {
            for (int code : {int(us.usage(uint8_t(vk))), int(nonUs.usage(uint8_t(vk)))})
                QVERIFY2(code == 0 || named.contains(code), qPrintable(QString::asprintf("key code %02X", code)));
        }
        for (quint32 message = keycodes::WmLButtonDown; message <= keycodes::WmMButtonUp; ++message) {
            const int code = keycodes::mouseButtonFromMessage(message).code;
            QVERIFY(code == 0 || named.contains(code));
        }
    }
};

QTEST_MAIN(TestKeyCodes)
#include "tst_keycodes.moc"
