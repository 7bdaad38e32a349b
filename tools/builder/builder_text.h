// Outputs of the builder: text lines written with CR LF ends, as every text
// file of the suite is, and binary images written whole.
#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace builder {

inline void writeCrLfLines(const std::filesystem::path& target,
                           const std::vector<std::string>& lines) {
    std::ofstream f(target, std::ios::binary);
    if (!f) throw std::runtime_error("cannot write " + target.string());
    for (const auto& line : lines) f << line << "\r\n";
    if (!f.flush()) throw std::runtime_error("write failed for " + target.string());
}

inline void writeBytes(const std::filesystem::path& target, const std::vector<unsigned char>& bytes) {
    std::ofstream out(target, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("write failed for " + target.string());
}

} // namespace builder
