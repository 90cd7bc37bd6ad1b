// DPI, lighting, report rate, keyboard options, parameter block 0 and the "560" profile blocks
// on both virtual mice.
#include "settingsrig_helper.h"
#include "testsupport.h"
#include "view/dpiconversion.h"
#include "view/keytranslation.h"

#include <QSignalSpy>
#include <QtTest>

using settingsrig::hex;
using settingsrig::Rig;

Q_DECLARE_METATYPE(vdev::Fault)

class TestMouseSlots : public QObject
{
    Q_OBJECT
private slots:
    void dpiRegister_data()
    {
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("reg");
        // Out-of-range values are not clamped: the formula's result is cut to a byte.
        QTest::newRow("3360 below range wraps") << "3360" << 50 << 0xFF;
        QTest::newRow("3050 above the table") << "3050" << 4001 << 0;
        QTest::newRow("3360 400") << "3360" << 400 << 3;
        QTest::newRow("3050 250") << "3050" << 250 << 1;
        QTest::newRow("3050 251") << "3050" << 251 << 2;
        QTest::newRow("3050 4000") << "3050" << 4000 << 0x48;
        QTest::newRow("3389 12750") << "3389" << 12750 << 255;
        QTest::newRow("3389 12800 low byte") << "3389" << 12800 << 0;
        QTest::newRow("4090 5000") << "4090" << 5000 << 49;
        QTest::newRow("4090 5200") << "4090" << 5200 << 0x5A;
        QTest::newRow("unnamed sensor 5200") << "3395" << 5200 << 0x5A;
    }
    void dpiRegister()
    {
        QFETCH(QString, sensor);
        QFETCH(int, dpi);
        QTEST(int(dpi::registerValue(sensor.toStdString(), dpi)), "reg");
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
        Rig rig(vdev::Mouse553);
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
        Rig rig(vdev::Mouse560);
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
        const int m553 = vdev::Mouse553, m560 = vdev::Mouse560;
        row("colourful, unknown effect", m553, "c", {11, 2, 2}, "00 00 00");
        row("plain, unknown effect", m553, "", {3, 1, 1}, "00 00 02");
        row("colourful static, brightness 0", m553, "c", {0, 0, 0}, "01 00 00");
        row("colourful 1", m553, "c", {1, 0, 4}, "03 00 0a");
        row("colourful 8", m553, "c", {8, 2, 3}, "08 c0 0f");
        row("colourful 10", m553, "c", {10, 4, 2}, "0a 80 14");
        row("plain static", m553, "", {0, 0, 4}, "01 0a 02");
        row("plain 55328 breath", m553, "5", {1, 2, 0}, "02 03 01");
        row("plain 55328, 4", m553, "5", {4, 1, 0}, "02 02 03");
        row("560 plain", m560, "", {1, 2, 3}, "02 03 03");
        row("560 plain gun", m560, "g", {1, 2, 3}, "02 03 02");
        row("560 colourful", m560, "c", {8, 2, 3}, "08 c0 0f");
        row("560 colourful gun", m560, "cg", {8, 2, 3}, "08 c0 0f");
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
        if (mouse == vdev::Mouse553) {
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
        QTest::newRow("553 plain, 30 values: 24 sent twice") << vdev::Mouse553 << "" << 30 << QByteArray("10 10");
        QTest::newRow("553 plain, 3 values: rest black") << vdev::Mouse553 << "" << 3 << QByteArray("10 10");
        QTest::newRow("553 55328, eighth colour set") << vdev::Mouse553 << "5" << 24 << QByteArray("10");
        QTest::newRow("553 55328, eighth colour black") << vdev::Mouse553 << "5" << 21 << QByteArray("0c");
        QTest::newRow("560 colourful: block 0") << vdev::Mouse560 << "c" << 24 << QByteArray("0c");
        QTest::newRow("560 plain: block 1") << vdev::Mouse560 << "" << 24 << QByteArray("0c");
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
        const uint8_t *got = mouse == vdev::Mouse560 ? (kind == "c" ? s.profile[0].data() + 24 : s.profile[1].data() + 104)
                                                     : s.ledColours.data();
        if (rig.commands() == "0c" && mouse == vdev::Mouse553)
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
        QTest::newRow("553") << vdev::Mouse553 << QByteArray("04 01 06 07") << QByteArray("8b 02");
        QTest::newRow("560") << vdev::Mouse560 << QByteArray("04 01") << QByteArray("03 03 03 03");
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
        QCOMPARE(int(rig.state().parameter0Profile), 3);

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
        QTEST(mouse == vdev::Mouse560 ? hex(s.keyboardOption560.data(), 2) : hex(s.keyboardOptionSet.data(), 4), "options");
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
        Rig rig(vdev::Mouse553);
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
        QTest::addColumn<vdev::Fault>("fault");
        QTest::addColumn<QByteArray>("commands");   // two lighting edits, then gun keys
        QTest::addColumn<bool>("written");          // block 1
        // Each block's data phase is two reads at report length 64: skip 2 hits block 1.
        QTest::newRow("block 1 unread at connect")
            << vdev::Fault{vdev::Call::ReadTimeout, vdev::FaultAction::Fail, 2, 1, vdev::Mouse560, vdev::Iface::Command}
            << QByteArray("0c 0c 0c 0c 0c 0c 0c 0d 0d 0d 0d 02") << false;
        QTest::newRow("blocks 2..4 never answer")
            << vdev::Fault{vdev::Call::ReadTimeout, vdev::FaultAction::Fail, 4, -1, vdev::Mouse560, vdev::Iface::Command}
            << QByteArray("0c 0c 0c 0d 0d 0d 0d 02") << true;
        QTest::newRow("no read answered") << vdev::Fault{vdev::Call::GetFeature, vdev::FaultAction::Fail, 0, -1,
                                                         vdev::Mouse560, vdev::Iface::Command}
                                          << QByteArray() << false;
    }
    void unreadBlockIsNotWritten()
    {
        QFETCH(vdev::Fault, fault);
        QFETCH(bool, written);
        Rig rig(vdev::Mouse560, false);
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
            Rig rig(vdev::Mouse560);
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
        Rig plain(vdev::Mouse553);
        plain.view->mouseSetProfile(1);
        plain.view->mouseReadProfile(1);
        QCOMPARE(plain.view->mouseReadCurrentProfile().toInt(), 0);
        QCOMPARE(plain.commands(), QByteArray());
    }
};

QTEST_MAIN(TestMouseSlots)
#include "tst_mouseslots.moc"
