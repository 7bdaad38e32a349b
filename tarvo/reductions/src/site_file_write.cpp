// GEOLOC.CRD: the observing site as the location dialog writes it.
#include "tarvo/reductions/site_files.h"
#include "tarvo/shell/format_mask.h"

#include <cstdio>
#include <fstream>
#include <numbers>
#include <system_error>

namespace tarvo {

std::string formatSiteFile(const ObserverSite& site) {
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    // The label is one line: a line break in it would shift the file's layout.
    std::string label = site.label;
    for (char& c : label)
        if (c == '\r' || c == '\n') c = ' ';
    return formatMask("###.###### ", site.latitude * kDegrees) + formatMask("###.###### ", site.longitude * kDegrees) +
           formatMask("######.#", site.heightGm * 1e9) + "\r\n" + label + "\r\n";
}

bool writeSiteFile(const std::filesystem::path& file, const ObserverSite& site, std::string& message) {
    const std::filesystem::path temporary = file.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << formatSiteFile(site);
        if (!out.flush()) {
            message = "Cannot write " + file.string();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        message = "Cannot write " + file.string() + ": " + error.message();
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace tarvo
