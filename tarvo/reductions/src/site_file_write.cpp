// GEOLOC.CRD: the observing site as the location dialog writes it.
#include "tarvo/reductions/site_files.h"
#include "fileio/atomic_file.h"
#include "fileio/format_mask.h"

#include <cstdio>
#include <numbers>

namespace tarvo {

std::string formatSiteFile(const ObserverSite& site) {
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    // The label is one line: a line break in it would shift the file's layout.
    std::string label = site.label;
    for (char& c : label)
        if (c == '\r' || c == '\n') c = ' ';
    // Four positions before the point: west longitudes down to -180 and the
    // sign of southern latitudes fit without overflowing the field.
    return formatMask("###.###### ", site.latitude * kDegrees) +
           formatMask("####.###### ", site.longitude * kDegrees) +
           formatMask("######.#", site.heightGm * 1e9) + "\r\n" + label + "\r\n";
}

bool writeSiteFile(const std::filesystem::path& file, const ObserverSite& site, std::string& message) {
    return writeFileAtomically(file, formatSiteFile(site), message);
}

} // namespace tarvo
