// DPI register conversion per sensor, and the stage set on both virtual mice.
#include "settingsrig_helper.h"
#include "view/dpiconversion.h"

#include <QTemporaryDir>
#include <QtTest>

using settingsrig::Rig;

namespace {

QByteArray hex(const uint8_t *data, int length)
{
    return QByteArray(reinterpret_cast<const char *>(data), length).toHex(' ');
}

} // namespace

class TestDpi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void registerValue_data();
    void registerValue();
    void highBitsOf3389();
    void stageSet553_data();
    void stageSet553();
    void profileBlocks560_data();
    void profileBlocks560();
    void stageCountOutOfRange_data();
    void stageCountOutOfRange();
    void currentStage_data();
    void currentStage();

private:
    QTemporaryDir m_config;
};

void TestDpi::initTestCase()
{
    settingsrig::isolateDefaultStore(m_config.path());
}

void TestDpi::registerValue_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("reg");
    // Out-of-range values are not clamped: the formula's result is cut to a byte.
    QTest::newRow("3360 below range wraps") << "3360" << 50 << 0xFF;
    QTest::newRow("3050 above the table") << "3050" << 4001 << 0;
    QTest::newRow("3050 negative") << "3050" << -5 << 1;
    QTest::newRow("3360 100") << "3360" << 100 << 0;
    QTest::newRow("3360 400") << "3360" << 400 << 3;
    QTest::newRow("3360 12000") << "3360" << 12000 << 119;
    QTest::newRow("3050 250") << "3050" << 250 << 1;
    QTest::newRow("3050 251") << "3050" << 251 << 2;
    QTest::newRow("3050 2000") << "3050" << 2000 << 8;
    QTest::newRow("3050 2001") << "3050" << 2001 << 0x45;
    QTest::newRow("3050 4000") << "3050" << 4000 << 0x48;
    QTest::newRow("3389 12750") << "3389" << 12750 << 255;
    QTest::newRow("3389 12800 low byte") << "3389" << 12800 << 0;
    QTest::newRow("4090 5000") << "4090" << 5000 << 49;
    QTest::newRow("4090 5001") << "4090" << 5001 << 0x59;
    QTest::newRow("4090 5200") << "4090" << 5200 << 0x5A;
    QTest::newRow("unnamed sensor 5200") << "3395" << 5200 << 0x5A;
    QTest::newRow("empty sensor 800") << "" << 800 << 7;
}

void TestDpi::registerValue()
{
    QFETCH(QString, sensor);
    QFETCH(int, dpi);
    QTEST(int(dpi::registerValue(sensor.toStdString(), dpi)), "reg");
}

void TestDpi::highBitsOf3389()
{
    const dpi::Registers r = dpi::convert("3389", {12750, 12800, 400, 16000, 0, 0, 0, 25550, 13000});
    QCOMPARE(hex(r.stage.data(), 8), QByteArray("ff 00 08 40 00 00 00 ff"));
    QCOMPARE(int(r.highBits), 0x8A);   // stages 2, 4 and 8; the ninth value is ignored
    QCOMPARE(int(dpi::convert("3360", {20000}).highBits), 0);
}

void TestDpi::stageSet553_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("ten values, ninth and tenth ignored")
        << 8 << QVariantList({400, 800, 1600, 3200, 100, 200, 300, 500, 600, 700}) << QByteArray("03 07 0f 1f 00 01 02 04");
    QTest::newRow("values as text") << 2 << QVariantList({"400", "800.0"}) << QByteArray("03 07 00 00 00 00 00 00");
    QTest::newRow("four of four") << 4 << QVariantList({400, 800, 1600, 3200}) << QByteArray("03 07 0f 1f 00 00 00 00");
    QTest::newRow("two of eight") << 2 << QVariantList({400, 800, 1600, 3200, 4800, 6400, 8000, 12000})
                                  << QByteArray("03 07 80 80 80 80 80 80");
}

void TestDpi::stageSet553()
{
    QFETCH(int, count);
    QFETCH(QVariantList, values);
    Rig rig(vdev::Mouse553);
    rig.view->mouseSetDpi(count, "3360", values);
    const VirtualFirmware::State s = rig.state();
    QTEST(hex(s.dpiSet.data(), 8), "sent");
    QCOMPARE(int(s.dpiStageCount), count);
    QCOMPARE(rig.requests().size(), 1);
}

void TestDpi::profileBlocks560_data()
{
    QTest::addColumn<bool>("gun");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("blocksSent");
    QTest::newRow("without gun, 3360") << false << "3360" << 1;
    QTest::newRow("with gun, 3389") << true << "3389" << 4;
}

void TestDpi::profileBlocks560()
{
    QFETCH(bool, gun);
    QFETCH(QString, sensor);
    Rig rig(vdev::Mouse560);
    rig.view->isGun = gun;
    for (int block = 0; block < 5; ++block)
        for (int i = 0; i < 128; ++i)
            rig.view->profileBlocks[block][i] = 0xEE;
    rig.view->mouseSetDpi(3, sensor, {400, 800, 12800});

    QTEST(rig.count(0x0C), "blocksSent");
    const VirtualFirmware::State s = rig.state();
    const QByteArray regs = sensor == "3389" ? "08 10 00 00 00 00 00 00" : "03 07 7f 00 00 00 00 00";
    const QByteArray high = sensor == "3389" ? "04 04" : "ee ee";
    for (int block = 1; block <= 4; ++block) {
        const uint8_t *b = rig.view->profileBlocks[block];
        QCOMPARE(hex(b + 84, 8), regs);
        QCOMPARE(hex(b + 92, 8), regs);
        QCOMPARE(int(b[100]), 0x07);
        QCOMPARE(hex(b + 82, 2), high);
        QCOMPARE(int(b[81]), 0xEE);
        QCOMPARE(int(b[101]), 0xEE);
    }
    QCOMPARE(hex(s.profile[1].data() + 84, 8), regs);
    QCOMPARE(int(s.profile[4][100]), gun ? 0x07 : 0);
    QCOMPARE(int(rig.view->profileBlocks[0][100]), 0xEE);
}

void TestDpi::stageCountOutOfRange_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
    QTest::newRow("9") << 9;
}

void TestDpi::stageCountOutOfRange()
{
    QFETCH(int, count);
    for (int mouse : {vdev::Mouse553, vdev::Mouse560}) {
        Rig rig(mouse);
        rig.view->mouseSetDpi(count, "3360", {400, 800});
        QVERIFY(rig.requests().isEmpty());
    }
}

void TestDpi::currentStage_data()
{
    QTest::addColumn<int>("mouse");
    QTest::newRow("553") << vdev::Mouse553;
    QTest::newRow("560") << vdev::Mouse560;
}

void TestDpi::currentStage()
{
    QFETCH(int, mouse);
    Rig rig(mouse);
    rig.view->mouseSetCurrentDPI(2);
    QCOMPARE(int(rig.state().dpiStage), 2);
    rig.device.withFirmware(mouse, [](VirtualFirmware &fw) { fw.mutableState().dpiStage = 5; });
    QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 5);
    // No answer (mouse gone): the stage reads as 0.
    rig.device.unplug(mouse);
    QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 0);
}

QTEST_MAIN(TestDpi)
#include "tst_dpi.moc"
