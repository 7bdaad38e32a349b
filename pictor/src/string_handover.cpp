#include "string_handover.h"

#include <cstdlib>
#include <dlfcn.h>

namespace pictor {

bool processExportsHandoverMarker() {
    void* self = dlopen(nullptr, RTLD_LAZY);
    if (!self) return false;
    const bool found = dlsym(self, "Gfx_OleStringParams") != nullptr;
    dlclose(self);
    return found;
}

bool& stringHandover() {
    static bool on = processExportsHandoverMarker();
    return on;
}

namespace {
StringRelease& release() {
    static StringRelease function = std::free;
    return function;
}
} // namespace

void setStringRelease(StringRelease function) {
    release() = function ? function : std::free;
}

StringArgument::~StringArgument() {
    if (text_ && stringHandover()) release()(const_cast<char*>(text_));
}

} // namespace pictor
