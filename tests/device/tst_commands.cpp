// SPDX-License-Identifier: GPL-3.0-or-later
// Commands on the wire to the virtual mice (report length 32 on the 553, 64 on the 560): the
// transport, payload scrambling, and every command of both families.

#include "app/widget.h"
#include "device/commandset.h"
#include "device/hid_thread.h"
#include "device/hidapi_seam.h"
#include "device/scrambling.h"
#include "device/widget_rig.h"
#include "testsupport.h"
#include "view/myqquickview.h"

#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <functional>

using namespace vdev;
using vdevtest::calls;

namespace {

// The command rig: a Hid_Thread wired to one virtual mouse, and the wire log cut into one record
// per request.
struct Transfer
{
    QByteArray request;          // the 9-byte feature report as sent
    QList<QByteArray> writes;    // output reports, report number included
    bool replyRead = false;
    double settleMs = 0;         // from the request to the next call on the wire
    double tailMs = 0;           // from the last report of the transfer to the next call
};

struct Rig
{
    vdev::VirtualDevice device;
    Hid_Thread ownThread;
    Hid_Thread &hid;
    int mouse;
    int reportLength;

    explicit Rig(int mouse, Hid_Thread *useThread = nullptr)
        : hid(useThread ? *useThread : ownThread), mouse(mouse), reportLength(vdev::mouseModel(mouse).reportLength)
    {
        device.install();
        connect();
    }

    ~Rig()
    {
        hid.deviceList.clear();
        device.uninstall();
    }

    // (Re)plugs the mouse and makes it the only, connected row of the device list.
    void connect()
    {
        device.plug(mouse);
        hid.deviceList = {vdevtest::entryFor(device, mouse)};
        hid.deviceIndex = 0;
        hid.hidBusy = false;
    }

    // Clears the wire log, runs f, then marks the log so the time after the last transfer shows.
    void run(const std::function<void(Hid_Thread &)> &f)
    {
        device.clearWireLog();
        f(hid);
        // An enumeration is logged with its time: it marks when the slot returned.
        hid::free_enumeration(hid::enumerate(0xFFFF, 0xFFFF));
    }

    QList<Transfer> transfers() const
    {
        const std::vector<vdev::WireEvent> log = device.wireLog();
        QList<Transfer> out;
        for (size_t i = 0; i < log.size(); ++i) {
            const vdev::WireEvent &e = log[i];
            if (e.iface != Iface::Command || !e.isReport() || (out.isEmpty() && e.call != Call::SendFeature))
                continue;
            const double next = i + 1 < log.size() ? log[i + 1].timeMs() - e.timeMs() : 0;
            const QByteArray b(reinterpret_cast<const char *>(e.bytes.data()), int(e.bytes.size()));
            if (e.call == Call::SendFeature)
                out << Transfer{b, {}, false, next, 0};
            out.last().tailMs = next;
            out.last().replyRead |= e.call == Call::GetFeature;
            if (e.call == Call::Write)
                out.last().writes << b;
        }
        return out;
    }

    // Payload bytes of each request, hex.
    QStringList requests() const
    {
        QStringList out;
        for (const Transfer &t : transfers())
            out << QString::fromLatin1(t.request.mid(1).toHex());
        return out;
    }

    // The last command-interface call to the end of run().
    double trailingMs() const
    {
        const std::vector<vdev::WireEvent> log = device.wireLog();
        for (size_t i = log.size() - 1; log.size() > 1 && i-- > 0;)
            if (log[i].iface == Iface::Command)
                return log.back().timeMs() - log[i].timeMs();
        return 0;
    }

    VirtualFirmware::State state() const { return device.firmwareState(mouse); }
};

inline uchar *bytes(QByteArray &b) { return reinterpret_cast<uchar *>(b.data()); }

// One set command: the call, and what must cross the wire.
struct SetCase
{
    const char *name;
    std::function<void(Hid_Thread &)> call;
    const char *request;         // payload b0..b7, hex
    QByteArray data;             // data phase as it must arrive (empty: none)
    bool settle;
    int sleepMs;                 // pause after the transfer before the slot returns
    const char *failLine;        // debug line when the transport stays busy
};

// One query: the call returns its outputs (hex); setup prepares the mouse.
struct QueryCase
{
    const char *name;
    std::function<QByteArray(Hid_Thread &)> call;
    std::function<void(VirtualFirmware::State &)> setup;
    const char *request;
    QByteArray answered;         // outputs after a transfer that worked
    QByteArray prefilled;        // outputs after a transfer that failed: the pre-fill
    QByteArray untouched;        // outputs when the command never ran: the inputs
    const char *failLine;
};


// A recognisable block: byte i = (i * 7 + seed) mod 256.
QByteArray pattern(int length, int seed)
{
    QByteArray b(length, 0);
    for (int i = 0; i < length; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

QByteArray hexOf(std::initializer_list<uchar> values)
{
    return QByteArray(reinterpret_cast<const char *>(values.begin()), int(values.size())).toHex();
}

// Chunk bytes carried by the output reports, in order.
QByteArray dataOut(const Transfer &t, int length, int reportLength)
{
    QByteArray out;
    for (const QByteArray &w : t.writes)
        out += w.mid(1, qMin(length, reportLength));
    return out.left(length);
}

// msleep never returns early; the tolerance only absorbs the clock's granularity.
constexpr double tolerance = 0.5;

// Each check also runs the command against a transport held for the whole wait: only the
// failure line, nothing on the wire, outputs untouched.
void checkBusy(Rig &rig, const std::function<void(Hid_Thread &)> &call, const char *failLine)
{
    rig.hid.hidBusy = true;
    rig.hid.transportWaitCount = 2;
    testsupport::DebugCapture capture;
    rig.run(call);
    rig.hid.hidBusy = false;
    QCOMPARE(capture.lines(), QStringList{QString::fromLatin1(failLine)});
    for (const vdev::WireEvent &e : rig.device.wireLog())
        QVERIFY(e.iface != Iface::Command || e.call == Call::Open || e.call == Call::Close || e.call == Call::SetNonblocking);
}

void checkSet(Rig &rig, const SetCase &c)
{
    rig.run(c.call);
    const QList<Transfer> t = rig.transfers();
    QCOMPARE(t.size(), 1);
    QCOMPARE(t[0].request.toHex(), QByteArray("00") + c.request);
    QVERIFY(!t[0].replyRead);
    const int length = int(c.data.size());
    const int chunk = qMin(length, rig.reportLength);
    QCOMPARE(int(t[0].writes.size()), length ? (length + chunk - 1) / chunk : 0);
    for (const QByteArray &w : t[0].writes) {
        QCOMPARE(int(w.size()), rig.reportLength + 1);
        QCOMPARE(w.at(0), char(0));
        QCOMPARE(w.mid(1 + chunk), QByteArray(rig.reportLength - chunk, 0));
    }
    QCOMPARE(dataOut(t[0], length, rig.reportLength).toHex(), c.data.toHex());
    if (c.settle) {
        QVERIFY2(t[0].settleMs >= 10 - tolerance, qPrintable(QString::number(t[0].settleMs)));
        if (length)
            QVERIFY2(t[0].tailMs >= 30 - tolerance, qPrintable(QString::number(t[0].tailMs)));
    }
    if (c.sleepMs)
        QVERIFY2(rig.trailingMs() >= c.sleepMs - tolerance, qPrintable(QString::number(rig.trailingMs())));
    // The mouse understood it all.
    const VirtualFirmware::State s = rig.state();
    QCOMPARE(s.badChecksums + s.unknownRequests + s.strayDataReports + s.abandonedDataPhases, 0);
    checkBusy(rig, c.call, c.failLine);
}

void checkQuery(Rig &rig, const QueryCase &c)
{
    if (c.setup)
        rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) { c.setup(fw.mutableState()); });
    QByteArray outputs;
    const auto call = [&](Hid_Thread &hid) { outputs = c.call(hid); };
    rig.run(call);
    QList<Transfer> t = rig.transfers();
    QCOMPARE(t.size(), 1);
    QCOMPARE(t[0].request.toHex(), QByteArray("00") + c.request);
    QVERIFY(t[0].replyRead);
    QVERIFY(t[0].writes.isEmpty());
    QCOMPARE(outputs, c.answered);

    // The request never reaches the mouse: the outputs are the pre-fill.
    rig.device.addFault({Call::SendFeature, vdev::FaultAction::Fail});
    rig.run(call);
    rig.device.clearFaults();
    QCOMPARE(outputs, c.prefilled);
    QVERIFY(!rig.hid.hidBusy);

    checkBusy(rig, call, c.failLine);
    QCOMPARE(outputs, c.untouched);
}


protocol::Payload unknownRequest() { return protocol::command(0x7E, 1, 2, 3); }

// One transfer as a command slot makes it: a set (with or without the settling pauses) or a query.
bool transfer(Hid_Thread &hid, const protocol::Payload &payload, int length, bool isQuery = false, bool settle = false)
{
    if (!hid.waitForTransport())
        return false;
    hid.setRequest(payload);
    return isQuery ? hid.queryCommand(length) : hid.sendCommand(length, settle);
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

const QList<SetCase> &setCases(int mouse)
{
    static const QList<SetCase> f553 = {
        {"parameter block 0, profile 3", [](Hid_Thread &h) { QByteArray b = pattern(64, 1); h.hid553_02H_SetParameter_0(bytes(b), 3); },
         "0203000000000100", pattern(64, 1), true, 0, "cmd Failed 12"},
        {"parameter block 1, mask 7", [](Hid_Thread &h) { QByteArray b = pattern(192, 2); h.hid553_03H_SetParameter_1(bytes(b), 7); },
         "0300000000070300", pattern(192, 2), true, 0, "cmd Failed 12"},
        {"macro slot 5", [](Hid_Thread &h) { QByteArray b = pattern(128, 3); h.hid553_13H_SetMacroKey(5, bytes(b)); },
         "0400050000000000", pattern(128, 3), true, 0, "cmd Failed 13"},
        {"key matrix 2", [](Hid_Thread &h) { QByteArray b = pattern(64, 4); h.hid553_12H_SetKeyMatrix(bytes(b), 2); },
         "12024008000000a3", pattern(64, 4), true, 0, "cmd Failed 12"},
        {"dpi set, 4 stages", [](Hid_Thread &h) { QByteArray b = QByteArray::fromHex("03070f1f80808080"); h.hid553_11H_SetDPISet(4, bytes(b)); },
         "11040800000000e2", QByteArray::fromHex("03070f1f80808080"), true, 0, "cmd Failed 11"},
        {"led colours type 2", [](Hid_Thread &h) { QByteArray b = pattern(24, 5); h.hid553_10H_SetLED8StageColor(2, bytes(b)); },
         "10020400000000e9", pattern(4, 5), true, 0, "cmd Failed 10"},
        {"led colours type 0", [](Hid_Thread &h) { QByteArray b = pattern(24, 6); h.hid553_10H_SetLED8StageColor(0, bytes(b)); },
         "10001800000000d7", pattern(24, 6), true, 0, "cmd Failed 10"},
        {"current dpi 3", [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(3); }, "0b030000000000f1", {}, true, 0, "cmd Failed 0B"},
        {"fix colour", [](Hid_Thread &h) { QByteArray b = QByteArray::fromHex("102030"); h.hid553_0CH_SetFixLEDColor(bytes(b)); },
         "0c10203000000093", {}, true, 0, "cmd Failed 0C"},
        {"rgb effect", [](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(5, 0x40, 7); }, "0d054007000000a6", {}, true, 0, "cmd Failed 0D"},
        {"current key matrix 1", [](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(1); }, "02010000000000fc", {}, true, 0, "cmd Failed 02"},
        // No report-rate request is known for this family: the slot sends the sync request.
        {"report rate 500 Hz", [](Hid_Thread &h) { h.hid553_01H_SetReportRate(2); }, "800000000000007f", {}, true, 0, "cmd Failed 01"},
        {"keyboard option", [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 4); }, "03010203040000f2", {}, false, 8, "cmd Failed 03"},
        {"gun data slot 2", [](Hid_Thread &h) { h.hid553_04H_SetGunData(3, 0x10, 0xF0, 2); }, "04000310f00200f6", {}, false, 8, "cmd Failed 04"},
        {"sync", [](Hid_Thread &h) { h.hid553_80H_SyncData(); }, "800000000000007f", {}, false, 10, "cmd Failed 04"},
    };
    static const QList<SetCase> f560 = {
        {"profile 2", [](Hid_Thread &h) { QByteArray b = pattern(128, 1); h.hid560_0CH_setProfile(bytes(b), 2); },
         "0c02800000000071", pattern(128, 1), true, 0, "cmd Failed 0C"},
        // Only 64 bytes are handed over; the second half goes out as zeros.
        {"key matrix 3", [](Hid_Thread &h) { QByteArray b = pattern(64, 2); h.hid560_0DH_SetKeyMatrix(bytes(b), 3); },
         "0d0380000000006f", pattern(64, 2) + QByteArray(64, 0), true, 0, "cmd Failed 12"},
        {"macro slot 4", [](Hid_Thread &h) { QByteArray b = pattern(128, 3); h.hid560_0FH_SetMacroKey(4, bytes(b)); },
         "0f0480000000006c", pattern(128, 3), true, 0, "cmd Failed 0F"},
        {"current profile 2", [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(2); }, "02020000000000fb", {}, false, 8, "cmd Failed 02"},
        {"keyboard option", [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(5, 6); }, "01050600000000f3", {}, false, 8, "cmd Failed 03"},
    };
    return mouse == Mouse553 ? f553 : f560;
}

const QList<QueryCase> &queryCases(int mouse)
{
    static const QList<QueryCase> f553 = {
        {"secrecy code",
         [](Hid_Thread &h) { uchar a = 0x11, b = 0x22, c = 0x33, d = 0x44; h.hid553_00H_GetSecrecyCode(a, b, c, d); return hexOf({a, b, c, d}); },
         nullptr, "0011223344000055", hexOf({0x11, 0x22, 0x33, 0x44}), hexOf({0, 0, 0, 0}), hexOf({0x11, 0x22, 0x33, 0x44}), "cmd Failed 00"},
        // Same request as the sync; the reply carries the identity: IC 553, sensor 3360, 6 keys.
        {"keyboard option",
         [](Hid_Thread &h) { uchar a = 1, b = 2, c = 3, d = 4; h.hid553_83H_GetKeyboardoption(a, b, c, d); return hexOf({a, b, c, d}); },
         nullptr, "800000000000007f", hexOf({0, 6, 7, 6}), hexOf({1, 2, 3, 4}), hexOf({1, 2, 3, 4}), "cmd Failed 83"},
        {"current dpi", [](Hid_Thread &h) { uchar a = 9; h.hid553_8BH_GetCurrentDPI(a); return hexOf({a}); },
         [](VirtualFirmware::State &s) { s.dpiStage = 3; }, "8b00000000000074", hexOf({3}), hexOf({9}), hexOf({9}), "cmd Failed 8BH"},
    };
    static const QList<QueryCase> f560 = {
        {"keyboard option", [](Hid_Thread &h) { uchar a = 7, b = 8; h.hid560_81H_GetKeyboardoption(a, b); return hexOf({a, b}); },
         [](VirtualFirmware::State &s) { s.keyboardOption560 = {3, 4}; }, "810000000000007e", hexOf({3, 4}), hexOf({7, 8}), hexOf({7, 8}), "cmd Failed 81"},
        {"current profile", [](Hid_Thread &h) { uchar a = 0; h.hid560_82H_GetCurrentProfile(a); return hexOf({a}); },
         [](VirtualFirmware::State &s) { s.currentProfile = 3; }, "820000000000007d", hexOf({3}), hexOf({0}), hexOf({0}), "cmd Failed 82"},
        // The first byte goes out in the request.
        {"current dpi", [](Hid_Thread &h) { uchar a = 1, b = 0; h.hid560_84H_GetCurrentDPI(a, b); return hexOf({a, b}); },
         [](VirtualFirmware::State &s) { s.dpiStage = 5; }, "840100000000007a", hexOf({1, 5}), hexOf({1, 0}), hexOf({1, 0}), "cmd Failed 84"},
    };
    return mouse == Mouse553 ? f553 : f560;
}

template <typename Cases>
void addCaseRows(Cases cases)
{
    testsupport::addColumns<int, int>({"mouse", "index"});
    for (int mouse : {Mouse553, Mouse560})
        for (int i = 0; i < cases(mouse).size(); ++i)
            QTest::addRow("%s %s", vdev::mouseModel(mouse).familyName, cases(mouse)[i].name) << mouse << i;
}

} // namespace
Q_DECLARE_METATYPE(ChallengeRow)

class tst_Commands : public QObject
{
    Q_OBJECT
private slots:
    // Every report goes out on a handle opened for it and nothing stays open (O open and
    // set_nonblocking, C close, S send, G get feature report, W write, R read). Each output
    // report: report number 0, one chunk, zeros up to reportLength data bytes, 20 ms after it.
    void transferShape_data()
    {
        testsupport::addColumns<int, bool, int, QString>({"mouse", "isQuery", "length", "sequence"});
        QTest::newRow("set, no data") << Mouse553 << false << 0 << "OCOSC";
        QTest::newRow("set, 192 at 32") << Mouse553 << false << 192 << "OCOSCOWCOWCOWCOWCOWCOWC";
        QTest::newRow("set, 40 at 32: last report half empty") << Mouse553 << false << 40 << "OCOSCOWCOWC";
        QTest::newRow("set, 8 at 64") << Mouse560 << false << 8 << "OCOSCOWC";
        QTest::newRow("set, 64 at 64") << Mouse560 << false << 64 << "OCOSCOWC";
        QTest::newRow("set, 192 at 64") << Mouse560 << false << 192 << "OCOSCOWCOWCOWC";
        QTest::newRow("query, no data") << Mouse553 << true << 0 << "OCOSCOGC";
        QTest::newRow("query, two reports") << Mouse560 << true << 128 << "OCOSCOGCORCORC";
    }

    void transferShape()
    {
        QFETCH(int, mouse);
        QFETCH(bool, isQuery);
        QFETCH(int, length);
        QFETCH(QString, sequence);
        Rig rig(mouse);
        for (int i = 0; i < int(sizeof rig.hid.dataBuffer); ++i)
            rig.hid.dataBuffer[i] = uchar(i + 1);
        QVERIFY(transfer(rig.hid, !isQuery ? unknownRequest() : mouse == Mouse560 ? cmd560::readProfile(0) : cmd553::getCurrentDpi(),
                         length, isQuery));
        const QMap<QChar, QStringList> names{{'O', {"open", "set_nonblocking"}}, {'C', {"close"}}, {'S', {"send_feature_report"}},
                                             {'G', {"get_feature_report"}}, {'W', {"write"}}, {'R', {"read_timeout"}}};
        QStringList expected;
        for (QChar c : sequence)
            expected << names[c];
        QCOMPARE(commandCalls(rig.device), expected);
        QVERIFY(released(rig));
        if (isQuery)
            return;
        const QList<QByteArray> writes = rig.transfers().value(0).writes;
        const int chunk = std::min(length, rig.reportLength);
        for (int r = 0; r < writes.size(); ++r) {
            QByteArray report(rig.reportLength + 1, 0);
            for (int i = 0; i < std::min(chunk, length - r * chunk); ++i)
                report[i + 1] = char(r * chunk + i + 1);
            QCOMPARE(writes[r].toHex(), report.toHex());
        }
        // Read from the device's own time stamps.
        const auto w = calls(rig.device, Call::Write);
        for (size_t i = 1; i < w.size(); ++i)
            QVERIFY(w[i].timeMs() - w[i - 1].timeMs() >= 20 - 0.5);
        if (length)
            QVERIFY2(rig.transfers()[0].tailMs >= 20 - 0.5, qPrintable(QString::number(rig.transfers()[0].tailMs)));
    }

    // Bad report lengths, lengths beyond the buffer and a missing interface are refused before
    // any hidapi call, and the transport is free again.
    // Rows: report length, transfer length, entry index, entries (0: no list, 1: the path
    // cleared, 2: the row as plugged), accepted.
    void refusedTransfers_data()
    {
        QTest::addColumn<QList<int>>("row");
        QTest::newRow("reportLength 0") << QList<int>{0, 64, 0, 2, false};
        QTest::newRow("reportLength negative") << QList<int>{-1, 8, 0, 2, false};
        QTest::newRow("reportLength absurd") << QList<int>{1000000, 8, 0, 2, false};
        QTest::newRow("length beyond the data buffer") << QList<int>{32, 193, 0, 2, false};
        QTest::newRow("negative length") << QList<int>{32, -1, 0, 2, false};
        QTest::newRow("empty path") << QList<int>{32, 64, 0, 1, false};
        QTest::newRow("empty path, no data phase") << QList<int>{32, 0, 0, 1, false};
        QTest::newRow("index beyond the list") << QList<int>{32, 64, 7, 2, false};
        QTest::newRow("no entries at all") << QList<int>{32, 64, 0, 0, false};
        QTest::newRow("reportLength 0 without data phase") << QList<int>{0, 0, 0, 2, true};
        QTest::newRow("baseline") << QList<int>{32, 64, 0, 2, true};
    }

    void refusedTransfers()
    {
        QFETCH(QList<int>, row);
        const bool accepted = row[4];
        Rig rig(Mouse553);
        rig.hid.deviceList[0].reportLength = row[0];
        if (row[3] < 2)
            rig.hid.deviceList[0].path.clear();
        if (row[3] < 1)
            rig.hid.deviceList.clear();
        rig.hid.deviceIndex = row[2];
        QCOMPARE(transfer(rig.hid, unknownRequest(), row[1], false, true), accepted);
        if (!accepted)
            QVERIFY(!transfer(rig.hid, cmd553::getCurrentDpi(), row[1], true));
        QCOMPARE(rig.device.wireLog().empty(), !accepted);
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
        rig.run([&](Hid_Thread &hid) { ok = transfer(hid, unknownRequest(), 64, false, true); });
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
        QVERIFY(!transfer(rig.hid, cmd560::readProfile(1), 128, true));
        const auto log = rig.device.wireLog();
        const auto stalled = std::find_if(log.begin(), log.end(), [](const WireEvent &e) {
            return e.call == Call::ReadTimeout && e.result == 0;
        });
        QVERIFY(stalled != log.begin() && stalled != log.end());
        QCOMPARE(calls(rig.device, Call::ReadTimeout).size(), size_t(2));
        QVERIFY(stalled->timeMs() - (stalled - 1)->timeMs() >= 300 - 0.5);
        QVERIFY(released(rig));
    }

    // Fixed vectors worked out by hand (swap, mix, 64-bit rotation, key) pin the byte order and
    // the rotation direction, which a round trip alone cannot: the sync request and a challenge.
    // Random payloads and codes come back unchanged; bytes 0 and 7 of the code take no part.
    void scrambling()
    {
        for (auto [plain, code, scrambled] : {std::tuple{"800000000000007f", "583041", "16b1de0039e7fdd6"},
                                              {"00123456780000eb", "QWERTY", "16548791b6e6ee76"}}) {
            QByteArray c = '\0' + QByteArray(code) + '\0', b = QByteArray::fromHex(plain);
            Hid_Thread().USBDataEncryption(bytes(b), bytes(c));
            QCOMPARE(b.toHex(), QByteArray(scrambled));
            Hid_Thread().USBDataDecipher(bytes(b), bytes(c));
            QCOMPARE(b.toHex(), QByteArray(plain));
        }
        QRandomGenerator random(4711);
        for (int round = 0; round < 2000; ++round) {
            QByteArray code(8, 0), p(8, char(round ? 0xFF : 0));
            random.fillRange(reinterpret_cast<quint32 *>(code.data()), 2);
            if (round > 1)
                random.fillRange(reinterpret_cast<quint32 *>(p.data()), 2);
            QByteArray other = code, q = p, original = p;
            other[0] = char(~code[0]);
            other[7] = char(code[7] + 1 + round);
            scramble(bytes(p), bytes(code));
            scramble(bytes(q), bytes(other));
            QCOMPARE(q.toHex(), p.toHex());
            unscramble(bytes(p), bytes(code));
            QVERIFY2(p == original, qPrintable(original.toHex() + " code " + code.toHex()));
        }
    }

    // With isEncode the request goes out scrambled and the reply of a query without data phase is
    // unscrambled; data phases stay plain both ways. Without it every byte is the plain payload.
    void transportScramblesRequestOnly()
    {
        Rig rig(Mouse560);
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

        const QByteArray block = pattern(128, 3);
        QByteArray copy = block;
        rig.run([&](Hid_Thread &hid) { hid.hid560_0CH_setProfile(bytes(copy), 1); });
        QCOMPARE(dataOut(rig.transfers().at(0), 128, rig.reportLength), block);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.state().profile[1].data()), 128), block);

        QByteArray back(128, 0);
        rig.run([&](Hid_Thread &hid) { hid.hid560_8CH_readProfile(bytes(back), 1); });
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
        Rig rig(Mouse553);
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

    void setCommands_data() { addCaseRows(setCases); }
    void setCommands()
    {
        QFETCH(int, mouse);
        QFETCH(int, index);
        Rig rig(mouse);
        checkSet(rig, setCases(mouse)[index]);
    }

    void queries_data() { addCaseRows(queryCases); }
    void queries()
    {
        QFETCH(int, mouse);
        QFETCH(int, index);
        Rig rig(mouse);
        checkQuery(rig, queryCases(mouse)[index]);
    }

    // The 560 repeats these requests with attempt numbers 1..4, once on a gun device. Each attempt
    // holds the transport while it processes events, so a command started from there is dropped
    // instead of overwriting the request the attempt is about to send.
    void repeatedRequests_data()
    {
        testsupport::addColumns<bool, bool, bool, QStringList>({"rate", "gun", "nested", "requests"});
        const QStringList dpi{"04010200000000f8", "04020200000000f7", "04030200000000f6", "04040200000000f5"};
        QTest::newRow("current dpi 2") << false << false << false << dpi;
        QTest::newRow("report rate 1000 Hz") << true << false << false
            << QStringList{"03010100000000fa", "03020100000000f9", "03030100000000f8", "03040100000000f7"};
        QTest::newRow("current dpi 2, gun") << false << true << false << QStringList{"04010200000000f8"};
        QTest::newRow("report rate 1000 Hz, gun") << true << true << false << QStringList{"03010100000000fa"};
        QTest::newRow("current dpi 2, commands between attempts") << false << false << true << dpi;
    }

    void repeatedRequests()
    {
        QFETCH(bool, rate);
        QFETCH(bool, gun);
        QFETCH(bool, nested);
        QFETCH(QStringList, requests);
        Widget widget;
        QVERIFY(widget.view());
        widget.view()->isGun = gun;
        Rig rig(Mouse560, &widget.hid);
        int started = 0;
        std::function<void()> between = [&]() {
            rig.hid.hid560_02H_SetCurrentProfile(9);
            if (++started < 4)
                QTimer::singleShot(0, between);
        };
        if (nested) {
            rig.hid.transportWaitCount = 2;
            QTimer::singleShot(0, between);
        }
        const auto call = [&](Hid_Thread &h) { rate ? h.hid560_03H_SetReportRate(1) : h.hid560_04H_SetCurrentDPI(2); };
        {
            testsupport::DebugCapture capture;
            rig.run(call);
            QCOMPARE(capture.lines().count("cmd Failed 02"), started);
        }
        QCOMPARE(rig.requests(), requests);
        QCOMPARE(started, nested ? 4 : 0);
        for (const Transfer &t : rig.transfers())
            QVERIFY(t.settleMs >= 9.5);
        const VirtualFirmware::State s = rig.state();
        QCOMPARE(rate ? s.reportRateRequests : s.dpiRequests, int(requests.size()));
        QCOMPARE(int(rate ? s.reportRate : s.dpiStage), rate ? 1 : 2);
        QCOMPARE(int(s.lastAttempt), int(requests.size()));
        QCOMPARE(s.currentProfile, 1);
        QVERIFY(!rig.hid.hidBusy);
        checkBusy(rig, call, rate ? "cmd Failed 01" : "cmd Failed 04");
    }

    // The caller's block is the pre-fill: a read that fails early hands it back, one that fails
    // during the data phase replaces only the chunks that arrived.
    void readProfile_data()
    {
        // failingCall: -1: none
        // fromDevice: leading bytes that come from the mouse
        testsupport::addColumns<int, int, int>({"failingCall", "skip", "fromDevice"});
        QTest::newRow("request fails") << int(vdev::Call::SendFeature) << 0 << 0;
        QTest::newRow("reply fails") << int(vdev::Call::GetFeature) << 0 << 0;
        QTest::newRow("second report fails") << int(vdev::Call::ReadTimeout) << 1 << 64;
        QTest::newRow("complete") << -1 << 0 << 128;
    }

    void readProfile()
    {
        QFETCH(int, failingCall);
        QFETCH(int, skip);
        QFETCH(int, fromDevice);
        Rig rig(Mouse560);
        const QByteArray stored = pattern(128, 7);
        rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) {
            std::memcpy(fw.mutableState().profile[2].data(), stored.constData(), 128);
        });
        if (failingCall >= 0)
            rig.device.addFault({vdev::Call(failingCall), vdev::FaultAction::Fail, skip, 1, -1, vdev::Iface::Command});
        const QByteArray own = pattern(128, 50);
        QByteArray block = own;
        const auto read = [&](Hid_Thread &h) { h.hid560_8CH_readProfile(bytes(block), 2); };
        rig.run(read);
        QCOMPARE(block.toHex(), (stored.left(fromDevice) + own.mid(fromDevice)).toHex());
        QCOMPARE(rig.requests(), failingCall == int(vdev::Call::SendFeature) ? QStringList() : QStringList{"8c02000000000071"});
        QVERIFY(!rig.hid.hidBusy);

        // Whatever happened, the next read gets the whole block; a busy transport leaves it be.
        rig.device.clearFaults();
        block = own;
        rig.run(read);
        QCOMPARE(block.toHex(), stored.toHex());
        block = own;
        checkBusy(rig, read, "cmd Failed 8c");
        QCOMPARE(block, own);
    }
};

QTEST_MAIN(tst_Commands)
#include "tst_commands.moc"
