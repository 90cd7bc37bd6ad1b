// SPDX-License-Identifier: GPL-3.0-or-later
// The lighting page as a user drives it on each virtual mouse; assertions on the wire and the INI files.

#include "scene_helper.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

class LightingTest : public QObject
{
    Q_OBJECT

    // Checks: "modes" (the mode list's names), "blocks" (the colour blocks shown, 1 each),
    // "fits" (the open list's bottom on the page).
    std::optional<QString> custom(SceneRig &scene, const QStringList &w)
    {
        QStringList out;
        if (w[0] == "modes") {
            auto *model = scene.item("lightModeList")->property("mdItems").value<QAbstractItemModel *>();
            for (int i = 0; model && i < model->rowCount(); ++i)
                out << model->data(model->index(i, 0), model->roleNames().key("textValue")).toString();
            return out.join(',');
        }
        if (w[0] == "blocks") {
            for (int k = 0; k < 8; ++k)
                out << (scene.item(QString("lightBlock%1").arg(k))->isVisible() ? "1" : "0");
            return out.join("");
        }
        if (w[0] == "fits") {
            QQuickItem *rows = vdevtest::findItem(scene.item("lightModeList"), "rows"), *page = scene.item("lightControlMain");
            return QVariant(rows->mapToItem(page, QPointF(0, rows->height())).y() <= page->height()).toString();
        }
        return std::nullopt;
    }

private slots:
    void editAndSave_data()
    {
        testsupport::addColumns<int, int, QString>({"mouse", "dpiCount", "lines"});
        // A profile switch (or any later start-up pass) adds no modes. The open list stays on the
        // page, clear of the buttons below it. Brightness to its top step; block 1 from the colour
        // bar, block 2 typed in: Enter ends the input in debug mode too, a click on the block ends
        // an input the field still has the focus of, and so does "Save". Block 0 holds mode,
        // brightness 4 x 63, speed step 2 as code 4, colour block 2. The device's speed button:
        // the page follows, its text too. Reset: the factory values, to be sent by the next "Save".
        const QString lines =
            "modes = %1; blocks = %2; call lightControlMain.init false false; call lightControlMain.init true false; "
            "modes = %1; click lightModeList; lightModeList.isDrop = true; lightModeList.moving = false; fits = true; "
            "click lightModeList; lightModeList.moving = false; choose lightModeList %3; lightControlMain.lightMode = %3; "
            "blocks = %4; click lightBrightnessSlider@214,3; lightControlMain.brightnessStep = 4; "
            "lightBrightnessText.text = 100%; click lightColourBar@16,5; lightRedField.textValue = 255; "
            "lightGreenField.textValue = 127; click lightBlock1; set root.isDebugEnable true; type lightRedField 10; "
            "lightBlock1.color = #0a0405; set root.isDebugEnable false; type lightBlueField 0; typing lightGreenField 200; "
            "click lightBlock1; lightBlock1.color = #0ac800; root.isSaveNeeded = true; typing lightBlueField 5; clear; "
            "click saveButton; codes = 02 03 80; sent 02 d2 = %5 fc 04 01; sent 03 p5 = 02; "
            "sent 03 d88 = ff 7f 00 0a c8 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 17; "
            "ini mouse/lightValue = %3,2,4; ini mouse/colorValue = 255,127,0,10,200,5,6,7,8,9,10,11,12,13,14,15,16,17,18,"
            "19,20,21,22,23; call syncFwReport 5 0 0 0 7; lightSpeedText.text = 100%; click lightResetButton; "
            "lightControlMain.colorValue = {colours}; lightControlMain.lightMode = {mode}; modes = %1; root.isSaveNeeded = true";
        const QString base = "Static,Breath,Neon,OFF";
        QTest::newRow("553, four stages") << Mouse553 << 4 << lines.arg(base, "11110000", "2", "11110000", "02");
        // Mode 6 goes to the device as 7.
        QTest::newRow("560") << Mouse560 << 0
                             << lines.arg(base + ",Vertical Flipping,YO-YO,Spotlight,Twinkling,Wave,Gliding,Finger Moving",
                                          "11111111", "6", "11111111", "07");
        // One block until "Breath Loop" shows seven.
        QTest::newRow("3395") << Mouse3395 << 0 << lines.arg(base + ",Breath Loop", "10000000", "4", "11111110", "04");
    }

    void editAndSave()
    {
        QFETCH(int, mouse);
        QFETCH(int, dpiCount);
        QFETCH(QString, lines);
        SceneRig scene({});
        {
            auto profile = scene.profile(mouse, 0);
            profile->setValue("mouse/lightValue", QStringList{"0", "2", "1"});
            QStringList colours;
            for (int i = 0; i < 24; ++i)
                colours << QString::number(i);
            profile->setValue("mouse/colorValue", colours);
            if (dpiCount > 0)
                profile->setValue("mouse/dpiCount", dpiCount);
        }
        scene.connect(mouse);
        QSettings factory(scene.settingFile(mouse, "pD.bin"), QSettings::IniFormat);
        lines.replace("{colours}", factory.value("mouse/colorValue").toStringList().join(','))
            .replace("{mode}", factory.value("mouse/lightValue").toStringList().value(0));
        scenetest::play(scene, mouse, lines.split("; "), [&](const QStringList &w) { return custom(scene, w); });
    }
};

QTEST_MAIN(LightingTest)
#include "tst_lighting.moc"
