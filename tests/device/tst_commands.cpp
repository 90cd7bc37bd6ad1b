// Every command of both families as it crosses the wire to the virtual mice (report length 32
// on the 553, 64 on the 560): request bytes, data phase, pauses, repeated requests, outputs,
// the profile read and the failure lines.

#include "commandwire_helper.h"

#include "app/widget.h"
#include "testsupport.h"
#include "view/myqquickview.h"

#include <QTimer>
#include <QtTest>

using namespace commandwire;
using vdev::Mouse553;
using vdev::Mouse560;

namespace {

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
    QTest::addColumn<int>("mouse");
    QTest::addColumn<int>("index");
    for (int mouse : {Mouse553, Mouse560})
        for (int i = 0; i < cases(mouse).size(); ++i)
            QTest::addRow("%s %s", vdev::mouseModel(mouse).familyName, cases(mouse)[i].name) << mouse << i;
}

} // namespace

class tst_Commands : public QObject
{
    Q_OBJECT
private slots:
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
        QTest::addColumn<bool>("rate");
        QTest::addColumn<bool>("gun");
        QTest::addColumn<bool>("nested");
        QTest::addColumn<QStringList>("requests");
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
        QTest::addColumn<int>("failingCall");   // -1: none
        QTest::addColumn<int>("skip");
        QTest::addColumn<int>("fromDevice");    // leading bytes that come from the mouse
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
