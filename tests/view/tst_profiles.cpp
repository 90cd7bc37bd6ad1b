// Profile slots: reset, copy, import and export, and what a failed replacement leaves behind.
#include "settingsrig_helper.h"
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

bool slotsInOrder(const Rig &rig)
{
    bool ok = rig.view->profileSettings.size() == 10;
    for (int slot = 0; ok && slot < 10; ++slot)
        ok = rig.view->profileSettings.at(slot)->fileName().endsWith(QString("/p%1.bin").arg(slot + 1));
    return ok;
}

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config;
private slots:
    void initTestCase() { settingsrig::isolateDefaultStore(m_config.path()); }

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
        QCOMPARE(rig.fileContent(QString("p%1.bin").arg(dest + 1)), rig.fileContent(QString("p%1.bin").arg(src + 1)));
        QVERIFY(rig.fileContent(QString("p%1.bin").arg(src + 1)).contains("lightValue=5, 1, 3"));
        QVERIFY(slotsInOrder(rig));
        rig.view->setCurrentProfile(dest);
        QCOMPARE(rig.view->getDataList("mouse/lightValue", false), QVariantList({"5", "1", "3"}));
    }

    void resetGivesFactoryValuesAndNothingElse()
    {
        // The replaced handle holds an unwritten key; it must not reach the new file, however
        // quickly replacements follow each other.
        Rig rig(vdev::Mouse553);
        rig.view->setCurrentProfile(1);
        for (int round = 0; round < 10; ++round) {
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

    void sameSizeReplacementIsReread()
    {
        // A new file of the old one's size, written within the same clock tick, is read afresh.
        Rig rig(vdev::Mouse553);
        const QString pf = rig.dir.filePath("same.pf");
        QVERIFY(writeFile(pf, "[t]\nv=2\n"));
        filedialogs::ScopedHook hook([&](const filedialogs::Request &) { return pf; });
        rig.view->setCurrentProfile(1);
        for (int round = 0; round < 10; ++round) {
            rig.view->resetProfile(1);   // a size the handle cannot mistake for the next file
            QVERIFY(writeFile(rig.settingFile("p2.bin"), "[t]\nv=1\n"));
            rig.view->currentProfileSettings()->sync();
            QCOMPARE(rig.view->getData("t/v", false).toInt(), 1);
            QVERIFY(rig.view->loadProfile(1));
            QCOMPARE(rig.view->getData("t/v", false).toInt(), 2);
        }
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
        QFile exported(target);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll(), rig.fileContent("p3.bin"));
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

QTEST_MAIN(TestProfiles)
#include "tst_profiles.moc"
