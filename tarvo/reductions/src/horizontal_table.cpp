// The horizontal table: azimuth, altitude, elongations, phase, magnitude and
// the times of rising, transit and setting.
#include "tarvo/reductions/ephemeris_tables.h"
#include "fileio/format_mask.h"

namespace tarvo {

std::string horizontalHeader() {
    return "Body        Azim  (°)  alt    Elong.  LunEl.   Phase  Magn   Rise  Trans.  Set ";
}

std::string horizontalRow(const HorizontalRow& row) {
    std::string line = row.name + " ";
    line += formatMask("###.####", row.place.azimuthDeg) + " ";
    line += formatMask("###.####", row.place.altitudeDeg) + " ";
    line += formatMask("####.#  ", row.phase.elongationDeg);
    line += formatMask("####.#  ", row.phase.lunarElongationDeg);
    line += formatMask(" ##.## ", row.phase.illuminatedFraction);
    line += row.phase.magnitudeShown ? formatMask("####.#  ", row.phase.magnitude) : std::string(8, ' ');
    line += row.rise + "  " + row.transit + "  " + row.set;
    return line;
}

std::string horizontalListingHeader() {
    return "LT                Azim     Alt.    Phas   Magn   Elong  LunEl  Rise   Trans   Set";
}

std::string horizontalListingRecord(const std::string& timeColumn, const HorizontalRow& row) {
    std::string line = timeColumn;
    line += formatMask(" ###.##", row.place.azimuthDeg);
    line += formatMask("  ###.##", row.place.altitudeDeg);
    line += formatMask("  #.##", row.phase.illuminatedFraction);
    line += row.phase.magnitudeShown ? formatMask(" ####.#", row.phase.magnitude) : std::string(7, ' ');
    line += formatMask("  ####.#", row.phase.elongationDeg);
    line += formatMask(" ####.#", row.phase.lunarElongationDeg);
    line += "  " + row.rise + "  " + row.transit + "  " + row.set;
    return line;
}

} // namespace tarvo
