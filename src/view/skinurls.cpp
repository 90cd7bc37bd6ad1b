// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/skinurls.h"

#include <QFileInfo>
#include <QQmlAbstractUrlInterceptor>
#include <QQmlEngine>
#include <QQmlFile>
#include <QUrl>

namespace {

// "…modules/img/skin<digits>/<something>.png"; checked by hand, as this runs for every URL the
// scene resolves.
bool isSkinPicturePath(const QString &path)
{
    static const QLatin1String folder("modules/img/skin");
    if (!path.endsWith(QLatin1String(".png")))
        return false;
    for (qsizetype at = path.indexOf(folder); at >= 0; at = path.indexOf(folder, at + 1)) {
        qsizetype i = at + folder.size();
        const qsizetype digits = i;
        while (i < path.size() && path.at(i) >= QLatin1Char('0') && path.at(i) <= QLatin1Char('9'))
            ++i;
        if (i > digits && i < path.size() && path.at(i) == QLatin1Char('/') && i + 1 < path.size() - 4)
            return true;
    }
    return false;
}

} // namespace

QUrl skinPictureUrl(const QUrl &url)
{
    if (!url.hasQuery())
        return url;
    const QString path = url.path();
    if (!isSkinPicturePath(path))
        return url;
    QUrl plain = url;
    plain.setQuery(QString());
    if (url.query() != QLatin1String("hi") || path.endsWith(QLatin1String("@2x.png")))
        return plain;
    QUrl twice = plain;
    twice.setPath(path.chopped(4) + QLatin1String("@2x.png"));
    const QString file = QQmlFile::urlToLocalFileOrQrc(twice);
    return !file.isEmpty() && QFileInfo::exists(file) ? twice : plain;
}

namespace {

class SkinUrlInterceptor : public QQmlAbstractUrlInterceptor
{
public:
    QUrl intercept(const QUrl &url, DataType type) override
    {
        return type == UrlString ? skinPictureUrl(url) : url;
    }
};

} // namespace

void installSkinUrlInterceptor(QQmlEngine *engine)
{
    // Stateless and shared: it outlives every engine, whichever is destroyed last.
    static SkinUrlInterceptor interceptor;
    engine->addUrlInterceptor(&interceptor);
}
