// The 16 classic console colours on a terminal.
#pragma once

#include <array>

namespace console {

// The console numbers its colours blue-first (1 blue, 4 red, 6 brown, ...),
// ANSI red-first (1 red, 3 yellow, 4 blue, ...); bright colours are +8 in
// both. Returns the ANSI colour index 0..15 of console colour 0..15.
constexpr int ansiFromConsoleColor(int consoleColor) {
    constexpr std::array<int, 8> base = {0, 4, 2, 6, 1, 5, 3, 7};
    const int c = ((consoleColor % 16) + 16) % 16;
    return base[c & 7] + (c & 8);
}

} // namespace console
