// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole program as a user meets it: the real main window, view, backend and scene in a
// private copy of the data folder, with virtual mice behind the hidapi seam. Tests press at
// design coordinates (the 1024 x 640 layout, scaled like the window) and read the wire log
// and the INI files.

#include "device/widget_rig.h"

#include <QPointF>
#include <QSettings>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class QQuickItem;

namespace scenetest {

// One command on the wire: the 8 payload bytes and the data phase that followed it.
struct Command
{
    QByteArray payload;
    QByteArray data;
    int code() const { return payload.isEmpty() ? -1 : uchar(payload.at(0)); }
};

class SceneRig
{
public:
    // Plugs the given mice (their settings say `language` when it is not empty), runs the
    // device check and waits until the window is ready.
    explicit SceneRig(std::initializer_list<int> mice = {vdev::Mouse560}, const QString &language = QString());

    vdevtest::WidgetRig rig;

    vdev::VirtualDevice &device() { return *rig.device; }
    myQQuickView *view() { return rig.view(); }
    QQuickItem *root();
    // The scene item of that object name (fails the test when there is none).
    QQuickItem *item(const QString &objectName);
    QVariant call(const char *function, const QVariantList &args = {});
    QVariant call(QObject *target, const char *function, const QVariantList &args = {});
    QVariant rootProperty(const char *name);

    // A click (or a double click) at the centre or at a point of a named item.
    void clickItem(const QString &objectName, QPointF offset = QPointF(), Qt::MouseButton button = Qt::LeftButton,
                   bool twice = false);
    // Opens a drop-down list and picks a row, as a user does.
    void choose(const QString &list, int row);
    // Clicks a text field, replaces its text and presses Enter `enters` times.
    void type(const QString &field, const QString &text, int enters = 1);
    // The view's own position of a design point.
    QPoint toView(QPointF design);

    // Connect (plug, device check) and wait until the busy lock has been released.
    void connect(int mouse);
    void waitReady();

    // Commands sent to the mice since the last clear, in order.
    QList<Command> commands();
    // Their command bytes as hex text, e.g. "80 82 02".
    QByteArray codes();
    void clearWire() { device().clearWireLog(); }

    QString settingFile(int mouse, const QString &name) const;
    std::unique_ptr<QSettings> profile(int mouse, int slot) const;
    std::unique_ptr<QSettings> global(int mouse) const;
};

// A test's own words for play(): a step's words (answered with anything) or a check's subject
// (answered with its value as text); nullopt for words it does not know either.
using Custom = std::function<std::optional<QString>(const QStringList &words)>;

// Plays a table row on the scene, line by line: steps, and checks "SUBJECT = VALUE" that wait
// until the subject reads as the value. The INI files read are `mouse`'s. The vocabulary is
// listed in scenerows_helper.cpp.
void play(SceneRig &scene, int mouse, const QStringList &lines, const Custom &custom = {});

} // namespace scenetest
