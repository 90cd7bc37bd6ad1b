// Name lists in name.bin: what is stored for each list, and what comes back.
#include "macrorig.h"

#include <QSettings>
#include <QtTest>

using settingsrig::Rig;
using macrorig::deviceFile;

class TestNames : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void otherTypesWriteNothing_data();
    void otherTypesWriteNothing();
};

void TestNames::roundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("stored");

    QTest::newRow("empty list removes the key") << 0 << "macro/macroName" << QStringList() << QStringList();
    QTest::newRow("one name gets the sentinel") << 0 << "macro/macroName" << QStringList{"Macro_0"}
                                                << QStringList{"Macro_0", "loaderzentok"};
    QTest::newRow("sentinel given is kept") << 1 << "gun/gunName" << QStringList{"AKM", "loaderzentok"}
                                            << QStringList{"AKM", "loaderzentok"};
    QTest::newRow("three names") << 2 << "profile/profileName" << QStringList{"Standard0", "profile_11", "b2"}
                                 << QStringList{"Standard0", "profile_11", "b2"};
    QTest::newRow("names with commas and spaces") << 3 << "gun/selectGun" << QStringList{"a, b", " c", "d;e"}
                                                  << QStringList{"a, b", " c", "d;e"};
}

void TestNames::roundTrip()
{
    QFETCH(int, type);
    QFETCH(QString, key);
    QFETCH(QStringList, names);
    QFETCH(QStringList, stored);
    Rig rig(vdev::Mouse553, false);
    QVERIFY(rig.view->updataNameList(type, {"x", "y"}).toBool());
    QVERIFY(rig.view->updataNameList(type, names).toBool());

    QSettings file(deviceFile(rig, "setting/name.bin"), QSettings::IniFormat);
    QCOMPARE(file.contains(key), !stored.isEmpty());
    QVariantList expected;
    for (const QString &s : stored)
        expected << s;
    QCOMPARE(rig.view->getNameList(type), expected);
}

void TestNames::otherTypesWriteNothing_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::newRow("type 7") << QVariant(7);
    QTest::newRow("negative") << QVariant(-1);
    QTest::newRow("not a number") << QVariant("macro");
}

void TestNames::otherTypesWriteNothing()
{
    QFETCH(QVariant, type);
    Rig rig(vdev::Mouse553, false);
    QVERIFY(rig.view->updataNameList(0, {"Macro_0", "Macro_1"}).toBool());
    const QByteArray before = macrorig::readFile(deviceFile(rig, "setting/name.bin"));
    QVERIFY(rig.view->updataNameList(type, {"x"}).toBool());
    QVERIFY(rig.view->updataNameList(type, {}).toBool());
    QCOMPARE(macrorig::readFile(deviceFile(rig, "setting/name.bin")), before);
    QVERIFY(rig.view->getNameList(type).isEmpty());
}

QTEST_MAIN(TestNames)
#include "tst_names.moc"
