// Payload scrambling: the pure pair, where the transport applies it, and the challenge that
// tells whether a device speaks it with the entry's code.

#include "commandwire_helper.h"
#include "testsupport.h"

#include "device/commandset.h"
#include "device/scrambling.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cstring>

using commandwire::Rig;

namespace {

QByteArray hex8(const uint8_t *p, int n = 8)
{
    return QByteArray(reinterpret_cast<const char *>(p), n).toHex();
}

void setCode(const char *six)
{
    const QString text = QString::fromLatin1(six);
    secrecyCodeFromText(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()), secrecyCode);
}

} // namespace

class tst_Scrambling : public QObject
{
    Q_OBJECT
private slots:
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
        protocol::Payload expected = cmd560::setCurrentProfile(4);
        scramble(expected.data(), secrecyCode);
        QCOMPARE(rig.transfers().at(0).request.mid(1).toHex(), hex8(expected.data()));
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

    void challenge_data()
    {
        QTest::addColumn<QString>("mouseCode");     // empty: the mouse does not scramble
        QTest::addColumn<QString>("entryCode");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("passes");

        QTest::newRow("wrong code") << "ABCDEF" << "ABCDEG" << false << false;
        QTest::newRow("plain mouse") << "" << "ABCDEF" << false << false;
        QTest::newRow("busy transport") << "ABCDEF" << "ABCDEF" << true << false;
        QTest::newRow("right code") << "ABCDEF" << "ABCDEF" << false << true;
        // The previous code (ABCDEF, loaded before each row) stays when the entry's is not six long.
        QTest::newRow("five characters keep the code") << "ABCDEF" << "QWERT" << false << true;
        QTest::newRow("seven characters keep the code") << "ABCDEF" << "QWERTYU" << false << true;
    }

    void challenge()
    {
        QFETCH(QString, mouseCode);
        QFETCH(QString, entryCode);
        QFETCH(bool, busy);
        QFETCH(bool, passes);

        Rig rig(vdev::Mouse553);
        setCode("ABCDEF");
        if (!mouseCode.isEmpty())
            rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) { fw.setScrambling(true, mouseCode.toStdString()); });
        rig.hid.deviceList[0].sCode = entryCode;
        rig.hid.deviceIndex = 5;
        if (busy) {
            rig.hid.hidBusy = true;
            rig.hid.transportWaitCount = 1;
        }

        testsupport::DebugCapture capture;
        bool result = !passes;
        rig.run([&](Hid_Thread &hid) { result = hid.chkDeviceIsEnCode(0); });
        QCOMPARE(result, passes);
        QCOMPARE(rig.hid.deviceIndex, 0);
        QCOMPARE(rig.hid.deviceList[0].isEncode, passes);
        QCOMPARE(capture.contains("cmd Failed 00"), busy);
        if (entryCode.size() == 6)
            QCOMPARE(QString::fromLatin1(reinterpret_cast<const char *>(secrecyCode + 1), 6), entryCode);

        // Once passed, the device is driven scrambled.
        if (passes) {
            rig.run([](Hid_Thread &hid) { hid.hid553_0BH_SetCurrentDPI(2); });
            QCOMPARE(rig.state().dpiStage, 2);
        }
    }

    // A bad index leaves the connected entry selected; a device check that replaces the list
    // during the challenge's wait does not move the result onto another entry.
    void challengeEntry_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("listReplaced");
        QTest::addColumn<bool>("passes");
        QTest::newRow("index past the list") << 1 << false << false;
        QTest::newRow("negative index") << -1 << false << false;
        QTest::newRow("list replaced while waiting") << 0 << true << true;
    }

    void challengeEntry()
    {
        QFETCH(int, index);
        QFETCH(bool, listReplaced);
        Rig rig(vdev::Mouse553);
        setCode("ABCDEF");
        rig.hid.deviceList[0].sCode = "ABCDEF";
        if (listReplaced) {
            rig.device.withFirmware(rig.mouse, [](VirtualFirmware &fw) { fw.setScrambling(true, "ABCDEF"); });
            // As a check would: a new list, the mouse now second, selected by its new index.
            rig.hid.hidBusy = true;
            QMetaObject::invokeMethod(this, [&rig] {
                DeviceEntry keyboard;
                keyboard.sCode = "ABCDEF";
                DeviceEntry mouse = rig.hid.deviceList[0];
                rig.hid.deviceList = {keyboard, mouse};
                rig.hid.deviceIndex = 1;
                rig.hid.hidBusy = false;
            }, Qt::QueuedConnection);
        }
        bool result = false;
        rig.run([&](Hid_Thread &hid) { result = hid.chkDeviceIsEnCode(index); });
        QTEST(result, "passes");
        QCOMPARE(rig.hid.deviceIndex, listReplaced ? 1 : 0);
        QCOMPARE(rig.hid.deviceList.first().isEncode, false);
        QCOMPARE(rig.hid.deviceList.last().isEncode, listReplaced);
        // The selected entry still drives the mouse.
        rig.run([](Hid_Thread &hid) { hid.hid553_0BH_SetCurrentDPI(2); });
        QCOMPARE(rig.state().dpiStage, uint8_t(2));
    }
};

QTEST_MAIN(tst_Scrambling)
#include "tst_scrambling.moc"
