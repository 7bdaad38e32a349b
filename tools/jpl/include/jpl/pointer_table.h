// Where each Chebyshev series sits inside a data record.
#pragma once

#include <array>

#include "jpl/bodies.h"

namespace jpl {

struct SeriesLayout {
    int pointer = 0;       // 1-based word of the first coefficient; words 1 and 2 are the record's dates
    int coefficients = 0;  // coefficients per component and subinterval
    int subintervals = 0;  // subintervals the record's span is cut into

    bool present() const { return pointer > 0 && coefficients > 0 && subintervals > 0; }
};

using PointerTable = std::array<SeriesLayout, seriesCount>;

// Words (doubles) one record needs to hold every present series, the two
// date words included; 0 when no series is present.
int wordsPerRecord(const PointerTable& table);

// The pointer table of DE405 (and DE430, DE431, DE440, DE441 for the first
// thirteen series), as published with the ephemeris.
PointerTable de405PointerTable();

}  // namespace jpl
