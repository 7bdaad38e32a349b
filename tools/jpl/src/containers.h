// Openers of the two ephemeris containers: each reads and checks the header
// and returns the source of the data records.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "jpl/ephemeris_header.h"
#include "record_source.h"

namespace jpl::detail {

// Standard JPL binary file, byte order detected from the header.
std::unique_ptr<RecordSource> openJplBinary(const std::filesystem::path& file, EphemerisHeader& header,
                                            std::string& message);

// Casacore DE405 table: a directory with table.dat and table.f0i.
std::unique_ptr<RecordSource> openCasacoreDe405(const std::filesystem::path& directory,
                                                EphemerisHeader& header, std::string& message);

// Whole file into memory, refusing files larger than `maximumBytes`.
bool readWholeFile(const std::filesystem::path& file, std::size_t maximumBytes,
                   std::vector<unsigned char>& bytes, std::string& message);

}  // namespace jpl::detail
