// OBSCODES.TXT: the observatory-code list and the geodetic site of a code.
#include "tarvo/reductions/site_files.h"
#include "fileio/text_util.h"

#include <cmath>
#include <fstream>
#include <system_error>

namespace tarvo {

namespace {

constexpr std::size_t kLongestLine = 512;

std::string_view field(std::string_view line, std::size_t first, std::size_t length) {
    if (first >= line.size()) return {};
    return line.substr(first, length);
}

} // namespace

bool isExcludedObservatoryCode(std::string_view code) {
    return code == "245" || code == "500" || code == "247" || code == "248" || code == "249" || code == "250";
}

std::optional<ObservatoryCode> parseObservatoryLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (line.size() < 3) return std::nullopt;
    ObservatoryCode c;
    c.code = std::string(line.substr(0, 3));
    if (trim(c.code).size() != 3) return std::nullopt;
    c.name = trim(field(line, 30, 20));
    const auto longitude = readWholeNumber(field(line, 4, 9));
    const auto rhoCos = readWholeNumber(field(line, 13, 8));
    const auto rhoSin = readWholeNumber(field(line, 21, 9));
    if (longitude && rhoCos && rhoSin) {
        c.longitudeDeg = *longitude;
        c.rhoCosPhi = *rhoCos;
        c.rhoSinPhi = *rhoSin;
        const double rho = std::hypot(*rhoCos, *rhoSin);
        // A ground site lies within a few tens of km of the ellipsoid.
        c.groundPosition = rho > 0.99 && rho < 1.01 && *rhoCos >= 0.0 && std::fabs(*longitude) <= 360.0;
    }
    return c;
}

ObserverSite siteFromParallaxConstants(double rhoCosPhi, double rhoSinPhi, double longitudeDeg) {
    const double a = kEarthEquatorialRadiusGm, e2 = kEarthEccentricitySquared;
    ObserverSite site;
    site.latitude = std::atan2(rhoSinPhi, rhoCosPhi * (1.0 - e2));
    site.longitude = longitudeDeg * 3.14159265358979323846 / 180.0;
    const double x = a * rhoCosPhi, z = a * rhoSinPhi;
    const double s = std::sin(site.latitude), c = std::cos(site.latitude);
    const double w = std::sqrt(1.0 - e2 * s * s);
    // Distance from the foot point along the normal (cos φ, sin φ).
    site.heightGm = (x - a * c / w) * c + (z - a * (1.0 - e2) * s / w) * s;
    return site;
}

ObservatoryLookup findObservatory(const std::filesystem::path& file, std::string_view wanted) {
    ObservatoryLookup result;
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    if (error || !std::filesystem::is_regular_file(file)) {
        result.status = ObservatoryLookup::Status::FileProblem;
        result.message = "Cannot read " + file.string();
        return result;
    }
    if (bytes > kObservatoryFileBytesLimit) {
        result.status = ObservatoryLookup::Status::FileProblem;
        result.message = file.string() + " is too large for an observatory-code list";
        return result;
    }
    if (isExcludedObservatoryCode(wanted)) return result;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line); // header
    for (std::size_t n = 0; n < kObservatoryLinesRead && std::getline(in, line); ++n) {
        if (line.size() > kLongestLine) continue;
        const auto c = parseObservatoryLine(line);
        if (!c || c->code != wanted) continue;
        if (!c->groundPosition) return result; // space-based, roving or blank
        result.status = ObservatoryLookup::Status::Found;
        result.site = siteFromParallaxConstants(c->rhoCosPhi, c->rhoSinPhi, c->longitudeDeg);
        std::string name = c->name.substr(0, 15);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        result.site.label = "Ob:" + c->code + " " + name;
        return result;
    }
    return result;
}

} // namespace tarvo
