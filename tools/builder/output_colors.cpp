// ASC/COLORS.DAT: the default display colours of bodies 0..31, one line of
// red, green, blue (0..255) each. Chosen to be distinct and readable on a
// black background; the planets keep their customary hues.
#include "builder_output.h"
#include "builder_text.h"

#include <array>
#include <cstdio>

namespace {

struct Rgb {
    int red, green, blue;
};

// Index layout of the planetary data sets: 0 Sun, 1..9 planets, 10 Moon,
// 11..13 the three big asteroids, then perturbing asteroids.
constexpr std::array<Rgb, 32> kBodyColours{{
    {255, 255, 0},   // Sun
    {190, 190, 190}, // Mercury
    {255, 235, 160}, // Venus
    {70, 140, 255},  // Earth
    {255, 80, 50},   // Mars
    {255, 170, 90},  // Jupiter
    {230, 210, 130}, // Saturn
    {120, 230, 230}, // Uranus
    {90, 110, 255},  // Neptune
    {200, 150, 110}, // Pluto
    {235, 235, 235}, // Moon
    {0, 200, 120},   // Ceres
    {200, 120, 255}, // Pallas
    {255, 120, 200}, // Vesta
    {150, 255, 80},  {255, 200, 0},   {0, 255, 255},   {255, 100, 100}, {160, 160, 255},
    {255, 160, 60},  {100, 255, 180}, {220, 100, 255}, {180, 220, 60},  {60, 200, 255},
    {255, 130, 160}, {200, 200, 100}, {130, 255, 255}, {255, 90, 200},  {150, 200, 150},
    {255, 220, 180}, {120, 180, 255}, {230, 150, 230},
}};

builder::Registration colors{{
    .path = "ASC/COLORS.DAT",
    .order = 10,
    .version = "1",
    .inputs = {},
    .optionKeys = {},
    .build =
        [](const builder::BuildContext&, const std::filesystem::path& target) {
            std::vector<std::string> lines;
            for (const auto& c : kBodyColours) {
                char line[32];
                std::snprintf(line, sizeof line, "%d,%d,%d", c.red, c.green, c.blue);
                lines.emplace_back(line);
            }
            builder::writeCrLfLines(target, lines);
        },
}};

} // namespace
