// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the skin's SVG sources to PNG at build time:
//   mousecfg_svg2png SCALE INPUT.svg[#X,Y,W,H] OUTPUT.png [INPUT.svg[#X,Y,W,H] OUTPUT.png ...]
// The SVG's width and height are the image's design size; the PNG holds SCALE times as many
// pixels in each direction. With #X,Y,W,H the PNG is that piece of the picture (in design units),
// cut from the whole rendering so that pieces drawn side by side match it pixel for pixel. Anything the renderer cannot draw exactly as written (an XML error,
// a missing size, an element or attribute the SVG renderer warns about or would silently skip)
// fails the build instead of leaving a quietly wrong picture behind. It draws with Qt's own SVG
// renderer, so it builds wherever the program does and needs no program outside the toolkit.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QStringList>
#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <cstdio>

namespace {

QStringList svgWarnings;

void collectSvgWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const bool fromSvg = context.category && QByteArray(context.category).startsWith("qt.svg");
    if (fromSvg && type != QtDebugMsg && type != QtInfoMsg)
        svgWarnings << text;
    else if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

// Qt's renderer draws SVG Tiny and skips the rest without a word: filters, clipping, masks and
// unknown elements would vanish from the picture. Text is refused too, so that the pictures do
// not depend on the fonts of the machine that builds them.
QString unsupportedContent(const QString &svg)
{
    static const QSet<QString> elements = {
        "svg", "g", "defs", "title", "desc", "metadata", "path", "rect", "circle", "ellipse",
        "line", "polyline", "polygon", "linearGradient", "radialGradient", "stop", "use"};
    static const QStringList attributes = {"filter", "clip-path", "mask"};
    QFile file(svg);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot be read");
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        // Without them the renderer makes up a size of its own.
        if (name == QLatin1String("svg")
            && !(xml.attributes().hasAttribute(QStringLiteral("width"))
                 && xml.attributes().hasAttribute(QStringLiteral("height"))
                 && xml.attributes().hasAttribute(QStringLiteral("viewBox"))))
            return QStringLiteral("line %1: <svg> needs width, height and viewBox").arg(xml.lineNumber());
        if (!elements.contains(name))
            return QStringLiteral("line %1: element <%2> is not drawn").arg(xml.lineNumber()).arg(name);
        for (const QString &attribute : attributes)
            if (xml.attributes().hasAttribute(attribute)
                || xml.attributes().value(QStringLiteral("style")).contains(attribute))
                return QStringLiteral("line %1: '%2' is not drawn").arg(xml.lineNumber()).arg(attribute);
    }
    return xml.hasError() ? xml.errorString() : QString();
}

bool fail(const QString &svg, const QString &why)
{
    std::fprintf(stderr, "svg2png: %s: %s\n", qPrintable(QDir::toNativeSeparators(svg)), qPrintable(why));
    return false;
}

// "X,Y,W,H" in design units, inside `design`; an empty text is the whole picture.
bool parsePiece(const QString &text, const QSize &design, QRect *piece)
{
    if (text.isEmpty()) {
        *piece = QRect(QPoint(0, 0), design);
        return true;
    }
    const QStringList numbers = text.split(QLatin1Char(','));
    int values[4] = {};
    bool ok = numbers.size() == 4;
    for (int i = 0; ok && i < 4; ++i)
        values[i] = numbers.at(i).toInt(&ok);
    *piece = QRect(values[0], values[1], values[2], values[3]);
    return ok && !piece->isEmpty() && QRect(QPoint(0, 0), design).contains(*piece);
}

bool render(const QString &input, const QString &png, int scale)
{
    const QString svg = input.section(QLatin1Char('#'), 0, 0);
    svgWarnings.clear();
    const QString unsupported = unsupportedContent(svg);
    if (!unsupported.isEmpty())
        return fail(svg, unsupported);
    QSvgRenderer renderer;
    if (!renderer.load(svg))
        return fail(svg, QStringLiteral("not a readable SVG file"));
    const QSize design = renderer.defaultSize();
    if (design.isEmpty())
        return fail(svg, QStringLiteral("empty width or height"));
    // The design size must be a whole number of pixels, or pieces would not line up at 1x.
    if (renderer.viewBoxF().size() != QSizeF(design))
        return fail(svg, QStringLiteral("the viewBox must match width and height"));
    QRect piece;
    if (!parsePiece(input.section(QLatin1Char('#'), 1), design, &piece))
        return fail(svg, QStringLiteral("the piece must be X,Y,W,H inside the picture"));

    QImage image(design * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    if (!svgWarnings.isEmpty())
        return fail(svg, svgWarnings.join(QStringLiteral("; ")));
    image = image.copy(QRect(piece.topLeft() * scale, piece.size() * scale));

    QDir().mkpath(QFileInfo(png).absolutePath());
    QSaveFile out(png);
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit())
        return fail(svg, QStringLiteral("cannot write ") + QDir::toNativeSeparators(png));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // A build step has no display: draw offscreen unless a platform was chosen explicitly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(collectSvgWarnings);
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments().mid(1);
    bool scaleOk = false;
    const int scale = args.value(0).toInt(&scaleOk);
    if (!scaleOk || scale < 1 || args.size() < 3 || args.size() % 2 == 0) {
        std::fprintf(stderr, "usage: mousecfg_svg2png SCALE INPUT.svg[#X,Y,W,H] OUTPUT.png [...]\n");
        return 2;
    }
    for (int i = 1; i < args.size(); i += 2)
        if (!render(args.at(i), args.at(i + 1), scale))
            return 1;
    return 0;
}
