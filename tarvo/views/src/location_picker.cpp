// The location picker's screen loop.
#include "tarvo/views/location_picker.h"

#include "tarvo/views/nearest_site.h"
#include "tarvo/views/world_map_check.h"
#include "tarvo/views/world_view.h"

#include "console/console.h"
#include "fileio/format_mask.h"
#include "pictor.h"

#include <chrono>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kPoleMarginRad = 1e-8;

struct Picker {
    const LocationPickerInput& input;
    WorldViewFrame frame;
    int textRows = 0, textCols = 0;
    WorldMap zoomMap = WorldMap::Medium;
};

bool onCanvas(const WorldViewFrame& f, int x, int y) {
    return x >= 0 && y >= 0 && x < f.canvasWidth && y < f.canvasHeight;
}

// The cursor over the canvas, or nullopt when it is not over the map (any
// position code of the library counts as off the map).
std::optional<std::pair<int, int>> cursor(const WorldViewFrame& f) {
    const int x = MouseOverX(), y = MouseOverY();
    if (x >= PICTOR_MOUSE_OUTSIDE || y >= PICTOR_MOUSE_OUTSIDE || !onCanvas(f, x, y))
        return std::nullopt;
    return std::pair{x, y};
}

void printRow(const Picker& p, int row, const std::string& text) {
    console::clearLine(row);
    console::printAt(row, 1, text.substr(0, static_cast<std::size_t>(std::max(p.textCols, 1))));
}

void showDrawingProblem(const Picker& p, int result) {
    if (result == 0) return;
    const WorldMapCheck check =
        checkWorldMap(worldMapPath(p.input.imageDirectory, p.frame.map), p.frame.map);
    printRow(p, p.textRows - 3, check.good() ? "The world map could not be drawn." : check.message);
}

void redraw(Picker& p) {
    const int result = drawWorldView(p.frame, p.input.imageDirectory);
    GfxWindow(3);
    GfxWindow(2);
    if (p.textRows > 3) console::clearLine(p.textRows - 3);
    showDrawingProblem(p, result);
}

// The keys, on one row when the console is wide enough, else on two.
void printHelp(const Picker& p) {
    const std::string clicks = std::string("Left Click:") + " Zoom " +
                               (p.frame.zoomed ? "to full map  " : "on Location  ") +
                               "  Right-Click:" + " Set Location  ";
    const std::string keys =
        std::string("  Esc:") + " Return without changes  " + "  Enter:" + " Nearest Loc.  ";
    if (static_cast<int>(clicks.size() + keys.size()) <= p.textCols) {
        printRow(p, p.textRows - 1, clicks + keys);
        return;
    }
    printRow(p, p.textRows - 2, clicks);
    printRow(p, p.textRows - 1, keys.substr(2));
}

std::string statusLine(const Picker& p, std::optional<std::size_t>& nearest) {
    nearest.reset();
    const auto at = cursor(p.frame);
    if (!at) return "Lat:   --   Lon:   --";
    const LonLatDeg where = cursorLocation(p.frame, at->first, at->second);
    std::string line =
        "Lat:" + formatMask("###.#", std::fabs(where.lat)) + (where.lat < 0 ? "S" : "N") +
        "  Lon:" + formatMask("####.#", std::fabs(where.lon)) + (where.lon < 0 ? "W" : "E");
    const std::vector<GeoSite> none;
    const std::vector<GeoSite>& sites = p.input.sites ? *p.input.sites : none;
    const auto found = findNearestSite(sites, where.lon, where.lat);
    if (!found) return line + "  Nearest Loc.: none (no location library)";
    nearest = found->index;
    const GeoSite& s = sites[found->index];
    return line + "  Nearest Loc.:" + s.name + " D:" + formatMask("####", found->distanceKm) +
           " km" + "  Lat:" + formatMask("###.##", s.latitudeDeg) +
           " Lon:" + formatMask("####.##", s.longitudeDeg);
}

ObserverSite customSite(const Picker& p, int mx, int my) {
    const LonLatDeg where = cursorLocation(p.frame, mx, my);
    double lon = where.lon * kRadiansPerDegree, lat = where.lat * kRadiansPerDegree;
    if (lon > std::numbers::pi) lon -= 2 * std::numbers::pi;
    if (lon < -std::numbers::pi) lon += 2 * std::numbers::pi;
    const double pole = std::numbers::pi / 2;
    if (lat >= pole) lat = pole - kPoleMarginRad;
    if (lat <= -pole) lat = -pole + kPoleMarginRad;
    ObserverSite site = p.input.current;
    site.latitude = lat;
    site.longitude = lon;
    site.label = "Custom Site";
    return site;
}

// One key or click. On a terminal the status line follows the mouse while
// nothing is pressed; a script answers at once.
console::Event nextEvent(Picker& p, std::optional<std::size_t>& nearest) {
    auto lastRepaint = std::chrono::steady_clock::now();
    while (true) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastRepaint > std::chrono::seconds(1)) {
            GfxRefresh(1);
            lastRepaint = now;
        }
        printHelp(p);
        printRow(p, p.textRows, statusLine(p, nearest));
        if (console::isScriptMode()) return console::readKey();
        if (auto e = console::pollKey()) return *e;
        console::pauseMs(40);
    }
}

} // namespace

std::optional<ObserverSite> pickLocationOnMap(const LocationPickerInput& input) {
    Picker p{input, {}, console::ConsoleInfo(5), console::ConsoleInfo(4)};
    p.zoomMap = bigMapInstalled(input.imageDirectory) ? WorldMap::Big : WorldMap::Medium;
    GfxWindow(1);
    console::ConsoleGfx(1, 1, p.textCols, std::max(p.textRows - 2, 1));
    GfxOption(1, 0);
    GfxOption(6, 0);
    p.frame = wholeWorldFrame(GfxMetrics(2), GfxMetrics(7));
    GfxWindow(5);
    GfxWindow(2);
    redraw(p);

    std::optional<ObserverSite> picked;
    while (true) {
        std::optional<std::size_t> nearest;
        const console::Event e = nextEvent(p, nearest);
        if (e.key == console::Key::Esc) break;
        if (e.key == console::Key::GfxClick && onCanvas(p.frame, e.x, e.y)) {
            p.frame = p.frame.zoomed ? wholeWorldFrame(p.frame.canvasWidth, p.frame.canvasHeight)
                                     : zoomedFrame(e.x, e.y, p.frame.canvasWidth,
                                                   p.frame.canvasHeight, p.zoomMap);
            redraw(p);
        } else if (e.key == console::Key::GfxRightClick && onCanvas(p.frame, e.x, e.y)) {
            picked = customSite(p, e.x, e.y);
            break;
        } else if (e.key == console::Key::Enter && nearest && input.sites) {
            picked = siteFromGeoSite((*input.sites)[*nearest]);
            break;
        }
    }
    GfxWindow(1);
    for (int row = std::max(p.textRows - 3, 1); row <= p.textRows; ++row) console::clearLine(row);
    return picked;
}

} // namespace tarvo
