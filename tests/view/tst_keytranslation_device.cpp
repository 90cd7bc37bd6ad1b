// Button assignment slots against both virtual mice: what is stored and what the mouse gets.
#include "settingsrig_helper.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using settingsrig::Rig;

namespace {

QByteArray bytes(const uint8_t *data, int offset, int length)
{
    return QByteArray(reinterpret_cast<const char *>(data) + offset, length).toHex(' ');
}

QVariantList definitions64()
{
    QVariantList list;
    for (int n = 0; n < 16; ++n)
        list << 0 << 0 << 0 << 0;
    auto put = [&](int n, int a, int b, int c, int d) {
        list[4 * n] = a;
        list[4 * n + 1] = b;
        list[4 * n + 2] = c;
        list[4 * n + 3] = d;
    };
    put(0, 0, 0, 0xF0, 0);
    put(1, 0, 0, 0xF1, 0);
    put(3, 6, 0, 0x94, 1);      // My PC
    put(7, 0, 0xF0, 0x1E, 2);   // double fire
    return list;
}

QStringList stored(const Rig &rig, int slot, int n)
{
    return rig.view->profileSettings.at(slot)->value(QString("mouseKeyMatrix/%1").arg(n)).toStringList();
}

} // namespace

class TestKeySlots : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parameterBlock1_data();
    void parameterBlock1();
    void keyMatrixStoredOnly();
    void keyMatrix_data();
    void keyMatrix();
    void resetAndSwitchKeyMatrix_data();
    void resetAndSwitchKeyMatrix();
    void keyDefinitionReads();
    void deletedMacroRevertsButtons();

private:
    QTemporaryDir m_config;
};

void TestKeySlots::initTestCase()
{
    settingsrig::isolateDefaultStore(m_config.path());
}

void TestKeySlots::parameterBlock1_data()
{
    QTest::addColumn<int>("mouse");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("sent");
    QTest::newRow("553, 191 values refused") << vdev::Mouse553 << 191 << false;
    QTest::newRow("553, empty list refused") << vdev::Mouse553 << 0 << false;
    QTest::newRow("553, 200 values: extra ignored") << vdev::Mouse553 << 200 << true;
    QTest::newRow("553") << vdev::Mouse553 << 192 << true;
    QTest::newRow("560") << vdev::Mouse560 << 192 << true;
}

void TestKeySlots::parameterBlock1()
{
    QFETCH(int, mouse);
    QFETCH(int, length);
    QFETCH(bool, sent);
    Rig rig(mouse);
    rig.view->setCurrentProfile(1);
    const QStringList before = stored(rig, 1, 0);

    QVariantList block;
    for (int i = 0; i < 128; ++i)
        block << (i * 3) % 256;
    block[3] = 2;
    block[9] = 0x1F4 & 0xFF;
    block[10] = 0x1F4 >> 8;
    block << definitions64();
    while (block.size() < length)
        block << 0xAB;
    block = block.mid(0, length);
    testsupport::DebugCapture debug;
    rig.view->mouseSetParameter_1(block, 4);

    const VirtualFirmware::State s = rig.state();
    if (!sent) {
        QCOMPARE(rig.count(0x03), 0);
        QCOMPARE(stored(rig, 1, 0), before);
        QVERIFY(debug.contains(QString("mouseSetParameter_1 refused %1").arg(length)));
        return;
    }
    QCOMPARE(stored(rig, 1, 0), QStringList({"0", "0", "240", "0"}));
    QCOMPARE(stored(rig, 1, 7), QStringList({"0", "240", "30", "2"}));
    QCOMPARE(int(s.parameter1Mask), 4);
    for (int i = 0; i < 128; ++i)
        QCOMPARE(int(s.parameter1[i]), block[i].toInt());
    QCOMPARE(bytes(s.parameter1.data(), 128, 4), QByteArray("f0 00 00 02"));
    QCOMPARE(bytes(s.parameter1.data(), 132, 4), QByteArray("f1 00 00 02"));
    QCOMPARE(bytes(s.parameter1.data(), 140, 4), QByteArray("94 01 00 03"));
    QCOMPARE(bytes(s.parameter1.data(), 156, 4), QByteArray("f0 01 02 0c"));
    QCOMPARE(bytes(s.parameter1.data(), 160, 4), QByteArray("00 00 00 02"));
}

void TestKeySlots::keyMatrixStoredOnly()
{
    Rig rig(vdev::Mouse553);
    QVariantList defs = definitions64();
    defs[28] = 8;   // a gun key changes nothing when nothing is sent
    defs[30] = 2;
    rig.view->mouseSetKeyMatrix(defs, false, {10, 20, 30});
    QVERIFY(rig.requests().isEmpty());
    QCOMPARE(stored(rig, 0, 7), QStringList({"8", "240", "2", "2"}));
    // A short list would wipe buttons: refused, nothing stored.
    rig.view->mouseSetKeyMatrix(defs.mid(0, 63), true, {});
    QVERIFY(rig.requests().isEmpty());
    QCOMPARE(stored(rig, 0, 7), QStringList({"8", "240", "2", "2"}));
}

void TestKeySlots::keyMatrix_data()
{
    QTest::addColumn<int>("mouse");
    QTest::addColumn<int>("guns");       // 0: no gun key
    QTest::addColumn<QByteArray>("commands");
    QTest::newRow("553 without gun keys") << vdev::Mouse553 << 0 << QByteArray("12");
    QTest::newRow("560 without gun keys") << vdev::Mouse560 << 0 << QByteArray("0d");
    QTest::newRow("553 two guns") << vdev::Mouse553 << 2 << QByteArray("12 12 12 12 02");
    QTest::newRow("560 two guns") << vdev::Mouse560 << 2 << QByteArray("0c 0d 0d 0d 0d 02");
    QTest::newRow("560 three guns") << vdev::Mouse560 << 3 << QByteArray("0c 0d 0d 0d 0d 02");
}

void TestKeySlots::keyMatrix()
{
    QFETCH(int, mouse);
    QFETCH(int, guns);
    Rig rig(mouse);
    // Give the 553 mouse a stored firmware matrix too, as a gun-capable 553 mouse has.
    for (int n = 0; n < 16; ++n)
        if (!rig.view->getData(QString("mouseFwKeyMatrix/%1").arg(n), false).isValid())
            rig.view->setDataList(QString("mouseFwKeyMatrix/%1").arg(n), {1, 0, 0xF0 + n % 4, 0});
    rig.device.withFirmware(mouse, [](VirtualFirmware &fw) {
        fw.mutableState().currentKeyMatrix = 3;
        fw.mutableState().currentProfile = 3;
    });
    QVariantList defs = definitions64();
    if (guns) {
        defs[20] = 8;   // button 5: gun function
        defs[22] = guns;
    }
    rig.view->mouseSetKeyMatrix(defs, true, {25, 35, 45});

    QByteArray commands;
    for (const QByteArray &r : rig.requests())
        commands += r.left(1);
    QTEST(commands.toHex(' '), "commands");
    const VirtualFirmware::State s = rig.state();
    QCOMPARE(bytes(s.keyMatrix[1].data(), 0, 4), QByteArray("01 00 f0 00"));
    QCOMPARE(bytes(s.keyMatrix[1].data(), 12, 4), QByteArray("03 00 94 01"));
    QCOMPARE(bytes(s.keyMatrix[1].data(), 28, 4), QByteArray("0a f0 1e 02"));
    if (!guns)
        return;
    const bool is560 = mouse == vdev::Mouse560;
    QCOMPARE(bytes(s.keyMatrix[2].data(), 0, 4), QByteArray("0b 00 19 00"));
    QCOMPARE(bytes(s.keyMatrix[3].data(), 0, 4), QByteArray("0b 01 23 00"));
    QCOMPARE(bytes(s.keyMatrix[4].data(), 0, 4), QByteArray("0b 02 2d 00"));
    QCOMPARE(int(s.keyMatrix[2][20]), 8);
    if (is560) {
        QCOMPARE(int(s.profile[0][2]), guns == 2 ? 0x0F : 0x1F);
        QCOMPARE(int(rig.view->profileBlocks[0][2]), guns == 2 ? 0x0F : 0x1F);
        QCOMPARE(int(s.currentProfile), 1);
        QCOMPARE(bytes(s.keyMatrix[2].data(), 64, 4), QByteArray("00 00 00 00"));
    } else {
        QCOMPARE(bytes(s.keyMatrix[1].data(), 20, 4), QByteArray("08 00 01 01"));
        QCOMPARE(bytes(s.keyMatrix[2].data(), 20, 4), QByteArray("08 00 01 02"));
        QCOMPARE(int(s.currentKeyMatrix), 0);
    }
}

void TestKeySlots::resetAndSwitchKeyMatrix_data()
{
    QTest::addColumn<int>("mouse");
    QTest::newRow("553") << vdev::Mouse553;
    QTest::newRow("560") << vdev::Mouse560;
}

void TestKeySlots::resetAndSwitchKeyMatrix()
{
    QFETCH(int, mouse);
    Rig rig(mouse);
    rig.view->setCurrentProfile(2);
    // Entry 0 short, entry 1 missing here (taken from the factory profile or zeros).
    rig.view->setDataList("mouseFwKeyMatrix/0", {9, 8});
    rig.view->profileSettings.at(2)->remove("mouseFwKeyMatrix/1");
    rig.view->mouseResetKeyMatrix();
    const VirtualFirmware::State s = rig.state();
    const QByteArray entry1 = mouse == vdev::Mouse560 ? "01 00 f1 00" : "00 00 00 00";
    for (int m = 2; m <= 4; ++m) {
        QCOMPARE(bytes(s.keyMatrix[m].data(), 0, 4), QByteArray("09 08 00 00"));
        QCOMPARE(bytes(s.keyMatrix[m].data(), 4, 4), entry1);
    }
    QCOMPARE(bytes(s.keyMatrix[1].data(), 0, 4), QByteArray("00 00 00 00"));

    for (int index : {1, 4}) {
        rig.view->mouseSwitchKeyMatrix(index);
        const VirtualFirmware::State after = rig.state();
        if (mouse == vdev::Mouse560)
            QCOMPARE(int(after.currentProfile), index);
        else
            QCOMPARE(int(after.currentKeyMatrix), index - 1);
    }
    rig.clearWire();
    rig.view->mouseSwitchKeyMatrix(0);
    rig.view->mouseSwitchKeyMatrix(5);
    QVERIFY(rig.requests().isEmpty());
}

void TestKeySlots::keyDefinitionReads()
{
    Rig rig(vdev::Mouse560);
    rig.view->setCurrentProfile(4);
    rig.view->setDataList("mouseKeyMatrix/3", {2, 1, 4, 0});
    rig.view->setDataList("mouseKeyMatrix/9", {5, 0});
    QCOMPARE(rig.view->mouseGetKeydefine(3, true), QVariantList({0, 0, 0xF4, 0}));
    QCOMPARE(rig.view->mouseGetKeydefine(3, false), QVariantList({2, 1, 4, 0}));
    QCOMPARE(rig.view->mouseGetKeydefine(9, false), QVariantList({5, 0, 0, 0}));
    QVERIFY(rig.view->mouseGetKeydefine(16, false).isEmpty());
}

void TestKeySlots::deletedMacroRevertsButtons()
{
    Rig rig(vdev::Mouse553);
    auto useMacro = [&](int slot, int button, const QString &name) {
        rig.view->setCurrentProfile(slot);
        rig.view->setDataList(QString("mouseKeyMatrix/%1").arg(button), {4, 1, button, 0});
        rig.view->setData(QString("mouseMacroKey/%1").arg(button), name);
    };
    useMacro(0, 5, "Burst");
    useMacro(2, 5, "Burst");
    useMacro(7, 5, "Burst");
    useMacro(2, 6, "Other");
    useMacro(3, 4, "");

    rig.view->deleteMacroUpdateProfile("");
    QCOMPARE(stored(rig, 3, 4), QStringList({"4", "1", "4", "0"}));
    rig.view->deleteMacroUpdateProfile("Burst");

    const QStringList factory5 = rig.view->defaultSettings->value("mouseKeyMatrix/5").toStringList();
    QCOMPARE(stored(rig, 0, 5), factory5);
    QCOMPARE(stored(rig, 2, 5), factory5);
    QCOMPARE(stored(rig, 7, 5), QStringList({"4", "1", "5", "0"}));
    QCOMPARE(stored(rig, 2, 6), QStringList({"4", "1", "6", "0"}));
    QVERIFY(rig.requests().isEmpty());
}

QTEST_MAIN(TestKeySlots)
#include "tst_keytranslation_device.moc"
