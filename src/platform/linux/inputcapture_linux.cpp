// SPDX-License-Identifier: GPL-3.0-or-later
// Choice of capture on Linux: the whole X11 desktop where the server allows it, else our own
// windows. A Wayland session gives no client a global view of the input; an X11 client there
// (XWayland) would see only the keys that go to other X11 clients, so it takes our own windows too.
#include "platform/inputcapture.h"
#include "platform/linux/windowcapture.h"
#include "platform/linux/x11capture.h"

std::unique_ptr<InputCapture> installBestInputCapture(InputSink *sink)
{
    if (qgetenv("XDG_SESSION_TYPE") != "wayland") {
        auto x11 = std::make_unique<X11Capture>(sink);
        if (x11->install())
            return x11;
    }
    auto window = std::make_unique<WindowCapture>(sink);
    if (window->install())
        return window;
    return nullptr;
}
