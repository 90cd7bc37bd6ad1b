// Every command of the 560 family as it crosses the wire to the virtual 560 mouse
// (report length 64): request bytes, data phase, pauses, repeated requests, outputs, the
// profile read and failure lines.

#include "commandwire_helper.h"

#include "app/widget.h"
#include "view/myqquickview.h"

#include "testsupport.h"

#include <QTimer>
#include <QtTest>

using namespace commandwire;

namespace {

uchar *bytes(QByteArray &b)
{
    return reinterpret_cast<uchar *>(b.data());
}

QByteArray out(std::initializer_list<uchar> values)
{
    QByteArray b;
    for (uchar v : values)
        b += char(v);
    return b.toHex();
}

const QList<SetCase> &setCases()
{
    static const QList<SetCase> cases = {
        {"profile 2", [](Hid_Thread &h) { QByteArray b = pattern(128, 1); h.hid560_0CH_setProfile(bytes(b), 2); },
         "0c02800000000071", pattern(128, 1), true, 0, "cmd Failed 0C"},
        // Only 64 bytes are handed over; the second half goes out as zeros.
        {"key matrix 3", [](Hid_Thread &h) { QByteArray b = pattern(64, 2); h.hid560_0DH_SetKeyMatrix(bytes(b), 3); },
         "0d0380000000006f", pattern(64, 2) + QByteArray(64, 0), true, 0, "cmd Failed 12"},
        {"macro slot 4", [](Hid_Thread &h) { QByteArray b = pattern(128, 3); h.hid560_0FH_SetMacroKey(4, bytes(b)); },
         "0f0480000000006c", pattern(128, 3), true, 0, "cmd Failed 0F"},
        {"current profile 2", [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(2); },
         "02020000000000fb", QByteArray(), false, 8, "cmd Failed 02"},
        {"keyboard option", [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(5, 6); },
         "01050600000000f3", QByteArray(), false, 8, "cmd Failed 03"},
    };
    return cases;
}

const QList<QueryCase> &queryCases()
{
    static const QList<QueryCase> cases = {
        {"keyboard option",
         [](Hid_Thread &h) { uchar a = 7, b = 8; h.hid560_81H_GetKeyboardoption(a, b); return out({a, b}); },
         [](VirtualFirmware::State &s) { s.keyboardOption560 = {3, 4}; }, "810000000000007e", out({3, 4}), out({7, 8}), out({7, 8}), "cmd Failed 81"},
        {"current profile",
         [](Hid_Thread &h) { uchar a = 0; h.hid560_82H_GetCurrentProfile(a); return out({a}); },
         [](VirtualFirmware::State &s) { s.currentProfile = 3; }, "820000000000007d", out({3}), out({0}), out({0}), "cmd Failed 82"},
        // The first byte goes out in the request.
        {"current dpi",
         [](Hid_Thread &h) { uchar a = 1, b = 0; h.hid560_84H_GetCurrentDPI(a, b); return out({a, b}); },
         [](VirtualFirmware::State &s) { s.dpiStage = 5; }, "840100000000007a", out({1, 5}), out({1, 0}), out({1, 0}), "cmd Failed 84"},
    };
    return cases;
}

} // namespace

class tst_Commands560 : public QObject
{
    Q_OBJECT
private slots:
    void setCommands_data();
    void setCommands();
    void repeatedRequests_data();
    void repeatedRequests();
    void repeatedRequestsOnceOnGunDevice();
    void commandBetweenAttemptsIsDropped();
    void queries_data();
    void queries();
    void readProfile_data();
    void readProfile();
    void failureLines();
};

void tst_Commands560::setCommands_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < setCases().size(); ++i)
        QTest::newRow(setCases()[i].name) << i;
}

void tst_Commands560::setCommands()
{
    QFETCH(int, index);
    Rig rig(vdev::Mouse560);
    checkSet(rig, setCases()[index]);
}

void tst_Commands560::repeatedRequests_data()
{
    QTest::addColumn<bool>("rate");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("current dpi 2") << false
        << QStringList{"04010200000000f8", "04020200000000f7", "04030200000000f6", "04040200000000f5"};
    QTest::newRow("report rate 1000 Hz") << true
        << QStringList{"03010100000000fa", "03020100000000f9", "03030100000000f8", "03040100000000f7"};
}

void tst_Commands560::repeatedRequests()
{
    QFETCH(bool, rate);
    QFETCH(QStringList, requests);
    Rig rig(vdev::Mouse560);
    rig.run([&](Hid_Thread &h) { rate ? h.hid560_03H_SetReportRate(1) : h.hid560_04H_SetCurrentDPI(2); });
    const QList<Transfer> t = rig.transfers();
    QCOMPARE(int(t.size()), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(QString::fromLatin1(t[i].request.mid(1).toHex()), requests[i]);
        QVERIFY(t[i].settleMs >= 9.5);
    }
    const VirtualFirmware::State s = rig.state();
    QCOMPARE(rate ? s.reportRateRequests : s.dpiRequests, 4);
    QCOMPARE(rate ? s.reportRate : s.dpiStage, rate ? 1 : 2);
    QCOMPARE(s.lastAttempt, 4);
    QVERIFY(!rig.hid.hidBusy);
}

void tst_Commands560::repeatedRequestsOnceOnGunDevice()
{
    Widget widget;
    QVERIFY(widget.view());
    widget.view()->isGun = true;
    Rig rig(vdev::Mouse560, &widget.hid);
    rig.run([](Hid_Thread &h) {
        h.hid560_04H_SetCurrentDPI(2);
        h.hid560_03H_SetReportRate(4);
    });
    const QList<Transfer> t = rig.transfers();
    QCOMPARE(int(t.size()), 2);
    QCOMPARE(t[0].request.mid(1).toHex(), QByteArray("04010200000000f8"));
    QCOMPARE(t[1].request.mid(1).toHex(), QByteArray("03010400000000f7"));
}

// Each attempt holds the transport while it processes events, so a command started from there
// is dropped instead of overwriting the request the attempt is about to send.
void tst_Commands560::commandBetweenAttemptsIsDropped()
{
    Rig rig(vdev::Mouse560);
    rig.hid.transportWaitCount = 2;
    int started = 0;
    std::function<void()> nested = [&]() {
        rig.hid.hid560_02H_SetCurrentProfile(9);
        if (++started < 4)
            QTimer::singleShot(0, nested);
    };
    QTimer::singleShot(0, nested);
    testsupport::DebugCapture capture;
    rig.run([](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(2); });

    QStringList sent;
    for (const Transfer &t : rig.transfers())
        sent << QString::fromLatin1(t.request.mid(1).toHex());
    QCOMPARE(sent, (QStringList{"04010200000000f8", "04020200000000f7", "04030200000000f6", "04040200000000f5"}));
    QCOMPARE(started, 4);
    QCOMPARE(capture.lines().count("cmd Failed 02"), 4);
    QCOMPARE(rig.state().currentProfile, 1);
}

void tst_Commands560::queries_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < queryCases().size(); ++i)
        QTest::newRow(queryCases()[i].name) << i;
}

void tst_Commands560::queries()
{
    QFETCH(int, index);
    Rig rig(vdev::Mouse560);
    checkQuery(rig, queryCases()[index]);
}

// The caller's block is the pre-fill: a read that fails early hands it back, one that fails
// during the data phase replaces only the chunks that arrived.
void tst_Commands560::readProfile_data()
{
    QTest::addColumn<int>("failingCall");   // -1: none
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("fromDevice");    // leading bytes that come from the mouse

    QTest::newRow("request fails") << int(vdev::Call::SendFeature) << 0 << 0;
    QTest::newRow("reply fails") << int(vdev::Call::GetFeature) << 0 << 0;
    QTest::newRow("second report fails") << int(vdev::Call::ReadTimeout) << 1 << 64;
    QTest::newRow("complete") << -1 << 0 << 128;
}

void tst_Commands560::readProfile()
{
    QFETCH(int, failingCall);
    QFETCH(int, skip);
    QFETCH(int, fromDevice);

    Rig rig(vdev::Mouse560);
    const QByteArray stored = pattern(128, 7);
    rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) {
        std::memcpy(fw.mutableState().profile[2].data(), stored.constData(), 128);
    });
    if (failingCall >= 0) {
        vdev::Fault fault;
        fault.call = vdev::Call(failingCall);
        fault.skip = skip;
        fault.iface = vdev::Iface::Command;
        rig.device.addFault(fault);
    }
    const QByteArray own = pattern(128, 50);
    QByteArray block = own;
    rig.run([&](Hid_Thread &h) { h.hid560_8CH_readProfile(bytes(block), 2); });

    QCOMPARE(block.toHex(), (stored.left(fromDevice) + own.mid(fromDevice)).toHex());
    const QList<Transfer> t = rig.transfers();
    QCOMPARE(int(t.size()), failingCall == int(vdev::Call::SendFeature) ? 0 : 1);
    if (!t.isEmpty())
        QCOMPARE(t[0].request.toHex(), QByteArray("008c02000000000071"));
    QVERIFY(!rig.hid.hidBusy);

    // Whatever happened, the next read gets the whole block.
    rig.device.clearFaults();
    block = own;
    rig.run([&](Hid_Thread &h) { h.hid560_8CH_readProfile(bytes(block), 2); });
    QCOMPARE(block.toHex(), stored.toHex());
}

void tst_Commands560::failureLines()
{
    Rig rig(vdev::Mouse560);
    QList<SetCase> cases = setCases();
    cases.append({"rate", [](Hid_Thread &h) { h.hid560_03H_SetReportRate(1); }, "", QByteArray(), true, 0, "cmd Failed 01"});
    cases.append({"dpi", [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(1); }, "", QByteArray(), true, 0, "cmd Failed 04"});
    for (const SetCase &c : cases) {
        checkBusy(rig, c.call, c.failLine);
        if (QTest::currentTestFailed())
            QFAIL(c.name);
    }
    for (const QueryCase &c : queryCases()) {
        QByteArray outputs;
        checkBusy(rig, [&](Hid_Thread &h) { outputs = c.call(h); }, c.failLine);
        QCOMPARE(outputs, c.untouched);
        if (QTest::currentTestFailed())
            QFAIL(c.name);
    }
    QByteArray block = pattern(128, 1);
    checkBusy(rig, [&](Hid_Thread &h) { h.hid560_8CH_readProfile(bytes(block), 1); }, "cmd Failed 8c");
    QCOMPARE(block, pattern(128, 1));
}

QTEST_MAIN(tst_Commands560)
#include "tst_commands560.moc"
