// The macro and gun pages' files: macro life cycle, renaming with the profiles, refused names,
// import/export, the macro block and gun slots reaching both virtual mice, name lists, gun data,
// per-profile gun values and the language files.
#include "app/datafolder.h"
#include "settingsrig_helper.h"
#include "view/filedialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QtTest>

using settingsrig::Rig;
using settingsrig::readFile;
using settingsrig::writeFile;

namespace {

// Texts each page holds, by group.
const QList<QPair<QString, int>> pageCounts = {
    {"main", 15}, {"keyMatrix", 2}, {"keyAssigment", 60}, {"dpiSetting", 2}, {"lightControl", 16},
    {"macroEditor", 20}, {"systemSetting", 10}, {"gunControl", 10}, {"profile", 7}, {"keyCode", 133},
    {"saved", 9}, {"other", 2}};

} // namespace

class TestMacros : public QObject
{
    Q_OBJECT
private slots:
    void lifeCycle()
    {
        Rig rig(vdev::Mouse553);
        QCOMPARE(rig.view->saveMacroIni("Macro_0", {"1,A"}, 1).toBool(), false);
        QVERIFY(!QFileInfo::exists(rig.file("macro/Macro_0.bin")));

        QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
        QVERIFY(QFileInfo(rig.file("macro/Macro_0.bin")).isFile());
        QCOMPARE(rig.view->loadMacroIni("Macro_0"), QStringList{"1"});

        const QStringList five = {"1,A", "0,50", "2,A", "1,,", "2,,"};
        QVERIFY(rig.view->saveMacroIni("Macro_0", five, 7).toBool());
        QCOMPARE(rig.view->loadMacroIni("Macro_0"), five + QStringList{"7"});
        QVERIFY(rig.view->saveMacroIni("Macro_0", {"3,MS-L", "4,MS-L"}, 2).toBool());
        {
            QSettings file(rig.file("macro/Macro_0.bin"), QSettings::IniFormat);
            QCOMPARE(file.value("config/total").toInt(), 2);
            QVERIFY(!file.contains("macro/2") && !file.contains("macro/4"));
            QCOMPARE(file.value("config/did").toInt(), -1);
        }
        // Creating again keeps the events but resets the count.
        QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
        QCOMPARE(rig.view->loadMacroIni("Macro_0"), QStringList{"1"});
        QVERIFY(rig.view->saveMacroIni("Macro_0", {}, 1).toBool());
        QVERIFY(!QSettings(rig.file("macro/Macro_0.bin"), QSettings::IniFormat).childGroups().contains("macro"));

        QVERIFY(rig.view->deleteMacroIni("Macro_0").toBool());
        QVERIFY(!rig.view->deleteMacroIni("Macro_0").toBool());
        QCOMPARE(rig.view->loadMacroIni("Macro_0"), QStringList());
    }

    void loadDamagedFile_data()
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

    void loadDamagedFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, count);
        QFETCH(QStringList, head);
        Rig rig(vdev::Mouse553, false);
        QVERIFY(writeFile(rig.file("macro/M.bin"), content));
        const QStringList loaded = rig.view->loadMacroIni("M");
        QCOMPARE(loaded.size(), count);
        QCOMPARE(loaded.mid(0, head.size()), head);
    }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("parent folder") << "../escape";
        QTest::newRow("separator") << "sub/name";
        QTest::newRow("backslash") << "..\\escape";
        QTest::newRow("absolute") << "/tmp/escape";
        QTest::newRow("drive") << "C:escape";
        QTest::newRow("device name") << "nul";
        QTest::newRow("device name with an extension") << "COM1.txt";
        QTest::newRow("control character") << "a\nb";
        QTest::newRow("delete character") << "a\x7f";
        QTest::newRow("the name lists' end marker") << "loaderzentok";
        QTest::newRow("over 255 bytes as a file name") << QString(100, QChar(0x5B8F));
        QTest::newRow("no room for the lock file") << QString(82, QChar(0x5B8F)) + "x";
    }

    void refusedNames()
    {
        QFETCH(QString, name);
        Rig rig(vdev::Mouse553);
        QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
        const QString source = rig.dir.path() + "/import.mc";
        QVERIFY(writeFile(source, "[config]\ntotal=0\n"));
        const QStringList before = QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        QVERIFY(!rig.view->createMacroIni(name, 0).toBool());
        QVERIFY(!rig.view->saveMacroIni(name, {"1,A"}, 1).toBool());
        QVERIFY(!rig.view->deleteMacroIni(name).toBool());
        QCOMPARE(rig.view->loadMacroIni(name), QStringList());
        QVERIFY(!rig.view->modifyMacroNameUpdateProfile("Macro_0", name).toBool());
        QVERIFY(!rig.view->modifyMacroNameUpdateProfile(name, "Macro_1").toBool());
        {
            filedialogs::ScopedHook hook([&](const filedialogs::Request &) { return source; });
            QCOMPARE(rig.view->loadMacroFile(name), int(myQQuickView::ImportFailed));
        }
        QCOMPARE(QDir(rig.file("macro")).entryList(QDir::Files), QStringList{"Macro_0.bin"});
        QCOMPARE(QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(!QFileInfo::exists(rig.file("escape.bin")));
    }

    // Dots inside a name are no path, blanks are ordinary characters: such a macro lives, is
    // renamed and deleted like any.
    void acceptedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("renamed");
        QTest::newRow("dots") << "a..b" << "c..d";
        QTest::newRow("blanks") << "my macro" << "fire at will";
        QTest::newRow("244 bytes") << QString(81, QChar(0x5B8F)) + "x" << QString(81, QChar(0x5B8F));
    }
    void acceptedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, renamed);
        Rig rig(vdev::Mouse553);
        QVERIFY(writeFile(rig.file("macro/" + name + ".bin"), "[config]\ntotal=1\nrepeat=2\n[macro]\n0=\"1,A\"\n"));
        QCOMPARE(rig.view->loadMacroIni(name), (QStringList{"1,A", "2"}));
        QVERIFY(rig.view->saveMacroIni(name, {"1,B"}, 3).toBool());
        QVERIFY(rig.view->modifyMacroNameUpdateProfile(name, renamed).toBool());
        QCOMPARE(QDir(rig.file("macro")).entryList(QDir::Files), QStringList{renamed + ".bin"});
        QCOMPARE(rig.view->loadMacroIni(renamed), (QStringList{"1,B", "3"}));
        QVERIFY(rig.view->deleteMacroIni(renamed).toBool());
        QVERIFY(QDir(rig.file("macro")).entryList(QDir::Files).isEmpty());
    }

    void rename()
    {
        Rig rig(vdev::Mouse553);
        QVERIFY(!rig.view->modifyMacroNameUpdateProfile("Macro_1", "Fire").toBool());
        QVERIFY(rig.view->createMacroIni("Macro_1", 0).toBool());
        QVERIFY(rig.view->createMacroIni("Macro_2", 0).toBool());
        QVERIFY(rig.view->saveMacroIni("Macro_2", {"1,B"}, 1).toBool());
        for (QSettings *profile : rig.view->profileSettings) {
            profile->setValue("mouseMacroKey/3", "Macro_1");
            profile->setValue("mouseMacroKey/4", "Macro_10");
        }
        // Onto an existing name: nothing changes.
        QVERIFY(!rig.view->modifyMacroNameUpdateProfile("Macro_1", "Macro_2").toBool());
        QCOMPARE(rig.view->profileSettings.at(0)->value("mouseMacroKey/3").toString(), QString("Macro_1"));
        QCOMPARE(rig.view->loadMacroIni("Macro_2"), (QStringList{"1,B", "1"}));

        // The profiles the page offers (p1..p6) follow the new name.
        QVERIFY(rig.view->modifyMacroNameUpdateProfile("Macro_1", "Fire").toBool());
        QVERIFY(!QFileInfo::exists(rig.file("macro/Macro_1.bin")));
        QCOMPARE(rig.view->loadMacroIni("Fire"), QStringList{"1"});
        for (int p = 0; p < rig.view->profileSettings.size(); ++p) {
            QSettings file(rig.settingFile(QString("p%1.bin").arg(p + 1)), QSettings::IniFormat);
            QCOMPARE(file.value("mouseMacroKey/3").toString(), QString(p < 6 ? "Fire" : "Macro_1"));
            QCOMPARE(file.value("mouseMacroKey/4").toString(), QString("Macro_10"));
        }
    }

    void importExport()
    {
        Rig rig(vdev::Mouse553);
        QString chosen;
        QList<filedialogs::Request> asked;
        filedialogs::ScopedHook hook([&](const filedialogs::Request &r) {
            asked << r;
            return chosen;
        });
        const QString exported = rig.dir.path() + "/out.mc";
        QVERIFY(writeFile(exported, "old export"));
        QVERIFY(rig.view->createMacroIni("Macro_0", 0).toBool());
        QVERIFY(rig.view->saveMacroIni("Macro_0", {"1,A", "2,A"}, 3).toBool());
        const QByteArray macro = readFile(rig.file("macro/Macro_0.bin"));

        // Export: cancelled, of a missing macro (keeps the old file), then replacing it.
        rig.view->saveMacroFile("Macro_0");
        chosen = exported;
        rig.view->saveMacroFile("Missing");
        QCOMPARE(readFile(exported), QByteArray("old export"));
        rig.view->saveMacroFile("Macro_0");
        QCOMPARE(readFile(exported), macro);
        QCOMPARE(asked.first().mode, filedialogs::Mode::Save);
        QCOMPARE(asked.first().caption, QString("Save File"));
        QCOMPARE(asked.first().filter, QString("Macro(*.mc)"));

        // Import: never over an existing macro, the copy's real result, cancel.
        asked.clear();
        QVERIFY(writeFile(exported, "[config]\ntotal=1\nrepeat=9\n[macro]\n0=\"1,B\"\n"));
        QCOMPARE(rig.view->loadMacroFile("Macro_0"), int(myQQuickView::ImportFailed));
        QCOMPARE(readFile(rig.file("macro/Macro_0.bin")), macro);
        QCOMPARE(rig.view->loadMacroFile("Macro_5"), int(myQQuickView::Imported));
        QCOMPARE(rig.view->loadMacroIni("Macro_5"), (QStringList{"1,B", "9"}));
        QCOMPARE(asked.first().mode, filedialogs::Mode::Open);
        QCOMPARE(asked.first().caption, QString("Open File"));
        chosen = rig.dir.path() + "/missing.mc";
        QCOMPARE(rig.view->loadMacroFile("Macro_6"), int(myQQuickView::ImportFailed));
        chosen.clear();
        QCOMPARE(rig.view->loadMacroFile("Macro_7"), int(myQQuickView::ImportCancelled));
        QVERIFY(!QFileInfo::exists(rig.file("macro/Macro_6.bin")) && !QFileInfo::exists(rig.file("macro/Macro_7.bin")));
    }

    void sendMacroData_data()
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

    void sendMacroData()
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

    void nameLists_data()
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
    void nameLists()
    {
        QFETCH(int, type);
        QFETCH(QString, key);
        QFETCH(QStringList, names);
        QFETCH(QStringList, stored);
        Rig rig(vdev::Mouse553, false);
        QVERIFY(rig.view->updataNameList(type, {"x", "y"}).toBool());
        QVERIFY(rig.view->updataNameList(type, names).toBool());
        QCOMPARE(QSettings(rig.settingFile("name.bin"), QSettings::IniFormat).contains(key), !stored.isEmpty());
        QCOMPARE(rig.view->getNameList(type), QVariant(stored).toList());

        // Any other type writes nothing and reads nothing.
        const QByteArray before = readFile(rig.settingFile("name.bin"));
        for (const QVariant &other : {QVariant(7), QVariant(-1), QVariant("macro")}) {
            QVERIFY(rig.view->updataNameList(other, {"x"}).toBool());
            QVERIFY(rig.view->updataNameList(other, {}).toBool());
            QVERIFY(rig.view->getNameList(other).isEmpty());
        }
        QCOMPARE(readFile(rig.settingFile("name.bin")), before);
    }

    void gunDataFile()
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

        // Without the file nothing is written or read.
        QVERIFY(QFile::remove(rig.file("gun/gunData.bin")));
        rig.view->mouseSaveGundata(0, {"M416", "L-Click", 10, 0, 10, 0});
        rig.view->modifyGundata(1, {"A", "L-Click", 10, 0, 10, 0, "0"});
        QVERIFY(!QFile::exists(rig.file("gun/gunData.bin")));
        QVERIFY(rig.view->getGunData(0).isEmpty() && rig.view->getGunDataKey().isEmpty());
    }

    void sendGunSlot_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<bool>("isGun");
        QTest::addColumn<int>("index");
        QTest::addColumn<QVariantList>("data");
        QTest::addColumn<int>("option3");
        QTest::addColumn<QByteArray>("expected");   // 553: shots, X, Y of the slot; 560: block bytes 78..81
        const QVariantList y10{0, 0, 10};
        QTest::newRow("not gun capable") << vdev::Mouse553 << false << 1 << y10 << 0 << QByteArray();
        QTest::newRow("slot 0 refused") << vdev::Mouse553 << true << 0 << y10 << 0 << QByteArray();
        QTest::newRow("slot 4 refused") << vdev::Mouse560 << true << 4 << y10 << 0 << QByteArray();
        QTest::newRow("short data refused") << vdev::Mouse553 << true << 1 << QVariantList{0, 0} << 0 << QByteArray();
        QTest::newRow("553 slot 1") << vdev::Mouse553 << true << 1 << y10 << 0 << QByteArray("00 00 0a");
        QTest::newRow("553 Y negated") << vdev::Mouse553 << true << 1 << y10 << 1 << QByteArray("00 00 f6");
        QTest::newRow("553 slot 3 low bytes") << vdev::Mouse553 << true << 3 << QVariantList{"300", 64, 5} << 0
                                              << QByteArray("2c 40 05");
        QTest::newRow("560 slot 1") << vdev::Mouse560 << true << 1 << y10 << 0 << QByteArray("f0 00 00 0a");
        QTest::newRow("560 slot 3") << vdev::Mouse560 << true << 3 << QVariantList{255, 64, 64} << 0
                                    << QByteArray("f0 ff 40 40");
    }
    void sendGunSlot()
    {
        QFETCH(int, mouse);
        QFETCH(int, index);
        QFETCH(bool, isGun);
        QFETCH(QVariantList, data);
        QFETCH(int, option3);
        QFETCH(QByteArray, expected);
        Rig rig(mouse);
        rig.view->isGun = isGun;
        rig.device.withFirmware(mouse, [&](VirtualFirmware &f) { f.mutableState().keyboardOption[2] = uint8_t(option3); });
        rig.view->profileBlocks[index + 1 < 5 ? index + 1 : 0][65] = 0xFF;
        rig.device.clearWireLog();
        rig.view->mouseSendGundata(index, data);

        const VirtualFirmware::State s = rig.state();
        if (expected.isEmpty())
            QVERIFY(rig.device.wireLog().empty());
        else if (mouse == vdev::Mouse553)
            QCOMPARE(settingsrig::hex(s.gunData[index - 1].data(), 3), expected);
        else
            QCOMPARE(settingsrig::hex(s.profile[index + 1].data() + 78, 4) + ' '
                         + QByteArray::number(s.profile[index + 1][65], 16), expected + " fb");
    }

    void perProfileGunValues()
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
        QCOMPARE(QSettings(rig.settingFile("p1.bin"), QSettings::IniFormat).value("selectGun/2").toString(), QString("AKM"));
    }

    void langGroup_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        const QByteArray abc = "[g]\ntotal=3\n0=a\n1=b\n2=c\n";
        QTest::newRow("missing file") << "Nope" << "g" << abc << QStringList();
        QTest::newRow("path in the language code") << "../i18n/Test" << "g" << abc << QStringList();
        QTest::newRow("missing group") << "Test" << "h" << abc << QStringList();
        QTest::newRow("total 0") << "Test" << "g" << QByteArray("[g]\ntotal=0\n0=a\n") << QStringList();
        QTest::newRow("huge total capped") << "Test" << "g" << QByteArray("[g]\ntotal=999999999\n")
                                           << QStringList(4096, QString());
        QTest::newRow("key order, not line order") << "Test" << "g" << QByteArray("[g]\n2=c\n0=a\ntotal=3\n1=b\n")
                                                   << QStringList{"a", "b", "c"};
        QTest::newRow("total beyond the texts") << "Test" << "g" << QByteArray("[g]\ntotal=3\n0=a\n")
                                                << QStringList{"a", "", ""};
        QTest::newRow("UTF-8 intact") << "Test" << "g"
                                      << QString::fromUtf8("[g]\ntotal=2\n0=\"Редактор макросів\"\n1=宏编辑器\n").toUtf8()
                                      << QStringList{QString::fromUtf8("Редактор макросів"), QString::fromUtf8("宏编辑器")};
        QTest::newRow("quoted and unquoted commas") << "Test" << "g"
                                                    << QByteArray("[g]\ntotal=2\n0=\"a, b; c \"\n1=d, e\n")
                                                    << QStringList{"a, b; c ", "d, e"};
    }
    void langGroup()
    {
        QFETCH(QString, lang);
        QFETCH(QString, group);
        QFETCH(QByteArray, content);
        Rig rig(vdev::Mouse553, false);
        QVERIFY(writeFile(rig.dir.path() + "/modules/i18n/Test.ini", content));
        QTEST(rig.view->getLangStrings(group, lang), "expected");
    }

    void shippedLanguages_data()
    {
        QTest::addColumn<QString>("lang");
        for (const char *lang : {"English", "ChineseSimplified", "Ukrainian"})
            QTest::newRow(lang) << lang;
    }
    void shippedLanguages()
    {
        QFETCH(QString, lang);
        Rig rig(vdev::Mouse553, false);
        QVERIFY(datafolder::copyTree(MOUSECFG_SOURCE_DIR "/modules/i18n", rig.dir.path() + "/modules/i18n"));
        for (const auto &[group, count] : pageCounts) {
            const QStringList texts = rig.view->getLangStrings(group, lang);
            const QStringList english = rig.view->getLangStrings(group, "English");
            QVERIFY2(texts.size() == count, qPrintable(group));
            // Translations keep the positions: a text is empty exactly where the English one is.
            for (int i = 0; i < count; ++i)
                QVERIFY2(texts.at(i).isEmpty() == english.at(i).isEmpty(), qPrintable(group + " " + QString::number(i)));
        }
        // Key names decode back to their codes: only the two backslash keys share a name.
        const QStringList keys = rig.view->getLangStrings("keyCode", lang);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size() - 1);
        QCOMPARE(keys.at(46), keys.at(45));
        // Macro files are read by the vocabulary's (English) names first: a translated name that
        // is another key's English name would turn an older file's key into that other key.
        const QStringList vocabulary = rig.view->getLangStrings("keyCode", "English");
        for (int i = 0; i < keys.size(); ++i) {
            const int j = vocabulary.indexOf(keys.at(i));
            QVERIFY2(j < 0 || vocabulary.at(j) == vocabulary.at(i), qPrintable(keys.at(i)));
        }
        if (lang == "English") {
            QCOMPARE(keys.at(0) + keys.at(45) + keys.at(132), QString("A\\MS-B5"));
            QCOMPARE(rig.view->getLangStrings("keyMatrix", lang), (QStringList{"Key ", "Buttons"}));
            QCOMPARE(rig.view->getLangStrings("keyAssigment", lang).at(56), QString("Sniper Key"));
            QCOMPARE(rig.view->getLangStrings("main", lang).at(10), QString("Save"));
        } else {
            QVERIFY(rig.view->getLangStrings("macroEditor", lang) != rig.view->getLangStrings("macroEditor", "English"));
        }
    }
};

QTEST_MAIN(TestMacros)
#include "tst_macros.moc"
