// Draws an orbit diagram through pictor's exported operations and saves it
// as a BMP file: pictor_example [file.bmp]. With DISPLAY set and --show,
// the window is shown on the screen until a key is pressed in it.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "pictor.h"

namespace {

constexpr int kBlack = 0x000000, kWhite = 0xFFFFFF, kYellow = 0x00FFFF, kGrey = 0x808080;
constexpr int kBlue = 0xFF8000, kRed = 0x2020E0, kCyan = 0xFFFF00, kGreen = 0x40C040;

void drawOrbit(int cx, int cy, int radius, double angleDegrees, int planetColour, int planetRadius,
               const char* name) {
    Pen(kGrey, 2, 0); // dotted orbit
    BrushStyle(1);
    DrawFrom(cx, cy);
    DrawCircle(radius);
    // The planet: its direction in the library's convention (0 left, clockwise).
    int px = cx, py = cy;
    CalcPoint(&px, &py, angleDegrees, radius);
    Pen(planetColour, 0, 0);
    Brush(planetColour, 0, 0);
    DrawFrom(px, py);
    DrawCircle(planetRadius);
    GfxFont("Arial", 0, 16, 4, kWhite, 0, 0.0);
    DrawFrom(px + planetRadius + 4, py - 8);
    DrawTextRow(name, 0);
}

} // namespace

int main(int argc, char** argv) {
    const char* file = "pictor-example.bmp";
    bool show = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--show") == 0)
            show = true;
        else
            file = argv[i];
    }
    const int width = 640, height = 480;
    if (PictorHostOpen(width, height, show ? -1 : 0) != 0) {
        std::fprintf(stderr, "pictor_example: the graphics window cannot be opened\n");
        return 1;
    }
    GfxOption(1, 0);
    GfxOption(6, 0);
    GfxWindow(2); // draw the whole picture, then reveal it at once
    BrushColor(kBlack);
    GfxCLS();

    // A starry background.
    unsigned seed = 12345;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int x = static_cast<int>((seed >> 8) % width);
        seed = seed * 1103515245u + 12345u;
        const int y = static_cast<int>((seed >> 8) % height);
        DrawPixel(x, y, (i % 3 == 0) ? kWhite : kGrey);
    }

    const int cx = 300, cy = 250;
    drawOrbit(cx, cy, 60, 30.0, kGrey, 4, "Mercury");
    drawOrbit(cx, cy, 105, 135.0, kYellow, 6, "Venus");
    drawOrbit(cx, cy, 150, 250.0, kBlue, 7, "Earth");
    drawOrbit(cx, cy, 205, 320.0, kRed, 5, "Mars");

    // The Sun: a yellow outline flood-filled up to its border colour.
    Pen(kYellow, 0, -2);
    BrushStyle(1);
    DrawFrom(cx, cy);
    DrawCircle(18);
    Brush(0x00C0FF, 0, 0);
    DrawFlood(0, kYellow);

    // The Earth's direction of motion: an arc and an arrow.
    Pen(kCyan, 0, 0);
    DrawFrom(cx, cy);
    DrawArc(340, 340, 240, 270);
    DrawFrom(cx, cy);
    DrawAngle(250.0, 150);
    // A hatched legend box with text.
    Brush(kGreen, 2, 4);
    DrawFrom(470, 20);
    DrawArea(150, 60);
    Pen(kGreen, 0, 0);
    DrawLine(470, 20, 620, 20);
    DrawTo(620, 80);
    DrawTo(470, 80);
    DrawTo(470, 20);
    GfxFont("Arial", 0, 18, 7, kWhite, 0, 0.0);
    DrawFrom(480, 30);
    DrawTextRow("Inner planets", 0);
    GfxFont("Arial", 0, 14, 4, kCyan, 2, 0.0);
    DrawFrom(480, 55);
    DrawTextRow("pictor example", 0);
    // A rotated label along the left edge.
    GfxFont("Arial", 0, 16, 4, kGrey, 1, 90.0);
    DrawFrom(12, 440);
    DrawTextRow("ecliptic view, not to scale", 0);

    GfxWindow(3);
    const int depth = SaveGfxWindow(file);
    if (depth >= PICTOR_ERROR_FLOOR) {
        std::fprintf(stderr, "pictor_example: %s cannot be written (error %d)\n", file, depth);
        PictorHostClose();
        return 1;
    }
    std::printf("%s: %d x %d, %d bits per pixel\n", file, GfxMetrics(2), GfxMetrics(7), depth);
    if (show && hGfx() != 0) {
        std::printf("press a key in the window\n");
        PictorHostEvent ev{};
        while (!(PictorHostPollEvent(&ev) && ev.type == PICTOR_EVENT_KEY)) {
            timespec t{0, 20000000L};
            nanosleep(&t, nullptr);
        }
    }
    PictorHostClose();
    return 0;
}
