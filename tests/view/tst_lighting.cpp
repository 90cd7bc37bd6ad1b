// Lighting effects and colours, report rate, keyboard options, parameter block 0 and the
// "560" profile blocks on both virtual mice.
#include "settingsrig_helper.h"

#include <QTemporaryDir>
#include <QtTest>

using settingsrig::hex;
using settingsrig::Rig;

class TestLighting : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config;
private slots:
    void initTestCase() { settingsrig::isolateDefaultStore(m_config.path()); }

    void effect_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QString>("kind");   // c colourful, g gun, 5 is55328
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QByteArray>("sent");    // 0x0D request (553) or bytes 71..73 of block 1 (560)
        QTest::addColumn<QByteArray>("commands");
        QTest::newRow("colourful, unknown effect") << vdev::Mouse553 << "c" << QList<int>{11, 2, 2} << QByteArray("00 00 00") << QByteArray("0d");
        QTest::newRow("plain, unknown effect") << vdev::Mouse553 << "" << QList<int>{3, 1, 1} << QByteArray("00 00 02") << QByteArray("0d");
        QTest::newRow("colourful static, brightness 0") << vdev::Mouse553 << "c" << QList<int>{0, 0, 0} << QByteArray("01 00 00") << QByteArray("0d");
        QTest::newRow("colourful 1") << vdev::Mouse553 << "c" << QList<int>{1, 0, 4} << QByteArray("03 00 0a") << QByteArray("0d");
        QTest::newRow("colourful 8") << vdev::Mouse553 << "c" << QList<int>{8, 2, 3} << QByteArray("08 c0 0f") << QByteArray("0d");
        QTest::newRow("colourful 10") << vdev::Mouse553 << "c" << QList<int>{10, 4, 2} << QByteArray("0a 80 14") << QByteArray("0d");
        QTest::newRow("plain static") << vdev::Mouse553 << "" << QList<int>{0, 0, 4} << QByteArray("01 0a 02") << QByteArray("0d");
        QTest::newRow("plain 55328 breath") << vdev::Mouse553 << "5" << QList<int>{1, 2, 0} << QByteArray("02 03 01") << QByteArray("0d");
        QTest::newRow("plain 55328, 4") << vdev::Mouse553 << "5" << QList<int>{4, 1, 0} << QByteArray("02 02 03") << QByteArray("0d");
        QTest::newRow("560 plain") << vdev::Mouse560 << "" << QList<int>{1, 2, 3} << QByteArray("02 03 03") << QByteArray("0c");
        QTest::newRow("560 plain gun") << vdev::Mouse560 << "g" << QList<int>{1, 2, 3} << QByteArray("02 03 02") << QByteArray("0c 0c 0c 0c");
        QTest::newRow("560 colourful") << vdev::Mouse560 << "c" << QList<int>{8, 2, 3} << QByteArray("08 c0 0f") << QByteArray("0c");
        QTest::newRow("560 colourful gun") << vdev::Mouse560 << "cg" << QList<int>{8, 2, 3} << QByteArray("08 c0 0f") << QByteArray("0c 0c 0c 0c");
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
        QTEST(rig.commands(), "commands");
        const VirtualFirmware::State s = rig.state();
        if (mouse == vdev::Mouse553) {
            QCOMPARE(hex(s.rgbEffect.data(), 3), sent);
            return;
        }
        QCOMPARE(hex(s.profile[1].data() + 71, 3), sent);
        QCOMPARE(hex(rig.view->profileBlocks[1] + 71, 3), sent);
        const QByteArray others = kind == "" ? QByteArray("02 03 02") : sent;   // block 1 alone gets 3
        QCOMPARE(hex(rig.view->profileBlocks[4] + 71, 3), others);
        QCOMPARE(hex(s.profile[4].data() + 71, 3), kind.contains('g') ? others : QByteArray("00 00 00"));
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

    void parameterBlock0()
    {
        for (int mouse : {vdev::Mouse553, vdev::Mouse560}) {
            Rig rig(mouse);
            rig.view->mouseSetParameter_0({8, 1, 7}, 3);   // too short: refused
            rig.view->mouseSetParameter_0({8, 1, 7, 252, 5, 3, 99}, 3);
            QCOMPARE(rig.commands(), QByteArray("02"));
            QCOMPARE(hex(rig.state().parameter0.data(), 8), QByteArray("08 01 07 fc 05 03 00 00"));
            QCOMPARE(int(rig.state().parameter0Profile), 3);
        }
    }

    void rateAndKeyboardOption_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QByteArray>("options");
        QTest::newRow("553") << vdev::Mouse553 << QByteArray("04 01 06 07");
        QTest::newRow("560") << vdev::Mouse560 << QByteArray("04 01");
    }
    void rateAndKeyboardOption()
    {
        QFETCH(int, mouse);
        Rig rig(mouse);
        rig.view->mouseSetReportRate(2);
        QCOMPARE(int(rig.state().reportRate), 2);
        // Command 0x03 is the report rate on a 560 mouse: keyboard options must not touch it.
        rig.view->mouseSetKeyboardoption(4, 1, 6, 7);
        const VirtualFirmware::State s = rig.state();
        QCOMPARE(int(s.reportRate), 2);
        QTEST(mouse == vdev::Mouse560 ? hex(s.keyboardOption560.data(), 2) : hex(s.keyboardOptionSet.data(), 4), "options");
        const QVariantList identity = {s.keyboardOption[0], s.keyboardOption[1], s.keyboardOption[2], s.keyboardOption[3]};
        QCOMPARE(rig.view->GetKeyboardoption(), identity);
        rig.device.unplug(mouse);
        QCOMPARE(rig.view->GetKeyboardoption(), QVariantList({0, 0, 0, 0}));
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

QTEST_MAIN(TestLighting)
#include "tst_lighting.moc"
