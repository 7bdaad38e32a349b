// Names, grid and lines of the shadow-path files (see shadow_path.h).
#include "tarvo/events/shadow_path.h"

#include "console/console.h"
#include "console/keys.h"
#include "fileio/format_mask.h"
#include "fileio/text_util.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <numbers>

namespace tarvo {

int nextPathCounter(int counter) {
    ++counter;
    if (counter > 9999) counter -= 1000;
    return counter;
}

std::string solarEclipseFileName(int counter) {
    return "SuMo" + formatMask("0000", static_cast<long double>(counter)) + ".OCC";
}

namespace {

bool beginsWithNumber(const std::string& name) {
    const std::string t = trim(name);
    return !t.empty() && std::isdigit(static_cast<unsigned char>(t[0]));
}

// The part of a name field a file name takes.
std::string namePart(const std::string& field, std::size_t plainLength) {
    std::string part = beginsWithNumber(field) ? (field.size() > 4 ? field.substr(4, 7) : "")
                                               : field.substr(0, plainLength);
    part = trim(part);
    for (char& c : part)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
    return part;
}

} // namespace

std::string occultationFileName(const std::string& occultingName, const std::string& occultedName,
                                int serial) {
    std::string name = namePart(occultingName, 7) + namePart(occultedName, 4);
    if (name.empty()) name = "OCC";
    if (serial > 1) name += "_" + std::to_string(serial);
    return name + ".OCC";
}

PathGrid pathGrid(long double T, int points) {
    PathGrid g;
    if (!(T > 0.0L) || !std::isfinite(T) || points < 1) {
        g.perSide = 0;
        return g;
    }
    const long double total = 2880.0L * T; // minutes
    static constexpr int firstKs[] = {1, 2, 3, 4, 6, 12, 15, 30, 60};
    long double K = 0;
    long double M = 0;
    for (int k : firstKs) {
        K = k;
        M = std::floor(total * K / points);
        if (M >= 1.0L) break;
    }
    // Very short passages: K doubles on (a bound keeps it finite).
    while (M < 1.0L && K < 1e9L) {
        K *= 2.0L;
        M = std::floor(total * K / points);
    }
    if (M < 1.0L) {
        g.perSide = 0;
        return g;
    }
    g.K = static_cast<int>(K);
    g.M = static_cast<long>(M);
    g.perSide = static_cast<long>(std::floor(total * K / M + 1.0L));
    g.spacingMinutes = M / K;
    return g;
}

long double gridCentreUT(long double ut, int K) {
    const long double day = std::floor(ut + 0.5L) - 0.5L; // the UT day's midnight
    const long double ticks = std::round((ut - day) * 1440.0L * K);
    return day + ticks / (1440.0L * K);
}

std::string occHeaderLine(const std::string& eventLine, long double deltaTSeconds) {
    std::string line = std::string(kPathColumnHeader) + " " + eventLine;
    if (line.size() < 145) line.resize(145, ' ');
    return line + formatMask(" ######.#", deltaTSeconds);
}

std::string occPointLine(long double ut, const ShadowPoint& p) {
    const CalendarTime when = daysToCalendar(ut + 0.5L);
    std::string line = when.dateText.substr(1) + " " + when.timeText;
    line += formatMask(" ####.####", p.longitude) + formatMask(" ###.####", p.latitude);
    line += formatMask(" ###.#", p.azimuth) + formatMask(" ##.#", p.altitude);
    for (long double w : {p.wmin, p.hwMin, p.hwMax, p.hwErr}) line += formatMask(" #####.#", w);
    return line;
}

bool insideGeographicWindow(long double lon, long double lat, long double siteLon,
                            long double siteLat, long double window) {
    if (std::fabs(lat - siteLat) > window) return false;
    const long double dLon = std::fabs(std::remainder(lon - siteLon, 360.0L));
    return std::cos(siteLat * std::numbers::pi_v<long double> / 180.0L) * dLon <= window;
}

std::vector<std::filesystem::path> existingPathFiles(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        if (!e.is_regular_file(ec)) continue;
        if (upperCase(e.path().extension().string()) == ".OCC") files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool pathFilesMayGo(const std::filesystem::path& dir) {
    const auto files = existingPathFiles(dir);
    if (files.empty()) return true;
    using namespace console::Color;
    console::clear();
    console::setColor(LightRed, Black);
    console::printAt(4, 20, "Warning");
    console::setColor(White, Black);
    console::printAt(6, 10, "These shadow-path files will be deleted:");
    const int shown = std::min<int>(static_cast<int>(files.size()), 12);
    for (int i = 0; i < shown; ++i)
        console::printAt(7 + i, 12, files[static_cast<std::size_t>(i)].filename().string());
    if (shown < static_cast<int>(files.size()))
        console::printAt(7 + shown, 12,
                         "... and " + std::to_string(files.size() - shown) + " more");
    console::printAt(21, 10, "Rename the files if you want to save them");
    console::printAt(23, 10, " Press Y key when ready, N to abort");
    for (;;) {
        const int k = console::readKey().key;
        if (k == 'y' || k == 'Y') return true;
        if (k == 'n' || k == 'N' || k == console::Key::Esc) return false;
    }
}

bool deletePathFiles(const std::filesystem::path& dir, std::string& message) {
    std::ofstream(dir / "TMP.OCC", std::ios::binary | std::ios::trunc);
    bool ok = true;
    for (const auto& f : existingPathFiles(dir)) {
        std::error_code ec;
        std::filesystem::remove(f, ec);
        if (ec) {
            ok = false;
            message = f.string() + " cannot be deleted: " + ec.message();
        }
    }
    return ok;
}

} // namespace tarvo
