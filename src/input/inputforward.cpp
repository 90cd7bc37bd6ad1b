// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/inputforward.h"

#include "view/myqquickview.h"

void forwardKeyboardToScene(uchar code, uchar isDown, void *view)
{
    if (!view)
        return;
    static_cast<myQQuickView *>(view)->invokeRoot("detectKeyboard", Qt::QueuedConnection,
                                                  {QVariant(isDown != 0), QVariant(int(code))});
}

void forwardMouseToScene(uchar button, uchar isDown, quint32 x, quint32 y, void *view)
{
    if (!view)
        return;
    static_cast<myQQuickView *>(view)->invokeRoot(
        "detectMouse", Qt::QueuedConnection,
        {QVariant(isDown != 0), QVariant(uint(button)), QVariant(uint(x)), QVariant(uint(y))});
}
