// SPDX-License-Identifier: GPL-3.0-or-later
// The skin renderer, as the build runs it: a picture it cannot draw as written fails the build
// with the file named, and leaves no PNG behind.
#include "testsupport.h"
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

class Svg2PngTest : public QObject
{
    Q_OBJECT

private slots:
    void rendersOrFailsLoudly_data()
    {
        testsupport::addColumns<QByteArray, QByteArray, bool, QString>({"body", "size", "renders", "piece"});

        const QByteArray rect = "<rect x='1' y='1' width='18' height='8' fill='#cf3e00'/>";
        const QByteArray size = "width='20' height='10' viewBox='0 0 20 10'";
        QTest::newRow("drawn at twice its size") << rect << size << true << QString();
        // A piece is cut from the whole rendering: its edge pixels are the picture's own.
        QTest::newRow("a piece") << rect << size << true << "0,1,3,8";
        QTest::newRow("a piece outside the picture") << rect << size << false << "18,0,3,10";
        QTest::newRow("a piece without a size") << rect << size << false << "1,1";
        QTest::newRow("broken XML") << QByteArray("<rect x='1'") << size << false << QString();
        QTest::newRow("no size") << rect << QByteArray() << false << QString();
        QTest::newRow("viewBox differs from the size")
            << rect << QByteArray("width='20' height='10' viewBox='0 0 40 20'") << false << QString();
        QTest::newRow("unresolved gradient")
            << QByteArray("<rect width='20' height='10' fill='url(#missing)'/>") << size << false << QString();
        QTest::newRow("filter, silently skipped by the renderer")
            << QByteArray("<defs><filter id='f'><feGaussianBlur stdDeviation='2'/></filter></defs>") + rect
            << size << false << QString();
        QTest::newRow("clip-path attribute")
            << QByteArray("<rect width='20' height='10' clip-path='url(#c)'/>") << size << false << QString();
        QTest::newRow("text, drawn with whatever font the machine has")
            << QByteArray("<text x='1' y='9'>A</text>") << size << false << QString();
    }

    void rendersOrFailsLoudly()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, size);
        QFETCH(bool, renders);
        QFETCH(QString, piece);

        QTemporaryDir dir;
        const QString svg = dir.filePath("picture.svg");
        const QString png = dir.filePath("out/picture@2x.png");
        QVERIFY(testsupport::writeFile(svg, "<svg xmlns='http://www.w3.org/2000/svg' " + size + ">" + body + "</svg>\n"));
        const QString svg2png = qEnvironmentVariable("MOUSECFG_SVG2PNG");
        const QString whole = dir.filePath("whole@2x.png");
        const testsupport::Run render = testsupport::run(svg2png, {"2", piece.isEmpty() ? svg : svg + '#' + piece, png});
        if (renders) {
            QCOMPARE(render.exitCode, 0);
            QCOMPARE(testsupport::run(svg2png, {"2", svg, whole}).exitCode, 0);
            const QStringList xywh = piece.isEmpty() ? QStringList{"0", "0", "20", "10"} : piece.split(',');
            const QRect cut(xywh[0].toInt() * 2, xywh[1].toInt() * 2, xywh[2].toInt() * 2, xywh[3].toInt() * 2);
            QCOMPARE(QImage(png), QImage(whole).copy(cut));
        } else {
            QVERIFY(render.exitCode != 0);
            QVERIFY2(render.err.contains("picture.svg"), render.err.constData());
            QVERIFY(!QFile::exists(png));
        }
    }
};

QTEST_GUILESS_MAIN(Svg2PngTest)
#include "tst_svg2png.moc"
