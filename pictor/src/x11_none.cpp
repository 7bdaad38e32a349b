// Built without X11: every window stays off-screen.
#include "screen.h"

namespace pictor {

std::unique_ptr<ScreenWindow> openX11Window(const ScreenRequest&) {
    return nullptr;
}
void pumpX11Events(const ScreenEventSink&) {}

} // namespace pictor
