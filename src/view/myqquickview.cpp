// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/myqquickview.h"

#include "view/sceneincubation.h"
#include "view/skinurls.h"

#include <QFocusEvent>
#include <QMetaObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSettings>

myQQuickView::myQQuickView(QWidget *parent)
    : QQuickWidget(parent)
    , globalSettings(new QSettings(this))
    , defaultSettings(new QSettings(this))
{
    installSkinUrlInterceptor(engine());
    engine()->setIncubationController(new SceneIncubation(this));
}

myQQuickView::~myQQuickView() = default;

bool myQQuickView::invokeRoot(const char *function, Qt::ConnectionType type, const QVariantList &args)
{
    QQuickItem *root = rootObject();
    constexpr int MaxArgs = 5;
    if (!root || !function || args.size() > MaxArgs)
        return false;

    // Functions of the scene take untyped parameters, which the meta-object lists as QVariant.
    QByteArray signature(function);
    signature += '(';
    for (int i = 0; i < args.size(); ++i)
        signature += i ? ",QVariant" : "QVariant";
    signature += ')';
    if (root->metaObject()->indexOfMethod(signature.constData()) < 0)
        return false;

    QGenericArgument a[MaxArgs];
    for (int i = 0; i < args.size(); ++i)
        a[i] = Q_ARG(QVariant, args.at(i));
    return QMetaObject::invokeMethod(root, function, type, a[0], a[1], a[2], a[3], a[4]);
}

void myQQuickView::focusInEvent(QFocusEvent *event)
{
    repaint();
    // The base class hands the focus on to the scene; without it no item there gets keys.
    QQuickWidget::focusInEvent(event);
    event->accept();
}
