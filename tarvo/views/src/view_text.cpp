// The key menu, heading and status line of the graphics view.
#include "view_text.h"

#include "console/console.h"
#include "fileio/format_mask.h"
#include "tarvo/reductions/time_scales.h"
#include "tarvo/views/graphics_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace tarvo::views {

namespace {

constexpr double kRadToDeg = 180.0 / std::numbers::pi;
constexpr int kMenuColumns = 3;
constexpr int kMenuRows = 16;
constexpr int kMenuColumnWidth = 36;

std::string onOff(bool on) {
    return on ? "On  " : "Off ";
}

std::string traceStatus(TraceMode t) {
    switch (t) {
    case TraceMode::off:
        return "Off ";
    case TraceMode::linesAndMarks:
        return "L&M ";
    case TraceMode::dots:
        return "Dot ";
    case TraceMode::lines:
        return "Lin ";
    }
    return "Off ";
}

std::string gridStatus(GridKind g) {
    switch (g) {
    case GridKind::off:
        return "Off ";
    case GridKind::equatorial:
        return "Equ ";
    case GridKind::ecliptic:
        return "Ecl ";
    case GridKind::horizontal:
        return "Hor ";
    case GridKind::hourAngle:
        return "HAn ";
    }
    return "Off ";
}

std::string number(int v) {
    char t[16];
    std::snprintf(t, sizeof t, "%3d ", v);
    return t;
}

} // namespace

std::vector<MenuLine> keyMenu(const GraphicsViewSettings& v, const RunContext& run) {
    const bool sky = !v.orthographic;
    char limit[16];
    std::snprintf(limit, sizeof limit, "%.1f", v.starLimit);
    const char* sizes[] = {" S  ", " M  ", " L  "};
    return {
        {"W", "Gr. Window ", onOff(true)},
        {"O", "Orthog.View", onOff(v.orthographic)},
        {"P", "Polar View ", onOff(v.polar)},
        {"B", "Back-Step  ", onOff(run.backStep)},
        {"C", "ContMotion ", onOff(v.continuous)},
        {".", "Trace      ", traceStatus(v.trace)},
        {"X", "Set Mark   ", onOff(v.markRequest)},
        {"/", "Hide Planet", ""},
        {"E", "Ecliptic   ", onOff(v.ecliptic)},
        {"T", "Topocentric", onOff(v.topocentric)},
        {"Z", "Horizontal ", onOff(v.horizontal)},
        {"(", "South Up   ", onOff(v.southUp)},
        {"*", std::string("Stars m") + limit, onOff(v.stars)},
        {":", "Clock Lock ", onOff(v.clockLock)},
        {"M", sky ? "Proper Mot." : "Mean Plane ", onOff(sky ? v.properMotion : v.meanPlane)},
        {"&", "Star Colors", onOff(v.starColours)},
        {"$", "Star Names ", onOff(v.starNames)},
        {std::string(1, kStarDesignationKey), "Star Desig.", onOff(v.starDesignations)},
        {"@", "Nebulae    ", onOff(v.nebulae)},
        {"%", "Nebul.Names", onOff(v.nebulaNames)},
        {"\\", "OrbitPlane ", onOff(v.orbitPlane)},
        {"D", "Direc. View", onOff(v.directional)},
        {"Y", "Switch YZ  ", onOff(v.switchYZ)},
        {"#", "Grid       ", gridStatus(v.grid)},
        {"L", "Grid Labels", onOff(v.gridLabels)},
        {"F", "Full Screen", onOff(v.fullScreen)},
        {"R", "Rot. Frame ", onOff(v.rotatedFrame)},
        {"!", "BW Map     ", onOff(v.blackAndWhite)},
        {"N", "Plan. Names", onOff(v.planetNames)},
        {"0", "Plan. Size ", sizes[v.planetSize + 1]},
        {"G", "Geogr. Loc.", ""},
        {">", "More bright", number(v.brightness)},
        {"<", "Less bright", number(v.brightness)},
        {"+", "Zoom in    ", number(zoomLevel(v.zoomReference, v.halfHeight))},
        {"-", "Zoom out   ", number(zoomLevel(v.zoomReference, v.halfHeight))},
        {"V", "VisField   ", ""},
        {"U", "Time Unit  ", ""},
        {"S", "Step Scal. ", ""},
        {"J", "Jumpto date", ""},
        {"K", "ClearScreen", ""},
        {"=", "Search Obj ", ""},
        {"I", "Save Image ", v.imageCounter <= 998 ? number(v.imageCounter) : "    "},
        {"A", "AutoFrames ", ""},
        {"Q", "SpaceOvrlap", ""},
        {"H", "Help       ", ""},
        {"Esc", "Text Output", ""},
    };
}

std::string menuLineText(const MenuLine& line) {
    // " W   Gr. Window  On  ": a space, the key and three spaces, the label, the status.
    std::string key = line.key, label = line.label;
    if (key.size() < 4) key.resize(4, ' ');
    if (label.size() < 11) label.resize(11, ' ');
    return " " + key + label + " " + line.status;
}

std::string headingLine(const RunContext& run, const Scene& scene) {
    std::string corrections = " ";
    if (run.page.precession) corrections += "Prec. ";
    if (run.page.nutation) corrections += "Nut. ";
    if (run.page.aberration && run.page.lightTime) corrections += "Aber. ";
    if (run.page.lightTime) corrections += "LTime ";
    const std::string equinox = scene.ofDate ? " Date  " : " 2000  ";
    const std::string centre =
        scene.centreIndex == 0 ? "  HelioCentric View   " : scene.centreName + "Centric View";
    return corrections + equinox + centre;
}

std::string statusLine(const RunContext& run, const GraphicsViewSettings& v, const Scene& scene,
                       long stepCount) {
    const CalendarTime c = daysToCalendar(scene.t - scene.deltaTDays + 0.5L);
    std::string line = c.dateText + " " + c.timeText + (scene.deltaTDays != 0 ? " UT" : " TT");
    static const char* const units[] = {"day ", "hr  ", "min ", "sec ", "yrJ "};
    static const double perDay[] = {1.0, 24.0, 1440.0, 86400.0, 1.0 / 365.25};
    const int u = std::clamp(run.timeUnit, 0, 4);
    const double step = static_cast<double>(run.integration.nominalStep) * run.stepScaleFactor *
                        (run.backStep ? -1 : 1) * perDay[u];
    line += " Step:" + formatMask("+####.### ", step) + units[u];
    double half = v.halfHeight;
    std::string unit;
    if (v.orthographic) {
        unit = half < 0.01 ? " Gm" : " AU";
        if (half < 0.01) half *= 149.5978707;
    } else {
        half *= kRadToDeg;
        unit = " deg";
    }
    const char* mask = half < 10 ? "#.##### " : (half < 10000 ? "####.## " : "#####.##");
    line += " V:" + formatMask(mask, half) + unit;
    if (v.stars && !v.orthographic) line += " *m" + formatMask("##.#", v.starLimit);
    line += ":" + formatMask("#######", static_cast<double>(stepCount));
    if (v.topocentric || v.horizontal) {
        const double lat = run.site.latitude * kRadToDeg, lon = run.site.longitude * kRadToDeg;
        line += " " + formatMask("##.##", std::fabs(lat)) + (lat >= 0 ? "N " : "S ") +
                formatMask("###.##", std::fabs(lon)) + (lon >= 0 ? "E" : "W");
    }
    return line;
}

void printViewText(const RunContext& run, const GraphicsViewSettings& view, const Scene& scene,
                   long stepCount) {
    using namespace console::Color;
    console::setColor(LightGrey, Black);
    console::clear();
    const int rows = console::gridRows();
    if (rows < kMenuRows + 6) {
        console::setColor(LightRed, Black);
        console::printAt(
            1, 1, " Too few rows for containing full menu! Press 'Esc' and reduce font heigth ");
        return;
    }
    console::setColor(LightCyan, Black);
    console::printAt(1, 1, headingLine(run, scene));
    console::setColor(White, Black);
    for (int c = 0; c < kMenuColumns; ++c)
        console::printAt(2, 1 + c * kMenuColumnWidth, "Key   Action   Status");
    const std::vector<MenuLine> menu = keyMenu(view, run);
    for (std::size_t i = 0; i < menu.size(); ++i) {
        const int column = static_cast<int>(i) / kMenuRows, row = static_cast<int>(i) % kMenuRows;
        console::setColor(menu[i].status == "On  " ? LightGreen : LightGrey, Black);
        console::printAt(3 + row, 1 + column * kMenuColumnWidth, menuLineText(menu[i]));
    }
    console::setColor(Yellow, Black);
    console::printAt(4 + kMenuRows, 1, "Press a Key to select Option, Spacebar for Next Step");
    console::setColor(White, Black);
    console::printAt(6 + kMenuRows, 1, statusLine(run, view, scene, stepCount));
}

} // namespace tarvo::views
