// The virtual mice's firmware model: what each request does to the state, what the queries
// answer, the status reports, scrambling, and what a real device would ignore.

#include "device/commandset.h"
#include "device/scrambling.h"
#include "vdev/virtualfirmware.h"

#include <QByteArray>
#include <QtTest>

#include <cstring>
#include <string>
#include <vector>

using Family = VirtualFirmware::Family;
using protocol::Payload;

Q_DECLARE_METATYPE(Family)

namespace {

QByteArray bytes(const Payload &p)
{
    return QByteArray(reinterpret_cast<const char *>(p.data()), int(p.size()));
}

QByteArray block(int length, int seed)
{
    QByteArray b(length, 0);
    for (int i = 0; i < length; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

// Sends a request and its data phase the way the transport does: report number 0, then one
// chunk per report padded to the report length.
void transfer(VirtualFirmware &fw, const QByteArray &request, const QByteArray &data = QByteArray())
{
    uint8_t report[9] = {};
    std::memcpy(report + 1, request.constData(), 8);
    QCOMPARE(fw.featureWrite(report, 9), 9);
    const int rl = fw.reportLength();
    const int chunk = qMin(int(data.size()), rl);
    for (int offset = 0; offset < data.size(); offset += chunk) {
        std::vector<uint8_t> out(size_t(rl) + 1, 0);
        std::memcpy(out.data() + 1, data.constData() + offset, size_t(chunk));
        fw.outputWrite(out.data(), out.size());
    }
}

Payload readReply(VirtualFirmware &fw)
{
    uint8_t report[9] = {};
    fw.featureRead(report, 9);
    Payload p;
    std::memcpy(p.data(), report + 1, 8);
    return p;
}

QStringList describeLines(const VirtualFirmware &fw)
{
    return QString::fromStdString(fw.describe()).split('\n', Qt::SkipEmptyParts);
}

std::vector<std::vector<uint8_t>> takeAll(VirtualFirmware &fw, bool status)
{
    std::vector<std::vector<uint8_t>> all;
    std::vector<uint8_t> r;
    while (status ? fw.takeStatusReport(r) : fw.takeCommandInput(r))
        all.push_back(r);
    return all;
}

} // namespace

class tst_Firmware : public QObject
{
    Q_OBJECT
private slots:
    void setCommands_data();
    void setCommands();
    void parameterBlock0AppliesSettings();
    void profileBlocksRoundTrip_data();
    void profileBlocksRoundTrip();
    void queries_data();
    void queries();
    void syncRaisesFullStatus();
    void buttonsRaiseStatus();
    void scrambledRequestsAndReplies();
};

// Each row: one request (and its data phase) on a fresh mouse, and a line describe() must then
// show. Rows that a device must ignore come first; they also check the counter that recorded it.
void tst_Firmware::setCommands_data()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("expected");

    Payload badSum = cmd553::setCurrentDpi(2);
    badSum[7] ^= 1;
    QTest::newRow("bad checksum ignored") << Family::F553 << bytes(badSum) << QByteArray() << "badChecksums 1";
    QTest::newRow("bad checksum keeps stage") << Family::F553 << bytes(badSum) << QByteArray() << "dpiStage 0";
    QTest::newRow("unknown command") << Family::F553 << bytes(protocol::command(0x55, 1)) << QByteArray() << "unknownRequests 1";
    QTest::newRow("560 command on 553") << Family::F553 << bytes(cmd560::getCurrentProfile()) << QByteArray() << "unknownRequests 1";
    QTest::newRow("key matrix 5 refused") << Family::F553 << bytes(cmd553::setKeyMatrix(5)) << block(64, 1) << "strayDataReports 2";
    QTest::newRow("560 profile 5 refused") << Family::F560 << bytes(cmd560::setProfile(5)) << block(128, 1) << "unknownRequests 1";
    QTest::newRow("553 macro shape on 560") << Family::F560 << bytes(cmd553::setMacroKey(1)) << block(128, 1) << "badChecksums 1";
    QTest::newRow("gun slot 3 refused") << Family::F553 << bytes(cmd553::setGunData(1, 2, 3, 3)) << QByteArray() << "unknownRequests 1";
    QTest::newRow("data without request") << Family::F553 << QByteArray() << block(32, 1) << "strayDataReports 1";
    QTest::newRow("data phase cut short") << Family::F553 << bytes(cmd553::setParameter1(7)) << block(32, 1) << "abandonedDataPhases 1";

    QTest::newRow("553 report rate") << Family::F553 << bytes(cmd553::setReportRate(4)) << QByteArray() << "reportRate 4";
    QTest::newRow("553 current dpi") << Family::F553 << bytes(cmd553::setCurrentDpi(3)) << QByteArray() << "dpiStage 3";
    QTest::newRow("553 current key matrix") << Family::F553 << bytes(cmd553::setCurrentKeyMatrix(2)) << QByteArray() << "currentKeyMatrix 2";
    QTest::newRow("553 keyboard option") << Family::F553 << bytes(cmd553::setKeyboardOption(1, 2, 3, 4)) << QByteArray() << "keyboardOption 01 02 03 04";
    QTest::newRow("553 gun data") << Family::F553 << bytes(cmd553::setGunData(5, 6, 0xF9, 2)) << QByteArray() << "gun 2 05 06 f9";
    QTest::newRow("553 fix colour") << Family::F553 << bytes(cmd553::setFixLedColor(0xFF, 0x80, 1)) << QByteArray() << "fixColour ff 80 01";
    QTest::newRow("553 rgb effect") << Family::F553 << bytes(cmd553::setRgbLedEffect(5, 128, 7)) << QByteArray() << "rgbEffect 05 80 07";
    QTest::newRow("553 dpi set") << Family::F553 << bytes(cmd553::setDpiSet(3)) << QByteArray::fromHex("03070f1f80808080") << "dpiSet 03 07 0f 1f 80 80 80 80";
    QTest::newRow("553 dpi set stage count") << Family::F553 << bytes(cmd553::setDpiSet(3)) << QByteArray::fromHex("03070f1f80808080") << "dpiStageCount 3";
    QTest::newRow("553 led colours type 2") << Family::F553 << bytes(cmd553::setLed8StageColor(2)) << QByteArray::fromHex("0a0b0c0d")
                                            << "ledColours 2: 0a 0b 0c 0d 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    QTest::newRow("553 led colours type 0") << Family::F553 << bytes(cmd553::setLed8StageColor(0)) << block(24, 3)
                                            << "ledColours 0: " + QString::fromLatin1(block(24, 3).toHex(' '));
    QTest::newRow("553 key matrix") << Family::F553 << bytes(cmd553::setKeyMatrix(3)) << block(64, 5)
                                    << "keyMatrix 3 " + QString::fromLatin1(block(64, 5).toHex(' '));
    QTest::newRow("553 macro slot 11") << Family::F553 << bytes(cmd553::setMacroKey(11)) << block(128, 1) << "macrosWritten 2048";
    QTest::newRow("553 parameter block 1") << Family::F553 << bytes(cmd553::setParameter1(7)) << block(192, 9)
                                           << "parameter1 7: " + QString::fromLatin1(block(8, 9).toHex(' '));
    QTest::newRow("gun data with zero checksum") << Family::F553 << bytes(cmd553::setGunData(251, 0, 0, 0)) << QByteArray() << "gun 0 fb 00 00";

    QTest::newRow("560 keyboard option") << Family::F560 << bytes(cmd560::setKeyboardOption(9, 8)) << QByteArray() << "keyboardOption 09 08";
    QTest::newRow("560 current profile") << Family::F560 << bytes(cmd560::setCurrentProfile(3)) << QByteArray() << "currentProfile 3";
    QTest::newRow("560 report rate") << Family::F560 << bytes(cmd560::setReportRate(2, 8)) << QByteArray() << "reportRate 8";
    QTest::newRow("560 current dpi") << Family::F560 << bytes(cmd560::setCurrentDpi(4, 5)) << QByteArray() << "dpiStage 5";
    QTest::newRow("560 key matrix") << Family::F560 << bytes(cmd560::setKeyMatrix(4)) << block(64, 2) + QByteArray(64, 0)
                                    << "keyMatrix 4 " + QString::fromLatin1(block(64, 2).toHex(' '));
    QTest::newRow("560 macro slot 0") << Family::F560 << bytes(cmd560::setMacroKey(0)) << block(128, 4) << "macrosWritten 1";
    QTest::newRow("560 parameter block 0") << Family::F560 << bytes(cmd553::setParameter0(2)) << QByteArray::fromHex("0203040506070000") + QByteArray(56, 0)
                                           << "parameter0 2: 02 03 04 05 06 07 00 00";
}

void tst_Firmware::setCommands()
{
    QFETCH(Family, family);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, data);
    QFETCH(QString, expected);

    VirtualFirmware fw(family, 32);
    if (request.isEmpty()) {
        std::vector<uint8_t> out(33, 0);
        fw.outputWrite(out.data(), out.size());
    } else {
        transfer(fw, request, data);
    }
    if (QTest::currentDataTag() == QByteArray("data phase cut short"))
        transfer(fw, bytes(cmd553::setCurrentDpi(1)));
    const QStringList lines = describeLines(fw);
    QVERIFY2(lines.contains(expected), qPrintable(lines.join('\n')));
}

void tst_Firmware::parameterBlock0AppliesSettings()
{
    VirtualFirmware fw(Family::F553, 32);
    // rate 250 Hz, stage 2, mode 7, brightness 4 x 63, speed code 5, colour 6
    transfer(fw, bytes(cmd553::setParameter0(3)), QByteArray::fromHex("040207fc0506") + QByteArray(58, 0));
    const auto &s = fw.state();
    QCOMPARE(s.parameter0Profile, 3);
    QCOMPARE(s.reportRate, 4);
    QCOMPARE(s.dpiStage, 2);
    QCOMPARE(s.lightMode, 7);
    QCOMPARE(s.brightness, 252);
    QCOMPARE(s.lightSpeed, 5);
    QCOMPARE(s.colourIndex, 6);

    // A rate byte that is no rate code leaves the rate alone.
    transfer(fw, bytes(cmd553::setParameter0(3)), QByteArray::fromHex("03") + QByteArray(63, 0));
    QCOMPARE(fw.state().reportRate, 4);
}

void tst_Firmware::profileBlocksRoundTrip_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("reports");
    QTest::newRow("32") << 32 << 4;
    QTest::newRow("64") << 64 << 2;
}

void tst_Firmware::profileBlocksRoundTrip()
{
    QFETCH(int, reportLength);
    QFETCH(int, reports);
    VirtualFirmware fw(Family::F560, reportLength);
    const QByteArray profile = block(128, 42);
    transfer(fw, bytes(cmd560::setProfile(3)), profile);
    transfer(fw, bytes(cmd560::setProfile(1)), block(128, 1));

    transfer(fw, bytes(cmd560::readProfile(3)));
    QCOMPARE(readReply(fw), cmd560::readProfile(3));
    const auto in = takeAll(fw, false);
    QCOMPARE(int(in.size()), reports);
    QByteArray back;
    for (const auto &r : in) {
        QCOMPARE(int(r.size()), reportLength);
        back += QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size()));
    }
    QCOMPARE(back, profile);
}

void tst_Firmware::queries_data()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("challenge echoed") << Family::F553 << QByteArray() << bytes(cmd553::getSecrecyCode(1, 2, 3, 4))
                                      << bytes(protocol::command(0x00, 1, 2, 3, 4));
    QTest::newRow("553 identity") << Family::F553 << QByteArray() << bytes(cmd553::getKeyboardOption())
                                  << bytes(protocol::command(0x80, 0, 0, 6, 7, 6));
    QTest::newRow("560 identity") << Family::F560 << QByteArray() << bytes(cmd553::getKeyboardOption())
                                  << bytes(protocol::command(0x80, 0, 0, 7, 7, 8));
    QTest::newRow("553 current dpi") << Family::F553 << bytes(cmd553::setCurrentDpi(5)) << bytes(cmd553::getCurrentDpi())
                                     << bytes(protocol::command(0x8B, 5));
    QTest::newRow("560 keyboard option") << Family::F560 << bytes(cmd560::setKeyboardOption(3, 4)) << bytes(cmd560::getKeyboardOption())
                                         << bytes(protocol::command(0x81, 3, 4));
    QTest::newRow("560 current profile") << Family::F560 << bytes(cmd560::setCurrentProfile(2)) << bytes(cmd560::getCurrentProfile())
                                         << bytes(protocol::command(0x82, 2));
    QTest::newRow("560 current dpi") << Family::F560 << bytes(cmd560::setCurrentDpi(1, 6)) << bytes(cmd560::getCurrentDpi(1))
                                     << bytes(protocol::command(0x84, 1, 6));
    QTest::newRow("set command answers zeros") << Family::F560 << bytes(cmd560::getCurrentProfile()) << bytes(cmd560::setCurrentProfile(2))
                                               << QByteArray(8, 0);
}

void tst_Firmware::queries()
{
    QFETCH(Family, family);
    QFETCH(QByteArray, setup);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    VirtualFirmware fw(family, 32);
    if (!setup.isEmpty())
        transfer(fw, setup);
    transfer(fw, request);
    QCOMPARE(bytes(readReply(fw)), reply);
}

void tst_Firmware::syncRaisesFullStatus()
{
    VirtualFirmware fw(Family::F553, 32);
    transfer(fw, bytes(cmd553::setReportRate(2)));
    transfer(fw, bytes(cmd553::setCurrentDpi(1)));
    QVERIFY(takeAll(fw, true).empty());
    transfer(fw, bytes(cmd553::syncData()));
    const auto status = takeAll(fw, true);
    QCOMPARE(int(status.size()), 1);
    QCOMPARE(status[0], (std::vector<uint8_t>{5, 0, 2, 1, 1, 3, 0xFF}));
}

void tst_Firmware::buttonsRaiseStatus()
{
    VirtualFirmware fw(Family::F553, 32);
    transfer(fw, bytes(cmd553::setDpiSet(2)), QByteArray(8, 1));
    fw.pressDpiButton();
    fw.pressDpiButton();  // two stages in use: back to the first
    fw.pressRateButton(); // 1000 Hz -> 125 Hz
    fw.pressRateButton();
    fw.pressLightButton();
    const auto status = takeAll(fw, true);
    QCOMPARE(int(status.size()), 5);
    QCOMPARE(status[0], (std::vector<uint8_t>{5, 0, 1, 1, 1, 3, 3}));
    QCOMPARE(status[1], (std::vector<uint8_t>{5, 0, 1, 0, 1, 3, 3}));
    QCOMPARE(status[2], (std::vector<uint8_t>{5, 0, 8, 0, 1, 3, 2}));
    QCOMPARE(status[3], (std::vector<uint8_t>{5, 0, 4, 0, 1, 3, 2}));
    QCOMPARE(status[4], (std::vector<uint8_t>{5, 0, 4, 0, 2, 3, 4}));
}

void tst_Firmware::scrambledRequestsAndReplies()
{
    VirtualFirmware fw(Family::F560, 32);
    fw.setScrambling(true, "ABCDEF");
    uint8_t code[8] = {0, 'A', 'B', 'C', 'D', 'E', 'F', 0};

    Payload request = cmd560::setCurrentProfile(4);
    scramble(request.data(), code);
    transfer(fw, bytes(request));
    QCOMPARE(fw.state().currentProfile, 4);

    Payload query = cmd560::getCurrentProfile();
    scramble(query.data(), code);
    transfer(fw, bytes(query));
    Payload answer = readReply(fw);
    QVERIFY(answer != cmd560::getCurrentProfile());
    unscramble(answer.data(), code);
    QCOMPARE(answer, protocol::command(0x82, 4));

    // The plain request means something else to a mouse that expects scrambling.
    transfer(fw, bytes(cmd560::setCurrentProfile(2)));
    QCOMPARE(fw.state().currentProfile, 4);
    QCOMPARE(fw.state().badChecksums + fw.state().unknownRequests, 1);

    // Data phases are never scrambled.
    Payload write = cmd560::setProfile(0);
    scramble(write.data(), code);
    transfer(fw, bytes(write), block(128, 5));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(fw.state().profile[0].data()), 128), block(128, 5));
}

QTEST_GUILESS_MAIN(tst_Firmware)
#include "tst_firmware.moc"
