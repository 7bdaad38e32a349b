// Pens, brushes, background colour and fonts.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "colour.h"
#include "drawing_state.h"
#include "pictor.h"
#include "string_handover.h"
#include "window_table.h"

using namespace pictor;

namespace {

constexpr int kMaxPenWidth = 9999; // logical units
constexpr size_t kMaxFaceBytes = 32;
constexpr int kWeightWidening = 100; // weights below 10 are hundreds

bool visibleStyledPen(int style) {
    return style >= kPenDashed && style <= kPenDashDotDot;
}
bool invisiblePen(int style) {
    return style == kPenInvisible || style == kPenInvisibleStored;
}

int setPen(WindowRecord& w, int colour, int style, int width) {
    if (style == kPenInvisibleStored) style = kPenInvisible;
    // Widths beyond 9999 either way are refused: a pen that wide covers any
    // canvas from any point.
    if (style < kPenSolid || style > kPenInvisible || !isValidColour(colour) ||
        width > kMaxPenWidth || width < -kMaxPenWidth)
        return PICTOR_ERR_ARGUMENT;
    int pixels = penPixelWidth(w, width);
    const int currentStyle = w.pen.style == kPenInvisibleStored ? kPenInvisible : w.pen.style;
    // Styled lines are one pixel wide: a new style drops the width, a new
    // width on the same style falls back to a solid pen.
    if (visibleStyledPen(style)) {
        if (style != currentStyle) {
            pixels = 0;
            width = 0;
        } else if (pixels != w.pen.widthPx && pixels > 1) {
            style = kPenSolid;
        }
    }
    w.pen.style = style == kPenInvisible ? kPenInvisibleStored : style;
    w.pen.colour = colour;
    w.pen.width = width;
    w.pen.widthPx = pixels;
    return 0;
}

int setBrush(WindowRecord& w, int colour, int style, int hatch) {
    if (style == kBrushHollowStored) {
        style = kBrushHollow;
        hatch = 0;
    }
    if (style == kBrushSolid) hatch = 0;
    if (style < kBrushSolid || style > kBrushHatched || !isValidColour(colour) || hatch < 0 ||
        hatch > kHatchDiagonalCross)
        return PICTOR_ERR_ARGUMENT;
    if (style == kBrushHollow) hatch = 0;
    w.brush.style = style == kBrushHollow ? kBrushHollowStored : style;
    w.brush.colour = colour;
    w.brush.hatch = hatch;
    return 0;
}

} // namespace

extern "C" {

int PenEx(int window, int colour, int style, int width) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    return setPen(*w, colour, style, width);
}
int Pen(int colour, int style, int width) {
    return PenEx(currentWindowNumber(), colour, style, width);
}

int PenColorEx(int window, int colour) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    if (!isValidColour(colour)) return PICTOR_ERR_ARGUMENT;
    // Only a visible pen of another colour needs a new pen.
    if (colour == w->pen.colour || invisiblePen(w->pen.style)) {
        w->pen.colour = colour;
        return 0;
    }
    return setPen(*w, colour, w->pen.style, w->pen.width);
}
int PenColor(int colour) {
    return PenColorEx(currentWindowNumber(), colour);
}

int PenStyleEx(int window, int style) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    const int stored = style == kPenInvisible ? kPenInvisibleStored : style;
    if (stored == w->pen.style) return 0;
    return setPen(*w, w->pen.colour, style, w->pen.width);
}
int PenStyle(int style) {
    return PenStyleEx(currentWindowNumber(), style);
}

int BrushEx(int window, int colour, int style, int hatch) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    return setBrush(*w, colour, style, hatch);
}
int Brush(int colour, int style, int hatch) {
    return BrushEx(currentWindowNumber(), colour, style, hatch);
}

int BrushColorEx(int window, int colour) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    return setBrush(*w, colour, w->brush.style, w->brush.hatch);
}
int BrushColor(int colour) {
    return BrushColorEx(currentWindowNumber(), colour);
}

int BrushStyleEx(int window, int style) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    return setBrush(*w, w->brush.colour, style, w->brush.hatch);
}
int BrushStyle(int style) {
    return BrushStyleEx(currentWindowNumber(), style);
}

int GfxBkgdColorEx(int window, int colour) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    if (!isValidColour(colour)) return PICTOR_ERR_ARGUMENT;
    w->backgroundColour = colour;
    return 0;
}
int GfxBkgdColor(int colour) {
    return GfxBkgdColorEx(currentWindowNumber(), colour);
}

int GfxFontEx(int window, const char* face, int width, int height, int weight, int colour,
              int effects, double angle) {
    StringArgument faceArg(face);
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    const std::string_view text = faceArg.view();
    if (width < 0 || weight < 0 || text.empty() || !isValidColour(colour) || !std::isfinite(angle))
        return PICTOR_ERR_ARGUMENT;
    // "Face/charset": the face before the first "/", the character set after it.
    const size_t slash = text.find('/');
    std::string name(text.substr(0, std::min(slash, kMaxFaceBytes)));
    if (name.size() > kMaxFaceBytes) name.resize(kMaxFaceBytes);
    if (name.empty()) return PICTOR_ERR_ARGUMENT;
    int characterSet = 0;
    if (slash != std::string_view::npos)
        characterSet = std::atoi(std::string(text.substr(slash + 1)).c_str());
    FontRecord font = w->font;
    font.face = name;
    font.characterSet = characterSet;
    font.width = width;
    font.height = height;
    font.weight = weight < 10 ? weight * kWeightWidening : weight;
    font.colour = colour;
    font.effects = effects;
    font.angle = angle;
    w->font = font;
    applyFontSizes(*w);
    return 0;
}
int GfxFont(const char* face, int width, int height, int weight, int colour, int effects,
            double angle) {
    return GfxFontEx(currentWindowNumber(), face, width, height, weight, colour, effects, angle);
}

int GfxFontColorEx(int window, int colour) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    if (!isValidColour(colour)) return PICTOR_ERR_ARGUMENT;
    w->font.colour = colour;
    return 0;
}
int GfxFontColor(int colour) {
    return GfxFontColorEx(currentWindowNumber(), colour);
}

} // extern "C"
