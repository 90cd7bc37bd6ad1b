// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QRect>

// Where the Widget learns the screens' geometries; tests install their own to play one, two or
// more screens.
class ScreenSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ScreenSource() override = default;

    // Geometry of each screen; index 0 is the primary screen.
    virtual QList<QRect> screenGeometries() const = 0;

signals:
    // A screen was added or removed, or one changed its geometry.
    void resized(int screen);
};

// The screens as Qt reports them.
class QtScreenSource : public ScreenSource
{
    Q_OBJECT
public:
    explicit QtScreenSource(QObject *parent = nullptr);
    QList<QRect> screenGeometries() const override;

private:
    void watch(class QScreen *screen);
};
