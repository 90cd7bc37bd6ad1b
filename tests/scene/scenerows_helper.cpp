// SPDX-License-Identifier: GPL-3.0-or-later
// The words of scene table rows. Steps:
//   click NAME[@X,Y]  right NAME[@X,Y]  dclick NAME[@X,Y]   press an item (at a point of it)
//   type NAME TEXT  typing NAME TEXT                         replace a field's text, Enter or not
//   keys TEXT  enter  backspace                              typed where the focus is
//   choose LIST ROW                                          a drop-down's row, as a user picks it
//   down XX  up XX  tap XX                                   USB key codes as the capture hands them on
//   call [NAME.]FUNCTION ARGS  set NAME.PROPERTY VALUE       numbers, true/false, lists A,B, else text
//   rate N                                                   the fire rate slider's index
//   clear  wait MS                                           forget the wire log; let time pass
// Checks, "SUBJECT = VALUE", lists joined by ',':
//   NAME.PROPERTY (NAME may be PARENT/CHILD, root or view)  ini KEY (the profile in use)  global KEY
//   factory KEY (the factory profile's)
//   sent CODE pN / dN: the last command of that code, its payload / data bytes from N, in hex
//   codes: the command codes sent since the last clear
#include "scene_helper.h"

#include "input/inputforward.h"

#include <QJSValue>
#include <QQuickItem>
#include <QtTest>

namespace scenetest {

namespace {

QObject *object(SceneRig &scene, const QString &path)
{
    QObject *found = nullptr;
    for (const QString &name : path.split('/')) {
        QObject *in = found ? found : scene.root();
        found = name == "root" ? scene.root() : name == "view" ? scene.view() : in->findChild<QObject *>(name);
        if (!found)
            found = in == scene.root() ? scene.item(name) : vdevtest::findItem(qobject_cast<QQuickItem *>(in), name);
        if (!found)
            return nullptr;
    }
    return found;
}

QVariant parsed(const QString &word)
{
    if (word.contains(',')) {
        QVariantList list;
        for (const QString &item : word.split(','))
            list << parsed(item);
        return list;
    }
    bool number = false;
    const int value = word.toInt(&number);
    if (number)
        return value;
    if (word == "true" || word == "false")
        return word == "true";
    return word;
}

QString text(QVariant value)
{
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        value = value.value<QJSValue>().toVariant();
    if (value.canConvert<QStringList>() && value.metaType().id() != QMetaType::QString)
        return value.toStringList().join(',');
    return value.toString();
}

// "NAME@X,Y": the name, and the point (null for the centre).
QPointF point(const QString &word, QString *name)
{
    *name = word.section('@', 0, 0);
    const QStringList xy = word.section('@', 1).split(',');
    return xy.size() == 2 ? QPointF(xy[0].toDouble(), xy[1].toDouble()) : QPointF();
}

std::optional<QString> value(SceneRig &scene, int mouse, const QStringList &w, const Custom &custom)
{
    const QString key = w.value(1);
    if (w[0] == "ini")
        return text(scene.profile(mouse, scene.view()->currentProfile)->value(key));
    if (w[0] == "global")
        return text(scene.global(mouse)->value(key));
    if (w[0] == "factory")
        return text(QSettings(scene.settingFile(mouse, "pD.bin"), QSettings::IniFormat).value(key));
    if (w[0] == "codes")
        return QString(scene.codes());
    if (w[0] == "sent") {
        Command last;
        for (const Command &c : scene.commands())
            if (c.code() == key.toInt(nullptr, 16))
                last = c;
        const QByteArray &bytes = w.value(2).startsWith('p') ? last.payload : last.data;
        return QString(bytes.mid(w.value(2).mid(1).toInt()).toHex(' '));
    }
    if (w.size() == 1 && w[0].contains('.')) {
        QObject *o = object(scene, w[0].section('.', 0, -2));
        return o ? text(o->property(qPrintable(w[0].section('.', -1)))) : QString("none");
    }
    return custom ? custom(w) : std::nullopt;
}

void step(SceneRig &scene, const QStringList &w, const Custom &custom)
{
    const QString rest = w.mid(2).join(' ');
    QString name;
    const QPointF at = point(w.value(1), &name);
    if (w[0] == "click" || w[0] == "right" || w[0] == "dclick")
        scene.clickItem(name, at, w[0] == "right" ? Qt::RightButton : Qt::LeftButton, w[0] == "dclick");
    else if (w[0] == "type" || w[0] == "typing")
        scene.type(name, rest, w[0] == "type");
    else if (w[0] == "keys")
        QTest::keyClicks(scene.view(), w.mid(1).join(' '));
    else if (w[0] == "enter" || w[0] == "backspace")
        QTest::keyClick(scene.view(), w[0] == "enter" ? Qt::Key_Return : Qt::Key_Backspace);
    else if (w[0] == "choose")
        scene.choose(name, w.value(2).toInt());
    else if (w[0] == "down" || w[0] == "up" || w[0] == "tap") {
        for (bool down : {true, false})
            if (w[0] == "tap" || (w[0] == "down") == down)
                forwardKeyboardToScene(uchar(name.toInt(nullptr, 16)), down, scene.view());
        QCoreApplication::processEvents();
    } else if (w[0] == "call") {
        QVariantList args;
        for (const QString &a : w.mid(2))
            args << parsed(a);
        scene.call(name.contains('.') ? object(scene, name.section('.', 0, 0)) : scene.root(),
                   qPrintable(name.section('.', -1)), args);
    } else if (w[0] == "set") {
        QObject *o = object(scene, name.section('.', 0, 0));
        QVERIFY2(o, qPrintable(name));
        o->setProperty(qPrintable(name.section('.', 1)), parsed(rest));
    } else if (w[0] == "rate") {
        scene.call(scene.item("fireRateSlider")->property("sliderControl").value<QObject *>(), "setIndexValue",
                   {name.toInt(), true});
    } else if (w[0] == "clear" || w[0] == "wait") {
        w[0] == "clear" ? scene.clearWire() : QTest::qWait(name.toInt());
    } else {
        QVERIFY2(custom && custom(w), "unknown step");
    }
}

} // namespace

void play(SceneRig &scene, int mouse, const QStringList &lines, const Custom &custom)
{
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        const int is = line.indexOf(" =");
        if (is < 0) {
            step(scene, line.split(' '), custom);
        } else {
            const QStringList subject = line.left(is).split(' ');
            const QString expected = line.mid(is + 2).trimmed();
            // A command's bytes are compared as far as the row gives them.
            const int length = subject[0] == "sent" ? int(expected.size()) : -1;
            const auto actual = [&] { return value(scene, mouse, subject, custom).value_or("unknown: " + line).left(length); };
            QTRY_VERIFY2(actual() == expected, qPrintable("\"" + line + "\" reads " + actual()));
        }
        if (QTest::currentTestFailed())
            return;
    }
}

} // namespace scenetest
