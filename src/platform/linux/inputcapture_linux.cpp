// Choice of capture on Linux: the whole X11 desktop where the server allows it, else our own
// windows (Wayland gives no client a global view of the input).
#include "platform/inputcapture.h"
#include "platform/linux/windowcapture.h"
#include "platform/linux/x11capture.h"

std::unique_ptr<InputCapture> installBestInputCapture(InputSink *sink)
{
    auto x11 = std::make_unique<X11Capture>(sink);
    if (x11->install())
        return x11;
    auto window = std::make_unique<WindowCapture>(sink);
    if (window->install())
        return window;
    return nullptr;
}
