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
    QTemporaryDir m_config;
private slots:
    void initTestCase() { settingsrig::isolateDefaultStore(m_config.path()); }

    void defaultStoreBeforeInitUI()
    {
        QSettings().setValue("mouse/icType", "own store");
        Rig rig(vdev::Mouse553, false);
        QCOMPARE(rig.view->getGlobalData("mouse/icType").toString(), QString("own store"));
        rig.view->setData("mouse/dpiCount", 3);   // no profile open yet: refused
        QVERIFY(!rig.view->getData("mouse/dpiCount", false).isValid());
        rig.view->initUI();
        QCOMPARE(rig.view->getGlobalData("mouse/icType").toString(), QString("553"));
        QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), 6);
    }

    void shippedFolders()
    {
        for (int mouse : {vdev::Mouse553, vdev::Mouse560}) {
            Rig rig(mouse);
            QCOMPARE(rig.view->icType, QString(vdev::mouseModel(mouse).familyName));
            QCOMPARE(rig.view->isGun, mouse == vdev::Mouse560);
            QCOMPARE(rig.view->getGlobalData("common/language").toString(), QString("English"));
            for (const char *key : {"mouse/minDPI", "mouse/maxDPI", "mouse/dpiBase", "mouse/sensorType", "mouse/keyCount"})
                QVERIFY2(rig.view->getGlobalData(key).isValid(), key);
            for (int slot = 0; slot < 10; ++slot)
                QCOMPARE(rig.fileContent(QString("p%1.bin").arg(slot + 1)), rig.fileContent("pD.bin"));
            QCOMPARE(rig.view->getDataList("mouseFwKeyMatrix/15", true).size(), rig.view->isGun ? 4 : 0);
        }
    }

    void listsComeBackAsStrings()
    {
        Rig rig(vdev::Mouse553);
        rig.view->setCurrentProfile(4);
        rig.view->setDataList("mouse/dpiValueArray", {500, 1000, 1500.0, 2000});
        rig.view->setData("mouse/lod", 2);
        QCOMPARE(rig.view->getDataList("mouse/dpiValueArray", false), QVariantList({"500", "1000", "1500", "2000"}));
        QCOMPARE(rig.view->getDataList("mouse/lod", false), QVariantList({"2"}));
        QVERIFY(rig.view->getDataList("mouse/nothing", false).isEmpty());
        rig.view->profileSettings.at(4)->sync();
        QVERIFY(rig.fileContent("p5.bin").contains("dpiValueArray=500, 1000, 1500, 2000"));
    }

    void recoveryReadsTheDefaultProfile()
    {
        Rig rig(vdev::Mouse560);
        rig.view->setCurrentProfile(2);
        rig.view->setData("mouse/dpiCount", 3);
        QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), 3);
        rig.view->setCurrentProfile(7);
        QCOMPARE(rig.view->getData("mouse/dpiCount", true).toInt(), 8);
    }

    void currentProfileOutOfRange()
    {
        Rig rig(vdev::Mouse553);
        rig.view->setCurrentProfile(3);
        testsupport::DebugCapture debug;
        for (int bad : {-1, 10, 30})
            rig.view->setCurrentProfile(bad);
        QCOMPARE(rig.view->currentProfile, 3);
        QVERIFY(debug.contains("setCurrentProfile refused 10"));
    }

    void resetApconfig_data()
    {
        QTest::addColumn<bool>("factoryCopy");
        QTest::newRow("factory copy missing") << false;
        QTest::newRow("factory copy present") << true;
    }
    void resetApconfig()
    {
        QFETCH(bool, factoryCopy);
        Rig rig(vdev::Mouse553);
        const QByteArray factory = rig.fileContent("apConfigD.bin");
        if (!factoryCopy)
            QVERIFY(QFile::remove(rig.settingFile("apConfigD.bin")));
        rig.view->setGlobalData("mouse/profileNo", 5);
        rig.view->resetApconfig();
        QCoreApplication::processEvents();
        if (factoryCopy) {
            QCOMPARE(rig.fileContent("apConfig.bin"), factory);
            QCOMPARE(rig.view->getGlobalData("mouse/profileNo").toInt(), 0);
        } else {   // nothing to restore from: the user's device-wide settings stay
            QCOMPARE(rig.view->getGlobalData("mouse/profileNo").toInt(), 5);
            QVERIFY(rig.fileContent("apConfig.bin").contains("icType=553"));
        }
    }

    void profileBlocksReadOnFirstConnect()
    {
        // The view has not seen this device before, so only initUI knows it is a "560" one.
        Rig rig(vdev::Mouse560, false);
        rig.device.withFirmware(rig.mouse, [](VirtualFirmware &fw) {
            for (int block = 0; block < 5; ++block)
                fw.mutableState().profile[block][127] = uint8_t(block + 40);
        });
        rig.view->initUI();
        for (int block = 0; block < 5; ++block)
            QCOMPARE(int(rig.view->profileBlocks[block][127]), block + 40);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
