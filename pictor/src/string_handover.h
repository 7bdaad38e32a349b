// String arguments: borrowed by default; in hand-over mode the library owns
// each one and releases it with free() when the operation returns.
#pragma once
#include <string_view>

namespace pictor {

// Hand-over mode: on when the main executable exports Gfx_OleStringParams
// (looked up when the library loads) or after GfxOption(199, non-zero).
bool& stringHandover();

// How owned strings are released: free() unless a test counts them.
using StringRelease = void (*)(void*);
void setStringRelease(StringRelease release);

// Looks up the Gfx_OleStringParams marker in the running process.
bool processExportsHandoverMarker();

// One string argument for the duration of an operation; releases it on
// destruction when hand-over mode is on, on every return path.
class StringArgument {
  public:
    explicit StringArgument(const char* text) : text_(text) {}
    ~StringArgument();
    StringArgument(const StringArgument&) = delete;
    StringArgument& operator=(const StringArgument&) = delete;

    bool missing() const { return text_ == nullptr; }
    std::string_view view() const { return text_ ? std::string_view(text_) : std::string_view(); }

  private:
    const char* text_;
};

} // namespace pictor
