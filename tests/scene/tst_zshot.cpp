#include "scene_helper.h"
#include <QQuickItem>
#include <QtTest>
using namespace vdev;
class Shot : public QObject { Q_OBJECT
private slots:
    void shot() {
        for (int m : {Mouse553, Mouse560}) for (QString lang : {"English", "ChineseSimplified", "Ukrainian"}) {
            scenetest::SceneRig scene({m}, lang);
            QTest::qWait(200);
            scene.view()->grabFramebuffer().save(QString("/tmp/shot_%1_%2.png").arg(m).arg(lang));
        }
    }
};
QTEST_MAIN(Shot)
#include "tst_zshot.moc"
