// Both device forms of a button definition, and the key matrices built for gun keys.
#include "view/keytranslation.h"

#include <QByteArray>
#include <QtTest>

using keys::KeyDefinition;

namespace {

KeyDefinition def(const char *hex)
{
    const QByteArray b = QByteArray::fromHex(hex);
    return {uint8_t(b[0]), uint8_t(b[1]), uint8_t(b[2]), uint8_t(b[3])};
}

QByteArray hex(const KeyDefinition &d)
{
    return QByteArray(reinterpret_cast<const char *>(d.data()), 4).toHex(' ');
}

QByteArray entry(const keys::KeyMatrix &m, int n)
{
    return QByteArray(reinterpret_cast<const char *>(m.data()) + 4 * n, 4).toHex(' ');
}

} // namespace

class TestKeyTranslation : public QObject
{
    Q_OBJECT
private slots:
    void keyMatrixForm_data();
    void keyMatrixForm();
    void parameterForm_data();
    void parameterForm();
    void matricesWithoutGun();
    void gunMatrices_data();
    void gunMatrices();
};

void TestKeyTranslation::keyMatrixForm_data()
{
    QTest::addColumn<QByteArray>("ui");
    QTest::addColumn<bool>("family560");
    QTest::addColumn<QByteArray>("expected");
    // Unusual input first: unknown types pass through, a fire key whose interval and count look
    // like a consumer usage stays a fire key.
    QTest::newRow("unknown type 0x42 unchanged") << QByteArray("42010203") << false << QByteArray("42 01 02 03");
    QTest::newRow("fire 33 ms twice stays fire") << QByteArray("01042102") << false << QByteArray("0a 04 21 02");
    QTest::newRow("fire 148 ms once stays fire") << QByteArray("01049401") << true << QByteArray("0a 04 94 01");
    QTest::newRow("left button") << QByteArray("0000f000") << false << QByteArray("01 00 f0 00");
    QTest::newRow("double fire") << QByteArray("00f01e02") << false << QByteArray("0a f0 1e 02");
    QTest::newRow("fire") << QByteArray("01041405") << false << QByteArray("0a 04 14 05");
    QTest::newRow("combination") << QByteArray("02030400") << false << QByteArray("00 03 04 00");
    QTest::newRow("media next") << QByteArray("0300b500") << false << QByteArray("03 00 b5 00");
    QTest::newRow("macro slot 3") << QByteArray("04010300") << false << QByteArray("09 01 04 00");
    QTest::newRow("DPI+") << QByteArray("05000100") << false << QByteArray("07 00 01 00");
    QTest::newRow("sniper 553") << QByteArray("05000400") << false << QByteArray("07 00 04 01");
    QTest::newRow("sniper 560") << QByteArray("05000400") << true << QByteArray("0b 00 01 01");
    QTest::newRow("My PC goes as media") << QByteArray("06009401") << false << QByteArray("03 00 94 01");
    QTest::newRow("home page goes as media") << QByteArray("06002302") << false << QByteArray("03 00 23 02");
    QTest::newRow("search goes as media") << QByteArray("06002102") << true << QByteArray("03 00 21 02");
    QTest::newRow("maximise") << QByteArray("06e22c1b") << false << QByteArray("00 e2 2c 1b");
    QTest::newRow("copy shortcut") << QByteArray("0700e006") << false << QByteArray("00 00 e0 06");
    QTest::newRow("two guns") << QByteArray("08000200") << false << QByteArray("08 00 02 00");
    QTest::newRow("factory-only value") << QByteArray("ff000200") << false << QByteArray("04 00 02 00");
}

void TestKeyTranslation::keyMatrixForm()
{
    QFETCH(QByteArray, ui);
    QFETCH(bool, family560);
    QFETCH(QByteArray, expected);
    QCOMPARE(hex(keys::toKeyMatrixForm(def(ui.constData()), family560)), expected);
}

void TestKeyTranslation::parameterForm_data()
{
    QTest::addColumn<QByteArray>("ui");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("unknown type 0x42 unchanged, reversed") << QByteArray("42010203") << QByteArray("03 02 01 42");
    QTest::newRow("DPI type is not turned into media") << QByteArray("05002102") << QByteArray("21 00 00 0b");
    QTest::newRow("left button") << QByteArray("0000f000") << QByteArray("f0 00 00 02");
    QTest::newRow("double fire") << QByteArray("00f01e02") << QByteArray("f0 01 02 0c");
    QTest::newRow("fire") << QByteArray("01041405") << QByteArray("04 14 05 0c");
    QTest::newRow("combination") << QByteArray("02030400") << QByteArray("04 00 00 01");
    QTest::newRow("media next") << QByteArray("0300b500") << QByteArray("b5 00 00 03");
    QTest::newRow("macro slot 3, once") << QByteArray("04000300") << QByteArray("03 00 01 05");
    QTest::newRow("DPI+") << QByteArray("05000100") << QByteArray("01 00 00 0b");
    QTest::newRow("sniper") << QByteArray("05000400") << QByteArray("04 01 03 f0");
    QTest::newRow("My PC") << QByteArray("06009401") << QByteArray("94 01 00 03");
    QTest::newRow("home page") << QByteArray("06002302") << QByteArray("23 02 00 03");
    QTest::newRow("maximise") << QByteArray("06e22c1b") << QByteArray("1b 2c e2 01");
    QTest::newRow("copy shortcut") << QByteArray("0700e006") << QByteArray("06 e0 00 01");
    QTest::newRow("gun") << QByteArray("08000300") << QByteArray("00 03 00 08");
    QTest::newRow("factory-only value") << QByteArray("ff000100") << QByteArray("00 01 00 04");
}

void TestKeyTranslation::parameterForm()
{
    QFETCH(QByteArray, ui);
    QFETCH(QByteArray, stored);
    QCOMPARE(hex(keys::toParameterForm(def(ui.constData()))), stored);
}

void TestKeyTranslation::matricesWithoutGun()
{
    keys::Definitions ui{};
    ui[0] = def("0000f000");
    ui[5] = def("05000400");
    keys::Definitions firmware{};
    firmware.fill(def("11111111"));
    const keys::MatrixSet set = keys::buildKeyMatrices(ui, firmware, {9, 8, 7}, true);
    QCOMPARE(set.count, 1);
    QCOMPARE(set.gunMask, uint8_t(0));
    QCOMPARE(entry(set.matrices[0], 0), QByteArray("01 00 f0 00"));
    QCOMPARE(entry(set.matrices[0], 5), QByteArray("0b 00 01 01"));
    QCOMPARE(entry(set.matrices[0], 1), QByteArray("01 00 00 00"));
}

void TestKeyTranslation::gunMatrices_data()
{
    QTest::addColumn<bool>("family560");
    QTest::addColumn<QByteArray>("gunKey");
    QTest::addColumn<QByteArray>("m1");
    QTest::addColumn<QByteArray>("m2");
    QTest::addColumn<QByteArray>("m3");
    QTest::addColumn<QByteArray>("m4");
    QTest::addColumn<int>("mask");
    // Button 7 holds the gun key; the stored firmware entry of button 7 is 01 00 f0 09.
    QTest::newRow("553 unknown gun count keeps the last byte")
        << false << QByteArray("08000700") << QByteArray("08 00 01 00") << QByteArray("08 00 01 09")
        << QByteArray("08 00 01 09") << QByteArray("08 00 01 09") << 0;
    QTest::newRow("553 one gun") << false << QByteArray("08000100") << QByteArray("08 00 01 01")
                                 << QByteArray("08 00 01 00") << QByteArray("08 00 01 00") << QByteArray("08 00 01 00") << 0;
    QTest::newRow("553 two guns") << false << QByteArray("08000200") << QByteArray("08 00 01 01")
                                  << QByteArray("08 00 01 02") << QByteArray("08 00 01 00") << QByteArray("08 00 01 00") << 0;
    QTest::newRow("553 three guns") << false << QByteArray("08000300") << QByteArray("08 00 01 01")
                                    << QByteArray("08 00 01 02") << QByteArray("08 00 01 03") << QByteArray("08 00 01 00") << 0;
    QTest::newRow("560 one gun") << true << QByteArray("08000100") << QByteArray("08 00 01 00")
                                 << QByteArray("08 00 00 09") << QByteArray("08 00 00 09") << QByteArray("08 00 00 09") << 0x07;
    QTest::newRow("560 two guns") << true << QByteArray("08000200") << QByteArray("08 00 01 00")
                                  << QByteArray("08 00 03 09") << QByteArray("08 00 00 09") << QByteArray("08 00 00 09") << 0x0F;
    QTest::newRow("560 three guns") << true << QByteArray("08000300") << QByteArray("08 00 01 00")
                                    << QByteArray("08 00 03 09") << QByteArray("08 00 03 09") << QByteArray("08 00 00 09") << 0x1F;
}

void TestKeyTranslation::gunMatrices()
{
    QFETCH(bool, family560);
    QFETCH(QByteArray, gunKey);
    keys::Definitions ui{};
    ui[0] = def("0000f000");
    ui[7] = def(gunKey.constData());
    keys::Definitions firmware{};
    firmware.fill(def("0100f109"));
    firmware[7] = def("0100f009");

    const keys::MatrixSet set = keys::buildKeyMatrices(ui, firmware, {0x1E, 0x2E, 0x13E & 0xFF}, family560);
    QCOMPARE(set.count, 4);
    QTEST(entry(set.matrices[0], 7), "m1");
    QTEST(entry(set.matrices[1], 7), "m2");
    QTEST(entry(set.matrices[2], 7), "m3");
    QTEST(entry(set.matrices[3], 7), "m4");
    QTEST(int(set.gunMask), "mask");
    // Entry 0 of the gun matrices carries the gun periods; M1 keeps the translated button 0,
    // the other entries of M2..M4 come from the stored firmware matrix.
    QCOMPARE(entry(set.matrices[0], 0), QByteArray("01 00 f0 00"));
    QCOMPARE(entry(set.matrices[1], 0), QByteArray("0b 00 1e 00"));
    QCOMPARE(entry(set.matrices[2], 0), QByteArray("0b 01 2e 00"));
    QCOMPARE(entry(set.matrices[3], 0), QByteArray("0b 02 3e 00"));
    QCOMPARE(entry(set.matrices[1], 3), QByteArray("01 00 f1 09"));
}

QTEST_APPLESS_MAIN(TestKeyTranslation)
#include "tst_keytranslation.moc"
