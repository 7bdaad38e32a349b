#include "screen.h"

namespace pictor {

namespace {
ScreenFactory& factoryOverride() {
    static ScreenFactory factory;
    return factory;
}
} // namespace

bool& screenWanted() {
    static bool wanted = false;
    return wanted;
}

void setScreenFactory(ScreenFactory factory) {
    factoryOverride() = std::move(factory);
}

std::unique_ptr<ScreenWindow> openScreenWindow(const ScreenRequest& request) {
    if (factoryOverride()) return factoryOverride()(request);
    if (!screenWanted()) return nullptr;
    return openX11Window(request);
}

void pumpScreenEvents(const ScreenEventSink& sink) {
    pumpX11Events(sink);
}

} // namespace pictor
