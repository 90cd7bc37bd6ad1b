// The settings store over a virtual mouse's settings folder: handles, value format, reset.
#include "settingsrig_helper.h"
#include "testsupport.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using settingsrig::Rig;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void defaultStoreBeforeInitUI();
    void initUIOpensTheDeviceFiles_data();
    void initUIOpensTheDeviceFiles();
    void listsComeBackAsStrings();
    void recoveryReadsTheDefaultProfile();
    void currentProfileOutOfRange_data();
    void currentProfileOutOfRange();
    void resetApconfig_data();
    void resetApconfig();
    void profileBlocksReadOnFirstConnect();

private:
    QTemporaryDir m_config;
};

void TestSettings::initTestCase()
{
    settingsrig::isolateDefaultStore(m_config.path());
}

void TestSettings::defaultStoreBeforeInitUI()
{
    {
        QSettings own;
        own.setValue("mouse/icType", "own store");
    }
    Rig rig(vdev::Mouse553, false);
    QCOMPARE(rig.view->getGlobalData("mouse/icType").toString(), QString("own store"));
    // No profile is open yet: reads are empty and writes are refused, nothing is created.
    QVERIFY(!rig.view->getData("mouse/dpiCount", false).isValid());
    rig.view->setData("mouse/dpiCount", 3);
    QVERIFY(rig.view->getDataList("mouse/dpiValueArray", false).isEmpty());

    rig.view->initUI();
    QCOMPARE(rig.view->getGlobalData("mouse/icType").toString(), QString("553"));
    QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), 6);
}

void TestSettings::initUIOpensTheDeviceFiles_data()
{
    QTest::addColumn<int>("mouse");
    QTest::addColumn<QString>("icType");
    QTest::addColumn<bool>("colourful");
    QTest::addColumn<bool>("gun");
    QTest::newRow("553") << vdev::Mouse553 << "553" << false << false;
    QTest::newRow("560") << vdev::Mouse560 << "560" << true << true;
}

void TestSettings::initUIOpensTheDeviceFiles()
{
    QFETCH(int, mouse);
    Rig rig(mouse);
    QTEST(rig.view->icType, "icType");
    QTEST(rig.view->isColorful, "colourful");
    QTEST(rig.view->isGun, "gun");
    QVERIFY(!rig.view->is55328);
    QCOMPARE(rig.view->profileSettings.size(), 10);
    for (int slot = 0; slot < 10; ++slot)
        QCOMPARE(rig.view->profileSettings.at(slot)->fileName(),
                 QFileInfo(rig.settingFile(QString("p%1.bin").arg(slot + 1))).absoluteFilePath());
    // Shipped data: device-wide keys and every page's per-profile keys are there.
    for (const char *key : {"mouse/minDPI", "mouse/maxDPI", "mouse/dpiBase", "mouse/sensorType",
                            "mouse/keyCount", "common/language", "common/url", "mouse/profileNo"})
        QVERIFY2(rig.view->getGlobalData(key).isValid(), key);
    QCOMPARE(rig.view->getGlobalData("common/language").toString(), QString("English"));
    for (const char *key : {"mouse/dpiCount", "mouse/currentDpiCount", "mouse/reportRate", "mouse/lod",
                            "mouse/mouseRate", "mouse/doubleRate", "mouse/scrollRate"})
        QVERIFY2(rig.view->getData(key, false).isValid() && rig.view->getData(key, true).isValid(), key);
    QCOMPARE(rig.view->getDataList("mouse/dpiValueArray", true).size(), 8);
    QCOMPARE(rig.view->getDataList("mouse/lightValue", true).size(), 3);
    QCOMPARE(rig.view->getDataList("mouse/colorValue", true).size(), 24);
    for (int n = 0; n < 16; ++n)
        QCOMPARE(rig.view->mouseGetKeydefine(n, false).size(), 4);
    if (rig.view->isGun)
        QCOMPARE(rig.view->getDataList("mouseFwKeyMatrix/15", false).size(), 4);
}

void TestSettings::listsComeBackAsStrings()
{
    Rig rig(vdev::Mouse553);
    rig.view->setCurrentProfile(4);
    rig.view->setDataList("mouse/dpiValueArray", {500, 1000, 1500.0, 2000});
    rig.view->setData("mouse/lod", 2);
    rig.view->setGlobalData("mouse/profileNo", 4);
    const QVariantList expected = {"500", "1000", "1500", "2000"};
    QCOMPARE(rig.view->getDataList("mouse/dpiValueArray", false), expected);

    // Written through to p5.bin and apConfig.bin in the INI list form.
    rig.view->profileSettings.at(4)->sync();
    rig.view->globalSettings->sync();
    QSettings p5(rig.settingFile("p5.bin"), QSettings::IniFormat);
    QCOMPARE(p5.value("mouse/dpiValueArray").toStringList(), QStringList({"500", "1000", "1500", "2000"}));
    QVERIFY(rig.fileContent("p5.bin").contains("dpiValueArray=500, 1000, 1500, 2000"));
    QCOMPARE(p5.value("mouse/lod").toString(), QString("2"));
    QVERIFY(rig.fileContent("apConfig.bin").contains("profileNo=4"));
    // A single value asked for as a list is a one-element list, a missing key an empty one.
    QCOMPARE(rig.view->getDataList("mouse/lod", false), QVariantList({"2"}));
    QVERIFY(rig.view->getDataList("mouse/nothing", false).isEmpty());
}

void TestSettings::recoveryReadsTheDefaultProfile()
{
    Rig rig(vdev::Mouse560);
    rig.view->setCurrentProfile(2);
    rig.view->setData("mouse/dpiCount", 3);
    rig.view->setCurrentProfile(7);
    rig.view->setData("mouse/dpiCount", 2);
    QCOMPARE(rig.view->getData("mouse/dpiCount", true).toInt(), 8);
    QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), 2);
    rig.view->setCurrentProfile(2);
    QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), 3);
    QCOMPARE(rig.view->getData("mouse/dpiCount", true).toInt(), 8);
}

void TestSettings::currentProfileOutOfRange_data()
{
    QTest::addColumn<int>("profile");
    QTest::newRow("-1") << -1;
    QTest::newRow("10") << 10;
    QTest::newRow("30") << 30;
}

void TestSettings::currentProfileOutOfRange()
{
    QFETCH(int, profile);
    Rig rig(vdev::Mouse553);
    rig.view->setCurrentProfile(3);
    testsupport::DebugCapture debug;
    rig.view->setCurrentProfile(profile);
    QCOMPARE(rig.view->currentProfile, 3);
    QVERIFY(debug.contains(QString("setCurrentProfile refused %1").arg(profile)));
}

void TestSettings::resetApconfig_data()
{
    QTest::addColumn<bool>("factoryCopy");
    QTest::newRow("factory copy missing") << false;
    QTest::newRow("factory copy present") << true;
}

void TestSettings::resetApconfig()
{
    QFETCH(bool, factoryCopy);
    Rig rig(vdev::Mouse553);
    const QByteArray factory = rig.fileContent("apConfigD.bin");
    if (!factoryCopy)
        QVERIFY(QFile::remove(rig.settingFile("apConfigD.bin")));
    rig.view->setGlobalData("mouse/profileNo", 5);
    rig.view->setGlobalData("common/language", "Ukrainian");

    rig.view->resetApconfig();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();

    if (factoryCopy) {
        QCOMPARE(rig.fileContent("apConfig.bin"), factory);
        QCOMPARE(rig.view->getGlobalData("mouse/profileNo").toInt(), 0);
        QCOMPARE(rig.view->getGlobalData("common/language").toString(), QString("English"));
    } else {
        // Nothing to restore from: the user's device-wide settings stay as they are.
        QCOMPARE(rig.view->getGlobalData("mouse/profileNo").toInt(), 5);
        QSettings onDisk(rig.settingFile("apConfig.bin"), QSettings::IniFormat);
        QCOMPARE(onDisk.value("common/language").toString(), QString("Ukrainian"));
        QCOMPARE(onDisk.value("mouse/icType").toString(), QString("553"));
    }
}

void TestSettings::profileBlocksReadOnFirstConnect()
{
    // The view has never seen this device, so detection could not know its family before
    // initUI: initUI reads the blocks itself.
    Rig rig(vdev::Mouse560, false);
    rig.device.withFirmware(rig.mouse, [](VirtualFirmware &fw) {
        for (int block = 0; block < 5; ++block)
            for (int i = 0; i < 128; ++i)
                fw.mutableState().profile[block][i] = uint8_t(block * 40 + i);
    });
    rig.view->initUI();
    for (int block = 0; block < 5; ++block)
        QCOMPARE(rig.view->profileBlocks[block][127], uchar(block * 40 + 127));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
