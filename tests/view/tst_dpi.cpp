// DPI register conversion per sensor, and the stage set on both virtual mice.
#include "settingsrig_helper.h"
#include "view/dpiconversion.h"

#include <QTemporaryDir>
#include <QtTest>

using settingsrig::hex;
using settingsrig::Rig;

class TestDpi : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config;
private slots:
    void initTestCase() { settingsrig::isolateDefaultStore(m_config.path()); }

    void registerValue_data()
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
    void registerValue()
    {
        QFETCH(QString, sensor);
        QFETCH(int, dpi);
        QTEST(int(dpi::registerValue(sensor.toStdString(), dpi)), "reg");
    }

    void highBitsOf3389()
    {
        const dpi::Registers r = dpi::convert("3389", {12750, 12800, 400, 16000, 0, 0, 0, 25550, 13000});
        QCOMPARE(hex(r.stage.data(), 8), QByteArray("ff 00 08 40 00 00 00 ff"));
        QCOMPARE(int(r.highBits), 0x8A);   // stages 2, 4 and 8; a ninth value is ignored
        QCOMPARE(int(dpi::convert("3360", {20000}).highBits), 0);
    }

    void stageSet553_data()
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
    void stageSet553()
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

    void profileBlocks560_data()
    {
        QTest::addColumn<bool>("gun");
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<QByteArray>("commands");
        QTest::newRow("without gun, 3360") << false << "3360" << QByteArray("0c");
        QTest::newRow("with gun, 3389") << true << "3389" << QByteArray("0c 0c 0c 0c");
    }
    void profileBlocks560()
    {
        QFETCH(bool, gun);
        QFETCH(QString, sensor);
        Rig rig(vdev::Mouse560);
        rig.view->isGun = gun;
        memset(rig.view->profileBlocks, 0xEE, sizeof rig.view->profileBlocks);
        rig.view->mouseSetDpi(3, sensor, {400, 800, 12800});
        QTEST(rig.commands(), "commands");
        const QByteArray regs = sensor == "3389" ? "08 10 00 00 00 00 00 00" : "03 07 7f 00 00 00 00 00";
        for (int block = 1; block <= 4; ++block) {
            const uint8_t *b = rig.view->profileBlocks[block];
            QCOMPARE(hex(b + 81, 21), "ee " + QByteArray(sensor == "3389" ? "04 04 " : "ee ee ") + regs + " " + regs + " 07 ee");
        }
        QCOMPARE(hex(rig.state().profile[1].data() + 84, 8), regs);
        QCOMPARE(int(rig.state().profile[4][100]), gun ? 0x07 : 0);
        QCOMPARE(int(rig.view->profileBlocks[0][100]), 0xEE);
    }

    void currentStage_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::newRow("553") << vdev::Mouse553;
        QTest::newRow("560") << vdev::Mouse560;
    }
    void currentStage()
    {
        QFETCH(int, mouse);
        Rig rig(mouse);
        rig.view->mouseSetCurrentDPI(2);
        QCOMPARE(int(rig.state().dpiStage), 2);
        rig.device.withFirmware(mouse, [](VirtualFirmware &fw) { fw.mutableState().dpiStage = 5; });
        QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 5);
        rig.device.unplug(mouse);   // no answer: stage 0
        QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 0);
    }
};

QTEST_MAIN(TestDpi)
#include "tst_dpi.moc"
