// Profile slots: reset, copy, import and export, and what a failed replacement leaves behind.
#include "settingsrig_helper.h"
#include "testsupport.h"
#include "view/filedialogs.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using settingsrig::Rig;

namespace {

bool writeFile(const QString &name, const QByteArray &content)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

// Every handle still points at its own slot file.
bool slotsInOrder(const Rig &rig)
{
    if (rig.view->profileSettings.size() != 10)
        return false;
    for (int slot = 0; slot < 10; ++slot)
        if (!rig.view->profileSettings.at(slot)->fileName().endsWith(QString("/p%1.bin").arg(slot + 1)))
            return false;
    return true;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void copyProfile_data();
    void copyProfile();
    void resetProfileGivesFactoryValues();
    void unwrittenChangesDoNotReturn();
    void sameSizeReplacementIsReread();
    void import_data();
    void import();
    void exportOverwrites();
    void outOfRangeSlotsRefused();

private:
    QTemporaryDir m_config;
};

void TestProfiles::initTestCase()
{
    settingsrig::isolateDefaultStore(m_config.path());
}

void TestProfiles::copyProfile_data()
{
    QTest::addColumn<int>("dest");
    QTest::addColumn<int>("src");
    QTest::newRow("0 from 5") << 0 << 5;
    QTest::newRow("5 from 0") << 5 << 0;
}

void TestProfiles::copyProfile()
{
    QFETCH(int, dest);
    QFETCH(int, src);
    Rig rig(vdev::Mouse560);
    rig.view->setCurrentProfile(src);
    rig.view->setData("mouse/lod", 2);
    rig.view->setDataList("mouse/lightValue", {5, 1, 3});   // not yet written to disk
    const QString srcFile = QString("p%1.bin").arg(src + 1);
    const QString destFile = QString("p%1.bin").arg(dest + 1);

    rig.view->copyProfile(dest, src);
    settle();

    QCOMPARE(rig.fileContent(destFile), rig.fileContent(srcFile));
    QVERIFY(rig.fileContent(srcFile).contains("lightValue=5, 1, 3"));
    QVERIFY(slotsInOrder(rig));
    rig.view->setCurrentProfile(dest);
    QCOMPARE(rig.view->getData("mouse/lod", false).toInt(), 2);
    QCOMPARE(rig.view->getDataList("mouse/lightValue", false), QVariantList({"5", "1", "3"}));
}

void TestProfiles::resetProfileGivesFactoryValues()
{
    Rig rig(vdev::Mouse553);
    rig.view->setCurrentProfile(3);
    rig.view->setData("mouse/dpiCount", 1);
    rig.view->setDataList("mouseKeyMatrix/0", {4, 0, 0, 0});
    rig.view->setData("extra/key", "gone after reset");

    rig.view->resetProfile(3);
    settle();

    QCOMPARE(rig.fileContent("p4.bin"), rig.fileContent("pD.bin"));
    QSettings *current = rig.view->currentProfileSettings();
    QCOMPARE(current->allKeys(), rig.view->defaultSettings->allKeys());
    for (const QString &key : current->allKeys())
        QCOMPARE(rig.view->getData(key, false), rig.view->getData(key, true));
}

void TestProfiles::unwrittenChangesDoNotReturn()
{
    // The replaced handle held an unwritten key; neither it nor the shared file cache may
    // bring that key into the new file, however quickly the files follow each other.
    Rig rig(vdev::Mouse553);
    for (int round = 0; round < 20; ++round) {
        rig.view->setCurrentProfile(1);
        rig.view->setData("test/marker", round);
        rig.view->resetProfile(1);
        QVERIFY(!rig.view->getData("test/marker", false).isValid());
    }
    settle();
    rig.view.reset();   // destroying the view writes whatever is pending
    QCOMPARE(rig.fileContent("p2.bin"), rig.fileContent("pD.bin"));
}

void TestProfiles::sameSizeReplacementIsReread()
{
    // A new file of the same size written within the same clock tick as the old one must
    // still be read afresh.
    Rig rig(vdev::Mouse553);
    const QString pf = rig.scratchFile("same.pf");
    QVERIFY(writeFile(pf, "[t]\nv=2\n"));
    filedialogs::ScopedHook hook([&](const filedialogs::Request &) { return pf; });
    rig.view->setCurrentProfile(1);
    for (int round = 0; round < 20; ++round) {
        QVERIFY(writeFile(rig.settingFile("p2.bin"), "[t]\nv=1\n"));
        rig.view->resetProfile(1);   // any replacement: the handle now knows "v=1"-sized p2
        QVERIFY(writeFile(rig.settingFile("p2.bin"), "[t]\nv=1\n"));
        rig.view->currentProfileSettings()->sync();
        QCOMPARE(rig.view->getData("t/v", false).toInt(), 1);
        QVERIFY(rig.view->loadProfile(1));
        QCOMPARE(rig.view->getData("t/v", false).toInt(), 2);
    }
}

void TestProfiles::import_data()
{
    QTest::addColumn<QString>("chosen");    // "" = cancelled, "pf" = a good file
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("cancelled") << "" << false << false;
    QTest::newRow("missing file") << "missing.pf" << false << false;
    QTest::newRow("a folder") << "folder.pf" << false << false;
    QTest::newRow("too large") << "huge.pf" << false << false;
    QTest::newRow("good file") << "pf" << true << true;
}

void TestProfiles::import()
{
    QFETCH(QString, chosen);
    QFETCH(bool, replaced);
    Rig rig(vdev::Mouse553);
    const QString good = rig.scratchFile("good.pf");
    QVERIFY(writeFile(good, "[mouse]\ndpiCount=2\n"));
    QDir(rig.dir.path()).mkdir("folder.pf");
    QVERIFY(writeFile(rig.scratchFile("huge.pf"), QByteArray(2 * 1024 * 1024, 'x')));
    const QString fileName = chosen.isEmpty() ? QString() : chosen == "pf" ? good : rig.scratchFile(chosen);

    filedialogs::Request asked;
    filedialogs::ScopedHook hook([&](const filedialogs::Request &r) { asked = r; return fileName; });
    const QByteArray before = rig.fileContent("p3.bin");
    QSettings *handleBefore = rig.view->profileSettings.at(2);

    QTEST(rig.view->loadProfile(2), "result");
    settle();

    QVERIFY(asked.mode == filedialogs::Mode::Open);
    QCOMPARE(asked.caption, QString("Open File"));
    QCOMPARE(asked.filter, QString("Profile(*.pf)"));
    QCOMPARE(asked.directory, filedialogs::desktopFolder());
    QCOMPARE(asked.parent, rig.view.get());
    QVERIFY(slotsInOrder(rig));
    rig.view->setCurrentProfile(2);
    if (replaced) {
        QCOMPARE(rig.fileContent("p3.bin"), QByteArray("[mouse]\ndpiCount=2\n"));
        QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), 2);
        QVERIFY(!rig.view->getData("mouse/lod", false).isValid());
    } else {
        QCOMPARE(rig.fileContent("p3.bin"), before);
        QCOMPARE(rig.view->profileSettings.at(2), handleBefore);
        QCOMPARE(rig.view->getData("mouse/dpiCount", false).toInt(), 6);
    }
}

void TestProfiles::exportOverwrites()
{
    Rig rig(vdev::Mouse560);
    const QString target = rig.scratchFile("export.pf");
    QVERIFY(writeFile(target, QByteArray(5000, 'o')));
    rig.view->setCurrentProfile(2);
    rig.view->setData("mouse/reportRate", 1);   // still pending: belongs in the export

    filedialogs::Request asked;
    filedialogs::ScopedHook hook([&](const filedialogs::Request &r) { asked = r; return target; });
    rig.view->saveProfile(2);

    QVERIFY(asked.mode == filedialogs::Mode::Save);
    QCOMPARE(asked.caption, QString("Save File"));
    QCOMPARE(asked.filter, QString("Profile(*.pf)"));
    QFile exported(target);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), rig.fileContent("p3.bin"));
    QVERIFY(rig.fileContent("p3.bin").contains("reportRate=1"));
}

void TestProfiles::outOfRangeSlotsRefused()
{
    Rig rig(vdev::Mouse553);
    int dialogs = 0;
    filedialogs::ScopedHook hook([&](const filedialogs::Request &) { ++dialogs; return QString(); });
    const QByteArray p1 = rig.fileContent("p1.bin");
    testsupport::DebugCapture debug;
    rig.view->resetProfile(10);
    rig.view->resetProfile(-1);
    rig.view->copyProfile(0, 10);
    rig.view->copyProfile(-1, 0);
    QVERIFY(!rig.view->loadProfile(10));
    rig.view->saveProfile(-1);
    rig.view->copyProfile(0, 0);
    QCOMPARE(dialogs, 0);
    QVERIFY(debug.contains("copyProfile refused 0 10"));
    QVERIFY(debug.contains("loadProfile refused 10"));
    QVERIFY(slotsInOrder(rig));
    QCOMPARE(rig.fileContent("p1.bin"), p1);
    QVERIFY(!QFile::exists(rig.settingFile("p11.bin")));
    QVERIFY(!QFile::exists(rig.settingFile("p0.bin")));
}

QTEST_MAIN(TestProfiles)
#include "tst_profiles.moc"
