// The macro editor as a user drives it on the 560 virtual mouse, keys fed the way the input
// capture delivers them: recording with and without delays, the size limit, New and rename,
// the event list's context menu and in-place delay editing, import and export, and a macro
// assigned to a button that reaches the device again after an edit and gives the button back
// when it is deleted.

#include "scene_helper.h"

#include "input/inputforward.h"
#include "view/filedialogs.h"

#include <QJSValue>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

using namespace vdev;
using scenetest::Command;
using scenetest::SceneRig;

class MacroEditorTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<SceneRig> scene;
    QQuickItem *page = nullptr;

    QString macroFolder() { return QFileInfo(scene->settingFile(Mouse560, "")).dir().filePath("../macro"); }

    // The stored events of a macro (its repeat count dropped); empty when there is no file.
    QStringList stored(const QString &name)
    {
        QStringList events = scene->view()->loadMacroIni(name);
        if (!events.isEmpty())
            events.removeLast();
        return events;
    }

    QStringList storedNames() { return QVariant(scene->view()->getNameList(0)).toStringList(); }

    // The device's macros become `names` (the first holding `events`), shown in the open editor
    // with the first one selected.
    void setMacros(const QStringList &names, const QStringList &events = {})
    {
        QDir(macroFolder()).removeRecursively();
        for (const QString &name : names)
            scene->view()->createMacroIni(name, 0);
        if (!names.isEmpty())
            scene->view()->saveMacroIni(names.first(), events, 1);
        scene->view()->updataNameList(0, names);
        if (!page->isVisible())
            scene->clickItem("macroEditorButton");
        scene->call(page, "init");
        if (!names.isEmpty())
            scene->clickItem("macroRow0");
    }

    QVariant keyRole(int button, const char *role)
    {
        QObject *model = scene->item("keyMatrixMain")->property("modKeys").value<QObject *>();
        QJSValue key;
        QMetaObject::invokeMethod(model, "get", Q_RETURN_ARG(QJSValue, key), Q_ARG(int, button));
        return key.property(role).toVariant();
    }

    void key(int code, bool isDown)
    {
        forwardKeyboardToScene(uchar(code), isDown, scene->view());
        QCoreApplication::processEvents();
    }

    // Opens the event list's context menu on a row (-1: below the rows) and picks an entry.
    void eventMenu(int row, const QString &entry)
    {
        if (row >= 0)
            scene->clickItem(QString("eventRow%1").arg(row), QPointF(), Qt::RightButton);
        else
            scene->clickItem("eventView", QPointF(200, 320), Qt::RightButton);
        scene->clickItem(entry);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        scene = std::make_unique<SceneRig>(std::initializer_list<int>{Mouse560});
        page = scene->item("macroEditorMain");
        QVERIFY(page);
    }
    void cleanupTestCase() { scene.reset(); }

    void recording_data()
    {
        QTest::addColumn<bool>("delay");
        QTest::addColumn<QString>("stopBy");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("A down, up: two rows") << false << "macroRecordButton" << QStringList{"1,A", "2,A"};
        QTest::newRow("Delay: 10 ms a tick between, none before")
            << true << "macroRecordButton" << QStringList{"1,A", "0,70", "2,A"};
        QTest::newRow("closing the editor stops and saves") << false << "macroCloseButton" << QStringList{"1,A", "2,A"};
    }

    // The macro held other events: a new recording replaces them.
    void recording()
    {
        QFETCH(bool, delay);
        QFETCH(QString, stopBy);
        QFETCH(QStringList, expected);
        setMacros({"Macro_0"}, {"1,Z", "2,Z"});
        if (page->property("recordDelay").toBool() != delay)
            scene->clickItem("macroDelayCheck");
        scene->clickItem("macroRecordButton");
        QVERIFY(page->property("isInputting").toBool());
        // The ticks as the test sets them.
        scene->root()->findChild<QObject *>("macroTickTimer")->setProperty("running", false);
        page->setProperty("macroRecordCount", 5);
        key(0x04, true);
        page->setProperty("macroRecordCount", 7);
        key(0x04, false);
        scene->clickItem(stopBy);
        QVERIFY(!page->property("isInputting").toBool());
        QCOMPARE(stored("Macro_0"), expected);
    }

    void sizeLimit_data()
    {
        QTest::addColumn<int>("actions");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("rows");
        // 2 + 2 x actions + 2 bytes: 60 actions make 124, 61 make 126.
        QTest::newRow("recording: at 124 one more event") << 0 << "record 62" << 61;
        QTest::newRow("insertion at 124") << 60 << "menuInsertLeft" << 62;
        QTest::newRow("no insertion at 126") << 61 << "menuInsertLeft" << 61;
        QTest::newRow("no delay at 126") << 61 << "menuInsertDelay" << 61;
    }

    void sizeLimit()
    {
        QFETCH(int, actions);
        QFETCH(QString, action);
        QFETCH(int, rows);
        QStringList events;
        for (int i = 0; i < actions; ++i)
            events << (i % 2 ? "2,A" : "1,A");
        setMacros({"Macro_0"}, events);
        if (action.startsWith("record")) {
            scene->clickItem("macroRecordButton");
            for (int i = 0; i < 62; ++i)
                key(0x04, i % 2 == 0);
            scene->clickItem("macroRecordButton");
        } else {
            eventMenu(0, action);
        }
        QCOMPARE(stored("Macro_0").size(), rows);
    }

    void newMacro_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("created");
        QTest::newRow("first free number") << QStringList{"Macro_0", "Macro_1", "Macro_3"} << "Macro_2";
        QTest::newRow("Macro_0..7 taken")
            << QStringList{"Macro_0", "Macro_1", "Macro_2", "Macro_3", "Macro_4", "Macro_5", "Macro_6", "Macro_7"}
            << "";
    }

    void newMacro()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, created);
        setMacros(names);
        scene->clickItem("macroNewButton");
        const QStringList now = created.isEmpty() ? names : names + QStringList{created};
        QCOMPARE(storedNames(), now);
        QCOMPARE(scene->rootProperty("macroNames").toStringList(), now);
        QCOMPARE(page->property("currentMacro").toString(), created.isEmpty() ? names.first() : created);
        if (!created.isEmpty())
            QCOMPARE(scene->view()->loadMacroIni(created), QStringList{"1"});
    }

    // A button of the current profile plays Macro_0; the new name reaches it only when the
    // macro store takes the name.
    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::newRow("a new name") << "Combo" << "Combo";
        QTest::newRow("another macro's name") << "Macro_1" << "Macro_0";
        QTest::newRow("empty") << "" << "Macro_0";
        QTest::newRow("a name with blanks") << "fire at will" << "fire at will";
        QTest::newRow("a separator") << "a/b" << "Macro_0";
        QTest::newRow("the name lists' end marker") << "loaderzentok" << "Macro_0";
    }

    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        setMacros({"Macro_0", "Macro_1"}, {"1,A", "2,A"});
        QQuickItem *keys = scene->item("keyMatrixMain");
        scene->call(keys, "assign", {3, 4, 0, 3, 0});
        scene->view()->setData("mouseMacroKey/3", "Macro_0");

        scene->doubleClickItem("macroRow0");
        QTest::keyClick(scene->view(), Qt::Key_Backspace);
        QTest::keyClicks(scene->view(), typed);
        QTest::keyClick(scene->view(), Qt::Key_Return);

        QCOMPARE(storedNames(), (QStringList{name, "Macro_1"}));
        QCOMPARE(scene->rootProperty("macroNames").toStringList(), (QStringList{name, "Macro_1"}));
        QCOMPARE(page->property("currentMacro").toString(), name);
        QCOMPARE(stored(name), (QStringList{"1,A", "2,A"}));
        QCOMPARE(scene->view()->getData("mouseMacroKey/3", false).toString(), name);
        if (name != "Macro_0")
            QCOMPARE(keyRole(3, "keyText").toString(), name);
    }

    void eventMenu_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("expected");
        const QStringList three{"1,A", "0,50", "2,A"};
        QTest::newRow("Insert Key inside: press, release before the row")
            << three << 1 << "menuInsertKey" << QStringList{"1,A", "1,B", "2,B", "0,50", "2,A"};
        QTest::newRow("Insert Key at the last row: appended")
            << three << 2 << "menuInsertKey" << QStringList{"1,A", "0,50", "2,A", "1,B", "2,B"};
        QTest::newRow("Insert Key below the rows: appended")
            << three << -1 << "menuInsertKey" << QStringList{"1,A", "0,50", "2,A", "1,B", "2,B"};
        QTest::newRow("Insert Right Key inside: after the row")
            << three << 0 << "menuInsertRight" << QStringList{"1,A", "3,MS-R", "4,MS-R", "0,50", "2,A"};
        QTest::newRow("Insert Middle Key into an empty list")
            << QStringList{} << -1 << "menuInsertMiddle" << QStringList{"3,MS-M", "4,MS-M"};
        QTest::newRow("Insert Delay before the row")
            << three << 2 << "menuInsertDelay" << QStringList{"1,A", "0,50", "0,50", "2,A"};
        QTest::newRow("Delete") << three << 1 << "menuDelete" << QStringList{"1,A", "2,A"};
        QTest::newRow("Delete below the rows: nothing") << three << -1 << "menuDelete" << three;
    }

    void eventMenu()
    {
        QFETCH(QStringList, events);
        QFETCH(int, row);
        QFETCH(QString, entry);
        QFETCH(QStringList, expected);
        setMacros({"Macro_0"}, events);
        eventMenu(row, entry);
        if (entry == "menuInsertKey") {
            QVERIFY(page->property("isInsertting").toBool());
            key(0x05, true);
            key(0x05, false);
            QCOMPARE(scene->item("insertKeyField")->property("text").toString(), QString("B"));
            scene->clickItem("insertKeyOk");
            QVERIFY(!page->property("isInsertting").toBool());
        }
        QCOMPARE(stored("Macro_0"), expected);
    }

    void delayEdit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QString>("delay");
        QTest::newRow("a number, Enter") << "120" << true << "0,120";
        QTest::newRow("a number, click elsewhere") << "65535" << false << "0,65535";
        QTest::newRow("nothing keeps the old value") << "" << true << "0,50";
        QTest::newRow("letters are not taken") << "ab" << false << "0,50";
    }

    void delayEdit()
    {
        QFETCH(QString, typed);
        QFETCH(bool, enter);
        QFETCH(QString, delay);
        setMacros({"Macro_0"}, {"1,A", "0,50", "2,A"});
        scene->doubleClickItem("eventRow1");
        QVERIFY(scene->item("delayEdit"));
        QTest::keyClick(scene->view(), Qt::Key_Backspace);
        QTest::keyClicks(scene->view(), typed);
        if (enter)
            QTest::keyClick(scene->view(), Qt::Key_Return);
        else
            scene->clickItem("macroView", QPointF(80, 300));
        QCOMPARE(stored("Macro_0"), (QStringList{"1,A", delay, "2,A"}));
    }

    void repeatField()
    {
        setMacros({"Macro_0"}, {"1,A", "2,A"});
        scene->type("macroRepeatInput", "300");
        QCOMPARE(scene->view()->loadMacroIni("Macro_0").last(), QString("300"));
        scene->type("macroRepeatInput", "0");
        QCOMPARE(scene->view()->loadMacroIni("Macro_0").last(), QString("1"));
    }

    void importExport()
    {
        setMacros({"Macro_0", "Macro_1"}, {"1,A", "0,50", "2,A"});
        QTemporaryDir outside;
        const QString file = outside.filePath("copy.mc");
        QString chosen = file;
        filedialogs::ScopedHook hook([&chosen](const filedialogs::Request &) { return chosen; });

        scene->clickItem("macroRow0", QPointF(), Qt::RightButton);
        scene->clickItem("menuExport");
        QVERIFY(QFile::exists(file));

        // Imported in front of the row the menu was opened on, under a name whose file is not
        // left over from a macro no longer listed.
        QVERIFY(scene->view()->createMacroIni("Macro_2", 0).toBool());
        QVERIFY(scene->view()->saveMacroIni("Macro_2", {"1,Z"}, 1).toBool());
        scene->clickItem("macroRow1", QPointF(), Qt::RightButton);
        scene->clickItem("menuImport");
        QCOMPARE(storedNames(), (QStringList{"Macro_0", "Macro_3", "Macro_1"}));
        QCOMPARE(page->property("currentMacro").toString(), QString("Macro_3"));
        QCOMPARE(stored("Macro_3"), (QStringList{"1,A", "0,50", "2,A"}));
        QCOMPARE(stored("Macro_2"), QStringList{"1,Z"});

        // A file that cannot be read adds nothing.
        chosen = outside.filePath("missing.mc");
        scene->clickItem("macroView", QPointF(80, 300), Qt::RightButton);
        scene->clickItem("menuImport");
        QCOMPARE(storedNames(), (QStringList{"Macro_0", "Macro_3", "Macro_1"}));
        QVERIFY(!QFile::exists(macroFolder() + "/Macro_4.bin"));

        // A cancelled import still gives an empty macro; below the rows it goes to the end.
        chosen.clear();
        scene->clickItem("macroView", QPointF(80, 300), Qt::RightButton);
        scene->clickItem("menuImport");
        QCOMPARE(storedNames(), (QStringList{"Macro_0", "Macro_3", "Macro_1", "Macro_4"}));
        QCOMPARE(scene->view()->loadMacroIni("Macro_4"), QStringList{"1"});

        // Delete on the macro list removes the macro (not an event of the one shown).
        scene->clickItem("macroRow1", QPointF(), Qt::RightButton);
        scene->clickItem("menuDelete");
        QCOMPARE(storedNames(), (QStringList{"Macro_0", "Macro_1", "Macro_4"}));
        QCOMPARE(stored("Macro_3"), QStringList{});
        QCOMPARE(stored("Macro_0"), (QStringList{"1,A", "0,50", "2,A"}));
    }

    // Button 3 plays Macro_0: an edit sends the macro to the button's slot again; deleting the
    // macro gives the button its saved definition back and sends the key matrix. Recorded while
    // the window speaks Chinese, the macro plays the same keys once it speaks English.
    void assignedMacro()
    {
        setMacros({"Macro_0"});
        QQuickItem *keys = scene->item("keyMatrixMain");
        scene->call(keys, "assign", {3, 4, 0, 3, 0});
        scene->view()->setData("mouseMacroKey/3", "Macro_0");
        scene->call("saveAll");
        QCOMPARE(scene->profile(Mouse560, 0)->value("mouseKeyMatrix/3").toStringList(),
                 (QStringList{"4", "0", "3", "0"}));
        scene->view()->setGlobalData("common/language", "ChineseSimplified");
        scene->call("readDevice");
        page->setProperty("recordDelay", false);
        scene->clickItem("macroRecordButton");
        for (int code : {0xE0, 0x2C})
            key(code, true), key(code, false);
        scene->clickItem("macroRecordButton");
        QCOMPARE(stored("Macro_0"), (QStringList{"1,LCtrl", "2,LCtrl", "1,Space", "2,Space"}));
        scene->view()->setGlobalData("common/language", "English");
        scene->call("readDevice");

        scene->clearWire();
        eventMenu(1, "menuInsertDelay");
        QList<Command> sent = scene->commands();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).code(), 0x0F);
        QCOMPARE(int(sent.at(0).payload.at(1)), 3);
        // Repeat 1 (low byte first), Ctrl pressed, 50 ms, released, Space pressed and released.
        QCOMPARE(sent.at(0).data.left(12).toHex(' '), QByteArray("01 00 05 e0 81 e0 01 2c 81 2c 00 00"));

        scene->clearWire();
        scene->clickItem("macroDeleteButton");
        QVERIFY(!QFile::exists(macroFolder() + "/Macro_0.bin"));
        QCOMPARE(scene->rootProperty("macroNames").toStringList(), QStringList());
        sent = scene->commands();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).code(), 0x03);
        QCOMPARE(int(sent.at(0).payload.at(5)), 4);
        const QSettings defaults(scene->settingFile(Mouse560, "pD.bin"), QSettings::IniFormat);
        QCOMPARE(scene->profile(Mouse560, 0)->value("mouseKeyMatrix/3").toStringList(),
                 defaults.value("mouseKeyMatrix/3").toStringList());
        QCOMPARE(keyRole(3, "keyCode0").toInt(), defaults.value("mouseKeyMatrix/3").toList().value(0).toInt());
    }

    // The editor opened from the assignment dialog's macro choice closes that choice's list.
    void closingClosesTheDialogsList()
    {
        setMacros({"Macro_0"}, {"1,A", "2,A"});
        scene->clickItem("macroCloseButton");
        QQuickItem *dialog = scene->item("keyAssigmentMain");
        scene->call(dialog, "openFor", {3});
        scene->call(dialog, "showGroup", {4});
        scene->clickItem("macroList");
        QQuickItem *list = scene->item("macroList");
        QTRY_VERIFY(list->property("isDrop").toBool() && !list->property("moving").toBool());
        scene->clickItem("macroEditorLink");
        QVERIFY(page->isVisible());
        scene->clickItem("macroCloseButton");
        QTRY_VERIFY(!list->property("isDrop").toBool());
        scene->call(dialog, "close");
        scene->clickItem("macroEditorButton");
    }

    // Another mouse plugged in while a recording runs: the recording does not land in the
    // other mouse's macro of the same name.
    void otherMouseWhileRecording()
    {
        setMacros({"Macro_0"}, {"1,A", "2,A"});
        scene->clickItem("macroRecordButton");
        key(0x05, true);
        const QString other = scene->settingFile(Mouse553, "../macro/Macro_0.bin");
        QDir().mkpath(QFileInfo(other).absolutePath());
        QVERIFY(QFile::copy(macroFolder() + "/Macro_0.bin", other));
        scene->device().unplug(Mouse560);
        scene->rig.widget->checkDevice();
        scene->connect(Mouse553);
        QVERIFY(!page->property("isInputting").toBool());
        QCOMPARE(stored("Macro_0"), (QStringList{"1,A", "2,A"}));
    }
};

QTEST_MAIN(MacroEditorTest)
#include "tst_macroeditor.moc"
