// CFG/LEAPSECS.DAT and CFG/DUT1.DAT: the time offsets the observation
// importers of fitra apply. LEAPSECS.DAT lists TAI-UTC from the operating
// system's tzdata (leap-seconds.list, kept current by the OS) or from
// --leap-seconds=FILE in the same format; DUT1.DAT lists UT1-UTC from an
// IERS finals file given with --iers-finals=FILE, and without one only the
// value 0 from 1972, so that times in UT are taken as UTC.
// Both: one "Julian date  seconds" pair per line, newest first.
#include "builder_output.h"
#include "builder_text.h"

#include "tarvo/reductions/time_offset_sources.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

const char* const kTzdataLeapSeconds = "/usr/share/zoneinfo/leap-seconds.list";

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

builder::Registration leapSeconds{{
    .path = "CFG/LEAPSECS.DAT",
    .order = 10,
    .version = "1",
    .inputs =
        [](const builder::BuildContext& context) {
            return std::vector<std::filesystem::path>{
                context.option("leap-seconds", kTzdataLeapSeconds)};
        },
    .optionKeys = {"leap-seconds"},
    .build =
        [](const builder::BuildContext& context, const std::filesystem::path& target) {
            const std::string source = context.option("leap-seconds", kTzdataLeapSeconds);
            const auto lines = tarvo::leapSecondsLines(slurp(source));
            if (lines.empty()) throw std::runtime_error("no leap seconds in " + source);
            builder::writeCrLfLines(target, lines);
            context.progress("LEAPSECS.DAT: " + std::to_string(lines.size()) +
                             " leap seconds from " + source);
        },
}};

builder::Registration dut1{{
    .path = "CFG/DUT1.DAT",
    .order = 10,
    .version = "1",
    .inputs =
        [](const builder::BuildContext& context) {
            std::vector<std::filesystem::path> files;
            if (const auto f = context.option("iers-finals"); !f.empty()) files.push_back(f);
            return files;
        },
    .optionKeys = {"iers-finals"},
    .build =
        [](const builder::BuildContext& context, const std::filesystem::path& target) {
            std::vector<std::string> lines{"2441317.5 0"};
            if (const auto f = context.option("iers-finals"); !f.empty()) {
                lines = tarvo::dut1Lines(slurp(f));
                if (lines.empty()) throw std::runtime_error("no UT1-UTC values in " + f);
                context.progress("DUT1.DAT: " + std::to_string(lines.size()) +
                                 " daily values from " + f);
            }
            builder::writeCrLfLines(target, lines);
        },
}};

} // namespace
