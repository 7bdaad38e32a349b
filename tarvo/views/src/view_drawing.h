// Drawing one frame of the graphics view on pictor's window 0: grid, stars,
// nebulae, constellation labels, bodies with their names, trails and marks.
#pragma once

#include "tarvo/reductions/run_context.h"
#include "tarvo/views/graphics_view_settings.h"
#include "view_projector.h"
#include "view_scene.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo::views {

// An object drawn in the last frame, for "Search Obj".
struct DrawnObject {
    std::string name;        // trimmed
    std::string designation; // trimmed
    std::string number;      // body number or star sequence number
    PixelPlace at;
    ViewVector direction{}; // scene frame (sky views), for redirecting the view
};

// What the view keeps between frames.
struct DrawMemory {
    std::vector<std::optional<PixelPlace>> lastBodyPlace; // for the line trails
    std::vector<DrawnObject> drawn;
    int spaceOverlap[4] = {0, 0, 0, 0}; // two groups of bodies drawn in their own colours (Q)
    bool spaceOverlapOn = false;
};

inline constexpr int rgb(int r, int g, int b) {
    return r | g << 8 | b << 16;
}

// Colour of a star of colour class k (B-V), with the brightness factor f in 0..1.
int starColour(int colourClass, bool colours, double intensity);
// Drawn radius of a star of magnitude m: 0 is a single pixel.
struct StarMark {
    int radius = 0;
    double intensity = 1; // 0..1
    bool drawn = false;
};
StarMark starMark(double magnitude, double limit, int brightness);

// Draws the frame; W and H the canvas size in pixels.
void drawFrame(const Scene& scene, const RunContext& run, const GraphicsViewSettings& view,
               int width, int height, DrawMemory& memory);

// The date text written into saved pictures ("2024/04/08 18:00:00 UT").
std::string frameDateText(const Scene& scene);

} // namespace tarvo::views
