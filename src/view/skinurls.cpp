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
    if (!skinPicture.match(path).hasMatch() || path.endsWith(QLatin1String("@2x.png")))
        return url;
    QUrl twice = url;
    twice.setPath(path.chopped(4) + QLatin1String("@2x.png"));
    const QString file = QQmlFile::urlToLocalFileOrQrc(twice);
    return !file.isEmpty() && QFileInfo::exists(file) ? twice : url;
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
