// Places a vector of the scene on the canvas: the kind of view, its centre
// direction, the rotated frame, south-up and the field, put together once
// per redraw.
#pragma once

#include "tarvo/views/graphics_view_settings.h"
#include "tarvo/views/sky_projection.h"
#include "view_scene.h"

#include <optional>

namespace tarvo::views {

inline constexpr double kAstronomicalUnitGm = 149.5978707;

class ViewProjector {
  public:
    ViewProjector(const GraphicsViewSettings& settings, const Scene& scene, int width, int height);
    // A position (orthographic view, Gm from the centre) or a direction (sky
    // views, any length) of the scene's frame; nullopt when not drawn.
    std::optional<PixelPlace> place(const ViewVector& v) const;
    // The same for a direction given in the horizon frame (south, east, zenith).
    std::optional<PixelPlace> placeHorizon(const ViewVector& h) const;
    // Pixels per radian (sky views) or per Gm (orthographic view), horizontally.
    double pixelsPerUnit() const { return mapping_.pixelsPerUnitX * mapping_.scale; }
    bool sky() const { return !settings_.orthographic; }
    // The centre direction of the view in the scene's frame (sky views).
    ViewVector centreDirection() const;
    // The scene frame -> the horizon frame of the site (south, east, zenith).
    ViewVector toHorizon(const ViewVector& v) const;
    ViewVector fromHorizon(const ViewVector& h) const;

  private:
    ViewVector rotated(const ViewVector& v) const;
    const GraphicsViewSettings& settings_;
    const Scene& scene_;
    PixelMapping mapping_;
    std::array<ViewVector, 3> horizonAxes_{}; // south, east, zenith in the scene frame
    int width_, height_;
};

} // namespace tarvo::views
