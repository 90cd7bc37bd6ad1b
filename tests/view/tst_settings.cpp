// SPDX-License-Identifier: GPL-3.0-or-later
// The view over a virtual mouse's settings folder and the mouse: the settings, profile, macro,
// gun and language files it keeps, and what each device slot stores and sends to both mice.
#include "app/datafolder.h"
#include "device/hid_thread.h"
#include "testsupport.h"
#include "vdev/virtualdevice.h"
#include "view/filedialogs.h"
#include "view/dpiconversion.h"
#include "view/keytranslation.h"
#include "view/myqquickview.h"
#include "view/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace vdev;
using testsupport::readFile;
using testsupport::writeFile;

Q_DECLARE_METATYPE(vdev::Fault)

namespace {

QByteArray hex(const uint8_t *data, int length)
{
    return QByteArray(reinterpret_cast<const char *>(data), length).toHex(' ');
}

// A view wired to one virtual mouse, working on a private copy of that mouse's shipped settings
// folder in a temporary working directory.
struct Rig
{
    explicit Rig(int mouse, bool initUI = true)   // initUI: open the device's files, as a connect does
        : mouse(mouse)
    {
        const QString pid = QString::number(mouseModel(mouse).productId, 16);
        datafolder::copyTree(QStringLiteral(MOUSECFG_SOURCE_DIR "/modules/") + pid, dir.path() + "/modules/" + pid);
        QDir::setCurrent(dir.path());
        device.install();
        device.plug(mouse);
        DeviceEntry entry;
        entry.vid = VendorId;
        entry.pid = mouseModel(mouse).productId;
        entry.reportLength = mouseModel(mouse).reportLength;
        entry.path = device.path(mouse, Iface::Command);
        hid.deviceList = {entry};
        hid.deviceIndex = 0;
        view = std::make_unique<myQQuickView>();
        view->hid = &hid;
        if (initUI)
            view->initUI();
        device.clearWireLog();
    }
    ~Rig()
    {
        view.reset();
        device.uninstall();
        QDir::setCurrent(previousDir);
    }

    QTemporaryDir dir;
    VirtualDevice device;
    Hid_Thread hid;
    std::unique_ptr<myQQuickView> view;
    int mouse;
    QString previousDir = QDir::currentPath();

    QString file(const QString &relative) const   // "./modules/<pid>/" + relative
    {
        return "./modules/" + QString::number(mouseModel(mouse).productId, 16) + '/' + relative;
    }
    QString settingFile(const QString &name) const { return file("setting/" + name); }
    QByteArray fileContent(const QString &name) const { return readFile(settingFile(name)); }
    VirtualFirmware::State state() const { return device.firmwareState(mouse); }
    // Command bytes (b0) of the requests sent since the last clearWireLog, as hex text.
    QByteArray commands() const
    {
        QByteArray out;
        for (const WireEvent &e : device.wireLog())
            if (e.iface == Iface::Command && e.call == Call::SendFeature && e.bytes.size() >= 9)
                out += char(e.bytes[1]);
        return out.toHex(' ');
    }
};

// Left, right, My PC at 3, double fire at 7; button 5 a gun key when guns > 0.
QVariantList definitions(int guns = 0)
{
    QVariantList l(64, 0);
    l[2] = 0xF0, l[6] = 0xF1, l[12] = 6, l[14] = 0x94, l[15] = 1, l[29] = 0xF0, l[30] = 0x1E, l[31] = 2;
    if (guns)
        l[20] = 8, l[22] = guns;
    return l;
}

QStringList stored(const Rig &rig, int slot, int n)
{
    return rig.view->profileSettings.at(slot)->value(QString("mouseKeyMatrix/%1").arg(n)).toStringList();
}

bool slotsInOrder(const Rig &rig)
{
    bool ok = rig.view->profileSettings.size() == 10;
    for (int slot = 0; ok && slot < 10; ++slot)
        ok = rig.view->profileSettings.at(slot)->fileName().endsWith(QString("/p%1.bin").arg(slot + 1));
    return ok;
}

QString profileFile(int slot) { return QString("p%1.bin").arg(slot + 1); }

// Texts each page holds, by group.
const QList<QPair<QString, int>> pageCounts = {
    {"main", 15}, {"keyMatrix", 2}, {"keyAssigment", 60}, {"dpiSetting", 2}, {"lightControl", 16},
    {"macroEditor", 20}, {"systemSetting", 10}, {"gunControl", 10}, {"profile", 7}, {"keyCode", 133},
    {"saved", 9}, {"other", 2}};

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
        testsupport::addColumns<QString, bool>({"icType", "refused"});
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
        testsupport::addColumns<int, int>({"dest", "src"});
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
        // chosen: "" = cancelled
        testsupport::addColumns<QString, bool>({"chosen", "loaded"});
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
        QCOMPARE(readFile(target), rig.fileContent("p3.bin"));
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
        testsupport::addColumns<QByteArray, int, QStringList>({"content", "count", "head"});
        const auto row = [](const char *name, const QByteArray &content, int count, const QStringList &head) {
            QTest::newRow(name) << content << count << head;
        };
        row("huge total is capped", "[config]\ntotal=2000000000\n", 65536, {"0", "0"});
        row("negative total", "[config]\ntotal=-3\nrepeat=4\n", 1, {"4"});
        row("unquoted event with comma", "[config]\ntotal=1\nrepeat=2\n[macro]\n0=1,A\n", 2, {"1,A", "2"});
        row("missing entries and repeat", "[config]\ntotal=2\n[macro]\n1=\"2,B\"\n", 3, {"0", "2,B", "0"});
        row("not a macro file", QByteArray("\x00\xff garbage", 10), 1, {"0"});
    }

    void loadDamagedFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, head);
        Rig rig(vdev::Mouse553, false);
        QVERIFY(writeFile(rig.file("macro/M.bin"), content));
        const QStringList loaded = rig.view->loadMacroIni("M");
        QTEST(int(loaded.size()), "count");
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
        testsupport::addColumns<QString, QString>({"name", "renamed"});
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
        testsupport::addColumns<int, QVariant, int, bool>({"mouse", "index", "length", "sent"});

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
        QByteArray expected = QByteArray::fromHex("2c01") + QByteArray(126, 0);   // the count goes low byte first
        for (int i = 2; i < length; ++i)
            expected[i] = char(i);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(state.macro[slot].data()), 128), expected);
    }

    void nameLists_data()
    {
        testsupport::addColumns<int, QString, QStringList, QStringList>({"type", "key", "names", "stored"});
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
        // expected: 553: shots, X, Y of the slot; 560: block bytes 78..81
        testsupport::addColumns<int, bool, int, QVariantList, int, QByteArray>(
            {"mouse", "isGun", "index", "data", "option3", "expected"});
        const QVariantList y10{0, 0, 10};
        QTest::newRow("not gun capable") << vdev::Mouse553 << false << 1 << y10 << 0 << QByteArray();
        QTest::newRow("slot 0 refused") << vdev::Mouse553 << true << 0 << y10 << 0 << QByteArray();
        QTest::newRow("slot 4 refused") << vdev::Mouse560 << true << 4 << y10 << 0 << QByteArray();
        QTest::newRow("short data refused") << vdev::Mouse553 << true << 1 << QVariantList{0, 0} << 0 << QByteArray();
        QTest::newRow("553 slot 1") << vdev::Mouse553 << true << 1 << y10 << 0 << QByteArray("00 00 0a");
        QTest::newRow("553 Y negated") << vdev::Mouse553 << true << 1 << y10 << 1 << QByteArray("00 00 f6");
        // option3 -1: the option query fails, so the Y direction is unknown and nothing is sent.
        QTest::newRow("553 options unread") << vdev::Mouse553 << true << 1 << QVariantList{5, 6, 10} << -1
                                            << QByteArray("00 00 00");
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
        if (option3 < 0)
            rig.device.addFault(Fault{Call::GetFeature, FaultAction::Fail, 0, -1, mouse, Iface::Command});
        rig.view->profileBlocks[index + 1 < 5 ? index + 1 : 0][65] = 0xFF;
        rig.device.clearWireLog();
        rig.view->mouseSendGundata(index, data);

        const VirtualFirmware::State s = rig.state();
        if (expected.isEmpty())
            QVERIFY(rig.device.wireLog().empty());
        else if (mouse == vdev::Mouse553)
            QCOMPARE(hex(s.gunData[index - 1].data(), 3), expected);
        else
            QCOMPARE(hex(s.profile[index + 1].data() + 78, 4) + ' '
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
        testsupport::addColumns<QString, QString, QByteArray, QStringList>({"lang", "group", "content", "expected"});
        const auto row = [](const char *name, const QByteArray &content, const QStringList &expected,
                            const char *lang = "Test", const char *group = "g") {
            QTest::newRow(name) << lang << group << content << expected;
        };
        const QByteArray abc = "[g]\ntotal=3\n0=a\n1=b\n2=c\n";
        row("missing file", abc, {}, "Nope");
        row("path in the language code", abc, {}, "../i18n/Test");
        row("missing group", abc, {}, "Test", "h");
        row("total 0", "[g]\ntotal=0\n0=a\n", {});
        row("huge total capped", "[g]\ntotal=999999999\n", QStringList(4096, QString()));
        row("key order, not line order", "[g]\n2=c\n0=a\ntotal=3\n1=b\n", {"a", "b", "c"});
        row("total beyond the texts", "[g]\ntotal=3\n0=a\n", {"a", "", ""});
        row("UTF-8 intact", "[g]\ntotal=2\n0=\"Редактор макросів\"\n1=宏编辑器\n", {"Редактор макросів", "宏编辑器"});
        row("quoted and unquoted commas", "[g]\ntotal=2\n0=\"a, b; c \"\n1=d, e\n", {"a, b; c ", "d, e"});
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

    // "sensor/dpi:register" (hex). Out-of-range values are not clamped: the formula's result is
    // cut to a byte (3360 at 50 wraps, 3389 at 12800 keeps the low byte); 3395 has no table of its own.
    void dpiRegister_data()
    {
        QTest::addColumn<QString>("row");
        for (const QString &row : QString("3360/50:FF 3050/4001:00 3360/400:03 3050/250:01 3050/251:02 3050/4000:48 "
                                          "3389/12750:FF 3389/12800:00 4090/5000:31 4090/5200:5A 3395/5200:5A").split(' '))
            QTest::newRow(qPrintable(row)) << row;
    }
    void dpiRegister()
    {
        QFETCH(QString, row);
        const int reg = dpi::registerValue(row.section('/', 0, 0).toStdString(), row.section('/', 1).section(':', 0, 0).toInt());
        QCOMPARE(reg, row.section(':', 1).toInt(nullptr, 16));
    }

    void dpiHighBitsOf3389()
    {
        const dpi::Registers r = dpi::convert("3389", {12750, 12800, 400, 16000, 0, 0, 0, 25550, 13000});
        QCOMPARE(hex(r.stage.data(), 8), QByteArray("ff 00 08 40 00 00 00 ff"));
        QCOMPARE(int(r.highBits), 0x8A);   // stages 2, 4 and 8; a ninth value is ignored
        QCOMPARE(int(dpi::convert("3360", {20000}).highBits), 0);
    }

    void dpiStages553_data()
    {
        // sent: empty when refused
        testsupport::addColumns<int, QVariantList, QByteArray>({"count", "values", "sent"});
        QTest::newRow("no stage") << 0 << QVariantList({400}) << QByteArray();
        QTest::newRow("nine stages") << 9 << QVariantList({400}) << QByteArray();
        QTest::newRow("ten values") << 8 << QVariantList({400, 800, 1600, 3200, 100, 200, 300, 500, 600, 700})
                                    << QByteArray("03 07 0f 1f 00 01 02 04");
        QTest::newRow("values as text") << 2 << QVariantList({"400", "800.0"}) << QByteArray("03 07 00 00 00 00 00 00");
        QTest::newRow("four of four") << 4 << QVariantList({400, 800, 1600, 3200}) << QByteArray("03 07 0f 1f 00 00 00 00");
        QTest::newRow("two of eight") << 2 << QVariantList({400, 800, 1600, 3200, 4800, 6400, 8000, 12000})
                                      << QByteArray("03 07 80 80 80 80 80 80");
    }
    void dpiStages553()
    {
        QFETCH(int, count);
        QFETCH(QVariantList, values);
        QFETCH(QByteArray, sent);
        Rig rig(Mouse553);
        rig.view->mouseSetDpi(count, "3360", values);
        QCOMPARE(rig.commands(), sent.isEmpty() ? QByteArray() : QByteArray("11"));
        if (!sent.isEmpty()) {
            QCOMPARE(hex(rig.state().dpiSet.data(), 8), sent);
            QCOMPARE(int(rig.state().dpiStageCount), count);
        }
    }

    void dpiStages560_data()
    {
        testsupport::addColumns<bool, QString, QByteArray>({"gun", "sensor", "commands"});
        QTest::newRow("without gun, 3360") << false << "3360" << QByteArray("0c");
        QTest::newRow("with gun, 3389") << true << "3389" << QByteArray("0c 0c 0c 0c");
    }
    void dpiStages560()
    {
        QFETCH(bool, gun);
        QFETCH(QString, sensor);
        Rig rig(Mouse560);
        rig.view->isGun = gun;
        memset(rig.view->profileBlocks, 0xEE, sizeof rig.view->profileBlocks);
        rig.view->mouseSetDpi(3, sensor, {400, 800, 12800});
        QTEST(rig.commands(), "commands");
        const QByteArray regs = sensor == "3389" ? "08 10 00 00 00 00 00 00" : "03 07 7f 00 00 00 00 00";
        for (int block = 1; block <= 4; ++block)
            QCOMPARE(hex(rig.view->profileBlocks[block] + 81, 21),
                     "ee " + QByteArray(sensor == "3389" ? "04 04 " : "ee ee ") + regs + " " + regs + " 07 ee");
        QCOMPARE(hex(rig.state().profile[1].data() + 84, 8), regs);
        QCOMPARE(int(rig.state().profile[4][100]), gun ? 0x07 : 0);
        QCOMPARE(int(rig.view->profileBlocks[0][100]), 0xEE);
    }

    void effect_data()
    {
        // kind: c colourful, g gun, 5 is55328
        // sent: 0x0D request (553) or bytes 71..73 of block 1 (560)
        testsupport::addColumns<int, QString, QList<int>, QByteArray>({"mouse", "kind", "args", "sent"});
        const auto row = [](const char *name, int mouse, const char *kind, QList<int> args, const char *sent) {
            QTest::newRow(name) << mouse << QString(kind) << args << QByteArray(sent);
        };
        row("colourful, unknown effect", Mouse553, "c", {11, 2, 2}, "00 00 00");
        row("plain, unknown effect", Mouse553, "", {3, 1, 1}, "00 00 02");
        row("colourful static, brightness 0", Mouse553, "c", {0, 0, 0}, "01 00 00");
        row("colourful 1", Mouse553, "c", {1, 0, 4}, "03 00 0a");
        row("colourful 8", Mouse553, "c", {8, 2, 3}, "08 c0 0f");
        row("colourful 10", Mouse553, "c", {10, 4, 2}, "0a 80 14");
        row("plain static", Mouse553, "", {0, 0, 4}, "01 0a 02");
        row("plain 55328 breath", Mouse553, "5", {1, 2, 0}, "02 03 01");
        row("plain 55328, 4", Mouse553, "5", {4, 1, 0}, "02 02 03");
        row("560 plain", Mouse560, "", {1, 2, 3}, "02 03 03");
        row("560 plain gun", Mouse560, "g", {1, 2, 3}, "02 03 02");
        row("560 colourful", Mouse560, "c", {8, 2, 3}, "08 c0 0f");
        row("560 colourful gun", Mouse560, "cg", {8, 2, 3}, "08 c0 0f");
    }
    void effect()
    {
        QFETCH(int, mouse);
        QFETCH(QString, kind);
        QFETCH(QList<int>, args);
        QFETCH(QByteArray, sent);
        Rig rig(mouse);
        rig.view->isColorful = kind.contains('c');
        rig.view->isGun = kind.contains('g');
        rig.view->is55328 = kind.contains('5');
        rig.view->mouseSetRGBEffect(args[0], args[1], args[2]);
        const VirtualFirmware::State s = rig.state();
        if (mouse == Mouse553) {
            QCOMPARE(rig.commands(), QByteArray("0d"));
            QCOMPARE(hex(s.rgbEffect.data(), 3), sent);
            return;
        }
        // A gun mouse gets all four blocks, others block 1 alone.
        QCOMPARE(rig.commands(), QByteArray(rig.view->isGun ? "0c 0c 0c 0c" : "0c"));
        QCOMPARE(hex(s.profile[1].data() + 71, 3), sent);
        QCOMPARE(hex(rig.view->profileBlocks[1] + 71, 3), sent);
        const QByteArray others = kind == "" ? QByteArray("02 03 02") : sent;   // block 1 alone gets 3
        QCOMPARE(hex(rig.view->profileBlocks[4] + 71, 3), others);
        QCOMPARE(hex(s.profile[4].data() + 71, 3), rig.view->isGun ? others : QByteArray("00 00 00"));
    }

    void colours_data()
    {
        testsupport::addColumns<int, QString, int, QByteArray>({"mouse", "kind", "given", "commands"});
        QTest::newRow("553 plain, 30 values: 24 sent twice") << Mouse553 << "" << 30 << QByteArray("10 10");
        QTest::newRow("553 plain, 3 values: rest black") << Mouse553 << "" << 3 << QByteArray("10 10");
        QTest::newRow("553 55328, eighth colour set") << Mouse553 << "5" << 24 << QByteArray("10");
        QTest::newRow("553 55328, eighth colour black") << Mouse553 << "5" << 21 << QByteArray("0c");
        QTest::newRow("560 colourful: block 0") << Mouse560 << "c" << 24 << QByteArray("0c");
        QTest::newRow("560 plain: block 1") << Mouse560 << "" << 24 << QByteArray("0c");
    }
    void colours()
    {
        QFETCH(int, mouse);
        QFETCH(QString, kind);
        QFETCH(int, given);
        Rig rig(mouse);
        rig.view->isColorful = kind.contains('c');
        rig.view->is55328 = kind.contains('5');
        QVariantList list;
        QByteArray expected(24, 0);
        for (int i = 0; i < given; ++i) {
            list << i * 10 + 1;
            if (i < 24)
                expected[i] = char(i * 10 + 1);
        }
        rig.view->mouseSetRGBColor(1, list);
        QTEST(rig.commands(), "commands");
        const VirtualFirmware::State s = rig.state();
        const uint8_t *got = mouse == Mouse560 ? (kind == "c" ? s.profile[0].data() + 24 : s.profile[1].data() + 104)
                                                     : s.ledColours.data();
        if (rig.commands() == "0c" && mouse == Mouse553)
            QCOMPARE(hex(s.fixColour.data(), 3), QByteArray("01 0b 15"));
        else
            QCOMPARE(hex(got, 24), expected.toHex(' '));
    }

    void bothFamilies_data()
    {
        testsupport::addColumns<int, QByteArray, QByteArray>({"mouse", "options", "rateCommands"});
        // The 553 family takes the rate in parameter block 0, after asking for the active stage.
        QTest::newRow("553") << Mouse553 << QByteArray("04 01 06 07") << QByteArray("8b 02");
        QTest::newRow("560") << Mouse560 << QByteArray("04 01") << QByteArray("03 03 03 03");
    }
    void bothFamilies()
    {
        QFETCH(int, mouse);
        Rig rig(mouse);
        // Parameter block 0: a short list is refused, a seventh value is not sent.
        rig.view->mouseSetParameter_0({8, 1, 7}, 3);
        rig.view->mouseSetParameter_0({8, 1, 7, 252, 5, 3, 99}, 3);
        QCOMPARE(rig.commands(), QByteArray("02"));
        QCOMPARE(hex(rig.state().parameter0.data(), 8), QByteArray("08 01 07 fc 05 03 00 00"));
        QCOMPARE(int(rig.state().parameter0Profile), 3);

        rig.view->mouseSetCurrentDPI(2);
        QCOMPARE(int(rig.state().dpiStage), 2);
        rig.device.withFirmware(mouse, [](VirtualFirmware &fw) { fw.mutableState().dpiStage = 5; });
        QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 5);

        rig.device.clearWireLog();
        rig.view->mouseSetReportRate(2);
        QTEST(rig.commands(), "rateCommands");
        QCOMPARE(int(rig.state().reportRate), 2);
        QCOMPARE(int(rig.state().dpiStage), 5);
        QCOMPARE(rig.state().unknownRequests, 0);
        // Command 0x03 is the report rate on a 560 mouse: keyboard options must not touch it.
        rig.view->mouseSetKeyboardoption(4, 1, 6, 7);
        const VirtualFirmware::State s = rig.state();
        QCOMPARE(int(s.reportRate), 2);
        QTEST(mouse == Mouse560 ? hex(s.keyboardOption560.data(), 2) : hex(s.keyboardOptionSet.data(), 4), "options");
        const QVariantList identity = {s.keyboardOption[0], s.keyboardOption[1], s.keyboardOption[2], s.keyboardOption[3]};
        QCOMPARE(rig.view->GetKeyboardoption(), identity);

        rig.device.unplug(mouse);   // no answer: the queries' pre-fill
        QCOMPARE(rig.view->GetKeyboardoption(), QVariantList({0, 0, 0, 0}));
        QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 0);
    }

    // The 553 family's report rate goes with the profile's stored lighting, taken as the
    // lighting page takes it: what the page could not show goes as the page's default.
    void reportRate553StoredLight_data()
    {
        // sent: parameter block 0 bytes 0..5
        testsupport::addColumns<QVariantList, QByteArray>({"stored", "sent"});
        QTest::newRow("in range") << QVariantList{3, 0, 1} << QByteArray("02 00 03 3f 01 00");
        QTest::newRow("mode 6 goes as 7") << QVariantList{6, 4, 0} << QByteArray("02 00 07 00 07 00");   // RGB mouse
        QTest::newRow("past the plain mode list") << QVariantList{4, 1, 2} << QByteArray("02 00 01 7e 03 00");
        QTest::newRow("steps past 4, huge") << QVariantList{0, 5, 40000000} << QByteArray("02 00 00 fc 04 00");
        QTest::newRow("negative and text, missing") << QVariantList{-1, "fast"} << QByteArray("02 00 01 fc 04 00");
    }
    void reportRate553StoredLight()
    {
        QFETCH(QVariantList, stored);
        Rig rig(Mouse553);
        rig.view->isColorful = QTest::currentDataTag() == QByteArray("mode 6 goes as 7");
        rig.view->setDataList("mouse/lightValue", stored);
        rig.view->mouseSetReportRate(2);
        QTEST(hex(rig.state().parameter0.data(), 6), "sent");
    }

    // A block the connect could not read is not asked for again at every edit (a mouse that
    // never answers would hold the window for seconds each time) nor written, so the profile the
    // mouse has stored stays; the user hears of it once. Key matrices go only with block 0.
    void unreadBlockIsNotWritten_data()
    {
        // commands: two lighting edits, then gun keys
        // written: block 1
        testsupport::addColumns<Fault, QByteArray, bool>({"fault", "commands", "written"});
        // Each block's data phase is two reads at report length 64: skip 2 hits block 1.
        QTest::newRow("block 1 unread at connect") << Fault{Call::ReadTimeout, FaultAction::Fail, 2, 1, Mouse560, Iface::Command}
                                                   << QByteArray("0c 0c 0c 0c 0c 0c 0c 0d 0d 0d 0d 02") << false;
        QTest::newRow("blocks 2..4 never answer") << Fault{Call::ReadTimeout, FaultAction::Fail, 4, -1, Mouse560, Iface::Command}
                                                  << QByteArray("0c 0c 0c 0d 0d 0d 0d 02") << true;
        QTest::newRow("no read answered") << Fault{Call::GetFeature, FaultAction::Fail, 0, -1, Mouse560, Iface::Command}
                                          << QByteArray() << false;
    }
    void unreadBlockIsNotWritten()
    {
        QFETCH(Fault, fault);
        QFETCH(bool, written);
        Rig rig(Mouse560, false);
        QByteArray stored(128, 0);
        for (int i = 0; i < 128; ++i)
            stored[i] = char(i * 3 + 1);
        rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) {
            for (auto &block : fw.mutableState().profile)
                std::copy(stored.begin(), stored.end(), block.begin());
        });
        rig.device.addFault(fault);
        rig.view->initUI();
        rig.device.clearWireLog();
        testsupport::DebugCapture debug;
        QSignalSpy notices(rig.view.get(), &myQQuickView::trayNotice);
        rig.view->mouseSetRGBEffect(8, 2, 3);
        rig.view->mouseSetRGBEffect(8, 2, 3);
        QVariantList gunKeys(64, 0);
        gunKeys[0] = keys::GunFunction;
        gunKeys[2] = 1;
        rig.view->mouseSetKeyMatrix(gunKeys, true, {25, 35, 45});

        QTEST(rig.commands(), "commands");
        QCOMPARE(debug.contains("Profile block not read from the device, not written 1"), !written);
        QCOMPARE(notices.count(), 1);
        QByteArray expected = stored;
        if (written)
            expected.replace(71, 3, QByteArray::fromHex("08c00f"));
        const VirtualFirmware::State s = rig.state();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.profile[1].data()), 128).toHex(), expected.toHex());
    }

    void profileBlockCommands()
    {
        {
            Rig rig(Mouse560);
            rig.device.withFirmware(rig.mouse, [](VirtualFirmware &fw) { fw.mutableState().currentProfile = 3; });
            QCOMPARE(rig.view->mouseReadCurrentProfile().toInt(), 3);
            rig.view->profileBlocks[4][9] = 0x5A;
            for (uint n : {4u, 5u})
                rig.view->mouseSetProfile(n);
            rig.view->mouseReadProfile(7);
            QCOMPARE(int(rig.state().profile[4][9]), 0x5A);
            QCOMPARE(rig.commands(), QByteArray("82 0c"));
        }
        // These commands mean something else to a 553 mouse: never sent there.
        Rig plain(Mouse553);
        plain.view->mouseSetProfile(1);
        plain.view->mouseReadProfile(1);
        QCOMPARE(plain.view->mouseReadCurrentProfile().toInt(), 0);
        QCOMPARE(plain.commands(), QByteArray());
    }

    void forms_data()
    {
        // matrix, param: the key-matrix and parameter forms, empty: not checked. Left button, double
        // fire and My PC are pinned on the wire by keyMatrix and parameterBlock1.
        testsupport::addColumns<QByteArray, bool, QByteArray, QByteArray>({"ui", "family560", "matrix", "param"});
        const auto row = [](const char *name, const char *ui, bool family560, const char *matrix, const char *param) {
            QTest::newRow(name) << QByteArray(ui) << family560 << QByteArray(matrix) << QByteArray(param);
        };
        row("unknown type", "42010203", false, "42 01 02 03", "03 02 01 42");
        // A fire key's interval and count may look like a consumer usage; it stays a fire key.
        row("fire 33 ms twice stays fire", "01042102", false, "0a 04 21 02", "");
        row("fire 148 ms once stays fire", "01049401", true, "0a 04 94 01", "");
        row("DPI type never turns media", "05002102", false, "", "21 00 00 0b");
        row("factory-only value", "ff000200", false, "04 00 02 00", "00 02 00 04");
        row("fire", "01041405", false, "0a 04 14 05", "04 14 05 0c");
        // Modifiers go as usages into the bytes the keys leave free; keys keep their bytes.
        row("combination", "02030400", false, "00 03 04 00", "04 e1 e0 01");
        row("combination of modifiers only", "02050000", false, "", "e2 e0 00 01");
        row("stored combination beyond three keys", "02070405", false, "00 07 04 05", "04 05 e0 01");
        row("media next", "0300b500", false, "03 00 b5 00", "b5 00 00 03");
        row("macro slot 3", "04010300", false, "09 01 04 00", "");
        row("macro slot 3, once", "04000300", false, "", "03 00 01 05");
        row("DPI+", "05000100", false, "07 00 01 00", "01 00 00 0b");
        row("sniper 553", "05000400", false, "07 00 04 01", "04 01 03 f0");
        row("sniper 560", "05000400", true, "0b 00 01 01", "04 01 03 f0");
        row("home page as media", "06002302", false, "03 00 23 02", "23 02 00 03");
        row("search as media", "06002102", true, "03 00 21 02", "");
        row("maximise", "06e22c1b", false, "00 e2 2c 1b", "1b 2c e2 01");
        row("copy shortcut", "0700e006", false, "00 00 e0 06", "06 e0 00 01");
        row("gun", "08000200", false, "08 00 02 00", "00 02 00 08");
    }
    void forms()
    {
        QFETCH(QByteArray, ui);
        QFETCH(bool, family560);
        QFETCH(QByteArray, matrix);
        QFETCH(QByteArray, param);
        const QByteArray b = QByteArray::fromHex(ui);
        const keys::KeyDefinition def{uint8_t(b[0]), uint8_t(b[1]), uint8_t(b[2]), uint8_t(b[3])};
        if (!matrix.isEmpty())
            QCOMPARE(hex(keys::toKeyMatrixForm(def, family560).data(), 4), matrix);
        if (!param.isEmpty())
            QCOMPARE(hex(keys::toParameterForm(def).data(), 4), param);
    }

    void parameterBlock1_data()
    {
        testsupport::addColumns<int, int>({"mouse", "length"});
        QTest::newRow("191 values refused") << Mouse553 << 191;
        QTest::newRow("553, 200 values") << Mouse553 << 200;
        QTest::newRow("560") << Mouse560 << 192;
    }
    void parameterBlock1()
    {
        QFETCH(int, mouse);
        QFETCH(int, length);
        Rig rig(mouse);
        rig.view->setCurrentProfile(1);
        QVariantList block;
        for (int i = 0; i < 128; ++i)
            block << (i * 3) % 256;
        block << definitions() << QVariantList(8, 0xAB);
        rig.view->mouseSetParameter_1(block.mid(0, length), 4);

        const VirtualFirmware::State s = rig.state();
        if (length < 192) {   // a short list would overwrite the buttons with zeros
            QCOMPARE(rig.commands(), QByteArray());
            QCOMPARE(stored(rig, 1, 0), QStringList({"0", "0", "240", "0"}));
            QCOMPARE(stored(rig, 1, 3), QStringList({"0", "0", "244", "0"}));
            return;
        }
        QCOMPARE(stored(rig, 1, 3), QStringList({"6", "0", "148", "1"}));
        QCOMPARE(stored(rig, 1, 7), QStringList({"0", "240", "30", "2"}));
        QCOMPARE(int(s.parameter1Mask), 4);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(s.parameter1[i]), (i * 3) % 256);
        QCOMPARE(hex(s.parameter1.data() + 128, 16), QByteArray("f0 00 00 02 f1 00 00 02 00 00 00 02 94 01 00 03"));
        QCOMPARE(hex(s.parameter1.data() + 156, 8), QByteArray("f0 01 02 0c 00 00 00 02"));
    }

    void keyMatrix_data()
    {
        testsupport::addColumns<int, bool, int, QByteArray>({"mouse", "send", "guns", "commands"});
        // A short list would store zeros for the buttons it lacks, and send them.
        QTest::newRow("63 values refused") << Mouse553 << true << -1 << QByteArray();
        QTest::newRow("store only") << Mouse553 << false << 2 << QByteArray();
        QTest::newRow("553 without gun keys") << Mouse553 << true << 0 << QByteArray("12");
        QTest::newRow("560 without gun keys") << Mouse560 << true << 0 << QByteArray("0d");
        QTest::newRow("553 two guns") << Mouse553 << true << 2 << QByteArray("12 12 12 12 02");
        QTest::newRow("560 two guns") << Mouse560 << true << 2 << QByteArray("0c 0d 0d 0d 0d 02");
        QTest::newRow("560 three guns") << Mouse560 << true << 3 << QByteArray("0c 0d 0d 0d 0d 02");
    }
    void keyMatrix()
    {
        QFETCH(int, mouse);
        QFETCH(bool, send);
        QFETCH(int, guns);
        Rig rig(mouse);
        for (int n = 0; n < 16 && mouse == Mouse553; ++n)   // a gun-capable 553 mouse's stored matrix
            rig.view->setDataList(QString("mouseFwKeyMatrix/%1").arg(n), {1, 0, 0xF0 + n % 4, 0});
        rig.device.withFirmware(mouse, [](VirtualFirmware &fw) { fw.mutableState().currentKeyMatrix = 3; });
        rig.view->mouseSetKeyMatrix(guns < 0 ? definitions().mid(0, 63) : definitions(guns), send, {25, 35, 45});

        QTEST(rig.commands(), "commands");
        if (guns < 0) {
            QCOMPARE(stored(rig, 0, 0), QStringList({"0", "0", "240", "0"}));
            QCOMPARE(stored(rig, 0, 15), QStringList({"255", "0", "2", "0"}));
            return;
        }
        QCOMPARE(stored(rig, 0, 5), QStringList({guns ? "8" : "0", "0", QString::number(guns), "0"}));
        const VirtualFirmware::State s = rig.state();
        if (!send)
            return;
        QCOMPARE(hex(s.keyMatrix[1].data(), 16), QByteArray("01 00 f0 00 01 00 f1 00 01 00 00 00 03 00 94 01"));
        QCOMPARE(hex(s.keyMatrix[1].data() + 28, 4), QByteArray("0a f0 1e 02"));
        if (!guns)
            return;
        for (auto [matrix, entry] : {std::pair(2, "0b 00 19 00"), {3, "0b 01 23 00"}, {4, "0b 02 2d 00"}})
            QCOMPARE(hex(s.keyMatrix[matrix].data(), 4), QByteArray(entry));
        if (mouse == Mouse560) {
            QCOMPARE(int(s.profile[0][2]), guns == 2 ? 0x0F : 0x1F);
            QCOMPARE(hex(s.keyMatrix[2].data() + 20, 4), QByteArray("08 00 03 00"));
            QCOMPARE(int(s.currentProfile), 1);
        } else {
            QCOMPARE(hex(s.keyMatrix[1].data() + 20, 4), QByteArray("08 00 01 01"));
            QCOMPARE(hex(s.keyMatrix[2].data() + 20, 4), QByteArray("08 00 01 02"));
            QCOMPARE(int(s.currentKeyMatrix), 1);
        }
    }

    void resetAndSwitchKeyMatrix_data()
    {
        // entry1: when missing, from the factory profile, else zeros
        testsupport::addColumns<int, QByteArray>({"mouse", "entry1"});
        QTest::newRow("553") << Mouse553 << QByteArray("00 00 00 00");
        QTest::newRow("560") << Mouse560 << QByteArray("01 00 f1 00");
    }
    void resetAndSwitchKeyMatrix()
    {
        QFETCH(int, mouse);
        Rig rig(mouse);
        rig.view->setCurrentProfile(2);
        rig.view->setDataList("mouseFwKeyMatrix/0", {9, 8});   // short: padded with zeros
        rig.view->profileSettings.at(2)->remove("mouseFwKeyMatrix/1");
        rig.view->mouseResetKeyMatrix();
        for (int m = 2; m <= 4; ++m)
            QTEST(hex(rig.state().keyMatrix[m].data() + 4, 4), "entry1");
        QCOMPARE(hex(rig.state().keyMatrix[4].data(), 4), QByteArray("09 08 00 00"));
        QCOMPARE(rig.commands(), mouse == Mouse560 ? QByteArray("0d 0d 0d") : QByteArray("12 12 12"));

        rig.view->mouseSwitchKeyMatrix(4);
        QCOMPARE(mouse == Mouse560 ? int(rig.state().currentProfile) : int(rig.state().currentKeyMatrix) + 1, 4);
        rig.device.clearWireLog();
        rig.view->mouseSwitchKeyMatrix(0);
        rig.view->mouseSwitchKeyMatrix(5);
        QCOMPARE(rig.commands(), QByteArray());
    }

    void keyDefinitionReads()
    {
        Rig rig(Mouse560);
        rig.view->setDataList("mouseKeyMatrix/3", {5, 0});   // short: padded
        QCOMPARE(rig.view->mouseGetKeydefine(3, true), QVariantList({0, 0, 0xF4, 0}));
        QCOMPARE(rig.view->mouseGetKeydefine(3, false), QVariantList({5, 0, 0, 0}));
        QVERIFY(rig.view->mouseGetKeydefine(16, false).isEmpty());
    }

    void deletedMacroRevertsButtons()
    {
        Rig rig(Mouse553);
        for (auto [slot, button, name] : {std::tuple(0, 5, "Burst"), {2, 5, "Burst"}, {7, 5, "Burst"}, {2, 6, "Other"}, {3, 4, ""}}) {
            rig.view->setCurrentProfile(slot);
            rig.view->setDataList(QString("mouseKeyMatrix/%1").arg(button), {4, 1, button, 0});
            rig.view->setData(QString("mouseMacroKey/%1").arg(button), name);
        }
        // Definitions that are not four values are left alone, in the profile and in pD.bin:
        // padded with zeros, {4, 0} would name macro slot 0.
        rig.view->setCurrentProfile(1);
        const QList<std::pair<int, QVariantList>> kept = {{0, {4, 0}}, {9, {4, 1, 9, 0, 7}}, {3, {4, 1, 3, 0}}};
        for (const auto &[button, definition] : kept) {
            rig.view->setData(QString("mouseMacroKey/%1").arg(button), "Burst");
            rig.view->setDataList(QString("mouseKeyMatrix/%1").arg(button), definition);
        }
        rig.view->defaultSettings->setValue("mouseKeyMatrix/3", QVariantList{1, 2});
        rig.view->deleteMacroUpdateProfile("");   // would match every macro button without a name
        rig.view->deleteMacroUpdateProfile("Burst");
        for (const auto &[button, definition] : kept)
            QCOMPARE(stored(rig, 1, button), QVariant(definition).toStringList());
        const QStringList factory = rig.view->defaultSettings->value("mouseKeyMatrix/5").toStringList();
        QCOMPARE(stored(rig, 0, 5), factory);
        QCOMPARE(stored(rig, 2, 5), factory);
        QCOMPARE(stored(rig, 7, 5), QStringList({"4", "1", "5", "0"}));   // slots 6..9 are not the page's
        QCOMPARE(stored(rig, 2, 6), QStringList({"4", "1", "6", "0"}));
        QCOMPARE(stored(rig, 3, 4), QStringList({"4", "1", "4", "0"}));
        QCOMPARE(rig.commands(), QByteArray());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
