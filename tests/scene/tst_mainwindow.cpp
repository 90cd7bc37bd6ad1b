// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user drives it; assertions on the wire and the INI files.

#include "scene_helper.h"
#include "testsupport.h"
#include "view/ui_controler.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QQmlAbstractUrlInterceptor>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtTest>

using namespace vdev;

Q_DECLARE_METATYPE(vdev::Fault)
using scenetest::SceneRig;

namespace {

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
    void initTestCase() { QDesktopServices::setUrlHandler("https", this, "openUrl"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }
    void init() { deviceConnected = false; }

    void startUp_data()
    {
        testsupport::addColumns<int, int, QByteArray, int>({"mouse", "deviceProfile", "codes", "profileNo"});
        // The 560 mouse is asked for its active profile and put back on profile 1.
        QTest::newRow("553") << Mouse553 << 1 << QByteArray("80") << 0;
        QTest::newRow("560 on profile 1") << Mouse560 << 1 << QByteArray("82 80") << 0;
        QTest::newRow("560 on profile 3") << Mouse560 << 3 << QByteArray("82 02 80") << 0;
        QTest::newRow("553, third profile in use") << Mouse553 << 1 << QByteArray("80") << 2;
    }

    void startUp()
    {
        QFETCH(int, mouse);
        QFETCH(int, deviceProfile);
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
        QTEST(scene.codes().replace("8c ", "").replace("8c", "").trimmed(), "codes");
        // The report-rate row shows the profile in use, and "Save" sends that rate.
        scenetest::play(scene, mouse, {"background.visible = true", "powerOn.visible = false", "busyText.visible = false",
                                       "reportRateList.currentSelect = 1", "set lightControlMain.isSave true", "clear",
                                       "click saveButton", "sent 02 d0 = 04"});
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
        QQuickItem *powerOn = scene.item("powerOn"), *background = scene.item("background");
        scene.call("setProtectUI", {0});
        QVERIFY(scene.view()->isEnabled() && powerOn->isVisible() && !background->isVisible());
        QTRY_VERIFY(background->isVisible());
        QVERIFY(!powerOn->isVisible() && scene.codes().contains("80"));
    }

    // A save is checked against the mouse: the report-rate and lift-off rows (the state the sync
    // request's answer shows, which the mouse's own buttons change too) and a factory reset of
    // the 560 (its profile blocks read back). What did not stick is sent once more; what still
    // differs is told, keeps "Save" red, and goes again with the next "Save".
    void savesAreChecked_data()
    {
        // action: rows' steps; "dpi button" (the mouse's), "unpolled" (no status reports); outcome: result|items|resent|notice
        testsupport::addColumns<int, QString, Fault, QString>({"mouse", "action", "fault", "outcome"});
        const Fault none{Call::Enumerate, FaultAction::Fail, 0, 0};
        const auto row = [](const char *name, int mouse, const char *action, Fault fault, const char *outcome) {
            QTest::addRow("%s", name) << mouse << QString(action) << fault << QString(outcome);
        };
        const char *rate = "choose reportRateList 0";
        row("553 kept", Mouse553, rate, none, "verified||0|Saved");
        row("3395 lift-off after its DPI button", Mouse3395,
            "dpi button; dpiSettingMain.currentDPI = 1; choose lodList 1", none, "verified||0|Saved");
        row("553 lost once, sent again", Mouse553, rate, {Call::Write, FaultAction::Drop, 0, 1}, "verified||1|Saved");
        row("553 altered", Mouse553, rate, {Call::Write, FaultAction::Alter, 0, -1},
            "notKept|rate|1|Not kept by the mouse: report rate");
        row("553 sync lost", Mouse553, rate, {Call::SendFeature, FaultAction::Drop, 1, -1},
            "noAnswer||0|The mouse did not answer");
        // The mouse's light differs from the profile's: it goes with the rate as the mouse has it.
        row("560 lost", Mouse560, rate, {Call::Write, FaultAction::Drop, 0, -1},
            "notKept|rate|1|Not kept by the mouse: report rate");
        row("560 reset altered", Mouse560, "click resetButton; click resetOkButton", {Call::Write, FaultAction::Alter, 0, -1},
            "notKept|profile2,profile3,profile4|1|Not kept by the mouse: stored profile 2, 3, 4");
        // Buttons and DPI values have no way back: a transfer that failed is what tells.
        row("553 buttons, write fails", Mouse553, "set dpiSettingMain.isSave true; click saveButton",
            {Call::Write, FaultAction::Fail, 0, -1}, "noAnswer||1|The mouse did not answer");
        row("553 without status reports", Mouse553, "unpolled; choose reportRateList 0", none,
            "unchecked||0|Sent; this mouse cannot confirm it");
    }

    void savesAreChecked()
    {
        QFETCH(int, mouse);
        QFETCH(QString, action);
        QFETCH(Fault, fault);
        QFETCH(QString, outcome);
        SceneRig scene({mouse}, "English");
        scene.view()->syncAnswerTimeoutMs = 200;
        QSignalSpy checked(scene.view(), &myQQuickView::saveChecked);
        QSignalSpy tray(scene.rig.widget.get(), &Widget::trayMessageShown);
        scene.device().addFault(fault);
        scenetest::play(scene, mouse, action.split("; "), [&](const QStringList &w) -> std::optional<QString> {
            if (w[0] == "unpolled")
                scene.rig.hid().stopPolling();
            else if (w[0] == "dpi")
                scene.device().pressDpiButton(mouse);
            return w[0] == "unpolled" || w[0] == "dpi" ? std::optional<QString>("") : std::nullopt;
        });
        QTRY_COMPARE(checked.count(), 1);
        const QVariantMap got = checked.at(0).at(0).toMap();
        const QString result = got.value("result").toString();
        QCOMPARE(QStringList({result, got.value("items").toStringList().join(','), QString::number(got.value("resent").toInt()),
                              scene.item("saveNotice")->property("text").toString()}).join('|'), outcome);
        QVERIFY(scene.item("saveNotice")->isVisible());
        const bool kept = result == "verified" || result == "unchecked";
        QCOMPARE(scene.rootProperty("isSaveNeeded").toBool(), !kept);
        QCOMPARE(tray.count(), kept ? 0 : 1);
        if (!kept)
            QVERIFY(tray.at(0).at(1).toString().startsWith(got.value("text").toString()));

        // "Save" sends what was not kept again (and nothing when all was kept).
        scene.device().clearFaults();
        scene.clearWire();
        scene.clickItem("saveButton");
        QCOMPARE(scene.codes().isEmpty(), kept);
        QCOMPARE(checked.count(), kept ? 1 : 2);
        QCOMPARE(checked.last().at(0).toMap().value("result").toString(), kept ? result : QString("verified"));
        QVERIFY(!scene.rootProperty("isSaveNeeded").toBool());
    }

    // Every text shown, and every text of every language file, has glyphs in the scene's font.
    void textRenders_data()
    {
        testsupport::addColumns<int, QString>({"mouse", "language"});
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

private:
    // Steps: "mouse N" (the mouse unplugged, N connected). Checks: "window" (its size),
    // "version" (the help menu shows the program's, which is not empty),
    // "url ASKED" (what the engine loads), "opened" (the addresses handed to the browser).
    std::optional<QString> custom(SceneRig &scene, const QStringList &w)
    {
        if (w[0] == "mouse") {
            scene.device().unplug(mouse);
            scene.rig.widget->checkDevice();
            scene.connect(mouse = w[1].toInt());
        } else if (w[0] == "window") {
            return QString("%1x%2").arg(scene.rig.widget->width()).arg(scene.rig.widget->height());
        } else if (w[0] == "version") {
            const QString version = QCoreApplication::applicationVersion();
            return QVariant(!version.isEmpty() && scene.item("helpText1")->property("text") == "version:" + version).toString();
        } else if (w[0] == "opened") {
            return QUrl::toStringList(openedUrls).join(QLatin1Char(','));
        } else if (w[0] == "url") {
            return scene.view()->engine()->interceptUrl(QUrl(w[1]), QQmlAbstractUrlInterceptor::UrlString).toString();
        } else {
            return std::nullopt;
        }
        return QString();
    }
    int mouse = -1;

private slots:
    void rows_data()
    {
        testsupport::addColumns<int, QString>({"mouse", "lines"});
        // "Save" sends block 1 with the pages' bits, then the sync request that checks it: the
        // DPI stages twice, the 24 colour bytes, the buttons in their parameter form (left
        // button, then the right button or "DPI+" as 01 00 00 0B); the brightness in block 0.
        const QString save = "%1; set %2.isSave true; root.isSaveNeeded = true; clear; click saveButton; codes = %3; "
                             "view.enabled = true; root.isSaveNeeded = false; sent 03 p5 = %4; sent 03 d128 = %5";
        const QString dpi = "; sent 03 d9 = 90 01 20 03 40 06 80 0c c0 12 00 19 40 1f e0 2e 90 01 20 03 40 06 80 0c c0 12 00 "
                            "19 40 1f e0 2e; ini mouse/dpiValueArray = 400,800,1600,3200,4800,6400,8000,12000";
        const QString keys = "; ini mouseKeyMatrix/1 = 5,0,1,0";
        const QString edit = "set dpiSettingMain.dpiValueArray 400,800,1600,3200,4800,6400,8000,12000";
        QTest::addRow("save: DPI, 553") << int(Mouse553)
            << save.arg(edit, "dpiSettingMain", "03 80", "01", "f0 00 00 02 f1 00 00 02") + dpi;
        QTest::addRow("save: all three, 560") << int(Mouse560)
            << save.arg(edit + "; set lightControlMain.colorValue 10,200,0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,"
                        "20,21; set lightControlMain.brightnessStep 4; set lightControlMain.isSave true; "
                        "call keyMatrixMain.assign 1 5 0 1 0", "dpiSettingMain", "02 03 80", "07", "f0 00 00 02 01 00 00 0b")
                   + dpi + keys
                   + "; sent 02 d3 = fc; sent 03 d88 = 0a c8 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15";
        // The report-rate row's choice is stored and sent at once (250 Hz, then 500) with the
        // lighting as the mouse holds it: a lighting edit waiting for "Save" is neither stored nor
        // sent by it, and the mode the mouse reported (1 at connect, then 2 by its own button; the
        // profile holds 0) is not switched back.
        QTest::addRow("report-rate row") << int(Mouse553)
            << "call lightControlMain.chooseMode 3; clear; choose reportRateList 1; codes = 02 80; sent 02 d0 = 04 00 01; "
               "ini mouse/reportRate = 1; ini mouse/lightValue = 0,2,4; root.isSaveNeeded = true; "
               "call syncFwReport 4 0 0 2 0; clear; choose reportRateList 2; codes = 02 80; sent 02 d0 = 02 00 02";
        // The lift-off row is shown for the 3395 sensor only; a choice is stored and sent in block
        // 1 with the stages as stored (six, then 12000 twice): a DPI edit waits for "Save".
        QTest::addRow("lift-off row") << int(Mouse3395)
            << "lodRow.visible = true; click dpiPlus5; clear; choose lodList 1; codes = 03 80; sent 03 p5 = 01; "
               "sent 03 d3 = 02; sent 03 d19 = 80 3e e0 2e e0 2e; ini mouse/lod = 2; "
               "ini mouse/dpiValueArray = 400,800,1600,3200,6400,16000,12000,12000; "
               "root.isSaveNeeded = true; mouse " + QString::number(Mouse553) + "; lodRow.visible = false";
        QTest::addRow("the profile in use chosen") << int(Mouse553) << "clear; choose profileList 0; wait 300; codes = ";
        // Block 0, block 1 with everything, then the gun mouse's matrices.
        QTest::addRow("factory reset") << int(Mouse560)
            << "call view.setData mouse/dpiValueArray 1,2,3,4,5,6,7,8; clear; click resetButton; mask.visible = true; "
               "click resetOkButton; mask.visible = false; dpiSettingMain.currentDPI = 1; codes = 02 03 02 0d 0d 0d 0c 0c 0c 8c 8c 8c 80; sent 03 p5 = 07; "
               "ini mouse/dpiValueArray = 400,800,1600,3200,4800,6400,8000,12000; "
               "factory mouse/dpiValueArray = 400,800,1600,3200,4800,6400,8000,12000; view.enabled = true";
        // An unknown rate code changes nothing; what the pages can show is followed. A stage
        // beyond those in use, or a mode the list does not have, is ignored.
        QTest::addRow("firmware reports") << int(Mouse560)
            << "set reportRateList.currentSelect 3; set dpiSettingMain.currentDPI 0; set lightControlMain.speedStep 0; "
               "clear; call syncFwReport 2 3 0 0 0; reportRateList.currentSelect = 3; call syncFwReport 255 8 3 7 5; "
               "reportRateList.currentSelect = 0; dpiSettingMain.currentDPI = 2; lightControlMain.lightMode = 6; "
               "lightControlMain.speedStep = 3; dpiSettingMain.currentDpiCount = 5; call syncFwReport 3 0 0 0 0; "
               "call syncFwReport 3 0 6 0 0; call syncFwReport 4 0 0 11 0; dpiSettingMain.currentDPI = 2; "
               "lightControlMain.lightMode = 6; codes = ";
        // Presses land at design coordinates scaled like the window: "Save" sends nothing while
        // nothing has changed, and a change once there is one. Scaled up, a skin picture comes at
        // twice its size where that file exists.
        const QString close = "qrc:/index/modules/img/skin1/index/close", file = "file:modules/img/skin";
        QTest::addRow("screen scaling") << int(Mouse553)
            << "call setScreenChange 2560; root.screenRate = 1.3333333333333333; window = 1365x853; clear; "
               "click saveButton; codes = ; set dpiSettingMain.isSave true; click saveButton; codes = 03 80; "
               "view.enabled = true; call setScreenChange 1920; root.screenRate = 1; url " + close + ".png?hi = " + close
               + "@2x.png; url " + close + ".png = " + close + ".png; url " + close + ".png?lo = " + close + ".png; url "
               + file + "1/backgroundStage.png?hi = " + file + "1/backgroundStage@2x.png; url " + file + "1/nothing.png?hi = " + file
               + "1/nothing.png; url " + file + "X/background.png?hi = " + file + "X/background.png?hi; url " + file
               + "1/.png?hi = " + file + "1/.png?hi";
        // The help menu: the program's address (opened in the browser) and its real version;
        // without an address only the version.
        const QString site = "https://www.example.com/mousecfg";
        QTest::addRow("help menu") << int(Mouse553)
            << "click helpButton; helpMenu.visible = true; version = true; helpText0.text = " + site + "; click helpEntry0; opened = " + site + "; helpMenu.visible = false; "
               "set root.url ; click helpButton; helpEntry0.visible = false; helpEntry1.visible = true";
        // Another mouse gets its own capabilities and pages; the same mouse again has nothing read
        // anew, but the pages are brought in line.
        QTest::addRow("another mouse later") << int(Mouse560)
            << "root.isGun = true; root.icType = 560; clear; mouse " + QString::number(Mouse553) + "; root.icType = 553; "
               "root.isGun = false; gunEditorButton.visible = false; codes = 80; clear; mouse " + QString::number(Mouse553)
               + "; codes = 80";
    }

    void rows()
    {
        QFETCH(int, mouse);
        QFETCH(QString, lines);
        this->mouse = mouse;
        SceneRig scene({mouse});
        scenetest::play(scene, mouse, lines.split("; "), [&](const QStringList &w) { return custom(scene, w); });
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
