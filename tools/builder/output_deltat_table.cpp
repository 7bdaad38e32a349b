// ASC/DELTAT.TAB: observed Delta-T for the Auto mode, from the npm package
// astronomia's data/deltat.js (MIT; half-yearly values from 1657, monthly
// IERS/USNO values from 1973).  Its predictions are kept only where they
// continue the observations.  --astronomia-deltat=FILE names another copy.
#include "builder_output.h"

#include "tarvo/reductions/delta_t_table.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::filesystem::path sourceFile(const builder::BuildContext& ctx) {
#ifdef TARVO_NPM_DIR
    const std::string fallback =
        std::string(TARVO_NPM_DIR) + "/node_modules/astronomia/data/deltat.js";
#else
    const std::string fallback;
#endif
    return ctx.option("astronomia-deltat", fallback);
}

builder::Registration deltatTable{{
    .path = "ASC/DELTAT.TAB",
    .order = 10,
    .version = "1",
    .inputs =
        [](const builder::BuildContext& ctx) {
            return std::vector<std::filesystem::path>{sourceFile(ctx)};
        },
    .optionKeys = {"astronomia-deltat"},
    .build =
        [](const builder::BuildContext& ctx, const std::filesystem::path& target) {
            const std::filesystem::path source = sourceFile(ctx);
            std::ifstream in(source, std::ios::binary);
            if (!in)
                throw std::runtime_error(
                    source.string() +
                    " not found (npm package astronomia; scripts/setup installs it)");
            std::stringstream text;
            text << in.rdbuf();
            tarvo::AstronomiaDeltaT parsed;
            std::string message;
            if (!tarvo::parseAstronomiaDeltaT(text.str(), parsed, message))
                throw std::runtime_error(source.string() + ": " + message);
            std::string note;
            const auto samples = tarvo::observedDeltaTSamples(parsed, note);
            ctx.progress("DELTAT.TAB: " + std::to_string(samples.size()) + " values " +
                         std::to_string(samples.front().year).substr(0, 7) + " to " +
                         std::to_string(samples.back().year).substr(0, 7) +
                         (note.empty() ? "" : "; " + note));
            std::ofstream out(target, std::ios::binary);
            out << tarvo::formatDeltaTTable(samples, "astronomia data/deltat.js (IERS, USNO)");
            if (!out.flush()) throw std::runtime_error("write failed for " + target.string());
        },
}};

} // namespace
