// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every tests/qml/tst_*.qml; the engine finds the skin pictures as the program's view does.
#include "view/skinurls.h"

#include <QObject>
#include <QQmlEngine>
#include <QtQuickTest>

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine) { installSkinUrlInterceptor(engine); }
};

QUICK_TEST_MAIN_WITH_SETUP(qmltests, Setup)

#include "tst_qmltests.moc"
