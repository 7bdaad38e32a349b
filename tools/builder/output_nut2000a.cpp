// BIN/NUT2000A.BIN: the IAU 2000A nutation (IAU 2006 adjusted) in Chebyshev
// segments of 8 days with 12 coefficients, 1900 to 2100, fitted to ERFA's
// series (tarvo::computeNutationTable), so that the pages of the IAU
// reduction mode need no 1365-term sum.  Outside those years the programs
// call the series itself.
#include "builder_output.h"
#include "builder_text.h"

#include "tarvo/reductions/iau_reductions.h"

#include <fstream>
#include <stdexcept>

namespace {

constexpr std::int32_t kFirstDay = -36525; // 1899-12-31 12:00 TT
constexpr std::int32_t kSegmentDays = 8;
constexpr std::int32_t kSegments = 9132; // to 2100-01-01
constexpr std::int32_t kCoefficients = 12;

builder::Registration nut2000a{{
    .path = "BIN/NUT2000A.BIN",
    .order = 20,
    .version = "1",
    .inputs = {},
    .optionKeys = {},
    .build =
        [](const builder::BuildContext& ctx, const std::filesystem::path& target) {
            ctx.progress("NUT2000A.BIN: IAU 2000A nutation 1900-2100, 8-day segments");
            const auto table =
                tarvo::computeNutationTable(kFirstDay, kSegmentDays, kSegments, kCoefficients);
            builder::writeBytes(target, tarvo::encodeNutationTable(table));
        },
}};

} // namespace
