// selectLocation: the location dialog (key G of the run loop).
#include "tarvo/shell/location_dialog.h"
#include "fileio/format_mask.h"
#include "fileio/text_util.h"

#include "console/console.h"
#include "tarvo/views/location_picker.h"

#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr int kPromptRow = 9;

bool isKey(const console::Event& e, char letter) {
    return e.key == letter || e.key == letter - 'A' + 'a';
}

// A line typed at (row, col); nullopt on Esc.
std::optional<std::string> ask(int row, std::string_view prompt, int maxLength) {
    console::printAt(row, 1, prompt);
    return console::readLine(maxLength);
}

void showAndWait(int row, std::string_view text) {
    console::printAt(row, 1, text);
    console::readKey();
}

void showSite(const ObserverSite& site) {
    console::clear();
    const double longitude = site.longitude * kDegrees;
    console::printAt(2, 1, "Lat:  " + formatMask(" ###.###", site.latitude * kDegrees));
    console::printAt(3, 1, "Lon:  " + formatMask(" ###.###", std::fabs(longitude)) + (longitude < 0.0 ? " (W)" : " (E)"));
    console::printAt(4, 1, "  h:  " + formatMask("######", site.heightGm * 1e9) + " m");
    console::printAt(5, 1, site.label);
    console::printAt(7, 1, " Accept ? (Y or N)");
}

enum class InputType { Observatory, Library, Manual, WorldMap, Abandon };

InputType chooseInputType() {
    console::clear();
    console::printAt(2, 1, " Select input type ");
    console::printAt(4, 1, "O  Observatory Code");
    console::printAt(5, 1, "L  Location Library");
    console::printAt(6, 1, "M   Manual Input   ");
    console::printAt(7, 1, "W   World Map      ");
    while (true) {
        const console::Event e = console::readKey();
        if (e.key == console::Key::Esc) return InputType::Abandon;
        if (isKey(e, 'O') || (e.key == console::Key::Click && e.row == 4)) return InputType::Observatory;
        if (isKey(e, 'L') || (e.key == console::Key::Click && e.row == 5)) return InputType::Library;
        if (isKey(e, 'M') || (e.key == console::Key::Click && e.row == 6)) return InputType::Manual;
        if (isKey(e, 'W') || (e.key == console::Key::Click && e.row == 7)) return InputType::WorldMap;
    }
}

// The three outcomes of one pass through an input type.
struct Attempt {
    enum class Result { NewSite, Restart, Abandon } result = Result::Restart;
    ObserverSite site;
};

Attempt byObservatoryCode(const LocationFiles& files) {
    Attempt a;
    std::string code;
    while (true) {
        console::clearLine(kPromptRow);
        const auto answer = ask(kPromptRow, "Observatory Code ?", 8);
        if (!answer) return {Attempt::Result::Abandon, {}};
        code = upperCase(trim(*answer));
        if (code.size() == 3) break;
    }
    const ObservatoryLookup found = findObservatory(files.observatoryCodes, code);
    if (found.status == ObservatoryLookup::Status::FileProblem) {
        showAndWait(kPromptRow + 2, found.message);
        return a;
    }
    if (found.status == ObservatoryLookup::Status::NotFound) {
        showAndWait(kPromptRow + 2, "Obs. not found!");
        return a;
    }
    return {Attempt::Result::NewSite, found.site};
}

Attempt byLibrary(const LocationFiles& files) {
    const auto answer = ask(kPromptRow, "   Location Name ?", 24);
    if (!answer) return {Attempt::Result::Abandon, {}};
    if (trim(*answer).empty()) return {};
    static const std::vector<GeoSite> kNone;
    const std::vector<GeoSite>& sites = files.geoSites ? *files.geoSites : kNone;
    for (std::size_t index : matchGeoSites(sites, *answer)) {
        const GeoSite& s = sites[index];
        console::clearLine(kPromptRow + 2);
        console::printAt(kPromptRow + 2, 1, s.name + "  " + s.region + "  OK (Y or N) ? ");
        const console::Event e = console::readKey();
        if (e.key == console::Key::Esc) return {Attempt::Result::Abandon, {}};
        if (isKey(e, 'Y')) {
            return {Attempt::Result::NewSite, siteFromGeoSite(s)};
        }
    }
    console::clearLine(kPromptRow + 2);
    showAndWait(kPromptRow + 2, "Loc. not found!");
    return {};
}

Attempt byManualInput() {
    console::printAt(kPromptRow, 1, "Custom Site");
    console::printAt(kPromptRow + 1, 1, "East Long. positive");
    const auto latitude = ask(kPromptRow + 2, "Lat (deg) ", 20);
    if (!latitude) return {Attempt::Result::Abandon, {}};
    const auto longitude = ask(kPromptRow + 3, "Lon (deg) ", 20);
    if (!longitude) return {Attempt::Result::Abandon, {}};
    const auto height = ask(kPromptRow + 4, " h (m)  ", 20);
    if (!height) return {Attempt::Result::Abandon, {}};
    return {Attempt::Result::NewSite,
            siteFromTypedValues(readFreeNumber(*latitude), readFreeNumber(*longitude), readFreeNumber(*height))};
}

// The site picked with the mouse on the world map; Esc there comes back to
// the start of the dialog.
Attempt byWorldMap(const LocationFiles& files, const ObserverSite& current) {
    const auto picked = pickLocationOnMap({files.imageDirectory, files.geoSites, current});
    if (!picked) return {};
    return {Attempt::Result::NewSite, *picked};
}

} // namespace

LocationOutcome selectLocation(ObserverSite& site, const LocationFiles& files) {
    while (true) {
        showSite(site);
        const console::Event e = console::readKey();
        if (isKey(e, 'Y') || e.key == console::Key::Enter || e.key == console::Key::Esc) return LocationOutcome::Kept;
        const InputType type = chooseInputType();
        if (type == InputType::Abandon) return LocationOutcome::Kept;
        const Attempt a = type == InputType::Observatory ? byObservatoryCode(files)
                          : type == InputType::Library   ? byLibrary(files)
                          : type == InputType::WorldMap  ? byWorldMap(files, site)
                                                         : byManualInput();
        if (a.result == Attempt::Result::Abandon) return LocationOutcome::Kept;
        if (a.result == Attempt::Result::Restart) continue;
        std::string message;
        if (!writeSiteFile(files.siteFile, a.site, message)) {
            showAndWait(kPromptRow + 6, message);
            return LocationOutcome::Kept;
        }
        site = a.site;
        return LocationOutcome::Changed;
    }
}

} // namespace tarvo
