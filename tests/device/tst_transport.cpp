// The command transport against the virtual mice: framing, chunking, pauses, the reopen per
// report, and what every failure leaves behind.

#include "commandwire_helper.h"

#include "device/commandset.h"
#include "device/widget_rig.h"
#include "testsupport.h"

#include <QtTest>

using namespace vdev;
using commandwire::Rig;
using vdevtest::calls;

Q_DECLARE_METATYPE(vdev::FaultAction)

namespace {

protocol::Payload unknownRequest() { return protocol::command(0x7E, 1, 2, 3); }

bool send(Hid_Thread &hid, const protocol::Payload &payload, int length, bool settle = false)
{
    if (!hid.waitForTransport())
        return false;
    hid.setRequest(payload);
    return hid.sendCommand(length, settle);
}

bool query(Hid_Thread &hid, const protocol::Payload &payload, int length)
{
    if (!hid.waitForTransport())
        return false;
    hid.setRequest(payload);
    return hid.queryCommand(length);
}

QStringList commandCalls(const VirtualDevice &device)
{
    QStringList names;
    for (const WireEvent &e : device.wireLog())
        if (e.iface == Iface::Command)
            names << QString::fromLatin1(callName(e.call));
    return names;
}

// After any transfer, whatever its outcome, nothing may be left held.
bool released(Rig &rig)
{
    return !rig.hid.hidBusy && !rig.hid.commandHandle && rig.device.openHandleCount() == 0;
}

} // namespace

class TransportTest : public QObject
{
    Q_OBJECT

private slots:
    // Each output report: report number 0, one chunk, zeros up to reportLength data bytes.
    void dataPhaseChunks_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("reports");
        QTest::newRow("8 at 32") << Mouse553 << 8 << 1;
        QTest::newRow("24 at 32") << Mouse553 << 24 << 1;
        QTest::newRow("64 at 32") << Mouse553 << 64 << 2;
        QTest::newRow("128 at 32") << Mouse553 << 128 << 4;
        QTest::newRow("192 at 32") << Mouse553 << 192 << 6;
        QTest::newRow("40 at 32: last report half empty") << Mouse553 << 40 << 2;
        QTest::newRow("8 at 64") << Mouse560 << 8 << 1;
        QTest::newRow("64 at 64") << Mouse560 << 64 << 1;
        QTest::newRow("128 at 64") << Mouse560 << 128 << 2;
        QTest::newRow("192 at 64") << Mouse560 << 192 << 3;
    }

    void dataPhaseChunks()
    {
        QFETCH(int, mouse);
        QFETCH(int, length);
        QFETCH(int, reports);
        Rig rig(mouse);
        for (int i = 0; i < int(sizeof rig.hid.dataBuffer); ++i)
            rig.hid.dataBuffer[i] = uchar(i + 1);
        QVERIFY(send(rig.hid, unknownRequest(), length));
        const QList<QByteArray> writes = rig.transfers().value(0).writes;
        QCOMPARE(int(writes.size()), reports);
        const int chunk = std::min(length, rig.reportLength);
        for (int r = 0; r < reports; ++r) {
            QByteArray expected(rig.reportLength + 1, 0);
            for (int i = 0; i < std::min(chunk, length - r * chunk); ++i)
                expected[i + 1] = char(r * chunk + i + 1);
            QCOMPARE(writes[r].toHex(), expected.toHex());
        }
        // 20 ms after each output report, read from the device's own time stamps.
        const auto w = calls(rig.device, Call::Write);
        for (size_t i = 1; i < w.size(); ++i)
            QVERIFY(w[i].timeMs() - w[i - 1].timeMs() >= 20 - 0.5);
        QVERIFY2(rig.transfers()[0].tailMs >= 20 - 0.5, qPrintable(QString::number(rig.transfers()[0].tailMs)));
        QVERIFY(released(rig));
    }

    // Bad report lengths, lengths beyond the buffer and a missing interface are refused before
    // any hidapi call, and the transport is free again.
    void refusedTransfers_data()
    {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("entries");   // 0: no list, 1: the path cleared, 2: the row as plugged
        QTest::addColumn<bool>("accepted");
        QTest::newRow("reportLength 0") << 0 << 64 << 0 << 2 << false;
        QTest::newRow("reportLength negative") << -1 << 8 << 0 << 2 << false;
        QTest::newRow("reportLength absurd") << 1000000 << 8 << 0 << 2 << false;
        QTest::newRow("length beyond the data buffer") << 32 << 193 << 0 << 2 << false;
        QTest::newRow("negative length") << 32 << -1 << 0 << 2 << false;
        QTest::newRow("empty path") << 32 << 64 << 0 << 1 << false;
        QTest::newRow("empty path, no data phase") << 32 << 0 << 0 << 1 << false;
        QTest::newRow("index beyond the list") << 32 << 64 << 7 << 2 << false;
        QTest::newRow("no entries at all") << 32 << 64 << 0 << 0 << false;
        QTest::newRow("reportLength 0 without data phase") << 0 << 0 << 0 << 2 << true;
        QTest::newRow("baseline") << 32 << 64 << 0 << 2 << true;
    }

    void refusedTransfers()
    {
        QFETCH(int, reportLength);
        QFETCH(int, length);
        QFETCH(int, index);
        QFETCH(int, entries);
        QFETCH(bool, accepted);
        Rig rig(Mouse553);
        rig.hid.deviceList[0].reportLength = reportLength;
        if (entries < 2)
            rig.hid.deviceList[0].path.clear();
        if (entries < 1)
            rig.hid.deviceList.clear();
        rig.hid.deviceIndex = index;
        QCOMPARE(send(rig.hid, unknownRequest(), length, true), accepted);
        if (!accepted)
            QVERIFY(!query(rig.hid, cmd553::getCurrentDpi(), length));
        QCOMPARE(rig.device.wireLog().empty(), !accepted);
        QVERIFY(released(rig));
    }

    // Every report goes out on a handle opened for it; nothing stays open.
    void reopenPerReport_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<bool>("isQuery");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("sequence");
        const QStringList open{"open", "set_nonblocking"};
        const QStringList re = QStringList{"close"} + open;
        const QStringList send = open + re + QStringList{"send_feature_report"} + re;
        QTest::newRow("set, no data") << Mouse553 << false << 0 << open + re + QStringList{"send_feature_report", "close"};
        QTest::newRow("set, two reports") << Mouse553 << false << 64 << send + QStringList{"write"} + re + QStringList{"write", "close"};
        QTest::newRow("query, no data") << Mouse553 << true << 0 << send + QStringList{"get_feature_report", "close"};
        QTest::newRow("query, two reports") << Mouse560 << true << 128
            << send + QStringList{"get_feature_report"} + re + QStringList{"read_timeout"} + re + QStringList{"read_timeout", "close"};
    }

    void reopenPerReport()
    {
        QFETCH(int, mouse);
        QFETCH(bool, isQuery);
        QFETCH(int, length);
        QFETCH(QStringList, sequence);
        Rig rig(mouse);
        QVERIFY(isQuery ? query(rig.hid, mouse == Mouse560 ? cmd560::readProfile(0) : cmd553::getCurrentDpi(), length)
                        : send(rig.hid, unknownRequest(), length));
        QCOMPARE(commandCalls(rig.device), sequence);
        QVERIFY(released(rig));
    }

    // A command started from the event processing inside another command finds the transport
    // held, gives up with its failure line, and the outer command completes afterwards.
    void nestedCommandIsDropped()
    {
        Rig rig(Mouse553);
        testsupport::DebugCapture debug;
        bool nestedReturned = false;
        QMetaObject::invokeMethod(this, [&] {
            rig.hid.hid553_0BH_SetCurrentDPI(2);
            nestedReturned = true;
        }, Qt::QueuedConnection);
        QElapsedTimer clock;
        clock.start();
        bool ok = false;
        rig.run([&](Hid_Thread &hid) { ok = send(hid, unknownRequest(), 64, true); });
        QVERIFY(ok && nestedReturned);
        QVERIFY(debug.contains("cmd Failed 0B"));
        QVERIFY(clock.elapsed() >= 255 * 8);
        // Only the outer command reached the device, with its whole data phase.
        QCOMPARE(rig.requests().size(), 1);
        QVERIFY(rig.requests()[0].startsWith("7e010203"));
        QCOMPARE(rig.transfers()[0].writes.size(), 2);
        QVERIFY(released(rig));
    }

    // A device that stops answering in the data phase cannot hold the GUI thread: each report
    // is awaited at most dataReadTimeoutMs.
    void stalledDataPhaseReadEnds()
    {
        Rig rig(Mouse560);
        rig.hid.dataReadTimeoutMs = 300;
        rig.device.addFault({Call::ReadTimeout, FaultAction::Stall, 1, 1, Mouse560, Iface::Command});
        QVERIFY(!query(rig.hid, cmd560::readProfile(1), 128));
        const auto log = rig.device.wireLog();
        const auto stalled = std::find_if(log.begin(), log.end(), [](const WireEvent &e) {
            return e.call == Call::ReadTimeout && e.result == 0;
        });
        QVERIFY(stalled != log.begin() && stalled != log.end());
        QCOMPARE(calls(rig.device, Call::ReadTimeout).size(), size_t(2));
        QVERIFY(stalled->timeMs() - (stalled - 1)->timeMs() >= 300 - 0.5);
        QVERIFY(released(rig));
    }

    // A failure (or an unplug) at any single hidapi call of a transfer: the transfer ends, the
    // transport and every handle are released, and once the device is back a command works.
    void faultAtEveryCall_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<FaultAction>("action");
        const char *kinds[] = {"set with data", "query", "query with data"};
        for (int k = 0; k < 3; ++k) {
            QTest::addRow("%s, call fails", kinds[k]) << k << FaultAction::Fail;
            QTest::addRow("%s, unplugged at the call", kinds[k]) << k << FaultAction::Unplug;
        }
    }

    void faultAtEveryCall()
    {
        QFETCH(int, kind);
        QFETCH(FaultAction, action);
        Rig rig(kind == 2 ? Mouse560 : Mouse553);
        auto run = [&] {
            switch (kind) {
            case 0: return send(rig.hid, cmd553::setParameter0(1), 64, true);
            case 1: return query(rig.hid, cmd553::getCurrentDpi(), 0);
            default: return query(rig.hid, cmd560::readProfile(2), 128);
            }
        };
        QVERIFY(run());
        const auto clean = rig.device.wireLog();
        for (size_t i = 0; i < clean.size(); ++i) {
            const Call call = clean[i].call;
            const int earlier = int(std::count_if(clean.begin(), clean.begin() + i, [&](const WireEvent &e) { return e.call == call; }));
            const QString where = QString("call %1 (%2 #%3)").arg(i).arg(callName(call)).arg(earlier);
            rig.device.clearFaults();
            rig.connect();
            rig.device.addFault({call, action, earlier, 1, rig.mouse, Iface::Command});
            run();
            QVERIFY2(released(rig), qPrintable(where));
            if (call == Call::Open && action == FaultAction::Fail) {
                // A failed open empties the path: later transfers stop before any hidapi call.
                QVERIFY2(rig.hid.deviceList[0].path.isEmpty(), qPrintable(where));
                rig.device.clearWireLog();
                QVERIFY(!send(rig.hid, unknownRequest(), 0));
                QVERIFY(rig.device.wireLog().empty());
            }
            rig.device.clearFaults();
            rig.connect();
            QVERIFY2(run(), qPrintable(where + ": no command afterwards"));
        }
    }
};

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
