// Gun presets in the gun data file, one gun slot sent to either virtual mouse, and the
// per-profile gun values.
#include "macrorig.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

using settingsrig::Rig;
using macrorig::deviceFile;

class TestGun : public QObject
{
    Q_OBJECT
private slots:
    void presetsInShippedFile();
    void missingFileWritesNothing();
    void sendGunSlot_data();
    void sendGunSlot();
    void perProfileValues();
};

void TestGun::presetsInShippedFile()
{
    Rig rig(vdev::Mouse560);
    QCOMPARE(rig.view->getGunDataKey(), (QStringList{"0", "1", "2", "3", "4", "5"}));
    QCOMPARE(rig.view->getGunData(0), (QVariantList{"M416", "L-Click", "9", "0", "5", "0"}));

    rig.view->mouseSaveGundata(3, {"SCAR-L", "L-Click", 12, 0, 33, 5, "ignored"});
    QCOMPARE(rig.view->getGunData("3"), (QVariantList{"SCAR-L", "L-Click", "12", "0", "33", "5"}));
    rig.view->mouseSaveGundata(4, {"UNP9", "L-Click", 12, 0, 33});
    QCOMPARE(rig.view->getGunData(4), (QVariantList{"UNP9", "L-Click", "10", "0", "10", "0"}));

    // Renaming keeps the preset layout; an empty name never touches the whole group.
    rig.view->modifyGundata(1, {"Vector", "L-Click", 8, 0, 20, 3, "5"});
    QCOMPARE(rig.view->getGunData("Vector"), (QVariantList{"Vector", "L-Click", "8", "0", "20", "3"}));
    QVERIFY(rig.view->getGunData(5).isEmpty());
    rig.view->modifyGundata(0, {""});
    rig.view->modifyGundata(1, {"", "L-Click", 8, 0, 20, 3, "4"});
    rig.view->modifyGundata(7, {"0"});
    QCOMPARE(rig.view->getGunDataKey().size(), 6);
    rig.view->modifyGundata(0, {"Vector"});
    QCOMPARE(rig.view->getGunDataKey(), (QStringList{"0", "1", "2", "3", "4"}));
}

void TestGun::missingFileWritesNothing()
{
    Rig rig(vdev::Mouse560);
    QVERIFY(QFile::remove(deviceFile(rig, "gun/gunData.bin")));
    rig.view->mouseSaveGundata(0, {"M416", "L-Click", 10, 0, 10, 0});
    rig.view->modifyGundata(1, {"A", "L-Click", 10, 0, 10, 0, "0"});
    QVERIFY(!QFile::exists(deviceFile(rig, "gun/gunData.bin")));
    QVERIFY(rig.view->getGunData(0).isEmpty());
    QVERIFY(rig.view->getGunDataKey().isEmpty());
}

void TestGun::sendGunSlot_data()
{
    QTest::addColumn<int>("mouse");
    QTest::addColumn<bool>("isGun");
    QTest::addColumn<int>("index");
    QTest::addColumn<QVariantList>("data");
    QTest::addColumn<int>("option3");
    QTest::addColumn<QByteArray>("expected");   // 553: shots, X, Y of the slot; 560: block bytes 78..81

    QTest::newRow("not gun capable") << vdev::Mouse553 << false << 1 << QVariantList{0, 0, 10} << 0 << QByteArray();
    QTest::newRow("slot 0 refused") << vdev::Mouse553 << true << 0 << QVariantList{0, 0, 10} << 0 << QByteArray();
    QTest::newRow("slot 4 refused") << vdev::Mouse560 << true << 4 << QVariantList{0, 0, 10} << 0 << QByteArray();
    QTest::newRow("short data refused") << vdev::Mouse553 << true << 1 << QVariantList{0, 0} << 0 << QByteArray();
    QTest::newRow("553 slot 1") << vdev::Mouse553 << true << 1 << QVariantList{0, 0, 10} << 0
                                << QByteArray("\x00\x00\x0a", 3);
    QTest::newRow("553 Y negated") << vdev::Mouse553 << true << 1 << QVariantList{0, 0, 10} << 1
                                   << QByteArray("\x00\x00\xf6", 3);
    QTest::newRow("553 slot 3 low bytes") << vdev::Mouse553 << true << 3 << QVariantList{"300", 64, 5} << 0
                                          << QByteArray("\x2c\x40\x05", 3);
    QTest::newRow("560 slot 1") << vdev::Mouse560 << true << 1 << QVariantList{0, 0, 10} << 0
                                << QByteArray("\xf0\x00\x00\x0a", 4);
    QTest::newRow("560 slot 3") << vdev::Mouse560 << true << 3 << QVariantList{255, 64, 64} << 0
                                << QByteArray("\xf0\xff\x40\x40", 4);
}

void TestGun::sendGunSlot()
{
    QFETCH(int, mouse);
    QFETCH(int, index);
    QFETCH(QVariantList, data);
    QFETCH(int, option3);
    QFETCH(QByteArray, expected);
    QFETCH(bool, isGun);
    Rig rig(mouse);
    rig.view->isGun = isGun;
    rig.device.withFirmware(mouse, [&](VirtualFirmware &f) { f.mutableState().keyboardOption[2] = uint8_t(option3); });
    rig.view->profileBlocks[index + 1 < 5 ? index + 1 : 0][65] = 0xFF;
    rig.device.clearWireLog();
    rig.view->mouseSendGundata(index, data);

    const VirtualFirmware::State state = rig.device.firmwareState(mouse);
    if (expected.isEmpty()) {
        QVERIFY(rig.device.wireLog().empty());
        return;
    }
    if (mouse == vdev::Mouse553) {
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(state.gunData[index - 1].data()), 3), expected);
    } else {
        const auto &block = state.profile[index + 1];
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(block.data() + 78), 4), expected);
        QCOMPARE(int(block[65]), 0xFB);
    }
}

void TestGun::perProfileValues()
{
    Rig rig(vdev::Mouse553);
    QCOMPARE(rig.view->getXYSensitive(2), QVariant(4));
    QCOMPARE(rig.view->getselectGun(2), QVariant(QString()));
    rig.view->setXYSensitive(2, 7);
    rig.view->setSelectGun(2, "AKM");
    QCOMPARE(rig.view->getXYSensitive(2).toInt(), 7);
    QCOMPARE(rig.view->getselectGun("2").toString(), QString("AKM"));
    rig.view->setCurrentProfile(1);
    QCOMPARE(rig.view->getXYSensitive(2), QVariant(4));
    QSettings p1(deviceFile(rig, "setting/p1.bin"), QSettings::IniFormat);
    QCOMPARE(p1.value("selectGun/2").toString(), QString("AKM"));
}

QTEST_MAIN(TestGun)
#include "tst_gun.moc"
