// decodeNutationTable, encodeNutationTable, loadNutationTable,
// nutationIau2000A: the fitted IAU 2000A nutation of NUT2000A.BIN.
//
// File:  header of four little-endian int32 (first day, segment days,
//        segment count, coefficients N), then per segment N doubles of Δψ
//        and N doubles of Δε (radians), Chebyshev coefficients over the
//        segment mapped to [-1, 1].
// Notes: the reader checks the length against the header before it reads
//        and leaves the table unchanged on any error, with a message naming
//        the file.  Outside the segments the series comes from ERFA.

#include "tarvo/reductions/iau_reductions.h"

#include <erfa.h>
#include <erfam.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tarvo {

namespace {

constexpr std::int32_t kMaxCoefficients = 32;
constexpr std::int32_t kMaxSegmentDays = 64;
constexpr std::size_t kMaxSegments = 2000000;
constexpr double kMaxCoefficient = 1e-4; // radians (20.6"); the nutation is below 19"

std::int32_t readInt32(const unsigned char* p) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | p[k];
    return static_cast<std::int32_t>(v);
}
void writeInt32(std::vector<unsigned char>& out, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<unsigned char>(v >> (8 * k)));
}
double readDouble(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int k = 7; k >= 0; --k) v = (v << 8) | p[k];
    return std::bit_cast<double>(v);
}
void writeDouble(std::vector<unsigned char>& out, double value) {
    const auto v = std::bit_cast<std::uint64_t>(value);
    for (int k = 0; k < 8; ++k) out.push_back(static_cast<unsigned char>(v >> (8 * k)));
}

// Σ c_j T_j(x) by Clenshaw's recurrence.
double chebyshev(const double* c, int n, double x) {
    double b1 = 0.0, b2 = 0.0;
    for (int j = n - 1; j >= 1; --j) {
        const double b0 = 2.0 * x * b1 - b2 + c[j];
        b2 = b1;
        b1 = b0;
    }
    return x * b1 - b2 + c[0];
}

} // namespace

bool decodeNutationTable(std::span<const unsigned char> bytes, const std::string& fileName,
                         NutationTable& table, std::string& message) {
    if (bytes.size() < NutationTable::kHeaderBytes) {
        message = fileName + " is too short for a nutation table (" + std::to_string(bytes.size()) +
                  " bytes)";
        return false;
    }
    NutationTable t;
    t.firstDay = readInt32(bytes.data());
    t.segmentDays = readInt32(bytes.data() + 4);
    const std::int32_t count = readInt32(bytes.data() + 8);
    t.coefficients = readInt32(bytes.data() + 12);
    if (t.segmentDays < 1 || t.segmentDays > kMaxSegmentDays || t.coefficients < 2 ||
        t.coefficients > kMaxCoefficients || count < 1 ||
        static_cast<std::size_t>(count) > kMaxSegments) {
        message = fileName + " has no valid nutation-table header";
        return false;
    }
    const std::size_t perSegment = 2 * static_cast<std::size_t>(t.coefficients);
    const std::size_t expected =
        NutationTable::kHeaderBytes + static_cast<std::size_t>(count) * perSegment * 8;
    if (bytes.size() != expected) {
        message = fileName + " holds " + std::to_string(bytes.size()) +
                  " bytes; its header asks for " + std::to_string(expected);
        return false;
    }
    t.values.resize(static_cast<std::size_t>(count) * perSegment);
    for (std::size_t k = 0; k < t.values.size(); ++k) {
        const double v = readDouble(bytes.data() + NutationTable::kHeaderBytes + 8 * k);
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoefficient) {
            message = fileName + ": coefficient " + std::to_string(k) + " is no nutation";
            return false;
        }
        t.values[k] = v;
    }
    table = std::move(t);
    return true;
}

std::vector<unsigned char> encodeNutationTable(const NutationTable& table) {
    std::vector<unsigned char> out;
    out.reserve(NutationTable::kHeaderBytes + 8 * table.values.size());
    writeInt32(out, table.firstDay);
    writeInt32(out, table.segmentDays);
    writeInt32(out, static_cast<std::int32_t>(table.segments()));
    writeInt32(out, table.coefficients);
    for (double v : table.values) writeDouble(out, v);
    return out;
}

bool loadNutationTable(const std::filesystem::path& file, NutationTable& table,
                       std::string& message) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        message = file.string() + " cannot be read: " + ec.message();
        return false;
    }
    constexpr std::uintmax_t kMaxBytes = 64u << 20;
    if (size > kMaxBytes) {
        message = file.string() + " is too large to be a nutation table";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
        message = file.string() + " cannot be read";
        return false;
    }
    return decodeNutationTable(bytes, file.string(), table, message);
}

Nutation nutationIau2000A(long double t, const NutationTable* table) {
    if (table && !table->empty()) {
        const long double u = (t - table->firstDay) / table->segmentDays;
        const long double segment = std::floor(u);
        if (segment >= 0 && segment < static_cast<long double>(table->segments())) {
            const auto k = static_cast<std::size_t>(segment);
            const double x = static_cast<double>(2.0L * (u - segment) - 1.0L);
            const int n = table->coefficients;
            const double* c = table->values.data() + k * 2 * static_cast<std::size_t>(n);
            return {chebyshev(c, n, x), chebyshev(c + n, n, x)};
        }
    }
    double dpsi = 0.0, deps = 0.0;
    eraNut06a(ERFA_DJ00, static_cast<double>(t), &dpsi, &deps);
    return {dpsi, deps};
}

} // namespace tarvo
