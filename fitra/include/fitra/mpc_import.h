// The importer of MPC 80-column observation records: writes a positions
// file stem + ".POS" (calendar dates in TT or UT, packed sexagesimal
// angles, parallax-constant or spacecraft sites) and its magnitude file
// stem + ".MAG" beside the input.
//
// The input is a user's file: a line that is not a record (short, long,
// blank, binary, bad date or angle) is skipped and counted, never taken as
// the end of the data; a file of several objects is refused; nothing is
// written unless at least one observation was read.
#pragma once

#include "fitra/observation_tables.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace fitra {

inline constexpr std::uintmax_t kObservationFileBytesLimit = 64u << 20; // 64 MiB

// The lines of an observation file (a CR before the LF taken off). False,
// with the reason in `message`, when there is no such file or it is larger
// than kObservationFileBytesLimit.
bool readObservationLines(const std::filesystem::path& input, std::vector<std::string>& lines,
                          std::string& message);

struct ImportReport {
    bool written = false;
    std::filesystem::path positionsFile; // stem + ".POS" when written
    std::size_t observations = 0;
    std::size_t skipped = 0;              // lines that were no record
    std::size_t radar = 0;                // radar records, which this importer leaves out
    std::size_t roving = 0;               // roving-observer records (two lines each)
    std::size_t spacecraft = 0;           // spacecraft records (two lines each)
    std::string message;                  // what was written, or why nothing was
    std::vector<std::string> skipReasons; // the first few, "line N: why"
};

// The stem of a file name: everything before its first ".".
std::string fileStem(const std::filesystem::path& file);

// Imports `input`. `timeOffsets` is LEAPSECS.DAT (times in TT) or DUT1.DAT
// (times in UT, universalTime set).
ImportReport importMpcFile(const std::filesystem::path& input, const StationTable& stations,
                           const TimeOffsetTable& timeOffsets);

} // namespace fitra
