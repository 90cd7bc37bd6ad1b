// Both device forms of a button definition.
#include "view/keytranslation.h"

#include <QtTest>

namespace {

keys::KeyDefinition def(const QByteArray &hex)
{
    const QByteArray b = QByteArray::fromHex(hex);
    return {uint8_t(b[0]), uint8_t(b[1]), uint8_t(b[2]), uint8_t(b[3])};
}

QByteArray hex(const keys::KeyDefinition &d)
{
    return QByteArray(reinterpret_cast<const char *>(d.data()), 4).toHex(' ');
}

} // namespace

class TestKeyTranslation : public QObject
{
    Q_OBJECT
private slots:
    void keyMatrixForm_data()
    {
        QTest::addColumn<QByteArray>("ui");
        QTest::addColumn<bool>("family560");
        QTest::addColumn<QByteArray>("expected");
        // A fire key's interval and count may look like a consumer usage; it stays a fire key.
        QTest::newRow("fire 33 ms twice stays fire") << QByteArray("01042102") << false << QByteArray("0a 04 21 02");
        QTest::newRow("fire 148 ms once stays fire") << QByteArray("01049401") << true << QByteArray("0a 04 94 01");
        QTest::newRow("unknown type unchanged") << QByteArray("42010203") << false << QByteArray("42 01 02 03");
        QTest::newRow("left button") << QByteArray("0000f000") << false << QByteArray("01 00 f0 00");
        QTest::newRow("double fire") << QByteArray("00f01e02") << false << QByteArray("0a f0 1e 02");
        QTest::newRow("fire") << QByteArray("01041405") << false << QByteArray("0a 04 14 05");
        QTest::newRow("combination") << QByteArray("02030400") << false << QByteArray("00 03 04 00");
        QTest::newRow("media next") << QByteArray("0300b500") << false << QByteArray("03 00 b5 00");
        QTest::newRow("macro slot 3") << QByteArray("04010300") << false << QByteArray("09 01 04 00");
        QTest::newRow("DPI+") << QByteArray("05000100") << false << QByteArray("07 00 01 00");
        QTest::newRow("sniper 553") << QByteArray("05000400") << false << QByteArray("07 00 04 01");
        QTest::newRow("sniper 560") << QByteArray("05000400") << true << QByteArray("0b 00 01 01");
        QTest::newRow("My PC as media") << QByteArray("06009401") << false << QByteArray("03 00 94 01");
        QTest::newRow("home page as media") << QByteArray("06002302") << false << QByteArray("03 00 23 02");
        QTest::newRow("search as media") << QByteArray("06002102") << true << QByteArray("03 00 21 02");
        QTest::newRow("maximise") << QByteArray("06e22c1b") << false << QByteArray("00 e2 2c 1b");
        QTest::newRow("copy shortcut") << QByteArray("0700e006") << false << QByteArray("00 00 e0 06");
        QTest::newRow("two guns") << QByteArray("08000200") << false << QByteArray("08 00 02 00");
        QTest::newRow("factory-only value") << QByteArray("ff000200") << false << QByteArray("04 00 02 00");
    }
    void keyMatrixForm()
    {
        QFETCH(QByteArray, ui);
        QFETCH(bool, family560);
        QTEST(hex(keys::toKeyMatrixForm(def(ui), family560)), "expected");
    }

    void parameterForm_data()
    {
        QTest::addColumn<QByteArray>("ui");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("unknown type, reversed") << QByteArray("42010203") << QByteArray("03 02 01 42");
        QTest::newRow("DPI type never turns media") << QByteArray("05002102") << QByteArray("21 00 00 0b");
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
    void parameterForm()
    {
        QFETCH(QByteArray, ui);
        QTEST(hex(keys::toParameterForm(def(ui))), "stored");
    }
};

QTEST_APPLESS_MAIN(TestKeyTranslation)
#include "tst_keytranslation.moc"
