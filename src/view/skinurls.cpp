#include "view/skinurls.h"

#include <QFileInfo>
#include <QQmlAbstractUrlInterceptor>
#include <QQmlEngine>
#include <QQmlFile>
#include <QRegularExpression>
#include <QUrl>

QUrl skinPictureUrl(const QUrl &url)
{
    static const QRegularExpression skinPicture(QStringLiteral("modules/img/skin\\d+/.+\\.png$"));
    const QString path = url.path();
    if (!skinPicture.match(path).hasMatch() || !url.hasQuery())
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
