// Macro files: life cycle, renaming with the profiles, refused names, import/export, and the
// macro block reaching both virtual mice.
#include "macrorig.h"

#include "view/filedialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QtTest>

using settingsrig::Rig;
using macrorig::deviceFile;

class TestMacros : public QObject
{
    Q_OBJECT
private slots:
    void lifeCycle();
    void loadDamagedFile_data();
    void loadDamagedFile();
    void refusedNames_data();
    void refusedNames();
    void renameFollowsOfferedProfiles();
    void renameOntoExistingChangesNothing();
    void importExport();
    void sendMacroData_data();
    void sendMacroData();
};

void TestMacros::lifeCycle()
{
    Rig rig(vdev::Mouse553);
    QCOMPARE(rig.view->saveMacroIni("Macro_0", {"1,A"}, 1).toBool(), false);
    QVERIFY(!QFileInfo::exists(deviceFile(rig, "macro/Macro_0.bin")));

    QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
    QVERIFY(QFileInfo(deviceFile(rig, "macro/Macro_0.bin")).isFile());
    QCOMPARE(rig.view->loadMacroIni("Macro_0"), QStringList{"1"});

    const QStringList five = {"1,A", "0,50", "2,A", "1,,", "2,,"};
    QVERIFY(rig.view->saveMacroIni("Macro_0", five, 7).toBool());
    QCOMPARE(rig.view->loadMacroIni("Macro_0"), five + QStringList{"7"});
    QVERIFY(rig.view->saveMacroIni("Macro_0", {"3,MS-L", "4,MS-L"}, 2).toBool());
    {
        QSettings file(deviceFile(rig, "macro/Macro_0.bin"), QSettings::IniFormat);
        QCOMPARE(file.value("config/total").toInt(), 2);
        QVERIFY(!file.contains("macro/2") && !file.contains("macro/4"));
        QCOMPARE(file.value("config/did").toInt(), -1);
    }
    // Creating again keeps the events but resets the count.
    QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
    QCOMPARE(rig.view->loadMacroIni("Macro_0"), QStringList{"1"});
    QVERIFY(rig.view->saveMacroIni("Macro_0", {}, 1).toBool());
    QVERIFY(!QSettings(deviceFile(rig, "macro/Macro_0.bin"), QSettings::IniFormat).childGroups().contains("macro"));

    QVERIFY(rig.view->deleteMacroIni("Macro_0").toBool());
    QVERIFY(!rig.view->deleteMacroIni("Macro_0").toBool());
    QCOMPARE(rig.view->loadMacroIni("Macro_0"), QStringList());
}

void TestMacros::loadDamagedFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("head");

    QTest::newRow("huge total is capped") << QByteArray("[config]\ntotal=2000000000\n") << 65536
                                          << QStringList{"0", "0"};
    QTest::newRow("negative total") << QByteArray("[config]\ntotal=-3\nrepeat=4\n") << 1 << QStringList{"4"};
    QTest::newRow("unquoted event with comma") << QByteArray("[config]\ntotal=1\nrepeat=2\n[macro]\n0=1,A\n") << 2
                                               << QStringList{"1,A", "2"};
    QTest::newRow("missing entries and repeat") << QByteArray("[config]\ntotal=2\n[macro]\n1=\"2,B\"\n") << 3
                                                << QStringList{"0", "2,B", "0"};
    QTest::newRow("not a macro file") << QByteArray("\x00\xff garbage", 10) << 1 << QStringList{"0"};
}

void TestMacros::loadDamagedFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    QFETCH(QStringList, head);
    Rig rig(vdev::Mouse553, false);
    QVERIFY(macrorig::writeFile(deviceFile(rig, "macro/M.bin"), content));
    const QStringList loaded = rig.view->loadMacroIni("M");
    QCOMPARE(loaded.size(), count);
    QCOMPARE(loaded.mid(0, head.size()), head);
}

void TestMacros::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("parent folder") << "../escape";
    QTest::newRow("dots only") << "..";
    QTest::newRow("separator") << "sub/name";
    QTest::newRow("backslash") << "..\\escape";
    QTest::newRow("absolute") << "/tmp/escape";
    QTest::newRow("drive") << "C:escape";
    QTest::newRow("device name") << "nul";
    QTest::newRow("control character") << "a\nb";
}

void TestMacros::refusedNames()
{
    QFETCH(QString, name);
    Rig rig(vdev::Mouse553);
    QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
    const QString source = rig.dir.path() + "/import.mc";
    QVERIFY(macrorig::writeFile(source, "[config]\ntotal=0\n"));
    const QStringList before = QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QVERIFY(!rig.view->createMacroIni(name, 0).toBool());
    QVERIFY(!rig.view->saveMacroIni(name, {"1,A"}, 1).toBool());
    QVERIFY(!rig.view->deleteMacroIni(name).toBool());
    QCOMPARE(rig.view->loadMacroIni(name), QStringList());
    QVERIFY(!rig.view->modifyMacroNameUpdateProfile("Macro_0", name).toBool());
    QVERIFY(!rig.view->modifyMacroNameUpdateProfile(name, "Macro_1").toBool());
    {
        filedialogs::ScopedHook hook([&](const filedialogs::Request &) { return source; });
        QVERIFY(!rig.view->loadMacroFile(name));
    }
    QCOMPARE(QDir(deviceFile(rig, "macro")).entryList(QDir::Files), QStringList{"Macro_0.bin"});
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(!QFileInfo::exists(deviceFile(rig, "escape.bin")));
}

void TestMacros::renameFollowsOfferedProfiles()
{
    Rig rig(vdev::Mouse553);
    QVERIFY(!rig.view->modifyMacroNameUpdateProfile("Macro_1", "Fire").toBool());
    QVERIFY(rig.view->createMacroIni("Macro_1", 0).toBool());
    for (QSettings *profile : rig.view->profileSettings) {
        profile->setValue("mouseMacroKey/3", "Macro_1");
        profile->setValue("mouseMacroKey/4", "Macro_10");
    }
    QVERIFY(rig.view->modifyMacroNameUpdateProfile("Macro_1", "Fire").toBool());
    QVERIFY(!QFileInfo::exists(deviceFile(rig, "macro/Macro_1.bin")));
    QCOMPARE(rig.view->loadMacroIni("Fire"), QStringList{"1"});
    for (int p = 0; p < rig.view->profileSettings.size(); ++p) {
        QSettings file(deviceFile(rig, QString("setting/p%1.bin").arg(p + 1)), QSettings::IniFormat);
        QCOMPARE(file.value("mouseMacroKey/3").toString(), QString(p < 6 ? "Fire" : "Macro_1"));
        QCOMPARE(file.value("mouseMacroKey/4").toString(), QString("Macro_10"));
    }
}

void TestMacros::renameOntoExistingChangesNothing()
{
    Rig rig(vdev::Mouse553);
    QVERIFY(rig.view->createMacroIni("Macro_1", 0).toBool());
    QVERIFY(rig.view->createMacroIni("Macro_2", 0).toBool());
    QVERIFY(rig.view->saveMacroIni("Macro_2", {"1,B"}, 1).toBool());
    rig.view->profileSettings.at(0)->setValue("mouseMacroKey/3", "Macro_1");
    QVERIFY(!rig.view->modifyMacroNameUpdateProfile("Macro_1", "Macro_2").toBool());
    QCOMPARE(rig.view->profileSettings.at(0)->value("mouseMacroKey/3").toString(), QString("Macro_1"));
    QCOMPARE(rig.view->loadMacroIni("Macro_1"), QStringList{"1"});
    QCOMPARE(rig.view->loadMacroIni("Macro_2"), (QStringList{"1,B", "1"}));
}

void TestMacros::importExport()
{
    Rig rig(vdev::Mouse553);
    QString chosen;
    QList<filedialogs::Request> asked;
    filedialogs::ScopedHook hook([&](const filedialogs::Request &r) {
        asked << r;
        return chosen;
    });
    const QString exported = rig.dir.path() + "/out.mc";
    QVERIFY(macrorig::writeFile(exported, "old export"));
    QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
    QVERIFY(rig.view->saveMacroIni("Macro_0", {"1,A", "2,A"}, 3).toBool());
    const QByteArray macro = macrorig::readFile(deviceFile(rig, "macro/Macro_0.bin"));

    // Export: cancelled, of a missing macro (keeps the old file), then replacing it.
    rig.view->saveMacroFile("Macro_0");
    chosen = exported;
    rig.view->saveMacroFile("Missing");
    QCOMPARE(macrorig::readFile(exported), QByteArray("old export"));
    rig.view->saveMacroFile("Macro_0");
    QCOMPARE(macrorig::readFile(exported), macro);
    QCOMPARE(asked.first().mode, filedialogs::Mode::Save);
    QCOMPARE(asked.first().caption, QString("Save File"));
    QCOMPARE(asked.first().filter, QString("Macro(*.mc)"));

    // Import: never over an existing macro, the copy's real result, cancel.
    asked.clear();
    QVERIFY(macrorig::writeFile(exported, "[config]\ntotal=1\nrepeat=9\n[macro]\n0=\"1,B\"\n"));
    QVERIFY(!rig.view->loadMacroFile("Macro_0"));
    QCOMPARE(macrorig::readFile(deviceFile(rig, "macro/Macro_0.bin")), macro);
    QVERIFY(rig.view->loadMacroFile("Macro_5"));
    QCOMPARE(rig.view->loadMacroIni("Macro_5"), (QStringList{"1,B", "9"}));
    QCOMPARE(asked.first().mode, filedialogs::Mode::Open);
    QCOMPARE(asked.first().caption, QString("Open File"));
    chosen = rig.dir.path() + "/missing.mc";
    QVERIFY(!rig.view->loadMacroFile("Macro_6"));
    chosen.clear();
    QVERIFY(!rig.view->loadMacroFile("Macro_7"));
    QVERIFY(!QFileInfo::exists(deviceFile(rig, "macro/Macro_6.bin")) && !QFileInfo::exists(deviceFile(rig, "macro/Macro_7.bin")));
}

void TestMacros::sendMacroData_data()
{
    QTest::addColumn<int>("mouse");
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("sent");

    QTest::newRow("slot 12 refused") << vdev::Mouse553 << QVariant(12) << 8 << false;
    QTest::newRow("slot 256 refused") << vdev::Mouse560 << QVariant(256) << 8 << false;
    QTest::newRow("negative slot refused") << vdev::Mouse553 << QVariant(-1) << 8 << false;
    QTest::newRow("unreadable slot refused") << vdev::Mouse553 << QVariant("x") << 8 << false;
    QTest::newRow("block too long refused") << vdev::Mouse553 << QVariant(0) << 129 << false;
    QTest::newRow("553 slot 0") << vdev::Mouse553 << QVariant(0) << 8 << true;
    QTest::newRow("553 slot 11") << vdev::Mouse553 << QVariant(11) << 128 << true;
    QTest::newRow("560 slot 11 as text") << vdev::Mouse560 << QVariant("11") << 8 << true;
    QTest::newRow("560 slot 3") << vdev::Mouse560 << QVariant(3.0) << 128 << true;
}

void TestMacros::sendMacroData()
{
    QFETCH(int, mouse);
    QFETCH(QVariant, index);
    QFETCH(int, length);
    QFETCH(bool, sent);
    Rig rig(mouse);
    QVariantList data;
    for (int i = 0; i < length; ++i)
        data << (i == 0 ? 0x01 : i == 1 ? 0x2C : 0x100 + i);   // repeat 300, high byte first
    rig.device.clearWireLog();
    QCOMPARE(rig.view->mouseSendMacroData(data, index).toBool(), sent);
    const VirtualFirmware::State state = rig.device.firmwareState(mouse);
    if (!sent) {
        QCOMPARE(state.macroWritten, uint16_t(0));
        QVERIFY(rig.device.wireLog().empty());
        return;
    }
    const int slot = index.toInt();
    QCOMPARE(state.macroWritten, uint16_t(1u << slot));
    QByteArray expected(128, 0);
    expected[0] = char(0x2C);
    expected[1] = char(0x01);
    for (int i = 2; i < length; ++i)
        expected[i] = char(i);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(state.macro[slot].data()), 128), expected);
}

QTEST_MAIN(TestMacros)
#include "tst_macros.moc"
