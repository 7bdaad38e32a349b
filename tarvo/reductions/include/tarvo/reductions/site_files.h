// The observing site's files: observatory codes (OBSCODES.TXT), the location
// library (GEOSITES.DAT), the site file GEOLOC.CRD that the location dialog
// writes, and the dialog itself (key G of the run loop).
//
// Every reader here takes a file the user may have supplied: lengths are
// checked before anything is kept, a damaged line is skipped and counted,
// and every message names the file.
#pragma once

#include "tarvo/reductions/places.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// ---- OBSCODES.TXT ----------------------------------------------------------------

// One line of the observatory-code list: code in columns 1-3, east longitude
// (degrees) 5-13, ρ cos φ' 14-21, ρ sin φ' 22-30 (Earth radii), name 31-50.
struct ObservatoryCode {
    std::string code;
    bool groundPosition = false; // false: space-based, roving or blank fields
    double longitudeDeg = 0.0;
    double rhoCosPhi = 0.0;
    double rhoSinPhi = 0.0;
    std::string name;
};

inline constexpr std::size_t kObservatoryLinesRead = 4000;          // lines after the header
inline constexpr std::uintmax_t kObservatoryFileBytesLimit = 4u << 20; // 4 MiB

// Parses one line; nullopt for a line too short to hold a code.  Fields that
// are blank or not numbers leave groundPosition false.
std::optional<ObservatoryCode> parseObservatoryLine(std::string_view line);

// "245", "500" and "247" to "250": codes without a ground position.
bool isExcludedObservatoryCode(std::string_view code);

/*
** siteFromParallaxConstants: geodetic site of an observatory code.
**
** Given:   ρ cos φ', ρ sin φ' (Earth radii), east longitude (degrees)
** Returned: geodetic latitude φ = atan2(ρ sin φ', ρ cos φ' (1 - e²)) (radians),
**          longitude (radians) and height (Gm) from three passes of the
**          height formula
** Notes: the height is taken along the normal, h = (X - a cos φ/W) cos φ +
**   (Z - a(1 - e²) sin φ/W) sin φ, which is the average of the two
**   quotients of the three-pass formula weighted so that a site on the
**   equator (sin φ = 0) or at a pole (cos φ = 0) divides by nothing.  The
**   latitude is not refined: within 0.5" of the exact geodetic latitude for
**   sites below 5 km, heights within a few centimetres of eraGc2gd.
*/
ObserverSite siteFromParallaxConstants(double rhoCosPhi, double rhoSinPhi, double longitudeDeg);

struct ObservatoryLookup {
    enum class Status { Found, NotFound, FileProblem } status = Status::NotFound;
    ObserverSite site; // label "Ob:" + code + " " + the first 15 characters of the name
    std::string message;
};

// Looks a code up in OBSCODES.TXT (first line skipped, at most 4000 lines).
// Excluded codes and codes without a ground position are NotFound.
ObservatoryLookup findObservatory(const std::filesystem::path& file, std::string_view code);

// ---- GEOSITES.DAT ------------------------------------------------------------------

// One site of the location library: columns 1-24 name, 26-44 region, 46-52
// latitude, 53-60 longitude (degrees, north and east positive), 61- height (m).
struct GeoSite {
    std::string name;   // trailing blanks removed
    std::string region; // trailing blanks removed
    double latitudeDeg = 0.0;
    double longitudeDeg = 0.0;
    int heightM = 0;
};

inline constexpr std::size_t kGeoSitesLineLimit = 200000;
inline constexpr std::uintmax_t kGeoSitesFileBytesLimit = 16u << 20; // 16 MiB

struct GeoSitesLoad {
    bool ok = false;             // false: nothing usable (missing, oversized); sites empty
    std::vector<GeoSite> sites;
    std::size_t skippedLines = 0; // too short, not numbers or out of range
    std::string message;         // empty, or says what was wrong, naming the file
};

// Formats one GEOSITES.DAT line (the builder's layout).
std::string formatGeoSiteLine(const GeoSite& site);
// Parses one line; nullopt when it is too short or its numbers are out of range.
std::optional<GeoSite> parseGeoSiteLine(std::string_view line);
GeoSitesLoad readGeoSites(const std::filesystem::path& file);

// Candidates for a typed name: the sites whose name equals it (upper case,
// trailing blanks removed) and then those that contain it starting at
// character 1 to 4; indices into `sites`, without repeats.
std::vector<std::size_t> matchGeoSites(const std::vector<GeoSite>& sites, std::string_view answer);

// ---- GEOLOC.CRD --------------------------------------------------------------------

// The file text: "###.###### " latitude, "###.###### " longitude (degrees),
// "######.#" height (m), CR LF, the label, CR LF.
std::string formatSiteFile(const ObserverSite& site);
// Writes GEOLOC.CRD through a temporary file renamed into place; false with
// a message naming the file when it cannot be written (the old file stays).
bool writeSiteFile(const std::filesystem::path& file, const ObserverSite& site, std::string& message);

// GEOLOC.CRD as read at start-up: latitude, longitude (north and east
// positive, degrees) and height (m) on the first line, then the label as a
// whole line (commas in it survive).
struct SiteRecord {
    double latitudeDeg = 0, longitudeDeg = 0;
    double heightM = 0;
    std::string label;
};
enum class SiteFileStatus { Read, Unreadable, Damaged };
// Reads GEOLOC.CRD; on Unreadable or Damaged `message` names the file and
// the fault, and `site` is left as it was.
SiteFileStatus readSiteFile(const std::filesystem::path& file, SiteRecord& site, std::string& message);

// ---- sites from the location dialog's answers ---------------------------------------

// A site of the location library as the page's observer ("Loc: NAME").
ObserverSite siteFromGeoSite(const GeoSite& site);
// A site typed by hand (degrees, east positive; metres): a latitude beyond
// the pole is taken as the pole, the longitude is reduced into (-180, 180]
// (a non-finite one reads as 0), the height is kept within the reach of
// GEOLOC.CRD's mask.  Labelled "Custom Site".
ObserverSite siteFromTypedValues(double latitudeDeg, double longitudeDeg, double heightM);

} // namespace tarvo
