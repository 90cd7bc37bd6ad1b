// The command transport against the virtual mice: framing, chunking, pauses, the reopen per
// report, and what every failure leaves behind.

#include "device/commandset.h"
#include "device/hid_thread.h"
#include "device/vdev_fixture.h"
#include "testsupport.h"
#include "vdev/virtualdevice.h"

#include <QtTest>

using namespace vdev;
using vdevtest::callNames;
using vdevtest::calls;
using vdevtest::entryFor;

Q_DECLARE_METATYPE(vdev::FaultAction)

namespace {

protocol::Payload unknownRequest() { return protocol::command(0x7E, 1, 2, 3); }

void fillPattern(Hid_Thread &hid)
{
    for (int i = 0; i < int(sizeof hid.dataBuffer); ++i)
        hid.dataBuffer[i] = static_cast<unsigned char>(i + 1);
}

} // namespace

class TransportTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<VirtualDevice> device;
    std::unique_ptr<Hid_Thread> hid;

    // A device list with both virtual mice; the connected one is `mouse`.
    void connectTo(int mouse)
    {
        hid->deviceList = {entryFor(*device, Mouse553), entryFor(*device, Mouse560)};
        hid->deviceIndex = mouse;
    }

    bool send(const protocol::Payload &payload, int length, bool settle)
    {
        if (!hid->waitForTransport())
            return false;
        hid->setRequest(payload);
        return hid->sendCommand(length, settle);
    }

    bool query(const protocol::Payload &payload, int length)
    {
        if (!hid->waitForTransport())
            return false;
        hid->setRequest(payload);
        return hid->queryCommand(length);
    }

    // After any transfer, whatever its outcome, nothing may be left held.
    void verifyReleased()
    {
        QVERIFY(!hid->hidBusy);
        QVERIFY(!hid->commandHandle);
        QCOMPARE(device->openHandleCount(), 0);
    }

private slots:
    void init()
    {
        device = std::make_unique<VirtualDevice>();
        device->install();
        device->plug(Mouse553);
        device->plug(Mouse560);
        hid = std::make_unique<Hid_Thread>();
        connectTo(Mouse553);
        device->clearWireLog();
    }

    void cleanup()
    {
        hid.reset();
        device.reset();
    }

    void checksumOnTheWire_data()
    {
        QTest::addColumn<QByteArray>("payload7");
        QTest::addColumn<int>("checksum");
        QTest::newRow("sync 0x80") << QByteArray("\x80\0\0\0\0\0\0", 7) << 0x7F;
        QTest::newRow("0x02 0x01") << QByteArray("\x02\x01\0\0\0\0\0", 7) << 0xFC;
    }

    void checksumOnTheWire()
    {
        QFETCH(QByteArray, payload7);
        QFETCH(int, checksum);
        auto *bytes = reinterpret_cast<uchar *>(payload7.data());
        QCOMPARE(int(hid->hidCS(bytes)), checksum);

        protocol::Payload p{};
        std::copy(bytes, bytes + 7, p.begin());
        p[7] = hid->hidCS(bytes);
        QVERIFY(send(p, 0, false));
        const auto sent = calls(*device, Call::SendFeature);
        QCOMPARE(sent.size(), size_t(1));
        std::vector<uint8_t> expected(9, 0);
        std::copy(p.begin(), p.end(), expected.begin() + 1);
        QCOMPARE(sent[0].bytes, expected);
    }

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
        connectTo(mouse);
        fillPattern(*hid);
        QVERIFY(send(unknownRequest(), length, false));

        const int reportLength = mouseModel(mouse).reportLength;
        const int chunk = std::min(length, reportLength);
        const auto writes = calls(*device, Call::Write);
        QCOMPARE(int(writes.size()), reports);
        int offset = 0;
        for (const WireEvent &w : writes) {
            QCOMPARE(int(w.bytes.size()), reportLength + 1);
            QCOMPARE(int(w.bytes[0]), 0);
            const int carried = std::min(chunk, length - offset);
            for (int i = 0; i < reportLength; ++i) {
                const int expected = i < carried ? offset + i + 1 : 0;
                QVERIFY2(w.bytes[i + 1] == expected, qPrintable(QString("offset %1 byte %2").arg(offset).arg(i)));
            }
            offset += chunk;
        }
        verifyReleased();
    }

    // The data phase a query reads back lands in dataBuffer, chunk by chunk.
    void queryReadsDataPhase()
    {
        connectTo(Mouse560);
        std::array<uint8_t, 128> block;
        for (int i = 0; i < 128; ++i)
            block[i] = static_cast<uint8_t>(0xA0 ^ i);
        device->withFirmware(Mouse560, [&](VirtualFirmware &f) { f.mutableState().profile[3] = block; });
        std::memset(hid->dataBuffer, 0xEE, sizeof hid->dataBuffer);

        QVERIFY(query(cmd560::readProfile(3), 128));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(hid->dataBuffer), 128),
                 QByteArray(reinterpret_cast<const char *>(block.data()), 128));
        QCOMPARE(int(hid->dataBuffer[128]), 0xEE);   // nothing beyond the transfer is touched
        QCOMPARE(calls(*device, Call::ReadTimeout).size(), size_t(2));
        verifyReleased();
    }

    // Bad report lengths and lengths beyond the buffer are refused before any hidapi call.
    void refusedTransfers_data()
    {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("reportLength 0") << 0 << 64 << false;
        QTest::newRow("reportLength negative") << -1 << 8 << false;
        QTest::newRow("reportLength absurd") << 1000000 << 8 << false;
        QTest::newRow("length beyond the data buffer") << 32 << 193 << false;
        QTest::newRow("negative length") << 32 << -1 << false;
        QTest::newRow("reportLength 0 without data phase") << 0 << 0 << true;
        QTest::newRow("baseline") << 32 << 64 << true;
    }

    void refusedTransfers()
    {
        QFETCH(int, reportLength);
        QFETCH(int, length);
        QFETCH(bool, accepted);
        hid->deviceList[Mouse553].reportLength = reportLength;
        QCOMPARE(send(unknownRequest(), length, false), accepted);
        QCOMPARE(device->wireLog().empty(), !accepted);
        verifyReleased();
    }

    // Every report goes out on a handle opened for it; nothing stays open.
    void reopenPerReport_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<bool>("isQuery");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("sequence");
        const QStringList open{"open", "set_nonblocking"};
        const QStringList reopen = QStringList{"close"} + open;
        QTest::newRow("set, no data") << Mouse553 << false << 0
                                      << open + reopen + QStringList{"send_feature_report", "close"};
        QTest::newRow("set, two reports")
            << Mouse553 << false << 64
            << open + reopen + QStringList{"send_feature_report"} + reopen + QStringList{"write"} + reopen
                   + QStringList{"write", "close"};
        QTest::newRow("query, no data")
            << Mouse553 << true << 0
            << open + reopen + QStringList{"send_feature_report"} + reopen + QStringList{"get_feature_report", "close"};
        QTest::newRow("query, two reports")
            << Mouse560 << true << 128
            << open + reopen + QStringList{"send_feature_report"} + reopen + QStringList{"get_feature_report"} + reopen
                   + QStringList{"read_timeout"} + reopen + QStringList{"read_timeout", "close"};
    }

    void reopenPerReport()
    {
        QFETCH(int, mouse);
        QFETCH(bool, isQuery);
        QFETCH(int, length);
        QFETCH(QStringList, sequence);
        connectTo(mouse);
        const bool ok = isQuery ? query(mouse == Mouse560 ? cmd560::readProfile(0) : cmd553::getCurrentDpi(), length)
                                : send(unknownRequest(), length, false);
        QVERIFY(ok);
        QCOMPARE(callNames(device->wireLog(), Iface::Command), sequence);
        verifyReleased();
    }

    // 10 ms settle after the request and after the data, 20 ms after each output report,
    // read from the device's own time stamps.
    void pausesOnTheWire_data()
    {
        QTest::addColumn<bool>("settle");
        QTest::newRow("without settle") << false;
        QTest::newRow("with settle") << true;
    }

    void pausesOnTheWire()
    {
        QFETCH(bool, settle);
        QVERIFY(send(unknownRequest(), 64, settle));
        const auto log = device->wireLog();
        const auto request = calls(*device, Call::SendFeature);
        const auto writes = calls(*device, Call::Write);
        QCOMPARE(writes.size(), size_t(2));
        const double tolerance = 0.5;
        const double settleMs = settle ? 10 : 0;
        QVERIFY2(writes[0].timeMs() - request[0].timeMs() >= settleMs - tolerance,
                 qPrintable(QString::number(writes[0].timeMs() - request[0].timeMs())));
        QVERIFY(writes[1].timeMs() - writes[0].timeMs() >= 20 - tolerance);
        QCOMPARE(log.back().call, Call::Close);
        QVERIFY2(log.back().timeMs() - writes[1].timeMs() >= 20 + settleMs - tolerance,
                 qPrintable(QString::number(log.back().timeMs() - writes[1].timeMs())));
    }

    // No interface, no hidapi call, and the transport is free again.
    void absentInterface_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("clearList");
        QTest::newRow("empty path") << Mouse553 << false;
        QTest::newRow("index beyond the list") << 7 << false;
        QTest::newRow("no entries at all") << 1 << true;
    }

    void absentInterface()
    {
        QFETCH(int, index);
        QFETCH(bool, clearList);
        hid->deviceList[Mouse553].path.clear();
        if (clearList)
            hid->deviceList.clear();
        hid->deviceIndex = index;
        QVERIFY(!send(unknownRequest(), 64, true));
        QVERIFY(!query(cmd553::getCurrentDpi(), 0));
        QVERIFY(device->wireLog().empty());
        verifyReleased();
    }

    // An open that fails empties the path: the failing transfer and every later one stop there.
    void openFailureEmptiesPath_data()
    {
        QTest::addColumn<int>("failingOpen");
        QTest::newRow("first open") << 0;
        QTest::newRow("reopen for the request") << 1;
        QTest::newRow("reopen for the second data report") << 3;
    }

    void openFailureEmptiesPath()
    {
        QFETCH(int, failingOpen);
        device->addFault({Call::Open, FaultAction::Fail, failingOpen, 1, Mouse553, Iface::Command});
        QVERIFY(!send(unknownRequest(), 64, false));
        QVERIFY(hid->deviceList[Mouse553].path.isEmpty());
        verifyReleased();

        device->clearWireLog();
        QVERIFY(!send(unknownRequest(), 0, false));
        QVERIFY(device->wireLog().empty());
    }

    // A command started from the event processing inside another command finds the transport
    // held, gives up with its failure line, and the outer command completes afterwards.
    void nestedCommandIsDropped()
    {
        testsupport::DebugCapture debug;
        bool nestedReturned = false;
        QMetaObject::invokeMethod(this, [&] {
            hid->hid553_0BH_SetCurrentDPI(2);
            nestedReturned = true;
        }, Qt::QueuedConnection);

        QElapsedTimer clock;
        clock.start();
        QVERIFY(send(unknownRequest(), 64, true));
        QVERIFY(nestedReturned);
        QVERIFY(debug.contains("cmd Failed 0B"));
        QVERIFY(clock.elapsed() >= 255 * 8);

        // Only the outer command reached the device, with its whole data phase.
        const auto requests = calls(*device, Call::SendFeature);
        QCOMPARE(requests.size(), size_t(1));
        QCOMPARE(int(requests[0].bytes[1]), 0x7E);
        QCOMPARE(calls(*device, Call::Write).size(), size_t(2));
        verifyReleased();
    }

    // A device that stops answering in the data phase cannot hold the GUI thread: each report
    // is awaited at most dataReadTimeoutMs.
    void stalledDataPhaseReadEnds()
    {
        connectTo(Mouse560);
        hid->dataReadTimeoutMs = 300;
        device->addFault({Call::ReadTimeout, FaultAction::Stall, 1, 1, Mouse560, Iface::Command});
        QVERIFY(!query(cmd560::readProfile(1), 128));
        const auto reads = calls(*device, Call::ReadTimeout);
        QCOMPARE(reads.size(), size_t(2));
        QCOMPARE(reads[1].result, 0);
        const auto log = device->wireLog();
        auto stalled = std::find_if(log.begin(), log.end(), [](const WireEvent &e) {
            return e.call == Call::ReadTimeout && e.result == 0;
        });
        QVERIFY(stalled != log.begin());
        QVERIFY(stalled->timeMs() - (stalled - 1)->timeMs() >= 300 - 0.5);
        verifyReleased();
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
        const int mouse = kind == 2 ? Mouse560 : Mouse553;
        auto run = [&] {
            switch (kind) {
            case 0: return send(cmd553::setParameter0(1), 64, true);
            case 1: return query(cmd553::getCurrentDpi(), 0);
            default: return query(cmd560::readProfile(2), 128);
            }
        };

        connectTo(mouse);
        QVERIFY(run());
        const auto clean = device->wireLog();
        for (size_t i = 0; i < clean.size(); ++i) {
            const Call call = clean[i].call;
            int earlier = 0;
            for (size_t j = 0; j < i; ++j)
                earlier += clean[j].call == call;
            const QString where = QString("call %1 (%2 #%3)").arg(i).arg(callName(call)).arg(earlier);

            device->plug(mouse);
            device->clearFaults();
            connectTo(mouse);
            device->clearWireLog();
            device->addFault({call, action, earlier, 1, mouse, Iface::Command});
            run();
            QVERIFY2(!hid->hidBusy && !hid->commandHandle && device->openHandleCount() == 0, qPrintable(where));

            device->plug(mouse);
            device->clearFaults();
            connectTo(mouse);
            QVERIFY2(run(), qPrintable(where + ": no command afterwards"));
        }
    }
};

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
