// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The callbacks the entry point registers on InputHook: they pass each report on to the scene's
// root functions detectKeyboard(isDown, usbCode) and detectMouse(isDown, buttonCode, x, y),
// queued, so the capture never waits for QML. The context is the QML host view; a null
// context drops the report.

#include <QtGlobal>

void forwardKeyboardToScene(uchar code, uchar isDown, void *view);
void forwardMouseToScene(uchar button, uchar isDown, quint32 x, quint32 y, void *view);
