// What the header of an ephemeris says: titles, span, constants, layout.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "jpl/pointer_table.h"

namespace jpl {

struct NamedConstant {
    std::string name;  // as in the file, trailing blanks removed ("AU", "EMRAT", "GM1", "MA0001")
    double value = 0;
};

struct EphemerisHeader {
    std::string fileName;        // the file or table directory that was opened
    std::string container;       // "JPL binary, little-endian", "casacore table", ...
    std::vector<std::string> titles;
    int denum = 0;               // development ephemeris number (405, 430, ...)
    long double startJd = 0;     // TDB Julian date where the first data record starts
    long double endJd = 0;       // TDB Julian date where the last data record ends
    long double recordDays = 0;  // span of one data record (days)
    long double declaredStartJd = 0;  // span the header states; excerpts of a longer
    long double declaredEndJd = 0;    // ephemeris keep that of the whole ephemeris
    std::size_t recordCount = 0;
    long double auKm = 0;        // astronomical unit (km)
    long double emrat = 0;       // Earth/Moon mass ratio
    std::vector<NamedConstant> constants;
    PointerTable layout{};
    int wordsPerRecord = 0;      // doubles per record, the two date words included

    // The constant of that name, or nullptr.
    const double* constant(std::string_view name) const;
};

}  // namespace jpl
