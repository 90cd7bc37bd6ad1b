// Every command of the 553 family as it crosses the wire to the virtual 553 mouse
// (report length 32): request bytes, data phase, pauses, outputs and failure lines.

#include "commandwire_helper.h"

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
        {"current dpi 3", [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(3); },
         "0b030000000000f1", QByteArray(), true, 0, "cmd Failed 0B"},
        {"fix colour", [](Hid_Thread &h) { QByteArray b = QByteArray::fromHex("102030"); h.hid553_0CH_SetFixLEDColor(bytes(b)); },
         "0c10203000000093", QByteArray(), true, 0, "cmd Failed 0C"},
        {"rgb effect", [](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(5, 0x40, 7); },
         "0d054007000000a6", QByteArray(), true, 0, "cmd Failed 0D"},
        {"current key matrix 1", [](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(1); },
         "02010000000000fc", QByteArray(), true, 0, "cmd Failed 02"},
        {"report rate 500 Hz", [](Hid_Thread &h) { h.hid553_01H_SetReportRate(2); },
         "01020000000000fc", QByteArray(), true, 0, "cmd Failed 01"},
        {"keyboard option", [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 4); },
         "03010203040000f2", QByteArray(), false, 8, "cmd Failed 03"},
        {"gun data slot 2", [](Hid_Thread &h) { h.hid553_04H_SetGunData(3, 0x10, 0xF0, 2); },
         "04000310f00200f6", QByteArray(), false, 8, "cmd Failed 04"},
        {"sync", [](Hid_Thread &h) { h.hid553_80H_SyncData(); },
         "800000000000007f", QByteArray(), false, 10, "cmd Failed 04"},
    };
    return cases;
}

const QList<QueryCase> &queryCases()
{
    static const QList<QueryCase> cases = {
        {"secrecy code",
         [](Hid_Thread &h) { uchar a = 0x11, b = 0x22, c = 0x33, d = 0x44; h.hid553_00H_GetSecrecyCode(a, b, c, d); return out({a, b, c, d}); },
         nullptr, "0011223344000055", out({0x11, 0x22, 0x33, 0x44}), out({0, 0, 0, 0}), out({0x11, 0x22, 0x33, 0x44}), "cmd Failed 00"},
        // Same request as the sync; the reply carries the identity: IC 553, sensor 3360, 6 keys.
        {"keyboard option",
         [](Hid_Thread &h) { uchar a = 1, b = 2, c = 3, d = 4; h.hid553_83H_GetKeyboardoption(a, b, c, d); return out({a, b, c, d}); },
         nullptr, "800000000000007f", out({0, 6, 7, 6}), out({1, 2, 3, 4}), out({1, 2, 3, 4}), "cmd Failed 83"},
        {"current dpi",
         [](Hid_Thread &h) { uchar a = 9; h.hid553_8BH_GetCurrentDPI(a); return out({a}); },
         [](VirtualFirmware::State &s) { s.dpiStage = 3; }, "8b00000000000074", out({3}), out({9}), out({9}), "cmd Failed 8BH"},
    };
    return cases;
}

} // namespace

class tst_Commands553 : public QObject
{
    Q_OBJECT
private slots:
    void setCommands_data();
    void setCommands();
    void queries_data();
    void queries();
    void failureLines();
    void deviceHoldsWhatItWasSent();
};

void tst_Commands553::setCommands_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < setCases().size(); ++i)
        QTest::newRow(setCases()[i].name) << i;
}

void tst_Commands553::setCommands()
{
    QFETCH(int, index);
    Rig rig(vdev::Mouse553);
    checkSet(rig, setCases()[index]);
}

void tst_Commands553::queries_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < queryCases().size(); ++i)
        QTest::newRow(queryCases()[i].name) << i;
}

void tst_Commands553::queries()
{
    QFETCH(int, index);
    Rig rig(vdev::Mouse553);
    checkQuery(rig, queryCases()[index]);
}

// One rig for all: each slot waits out a short busy transport, writes its line, sends nothing
// and leaves its outputs alone.
void tst_Commands553::failureLines()
{
    Rig rig(vdev::Mouse553);
    for (const SetCase &c : setCases()) {
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
}

// A short sequence as the view sends it; the mouse's state afterwards.
void tst_Commands553::deviceHoldsWhatItWasSent()
{
    Rig rig(vdev::Mouse553);
    // rate 250 Hz, stage 2, mode 1, brightness 0xBC, speed code 4, colour 3
    QByteArray p0 = QByteArray::fromHex("040201bc0403") + QByteArray(58, 0);
    QByteArray matrix = pattern(64, 9);
    QByteArray macro = pattern(128, 8);
    rig.run([&](Hid_Thread &h) {
        h.hid553_02H_SetParameter_0(bytes(p0), 2);
        h.hid553_12H_SetKeyMatrix(bytes(matrix), 4);
        h.hid553_02H_SetCurrentKeyMatrix(3);
        h.hid553_13H_SetMacroKey(11, bytes(macro));
        h.hid553_04H_SetGunData(5, 1, 0xFE, 1);
        h.hid553_01H_SetReportRate(8);
    });
    const VirtualFirmware::State s = rig.state();
    QCOMPARE(s.parameter0Profile, 2);
    QCOMPARE(s.dpiStage, 2);
    QCOMPARE(s.lightMode, 1);
    QCOMPARE(s.brightness, 0xBC);
    QCOMPARE(s.lightSpeed, 4);
    QCOMPARE(s.colourIndex, 3);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.keyMatrix[4].data()), 64), matrix);
    QCOMPARE(s.currentKeyMatrix, 3);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.macro[11].data()), 128), macro);
    QCOMPARE(s.gunData[1], (std::array<uint8_t, 3>{5, 1, 0xFE}));
    QCOMPARE(s.reportRate, 8);

    uchar stage = 0;
    rig.run([&](Hid_Thread &h) { h.hid553_8BH_GetCurrentDPI(stage); });
    QCOMPARE(stage, uchar(2));
}

QTEST_MAIN(tst_Commands553)
#include "tst_commands553.moc"
