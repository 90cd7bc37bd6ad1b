// SPDX-License-Identifier: GPL-3.0-or-later
// The fault sweep. Every device operation of the window (each backend slot that reaches the mouse,
// found by calling them all, and the window's own sequences) runs once cleanly and then once per
// hidapi call the clean run made, with that one call failed. Each run must end within the
// transport's own bounds, with the transport free and the busy lock lifting, say in the log what
// failed, report no success, and leave each INI group as it was or as the clean run left it. The
// matrix (operations x failed calls) is printed; any failed run fails the test.

#include "scene_helper.h"
#include "testsupport.h"
#include "view/filedialogs.h"

#include <QDirIterator>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QtTest>

#include <cstdio>

using namespace vdev;
using scenetest::SceneRig;

namespace {

// The columns: which calls fail, how, and what the log must then name.
struct Column
{
    const char *name;
    std::vector<Call> calls;
    FaultAction action;
    const char *logged;
};
const Column columns[] = {
    {"open", {Call::Open}, FaultAction::Fail, "open"},
    {"send", {Call::SendFeature}, FaultAction::Fail, "feature send"},
    {"get", {Call::GetFeature}, FaultAction::Fail, "feature get"},
    {"write", {Call::Write}, FaultAction::Fail, "write"},
    {"stall", {Call::ReadTimeout}, FaultAction::Stall, "read timed out"},
    {"short", {Call::ReadTimeout}, FaultAction::Short, "short read"},
    // The mouse is gone just before a report crosses.
    {"unplug", {Call::SendFeature, Call::GetFeature, Call::Write, Call::ReadTimeout}, FaultAction::Unplug, "failed"},
};
constexpr int columnCount = int(std::size(columns));

// Under AddressSanitizer each run is several times slower: only every stride-th call is failed.
#ifdef __SANITIZE_ADDRESS__
constexpr int stride = 4;
#else
constexpr int stride = 1;
#endif

struct Op
{
    QString name;
    std::function<QVariant()> run;
    std::function<void()> setup = {};   // after the reconnect, before the fault is set
};

using Ini = QMap<QString, QVariantMap>;   // "file group" -> its keys

// Calls a slot with made-up arguments: 1 for numbers, texts and variants, true for flags, and
// lists as long as the parameter's name says (src64: 64 values), else 8.
QVariant callSlot(QObject *target, const QMetaMethod &method)
{
    QList<QVariant> values;
    values.reserve(method.parameterCount());   // the arguments point into it
    QGenericArgument args[5];
    const QList<QByteArray> names = method.parameterNames(), types = method.parameterTypes();
    for (int p = 0; p < method.parameterCount() && p < 5; ++p) {
        const QMetaType type = method.parameterMetaType(p);
        qsizetype digits = names[p].size();
        while (digits > 0 && std::isdigit(uchar(names[p][digits - 1])))
            --digits;
        QVariant v = 1;
        if (type.id() == QMetaType::QVariantList)
            v = QVariantList(digits < names[p].size() ? names[p].mid(digits).toInt() : 8, 1);
        else if (type.id() == QMetaType::QStringList)
            v = QStringList{"1"};
        else if (type.id() != QMetaType::QVariant)
            v.convert(type);
        values.append(v);
        args[p] = QGenericArgument(types[p].constData(), type.id() == QMetaType::QVariant ? &values[p] : values[p].data());
    }
    const int returned = method.returnMetaType().id();
    QVariant result = returned == QMetaType::QVariant ? QVariant() : QVariant(method.returnMetaType());
    QGenericReturnArgument ret(method.typeName(), returned == QMetaType::QVariant ? &result : result.data());
    method.invoke(target, Qt::DirectConnection, returned == QMetaType::Void ? QGenericReturnArgument() : ret,
                  args[0], args[1], args[2], args[3], args[4]);
    return result;
}

class Sweep
{
public:
    Sweep(int mouse) : mouse(mouse), scene({mouse}, "English")
    {
        hid.dataReadTimeoutMs = 100;
        scene.view()->syncAnswerTimeoutMs = 300;
    }

    int mouse;
    SceneRig scene;
    Hid_Thread &hid = scene.rig.hid();
    testsupport::DebugCapture log{true};
    QStringList failures;
    QStringList names;
    QList<std::array<std::pair<int, int>, columnCount>> matrix;   // passed, failed

    // The slots of the backend, and the window's sequences around them.
    QList<Op> operations()
    {
        QList<Op> ops;
        myQQuickView *view = scene.view();
        const QMetaObject *meta = view->metaObject();
        // beginSave and endSave only bracket the sequences below.
        for (int m = meta->methodOffset(); m < meta->methodCount(); ++m)
            if (meta->method(m).methodType() == QMetaMethod::Slot && !meta->method(m).name().endsWith("Save"))
                ops.append({meta->method(m).name(), [view, method = meta->method(m)] { return callSlot(view, method); }});
        SceneRig &s = scene;
        const auto none = [] { return QVariant(); };
        ops.append({"connect", [&s, m = mouse, none] { s.device().plug(m); s.rig.widget->checkDevice(); return none(); },
                    [this] {
                        scene.device().unplug(mouse);
                        if (!QTest::qWaitFor([this] { return hid.pollingFuture.isFinished(); }))
                            failures << "polling went on";
                        QCoreApplication::processEvents();
                        scene.rig.widget->checkDevice();
                        scene.rig.widget->checkTimer.stop();
                    }});
        ops.append({"sync", [this, none] { hid.hid553_80H_SyncData(); return none(); }});
        ops.append({"Save", [&s] { return s.call("saveAll"); }, [&s] {
                        for (const char *page : {"keyMatrixMain", "dpiSettingMain", "lightControlMain"})
                            s.rootProperty(page).value<QObject *>()->setProperty("isSave", true);
                    }});
        ops.append({"profile switch", [&s] { return s.call("changeProfile", {1}); }, [&s] {
                        s.view()->setGlobalData("mouse/profileNo", 0);
                        s.call("initPages", {false});
                    }});
        ops.append({"factory reset", [&s] { return s.call("factoryReset"); }});
        ops.append({"report rate", [&s] { return s.call("chooseReportRate", {2}); }});
        return ops;
    }

    // The device check the program makes after a plug: paths, profile blocks and the save state
    // afresh. The lock it starts is let go at once, so that a run's own lock shows.
    void reconnect()
    {
        scene.device().clearFaults();
        if (!scene.device().isPlugged(mouse))
            scene.device().plug(mouse);
        QSignalSpy reported(scene.view(), &myQQuickView::firmwareReported);
        scene.rig.widget->checkDevice();
        scene.rig.widget->checkTimer.stop();
        if (!QTest::qWaitFor([&] { return reported.count() > 0 && !scene.rootProperty("initPending").toBool(); }))
            failures << "no reconnect";
        scene.call("setProtectUI", {0});
    }

    // The run's queued work done, the transport free, the busy lock lifted or timed to lift.
    bool settle(int boundMs)
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QObject *lock = scene.root()->findChild<QObject *>("lockTimer");
        QQuickItem *busy = scene.item("busyText");
        return QTest::qWaitFor([&] {
            return !hid.hidBusy && !hid.commandHandle && (!busy->isVisible() || lock->property("running").toBool());
        }, boundMs);
    }

    Ini snapshot()
    {
        myQQuickView *v = scene.view();
        for (QSettings *s : QList<QSettings *>{v->globalSettings, v->defaultSettings} + v->profileSettings)
            if (s)
                s->sync();
        Ini ini;
        QDirIterator files(QFileInfo(scene.settingFile(mouse, "")).dir().absolutePath() + "/..", QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QSettings file(files.next(), QSettings::IniFormat);
            for (const QString &key : file.allKeys())
                ini[files.fileName() + ' ' + key.section('/', 0, 0)][key] = file.value(key);
        }
        return ini;
    }

    struct Run
    {
        QMap<Call, int> calls;
        int bound = 30000;
        Ini after;
        QStringList failed;
    };

    // One run: the clean one (fault null), or one with the fault, checked against the clean one.
    Run run(const Op &op, const Fault *fault = nullptr, const Run *clean = nullptr, const char *logged = nullptr)
    {
        reconnect();
        if (op.setup)
            op.setup();
        const Ini before = snapshot();
        QSignalSpy saves(scene.view(), &myQQuickView::saveChecked);
        scene.device().clearWireLog();
        log.clear();
        if (fault)
            scene.device().addFault(*fault);
        Run r;
        const QVariant result = op.run();
        if (!settle(clean ? clean->bound : r.bound))
            r.failed << "transport or busy lock held";
        r.after = snapshot();
        for (const WireEvent &e : scene.device().wireLog())
            if (e.iface == Iface::Command && e.mouse == mouse)
                ++r.calls[e.call];
        // Each transfer may wait its whole time for the transport and each report, twice (a save
        // sends again), and a save waits for the mouse's answer twice.
        r.bound = 2 * (r.calls[Call::SendFeature] * (hid.transportWaitCount * 8 + 50)
                       + r.calls[Call::ReadTimeout] * hid.dataReadTimeoutMs + scene.view()->syncAnswerTimeoutMs) + 3000;
        const QString lines = log.lines().join('\n');
        if (!fault)
            return r.failed << (lines.contains("failed") ? "the clean run failed" : ""), r;
        if (scene.device().pendingFaults())
            return r.failed << "the call was not reached", r;
        if (!lines.contains(logged))
            r.failed << QString("no log line with \"%1\"").arg(logged);
        // A save found kept is a success only when it was sent again; a slot's true is one.
        bool success = result.metaType().id() == QMetaType::Bool && result.toBool();
        for (const QList<QVariant> &save : saves)
            success = success || (QStringList{"verified", "unchecked"}.contains(save[0].toMap()["result"].toString())
                                  && !save[0].toMap()["resent"].toBool());
        if (success)
            r.failed << "success reported";
        for (const QString &group : before.keys() + clean->after.keys() + r.after.keys())
            if (r.after.value(group) != before.value(group) && r.after.value(group) != clean->after.value(group))
                return r.failed << "mixed INI group " + group, r;
        return r;
    }

    void sweep()
    {
        filedialogs::ScopedHook cancel([](const filedialogs::Request &) { return QString(); });
        for (const Op &op : operations()) {
            Run clean = run(op);
            clean.failed.removeAll("");
            failures << (clean.failed.isEmpty() ? QStringList() : QStringList{op.name + ": " + clean.failed.join(", ")});
            std::array<std::pair<int, int>, columnCount> row{};
            for (int c = 0; c < columnCount; ++c)
                for (Call call : columns[c].calls)
                    for (int i = 0; i < clean.calls.value(call); i += stride) {
                        const Fault fault{call, columns[c].action, i, 1, mouse, Iface::Command};
                        const QStringList failed = run(op, &fault, &clean, columns[c].logged).failed;
                        (failed.isEmpty() ? row[c].first : row[c].second)++;
                        if (!failed.isEmpty())
                            failures << QString("%1, %2 %3 #%4: %5").arg(op.name, columns[c].name, callName(call))
                                            .arg(i).arg(failed.join(", "));
                    }
            if (row != decltype(row){}) {
                names << op.name;
                matrix << row;
            }
        }
    }

    void print() const
    {
        std::printf("\nFault sweep, %s mouse (%s; each cell: runs passed/failed)\n%-22s", mouseModel(mouse).name,
                    stride == 1 ? "every call failed once" : qPrintable(QString("every %1th call").arg(stride)),
                    "operation");
        for (const Column &c : columns)
            std::printf("%9s", c.name);
        for (int r = 0; r < names.size(); ++r) {
            std::printf("\n%-22s", qPrintable(names[r]));
            for (const auto &[passed, failed] : matrix[r])
                std::printf("%9s", passed + failed ? qPrintable(QString("%1/%2").arg(passed).arg(failed)) : "-");
        }
        std::printf("\n");
        for (const QString &f : failures)
            std::printf("FAILED %s\n", qPrintable(f));
        std::fflush(stdout);
    }
};

} // namespace

class tst_FaultSweep : public QObject
{
    Q_OBJECT
private slots:
    void sweep_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::newRow("553") << Mouse553;
        QTest::newRow("560") << Mouse560;
    }

    void sweep()
    {
        QFETCH(int, mouse);
        Sweep s(mouse);
        s.sweep();
        s.print();
        QVERIFY2(s.failures.isEmpty(), qPrintable(QString("%1 failed runs").arg(s.failures.size())));
    }
};

QTEST_MAIN(tst_FaultSweep)
#include "tst_faultsweep.moc"
