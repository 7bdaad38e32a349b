#include "window_table.h"

#include <vector>

#include "colour.h"

namespace pictor {

namespace {
std::vector<std::unique_ptr<WindowRecord>>& table() {
    static std::vector<std::unique_ptr<WindowRecord>> entries = [] {
        std::vector<std::unique_ptr<WindowRecord>> t;
        t.push_back(std::make_unique<WindowRecord>());
        return t;
    }();
    return entries;
}
} // namespace

Background WindowRecord::background() const {
    return {pixelFromColour(backgroundColour), !transparentBackground};
}

StrokeStyle WindowRecord::stroke() const {
    return {pixelFromColour(pen.colour), pen.style, pen.widthPx, background()};
}

FillStyle WindowRecord::fill() const {
    return {pixelFromColour(brush.colour), brush.style, brush.hatch, background()};
}

int windowTableSize() {
    return static_cast<int>(table().size());
}

void growWindowTable(int number) {
    auto& t = table();
    while (static_cast<int>(t.size()) <= number) {
        t.push_back(std::make_unique<WindowRecord>());
        t.back()->number = static_cast<int>(t.size()) - 1;
    }
}

WindowRecord* windowEntry(int number) {
    if (number < 0 || number >= windowTableSize()) return nullptr;
    return table()[static_cast<size_t>(number)].get();
}

WindowRecord* openWindow(int number) {
    WindowRecord* w = windowEntry(number);
    return (w && w->open) ? w : nullptr;
}

int& currentWindowNumber() {
    static int current = 0;
    return current;
}

void closeWindowRecord(WindowRecord& w) {
    const int number = w.number;
    const MouseState mouse = w.mouse; // the pointer stays where it is
    w = WindowRecord{};
    w.number = number;
    w.mouse = mouse;
}

WindowRecord* windowOfScreen(const ScreenWindow* screen) {
    for (auto& entry : table())
        if (entry->screen && entry->screen.get() == screen) return entry.get();
    return nullptr;
}

} // namespace pictor
