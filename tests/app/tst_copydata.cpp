// Copy-data record checks: which records raise the warning and what text they carry.
#include "app/copydata.h"

#include <QtTest>

#include <cstring>
#include <memory>

class tst_CopyData : public QObject
{
    Q_OBJECT
private slots:
    void warningText_data()
    {
        QTest::addColumn<quint64>("tag");
        QTest::addColumn<quint32>("cbData");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");

        const quint64 tag = copydata::WarningTag;
        const QByteArray hello("hello\0", 6);
        QTest::newRow("wrong tag") << quint64(0x2510) << 5u << hello << false << QString();
        QTest::newRow("tag zero") << quint64(0) << 5u << hello << false << QString();
        QTest::newRow("length claims more") << tag << 6u << hello << false << QString();
        QTest::newRow("length claims less") << tag << 4u << hello << false << QString();
        QTest::newRow("length far beyond buffer") << tag << 0xFFFFFFFFu << hello << false << QString();
        QTest::newRow("missing terminator") << tag << 5u << QByteArray("hello") << false << QString();
        QTest::newRow("NUL inside claimed text") << tag << 6u << QByteArray("hel\0lo\0", 7) << false << QString();
        QTest::newRow("invalid UTF-8 byte") << tag << 2u << QByteArray("\xff\xfe\0", 3) << false << QString();
        QTest::newRow("overlong encoding") << tag << 2u << QByteArray("\xc0\xaf\0", 3) << false << QString();
        QTest::newRow("surrogate half") << tag << 3u << QByteArray("\xed\xa0\x80\0", 4) << false << QString();
        QTest::newRow("truncated sequence") << tag << 4u << QByteArray("ab\xe2\x82\0", 5) << false << QString();
        QTest::newRow("nothing arrived") << tag << 0u << QByteArray() << false << QString();

        QTest::newRow("ascii") << tag << 5u << hello << true << QStringLiteral("hello");
        const QByteArray utf8 = QStringLiteral("Внимание ✓").toUtf8();
        QTest::newRow("multi-byte") << tag << quint32(utf8.size()) << (utf8 + '\0') << true
                                    << QStringLiteral("Внимание ✓");
        QTest::newRow("empty text") << tag << 0u << QByteArray("\0", 1) << true << QString();
        QTest::newRow("bytes after terminator ignored") << tag << 2u << QByteArray("hi\0junk", 7) << true
                                                        << QStringLiteral("hi");
    }

    void warningText()
    {
        QFETCH(quint64, tag);
        QFETCH(quint32, cbData);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        QFETCH(QString, text);

        // A heap block of exactly the bytes that arrived: a read past it trips AddressSanitizer.
        std::unique_ptr<char[]> block(new char[size_t(bytes.size())]);
        if (!bytes.isEmpty())
            std::memcpy(block.get(), bytes.constData(), size_t(bytes.size()));

        const std::optional<QString> result = copydata::warningText(tag, cbData, block.get(), bytes.size());
        QCOMPARE(result.has_value(), shown);
        if (shown)
            QCOMPARE(*result, text);
    }
};

QTEST_GUILESS_MAIN(tst_CopyData)
#include "tst_copydata.moc"
