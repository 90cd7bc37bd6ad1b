// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>

class Widget;

// Application-wide filter for WM_COPYDATA: every such message is handled (result 1); a record
// that passes the checks raises the warning box captioned with the Widget's title.
class CopyDataFilter : public QAbstractNativeEventFilter
{
public:
    explicit CopyDataFilter(Widget *widget) : m_widget(widget) {}
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    Widget *m_widget;
};

// Installs one filter for the application's lifetime.
void installCopyDataFilter(Widget *widget);
