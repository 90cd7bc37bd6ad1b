// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, from the pure parser to the real program; compared with the window on the wire and in the files.

#include "scene_helper.h"
#include "testsupport.h"

#include "app/commandline.h"
#include "app/commandserver.h"
#include "app/datafolder.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;
using testsupport::Run;
using testsupport::run;

namespace {

// What a change leaves behind: the commands on the wire ("wire") and every file of the device's folder.
QMap<QString, QByteArray> outcome(SceneRig &scene, int mouse)
{
    QMap<QString, QByteArray> o{{"wire", {}}};
    for (const scenetest::Command &c : scene.commands())
        o["wire"] += (c.payload + c.data).toHex(' ') + '\n';
    scene.view()->openSettings();  // what the handles hold goes to the files first
    const QDir folder = QFileInfo(scene.settingFile(mouse, "x")).dir().absolutePath() + "/..";
    for (QDirIterator it(folder.absolutePath(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = it.next();
        o.insert(folder.relativeFilePath(file), testsupport::readFile(file));
    }
    return o;
}

void compare(const QMap<QString, QByteArray> &got, const QMap<QString, QByteArray> &expected)
{
    QCOMPARE(got.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(got[it.key()] == it.value(), qPrintable(it.key() + " differs:\n" + got[it.key()]));
}

CommandReply command(SceneRig &scene, const QString &line, const QString &workingDir = QDir::currentPath())
{
    cli::CommandServer server(scene.rig.widget.get(), QString(), "560");
    CommandReply reply{-1, {}, {}};
    server.submit(line.split(' ', Qt::SkipEmptyParts), workingDir, [&](const CommandReply &r) { reply = r; });
    (void)QTest::qWaitFor([&] { return reply.exitCode >= 0; }, 30000);
    return reply;
}

QString stages(SceneRig &scene)
{
    QQuickItem *page = scene.item("dpiSettingMain");
    QStringList values;
    const QVariantList all = page->property("dpiValueArray").toList();
    for (int i = 0; i < page->property("currentDpiCount").toInt(); ++i)
        values << all.at(i).toString();
    return values.join(',');
}

QProcessEnvironment logTo(const QString &wireLog)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MOUSECFG_WIRE_LOG", wireLog);
    return env;
}

// The set commands a wire log holds: command-interface reports from the host.
QStringList sentReports(const QString &wireLog)
{
    QStringList out;
    for (const QByteArray &line : testsupport::readFile(wireLog).split('\n')) {
        const QList<QByteArray> w = line.simplified().split(' ');
        if (w.size() > 4 && w[2] == "command" && (w[3] == "send_feature_report" || w[3] == "write"))
            out << QString::fromLatin1(w.mid(1).join(' '));
    }
    return out;
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<SceneRig> m_scene;

private slots:

    void parse_data()
    {
        // expected: "window [hidden] [demo FAMILY]", "tools", "help", "error: <part of the message>" or the request
        testsupport::addColumns<QString, QString>({"args", "expected"});
        QTest::newRow("no words") << "" << "window";
        QTest::newRow("window options") << "--hidden --demo 553" << "window hidden demo 553";
        QTest::newRow("toolkit's options") << "-session 1a2b -platform xcb --demo" << "window demo ";
        QTest::newRow("device tool") << "--family 560 --add-device=1209:5600" << "tools";
        QTest::newRow("help") << "set dpi --help" << "help";
        QTest::newRow("window's unknown option") << "--hiden" << "error: unknown option \"--hiden\" (options: --hidden,";
        QTest::newRow("window, command's option") << "--dry-run" << "error: --dry-run goes with a command (commands: status,";
        QTest::newRow("window's option to a command") << "--hidden get" << "error: get: unknown option \"--hidden\"";
        QTest::newRow("unknown command") << "--hidden stauts" << "error: unknown command \"stauts\" (commands: status, get, set,";
        QTest::newRow("set what") << "set" << "error: set: what? (choices: dpi, rate, lod, light, button)";
        QTest::newRow("unknown setting") << "set dip 400" << "error: set: unknown \"dip\" (choices: dpi,";
        QTest::newRow("dpi word") << "set dpi 400,8x0" << "error: set dpi: \"8x0\" is no DPI value";
        QTest::newRow("nine stages") << "set dpi 1,2,3,4,5,6,7,8,9" << "error: set dpi: at most 8 stages";
        QTest::newRow("stage beyond") << "set dpi 400,800 --stage 3" << "error: set dpi: --stage \"3\" is no stage (1 to 2)";
        QTest::newRow("rate") << "set rate 300" << "error: set rate: \"300\" is no rate (125, 250, 500, 1000, in Hz)";
        QTest::newRow("two rates") << "set rate 500 1000" << "error: set rate: unexpected \"1000\"";
        QTest::newRow("lod") << "set lod 3mm" << "error: set lod: \"3mm\" is no lift-off distance (1, 2, in mm)";
        QTest::newRow("speed") << "set light --speed 30" << "error: set light: --speed \"30\" is no step (0, 25, 50, 75, 100";
        QTest::newRow("colour") << "set light --color ff0000,ff00" << "error: set light: --color \"ff00\" is no colour";
        QTest::newRow("light what") << "set light" << "error: set light: what to set?";
        QTest::newRow("button number") << "set button 17 left" << "error: set button: \"17\" is no button (1 to 16)";
        QTest::newRow("button function") << "set button 2" << "error: set button: which function?";
        QTest::newRow("option of another") << "get --stage 2" << "error: get: --stage is for set dpi";
        QTest::newRow("json") << "set rate 500 --json" << "error: set rate: --json is for status, get, macro list";
        QTest::newRow("unknown option") << "get --frobnicate" << "error: get: unknown option \"--frobnicate\"";
        QTest::newRow("option value") << "set dpi 400 --stage" << "error: set dpi: --stage needs a value";
        QTest::newRow("macro file") << "macro export Macro_0" << "error: macro export: which file?";
        QTest::newRow("dpi") << "--demo 553 set dpi 400,800 --stage=2 --dry-run" << "set dpi|400,800||2|-1|-1||dry|553";
        QTest::newRow("light") << "set light Breath --speed 50% --brightness=100 --color FF0000,#00ff00"
                               << "set light||Breath|0|50|100|ff0000,00ff00||";
        QTest::newRow("button") << "set button 3 key:ctrl+c" << "set button|3|key:ctrl+c|0|-1|-1|||";
    }

    void parse()
    {
        QFETCH(QString, args);
        QFETCH(QString, expected);
        const cli::Parsed p = cli::parse(args.split(' ', Qt::SkipEmptyParts));
        const cli::Request &r = p.request;
        if (p.kind != cli::Parsed::Command && p.error.isEmpty()) {
            const QStringList kinds = {"window", "", "tools", "help"};
            QCOMPARE(kinds.at(p.kind) + (p.hidden ? " hidden" : "") + (r.demo ? " demo " + r.demoFamily : ""), expected);
        } else if (expected.startsWith("error: ")) {
            QVERIFY2(p.error.startsWith(expected.mid(7)), qPrintable(p.error));
        } else {
            QCOMPARE(p.error, QString());
            QStringList numbers;
            for (int n : r.numbers)
                numbers << QString::number(n);
            QCOMPARE(QStringList({r.command, numbers.join(','), r.words.join(','), QString::number(r.stage),
                                  QString::number(r.speed), QString::number(r.brightness), r.colours.join(','),
                                  r.dryRun ? "dry" : "", r.demoFamily})
                         .join('|'),
                     expected);
        }
    }

    // What the parser takes is in --help, the manual page and the bash completion.
    void documented()
    {
        auto choices = [](const QString &args) {
            const QString error = cli::parse(args.split(' ')).error;
            return error.mid(error.lastIndexOf(": ") + 2).remove("[=FAMILY]").remove(')').split(", ");
        };
        const QStringList words = choices("nonsense") + choices("set") + choices("macro") + choices("--nonsense")
                                  + QStringList{"--stage", "--speed", "--brightness", "--color", "--json", "--dry-run",
                                                "--family", "--name"};
        const QString man = testsupport::readFile(MOUSECFG_SOURCE_DIR "/packaging/mousecfg.1");
        const QStringList texts = {cli::helpText(), QString(man).remove(QRegularExpression("\\\\f.")).remove('\\'),
                                   testsupport::readFile(MOUSECFG_SOURCE_DIR "/packaging/mousecfg.bash-completion")};
        QCOMPARE(words.size(), 31);
        for (const QString &text : texts)
            for (const QString &word : words)
                QVERIFY2(text.contains(QRegularExpression("(^|[^-\\w])" + QRegularExpression::escape(word) + "\\b")),
                         qPrintable(word + " missing in:\n" + text.left(60)));
        const QString codes = cli::helpText().section("Exit codes of a command:", 1).section(". Of", 0, 0).simplified();
        for (int code : {cli::Done, cli::Usage, cli::NoMouse, cli::NotAccessible, cli::NoAnswer, cli::NotVerified, cli::Busy})
            QVERIFY2(codes.contains(QRegularExpression(QString("(^|, )%1 ").arg(code))), qPrintable(codes));
    }

    // The same change through the window and through the command line: the same bytes on the
    // wire and in every file of the device's folder.
    void sameAsWindow_data()
    {
        // setup: on both sides, before the change; command: {dpi} for the stages the window then shows
        testsupport::addColumns<int, QString, QString, QString>({"mouse", "setup", "window", "command"});
        const auto row = [](const char *name, int mouse, const char *window, const char *command, const char *setup = "") {
            QTest::addRow("%s", name) << mouse << QString(setup) << QString(window) << QString(command);
        };
        row("rate", Mouse560, "choose reportRateList 1", "set rate 250");
        row("lift-off", Mouse3395, "choose lodList 1", "set lod 2");
        row("dpi slider, stages", Mouse560, "click dpiSlider1@88,3; choose dpiStageList 2; click saveButton", "set dpi {dpi}");
        row("dpi entry", Mouse3395, "type dpiEntry0 850; click saveButton", "set dpi {dpi}");
        row("light mode, speed", Mouse553, "choose lightModeList 1; click lightSpeedSlider@213,8; "
            "lightControlMain.speedStep = 4; click saveButton", "set light breath --speed 100");
        row("brightness", Mouse3395, "click lightBrightnessSlider@1,8; lightControlMain.brightnessStep = 0; click saveButton",
            "set light --brightness 0");
        row("colour", Mouse560, "click lightBlock1; type lightRedField 10; type lightGreenField 20; type lightBlueField 30; "
            "click lightBlock0; click saveButton", "set light --color ff0000,0a141e");
        const QString button = "click keyRow3; click keyGroup%1; %2; click keyAssigmentClose; click saveButton";
        row("media button", Mouse560, qPrintable(button.arg(3).arg("click choice28")), "set button 4 next");
        row("combination", Mouse553, qPrintable(button.arg(2).arg("click comboKeyField; down e0; down 06; up 06")),
            "set button 4 key:ctrl+c");
        row("fire", Mouse560, qPrintable(button.arg(1).arg("click fireKeyField; down 1e; rate 19")), "set button 4 fire:1,20ms");
        row("macro", Mouse560, qPrintable(button.arg(4).arg("choose macroList 0; click macroMode2")),
            "set button 4 macro:Macro_0,hold", "call macroEditorMain.newMacro");
        row("profile", Mouse560, "choose profileList 1", "profile 2", "call profileMain.newProfile");
        row("reset", Mouse560, "click resetButton; click resetOkButton", "reset");
    }

    void sameAsWindow()
    {
        QFETCH(int, mouse);
        QFETCH(QString, setup);
        QFETCH(QString, window);
        QFETCH(QString, command);
        m_scene.reset();
        QMap<QString, QByteArray> byWindow;
        {
            SceneRig scene({mouse});
            scenetest::play(scene, -1, setup.split("; "));
            scene.clearWire();
            scenetest::play(scene, -1, window.split("; "));
            QTRY_VERIFY(scene.view()->isEnabled());
            QVERIFY(!scene.rootProperty("isSaveNeeded").toBool());
            command.replace("{dpi}", stages(scene));
            byWindow = outcome(scene, mouse);
        }
        SceneRig scene({mouse});
        scenetest::play(scene, -1, setup.split("; "));
        scene.clearWire();
        const CommandReply reply = ::command(scene, command);
        QVERIFY2(reply.exitCode == cli::Done, qPrintable(reply.err));
        QVERIFY(!byWindow["wire"].isEmpty());
        compare(outcome(scene, mouse), byWindow);
    }

    // Exit codes and answers; each row leaves the mouse as it found it.
    void answers_data()
    {
        // state: "", "dirty", "fault", "drop", "deny", "unplug"; text: in the answer's output or error
        testsupport::addColumns<QString, QString, int, QString>({"state", "line", "exitCode", "text"});
        QTest::newRow("get") << "" << "get" << 0 << "button 1    left\n";
        QTest::newRow("status") << "" << "status" << 0 << "profile     1 (Standard)\n";
        QTest::newRow("mode") << "" << "set light nope" << 2 << "(modes: static, breath, neon, off, ";
        QTest::newRow("left button") << "" << "set button 1 right" << 2 << "the only left button";
        QTest::newRow("key") << "" << "set button 2 fire:zz" << 2 << "no key \"zz\"";
        QTest::newRow("macro") << "" << "set button 2 macro:none" << 2 << "no macro \"none\"";
        QTest::newRow("dpi range") << "" << "set dpi 100000" << 2 << "100000 is outside";
        QTest::newRow("dpi grid") << "" << "set dpi 410,800" << 0 << "stage 1: 410 is set as 400";
        QTest::newRow("active stage") << "" << "set dpi 400,800 --stage 2" << 0 << "mouse: dpiStage 1\n";
        QTest::newRow("profile") << "" << "profile 5" << 2 << "(profiles: 1 (Standard))";
        QTest::newRow("no lift-off") << "" << "set lod 2" << 2 << "no lift-off setting";
        QTest::newRow("other mouse") << "" << "--demo=553 status" << 3 << "serves the attached mice";
        QTest::newRow("unsaved") << "dirty" << "set rate 500" << 7 << "unsaved changes";
        QTest::newRow("no answer") << "fault" << "set rate 500" << 5 << "refused or did not answer";
        QTest::newRow("not kept") << "drop" << "set rate 250" << 6 << "did not keep what was saved";
        QTest::newRow("not accessible") << "deny" << "get" << 4 << "may not open it";
        QTest::newRow("no mouse") << "unplug" << "get" << 3 << "no mouse";
    }

    void answers()
    {
        QFETCH(QString, state);
        QFETCH(QString, line);
        QFETCH(int, exitCode);
        QFETCH(QString, text);
        if (!m_scene)
            m_scene = std::make_unique<SceneRig>(std::initializer_list<int>{Mouse560});
        SceneRig &scene = *m_scene;
        if (state == "dirty")
            scene.item("dpiSettingMain")->setProperty("isSave", true);
        if (state == "fault")
            scene.device().addFault({Call::SendFeature, FaultAction::Fail, 0, -1, Mouse560, Iface::Command});
        if (state == "drop")
            scene.device().addFault({Call::Write, FaultAction::Drop, 0, -1, Mouse560, Iface::Command});
        if (state == "deny" || state == "unplug") {
            state == "deny" ? scene.device().setAccessDenied(Mouse560, true) : scene.device().unplug(Mouse560);
            scene.rig.widget->checkDevice();
        }
        const CommandReply reply = command(scene, line);
        scene.device().clearFaults();
        // What the mouse did not keep goes again with the next save: the next row starts clean.
        if (scene.view()->property("saveNotKept").toBool())
            scene.call("saveAll");
        scene.device().setAccessDenied(Mouse560, false);
        if (state == "deny" || state == "unplug")
            scene.connect(Mouse560);
        scene.call("initPages", {false});
        // "mouse: ...": what the mouse holds afterwards
        const QString answer = text.startsWith("mouse: ") ? QString::fromStdString(scene.device().describe(Mouse560))
                                                          : reply.out + reply.err;
        QVERIFY2(answer.contains(text.mid(text.startsWith("mouse: ") ? 7 : 0)), qPrintable(answer + reply.err));
        QCOMPARE(reply.exitCode, exitCode);
    }

    // A dry run prints the reports that the change then sends, and changes nothing.
    void dryRun_data()
    {
        testsupport::addColumns<int, QString>({"mouse", "change"});
        QTest::newRow("560 light") << Mouse560 << "set light neon --color 00ff00";
        QTest::newRow("553 stages") << Mouse553 << "set dpi 400,800,1600 --stage 2";
        QTest::newRow("3395 button") << Mouse3395 << "set button 4 key:ctrl+c";
    }

    void dryRun()
    {
        QFETCH(int, mouse);
        QFETCH(QString, change);
        m_scene.reset();
        SceneRig scene({mouse});
        const auto before = outcome(scene, mouse);
        // What the pages hold of the mouse's own reports (stage, rate, light).
        auto shown = [&] {
            return scene.call(scene.root()->findChild<QObject *>("commandOps"), "snapshot").value<QJSValue>().toVariant();
        };
        const QVariant state = shown();
        const CommandReply dry = command(scene, "--dry-run " + change);
        QCOMPARE(dry.exitCode, int(cli::Done));
        compare(outcome(scene, mouse), before);
        QCOMPARE(shown(), state);
        QVERIFY(!scene.rootProperty("isSaveNeeded").toBool());

        scene.clearWire();
        QCOMPARE(command(scene, change).exitCode, int(cli::Done));
        // The real run also asks the mouse what it kept (0x80 state, 0x8C profile blocks): those
        // questions aside, the dry run printed what went out.
        QStringList sent;
        for (const WireEvent &e : scene.device().wireLog()) {
            const QByteArray hex = QByteArray(reinterpret_cast<const char *>(e.bytes.data()), int(e.bytes.size())).toHex(' ');
            if (e.iface == Iface::Command && (e.call == Call::Write
                                              || (e.call == Call::SendFeature && !hex.startsWith("00 80") && !hex.startsWith("00 8c"))))
                sent << (e.call == Call::Write ? "output  " : "feature ") + hex;
        }
        QVERIFY(sent.size() >= 2);
        QCOMPARE(dry.out.split('\n', Qt::SkipEmptyParts), sent);
    }

    // A profile and a macro out to files and back in; the imported profile reaches the mouse.
    void files_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::newRow("553") << Mouse553;
        QTest::newRow("560") << Mouse560;
        QTest::newRow("3395") << Mouse3395;
    }

    void files()
    {
        QFETCH(int, mouse);
        m_scene.reset();
        SceneRig scene({mouse});
        QTemporaryDir dir;
        auto rate = [&] { return QString::fromStdString(scene.device().describe(mouse)).section("reportRate ", 1).section('\n', 0, 0); };
        const QString rateBefore = rate();
        QCOMPARE(command(scene, "export saved.pf", dir.path()).exitCode, int(cli::Done));
        scene.view()->openSettings();
        const QByteArray saved = testsupport::readFile(dir.filePath("saved.pf"));
        QVERIFY(!saved.isEmpty());
        QCOMPARE(saved, testsupport::readFile(scene.settingFile(mouse, "p1.bin")));
        QCOMPARE(command(scene, "set rate 500").exitCode, int(cli::Done));
        QVERIFY(rate() != rateBefore);
        QCOMPARE(command(scene, "import saved.pf", dir.path()).exitCode, int(cli::Done));
        QCOMPARE(rate(), rateBefore);
        QCOMPARE(scene.item("reportRateList")->property("currentSelect").toInt(), 3);
        QCOMPARE(command(scene, "import nothing.pf", dir.path()).exitCode, int(cli::Usage));

        QCOMPARE(command(scene, "macro import saved.pf", dir.path()).out, QString("imported as Macro_0\n"));
        QVERIFY(command(scene, "macro list").out.startsWith("Macro_0 (repeat 0): "));
        QCOMPARE(command(scene, "macro export Macro_0 macro.mc", dir.path()).exitCode, int(cli::Done));
        QCOMPARE(testsupport::readFile(dir.filePath("macro.mc")), saved);
    }

    // The real program, against each virtual mouse: a change run in a process of its own, and the
    // same handed to a program that runs already (as the tray keeps it, started with "--demo
    // FAMILY"); the same status, the same reports sent.
    void program_data()
    {
        testsupport::addColumns<QString, QStringList>({"family", "change"});
        QTest::newRow("553") << "553" << QStringList{"set", "rate", "250"};
        QTest::newRow("560") << "560" << QStringList{"set", "dpi", "400,800", "--stage", "2"};
        QTest::newRow("3395") << "3395" << QStringList{"set", "lod", "2"};
    }

    void program()
    {
        QFETCH(QString, family);
        QFETCH(QStringList, change);
        m_scene.reset();
        QTemporaryDir alone, running;
        QStringList programs;
        for (QTemporaryDir *dir : {&alone, &running}) {
            programs << dir->filePath("mousecfg");
            QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), programs.last()));
            QVERIFY(datafolder::copyTree(MOUSECFG_BUILD_DIR "/modules", dir->filePath("modules")));
        }
        const QStringList demo = {"--demo=" + family};
        const Run set = run(programs[0], demo + change, logTo(alone.filePath("wire.log")));
        QVERIFY2(set.exitCode == 0, set.err.constData());
        const Run get = run(programs[0], demo + QStringList{"get", "--json"});
        QCOMPARE(get.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(get.out).object().value("device").toObject().value("id").toString(),
                 QString("1209:%1").arg(mouseModel(mouseForFamily(family)).productId, 4, 16));

        QProcess instance;
        instance.setProcessEnvironment(logTo(running.filePath("wire.log")));
        instance.setStandardErrorFile(QProcess::nullDevice());
        instance.start(programs[1], {"--demo", family, "--hidden"});
        const QString server = SingleInstance::serverNameFor(SingleInstance::idForExecutable(programs[1]));
        QTRY_VERIFY_WITH_TIMEOUT([&] {
            QLocalSocket probe;
            probe.connectToServer(server);
            return probe.waitForConnected(200);
        }(), 60000);
        const Run handed = run(programs[1], demo + change);
        QVERIFY2(handed.exitCode == 0, handed.err.constData());
        QCOMPARE(run(programs[1], demo + QStringList{"status"}).out, run(programs[0], demo + QStringList{"status"}).out);
        QCOMPARE(run(programs[1], {"status"}).exitCode, int(cli::NoMouse));
        QCOMPARE(run(programs[1], {"set", "rate", "30"}).exitCode, int(cli::Usage));
        instance.terminate();
        QVERIFY(instance.waitForFinished(10000));
        QCOMPARE(sentReports(running.filePath("wire.log")), sentReports(alone.filePath("wire.log")));
        QVERIFY(!sentReports(alone.filePath("wire.log")).isEmpty());
    }

    void cleanupTestCase() { m_scene.reset(); }
};

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
