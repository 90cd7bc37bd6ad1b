// The virtual mice's firmware model where the wire tests of the command sets do not reach:
// what a device ignores and the status reports it raises.
// (Every command's effect and every query's answer is checked through the transport.)

#include "device/commandset.h"
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

QStringList describeLines(const VirtualFirmware &fw)
{
    return QString::fromStdString(fw.describe()).split('\n', Qt::SkipEmptyParts);
}

std::vector<std::vector<uint8_t>> statusReports(VirtualFirmware &fw)
{
    std::vector<std::vector<uint8_t>> all;
    std::vector<uint8_t> r;
    while (fw.takeStatusReport(r))
        all.push_back(r);
    return all;
}

} // namespace

class tst_Firmware : public QObject
{
    Q_OBJECT
private slots:
    void ignoredRequests_data();
    void ignoredRequests();
    void syncRaisesFullStatus();
    void buttonsRaiseStatus();
};

// Each row: one request (and its data phase) on a fresh mouse, and the line of describe() that
// shows it was recorded and ignored.
void tst_Firmware::ignoredRequests_data()
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
}

void tst_Firmware::ignoredRequests()
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

void tst_Firmware::syncRaisesFullStatus()
{
    VirtualFirmware fw(Family::F553, 32);
    transfer(fw, bytes(cmd553::setReportRate(2)));
    transfer(fw, bytes(cmd553::setCurrentDpi(1)));
    QVERIFY(statusReports(fw).empty());
    transfer(fw, bytes(cmd553::syncData()));
    const auto status = statusReports(fw);
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
    const auto status = statusReports(fw);
    QCOMPARE(int(status.size()), 5);
    QCOMPARE(status[0], (std::vector<uint8_t>{5, 0, 1, 1, 1, 3, 3}));
    QCOMPARE(status[1], (std::vector<uint8_t>{5, 0, 1, 0, 1, 3, 3}));
    QCOMPARE(status[2], (std::vector<uint8_t>{5, 0, 8, 0, 1, 3, 2}));
    QCOMPARE(status[3], (std::vector<uint8_t>{5, 0, 4, 0, 1, 3, 2}));
    QCOMPARE(status[4], (std::vector<uint8_t>{5, 0, 4, 0, 2, 3, 4}));
}

QTEST_GUILESS_MAIN(tst_Firmware)
#include "tst_firmware.moc"
