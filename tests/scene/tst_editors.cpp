// SPDX-License-Identifier: GPL-3.0-or-later
// The gun page and the macro editor as a user drives them on the 560 virtual mouse, keys fed the
// way the input capture delivers them. Rows run in order on the same scene.

#include "scene_helper.h"

#include "view/filedialogs.h"

#include <QJSValue>
#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::Command;
using scenetest::SceneRig;

class EditorsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<SceneRig> scene;
    QQuickItem *page = nullptr, *gunPage = nullptr;
    // Outcomes of the saves since the last "spy saves".
    QStringList saves;
    QTemporaryDir outside;
    QString chosen;  // what the file dialogs answer

    // A preset as the gun data file holds it.
    QStringList preset(int row)
    {
        const QString file = QFileInfo(scene->settingFile(Mouse560, "")).dir().filePath("../gun/gunData.bin");
        return QSettings(file, QSettings::IniFormat).value(QString("gunData/%1").arg(row)).toStringList();
    }

    // Presses an item's centre, moves the pointer by (dx, dy) and lets go; with cut, the item
    // loses the grab (to the busy lock, another window) before the button is let go.
    void drag(QQuickItem *item, int dx, int dy, bool cut = false)
    {
        const QPoint from = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
        QTest::mousePress(scene->view(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(scene->view(), from + QPoint(dx / 2, dy / 2));
        QTest::mouseMove(scene->view(), from + QPoint(dx, dy));
        if (cut)
            item->childItems().constFirst()->ungrabMouse();
        QTest::mouseRelease(scene->view(), Qt::LeftButton, Qt::NoModifier, from + QPoint(dx, dy));
    }

    // Steps: "open", "close" (the page), "drag NAME DY [cut]", "presets" (three presets of
    // other values on the slots). Checks: "preset ROW [FIELD[-]]" (ROW - for the page's own; FIELD- from it on),
    // "slots" (sent gun slots: profile number 2..4 for slots 1..3 with bytes 79..81, shots, X,
    // Y), "periods" (the fire periods the key matrices of slots 1..3 carry), "saves" (the results
    // of the save checks since the step "spy saves").
    std::optional<QString> gunCustom(const QStringList &w)
    {
        QStringList out;
        if (w[0] == "open" || w[0] == "close") {
            if (gunPage->isVisible() != (w[0] == "open"))
                scene->clickItem(w[0] == "open" ? "gunEditorButton" : "gunCloseButton");
        } else if (w[0] == "spy") {
            saves.clear();
        } else if (w[0] == "saves") {
            return saves.join('|');
        } else if (w[0] == "drag") {
            drag(scene->item(w[1]), 0, w[2].toInt(), w.size() > 3);
        } else if (w[0] == "presets") {
            scene->view()->setGlobalData("mouse/selectGun", QVariantList{3, 4, 5});
            const QStringList names{"M416", "AKM", "M16A4"};
            for (int row = 0; row < 3; ++row)
                scene->view()->mouseSaveGundata(row, {names[row], "L-Click", 30, 1, 20, 3});
        } else if (w[0] == "preset") {
            const QStringList p = preset(w[1] == "-" ? gunPage->property("currentRow").toInt() : w[1].toInt());
            const int field = w.value(2).remove('-').toInt();
            return w.size() < 3 ? p.join(',') : w[2].endsWith('-') ? p.mid(field).join(',') : p.value(field);
        } else if (w[0] == "slots" || w[0] == "periods") {
            for (const Command &c : scene->commands())
                if (w[0] == "slots" && c.code() == 0x0C && c.payload.at(1) >= 2 && c.payload.at(1) <= 4)
                    out << QString("%1: %2").arg(int(c.payload.at(1))).arg(QString(c.data.mid(79, 3).toHex(' ')));
                else if (w[0] == "periods" && c.code() == 0x0D && c.payload.at(1) >= 2)
                    out << c.data.left(4).toHex(' ');
            return out.join('|');
        } else {
            return std::nullopt;
        }
        return QString();
    }

    QString macroFolder() { return QFileInfo(scene->settingFile(Mouse560, "")).dir().filePath("../macro"); }

    // The device's macros become `names` (the first holding `events`), shown in the open editor
    // with the first one selected.
    void setMacros(const QStringList &names, const QStringList &events)
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

    // Steps: "macros NAME,.. EVENT ..", "fill N" (Macro_0 of N actions), "write NAME EVENT .."
    // (a file not on the list), "taps XX N", "delay on|off", "answer [FILE]", "other mouse" (the 553 plugged in instead, holding a Macro_0 too).
    // Checks: "macro NAME" (its events), "file NAME" (with the repeat count), "count NAME",
    // "names", "exists NAME", "outside FILE", "data KEY", "key N ROLE".
    std::optional<QString> custom(const QStringList &w)
    {
        myQQuickView *view = scene->view();
        const QString name = w.mid(1).join(' ');
        const QStringList events = view->loadMacroIni(name);
        if (w[0] == "macros")
            setMacros(w[1].split(','), w.mid(2));
        else if (w[0] == "fill") {
            QStringList list;
            for (int i = 0; i < w[1].toInt(); ++i)
                list << (i % 2 ? "2,A" : "1,A");
            setMacros({"Macro_0"}, list);
        } else if (w[0] == "write")
            return QString::number(view->createMacroIni(w[1], 0).toBool() && view->saveMacroIni(w[1], w.mid(2), 1).toBool());
        else if (w[0] == "taps")
            for (int i = 0; i < w[2].toInt(); ++i)
                scenetest::play(*scene, Mouse560, {"tap " + w[1]});
        else if (w[0] == "delay") {
            if (page->property("recordDelay").toBool() != (w[1] == "on"))
                scene->clickItem("macroDelayCheck");
        } else if (w[0] == "data")
            return view->getData(w[1], false).toString();
        else if (w[0] == "answer")
            chosen = w.size() > 1 ? outside.filePath(w[1]) : QString();
        else if (w[0] == "other") {
            const QString other = scene->settingFile(Mouse553, "../macro/Macro_0.bin");
            QDir().mkpath(QFileInfo(other).absolutePath());
            if (!QFile::copy(macroFolder() + "/Macro_0.bin", other))
                return std::nullopt;
            scene->device().unplug(Mouse560);
            scene->rig.widget->checkDevice();
            scene->connect(Mouse553);
        } else if (w[0] == "macro" || w[0] == "file")
            return (w[0] == "file" ? events : events.mid(0, events.size() - 1)).join(' ');
        else if (w[0] == "count")
            return QString::number(events.size() - 1);
        else if (w[0] == "names")
            return QVariant(view->getNameList(0)).toStringList().join(',');
        else if (w[0] == "exists" || w[0] == "outside")
            return QVariant(QFile::exists(w[0] == "exists" ? macroFolder() + "/" + name + ".bin" : outside.filePath(name))).toString();
        else if (w[0] == "key") {
            QObject *model = scene->item("keyMatrixMain")->property("modKeys").value<QObject *>();
            QJSValue key;
            QMetaObject::invokeMethod(model, "get", Q_RETURN_ARG(QJSValue, key), Q_ARG(int, w[1].toInt()));
            return key.property(w[2]).toString();
        } else
            return std::nullopt;
        return QString();
    }

private slots:
    void initTestCase()
    {
        scene = std::make_unique<SceneRig>(std::initializer_list<int>{Mouse560});
        page = scene->item("macroEditorMain");
        gunPage = scene->item("gunControlMain");
        QVERIFY(page && gunPage);
        connect(scene->view(), &myQQuickView::saveChecked, this,
                [this](const QVariantMap &outcome) { saves << outcome.value("result").toString(); });
    }
    void cleanupTestCase() { scene.reset(); }

    void gun_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addRow("start-up") << "gunControlMain.currentRow = 0; gunControlMain.shownY = 5; gunControlMain.rateText = 9MS";
        // Nothing goes out until the page is closed after a change; fields that merely took and
        // lost the focus change nothing. A button edit waiting for "Save" is neither stored nor
        // sent with the key matrices, which carry the slots' fire periods (rows 0, 3, 2).
        QTest::addRow("assign and close")
            << "open; clear; click gunYInput; click gunTimesInput; close; codes = ; open; choose gunSlotList 1; "
               "click gunRow3; global mouse/selectGun = 0,3,2; gunSlots3.text = 2; codes = ; "
               "call keyMatrixMain.assign 3 5 0 1 0; spy saves; close; saves = verified; "
               "slots = 2: 00 00 05|3: 00 00 0a|4: 00 00 08; "
               "ini mouseKeyMatrix/3 = 0,0,244,0; root.isSaveNeeded = true; call clearSaveFlags; "
               "periods = 0b 00 09 00|0b 01 0a 00|0b 02 09 00";
        // The sight's dot and its Y field; a drag cut short keeps the value before it.
        const QString dot = "open; %1; preset - 4 = %2; gunYInput.textValue = %2; gunDot.y = %3";
        QTest::addRow("dot dragged to the bottom") << dot.arg("drag gunDot 150", "64", "183");
        QTest::addRow("dot dragged to the top") << dot.arg("drag gunDot -150", "0", "89");
        QTest::addRow("Y typed") << dot.arg("type gunYInput 40", "40", "147.75");
        QTest::addRow("drag cut short") << dot.arg("drag gunDot 150 cut", "40", "147.75");
        // The shot count and "Endness" on the same preset.
        const QString times = "open; %1; preset - 5 = %2; gunEndlessCheck.isSelect = %3; gunTimesInput.textValue = %2";
        QTest::addRow("5 typed") << times.arg("type gunTimesInput 5", "5", "false");
        QTest::addRow("Endness ticked") << times.arg("click gunEndlessCheck", "0", "true");
        QTest::addRow("Endness clicked again stays") << times.arg("click gunEndlessCheck", "0", "true");
        QTest::addRow("7 typed") << times.arg("type gunTimesInput 7", "7", "false");
        QTest::addRow("0 typed") << times.arg("type gunTimesInput 0", "0", "true");
        // The slots go back to presets 0..2 with their shipped Y and period, all three sent.
        QTest::addRow("factory reset")
            << "presets; call gunControlMain.init; close; clear; click resetButton; click resetOkButton; "
               "global mouse/selectGun = 0,1,2; preset 0 = M416,L-Click,9,1,5,3; preset 1 2- = 9,1,7,3; "
               "preset 2 2- = 9,1,8,3; slots = 2: 03 01 05|3: 03 01 07|4: 03 01 08; "
               "gunControlMain.currentRow = 0; gunControlMain.currentSlot = 0";
    }

    void gun()
    {
        QFETCH(QString, lines);
        scenetest::play(*scene, Mouse560, lines.split("; "), [this](const QStringList &w) { return gunCustom(w); });
    }

    // Every knob position stores the period its header shows, and the page read afresh puts
    // the knob back there with the same text. A click on the track stores as a drag does.
    void gunRate()
    {
        scenetest::play(*scene, Mouse560, {"click gunEditorButton", "click gunRateSlider", "gunRateSlider.isDrop = true",
                                           "gunRateSlider.moving = false", "call gunControlMain.init"});
        QQuickItem *rate = scene->item("gunRateSlider");
        QQuickItem *knob = rate->findChild<QQuickItem *>("knob");
        QVERIFY(knob);
        // As at start-up: gun slot 1's preset.
        const int row = gunPage->property("currentRow").toInt();
        for (int x = 3; x <= 89; ++x) {
            drag(knob, x - int(knob->x()), 0);
            QCOMPARE(knob->x(), qreal(x));
            QCOMPARE(preset(row).value(2), QString::number(x + 1));
            scene->call(gunPage, "init");
            QCOMPARE(knob->x(), qreal(x));
            QCOMPARE(rate->property("textValue").toString(), QString("%1MS").arg(x + 1));
        }
        QTest::mouseClick(scene->view(), Qt::LeftButton, Qt::NoModifier,
                          knob->parentItem()->mapToScene(QPointF(50, 3)).toPoint());
        QTRY_COMPARE(preset(row).value(2), QString("45"));
        QCOMPARE(rate->property("textValue").toString(), QString("45MS"));
        gunCustom({"close"});
    }

    void macros_data()
    {
        QTest::addColumn<QString>("lines");
        const auto row = [](const QString &name, const QString &lines) { QTest::addRow("%s", qPrintable(name)) << lines; };
        // A new recording replaces what the macro held; with Delay, 10 ms a tick between the
        // events, none before. Closing the editor stops and saves too.
        const QString record = "macros Macro_0 1,Z 2,Z; delay %1; click macroRecordButton; macroEditorMain.isInputting = true; "
                               "set macroTickTimer.running false; set macroEditorMain.macroRecordCount 5; down 04; "
                               "set macroEditorMain.macroRecordCount 7; up 04; click %2; "
                               "macroEditorMain.isInputting = false; macro Macro_0 = %3";
        row("recording: A down, up", record.arg("off", "macroRecordButton", "1,A 2,A"));
        row("recording with Delay", record.arg("on", "macroRecordButton", "1,A 0,70 2,A"));
        row("closing the editor stops a recording", record.arg("off", "macroCloseButton", "1,A 2,A"));
        // 2 + 2 x actions + 2 bytes: 60 actions make 124, 61 make 126.
        row("recording at 124: one more event",
            "fill 0; click macroRecordButton; taps 04 31; click macroRecordButton; count Macro_0 = 61");
        row("insertion at 124", "fill 60; right eventRow0; click menuInsertLeft; count Macro_0 = 62");
        row("no insertion at 126", "fill 61; right eventRow0; click menuInsertLeft; count Macro_0 = 61");
        row("no delay at 126", "fill 61; right eventRow0; click menuInsertDelay; count Macro_0 = 61");
        // New takes the first free number, up to Macro_7.
        row("New: first free number", "macros Macro_0,Macro_1,Macro_3; click macroNewButton; "
            "names = Macro_0,Macro_1,Macro_3,Macro_2; root.macroNames = Macro_0,Macro_1,Macro_3,Macro_2; "
            "macroEditorMain.currentMacro = Macro_2; file Macro_2 = 1");
        const QString all = "Macro_0,Macro_1,Macro_2,Macro_3,Macro_4,Macro_5,Macro_6,Macro_7";
        row("New: Macro_0..7 taken", QString("macros %1; click macroNewButton; names = %1; root.macroNames = %1; "
                                             "macroEditorMain.currentMacro = Macro_0").arg(all));
        // A button of the current profile plays Macro_0; the new name reaches it only when the
        // macro store takes the name.
        const auto rename = [&](const char *why, const QString &typed, const QString &name) {
            row(QString("rename: ") + why,
                QString("macros Macro_0,Macro_1 1,A 2,A; call keyMatrixMain.assign 3 4 0 3 0; "
                        "call view.setData mouseMacroKey/3 Macro_0; dclick macroRow0; backspace; keys %1; enter; names = %2,Macro_1; root.macroNames = %2,Macro_1; "
                        "macroEditorMain.currentMacro = %2; macro %2 = 1,A 2,A; data mouseMacroKey/3 = %2")
                        .arg(typed, name) + (name == "Macro_0" ? "" : "; key 3 keyText = " + name));
        };
        rename("a new name", "Combo", "Combo");
        rename("another macro's name", "Macro_1", "Macro_0");
        rename("empty", "", "Macro_0");
        rename("a name with blanks", "fire at will", "fire at will");
        rename("a separator", "a/b", "Macro_0");
        rename("the name lists' end marker", "loaderzentok", "Macro_0");
        // The event list's menu on a row (or below the rows): keys are pressed and released
        // before the row, the right and middle buttons after it.
        const QString three = "macros Macro_0 1,A 0,50 2,A; ";
        const QString key = "; macroEditorMain.isInsertting = true; tap 05; insertKeyField.text = B; click insertKeyOk; "
                            "macroEditorMain.isInsertting = false; macro Macro_0 = ";
        row("Insert Key inside", three + "right eventRow1; click menuInsertKey" + key + "1,A 1,B 2,B 0,50 2,A");
        row("Insert Key at the last row: appended",
            three + "right eventRow2; click menuInsertKey" + key + "1,A 0,50 2,A 1,B 2,B");
        row("Insert Key below the rows: appended",
            three + "right eventView@200,320; click menuInsertKey" + key + "1,A 0,50 2,A 1,B 2,B");
        row("Insert Right Key inside", three + "right eventRow0; click menuInsertRight; "
                                               "macro Macro_0 = 1,A 3,MS-R 4,MS-R 0,50 2,A");
        row("Insert Middle Key into an empty list",
            "macros Macro_0; right eventView@200,320; click menuInsertMiddle; macro Macro_0 = 3,MS-M 4,MS-M");
        row("Insert Delay before the row", three + "right eventRow2; click menuInsertDelay; macro Macro_0 = 1,A 0,50 0,50 2,A");
        row("Delete", three + "right eventRow1; click menuDelete; macro Macro_0 = 1,A 2,A");
        row("Delete below the rows: nothing", three + "right eventView@200,320; click menuDelete; macro Macro_0 = 1,A 0,50 2,A");
        // A delay edited in place: Enter or a click elsewhere takes a number, nothing else.
        const QString delay = three + "dclick eventRow1; delayEdit.visible = true; backspace; keys %1; %2; macro Macro_0 = 1,A %3 2,A";
        row("delay: a number, Enter", delay.arg("120", "enter", "0,120"));
        row("delay: a number, click elsewhere", delay.arg("65535", "click macroView@80,300", "0,65535"));
        row("delay: nothing keeps the old value", delay.arg("", "enter", "0,50"));
        row("delay: letters are not taken", delay.arg("ab", "click macroView@80,300", "0,50"));
        row("repeat count", "macros Macro_0 1,A 2,A; type macroRepeatInput 300; file Macro_0 = 1,A 2,A 300; "
                            "type macroRepeatInput 0; file Macro_0 = 1,A 2,A 1");
        // Exported; imported in front of the row the menu was opened on, under a name whose file
        // is not left over from a macro no longer listed. A file that cannot be read adds
        // nothing; a cancelled import still gives an empty macro, below the rows at the end.
        // Delete on the macro list removes the macro, not an event of the one shown.
        row("import and export",
            "macros Macro_0,Macro_1 1,A 0,50 2,A; answer copy.mc; right macroRow0; click menuExport; outside copy.mc = true; "
            "write Macro_2 1,Z; right macroRow1; click menuImport; names = Macro_0,Macro_3,Macro_1; "
            "macroEditorMain.currentMacro = Macro_3; macro Macro_3 = 1,A 0,50 2,A; macro Macro_2 = 1,Z; "
            "answer missing.mc; right macroView@80,300; click menuImport; names = Macro_0,Macro_3,Macro_1; "
            "exists Macro_4 = false; answer; right macroView@80,300; click menuImport; "
            "names = Macro_0,Macro_3,Macro_1,Macro_4; file Macro_4 = 1; right macroRow1; click menuDelete; "
            "names = Macro_0,Macro_1,Macro_4; macro Macro_3 = ; macro Macro_0 = 1,A 0,50 2,A");
        // Button 3 plays Macro_0: an edit sends the macro to the button's slot again (repeat 1
        // low byte first, Ctrl pressed, 50 ms, released, Space pressed and released); deleting
        // the macro gives the button its saved definition back and sends the key matrix.
        // Recorded while the window speaks Chinese, the macro plays the same keys in English.
        row("a macro on a button",
            "macros Macro_0; call keyMatrixMain.assign 3 4 0 3 0; call view.setData mouseMacroKey/3 Macro_0; call saveAll; "
            "ini mouseKeyMatrix/3 = 4,0,3,0; call view.setGlobalData common/language ChineseSimplified; call readDevice; "
            "set macroEditorMain.recordDelay false; click macroRecordButton; tap e0; tap 2c; click macroRecordButton; "
            "macro Macro_0 = 1,LCtrl 2,LCtrl 1,Space 2,Space; call view.setGlobalData common/language English; "
            "call readDevice; clear; right eventRow1; click menuInsertDelay; codes = 0f; sent 0f p1 = 03; sent 0f d0 = 01 00 05 e0 81 e0 01 2c 81 2c 00 00; "
            "clear; click macroDeleteButton; exists Macro_0 = false; root.macroNames = ; codes = 03; "
            "sent 03 p5 = 04; ini mouseKeyMatrix/3 = 0,0,244,0; key 3 keyCode0 = 0");
        // The editor opened from the assignment dialog's macro choice closes that choice's list.
        row("closing closes the dialog's list",
            "macros Macro_0 1,A 2,A; click macroCloseButton; call keyAssigmentMain.openFor 3; "
            "call keyAssigmentMain.showGroup 4; click macroList; macroList.isDrop = true; macroList.moving = false; "
            "click macroEditorLink; macroEditorMain.visible = true; click macroCloseButton; macroList.isDrop = false; "
            "call keyAssigmentMain.close; click macroEditorButton");
        // Another mouse plugged in while a recording runs: the recording does not land in the
        // other mouse's macro of the same name. Last: the scene's mouse changes.
        row("other mouse while recording", "macros Macro_0 1,A 2,A; click macroRecordButton; down 05; other mouse; "
                                           "macroEditorMain.isInputting = false; macro Macro_0 = 1,A 2,A");
    }

    void macros()
    {
        QFETCH(QString, lines);
        filedialogs::ScopedHook hook([this](const filedialogs::Request &) { return chosen; });
        scenetest::play(*scene, Mouse560, lines.split("; "), [this](const QStringList &w) { return custom(w); });
    }
};

QTEST_MAIN(EditorsTest)
#include "tst_editors.moc"
