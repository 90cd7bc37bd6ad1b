// The view's device slots on both virtual mice: DPI, lighting, report rate, keyboard options,
// parameter blocks 0 and 1, the "560" profile blocks, and the button definitions (both device
// forms, what is stored and what the mouse gets).
#include "settingsrig_helper.h"
#include "testsupport.h"
#include "view/dpiconversion.h"
#include "view/keytranslation.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using namespace vdev;
using settingsrig::hex;
using settingsrig::Rig;

Q_DECLARE_METATYPE(vdev::Fault)

namespace {

// Left, right, My PC at 3, double fire at 7; button 5 a gun key when guns > 0.
QVariantList definitions(int guns = 0)
{
    QVariantList l(64, 0);
    l[2] = 0xF0, l[6] = 0xF1, l[12] = 6, l[14] = 0x94, l[15] = 1, l[29] = 0xF0, l[30] = 0x1E, l[31] = 2;
    if (guns)
        l[20] = 8, l[22] = guns;
    return l;
}

QStringList stored(const Rig &rig, int slot, int n)
{
    return rig.view->profileSettings.at(slot)->value(QString("mouseKeyMatrix/%1").arg(n)).toStringList();
}

} // namespace

class TestMouseSlots : public QObject
{
    Q_OBJECT
private slots:
    // "sensor/dpi:register" (hex). Out-of-range values are not clamped: the formula's result is
    // cut to a byte (3360 at 50 wraps, 3389 at 12800 keeps the low byte); 3395 has no table of its own.
    void dpiRegister_data()
    {
        QTest::addColumn<QString>("row");
        for (const QString &row : QString("3360/50:FF 3050/4001:00 3360/400:03 3050/250:01 3050/251:02 3050/4000:48 "
                                          "3389/12750:FF 3389/12800:00 4090/5000:31 4090/5200:5A 3395/5200:5A").split(' '))
            QTest::newRow(qPrintable(row)) << row;
    }
    void dpiRegister()
    {
        QFETCH(QString, row);
        const int reg = dpi::registerValue(row.section('/', 0, 0).toStdString(), row.section('/', 1).section(':', 0, 0).toInt());
        QCOMPARE(reg, row.section(':', 1).toInt(nullptr, 16));
    }

    void dpiHighBitsOf3389()
    {
        const dpi::Registers r = dpi::convert("3389", {12750, 12800, 400, 16000, 0, 0, 0, 25550, 13000});
        QCOMPARE(hex(r.stage.data(), 8), QByteArray("ff 00 08 40 00 00 00 ff"));
        QCOMPARE(int(r.highBits), 0x8A);   // stages 2, 4 and 8; a ninth value is ignored
        QCOMPARE(int(dpi::convert("3360", {20000}).highBits), 0);
    }

    void dpiStages553_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QByteArray>("sent");   // empty: refused
        QTest::newRow("no stage") << 0 << QVariantList({400}) << QByteArray();
        QTest::newRow("nine stages") << 9 << QVariantList({400}) << QByteArray();
        QTest::newRow("ten values") << 8 << QVariantList({400, 800, 1600, 3200, 100, 200, 300, 500, 600, 700})
                                    << QByteArray("03 07 0f 1f 00 01 02 04");
        QTest::newRow("values as text") << 2 << QVariantList({"400", "800.0"}) << QByteArray("03 07 00 00 00 00 00 00");
        QTest::newRow("four of four") << 4 << QVariantList({400, 800, 1600, 3200}) << QByteArray("03 07 0f 1f 00 00 00 00");
        QTest::newRow("two of eight") << 2 << QVariantList({400, 800, 1600, 3200, 4800, 6400, 8000, 12000})
                                      << QByteArray("03 07 80 80 80 80 80 80");
    }
    void dpiStages553()
    {
        QFETCH(int, count);
        QFETCH(QVariantList, values);
        QFETCH(QByteArray, sent);
        Rig rig(Mouse553);
        rig.view->mouseSetDpi(count, "3360", values);
        QCOMPARE(rig.commands(), sent.isEmpty() ? QByteArray() : QByteArray("11"));
        if (!sent.isEmpty()) {
            QCOMPARE(hex(rig.state().dpiSet.data(), 8), sent);
            QCOMPARE(int(rig.state().dpiStageCount), count);
        }
    }

    void dpiStages560_data()
    {
        QTest::addColumn<bool>("gun");
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<QByteArray>("commands");
        QTest::newRow("without gun, 3360") << false << "3360" << QByteArray("0c");
        QTest::newRow("with gun, 3389") << true << "3389" << QByteArray("0c 0c 0c 0c");
    }
    void dpiStages560()
    {
        QFETCH(bool, gun);
        QFETCH(QString, sensor);
        Rig rig(Mouse560);
        rig.view->isGun = gun;
        memset(rig.view->profileBlocks, 0xEE, sizeof rig.view->profileBlocks);
        rig.view->mouseSetDpi(3, sensor, {400, 800, 12800});
        QTEST(rig.commands(), "commands");
        const QByteArray regs = sensor == "3389" ? "08 10 00 00 00 00 00 00" : "03 07 7f 00 00 00 00 00";
        for (int block = 1; block <= 4; ++block)
            QCOMPARE(hex(rig.view->profileBlocks[block] + 81, 21),
                     "ee " + QByteArray(sensor == "3389" ? "04 04 " : "ee ee ") + regs + " " + regs + " 07 ee");
        QCOMPARE(hex(rig.state().profile[1].data() + 84, 8), regs);
        QCOMPARE(int(rig.state().profile[4][100]), gun ? 0x07 : 0);
        QCOMPARE(int(rig.view->profileBlocks[0][100]), 0xEE);
    }

    void effect_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QString>("kind");   // c colourful, g gun, 5 is55328
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QByteArray>("sent");    // 0x0D request (553) or bytes 71..73 of block 1 (560)
        const auto row = [](const char *name, int mouse, const char *kind, QList<int> args, const char *sent) {
            QTest::newRow(name) << mouse << QString(kind) << args << QByteArray(sent);
        };
        row("colourful, unknown effect", Mouse553, "c", {11, 2, 2}, "00 00 00");
        row("plain, unknown effect", Mouse553, "", {3, 1, 1}, "00 00 02");
        row("colourful static, brightness 0", Mouse553, "c", {0, 0, 0}, "01 00 00");
        row("colourful 1", Mouse553, "c", {1, 0, 4}, "03 00 0a");
        row("colourful 8", Mouse553, "c", {8, 2, 3}, "08 c0 0f");
        row("colourful 10", Mouse553, "c", {10, 4, 2}, "0a 80 14");
        row("plain static", Mouse553, "", {0, 0, 4}, "01 0a 02");
        row("plain 55328 breath", Mouse553, "5", {1, 2, 0}, "02 03 01");
        row("plain 55328, 4", Mouse553, "5", {4, 1, 0}, "02 02 03");
        row("560 plain", Mouse560, "", {1, 2, 3}, "02 03 03");
        row("560 plain gun", Mouse560, "g", {1, 2, 3}, "02 03 02");
        row("560 colourful", Mouse560, "c", {8, 2, 3}, "08 c0 0f");
        row("560 colourful gun", Mouse560, "cg", {8, 2, 3}, "08 c0 0f");
    }
    void effect()
    {
        QFETCH(int, mouse);
        QFETCH(QString, kind);
        QFETCH(QList<int>, args);
        QFETCH(QByteArray, sent);
        Rig rig(mouse);
        rig.view->isColorful = kind.contains('c');
        rig.view->isGun = kind.contains('g');
        rig.view->is55328 = kind.contains('5');
        rig.view->mouseSetRGBEffect(args[0], args[1], args[2]);
        const VirtualFirmware::State s = rig.state();
        if (mouse == Mouse553) {
            QCOMPARE(rig.commands(), QByteArray("0d"));
            QCOMPARE(hex(s.rgbEffect.data(), 3), sent);
            return;
        }
        // A gun mouse gets all four blocks, others block 1 alone.
        QCOMPARE(rig.commands(), QByteArray(rig.view->isGun ? "0c 0c 0c 0c" : "0c"));
        QCOMPARE(hex(s.profile[1].data() + 71, 3), sent);
        QCOMPARE(hex(rig.view->profileBlocks[1] + 71, 3), sent);
        const QByteArray others = kind == "" ? QByteArray("02 03 02") : sent;   // block 1 alone gets 3
        QCOMPARE(hex(rig.view->profileBlocks[4] + 71, 3), others);
        QCOMPARE(hex(s.profile[4].data() + 71, 3), rig.view->isGun ? others : QByteArray("00 00 00"));
    }

    void colours_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("given");
        QTest::addColumn<QByteArray>("commands");
        QTest::newRow("553 plain, 30 values: 24 sent twice") << Mouse553 << "" << 30 << QByteArray("10 10");
        QTest::newRow("553 plain, 3 values: rest black") << Mouse553 << "" << 3 << QByteArray("10 10");
        QTest::newRow("553 55328, eighth colour set") << Mouse553 << "5" << 24 << QByteArray("10");
        QTest::newRow("553 55328, eighth colour black") << Mouse553 << "5" << 21 << QByteArray("0c");
        QTest::newRow("560 colourful: block 0") << Mouse560 << "c" << 24 << QByteArray("0c");
        QTest::newRow("560 plain: block 1") << Mouse560 << "" << 24 << QByteArray("0c");
    }
    void colours()
    {
        QFETCH(int, mouse);
        QFETCH(QString, kind);
        QFETCH(int, given);
        Rig rig(mouse);
        rig.view->isColorful = kind.contains('c');
        rig.view->is55328 = kind.contains('5');
        QVariantList list;
        QByteArray expected(24, 0);
        for (int i = 0; i < given; ++i) {
            list << i * 10 + 1;
            if (i < 24)
                expected[i] = char(i * 10 + 1);
        }
        rig.view->mouseSetRGBColor(1, list);
        QTEST(rig.commands(), "commands");
        const VirtualFirmware::State s = rig.state();
        const uint8_t *got = mouse == Mouse560 ? (kind == "c" ? s.profile[0].data() + 24 : s.profile[1].data() + 104)
                                                     : s.ledColours.data();
        if (rig.commands() == "0c" && mouse == Mouse553)
            QCOMPARE(hex(s.fixColour.data(), 3), QByteArray("01 0b 15"));
        else
            QCOMPARE(hex(got, 24), expected.toHex(' '));
    }

    void bothFamilies_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QByteArray>("rateCommands");
        // The 553 family takes the rate in parameter block 0, after asking for the active stage.
        QTest::newRow("553") << Mouse553 << QByteArray("04 01 06 07") << QByteArray("8b 02");
        QTest::newRow("560") << Mouse560 << QByteArray("04 01") << QByteArray("03 03 03 03");
    }
    void bothFamilies()
    {
        QFETCH(int, mouse);
        Rig rig(mouse);
        // Parameter block 0: a short list is refused, a seventh value is not sent.
        rig.view->mouseSetParameter_0({8, 1, 7}, 3);
        rig.view->mouseSetParameter_0({8, 1, 7, 252, 5, 3, 99}, 3);
        QCOMPARE(rig.commands(), QByteArray("02"));
        QCOMPARE(hex(rig.state().parameter0.data(), 8), QByteArray("08 01 07 fc 05 03 00 00"));
        const VirtualFirmware::State p0 = rig.state();   // as the mouse takes the block
        QCOMPARE((QList<int>{p0.parameter0Profile, p0.reportRate, p0.dpiStage, p0.lightMode, p0.brightness, p0.lightSpeed,
                             p0.colourIndex}), (QList<int>{3, 8, 1, 7, 0xFC, 5, 3}));

        rig.view->mouseSetCurrentDPI(2);
        QCOMPARE(int(rig.state().dpiStage), 2);
        rig.device.withFirmware(mouse, [](VirtualFirmware &fw) { fw.mutableState().dpiStage = 5; });
        QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 5);

        rig.device.clearWireLog();
        rig.view->mouseSetReportRate(2);
        QTEST(rig.commands(), "rateCommands");
        QCOMPARE(int(rig.state().reportRate), 2);
        QCOMPARE(int(rig.state().dpiStage), 5);
        QCOMPARE(rig.state().unknownRequests, 0);
        // Command 0x03 is the report rate on a 560 mouse: keyboard options must not touch it.
        rig.view->mouseSetKeyboardoption(4, 1, 6, 7);
        const VirtualFirmware::State s = rig.state();
        QCOMPARE(int(s.reportRate), 2);
        QTEST(mouse == Mouse560 ? hex(s.keyboardOption560.data(), 2) : hex(s.keyboardOptionSet.data(), 4), "options");
        const QVariantList identity = {s.keyboardOption[0], s.keyboardOption[1], s.keyboardOption[2], s.keyboardOption[3]};
        QCOMPARE(rig.view->GetKeyboardoption(), identity);

        rig.device.unplug(mouse);   // no answer: the queries' pre-fill
        QCOMPARE(rig.view->GetKeyboardoption(), QVariantList({0, 0, 0, 0}));
        QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 0);
    }

    // The 553 family's report rate goes with the profile's stored lighting, taken as the
    // lighting page takes it: what the page could not show goes as the page's default.
    void reportRate553StoredLight_data()
    {
        QTest::addColumn<QVariantList>("stored");
        QTest::addColumn<QByteArray>("sent");   // parameter block 0 bytes 0..5
        QTest::newRow("in range") << QVariantList{3, 0, 1} << QByteArray("02 00 03 3f 01 00");
        QTest::newRow("mode 6 goes as 7") << QVariantList{6, 4, 0} << QByteArray("02 00 07 00 07 00");   // RGB mouse
        QTest::newRow("past the plain mode list") << QVariantList{4, 1, 2} << QByteArray("02 00 01 7e 03 00");
        QTest::newRow("steps past 4, huge") << QVariantList{0, 5, 40000000} << QByteArray("02 00 00 fc 04 00");
        QTest::newRow("negative and text, missing") << QVariantList{-1, "fast"} << QByteArray("02 00 01 fc 04 00");
    }
    void reportRate553StoredLight()
    {
        QFETCH(QVariantList, stored);
        Rig rig(Mouse553);
        rig.view->isColorful = QTest::currentDataTag() == QByteArray("mode 6 goes as 7");
        rig.view->setDataList("mouse/lightValue", stored);
        rig.view->mouseSetReportRate(2);
        QTEST(hex(rig.state().parameter0.data(), 6), "sent");
    }

    // A block the connect could not read is not asked for again at every edit (a mouse that
    // never answers would hold the window for seconds each time) nor written, so the profile the
    // mouse has stored stays; the user hears of it once. Key matrices go only with block 0.
    void unreadBlockIsNotWritten_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QByteArray>("commands");   // two lighting edits, then gun keys
        QTest::addColumn<bool>("written");          // block 1
        // Each block's data phase is two reads at report length 64: skip 2 hits block 1.
        QTest::newRow("block 1 unread at connect") << Fault{Call::ReadTimeout, FaultAction::Fail, 2, 1, Mouse560, Iface::Command}
                                                   << QByteArray("0c 0c 0c 0c 0c 0c 0c 0d 0d 0d 0d 02") << false;
        QTest::newRow("blocks 2..4 never answer") << Fault{Call::ReadTimeout, FaultAction::Fail, 4, -1, Mouse560, Iface::Command}
                                                  << QByteArray("0c 0c 0c 0d 0d 0d 0d 02") << true;
        QTest::newRow("no read answered") << Fault{Call::GetFeature, FaultAction::Fail, 0, -1, Mouse560, Iface::Command}
                                          << QByteArray() << false;
    }
    void unreadBlockIsNotWritten()
    {
        QFETCH(Fault, fault);
        QFETCH(bool, written);
        Rig rig(Mouse560, false);
        QByteArray stored(128, 0);
        for (int i = 0; i < 128; ++i)
            stored[i] = char(i * 3 + 1);
        rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) {
            for (auto &block : fw.mutableState().profile)
                std::copy(stored.begin(), stored.end(), block.begin());
        });
        rig.device.addFault(fault);
        rig.view->initUI();
        rig.device.clearWireLog();
        testsupport::DebugCapture debug;
        QSignalSpy notices(rig.view.get(), &myQQuickView::trayNotice);
        rig.view->mouseSetRGBEffect(8, 2, 3);
        rig.view->mouseSetRGBEffect(8, 2, 3);
        QVariantList gunKeys(64, 0);
        gunKeys[0] = keys::GunFunction;
        gunKeys[2] = 1;
        rig.view->mouseSetKeyMatrix(gunKeys, true, {25, 35, 45});

        QTEST(rig.commands(), "commands");
        QCOMPARE(debug.contains("Profile block not read from the device, not written 1"), !written);
        QCOMPARE(notices.count(), 1);
        QByteArray expected = stored;
        if (written)
            expected.replace(71, 3, QByteArray::fromHex("08c00f"));
        const VirtualFirmware::State s = rig.state();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.profile[1].data()), 128).toHex(), expected.toHex());
    }

    void profileBlockCommands()
    {
        {
            Rig rig(Mouse560);
            rig.device.withFirmware(rig.mouse, [](VirtualFirmware &fw) { fw.mutableState().currentProfile = 3; });
            QCOMPARE(rig.view->mouseReadCurrentProfile().toInt(), 3);
            rig.view->profileBlocks[4][9] = 0x5A;
            for (uint n : {4u, 5u})
                rig.view->mouseSetProfile(n);
            rig.view->mouseReadProfile(7);
            QCOMPARE(int(rig.state().profile[4][9]), 0x5A);
            QCOMPARE(rig.commands(), QByteArray("82 0c"));
        }
        // These commands mean something else to a 553 mouse: never sent there.
        Rig plain(Mouse553);
        plain.view->mouseSetProfile(1);
        plain.view->mouseReadProfile(1);
        QCOMPARE(plain.view->mouseReadCurrentProfile().toInt(), 0);
        QCOMPARE(plain.commands(), QByteArray());
    }

    void forms_data()
    {
        QTest::addColumn<QByteArray>("ui");
        QTest::addColumn<bool>("family560");
        QTest::addColumn<QByteArray>("matrix");   // empty: not checked
        QTest::addColumn<QByteArray>("param");    // parameter form; empty: not checked
        const auto row = [](const char *name, const char *ui, bool family560, const char *matrix, const char *param) {
            QTest::newRow(name) << QByteArray(ui) << family560 << QByteArray(matrix) << QByteArray(param);
        };
        row("unknown type", "42010203", false, "42 01 02 03", "03 02 01 42");
        // A fire key's interval and count may look like a consumer usage; it stays a fire key.
        row("fire 33 ms twice stays fire", "01042102", false, "0a 04 21 02", "");
        row("fire 148 ms once stays fire", "01049401", true, "0a 04 94 01", "");
        row("DPI type never turns media", "05002102", false, "", "21 00 00 0b");
        row("factory-only value", "ff000200", false, "04 00 02 00", "00 02 00 04");
        row("left button", "0000f000", false, "01 00 f0 00", "f0 00 00 02");
        row("double fire", "00f01e02", false, "0a f0 1e 02", "f0 01 02 0c");
        row("fire", "01041405", false, "0a 04 14 05", "04 14 05 0c");
        // Modifiers go as usages into the bytes the keys leave free; keys keep their bytes.
        row("combination", "02030400", false, "00 03 04 00", "04 e1 e0 01");
        row("combination of modifiers only", "02050000", false, "", "e2 e0 00 01");
        row("stored combination beyond three keys", "02070405", false, "00 07 04 05", "04 05 e0 01");
        row("media next", "0300b500", false, "03 00 b5 00", "b5 00 00 03");
        row("macro slot 3", "04010300", false, "09 01 04 00", "");
        row("macro slot 3, once", "04000300", false, "", "03 00 01 05");
        row("DPI+", "05000100", false, "07 00 01 00", "01 00 00 0b");
        row("sniper 553", "05000400", false, "07 00 04 01", "04 01 03 f0");
        row("sniper 560", "05000400", true, "0b 00 01 01", "04 01 03 f0");
        row("My PC as media", "06009401", false, "03 00 94 01", "94 01 00 03");
        row("home page as media", "06002302", false, "03 00 23 02", "23 02 00 03");
        row("search as media", "06002102", true, "03 00 21 02", "");
        row("maximise", "06e22c1b", false, "00 e2 2c 1b", "1b 2c e2 01");
        row("copy shortcut", "0700e006", false, "00 00 e0 06", "06 e0 00 01");
        row("gun", "08000200", false, "08 00 02 00", "00 02 00 08");
    }
    void forms()
    {
        QFETCH(QByteArray, ui);
        QFETCH(bool, family560);
        QFETCH(QByteArray, matrix);
        QFETCH(QByteArray, param);
        const QByteArray b = QByteArray::fromHex(ui);
        const keys::KeyDefinition def{uint8_t(b[0]), uint8_t(b[1]), uint8_t(b[2]), uint8_t(b[3])};
        if (!matrix.isEmpty())
            QCOMPARE(hex(keys::toKeyMatrixForm(def, family560).data(), 4), matrix);
        if (!param.isEmpty())
            QCOMPARE(hex(keys::toParameterForm(def).data(), 4), param);
    }

    void parameterBlock1_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<int>("length");
        QTest::newRow("191 values refused") << Mouse553 << 191;
        QTest::newRow("553, 200 values") << Mouse553 << 200;
        QTest::newRow("560") << Mouse560 << 192;
    }
    void parameterBlock1()
    {
        QFETCH(int, mouse);
        QFETCH(int, length);
        Rig rig(mouse);
        rig.view->setCurrentProfile(1);
        QVariantList block;
        for (int i = 0; i < 128; ++i)
            block << (i * 3) % 256;
        block << definitions() << QVariantList(8, 0xAB);
        rig.view->mouseSetParameter_1(block.mid(0, length), 4);

        const VirtualFirmware::State s = rig.state();
        if (length < 192) {   // a short list would overwrite the buttons with zeros
            QCOMPARE(rig.commands(), QByteArray());
            QCOMPARE(stored(rig, 1, 0), QStringList({"0", "0", "240", "0"}));
            QCOMPARE(stored(rig, 1, 3), QStringList({"0", "0", "244", "0"}));
            return;
        }
        QCOMPARE(stored(rig, 1, 3), QStringList({"6", "0", "148", "1"}));
        QCOMPARE(stored(rig, 1, 7), QStringList({"0", "240", "30", "2"}));
        QCOMPARE(int(s.parameter1Mask), 4);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(s.parameter1[i]), (i * 3) % 256);
        QCOMPARE(hex(s.parameter1.data() + 128, 16), QByteArray("f0 00 00 02 f1 00 00 02 00 00 00 02 94 01 00 03"));
        QCOMPARE(hex(s.parameter1.data() + 156, 8), QByteArray("f0 01 02 0c 00 00 00 02"));
    }

    void keyMatrix_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<bool>("send");
        QTest::addColumn<int>("guns");
        QTest::addColumn<QByteArray>("commands");
        // A short list would store zeros for the buttons it lacks, and send them.
        QTest::newRow("63 values refused") << Mouse553 << true << -1 << QByteArray();
        QTest::newRow("store only") << Mouse553 << false << 2 << QByteArray();
        QTest::newRow("553 without gun keys") << Mouse553 << true << 0 << QByteArray("12");
        QTest::newRow("560 without gun keys") << Mouse560 << true << 0 << QByteArray("0d");
        QTest::newRow("553 two guns") << Mouse553 << true << 2 << QByteArray("12 12 12 12 02");
        QTest::newRow("560 two guns") << Mouse560 << true << 2 << QByteArray("0c 0d 0d 0d 0d 02");
        QTest::newRow("560 three guns") << Mouse560 << true << 3 << QByteArray("0c 0d 0d 0d 0d 02");
    }
    void keyMatrix()
    {
        QFETCH(int, mouse);
        QFETCH(bool, send);
        QFETCH(int, guns);
        Rig rig(mouse);
        for (int n = 0; n < 16 && mouse == Mouse553; ++n)   // a gun-capable 553 mouse's stored matrix
            rig.view->setDataList(QString("mouseFwKeyMatrix/%1").arg(n), {1, 0, 0xF0 + n % 4, 0});
        rig.device.withFirmware(mouse, [](VirtualFirmware &fw) { fw.mutableState().currentKeyMatrix = 3; });
        rig.view->mouseSetKeyMatrix(guns < 0 ? definitions().mid(0, 63) : definitions(guns), send, {25, 35, 45});

        QTEST(rig.commands(), "commands");
        if (guns < 0) {
            QCOMPARE(stored(rig, 0, 0), QStringList({"0", "0", "240", "0"}));
            QCOMPARE(stored(rig, 0, 15), QStringList({"255", "0", "2", "0"}));
            return;
        }
        QCOMPARE(stored(rig, 0, 5), QStringList({guns ? "8" : "0", "0", QString::number(guns), "0"}));
        const VirtualFirmware::State s = rig.state();
        if (!send)
            return;
        QCOMPARE(hex(s.keyMatrix[1].data(), 16), QByteArray("01 00 f0 00 01 00 f1 00 01 00 00 00 03 00 94 01"));
        QCOMPARE(hex(s.keyMatrix[1].data() + 28, 4), QByteArray("0a f0 1e 02"));
        if (!guns)
            return;
        QCOMPARE(hex(s.keyMatrix[2].data(), 4), QByteArray("0b 00 19 00"));
        QCOMPARE(hex(s.keyMatrix[3].data(), 4), QByteArray("0b 01 23 00"));
        QCOMPARE(hex(s.keyMatrix[4].data(), 4), QByteArray("0b 02 2d 00"));
        if (mouse == Mouse560) {
            QCOMPARE(int(s.profile[0][2]), guns == 2 ? 0x0F : 0x1F);
            QCOMPARE(hex(s.keyMatrix[2].data() + 20, 4), QByteArray("08 00 03 00"));
            QCOMPARE(int(s.currentProfile), 1);
        } else {
            QCOMPARE(hex(s.keyMatrix[1].data() + 20, 4), QByteArray("08 00 01 01"));
            QCOMPARE(hex(s.keyMatrix[2].data() + 20, 4), QByteArray("08 00 01 02"));
            QCOMPARE(int(s.currentKeyMatrix), 1);
        }
    }

    void resetAndSwitchKeyMatrix_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QByteArray>("entry1");   // missing here: from the factory profile, else zeros
        QTest::newRow("553") << Mouse553 << QByteArray("00 00 00 00");
        QTest::newRow("560") << Mouse560 << QByteArray("01 00 f1 00");
    }
    void resetAndSwitchKeyMatrix()
    {
        QFETCH(int, mouse);
        Rig rig(mouse);
        rig.view->setCurrentProfile(2);
        rig.view->setDataList("mouseFwKeyMatrix/0", {9, 8});   // short: padded with zeros
        rig.view->profileSettings.at(2)->remove("mouseFwKeyMatrix/1");
        rig.view->mouseResetKeyMatrix();
        for (int m = 2; m <= 4; ++m)
            QTEST(hex(rig.state().keyMatrix[m].data() + 4, 4), "entry1");
        QCOMPARE(hex(rig.state().keyMatrix[4].data(), 4), QByteArray("09 08 00 00"));
        QCOMPARE(rig.commands(), mouse == Mouse560 ? QByteArray("0d 0d 0d") : QByteArray("12 12 12"));

        rig.view->mouseSwitchKeyMatrix(4);
        QCOMPARE(mouse == Mouse560 ? int(rig.state().currentProfile) : int(rig.state().currentKeyMatrix) + 1, 4);
        rig.device.clearWireLog();
        rig.view->mouseSwitchKeyMatrix(0);
        rig.view->mouseSwitchKeyMatrix(5);
        QCOMPARE(rig.commands(), QByteArray());
    }

    void keyDefinitionReads()
    {
        Rig rig(Mouse560);
        rig.view->setDataList("mouseKeyMatrix/3", {5, 0});   // short: padded
        QCOMPARE(rig.view->mouseGetKeydefine(3, true), QVariantList({0, 0, 0xF4, 0}));
        QCOMPARE(rig.view->mouseGetKeydefine(3, false), QVariantList({5, 0, 0, 0}));
        QVERIFY(rig.view->mouseGetKeydefine(16, false).isEmpty());
    }

    void deletedMacroRevertsButtons()
    {
        Rig rig(Mouse553);
        for (auto [slot, button, name] : {std::tuple(0, 5, "Burst"), {2, 5, "Burst"}, {7, 5, "Burst"}, {2, 6, "Other"}, {3, 4, ""}}) {
            rig.view->setCurrentProfile(slot);
            rig.view->setDataList(QString("mouseKeyMatrix/%1").arg(button), {4, 1, button, 0});
            rig.view->setData(QString("mouseMacroKey/%1").arg(button), name);
        }
        // Definitions that are not four values are left alone, in the profile and in pD.bin:
        // padded with zeros, {4, 0} would name macro slot 0.
        rig.view->setCurrentProfile(1);
        rig.view->setData("mouseMacroKey/0", "Burst");
        rig.view->setDataList("mouseKeyMatrix/0", {4, 0});
        rig.view->setData("mouseMacroKey/9", "Burst");
        rig.view->setDataList("mouseKeyMatrix/9", {4, 1, 9, 0, 7});
        rig.view->setData("mouseMacroKey/3", "Burst");
        rig.view->setDataList("mouseKeyMatrix/3", {4, 1, 3, 0});
        rig.view->defaultSettings->setValue("mouseKeyMatrix/3", QVariantList{1, 2});
        rig.view->deleteMacroUpdateProfile("");   // would match every macro button without a name
        rig.view->deleteMacroUpdateProfile("Burst");
        QCOMPARE(stored(rig, 1, 0), QStringList({"4", "0"}));
        QCOMPARE(stored(rig, 1, 9), QStringList({"4", "1", "9", "0", "7"}));
        QCOMPARE(stored(rig, 1, 3), QStringList({"4", "1", "3", "0"}));
        const QStringList factory = rig.view->defaultSettings->value("mouseKeyMatrix/5").toStringList();
        QCOMPARE(stored(rig, 0, 5), factory);
        QCOMPARE(stored(rig, 2, 5), factory);
        QCOMPARE(stored(rig, 7, 5), QStringList({"4", "1", "5", "0"}));   // slots 6..9 are not the page's
        QCOMPARE(stored(rig, 2, 6), QStringList({"4", "1", "6", "0"}));
        QCOMPARE(stored(rig, 3, 4), QStringList({"4", "1", "4", "0"}));
        QCOMPARE(rig.commands(), QByteArray());
    }
};

QTEST_MAIN(TestMouseSlots)
#include "tst_mouseslots.moc"
