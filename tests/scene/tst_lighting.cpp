// SPDX-License-Identifier: GPL-3.0-or-later
// The lighting page as a user drives it on each virtual mouse: the modes and colour blocks the
// mouse offers, editing effect, brightness and colours, "Save" (block 0, then block 1 with the
// colour bit) and the reset button. Assertions are on the wire and the INI files.

#include "scene_helper.h"

#include <QAbstractItemModel>
#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::Command;
using scenetest::SceneRig;

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

    // Checks: "modes" (the mode list's names), "blocks" (the colour blocks shown, 1 each),
    // "fits" (the open list's bottom on the page).
    std::optional<QString> custom(SceneRig &scene, const QStringList &w)
    {
        if (w[0] == "modes")
            return modeNames(scene).join(',');
        if (w[0] == "blocks")
            return shownBlocks(scene);
        if (w[0] == "fits") {
            QQuickItem *rows = vdevtest::findItem(scene.item("lightModeList"), "rows"), *page = scene.item("lightControlMain");
            return QVariant(rows->mapToItem(page, QPointF(0, rows->height())).y() <= page->height()).toString();
        }
        return std::nullopt;
    }

private slots:

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
        QStringList colours = scene.profile(mouse, 0)->value("mouse/colorValue").toStringList();
        QCOMPARE(colours.size(), 24);
        const QColor block1(10, colours[4].toInt(), colours[5].toInt());
        colours[0] = "255", colours[1] = "127", colours[2] = "0";
        colours[3] = "10", colours[4] = "200", colours[5] = "5";
        QByteArray sent;
        for (const QString &v : colours)
            sent += char(v.toInt());
        // A profile switch (or any later start-up pass) adds no modes. The open list stays on the
        // page, clear of the buttons below it. Brightness to its top step; block 1 from the colour
        // bar, block 2 typed in: Enter ends the input in debug mode too, a click on the block ends
        // an input the field still has the focus of, and so does "Save". Block 0 holds mode,
        // brightness 4 x 63, speed step 2 as code 4, colour block 2. The device's speed button:
        // the page follows, its text too. Reset: the factory values, to be sent by the next "Save".
        const QString m = modes.join(',');
        QSettings factory(scene.settingFile(mouse, "pD.bin"), QSettings::IniFormat);
        scenetest::play(scene, mouse, QString(
            "modes = %1; blocks = %2; call lightControlMain.init false false; call lightControlMain.init true false; "
            "modes = %1; click lightModeList; lightModeList.isDrop = true; lightModeList.moving = false; fits = true; "
            "click lightModeList; lightModeList.moving = false; choose lightModeList %3; lightControlMain.lightMode = %3; "
            "blocks = %4; click lightBrightnessSlider@214,3; lightControlMain.brightnessStep = 4; "
            "lightBrightnessText.text = 100%; click lightColourBar@16,5; lightRedField.textValue = 255; "
            "lightGreenField.textValue = 127; click lightBlock1; set root.isDebugEnable true; type lightRedField 10; "
            "lightBlock1.color = %7; set root.isDebugEnable false; type lightBlueField 0; typing lightGreenField 200; "
            "click lightBlock1; lightBlock1.color = #0ac800; root.isSaveNeeded = true; typing lightBlueField 5; clear; "
            "click saveButton; codes = 02 03 80; sent 02 d2 = %5 fc 04 01; sent 03 p5 = 02; sent 03 d88 = %6; "
            "ini mouse/lightValue = %3,2,4; ini mouse/colorValue = %8; call syncFwReport 5 0 0 0 7; "
            "lightSpeedText.text = 100%; click lightResetButton; lightControlMain.colorValue = %9; "
            "lightControlMain.lightMode = %10; modes = %1; root.isSaveNeeded = true")
            .arg(m, blocks, QString::number(modeRow), blocksInMode, QString::number(modeCode, 16).rightJustified(2, '0'),
                 QString(sent.toHex(' ')), block1.name(), colours.join(','))
            .arg(factory.value("mouse/colorValue").toStringList().join(','), factory.value("mouse/lightValue").toStringList().value(0))
            .split("; "), [&](const QStringList &w) { return custom(scene, w); });
    }
};

QTEST_MAIN(LightingTest)
#include "tst_lighting.moc"
