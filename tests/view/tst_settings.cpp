// The settings store over a virtual mouse's settings folder (handles, value format, reset) and
// the profile slots (reset, copy, import, export, what a failed replacement leaves behind).
#include "settingsrig_helper.h"
#include "testsupport.h"
#include "view/filedialogs.h"
#include "view/settingsstore.h"

#include <QSettings>
#include <QtTest>

using settingsrig::Rig;
using settingsrig::writeFile;

namespace {

bool slotsInOrder(const Rig &rig)
{
    bool ok = rig.view->profileSettings.size() == 10;
    for (int slot = 0; ok && slot < 10; ++slot)
        ok = rig.view->profileSettings.at(slot)->fileName().endsWith(QString("/p%1.bin").arg(slot + 1));
    return ok;
}

QString profileFile(int slot) { return QString("p%1.bin").arg(slot + 1); }

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
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
                QCOMPARE(rig.fileContent(profileFile(slot)), rig.fileContent("pD.bin"));
            QCOMPARE(rig.view->getDataList("mouseFwKeyMatrix/15", true).size(), rig.view->isGun ? 4 : 0);
        }
    }

    // A family the firmware does not report (an empty one from a settings folder without its
    // files) chooses no command set: the device gets nothing until a connect that knows it.
    void unknownFamilyRefused_data()
    {
        QTest::addColumn<QString>("icType");
        QTest::addColumn<bool>("refused");
        QTest::newRow("missing") << "" << true;
        QTest::newRow("not a family") << "12" << true;
        QTest::newRow("553") << "553" << false;
        QTest::newRow("571 speaks 553") << "571" << false;
    }
    void unknownFamilyRefused()
    {
        QFETCH(QString, icType);
        QFETCH(bool, refused);
        Rig rig(vdev::Mouse553, false);
        QSettings(rig.settingFile("apConfig.bin"), QSettings::IniFormat).setValue("mouse/icType", icType);
        testsupport::DebugCapture debug;
        rig.view->initUI();
        rig.view->mouseSetCurrentDPI(2);
        QCOMPARE(rig.commands().isEmpty(), refused);
        QCOMPARE(debug.lines().filter("Device refused: unknown firmware family").size(), refused ? 1 : 0);
        // The next connect decides afresh.
        QSettings(rig.settingFile("apConfig.bin"), QSettings::IniFormat).setValue("mouse/icType", "553");
        rig.view->clearHidBusy();
        rig.view->initUI();
        rig.view->mouseSetCurrentDPI(2);
        QVERIFY(!rig.commands().isEmpty());
    }

    // Settings that cannot be written (a read-only or full home; here a file in place of the
    // folder, which fails for root too) are reported once, also when Qt writes them on its own.
    void unwritableFolderReportedOnce()
    {
        Rig rig(vdev::Mouse553);
        QStringList told;
        store::setWriteFailureHandler([&told](const QString &folder) { told << folder; });
        testsupport::DebugCapture debug;
        const QString folder = rig.file("setting");
        QVERIFY(QDir().rename(folder, folder + "-away"));
        QVERIFY(writeFile(folder, "not a folder"));
        rig.view->setData("mouse/lod", 2);
        QTRY_COMPARE(told.size(), 1);
        QCOMPARE(QFileInfo(told.at(0)).canonicalFilePath(), QFileInfo(folder).canonicalFilePath());
        rig.view->setGlobalData("mouse/profileNo", 3);
        rig.view->resetProfile(1);
        QCoreApplication::processEvents();
        store::setWriteFailureHandler({});
        QCOMPARE(told.size(), 1);
        QCOMPARE(debug.lines().filter("Settings cannot be written").size(), 1);
    }

    void roundTripsAndRecovery()
    {
        Rig rig(vdev::Mouse560);
        rig.view->setCurrentProfile(4);
        rig.view->setDataList("mouse/dpiValueArray", {500, 1000, 1500.0, 2000});
        rig.view->setData("mouse/dpiCount", 3);
        QCOMPARE(rig.view->getDataList("mouse/dpiValueArray", false), QVariantList({"500", "1000", "1500", "2000"}));
        QCOMPARE(rig.view->getDataList("mouse/dpiCount", false), QVariantList({"3"}));
        QVERIFY(rig.view->getDataList("mouse/nothing", false).isEmpty());
        rig.view->profileSettings.at(4)->sync();
        QVERIFY(rig.fileContent("p5.bin").contains("dpiValueArray=500, 1000, 1500, 2000"));
        // Recovery reads the factory profile, whichever profile is current.
        rig.view->setCurrentProfile(7);
        QCOMPARE(rig.view->getData("mouse/dpiCount", true).toInt(), 8);

        testsupport::DebugCapture debug;
        for (int bad : {-1, 10, 30})
            rig.view->setCurrentProfile(bad);
        QCOMPARE(rig.view->currentProfile, 7);
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
        // Nothing to restore from: the user's device-wide settings stay.
        QCOMPARE(rig.view->getGlobalData("mouse/profileNo").toInt(), factoryCopy ? 0 : 5);
        if (factoryCopy)
            QCOMPARE(rig.fileContent("apConfig.bin"), factory);
        else
            QVERIFY(rig.fileContent("apConfig.bin").contains("icType=553"));
    }

    void copyProfile_data()
    {
        QTest::addColumn<int>("dest");
        QTest::addColumn<int>("src");
        QTest::newRow("0 from 5") << 0 << 5;
        QTest::newRow("5 from 0") << 5 << 0;
    }
    void copyProfile()
    {
        QFETCH(int, dest);
        QFETCH(int, src);
        Rig rig(vdev::Mouse560);
        rig.view->setCurrentProfile(src);
        rig.view->setDataList("mouse/lightValue", {5, 1, 3});   // not yet on disk: still copied
        rig.view->copyProfile(dest, src);
        QCOMPARE(rig.fileContent(profileFile(dest)), rig.fileContent(profileFile(src)));
        QVERIFY(rig.fileContent(profileFile(src)).contains("lightValue=5, 1, 3"));
        QVERIFY(slotsInOrder(rig));
        rig.view->setCurrentProfile(dest);
        QCOMPARE(rig.view->getDataList("mouse/lightValue", false), QVariantList({"5", "1", "3"}));
    }

    void replacedProfilesAreReadAfresh()
    {
        Rig rig(vdev::Mouse553);
        const QString pf = rig.dir.filePath("same.pf");
        QVERIFY(writeFile(pf, "[t]\nv=2\n"));
        filedialogs::ScopedHook hook([&](const filedialogs::Request &) { return pf; });
        rig.view->setCurrentProfile(1);
        for (int round = 0; round < 10; ++round) {
            // A new file of the old one's size, written within the same clock tick, is reread.
            QVERIFY(writeFile(rig.settingFile("p2.bin"), "[t]\nv=1\n"));
            rig.view->currentProfileSettings()->sync();
            QCOMPARE(rig.view->getData("t/v", false).toInt(), 1);
            QVERIFY(rig.view->loadProfile(1));
            QCOMPARE(rig.view->getData("t/v", false).toInt(), 2);
            // An unwritten key of the replaced handle never reaches the new file.
            rig.view->setData("test/marker", round);
            rig.view->resetProfile(1);
            for (const QString &key : rig.view->currentProfileSettings()->allKeys())
                QCOMPARE(rig.view->getData(key, false), rig.view->getData(key, true));
            QVERIFY(!rig.view->getData("test/marker", false).isValid());
        }
        QCoreApplication::processEvents();
        rig.view.reset();   // destroying the view writes whatever is pending
        QCOMPARE(rig.fileContent("p2.bin"), rig.fileContent("pD.bin"));
    }

    void import_data()
    {
        QTest::addColumn<QString>("chosen");   // "" = cancelled
        QTest::addColumn<bool>("loaded");
        QTest::newRow("cancelled") << "" << false;
        QTest::newRow("missing file") << "missing.pf" << false;
        QTest::newRow("a folder") << "folder.pf" << false;
        QTest::newRow("too large") << "huge.pf" << false;
        QTest::newRow("good file") << "good.pf" << true;
    }
    void import()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, loaded);
        Rig rig(vdev::Mouse553);
        QVERIFY(writeFile(rig.dir.filePath("good.pf"), "[mouse]\ndpiCount=2\n"));
        QVERIFY(writeFile(rig.dir.filePath("huge.pf"), QByteArray(2 * 1024 * 1024, 'x')));
        QDir(rig.dir.path()).mkdir("folder.pf");
        filedialogs::Request asked;
        filedialogs::ScopedHook hook([&](const filedialogs::Request &r) {
            asked = r;
            return chosen.isEmpty() ? QString() : rig.dir.filePath(chosen);
        });
        const QByteArray before = rig.fileContent("p3.bin");
        QSettings *handleBefore = rig.view->profileSettings.at(2);

        QCOMPARE(rig.view->loadProfile(2), loaded);
        QVERIFY(asked.mode == filedialogs::Mode::Open && asked.parent == rig.view.get());
        QCOMPARE(asked.caption + asked.filter, QString("Open FileProfile(*.pf)"));
        QCOMPARE(asked.directory, filedialogs::desktopFolder());
        QVERIFY(slotsInOrder(rig));
        rig.view->setCurrentProfile(2);
        QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), loaded ? 2 : 6);
        if (!loaded) {
            QCOMPARE(rig.fileContent("p3.bin"), before);
            QCOMPARE(rig.view->profileSettings.at(2), handleBefore);
        }
    }

    void exportOverwrites()
    {
        Rig rig(vdev::Mouse560);
        const QString target = rig.dir.filePath("export.pf");
        QVERIFY(writeFile(target, QByteArray(5000, 'o')));
        rig.view->setCurrentProfile(2);
        rig.view->setData("mouse/reportRate", 1);   // still pending: belongs in the export
        filedialogs::Request asked;
        filedialogs::ScopedHook hook([&](const filedialogs::Request &r) { asked = r; return target; });
        rig.view->saveProfile(2);
        QVERIFY(asked.mode == filedialogs::Mode::Save);
        QCOMPARE(asked.caption + asked.filter, QString("Save FileProfile(*.pf)"));
        QCOMPARE(settingsrig::readFile(target), rig.fileContent("p3.bin"));
        QVERIFY(rig.fileContent("p3.bin").contains("reportRate=1"));
    }

    void outOfRangeSlotsRefused()
    {
        Rig rig(vdev::Mouse553);
        int dialogs = 0;
        filedialogs::ScopedHook hook([&](const filedialogs::Request &) { ++dialogs; return QString(); });
        const QByteArray p1 = rig.fileContent("p1.bin");
        rig.view->resetProfile(10);
        rig.view->copyProfile(0, 10);
        rig.view->copyProfile(-1, 0);
        rig.view->saveProfile(-1);
        QVERIFY(!rig.view->loadProfile(10));
        QCOMPARE(dialogs, 0);
        QVERIFY(slotsInOrder(rig));
        QCOMPARE(rig.fileContent("p1.bin"), p1);
        QVERIFY(!QFile::exists(rig.settingFile("p11.bin")) && !QFile::exists(rig.settingFile("p0.bin")));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
