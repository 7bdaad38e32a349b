// Placing scene vectors on the canvas.
#include "view_projector.h"

#include <cmath>

namespace tarvo::views {

namespace {

ViewVector normalised(const ViewVector& v) {
    const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return n > 0 ? ViewVector{v[0] / n, v[1] / n, v[2] / n} : ViewVector{0, 0, 1};
}
double dot(const ViewVector& a, const ViewVector& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
ViewVector cross(const ViewVector& a, const ViewVector& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Rotation of v about axis k (0 x, 1 y, 2 z) by angle.
ViewVector rotateAboutAxis(const ViewVector& v, int k, double angle) {
    if (angle == 0) return v;
    const int p = (k + 1) % 3, q = (k + 2) % 3;
    const double c = std::cos(angle), s = std::sin(angle);
    ViewVector out = v;
    out[static_cast<std::size_t>(p)] =
        v[static_cast<std::size_t>(p)] * c - v[static_cast<std::size_t>(q)] * s;
    out[static_cast<std::size_t>(q)] =
        v[static_cast<std::size_t>(p)] * s + v[static_cast<std::size_t>(q)] * c;
    return out;
}

} // namespace

ViewProjector::ViewProjector(const GraphicsViewSettings& settings, const Scene& scene, int width,
                             int height)
    : settings_(settings), scene_(scene), width_(width), height_(height) {
    const double unit = settings.orthographic ? kAstronomicalUnitGm : 1.0;
    mapping_ = fieldMapping(width, height, settings.halfWidth * unit, settings.halfHeight * unit);
    mapping_.scale = 1.0;
    // The horizon frame: south, east, zenith.
    const ViewVector zenith = normalised(scene.zenith);
    ViewVector north = scene.northPole;
    const double along = dot(north, zenith);
    for (int k = 0; k < 3; ++k)
        north[static_cast<std::size_t>(k)] -= along * zenith[static_cast<std::size_t>(k)];
    north = normalised(north);
    const ViewVector east = cross(north, zenith);
    horizonAxes_ = {ViewVector{-north[0], -north[1], -north[2]}, east, zenith};
}

ViewVector ViewProjector::toHorizon(const ViewVector& v) const {
    return {dot(v, horizonAxes_[0]), dot(v, horizonAxes_[1]), dot(v, horizonAxes_[2])};
}

ViewVector ViewProjector::fromHorizon(const ViewVector& h) const {
    ViewVector v{};
    for (std::size_t k = 0; k < 3; ++k)
        v[k] = h[0] * horizonAxes_[0][k] + h[1] * horizonAxes_[1][k] + h[2] * horizonAxes_[2][k];
    return v;
}

ViewVector ViewProjector::rotated(const ViewVector& v) const {
    if (!settings_.rotatedFrame) return v;
    ViewVector out = v;
    for (int k = 0; k < 3; ++k)
        out = rotateAboutAxis(out, k, settings_.rotation[static_cast<std::size_t>(k)]);
    return out;
}

ViewVector ViewProjector::centreDirection() const {
    if (settings_.horizontal) return fromHorizon(normalised(settings_.viewDirection));
    return normalised(settings_.viewDirection);
}

std::optional<PixelPlace> ViewProjector::placeHorizon(const ViewVector& h) const {
    return place(fromHorizon(h));
}

std::optional<PixelPlace> ViewProjector::place(const ViewVector& v) const {
    Projected p;
    if (settings_.orthographic) {
        const ViewVector r = rotated(v);
        p = projectOrthographic(r, settings_.offset, settings_.switchYZ);
    } else {
        const double length = std::sqrt(dot(v, v));
        if (!(length > 0)) return std::nullopt;
        ViewVector u{v[0] / length, v[1] / length, v[2] / length};
        if (settings_.horizontal && !settings_.rotatedFrame) {
            const ViewVector h = toHorizon(u);
            const ViewVector c = normalised(settings_.viewDirection);
            p = settings_.polar ? projectPolar(h, c, settings_.halfWidth, settings_.halfHeight)
                                : projectHorizontalPlain(h, c, settings_.halfWidth);
        } else {
            if (settings_.horizontal) u = toHorizon(u);
            u = rotated(u);
            const ViewVector c = normalised(settings_.viewDirection);
            p = settings_.polar ? projectPolar(u, c, settings_.halfWidth, settings_.halfHeight)
                                : projectPlainSky(u, c, settings_.halfWidth);
        }
    }
    if (!p.visible) return std::nullopt;
    if (settings_.southUp) p.x = -p.x, p.y = -p.y;
    const PixelPlace px = toPixels(mapping_, p.x, p.y);
    // Far outside the canvas is not drawn (lines to it would cross the picture).
    if (px.x < -width_ || px.x > 2 * width_ || px.y < -height_ || px.y > 2 * height_)
        return std::nullopt;
    return px;
}

} // namespace tarvo::views
