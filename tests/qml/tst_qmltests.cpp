// Runs every tests/qml/tst_*.qml. The scene's native partners are stood in for by small
// recorders published under their real names, so a test can load the program's main.qml.
#include <QObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QVariantMap>
#include <QtQuickTest>

// Stands in for "ui_View": the busy lock's enable switch and the global settings.
class ViewRecorder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled MEMBER enabled NOTIFY changed)
    Q_PROPERTY(int enableCalls MEMBER enableCalls NOTIFY changed)
    Q_PROPERTY(QVariantMap globals MEMBER globals NOTIFY changed)
public:
    bool enabled = true;
    int enableCalls = 0;
    QVariantMap globals;

    Q_INVOKABLE void setEnabled(bool on)
    {
        enabled = on;
        ++enableCalls;
        emit changed();
    }
    Q_INVOKABLE QVariant getGlobalData(QVariant key) const { return globals.value(key.toString()); }
    Q_INVOKABLE void reset()
    {
        enabled = true;
        enableCalls = 0;
        globals.clear();
        emit changed();
    }
signals:
    void changed();
};

// Stands in for "ui_Ctl": records resize requests and drag offsets.
class ControllerRecorder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int resizeCalls MEMBER resizeCalls NOTIFY changed)
    Q_PROPERTY(int lastWidth MEMBER lastWidth NOTIFY changed)
    Q_PROPERTY(int lastHeight MEMBER lastHeight NOTIFY changed)
    Q_PROPERTY(int dragX MEMBER dragX NOTIFY changed)
    Q_PROPERTY(int dragY MEMBER dragY NOTIFY changed)
public:
    int resizeCalls = 0, lastWidth = 0, lastHeight = 0, dragX = 0, dragY = 0;

    Q_INVOKABLE void reSizeWinodws(int w, int h)
    {
        ++resizeCalls;
        lastWidth = w;
        lastHeight = h;
        emit changed();
    }
    Q_INVOKABLE void onXChanged(int x) { dragX += x; emit changed(); }
    Q_INVOKABLE void onYChanged(int y) { dragY += y; emit changed(); }
    Q_INVOKABLE void onMinimize() {}
    Q_INVOKABLE void onClose() {}
    Q_INVOKABLE void reset()
    {
        resizeCalls = lastWidth = lastHeight = dragX = dragY = 0;
        emit changed();
    }
signals:
    void changed();
};

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), &view);
        engine->rootContext()->setContextProperty(QStringLiteral("ui_Ctl"), &controller);
    }

private:
    ViewRecorder view;
    ControllerRecorder controller;
};

QUICK_TEST_MAIN_WITH_SETUP(qmltests, Setup)

#include "tst_qmltests.moc"
