// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene_helper.h"

#include "device/protocol.h"

#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

namespace scenetest {

namespace {

QString folderOf(int mouse)
{
    return QStringLiteral("modules/") + QString::number(vdev::mouseModel(mouse).productId, 16);
}

} // namespace

SceneRig::SceneRig(std::initializer_list<int> mice, const QString &language)
{
    QStandardPaths::setTestModeEnabled(true);
    if (!language.isEmpty())
        for (int mouse : mice)
            vdevtest::setDeviceSetting(rig.dir.path(), mouse, "common/language", language);
    rig.widget->show();
    for (int mouse : mice)
        device().plug(mouse);
    rig.widget->checkDevice();
    if (mice.size() > 0)
        waitReady();
}

QQuickItem *SceneRig::root()
{
    return view()->rootObject();
}

QQuickItem *SceneRig::item(const QString &objectName)
{
    // Views create their delegates when the scene is next laid out.
    QQuickItem *found = nullptr;
    (void)QTest::qWaitFor([&] {
        found = root() ? root()->findChild<QQuickItem *>(objectName) : nullptr;
        if (!found && root())
            found = vdevtest::findItem(root(), objectName);
        return found != nullptr;
    }, 1000);
    if (!found)
        qWarning() << "no scene item" << objectName;
    return found;
}

QVariant SceneRig::call(QObject *target, const char *function, const QVariantList &args)
{
    QVariant result;
    QGenericArgument a[5];
    for (int i = 0; i < args.size() && i < 5; ++i)
        a[i] = Q_ARG(QVariant, args.at(i));
    // Scene functions return a QVariant; backend slots may return nothing.
    bool returnsValue = true;
    if (target) {
        const QMetaObject *meta = target->metaObject();
        for (int m = 0; m < meta->methodCount(); ++m)
            if (meta->method(m).name() == function && meta->method(m).parameterCount() == args.size())
                returnsValue = meta->method(m).returnType() != QMetaType::Void;
    }
    const bool called = target
        && (returnsValue ? QMetaObject::invokeMethod(target, function, Q_RETURN_ARG(QVariant, result), a[0], a[1],
                                                     a[2], a[3], a[4])
                         : QMetaObject::invokeMethod(target, function, a[0], a[1], a[2], a[3], a[4]));
    if (!called)
        qWarning() << "cannot call" << function;
    return result;
}

QVariant SceneRig::call(const char *function, const QVariantList &args)
{
    return call(root(), function, args);
}

QVariant SceneRig::rootProperty(const char *name)
{
    return root()->property(name);
}

QPoint SceneRig::toView(QPointF design)
{
    const double rate = rootProperty("screenRate").toDouble();
    return (design * rate).toPoint();
}

namespace {

// The view's point of a named item's centre, or of a point in it.
bool itemPoint(SceneRig &rig, const QString &objectName, QPointF offset, QPoint *at)
{
    QQuickItem *target = rig.item(objectName);
    if (!target || !target->isVisible()) {
        qWarning() << objectName << (target ? "is hidden" : "is missing");
        return false;
    }
    // Positioners and views place their children when the scene is next laid out: lay out
    // the item's ancestors now, outermost first, so the point is where the user sees it.
    QList<QQuickItem *> chain;
    for (QQuickItem *i = target; i; i = i->parentItem())
        chain.prepend(i);
    for (QQuickItem *i : chain)
        i->ensurePolished();
    const QPointF local = offset.isNull() ? QPointF(target->width() / 2, target->height() / 2) : offset;
    *at = target->mapToScene(local).toPoint();
    return true;
}

} // namespace

void SceneRig::clickItem(const QString &objectName, QPointF offset, Qt::MouseButton button, bool twice)
{
    QPoint at;
    QVERIFY2(itemPoint(*this, objectName, offset, &at), qPrintable(objectName));
    QTest::mouseClick(view(), button, Qt::NoModifier, at);
    // As a window system reports a double click: a click, then the second press as a double
    // click, then its release.
    if (twice) {
        QTest::mouseDClick(view(), button, Qt::NoModifier, at);
        QTest::mouseRelease(view(), button, Qt::NoModifier, at);
    }
    QCoreApplication::processEvents();
}

void SceneRig::choose(const QString &list, int row)
{
    clickItem(list);
    QQuickItem *l = item(list);
    QVERIFY(l);
    QTRY_VERIFY(l->property("isDrop").toBool() && !l->property("moving").toBool());
    clickItem(list, QPointF(10, 24 + 24 * row + 12));
    QTRY_COMPARE(l->property("currentSelect").toInt(), row);
    // The choice is reported once the panel has closed.
    QTRY_VERIFY(!l->property("isDrop").toBool() && !l->property("moving").toBool());
}

void SceneRig::type(const QString &field, const QString &text, int enters)
{
    clickItem(field);
    QTest::keyClick(view(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(view(), text);
    for (int i = 0; i < enters; ++i)
        QTest::keyClick(view(), Qt::Key_Return);
}

void SceneRig::connect(int mouse)
{
    device().plug(mouse);
    rig.widget->checkDevice();
    waitReady();
}

void SceneRig::waitReady()
{
    // initUI reaches the scene queued, then locks the view for a second.
    QObject *lock = root()->findChild<QObject *>(QStringLiteral("lockTimer"));
    QVERIFY(lock);
    QTRY_VERIFY_WITH_TIMEOUT(lock->property("running").toBool(), 15000);
    // The pages are built in slices meanwhile: under a sanitizer or a loaded machine they may
    // still be building when the lock lifts, and the window is shown once they are.
    QQuickItem *pages = root()->findChild<QQuickItem *>(QStringLiteral("background"));
    QVERIFY(pages);
    QTRY_VERIFY_WITH_TIMEOUT(view()->isEnabled() && !lock->property("running").toBool() && pages->isVisible()
                                 && !rootProperty("initPending").toBool(),
                             30000);
    // Every connect asks the mouse for its state (0x80), and the answer moves the pages to the
    // device's own values: let it land, or a test's edits race it on a slow run.
    auto answered = [this] {
        bool asked = false;
        for (const vdev::WireEvent &e : device().wireLog()) {
            if (e.iface == vdev::Iface::Command && e.call == vdev::Call::SendFeature && e.bytes.size() == 9)
                asked = asked || e.bytes[1] == 0x80;
            else if (asked && e.iface == vdev::Iface::Status && e.result > 0)
                return true;
        }
        return !asked;
    };
    QTRY_VERIFY_WITH_TIMEOUT(answered(), 15000);
    // The polling thread hands the answer on through the event loop.
    QTest::qWait(100);
}

QList<Command> SceneRig::commands()
{
    QList<Command> out;
    for (const vdev::WireEvent &e : device().wireLog()) {
        if (e.iface != vdev::Iface::Command)
            continue;
        const QByteArray bytes(reinterpret_cast<const char *>(e.bytes.data()), int(e.bytes.size()));
        if (e.call == vdev::Call::SendFeature && bytes.size() == 9)
            out << Command{bytes.mid(1), {}};
        else if (e.call == vdev::Call::Write && !out.isEmpty())
            out.last().data += bytes.mid(1);
    }
    return out;
}

QByteArray SceneRig::codes()
{
    QByteArray text;
    for (const Command &c : commands())
        text += QByteArray::number(c.code(), 16).rightJustified(2, '0') + ' ';
    return text.trimmed();
}

QString SceneRig::settingFile(int mouse, const QString &name) const
{
    return rig.dir.path() + "/" + folderOf(mouse) + "/setting/" + name;
}

std::unique_ptr<QSettings> SceneRig::profile(int mouse, int slot) const
{
    return std::make_unique<QSettings>(settingFile(mouse, QString("p%1.bin").arg(slot + 1)), QSettings::IniFormat);
}

std::unique_ptr<QSettings> SceneRig::global(int mouse) const
{
    return std::make_unique<QSettings>(settingFile(mouse, "apConfig.bin"), QSettings::IniFormat);
}

} // namespace scenetest
