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
        testsupport::addColumns<QByteArray, QByteArray, bool>({"body", "size", "renders"});

        const QByteArray rect = "<rect x='1' y='1' width='18' height='8' fill='#cf3e00'/>";
        const QByteArray size = "width='20' height='10' viewBox='0 0 20 10'";
        QTest::newRow("drawn at twice its size") << rect << size << true;
        QTest::newRow("broken XML") << QByteArray("<rect x='1'") << size << false;
        QTest::newRow("no size") << rect << QByteArray() << false;
        QTest::newRow("viewBox differs from the size")
            << rect << QByteArray("width='20' height='10' viewBox='0 0 40 20'") << false;
        QTest::newRow("unresolved gradient")
            << QByteArray("<rect width='20' height='10' fill='url(#missing)'/>") << size << false;
        QTest::newRow("filter, silently skipped by the renderer")
            << QByteArray("<defs><filter id='f'><feGaussianBlur stdDeviation='2'/></filter></defs>") + rect
            << size << false;
        QTest::newRow("clip-path attribute")
            << QByteArray("<rect width='20' height='10' clip-path='url(#c)'/>") << size << false;
        QTest::newRow("text, drawn with whatever font the machine has")
            << QByteArray("<text x='1' y='9'>A</text>") << size << false;
    }

    void rendersOrFailsLoudly()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, size);
        QFETCH(bool, renders);

        QTemporaryDir dir;
        const QString svg = dir.filePath("picture.svg");
        const QString png = dir.filePath("out/picture@2x.png");
        QVERIFY(testsupport::writeFile(svg, "<svg xmlns='http://www.w3.org/2000/svg' " + size + ">" + body + "</svg>\n"));
        const testsupport::Run render = testsupport::run(qEnvironmentVariable("MOUSECFG_SVG2PNG"), {"2", svg, png});
        if (renders) {
            QCOMPARE(render.exitCode, 0);
            QCOMPARE(QImage(png).size(), QSize(40, 20));
        } else {
            QVERIFY(render.exitCode != 0);
            QVERIFY2(render.err.contains("picture.svg"), render.err.constData());
            QVERIFY(!QFile::exists(png));
        }
    }
};

QTEST_GUILESS_MAIN(Svg2PngTest)
#include "tst_svg2png.moc"
