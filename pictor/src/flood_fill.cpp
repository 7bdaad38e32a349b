#include "flood_fill.h"

#include <vector>

#include "raster_fill.h"

namespace pictor {

namespace {

class AreaScanner {
  public:
    AreaScanner(const Canvas& canvas, FloodMode mode, uint32_t colour)
        : canvas_(canvas), mode_(mode), colour_(colour),
          visited_((static_cast<size_t>(canvas.width) * canvas.height + 63) / 64, 0) {}

    // True for a pixel of the area that has not been taken yet.
    bool open(int x, int y) const {
        const size_t i = index(x, y);
        if (visited_[i >> 6] & (uint64_t{1} << (i & 63))) return false;
        const uint32_t p = canvas_.at(x, y);
        return mode_ == FloodMode::UpToBorder ? p != colour_ : p == colour_;
    }
    void take(int x, int y) {
        const size_t i = index(x, y);
        visited_[i >> 6] |= uint64_t{1} << (i & 63);
    }

  private:
    size_t index(int x, int y) const { return static_cast<size_t>(y) * canvas_.width + x; }
    const Canvas& canvas_;
    FloodMode mode_;
    uint32_t colour_;
    std::vector<uint64_t> visited_;
};

struct Seed {
    int x, y;
};

} // namespace

bool floodFill(Canvas& canvas, const FillStyle& brush, int x, int y, FloodMode mode,
               uint32_t colourPixel) {
    if (!canvas.contains(x, y)) return false;
    AreaScanner area(canvas, mode, colourPixel);
    if (!area.open(x, y)) return false;

    // A painted pixel is always marked taken first, so the area is judged
    // on pixels the fill has not touched yet.
    std::vector<Seed> stack{{x, y}};
    while (!stack.empty()) {
        const Seed s = stack.back();
        stack.pop_back();
        if (!area.open(s.x, s.y)) continue;
        int left = s.x, right = s.x;
        while (left > 0 && area.open(left - 1, s.y)) --left;
        while (right + 1 < canvas.width && area.open(right + 1, s.y)) ++right;
        for (int i = left; i <= right; ++i) area.take(i, s.y);
        fillSpan(canvas, brush, s.y, left, right + 1);
        for (int ny : {s.y - 1, s.y + 1}) {
            if (ny < 0 || ny >= canvas.height) continue;
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool o = area.open(i, ny);
                if (o && !inRun) stack.push_back({i, ny});
                inRun = o;
            }
        }
    }
    return true;
}

} // namespace pictor
