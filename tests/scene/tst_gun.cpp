// SPDX-License-Identifier: GPL-3.0-or-later
// The gun page as a user drives it on the 560 virtual mouse.

#include "scene_helper.h"

#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::Command;
using scenetest::SceneRig;

class GunTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<SceneRig> scene;
    QQuickItem *page = nullptr;
    // Outcomes of the saves since the last "spy saves".
    QStringList saves;

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
    std::optional<QString> custom(const QStringList &w)
    {
        QStringList out;
        if (w[0] == "open" || w[0] == "close") {
            if (page->isVisible() != (w[0] == "open"))
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
            const QStringList p = preset(w[1] == "-" ? page->property("currentRow").toInt() : w[1].toInt());
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

private slots:
    void initTestCase()
    {
        scene = std::make_unique<SceneRig>(std::initializer_list<int>{Mouse560});
        page = scene->item("gunControlMain");
        QVERIFY(page);
        connect(scene->view(), &myQQuickView::saveChecked, this,
                [this](const QVariantMap &outcome) { saves << outcome.value("result").toString(); });
    }
    void cleanupTestCase() { scene.reset(); }

    // Rows run in order on the same scene.
    void rows_data()
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

    void rows()
    {
        QFETCH(QString, lines);
        scenetest::play(*scene, Mouse560, lines.split("; "), [this](const QStringList &w) { return custom(w); });
    }

    // Every knob position stores the period its header shows, and the page read afresh puts
    // the knob back there with the same text. A click on the track stores as a drag does.
    void rateRoundTrip()
    {
        scenetest::play(*scene, Mouse560, {"click gunEditorButton", "click gunRateSlider", "gunRateSlider.isDrop = true",
                                           "gunRateSlider.moving = false", "call gunControlMain.init"});
        QQuickItem *rate = scene->item("gunRateSlider");
        QQuickItem *knob = rate->findChild<QQuickItem *>("knob");
        QVERIFY(knob);
        // As at start-up: gun slot 1's preset.
        const int row = page->property("currentRow").toInt();
        for (int x = 3; x <= 89; ++x) {
            drag(knob, x - int(knob->x()), 0);
            QCOMPARE(knob->x(), qreal(x));
            QCOMPARE(preset(row).value(2), QString::number(x + 1));
            scene->call(page, "init");
            QCOMPARE(knob->x(), qreal(x));
            QCOMPARE(rate->property("textValue").toString(), QString("%1MS").arg(x + 1));
        }
        QTest::mouseClick(scene->view(), Qt::LeftButton, Qt::NoModifier,
                          knob->parentItem()->mapToScene(QPointF(50, 3)).toPoint());
        QTRY_COMPARE(preset(row).value(2), QString("45"));
        QCOMPARE(rate->property("textValue").toString(), QString("45MS"));
    }
};

QTEST_MAIN(GunTest)
#include "tst_gun.moc"
