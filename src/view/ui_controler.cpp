// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ui_controler.h"

#include "app/widget.h"
#include "view/myqquickview.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QQmlContext>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QStringList>
#include <QUrl>
#include <QWindow>

namespace {

// The value of `name` in section [common] as the file has it: up to a comment, without the
// quotes, commas and spaces left as they are.
QString writtenName(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool common = false;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            common = line == QLatin1String("[common]");
        } else if (common && line.section(QLatin1Char('='), 0, 0).trimmed() == QLatin1String("name")) {
            QString value;
            bool quoted = false;
            for (const QChar c : line.mid(line.indexOf(QLatin1Char('=')) + 1)) {
                if (c == QLatin1Char('"'))
                    quoted = !quoted;
                else if (c == QLatin1Char(';') && !quoted)
                    break;
                else
                    value += c;
            }
            return value.trimmed();
        }
    }
    return {};
}

} // namespace

QString deviceTableName()
{
    const QString fileName = QStringLiteral("./modules/devConfig.ini");
    const QVariant name = QSettings(fileName, QSettings::IniFormat).value(QStringLiteral("common/name"), QString());
    // An unquoted comma makes the INI reader split the value into a list; the name is still the
    // one text the table holds.
    if (name.typeId() == QMetaType::QStringList)
        return writtenName(fileName);
    return name.toString();
}

Ui_Controler::Ui_Controler(QObject *parent)
    : QObject(parent)
    , systemMove([](QWindow *window) { return window->startSystemMove(); })
{
}

void Ui_Controler::setupUi(Widget *w)
{
    if (w->objectName().isEmpty())
        w->setObjectName(QStringLiteral("Widget"));
    widget = w;

    w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    w->setWindowOpacity(1.0);
    w->setAttribute(Qt::WA_TranslucentBackground);
    w->setStyleSheet(QStringLiteral("background:transparent;"));

    // The help menu shows the version the program was built as.
    QCoreApplication::setApplicationVersion(QStringLiteral(MOUSECFG_VERSION));

    view = new myQQuickView(w);
    view->setObjectName(QStringLiteral("ui_View"));
    view->setAttribute(Qt::WA_AlwaysStackOnTop);
    view->setClearColor(Qt::transparent);

    // The scene only reaches the context properties from functions and handlers that run later,
    // so they may be published after it has loaded.
    view->setSource(QUrl(QStringLiteral("qrc:/modules/qml/main.qml")));
    if (view->status() == QQuickWidget::Error) {
        const QList<QQmlError> errors = view->errors();
        for (const QQmlError &error : errors)
            qWarning() << error.toString();
    }
    QQmlContext *context = view->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), view);
    context->setContextProperty(QStringLiteral("hid"), &w->hid);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);

    w->resize(view->size());
    w->setWindowTitle(deviceTableName());
}

void Ui_Controler::onMinimize()
{
    if (widget)
        widget->showMinimized();
}

void Ui_Controler::onClose()
{
    if (!widget)
        return;
    // Without a tray a hidden window could not be reached again: it is minimised instead.
    if (widget->trayAvailable())
        widget->setVisible(false);
    else
        widget->showMinimized();
}

void Ui_Controler::onXChanged(int x)
{
    if (!widget || !view)
        return;
    const QRect &r0 = widget->screenRect0;
    const QRect &r1 = widget->screenRect1;
    const int nx = widget->x() + x;
    const int ww = widget->width();
    const bool screen1Right = r1.left() > 0;

    if (widget->onFirstScreen) {
        if (screen1Right ? nx > r0.width() : nx < -ww) {
            view->setScreenChange(r1.width());
            widget->onFirstScreen = false;
        }
    } else {
        if (screen1Right ? nx < r0.width() - ww : nx > 0) {
            view->setScreenChange(r0.width());
            widget->onFirstScreen = true;
        }
    }
    widget->move(nx, widget->y());
}

void Ui_Controler::onYChanged(int y)
{
    if (widget)
        widget->move(widget->x(), widget->y() + y);
}

bool Ui_Controler::startSystemMove()
{
    QWindow *window = widget ? widget->windowHandle() : nullptr;
    if (!window || !systemMove || !systemMove(window))
        return false;
    // The window system holds the pointer until the button is released, and that release never
    // reaches the scene: the press ends here, so that the next one starts afresh.
    if (QQuickItem *grabber = view ? view->quickWindow()->mouseGrabberItem() : nullptr)
        grabber->ungrabMouse();
    return true;
}

void Ui_Controler::setBusy(int busyTime)
{
    if (view)
        view->invokeRoot("setProtectUI", Qt::DirectConnection, {busyTime});
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}

void Ui_Controler::reSizeWinodws(int mainW, int mainH)
{
    if (widget)
        widget->resize(mainW, mainH);
}
