// Inputs the observation tests build from public files outside the
// repository: the observatory codes of the MPC page, tzdata's leap seconds.
#pragma once

#include "fitra/mpc_import.h"
#include "fitra/observation_tables.h"
#include "tarvo/reductions/time_offset_sources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fitra::testing {

inline const std::filesystem::path kSharedData = TARVO_SHARED_DATA_DIR;
inline const std::filesystem::path kTzdataLeapSeconds = "/usr/share/zoneinfo/leap-seconds.list";

inline std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// OBSCODES.TXT from the lines inside <pre> of the MPC's ObsCodes.html.
inline void writeObscodesFromHtml(const std::filesystem::path& html,
                                  const std::filesystem::path& out) {
    std::istringstream in(slurp(html));
    std::ofstream o(out, std::ios::binary);
    o << "Code  Long.   cos      sin    Name\n";
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find("<pre>") != std::string::npos) {
            inside = true;
            continue;
        }
        if (line.find("</pre>") != std::string::npos) break;
        if (inside && line.rfind("Code", 0) != 0) {
            for (std::size_t at; (at = line.find("&amp;")) != std::string::npos;)
                line.replace(at, 5, "&");
            o << line << "\n";
        }
    }
}

inline void writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::ofstream o(file, std::ios::binary);
    for (const auto& l : lines) o << l << "\r\n";
}

} // namespace fitra::testing

#define FITRA_REQUIRE_FILE(path)                                                                   \
    do {                                                                                           \
        if (!std::filesystem::exists(path))                                                        \
            GTEST_SKIP() << "*** SKIPPED: missing " << (path) << " - this test did not run ***";   \
    } while (0)
