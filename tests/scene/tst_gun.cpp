// The gun page as a user drives it on the 560 virtual mouse: assigning a preset to a slot and
// what closing sends, the sight's dot and the Y field, the shot count and "Endness", the rate
// slider's period kept over a restart at every knob position, and the factory reset.

#include "scene_helper.h"

#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

using namespace vdev;
using scenetest::Command;
using scenetest::SceneRig;

class GunTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<SceneRig> scene;
    QQuickItem *page = nullptr;

    // A preset as the gun data file holds it.
    QStringList preset(int row)
    {
        const QString file = QFileInfo(scene->settingFile(Mouse560, "")).dir().filePath("../gun/gunData.bin");
        return QSettings(file, QSettings::IniFormat).value(QString("gunData/%1").arg(row)).toStringList();
    }

    QStringList selectGun() { return scene->global(Mouse560)->value("mouse/selectGun").toStringList(); }

    void open()
    {
        if (!page->isVisible())
            scene->clickItem("gunEditorButton");
        QVERIFY(page->isVisible());
    }

    // Sent gun slots: profile number (2..4 for slots 1..3) with bytes 79..81 (times, X, Y).
    QStringList sentSlots()
    {
        QStringList out;
        for (const Command &c : scene->commands())
            if (c.code() == 0x0C && c.payload.at(1) >= 2 && c.payload.at(1) <= 4)
                out << QString("%1: %2").arg(int(c.payload.at(1))).arg(QString(c.data.mid(79, 3).toHex(' ')));
        return out;
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

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        scene = std::make_unique<SceneRig>(std::initializer_list<int>{Mouse560});
        page = scene->item("gunControlMain");
        QVERIFY(page);
    }
    void cleanupTestCase() { scene.reset(); }

    void startUp()
    {
        QCOMPARE(page->property("currentRow").toInt(), 0);
        QCOMPARE(page->property("shownY").toInt(), 5);
        QCOMPARE(page->property("rateText").toString(), QString("9MS"));
    }

    // Nothing goes out until the page is closed after a change.
    void assignAndClose()
    {
        open();
        scene->clearWire();
        // Fields that merely took and lost the focus change nothing.
        scene->clickItem("gunYInput");
        scene->clickItem("gunTimesInput");
        scene->clickItem("gunCloseButton");
        QCOMPARE(scene->codes(), QByteArray());

        open();
        scene->choose("gunSlotList", 1);
        scene->clickItem("gunRow3");
        QCOMPARE(selectGun(), (QStringList{"0", "3", "2"}));
        QCOMPARE(scene->item("gunSlots3")->property("text").toString(), QString("2"));
        QCOMPARE(scene->codes(), QByteArray());
        // A button edit waiting for "Save" is neither stored nor sent with the key matrices.
        scene->call(scene->item("keyMatrixMain"), "assign", {3, 5, 0, 1, 0});
        // Closing is a save: its profile blocks are read back.
        QSignalSpy checked(scene->view(), &myQQuickView::saveChecked);
        scene->clickItem("gunCloseButton");
        QCOMPARE(checked.count(), 1);
        QCOMPARE(checked.at(0).at(0).toMap().value("result").toString(), QString("verified"));
        QCOMPARE(sentSlots(), (QStringList{"2: 00 00 05", "3: 00 00 0a", "4: 00 00 08"}));
        QCOMPARE(scene->profile(Mouse560, 0)->value("mouseKeyMatrix/3").toStringList().join(','), QString("0,0,244,0"));
        QVERIFY(scene->rootProperty("isSaveNeeded").toBool());
        scene->call("clearSaveFlags");
        // The key matrices carry the slots' fire periods (rows 0, 3, 2).
        QStringList periods;
        for (const Command &c : scene->commands())
            if (c.code() == 0x0D && c.payload.at(1) >= 2)
                periods << QString(c.data.left(4).toHex(' '));
        QCOMPARE(periods, (QStringList{"0b 00 09 00", "0b 01 0a 00", "0b 02 09 00"}));
    }

    void cursor_data()
    {
        QTest::addColumn<int>("dragBy");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<double>("dotY");
        QTest::newRow("dot dragged to the bottom") << 150 << false << "" << 64 << 183.0;
        QTest::newRow("dot dragged to the top") << -150 << false << "" << 0 << 89.0;
        QTest::newRow("Y typed") << 0 << false << "40" << 40 << 147.75;
        // Rows run in order: a drag cut short keeps the value before it.
        QTest::newRow("drag cut short") << 150 << true << "" << 40 << 147.75;
    }

    void cursor()
    {
        QFETCH(int, dragBy);
        QFETCH(bool, cut);
        QFETCH(QString, typed);
        QFETCH(int, value);
        QFETCH(double, dotY);
        open();
        QQuickItem *dot = scene->item("gunDot");
        if (typed.isEmpty())
            drag(dot, 0, dragBy, cut);
        else
            scene->type("gunYInput", typed);
        const int row = page->property("currentRow").toInt();
        QCOMPARE(preset(row).value(4), QString::number(value));
        QCOMPARE(scene->item("gunYInput")->property("textValue").toString(), QString::number(value));
        QCOMPARE(dot->y(), dotY);
    }

    // Rows run in order on the same preset.
    void times_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("times");
        QTest::newRow("5 typed") << "5" << "5";
        QTest::newRow("Endness ticked") << "" << "0";
        QTest::newRow("Endness clicked again stays") << "" << "0";
        QTest::newRow("7 typed") << "7" << "7";
        QTest::newRow("0 typed") << "0" << "0";
    }

    void times()
    {
        QFETCH(QString, typed);
        QFETCH(QString, times);
        open();
        if (typed.isEmpty())
            scene->clickItem("gunEndlessCheck");
        else
            scene->type("gunTimesInput", typed);
        QCOMPARE(preset(page->property("currentRow").toInt()).value(5), times);
        QCOMPARE(scene->item("gunEndlessCheck")->property("isSelect").toBool(), times == "0");
        QCOMPARE(scene->item("gunTimesInput")->property("textValue").toString(), times);
    }

    // Every knob position stores the period its header shows, and the page read afresh puts
    // the knob back there with the same text. A click on the track stores as a drag does.
    void rateRoundTrip()
    {
        open();
        QQuickItem *rate = scene->item("gunRateSlider");
        scene->clickItem("gunRateSlider");
        QTRY_VERIFY(rate->property("isDrop").toBool() && !rate->property("moving").toBool());
        QQuickItem *knob = rate->findChild<QQuickItem *>("knob");
        QVERIFY(knob);
        // As at start-up: gun slot 1's preset.
        scene->call(page, "init");
        const int row = page->property("currentRow").toInt();
        for (int x = 3; x <= 89; ++x) {
            drag(knob, x - int(knob->x()), 0);
            QCOMPARE(knob->x(), qreal(x));
            QCOMPARE(preset(row).value(2), QString::number(x + 1));
            scene->call(page, "init");
            QCOMPARE(knob->x(), qreal(x));
            QCOMPARE(rate->property("textValue").toString(), QString("%1MS").arg(x + 1));
        }
        QQuickItem *track = knob->parentItem();
        QTest::mouseClick(scene->view(), Qt::LeftButton, Qt::NoModifier, track->mapToScene(QPointF(50, 3)).toPoint());
        QTRY_COMPARE(preset(row).value(2), QString("45"));
        QCOMPARE(rate->property("textValue").toString(), QString("45MS"));
    }

    // The slots go back to presets 0..2 with their shipped Y and period, and all three are sent.
    void factoryReset()
    {
        scene->view()->setGlobalData("mouse/selectGun", QVariantList{3, 4, 5});
        const QStringList names{"M416", "AKM", "M16A4"};
        for (int row = 0; row < 3; ++row)
            scene->view()->mouseSaveGundata(row, {names.at(row), "L-Click", 30, 1, 20, 3});
        scene->call(page, "init");
        if (page->isVisible())
            scene->clickItem("gunCloseButton");
        scene->clearWire();
        scene->clickItem("resetButton");
        scene->clickItem("resetOkButton");
        QCOMPARE(selectGun(), (QStringList{"0", "1", "2"}));
        QCOMPARE(preset(0), (QStringList{"M416", "L-Click", "9", "1", "5", "3"}));
        QCOMPARE(preset(1).mid(2), (QStringList{"9", "1", "7", "3"}));
        QCOMPARE(preset(2).mid(2), (QStringList{"9", "1", "8", "3"}));
        QCOMPARE(sentSlots(), (QStringList{"2: 03 01 05", "3: 03 01 07", "4: 03 01 08"}));
        QCOMPARE(page->property("currentRow").toInt(), 0);
        QCOMPARE(page->property("currentSlot").toInt(), 0);
    }
};

QTEST_MAIN(GunTest)
#include "tst_gun.moc"
