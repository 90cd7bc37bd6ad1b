// The main window as a user drives it: start-up on each virtual mouse, "Save", the report-rate
// row, profile change and factory reset, firmware reports, screen scaling and another mouse
// attached later. Assertions are on the wire and the INI files.

#include "scene_helper.h"
#include "view/ui_controler.h"

#include <QDesktopServices>
#include <QDirIterator>
#include <QFontMetrics>
#include <QQmlAbstractUrlInterceptor>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

using namespace vdev;

Q_DECLARE_METATYPE(vdev::Fault)
using scenetest::Command;
using scenetest::SceneRig;

namespace {

QByteArray bytesOf(const QVariantList &values)
{
    QByteArray b;
    for (const QVariant &v : values)
        b += char(v.toInt());
    return b;
}

QList<Command> withCode(const QList<Command> &all, int code)
{
    QList<Command> out;
    for (const Command &c : all)
        if (c.code() == code)
            out << c;
    return out;
}

// Visible text items of the scene, with their text and font.
void collectTexts(QQuickItem *item, QList<QPair<QString, QFont>> &out)
{
    if (!item->isVisible())
        return;
    const QByteArray type = item->metaObject()->className();
    if (type.startsWith("QQuickText"))
        out << qMakePair(item->property("text").toString(), item->property("font").value<QFont>());
    for (QQuickItem *child : item->childItems())
        collectTexts(child, out);
}

// Characters the font (with its fallbacks) has no glyph for.
QString missingGlyphs(const QString &text, const QFont &font)
{
    const QFontMetrics metrics(font);
    QString missing;
    for (const uint c : text.toUcs4())
        if (!QChar::isSpace(c) && !metrics.inFontUcs4(c))
            missing += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
    return missing;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { openedUrls << url; }

private:
    QList<QUrl> openedUrls;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { deviceConnected = false; }

    void startUp_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<int>("deviceProfile");
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<bool>("gun");
        QTest::addColumn<int>("profileNo");
        // The 560 mouse is asked for its active profile and put back on profile 1.
        QTest::newRow("553") << Mouse553 << 1 << QByteArray("80") << false << 0;
        QTest::newRow("560 on profile 1") << Mouse560 << 1 << QByteArray("82 80") << true << 0;
        QTest::newRow("560 on profile 3") << Mouse560 << 3 << QByteArray("82 02 80") << true << 0;
        QTest::newRow("553, third profile in use") << Mouse553 << 1 << QByteArray("80") << false << 2;
    }

    void startUp()
    {
        QFETCH(int, mouse);
        QFETCH(int, deviceProfile);
        QFETCH(QByteArray, codes);
        QFETCH(bool, gun);
        QFETCH(int, profileNo);
        SceneRig scene({});
        // The mouse reports a rate code the row does not have, so the row keeps the stored one.
        scene.device().withFirmware(mouse, [&](VirtualFirmware &f) {
            f.mutableState().currentProfile = uint8_t(deviceProfile);
            f.mutableState().reportRate = 3;
        });
        // The profile in use holds 250 Hz, any other 1000 Hz.
        scene.global(mouse)->setValue("mouse/profileNo", profileNo);
        scene.profile(mouse, 0)->setValue("mouse/reportRate", 3);
        scene.profile(mouse, profileNo)->setValue("mouse/reportRate", 1);
        scene.clearWire();
        scene.connect(mouse);
        // Profile-block reads of detection aside, the scene asks in this order.
        QByteArray got = scene.codes().replace("8c ", "").replace("8c", "");
        QCOMPARE(got.trimmed(), codes);
        QCOMPARE(scene.rootProperty("isGun").toBool(), gun);
        QCOMPARE(scene.item("gunEditorButton")->isVisible(), gun);
        QVERIFY(scene.item("background")->isVisible());
        QVERIFY(!scene.item("powerOn")->isVisible());
        QVERIFY(!scene.item("busyText")->isVisible());

        // The report-rate row shows the profile in use, and "Save" sends that rate.
        QCOMPARE(scene.item("reportRateList")->property("currentSelect").toInt(), 1);
        scene.item("lightControlMain")->setProperty("isSave", true);
        scene.clearWire();
        scene.clickItem("saveButton");
        QCOMPARE(int(uchar(withCode(scene.commands(), 0x02).value(0).data.at(0))), 4);
    }

    // The window's content is built after the power-on picture's first frame. Where the lock
    // ends before it is there (a slow machine), the view is usable at once and the picture stays
    // until the content can take its place; the device set-up that waited for it then runs.
    void lockEndsBeforeTheContent()
    {
        SceneRig scene({});
        scene.device().plug(Mouse553);
        scene.rig.widget->checkDevice();
        QCoreApplication::sendPostedEvents(); // the queued initUI, not yet the content's slices
        QVERIFY(scene.rootProperty("initPending").toBool());
        QQuickItem *powerOn = scene.item("powerOn");
        QQuickItem *background = scene.item("background");
        scene.call("setProtectUI", {0});
        QVERIFY(scene.view()->isEnabled());
        QVERIFY(powerOn->isVisible());
        QVERIFY(!background->isVisible());
        QTRY_VERIFY(background->isVisible());
        QVERIFY(!powerOn->isVisible());
        QVERIFY(scene.codes().contains("80"));
    }

    void save_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<int>("mask");
        // Each save ends with the sync request that checks it.
        QTest::newRow("DPI, 553") << Mouse553 << QStringList{"dpi"} << QByteArray("03 80") << 1;
        QTest::newRow("keys, 560") << Mouse560 << QStringList{"keys"} << QByteArray("03 80") << 4;
        QTest::newRow("all three, 560") << Mouse560 << QStringList{"dpi", "light", "keys"} << QByteArray("02 03 80") << 7;
    }

    void save()
    {
        QFETCH(int, mouse);
        QFETCH(QStringList, pages);
        QFETCH(QByteArray, codes);
        QFETCH(int, mask);
        SceneRig scene({mouse});
        QQuickItem *dpi = scene.item("dpiSettingMain");
        QQuickItem *light = scene.item("lightControlMain");
        QQuickItem *keys = scene.item("keyMatrixMain");
        const QVariantList dpiValues{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
        const QVariantList colours{10, 200, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
        if (pages.contains("dpi")) {
            dpi->setProperty("dpiValueArray", dpiValues);
            dpi->setProperty("isSave", true);
        }
        if (pages.contains("light")) {
            light->setProperty("colorValue", colours);
            light->setProperty("brightnessStep", 4);
            light->setProperty("isSave", true);
        }
        if (pages.contains("keys")) {
            // Button 1 becomes "DPI+": stored and sent in its parameter form 01 00 00 0B.
            scene.call(keys, "assign", {1, 5, 0, 1, 0});
        }
        QVERIFY(scene.rootProperty("isSaveNeeded").toBool());
        scene.clearWire();
        scene.clickItem("saveButton");
        QCOMPARE(scene.codes(), codes);
        QVERIFY(scene.view()->isEnabled());
        QVERIFY(!scene.rootProperty("isSaveNeeded").toBool());

        const Command block1 = withCode(scene.commands(), 0x03).value(0);
        QCOMPARE(int(uchar(block1.payload.at(5))), mask);
        const QByteArray data = block1.data.left(192);
        QCOMPARE(data.size(), 192);
        if (pages.contains("dpi")) {
            QCOMPARE(data.mid(9, 16).toHex(' '), QByteArray("90 01 20 03 40 06 80 0c c0 12 00 19 40 1f e0 2e"));
            QCOMPARE(data.mid(25, 16), data.mid(9, 16));
            QCOMPARE(scene.profile(mouse, 0)->value("mouse/dpiValueArray").toStringList().join(','),
                     QString("400,800,1600,3200,4800,6400,8000,12000"));
        }
        if (pages.contains("light")) {
            QCOMPARE(data.mid(88, 24), bytesOf(colours));
            const Command block0 = withCode(scene.commands(), 0x02).value(0);
            QCOMPARE(int(uchar(block0.data.at(3))), 252);   // brightness step 4
        }
        // Buttons 0 and 1 in their parameter form: left button, then right button or "DPI+".
        QCOMPARE(data.mid(128, 8).toHex(' '),
                 QByteArray(pages.contains("keys") ? "f0 00 00 02 01 00 00 0b" : "f0 00 00 02 f1 00 00 02"));
        if (pages.contains("keys"))
            QCOMPARE(scene.profile(mouse, 0)->value("mouseKeyMatrix/1").toStringList().join(','), QString("5,0,1,0"));
    }

    // The row's choice is stored and sent at once, with the lighting as the mouse holds it: a
    // lighting edit waiting for "Save" is neither stored nor sent by it, and a mode the mouse
    // reported (at connect, or after its own light button) is not switched back.
    void reportRateRow()
    {
        SceneRig scene({Mouse553});
        const QVariant light = scene.profile(Mouse553, 0)->value("mouse/lightValue");
        const auto mouseMode = [&] {
            int mode = 0;
            scene.device().withFirmware(Mouse553, [&](VirtualFirmware &f) { mode = f.state().lightMode; });
            return mode;
        };
        QVERIFY(light.toStringList().value(0).toInt() != mouseMode());
        scene.call(scene.item("lightControlMain"), "chooseMode", {3});
        for (int press = 0; press < 2; ++press) {
            const int mode = mouseMode();
            scene.clearWire();
            scene.choose("reportRateList", 1 + press);
            QTRY_COMPARE(scene.codes(), QByteArray("02 80"));
            QCOMPARE(int(uchar(scene.commands().at(0).data.at(0))), press ? 2 : 4);   // 500, 250 Hz
            QCOMPARE(int(uchar(scene.commands().at(0).data.at(2))), mode);
            QCOMPARE(scene.profile(Mouse553, 0)->value("mouse/reportRate").toInt(), 1 + press);
            QCOMPARE(scene.profile(Mouse553, 0)->value("mouse/lightValue"), light);
            QVERIFY(scene.rootProperty("isSaveNeeded").toBool());
            scene.device().pressLightButton(Mouse553);
            QTRY_COMPARE(scene.item("lightControlMain")->property("lightMode").toInt(), mouseMode());
        }
    }

    // The lift-off row is shown for the 3395 sensor only; a choice is stored and sent in block 1,
    // with the stages as stored (a DPI edit waits for "Save").
    void lodRow()
    {
        SceneRig scene({Mouse3395});
        QVERIFY(scene.item("lodRow")->isVisible());
        scene.clickItem("dpiPlus5");
        scene.clearWire();
        scene.choose("lodList", 1);
        QTRY_COMPARE(scene.codes(), QByteArray("03 80"));
        const Command block1 = scene.commands().at(0);
        QCOMPARE(int(uchar(block1.payload.at(5))), 1);
        QCOMPARE(int(uchar(block1.data.at(3))), 2);
        // Six stages as stored, then 12000 twice.
        QCOMPARE(block1.data.mid(19, 6).toHex(' '), QByteArray("80 3e e0 2e e0 2e"));
        QCOMPARE(scene.profile(Mouse3395, 0)->value("mouse/lod").toInt(), 2);
        QCOMPARE(scene.profile(Mouse3395, 0)->value("mouse/dpiValueArray").toStringList().value(5), QString("16000"));
        QVERIFY(scene.rootProperty("isSaveNeeded").toBool());
        scene.device().unplug(Mouse3395);
        scene.rig.widget->checkDevice();
        scene.connect(Mouse553);
        QVERIFY(!scene.item("lodRow")->isVisible());
    }

    // A save is checked against the mouse: the report-rate and lift-off rows (the state the sync
    // request's answer shows, which the mouse's own buttons change too) and a factory reset of
    // the 560 (its profile blocks read back). What did not stick is sent once more; what still
    // differs is told, keeps "Save" red, and goes again with the next "Save".
    void savesAreChecked_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QString>("action");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<bool>("resent");
        QTest::addColumn<QString>("notice");
        const Fault none{Call::Enumerate, FaultAction::Fail, 0, 0};
        QTest::newRow("553 kept") << Mouse553 << "rate" << none << "verified" << QStringList() << false << "Saved";
        QTest::newRow("3395 lift-off after its DPI button")
            << Mouse3395 << "lod" << none << "verified" << QStringList() << false << "Saved";
        QTest::newRow("553 lost once, sent again") << Mouse553 << "rate" << Fault{Call::Write, FaultAction::Drop, 0, 1}
                                                  << "verified" << QStringList() << true << "Saved";
        QTest::newRow("553 altered") << Mouse553 << "rate" << Fault{Call::Write, FaultAction::Alter, 0, -1} << "notKept"
                                     << QStringList{"rate"} << true << "Not kept by the mouse: report rate";
        QTest::newRow("553 sync lost") << Mouse553 << "rate" << Fault{Call::SendFeature, FaultAction::Drop, 1, -1}
                                       << "noAnswer" << QStringList() << false << "The mouse did not answer";
        // The mouse's light differs from the profile's, which goes with the rate.
        QTest::newRow("560 lost") << Mouse560 << "rate" << Fault{Call::Write, FaultAction::Drop, 0, -1} << "notKept"
                                  << QStringList{"rate"} << true << "Not kept by the mouse: report rate";
        QTest::newRow("560 reset altered")
            << Mouse560 << "reset" << Fault{Call::Write, FaultAction::Alter, 0, -1} << "notKept"
            << QStringList{"profile2", "profile3", "profile4"} << true << "Not kept by the mouse: stored profile 2, 3, 4";
        // Buttons and DPI values have no way back: a transfer that failed is what tells.
        QTest::newRow("553 buttons, write fails") << Mouse553 << "save" << Fault{Call::Write, FaultAction::Fail, 0, -1}
                                                  << "noAnswer" << QStringList() << true << "The mouse did not answer";
        QTest::newRow("553 without status reports") << Mouse553 << "rate unpolled" << none << "unchecked"
                                                    << QStringList() << false << "Sent; this mouse cannot confirm it";
    }

    void savesAreChecked()
    {
        QFETCH(int, mouse);
        QFETCH(QString, action);
        QFETCH(Fault, fault);
        QFETCH(QString, result);
        QFETCH(QStringList, items);
        QFETCH(bool, resent);
        QFETCH(QString, notice);
        SceneRig scene({mouse}, "English");
        scene.view()->syncAnswerTimeoutMs = 200;
        QSignalSpy checked(scene.view(), &myQQuickView::saveChecked);
        QSignalSpy tray(scene.rig.widget.get(), &Widget::trayMessageShown);
        scene.device().addFault(fault);
        if (action.endsWith("unpolled"))
            scene.rig.hid().stopPolling();
        if (action == "save") {
            scene.item("dpiSettingMain")->setProperty("isSave", true);
            scene.clickItem("saveButton");
        } else if (action == "reset") {
            scene.clickItem("resetButton");
            scene.clickItem("resetOkButton");
        } else if (action == "lod") {
            scene.device().pressDpiButton(mouse);
            QTRY_COMPARE(scene.item("dpiSettingMain")->property("currentDPI").toInt(), 1);
            scene.choose("lodList", 1);
        } else {
            scene.choose("reportRateList", 0);
        }
        QTRY_COMPARE(checked.count(), 1);
        const QVariantMap outcome = checked.at(0).at(0).toMap();
        QCOMPARE(outcome.value("result").toString(), result);
        QCOMPARE(outcome.value("items").toStringList(), items);
        QCOMPARE(outcome.value("resent").toBool(), resent);
        QCOMPARE(scene.item("saveNotice")->property("text").toString(), notice);
        QVERIFY(scene.item("saveNotice")->isVisible());
        const bool kept = result == "verified" || result == "unchecked";
        QCOMPARE(scene.rootProperty("isSaveNeeded").toBool(), !kept);
        QCOMPARE(tray.count(), kept ? 0 : 1);
        if (!kept)
            QVERIFY(tray.at(0).at(1).toString().startsWith(outcome.value("text").toString()));

        // "Save" sends what was not kept again (and nothing when all was kept).
        scene.device().clearFaults();
        scene.clearWire();
        scene.clickItem("saveButton");
        QCOMPARE(scene.codes().isEmpty(), kept);
        QCOMPARE(checked.count(), kept ? 1 : 2);
        QCOMPARE(checked.last().at(0).toMap().value("result").toString(), kept ? result : QString("verified"));
        QVERIFY(!scene.rootProperty("isSaveNeeded").toBool());
    }

    void profileChange()
    {
        SceneRig scene({Mouse553});
        // Choosing the profile already in use does nothing.
        scene.clearWire();
        scene.choose("profileList", 0);
        QTest::qWait(300);
        QCOMPARE(scene.codes(), QByteArray());
    }

    void factoryReset()
    {
        SceneRig scene({Mouse560});
        scene.call(scene.view(), "setData", {"mouse/dpiValueArray", QVariantList{1, 2, 3, 4, 5, 6, 7, 8}});
        scene.clearWire();
        scene.clickItem("resetButton");
        QVERIFY(scene.item("mask")->isVisible());
        scene.clickItem("resetOkButton");
        QTRY_VERIFY(!scene.item("mask")->isVisible());
        QCOMPARE(scene.item("dpiSettingMain")->property("currentDPI").toInt(), 1);
        // Block 0, block 1 with everything, then the gun mouse's matrices.
        const QList<Command> sent = scene.commands();
        QVERIFY(sent.size() >= 2);
        QCOMPARE(sent.at(0).code(), 0x02);
        QCOMPARE(sent.at(1).code(), 0x03);
        QCOMPARE(int(uchar(sent.at(1).payload.at(5))), 7);
        QCOMPARE(scene.profile(Mouse560, 0)->value("mouse/dpiValueArray").toStringList(),
                 QSettings(scene.settingFile(Mouse560, "pD.bin"), QSettings::IniFormat)
                     .value("mouse/dpiValueArray").toStringList());
        QVERIFY(scene.view()->isEnabled());
    }

    void firmwareReports()
    {
        SceneRig scene({Mouse560});
        QQuickItem *rate = scene.item("reportRateList");
        QQuickItem *dpi = scene.item("dpiSettingMain");
        QQuickItem *light = scene.item("lightControlMain");
        rate->setProperty("currentSelect", 3);
        dpi->setProperty("currentDPI", 0);
        light->setProperty("speedStep", 0);
        scene.clearWire();
        // An unknown rate code changes nothing; what the pages can show is followed.
        scene.call("syncFwReport", {2, 3, 0, 0, 0});
        QCOMPARE(rate->property("currentSelect").toInt(), 3);
        scene.call("syncFwReport", {255, 8, 3, 7, 5});
        QCOMPARE(rate->property("currentSelect").toInt(), 0);
        QCOMPARE(dpi->property("currentDPI").toInt(), 2);
        QCOMPARE(light->property("lightMode").toInt(), 6);
        QCOMPARE(light->property("speedStep").toInt(), 3);
        // A stage beyond those in use, or a mode the list does not have, is ignored.
        const int stages = dpi->property("currentDpiCount").toInt();
        for (int stage : {0, stages + 1})
            scene.call("syncFwReport", {3, 0, stage, 0, 0});
        scene.call("syncFwReport", {4, 0, 0, 11, 0});
        QCOMPARE(dpi->property("currentDPI").toInt(), 2);
        QCOMPARE(light->property("lightMode").toInt(), 6);
        QCOMPARE(scene.codes(), QByteArray());
    }

    // Every text shown, and every text of every language file, has glyphs in the scene's font.
    void textRenders_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QString>("language");
        for (const char *language : {"English", "ChineseSimplified", "Ukrainian"}) {
            QTest::addRow("553 %s", language) << Mouse553 << QString(language);
            QTest::addRow("560 %s", language) << Mouse560 << QString(language);
        }
    }

    void textRenders()
    {
        QFETCH(int, mouse);
        QFETCH(QString, language);
        SceneRig scene({mouse}, language);
        QCOMPARE(scene.rootProperty("language").toString(), language);
        QList<QPair<QString, QFont>> texts;
        collectTexts(scene.root(), texts);
        QVERIFY(texts.size() > 10);
        QFont sceneFont = texts.first().second;
        for (const auto &[text, font] : texts)
            QVERIFY2(missingGlyphs(text, font).isEmpty(), qPrintable(text + ": " + missingGlyphs(text, font)));

        QSettings file(scene.rig.dir.path() + "/modules/i18n/" + language + ".ini", QSettings::IniFormat);
        for (const QString &key : file.allKeys()) {
            const QString text = file.value(key).toStringList().join(", ");
            QVERIFY2(missingGlyphs(text, sceneFont).isEmpty(), qPrintable(key + ": " + missingGlyphs(text, sceneFont)));
        }
    }

    // The help menu: the program's address (opened in the browser) and its real version; without
    // an address only the version.
    void helpMenu()
    {
        QDesktopServices::setUrlHandler("https", this, "openUrl");
        SceneRig scene({Mouse553});
        scene.clickItem("helpButton");
        QVERIFY(scene.item("helpMenu")->isVisible());
        QCOMPARE(scene.item("helpText1")->property("text").toString(), "version:" + QCoreApplication::applicationVersion());
        QVERIFY(!QCoreApplication::applicationVersion().isEmpty());
        QCOMPARE(scene.item("helpText0")->property("text").toString(), QString("https://www.example.com/mousecfg"));
        scene.clickItem("helpEntry0");
        QCOMPARE(openedUrls, QList<QUrl>{QUrl("https://www.example.com/mousecfg")});
        QVERIFY(!scene.item("helpMenu")->isVisible());
        QDesktopServices::unsetUrlHandler("https");

        scene.root()->setProperty("url", QString());
        scene.clickItem("helpButton");
        QVERIFY(!scene.item("helpEntry0")->isVisible());
        QVERIFY(scene.item("helpEntry1")->isVisible());
    }

    // Dragging the empty background, or the mask, is offered to the window system; where it
    // declines, the window moves by the pointer's offset. Where it takes the drag it keeps the
    // release, and the next press starts a drag of its own.
    void dragging()
    {
        SceneRig scene({Mouse553});
        Widget *window = scene.rig.widget.get();
        QList<QWindow *> offered;
        bool taken = false;
        window->ui->systemMove = [&](QWindow *w) {
            offered << w;
            return taken;
        };
        for (bool mask : {false, true}) {
            if (mask)
                scene.clickItem("resetButton");
            for (bool compositor : {false, true}) {
                taken = compositor;
                offered.clear();
                const QPoint before = window->pos();
                const QPoint start = scene.toView(QPointF(600, 600));
                for (int drag = 0; drag < 2; ++drag) {
                    QTest::mousePress(scene.view(), Qt::LeftButton, Qt::NoModifier, start);
                    QMouseEvent move(QEvent::MouseMove, start + QPoint(40, 25),
                                     scene.view()->mapToGlobal(start + QPoint(40, 25)), Qt::NoButton,
                                     Qt::LeftButton, Qt::NoModifier);
                    QCoreApplication::sendEvent(scene.view(), &move);
                    if (!compositor)
                        QTest::mouseRelease(scene.view(), Qt::LeftButton, Qt::NoModifier, start + QPoint(40, 25));
                }
                QCOMPARE(offered, QList<QWindow *>(2, window->windowHandle()));
                QCOMPARE(window->pos() - before, compositor ? QPoint() : QPoint(80, 50));
            }
        }
    }

    void screenScaling()
    {
        SceneRig scene({Mouse553});
        scene.call("setScreenChange", {2560});
        QCOMPARE(scene.rootProperty("screenRate").toDouble(), 2560.0 / 1920.0);
        QCOMPARE(scene.rig.widget->size(), QSize(1365, 853));
        // Presses land at design coordinates scaled like the window: "Save" sends nothing while
        // nothing has changed, and a change once there is one.
        scene.clearWire();
        scene.clickItem("saveButton");
        QCOMPARE(scene.codes(), QByteArray());
        scene.item("dpiSettingMain")->setProperty("isSave", true);
        scene.clickItem("saveButton");
        QCOMPARE(scene.codes(), QByteArray("03 80"));
        QVERIFY(scene.view()->isEnabled());
        scene.call("setScreenChange", {1920});
        QCOMPARE(scene.rootProperty("screenRate").toDouble(), 1.0);

        // Scaled up, a skin picture comes at twice its size where that file exists.
        const QString close = "qrc:/index/modules/img/skin1/index/close";
        const QList<QPair<QString, QString>> urls{
            {close + ".png?hi", close + "@2x.png"},
            {close + ".png", close + ".png"},
            {close + ".png?lo", close + ".png"},
            {"file:modules/img/skin1/background.png?hi", "file:modules/img/skin1/background@2x.png"},
            {"file:modules/img/skin1/nothing.png?hi", "file:modules/img/skin1/nothing.png"},
            {"file:modules/img/skinX/background.png?hi", "file:modules/img/skinX/background.png?hi"},
            {"file:modules/img/skin1/.png?hi", "file:modules/img/skin1/.png?hi"},
        };
        for (const auto &[asked, loaded] : urls)
            QCOMPARE(scene.view()->engine()->interceptUrl(QUrl(asked), QQmlAbstractUrlInterceptor::UrlString),
                     QUrl(loaded));
    }

    void anotherMouseLater()
    {
        SceneRig scene({Mouse560});
        QVERIFY(scene.rootProperty("isGun").toBool());
        QCOMPARE(scene.rootProperty("icType").toString(), QString("560"));
        scene.device().unplug(Mouse560);
        scene.rig.widget->checkDevice();
        // The 553 mouse gets its own capabilities and pages.
        scene.clearWire();
        scene.connect(Mouse553);
        QCOMPARE(scene.rootProperty("icType").toString(), QString("553"));
        QVERIFY(!scene.rootProperty("isGun").toBool());
        QVERIFY(!scene.item("gunEditorButton")->isVisible());
        QVERIFY(scene.codes().endsWith("80"));
        // The same mouse again: nothing is read anew, but the pages are brought in line.
        scene.device().unplug(Mouse553);
        scene.rig.widget->checkDevice();
        scene.clearWire();
        scene.connect(Mouse553);
        QCOMPARE(scene.codes(), QByteArray("80"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
