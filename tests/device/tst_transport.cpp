// The command transport against the virtual mice: framing, chunking, pauses, the reopen per
// report, what every failure leaves behind, and payload scrambling (the pure pair, where the
// transport applies it, and the challenge that tells whether a device speaks it).

#include "commandwire_helper.h"

#include "device/commandset.h"
#include "device/scrambling.h"
#include "device/widget_rig.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cstring>

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

QByteArray hex8(const uint8_t *p, int n = 8)
{
    return QByteArray(reinterpret_cast<const char *>(p), n).toHex();
}

void setCode(const char *six)
{
    const QString text = QString::fromLatin1(six);
    secrecyCodeFromText(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()), secrecyCode);
}

struct ChallengeRow
{
    QString mouseCode;   // empty: the mouse does not scramble
    QString entryCode;
    int index;
    bool busy, listReplaced, passes;
};

} // namespace
Q_DECLARE_METATYPE(ChallengeRow)

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
        QTest::newRow("192 at 32") << Mouse553 << 192 << 6;
        QTest::newRow("40 at 32: last report half empty") << Mouse553 << 40 << 2;
        QTest::newRow("8 at 64") << Mouse560 << 8 << 1;
        QTest::newRow("64 at 64") << Mouse560 << 64 << 1;
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

    // Fixed vectors worked out by hand (swap, mix, 64-bit rotation, key): they pin the byte order
    // and the rotation direction, which a round trip alone cannot.
    void knownAnswers_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("scrambled");
        QTest::newRow("sync request") << QByteArray::fromHex("800000000000007f") << QByteArray("583041") << QByteArray("16b1de0039e7fdd6");
        QTest::newRow("challenge") << QByteArray::fromHex("00123456780000eb") << QByteArray("QWERTY") << QByteArray("16548791b6e6ee76");
    }

    void knownAnswers()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, scrambled);
        uint8_t c[8] = {};
        std::memcpy(c + 1, code.constData(), 6);
        uint8_t p[8];
        std::memcpy(p, plain.constData(), 8);

        Hid_Thread hid;
        hid.USBDataEncryption(p, c);
        QCOMPARE(hex8(p), scrambled);
        hid.USBDataDecipher(p, c);
        QCOMPARE(hex8(p), plain.toHex());
    }

    // Random payloads and codes come back unchanged; bytes 0 and 7 of the code take no part.
    void roundTripsRandomPayloads()
    {
        QRandomGenerator random(4711);
        for (int round = 0; round < 2000; ++round) {
            uint8_t code[8], other[8], p[8], original[8];
            random.fillRange(reinterpret_cast<quint32 *>(code), 2);
            random.fillRange(reinterpret_cast<quint32 *>(p), 2);
            if (round < 2)
                std::memset(p, round ? 0xFF : 0, 8);
            std::memcpy(original, p, 8);
            std::memcpy(other, code, 8);
            other[0] = static_cast<uint8_t>(~code[0]);
            other[7] = static_cast<uint8_t>(code[7] + 1 + round);
            scramble(p, code);
            uint8_t q[8];
            std::memcpy(q, original, 8);
            scramble(q, other);
            QCOMPARE(hex8(q), hex8(p));
            unscramble(p, code);
            QVERIFY2(std::memcmp(p, original, 8) == 0, qPrintable(hex8(original) + " code " + hex8(code)));
        }
    }

    // With isEncode the request goes out scrambled and the reply of a query without data phase is
    // unscrambled; data phases stay plain both ways. Without it every byte is the plain payload.
    void transportScramblesRequestOnly()
    {
        Rig rig(vdev::Mouse560);
        setCode("ZX81AB");

        rig.run([](Hid_Thread &hid) { hid.hid560_02H_SetCurrentProfile(3); });
        QCOMPARE(rig.transfers().at(0).request.toHex(), QByteArray("0002030000000000fa"));

        rig.device.withFirmware(rig.mouse, [](VirtualFirmware &fw) { fw.setScrambling(true, "ZX81AB"); });
        rig.hid.deviceList[0].isEncode = true;

        rig.run([](Hid_Thread &hid) { hid.hid560_02H_SetCurrentProfile(4); });
        QCOMPARE(rig.transfers().at(0).request.mid(1).toHex(), QByteArray("17dcae285e6085d6"));
        QCOMPARE(rig.state().currentProfile, 4);

        uchar profile = 0;
        rig.run([&](Hid_Thread &hid) { hid.hid560_82H_GetCurrentProfile(profile); });
        QCOMPARE(profile, uchar(4));

        const QByteArray block = commandwire::pattern(128, 3);
        QByteArray copy = block;
        rig.run([&](Hid_Thread &hid) { hid.hid560_0CH_setProfile(commandwire::bytes(copy), 1); });
        QCOMPARE(commandwire::dataOut(rig.transfers().at(0), 128, rig.reportLength), block);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.state().profile[1].data()), 128), block);

        QByteArray back(128, 0);
        rig.run([&](Hid_Thread &hid) { hid.hid560_8CH_readProfile(commandwire::bytes(back), 1); });
        QCOMPARE(back, block);
        QCOMPARE(rig.state().badChecksums + rig.state().unknownRequests, 0);
    }

    // The challenge that tells whether a device speaks scrambling with the entry's code. A bad
    // index leaves the connected entry selected; a device check that replaces the list during the
    // challenge's wait does not move the result onto another entry.
    void challenge_data()
    {
        QTest::addColumn<ChallengeRow>("row");
        // The previous code (ABCDEF, loaded before each row) stays when the entry's is not six long.
        QTest::newRow("wrong code") << ChallengeRow{"ABCDEF", "ABCDEG", 0, false, false, false};
        QTest::newRow("plain mouse") << ChallengeRow{"", "ABCDEF", 0, false, false, false};
        QTest::newRow("busy transport") << ChallengeRow{"ABCDEF", "ABCDEF", 0, true, false, false};
        QTest::newRow("right code") << ChallengeRow{"ABCDEF", "ABCDEF", 0, false, false, true};
        QTest::newRow("five characters keep the code") << ChallengeRow{"ABCDEF", "QWERT", 0, false, false, true};
        QTest::newRow("seven characters keep the code") << ChallengeRow{"ABCDEF", "QWERTYU", 0, false, false, true};
        QTest::newRow("index past the list") << ChallengeRow{"", "ABCDEF", 1, false, false, false};
        QTest::newRow("negative index") << ChallengeRow{"", "ABCDEF", -1, false, false, false};
        QTest::newRow("list replaced while waiting") << ChallengeRow{"ABCDEF", "ABCDEF", 0, false, true, true};
    }

    void challenge()
    {
        QFETCH(ChallengeRow, row);
        Rig rig(vdev::Mouse553);
        setCode("ABCDEF");
        if (!row.mouseCode.isEmpty())
            rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) { fw.setScrambling(true, row.mouseCode.toStdString()); });
        rig.hid.deviceList[0].sCode = row.entryCode;
        rig.hid.deviceIndex = row.index ? 0 : 5;   // a valid index selects its entry, a bad one leaves it
        if (row.busy) {
            rig.hid.hidBusy = true;
            rig.hid.transportWaitCount = 1;
        }
        if (row.listReplaced) {
            // As a check would: a new list, the mouse now second, selected by its new index.
            rig.hid.hidBusy = true;
            QMetaObject::invokeMethod(this, [&rig] {
                DeviceEntry keyboard;
                keyboard.sCode = "ABCDEF";
                rig.hid.deviceList = {keyboard, rig.hid.deviceList[0]};
                rig.hid.deviceIndex = 1;
                rig.hid.hidBusy = false;
            }, Qt::QueuedConnection);
        }
        testsupport::DebugCapture capture;
        bool result = !row.passes;
        rig.run([&](Hid_Thread &hid) { result = hid.chkDeviceIsEnCode(row.index); });
        QCOMPARE(result, row.passes);
        QCOMPARE(rig.hid.deviceIndex, row.listReplaced ? 1 : 0);
        QCOMPARE(rig.hid.deviceList.first().isEncode, row.passes && !row.listReplaced);
        QCOMPARE(rig.hid.deviceList.last().isEncode, row.passes);
        QCOMPARE(capture.contains("cmd Failed 00"), row.busy);
        if (row.entryCode.size() == 6)
            QCOMPARE(QString::fromLatin1(reinterpret_cast<const char *>(secrecyCode + 1), 6), row.entryCode);
        // The selected entry drives the mouse, scrambled once passed.
        if (row.passes || row.mouseCode.isEmpty()) {
            rig.run([](Hid_Thread &hid) { hid.hid553_0BH_SetCurrentDPI(2); });
            QCOMPARE(rig.state().dpiStage, 2);
        }
    }
};

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
