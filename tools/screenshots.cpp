// SPDX-License-Identifier: GPL-3.0-or-later
// `make screenshots`: the window drawn offscreen, once for each virtual mouse, language and
// scene, into OUTPUT_DIR/<family>-<language>-<scene>.png.
//   mousecfg_screenshots OUTPUT_DIR [--only TEXT] [--screen-width PIXELS]
// --only keeps the pictures whose file name contains TEXT; --screen-width hands the scene that
// screen width first (3840 draws the window at twice its size). Every picture starts from a
// fresh copy of the program's data with the virtual mouse plugged in, after the busy lock of
// the first start-up has been released.
#include "app/scenefont.h"
#include "device/widget_rig.h"
#include "view/myqquickview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLoggingCategory>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

// A picture: a name and a JavaScript statement run on the scene's root before it is taken
// (open a dialog, choose a page, ...), then optionally a click on the centre of the item of that
// object name; the mice it is taken on (all when empty: a picture that looks the same on every
// mouse is kept once), a device-wide setting ("group/key=value") it needs and how far below the
// click the pointer is left (to show what it hovers). Add one line per picture.
struct Scene
{
    const char *name;
    const char *action;
    std::initializer_list<int> mice = {};
    const char *setting = nullptr;
    const char *click = nullptr;
    int hoverBelow = 0;
};
// The assignment dialog for button 4 with one function group shown (the 560 has them all).
#define KEY_GROUP(group, more) "keyAssigmentMain.openFor(3); keyAssigmentMain.showGroup(" #group "); " more
const Scene scenes[] = {
    {"main", ""},
    // The wheel-lines setting is tried, so the page shows its note (GNOME has no such setting).
    {"system", "systemSettingMain.saveData(true, 3); root.openCentred(systemSettingMain)", {vdev::Mouse560}},
    {"layout", "layoutAdjustMain.mode_index = 7", {vdev::Mouse553}, "debugmode/isEnable=true"},
    {"keys-mouse", KEY_GROUP(0, ""), {vdev::Mouse560}},
    {"keys-fire", KEY_GROUP(1, "keyAssigmentMain.startFireInput(); keyAssigmentMain.detectKeyboard(true, 0x2C, 0)"),
     {vdev::Mouse560}},
    {"keys-combo", KEY_GROUP(2, "keyAssigmentMain.startComboInput(); keyAssigmentMain.detectKeyboard(true, 0xE0, 1);"
                                "keyAssigmentMain.detectKeyboard(true, 0xE2, 1); keyAssigmentMain.detectKeyboard(true, 0x4C, 1)"),
     {vdev::Mouse560}},
    {"keys-media", KEY_GROUP(3, ""), {vdev::Mouse560}},
    {"keys-macro", KEY_GROUP(4, "ui_View.createMacroIni('Reload', 0); ui_View.updataNameList(0, ['Reload']);"
                                "macroEditorMain.init(); keyAssigmentMain.chooseMacro('Reload')"),
     {vdev::Mouse560}},
    {"keys-dpi", KEY_GROUP(5, ""), {vdev::Mouse560}},
    {"keys-windows", KEY_GROUP(6, ""), {vdev::Mouse560}},
    {"keys-shortcut", KEY_GROUP(7, ""), {vdev::Mouse560}},
    {"keys-gun", KEY_GROUP(8, ""), {vdev::Mouse560}},
    // The stage list open over the sliders and over the entry rows.
    {"dpi-stages", "dpiSettingMain.openStageList()", {vdev::Mouse553, vdev::Mouse3395}},
    // The mode list open, the pointer on its third row (the current one is the second).
    {"lighting", "", {}, nullptr, "lightModeList", 3 * 24},
    {"profiles", "root.openCentred(profileMain); profileMain.newProfile(); profileMain.newProfile();"
                 "profileMain.openMenu(1, Qt.point(150, 100))", {vdev::Mouse560}},
    // Two macros, the first recorded with its pauses (LShift+A, then B) and a left click added,
    // and the event list's context menu open on its third row.
    {"macros",
     "var m = macroEditorMain; root.openCentred(m); m.newMacro(); m.newMacro(); m.selectMacro(0);"
     " m.recordDelay = true; m.startRecord();"
     " [[1, 0xE1], [1, 0x04], [0, 0x04], [0, 0xE1], [1, 0x05], [0, 0x05]].forEach(function(e) {"
     " m.macroRecordCount = 12; m.detectKeyboard(e[0] === 1, e[1]) });"
     " m.stopRecord(); m.insertMouse(0xF0); m.openEventMenu(2, Qt.point(330, 150))",
     {vdev::Mouse560}},
    {"gun", "root.openCentred(gunControlMain)", {vdev::Mouse560}},
    // The note beside "Save" after a save the mouse kept, and after one it kept nothing of (the
    // longest note there is).
    {"saved", "lightControlMain.isSave = true; root.saveAll()", {vdev::Mouse553}},
    {"not-kept", "root.showSaveOutcome({result: 'notKept', items: ['rate', 'stage', 'lightMode', 'lightSpeed',"
                 " 'profile0', 'profile1', 'profile2', 'profile3', 'profile4']})", {vdev::Mouse560}},
};
#undef KEY_GROUP

// The shipped languages (`common/language` of the device's apConfig.bin).
const char *const languages[] = {"English", "ChineseSimplified", "Ukrainian"};

const int mice[] = {vdev::Mouse553, vdev::Mouse560, vdev::Mouse3395};

// How long a scene's own animations (drop-downs, dialogs) may take to settle.
constexpr int SettleMs = 400;


bool lockReleased(myQQuickView *view)
{
    QQuickItem *root = view->rootObject();
    QObject *lockTimer = root ? root->findChild<QObject *>(QStringLiteral("lockTimer")) : nullptr;
    return root && root->isVisible() && view->isEnabled() && lockTimer
           && !lockTimer->property("running").toBool();
}

// Draws one picture; prints why it could not.
bool takePicture(int mouse, const QString &language, const Scene &scene, int screenWidth, const QString &file)
{
    vdevtest::WidgetRig rig;
    vdevtest::setDeviceSetting(rig.dir.path(), mouse, "common/language", language);
    if (scene.setting) {
        const QString setting = QString::fromUtf8(scene.setting);
        vdevtest::setDeviceSetting(rig.dir.path(), mouse, setting.section('=', 0, 0), setting.section('=', 1));
    }
    rig.device->plug(mouse);
    rig.widget->show();
    rig.widget->checkDevice();
    myQQuickView *view = rig.view();
    if (!QTest::qWaitFor([view] { return lockReleased(view); }, 15000)) {
        std::fprintf(stderr, "%s: the busy lock was not released\n", qPrintable(file));
        return false;
    }
    QQuickItem *root = view->rootObject();
    if (screenWidth > 0)
        QMetaObject::invokeMethod(root, "setScreenChange", Q_ARG(QVariant, screenWidth));
    if (*scene.action) {
        // The root document's own context, where its ids (root, the pages) are known.
        QQmlExpression action(qmlContext(root), root, QString::fromUtf8(scene.action));
        action.evaluate();
        if (action.hasError()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(action.error().toString()));
            return false;
        }
    }
    if (scene.click) {
        QQuickItem *target = vdevtest::findItem(root, QString::fromUtf8(scene.click));
        if (!target) {
            std::fprintf(stderr, "%s: no item %s\n", qPrintable(file), scene.click);
            return false;
        }
        const QPoint at = target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
        if (scene.hoverBelow)
            QTest::mouseMove(view, at + QPoint(0, scene.hoverBelow));
    }
    QTest::qWait(SettleMs);
    const QImage picture = view->grabFramebuffer();
    if (picture.isNull() || !picture.save(file)) {
        std::fprintf(stderr, "%s: cannot be written\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(file)));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Scenes may apply pointer settings: never to the desktop of whoever takes the pictures.
    qputenv("GSETTINGS_BACKEND", "memory");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    installSceneFontFallbacks();
    // The program's own debug lines and the offscreen platform's missing tray say nothing here.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\nqt.core.qobject.connect=false"));

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("Folder for the pictures."));
    const QCommandLineOption only(QStringLiteral("only"), QStringLiteral("Only pictures whose name contains TEXT."),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption screenWidth(QStringLiteral("screen-width"),
                                         QStringLiteral("Screen width handed to the scene."), QStringLiteral("PIXELS"));
    parser.addOptions({only, screenWidth});
    parser.addHelpOption();
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    // The rig works in a temporary folder: resolve the output folder first.
    const QString outDir = QDir(parser.positionalArguments().first()).absolutePath();
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    QStandardPaths::setTestModeEnabled(true);

    bool ok = true;
    for (int mouse : mice)
        for (const char *language : languages)
            for (const Scene &scene : scenes) {
                if (scene.mice.size() > 0 && std::find(scene.mice.begin(), scene.mice.end(), mouse) == scene.mice.end())
                    continue;
                const QString name = QStringLiteral("%1-%2-%3.png")
                                         .arg(QLatin1String(vdev::mouseModel(mouse).name),
                                              QLatin1String(language), QLatin1String(scene.name));
                if (parser.isSet(only) && !name.contains(parser.value(only)))
                    continue;
                ok = takePicture(mouse, QLatin1String(language), scene, parser.value(screenWidth).toInt(),
                                 outDir + '/' + name) && ok;
            }
    return ok ? 0 : 1;
}
