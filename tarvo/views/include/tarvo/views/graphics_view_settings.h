// The settings of the orbit and sky graphics view: its toggles, the field
// and the picture counters.  They live for the whole run of the program
// and survive closing and reopening the window, so they are one
// process-wide object (graphicsViewSettings()).
#pragma once

#include <array>
#include <string>

namespace tarvo {

enum class TraceMode { off = 0, dots = 1, linesAndMarks = -1, lines = -2 };
enum class GridKind { off = 0, equatorial = 1, ecliptic = 2, horizontal = -1, hourAngle = 3 };

struct GraphicsViewSettings {
    // Kinds of view.
    bool orthographic = true; // the orbit view; off: a sky view
    bool polar = false;       // polar sky map instead of the plain one
    bool directional = false; // look at a body (D)
    int lookAtBody = -1;      // the body D looks at
    bool switchYZ = false;
    bool rotatedFrame = false;
    std::array<double, 3> rotation{}; // accumulated angles about X, Y, Z, radians
    // Sky views.
    bool ecliptic = false;
    bool topocentric = false;
    bool horizontal = false;
    bool southUp = false;
    // Stars and nebulae.
    bool stars = true;
    double starLimit = 6.0; // limiting magnitude drawn
    bool properMotion = true;
    bool starColours = true;
    bool starNames = false;
    bool starDesignations = false;
    bool nebulae = true;
    bool nebulaNames = false;
    // The orthographic view.
    bool meanPlane = false;
    bool orbitPlane = false;
    int orbitPlaneBody = 3; // the body whose orbit plane is drawn in
    // Drawing.
    GridKind grid = GridKind::off;
    bool gridLabels = false;
    bool fullScreen = false;
    bool blackAndWhite = false;
    bool planetNames = true;
    int planetSize = 0; // -1 "S", 0 "M", 1 "L"
    int brightness = 0; // -25 .. 16, sky views
    // Motion.
    bool continuous = false;
    bool backStep = false;
    TraceMode trace = TraceMode::off;
    bool markRequest = false;
    bool clockLock = false;
    double stepScale = 1.0; // 0.001 .. 9999
    // The field: half-width and half-height (AU in the orthographic view,
    // radians in sky views) and the zoom reference the zoom level counts from.
    double halfWidth = 2.0, halfHeight = 2.0;
    double zoomReference = 2.0;
    double savedHalfHeight = 0; // the field before full screen, restored after it
    double savedHalfWidth = 0;
    // The view offset of the orthographic view (Gm) and the centre of a sky view.
    std::array<double, 3> offset{};
    std::array<double, 3> viewDirection{1, 0, 0};
    // Pictures.
    int imageCounter = 0; // 0 .. 998 (999: no more pictures)
    bool imageDateWritten = false;
    std::string lastImageDate;
    int autoFramesLeft = 0; // 0 .. 999
    int autoFrameSeparation = 1;
    int autoFrameStepCount = 0;
    bool dateInImages = false; // the "Date in Images" option of TARVO.CFG
};

GraphicsViewSettings& graphicsViewSettings();

// The plain sky map shows a field twice as wide as high.
inline bool plainSkyMap(const GraphicsViewSettings& s) {
    return !s.orthographic && !s.polar;
}

} // namespace tarvo
