// Scan-line fill at pixel centres and one-pixel lines for the world maps.
#include "land_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace builder {

namespace {

double pixelX(const IndexedImage& image, double lon) {
    return (lon + 180.0) * image.width / 360.0;
}
double pixelY(const IndexedImage& image, double lat) {
    return (90.0 - lat) * image.height / 180.0;
}

} // namespace

void fillRings(IndexedImage& image, const std::vector<Ring>& rings, std::uint8_t index) {
    // Crossings of every edge with the horizontal lines through the pixel
    // centres, row by row.
    std::vector<std::vector<double>> crossings(static_cast<std::size_t>(image.height));
    auto addEdge = [&](LonLat a, LonLat b) {
        const double x0 = pixelX(image, a.lon), y0 = pixelY(image, a.lat);
        const double x1 = pixelX(image, b.lon), y1 = pixelY(image, b.lat);
        if (y0 == y1) return;
        // Rows j whose centre j + 0.5 lies in [top, bottom): a crossing is
        // counted once where two edges meet. Crossings beyond the left or
        // right edge are kept at the edge, which keeps the even-odd parity
        // of every pixel inside.
        const double top = std::min(y0, y1), bottom = std::max(y0, y1);
        const int first = std::max(0, static_cast<int>(std::ceil(top - 0.5)));
        const int last = std::min(image.height - 1, static_cast<int>(std::ceil(bottom - 0.5)) - 1);
        for (int j = first; j <= last; ++j) {
            const double y = j + 0.5;
            const double x = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
            crossings[static_cast<std::size_t>(j)].push_back(
                std::clamp(x, 0.0, static_cast<double>(image.width)));
        }
    };
    for (const Ring& ring : rings) {
        if (ring.size() < 2) continue;
        double west = ring[0].lon, east = ring[0].lon;
        for (const LonLat& p : ring) {
            west = std::min(west, p.lon);
            east = std::max(east, p.lon);
        }
        // A ring that runs past the antimeridian is filled once more a full
        // turn to the east or west, so that both its parts are covered.
        for (int turn = -1; turn <= 1; ++turn) {
            const double shift = 360.0 * turn;
            if (east + shift <= -180.0 || west + shift >= 180.0) continue;
            for (std::size_t k = 1; k < ring.size(); ++k)
                addEdge({ring[k - 1].lon + shift, ring[k - 1].lat},
                        {ring[k].lon + shift, ring[k].lat});
            if (ring.back().lon != ring.front().lon || ring.back().lat != ring.front().lat)
                addEdge({ring.back().lon + shift, ring.back().lat},
                        {ring.front().lon + shift, ring.front().lat});
        }
    }
    for (int j = 0; j < image.height; ++j) {
        std::vector<double>& xs = crossings[static_cast<std::size_t>(j)];
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            // Pixels whose centre i + 0.5 lies in [xs[k], xs[k+1]).
            const int from = std::max(0, static_cast<int>(std::ceil(xs[k] - 0.5)));
            const int to =
                std::min(image.width - 1, static_cast<int>(std::ceil(xs[k + 1] - 0.5)) - 1);
            for (int i = from; i <= to; ++i) image.at(i, j) = index;
        }
    }
}

void drawPolylines(IndexedImage& image, const std::vector<Polyline>& lines, std::uint8_t index,
                   std::uint8_t over) {
    auto plot = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
        if (image.at(x, y) == over) image.at(x, y) = index;
    };
    for (const Polyline& line : lines) {
        for (std::size_t k = 1; k < line.size(); ++k) {
            // A step across the antimeridian is not drawn across the map.
            if (std::fabs(line[k].lon - line[k - 1].lon) > 180) continue;
            int x0 = static_cast<int>(std::floor(pixelX(image, line[k - 1].lon)));
            int y0 = static_cast<int>(std::floor(pixelY(image, line[k - 1].lat)));
            const int x1 = static_cast<int>(std::floor(pixelX(image, line[k].lon)));
            const int y1 = static_cast<int>(std::floor(pixelY(image, line[k].lat)));
            // Bresenham from (x0, y0) to (x1, y1), both ends set.
            const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
            const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
            int error = dx + dy;
            while (true) {
                plot(x0, y0);
                if (x0 == x1 && y0 == y1) break;
                const int twice = 2 * error;
                if (twice >= dy) {
                    error += dy;
                    x0 += sx;
                }
                if (twice <= dx) {
                    error += dx;
                    y0 += sy;
                }
            }
        }
    }
}

} // namespace builder
