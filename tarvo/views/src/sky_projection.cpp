// The projections of the graphics view and the pixel mapping.
#include "tarvo/views/sky_projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {
constexpr double kPi = std::numbers::pi;
}

ViewComponents viewComponents(const ViewVector& u, const ViewVector& c) {
    double cx = c[0];
    const double cy = c[1], cz = c[2];
    if (cx == 0 && cy == 0) cx = 1e-9;
    const double d = std::sqrt(cx * cx + cy * cy);
    const double t = cx * u[0] + cy * u[1];
    return {cz * u[2] + t, (cx * u[1] - cy * u[0]) / d, d * u[2] - t * cz / d};
}

double viewAtan2(double y, double x) {
    const double s = y < 0 ? -1.0 : 1.0;
    if (x == 0) return s * kPi / 2.0;
    const double a = std::atan(y / x);
    return x < 0 ? a + kPi * s : a;
}

Projected projectPlainSky(const ViewVector& u, const ViewVector& c, double halfWidth) {
    const ViewComponents v = viewComponents(u, c);
    if (!(v.depth > std::cos(halfWidth) - 0.1)) return {};
    const double rho = std::max(std::sqrt(v.depth * v.depth + v.east * v.east), 1e-10);
    return {-viewAtan2(v.east, v.depth), std::atan(v.north / rho), true};
}

Projected projectPolar(const ViewVector& u, const ViewVector& c, double halfWidth,
                       double halfHeight) {
    const ViewComponents v = viewComponents(u, c);
    const double limit =
        std::max(std::cos(std::sqrt(halfWidth * halfWidth + halfHeight * halfHeight)) - 1e-5, 0.0);
    if (!(v.depth > limit)) return {};
    const double rho = std::max(std::sqrt(v.north * v.north + v.east * v.east), 1e-10);
    const double theta =
        v.depth >= 0.999999999 ? std::asin(std::min(rho, 1.0)) : std::acos(std::min(v.depth, 1.0));
    return {-theta * v.east / rho, theta * v.north / rho, true};
}

Projected projectHorizontalPlain(const ViewVector& u, const ViewVector& c, double halfWidth) {
    const ViewComponents v = viewComponents(u, c);
    if (!(-v.north > std::cos(halfWidth) - 0.1)) return {};
    const double horizontal = std::max(std::sqrt(v.north * v.north + v.east * v.east), 1e-10);
    return {-viewAtan2(v.east, -v.north), std::atan(v.depth / horizontal), true};
}

Projected projectOrthographic(const ViewVector& r, const ViewVector& offset, bool switchYZ) {
    return {r[0] - offset[0], switchYZ ? r[2] - offset[2] : r[1] - offset[1], true};
}

PixelPlace toPixels(const PixelMapping& m, double x, double y) {
    const double px = m.centreX + m.pixelsPerUnitX * m.scale * x;
    const double py = m.centreY - m.pixelsPerUnitY * m.scale * y;
    // Far beyond the canvas: kept inside int, still off every canvas.
    constexpr double kFar = 1.0e8;
    return {static_cast<int>(std::lround(std::clamp(px, -kFar, kFar))),
            static_cast<int>(std::lround(std::clamp(py, -kFar, kFar)))};
}

PixelMapping fieldMapping(int width, int height, double halfWidth, double halfHeight) {
    PixelMapping m;
    m.centreX = width / 2.0;
    m.centreY = height / 2.0;
    m.pixelsPerUnitX = halfWidth > 0 ? width / (2.0 * halfWidth) : 1.0;
    m.pixelsPerUnitY = halfHeight > 0 ? height / (2.0 * halfHeight) : 1.0;
    return m;
}

ViewVector unitFromAngles(double longitude, double latitude) {
    return {std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude),
            std::sin(latitude)};
}

} // namespace tarvo
