// The time offsets of the observation importers, from their public
// sources: the leap seconds of tzdata (leap-seconds.list) and UT1-UTC of an
// IERS finals file. The data-tree builder writes LEAPSECS.DAT and DUT1.DAT
// with these lines.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

// The lines of the files LEAPSECS.DAT and DUT1.DAT made from public sources:
// tzdata's leap-seconds.list (NTP seconds, TAI-UTC) and an IERS finals file
// (MJD in columns 8-15, UT1-UTC in 59-68). Newest first. Empty on no data.
std::vector<std::string> leapSecondsLines(const std::string& leapSecondsList);
std::vector<std::string> dut1Lines(const std::string& finals);

} // namespace tarvo
