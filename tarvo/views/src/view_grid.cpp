// Grid lines of the sky views.
#include "view_grid.h"

#include "view_drawing.h"

#include "pictor.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace tarvo::views {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr int kPointStepDeg = 2; // spacing of the points along a line
constexpr int kJoinLimitPx = 60; // farther consecutive points are plotted alone
constexpr int kLabelEvery = 15;  // every 15th point (30 degrees) of a line is labelled

struct GridLine {
    double value = 0; // latitude (parallels) or longitude (meridians), degrees
    bool parallel = true;
    std::vector<ViewVector> points; // unit vectors in the grid's own frame
};

// Parallels every 10 degrees and meridians every 30 degrees, once.
const std::vector<GridLine>& gridTable() {
    static const std::vector<GridLine> table = [] {
        std::vector<GridLine> lines;
        for (int lat = -80; lat <= 80; lat += 10) {
            GridLine line{static_cast<double>(lat), true, {}};
            for (int lon = 0; lon <= 360; lon += kPointStepDeg)
                line.points.push_back(unitFromAngles(lon * kDeg, lat * kDeg));
            lines.push_back(std::move(line));
        }
        for (int lon = 0; lon < 360; lon += 30) {
            GridLine line{static_cast<double>(lon), false, {}};
            for (int lat = -88; lat <= 88; lat += kPointStepDeg)
                line.points.push_back(unitFromAngles(lon * kDeg, lat * kDeg));
            lines.push_back(std::move(line));
        }
        return lines;
    }();
    return table;
}

ViewVector transformed(const std::array<ViewVector, 3>& m, const ViewVector& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

std::string labelOf(const GridLine& line, GridKind kind, int point) {
    if (line.parallel) {
        const double lon = point * kPointStepDeg;
        if (kind == GridKind::equatorial || kind == GridKind::hourAngle)
            return std::to_string(static_cast<int>(lon / 15)) + "h";
        return std::to_string(static_cast<int>(lon));
    }
    const int lat = -88 + point * kPointStepDeg;
    return (lat > 0 ? "+" : "") + std::to_string(lat);
}

} // namespace

void drawGrid(const Scene& scene, const GraphicsViewSettings& view,
              const ViewProjector& projector) {
    if (view.grid == GridKind::off) return;
    const bool bw = view.blackAndWhite;
    for (const GridLine& line : gridTable()) {
        int colour =
            line.value > 0 ? rgb(0, 160, 0) : (line.value < 0 ? rgb(0, 0, 180) : rgb(255, 0, 0));
        if (!line.parallel) colour = line.value == 0 ? rgb(255, 0, 0) : rgb(0, 110, 0);
        if (bw) colour = 0;
        Pen(colour, bw ? 2 : 0, 0);
        std::optional<PixelPlace> last;
        for (std::size_t k = 0; k < line.points.size(); ++k) {
            const ViewVector& g = line.points[k];
            std::optional<PixelPlace> p;
            switch (view.grid) {
            case GridKind::equatorial:
                p = projector.place(transformed(scene.equatorToView, g));
                break;
            case GridKind::ecliptic:
                p = projector.place(transformed(scene.eclipticToView, g));
                break;
            case GridKind::horizontal:
                p = projector.placeHorizon(g);
                break;
            case GridKind::hourAngle: {
                // Hour angle H = θ - α, counted westward: α = θ - H.
                const double h = std::atan2(g[1], g[0]), d = std::asin(g[2]);
                p = projector.place(transformed(scene.equatorToView,
                                                unitFromAngles(scene.localSiderealTime - h, d)));
                break;
            }
            case GridKind::off:
                break;
            }
            if (p) {
                if (last && std::abs(p->x - last->x) + std::abs(p->y - last->y) < kJoinLimitPx)
                    DrawLine(last->x, last->y, p->x, p->y);
                else
                    DrawPixel(p->x, p->y, colour);
                if (view.gridLabels && k % kLabelEvery == 0) {
                    GfxFontColor(colour);
                    DrawFrom(p->x + 2, p->y + 1);
                    DrawTextRow(labelOf(line, view.grid, static_cast<int>(k)).c_str(), 0);
                }
            }
            last = p;
        }
    }
}

} // namespace tarvo::views
