// Runs every tests/qml/tst_*.qml. Recorders stand in for the scene's native partners under
// their real names ("ui_View", "ui_Ctl"), so a test can load the program's main.qml; the engine
// finds the skin pictures as the program's view does.
#include "view/skinurls.h"

#include <QObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QVariantMap>
#include <QtQuickTest>

class ViewRecorder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled MEMBER enabled NOTIFY changed)
    Q_PROPERTY(QVariantMap globals MEMBER globals NOTIFY changed)
public:
    bool enabled = true;
    QVariantMap globals;
    Q_INVOKABLE void setEnabled(bool on) { enabled = on; emit changed(); }
    Q_INVOKABLE QVariant getGlobalData(QVariant key) const { return globals.value(key.toString()); }
    Q_INVOKABLE void reset() { enabled = true; globals.clear(); emit changed(); }
signals:
    void changed();
};

class ControllerRecorder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int resizeCalls MEMBER resizeCalls NOTIFY changed)
    Q_PROPERTY(QSizeF lastSize MEMBER lastSize NOTIFY changed)
public:
    int resizeCalls = 0;
    QSizeF lastSize;
    Q_INVOKABLE void reSizeWinodws(int w, int h) { ++resizeCalls; lastSize = QSizeF(w, h); emit changed(); }
    Q_INVOKABLE void onXChanged(int) {}
    Q_INVOKABLE void onYChanged(int) {}
    Q_INVOKABLE bool startSystemMove() { return false; }
    Q_INVOKABLE void reset() { resizeCalls = 0; lastSize = QSizeF(); emit changed(); }
signals:
    void changed();
};

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        installSkinUrlInterceptor(engine);
        engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), &view);
        engine->rootContext()->setContextProperty(QStringLiteral("ui_Ctl"), &controller);
    }

private:
    ViewRecorder view;
    ControllerRecorder controller;
};

QUICK_TEST_MAIN_WITH_SETUP(qmltests, Setup)

#include "tst_qmltests.moc"
