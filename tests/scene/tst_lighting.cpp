// The lighting page as a user drives it on each virtual mouse: the modes and colour blocks the
// mouse offers, editing effect, brightness and colours, "Save" (block 0, then block 1 with the
// colour bit) and the reset button. Assertions are on the wire and the INI files.

#include "scene_helper.h"

#include <QAbstractItemModel>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

using namespace vdev;
using scenetest::Command;
using scenetest::SceneRig;

namespace {

QStringList storedList(QSettings &file, const QString &key)
{
    return file.value(key).toStringList();
}

QString joined(const QVariantList &values)
{
    QStringList out;
    for (const QVariant &v : values)
        out << v.toString();
    return out.join(',');
}

QByteArray bytesOf(const QStringList &values)
{
    QByteArray b;
    for (const QString &v : values)
        b += char(v.toInt());
    return b;
}

} // namespace

class LightingTest : public QObject
{
    Q_OBJECT

    QString shownBlocks(SceneRig &scene)
    {
        QString shown;
        for (int k = 0; k < 8; ++k)
            shown += scene.item(QString("lightBlock%1").arg(k))->isVisible() ? '1' : '0';
        return shown;
    }

    QStringList modeNames(SceneRig &scene)
    {
        auto *model = scene.item("lightModeList")->property("mdItems").value<QAbstractItemModel *>();
        if (!model)
            return {};
        const int role = model->roleNames().key("textValue");
        QStringList names;
        for (int i = 0; i < model->rowCount(); ++i)
            names << model->data(model->index(i, 0), role).toString();
        return names;
    }

    // Replaces a number field's text by typing; Enter ends the input unless told otherwise.
    void typeInto(SceneRig &scene, const QString &field, const QString &text, bool enter = true)
    {
        scene.clickItem(field);
        QTest::keyClick(scene.view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(scene.view(), text);
        if (enter)
            QTest::keyClick(scene.view(), Qt::Key_Return);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void editAndSave_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<int>("dpiCount");
        QTest::addColumn<QStringList>("modes");
        QTest::addColumn<QString>("blocks");
        QTest::addColumn<int>("modeRow");
        QTest::addColumn<int>("modeCode");
        QTest::addColumn<QString>("blocksInMode");
        const QStringList base{"Static", "Breath", "Neon", "OFF"};
        QTest::newRow("553, four stages") << Mouse553 << 4 << base << "11110000" << 2 << 2 << "11110000";
        // Mode 6 goes to the device as 7.
        QTest::newRow("560") << Mouse560 << 0
                             << base + QStringList{"Vertical Flipping", "YO-YO", "Spotlight", "Twinkling", "Wave",
                                                   "Gliding", "Finger Moving"}
                             << "11111111" << 6 << 7 << "11111111";
        // One block until "Breath Loop" shows seven.
        QTest::newRow("3395") << Mouse3395 << 0 << base + QStringList{"Breath Loop"} << "10000000" << 4 << 4
                              << "11111110";
    }

    void editAndSave()
    {
        QFETCH(int, mouse);
        QFETCH(int, dpiCount);
        QFETCH(QStringList, modes);
        QFETCH(QString, blocks);
        QFETCH(int, modeRow);
        QFETCH(int, modeCode);
        QFETCH(QString, blocksInMode);
        SceneRig scene({});
        {
            auto profile = scene.profile(mouse, 0);
            profile->setValue("mouse/lightValue", QStringList{"0", "2", "1"});
            if (dpiCount > 0)
                profile->setValue("mouse/dpiCount", dpiCount);
        }
        scene.connect(mouse);
        QQuickItem *page = scene.item("lightControlMain");
        QCOMPARE(modeNames(scene), modes);
        QCOMPARE(shownBlocks(scene), blocks);
        // A profile switch (or any later start-up pass) adds no modes.
        scene.call(page, "init", {false, false});
        scene.call(page, "init", {true, false});
        QCOMPARE(modeNames(scene), modes);

        // The open list stays on the page, clear of the buttons below it.
        QQuickItem *list = scene.item("lightModeList");
        scene.clickItem("lightModeList");
        QTRY_VERIFY(list->property("isDrop").toBool() && !list->property("moving").toBool());
        QQuickItem *rows = vdevtest::findItem(list, "rows");
        QVERIFY(rows->mapToItem(page, QPointF(0, rows->height())).y() <= page->height());
        scene.clickItem("lightModeList");
        QTRY_VERIFY(!list->property("moving").toBool());
        scene.choose("lightModeList", modeRow);
        QCOMPARE(page->property("lightMode").toInt(), modeRow);
        QCOMPARE(shownBlocks(scene), blocksInMode);
        // Brightness to its top step; block 1 from the colour bar, block 2 typed in.
        scene.clickItem("lightBrightnessSlider", QPointF(214, 3));
        QTRY_COMPARE(page->property("brightnessStep").toInt(), 4);
        QCOMPARE(scene.item("lightBrightnessText")->property("text").toString(), QString("100%"));
        scene.clickItem("lightColourBar", QPointF(16, 5));
        QCOMPARE(scene.item("lightRedField")->property("textValue").toString(), QString("255"));
        QCOMPARE(scene.item("lightGreenField")->property("textValue").toString(), QString("127"));
        scene.clickItem("lightBlock1");
        // Enter ends the input in debug mode too.
        scene.root()->setProperty("isDebugEnable", true);
        typeInto(scene, "lightRedField", "10");
        QCOMPARE(scene.item("lightBlock1")->property("color").value<QColor>().red(), 10);
        scene.root()->setProperty("isDebugEnable", false);
        typeInto(scene, "lightBlueField", "0");
        // A click on the block ends an input the field still has the focus of.
        typeInto(scene, "lightGreenField", "200", false);
        scene.clickItem("lightBlock1");
        QCOMPARE(scene.item("lightBlock1")->property("color").value<QColor>().name(), QString("#0ac800"));
        QVERIFY(scene.rootProperty("isSaveNeeded").toBool());

        QStringList colours = storedList(*scene.profile(mouse, 0), "mouse/colorValue");
        QCOMPARE(colours.size(), 24);
        colours[0] = "255", colours[1] = "127", colours[2] = "0";
        colours[3] = "10", colours[4] = "200", colours[5] = "5";
        // "Save" while a field still has the focus keeps what was typed.
        typeInto(scene, "lightBlueField", "5", false);
        scene.clearWire();
        scene.clickItem("saveButton");
        QCOMPARE(scene.codes(), QByteArray("02 03 80"));
        const QList<Command> sent = scene.commands();
        // Block 0: mode, brightness 4 x 63, speed step 2 as code 4, colour block 2.
        QCOMPARE(sent.at(0).data.mid(2, 4).toHex(' '),
                 QByteArray::number(modeCode, 16).rightJustified(2, '0') + " fc 04 01");
        QCOMPARE(int(uchar(sent.at(1).payload.at(5))), 2);
        QCOMPARE(sent.at(1).data.mid(88, 24), bytesOf(colours));
        auto profile = scene.profile(mouse, 0);
        QCOMPARE(storedList(*profile, "mouse/lightValue").join(','), QString("%1,2,4").arg(modeRow));
        QCOMPARE(storedList(*profile, "mouse/colorValue"), colours);

        // The device's speed button: the page follows, its text too.
        scene.call("syncFwReport", {5, 0, 0, 0, 7});
        QCOMPARE(scene.item("lightSpeedText")->property("text").toString(), QString("100%"));

        // Reset: the factory values, to be sent by the next "Save".
        scene.clickItem("lightResetButton");
        QSettings factory(scene.settingFile(mouse, "pD.bin"), QSettings::IniFormat);
        QCOMPARE(joined(page->property("colorValue").toList()), storedList(factory, "mouse/colorValue").join(','));
        QCOMPARE(page->property("lightMode").toInt(), storedList(factory, "mouse/lightValue").value(0).toInt());
        QCOMPARE(modeNames(scene), modes);
        QVERIFY(scene.rootProperty("isSaveNeeded").toBool());
    }
};

QTEST_MAIN(LightingTest)
#include "tst_lighting.moc"
