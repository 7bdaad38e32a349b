// BIN/PRECDATN.BIN: the long-term precession table the main program reads at
// start-up, 20011 records of ε_A, p_A (less its linear part), π_A and Π_A in
// 0.1" for every 100 years from -1 001 000 to +1 000 000 years.  The contents
// come from the long-term precession model (tarvo::computePrecessionTable).
#include "builder_output.h"
#include "builder_text.h"

#include "tarvo/reductions/frames.h"

#include <fstream>
#include <stdexcept>

namespace {

builder::Registration precdatn{{
    .path = "BIN/PRECDATN.BIN",
    .order = 20,
    .version = "1",
    .inputs = {},
    .optionKeys = {},
    .build =
        [](const builder::BuildContext& ctx, const std::filesystem::path& target) {
            ctx.progress("PRECDATN.BIN: long-term precession, 20011 entries");
            const auto bytes = tarvo::encodePrecessionTable(tarvo::computePrecessionTable());
            if (bytes.size() != tarvo::PrecessionTable::kFileBytes)
                throw std::runtime_error("precession table has the wrong size");
            builder::writeBytes(target, bytes);
        },
}};

} // namespace
