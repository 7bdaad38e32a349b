// Standard JPL binary ephemeris files.
//
// Record 1: three 84-character titles, 400 six-character constant names,
// start/end/step (JD), NCON, AU (km), EMRAT, the pointer triples of the
// first twelve series, DE number, the librations triple; files with more
// than 400 constants then hold names 401..NCON and the triples of the lunar
// mantle velocity and of TT-TDB. Record 2: NCON constant values. Every later
// record is one data block starting with its two JD words. All records have
// the length of a data record; integers and doubles are in the byte order of
// the machine that wrote the file, told here from the plausibility of NCON,
// the DE number and the span.
#include <cmath>
#include <fstream>
#include <sstream>

#include "fileio/byte_cursor.h"
#include "containers.h"

namespace jpl::detail {

using tarvo::ByteCursor;
using tarvo::trimmedRight;
namespace {

constexpr std::size_t titleBytes = 3 * 84;
constexpr std::size_t oldNameCount = 400;
constexpr std::size_t spanOffset = titleBytes + oldNameCount * 6;  // 2652
constexpr std::size_t fixedPartBytes = spanOffset + 24 + 4 + 8 + 8 + 12 * 12 + 4 + 12;  // 2856: end of the fixed part
constexpr int maximumConstants = 100000;
constexpr int maximumCoefficients = 1000;  // per component and subinterval, far above any DE file
constexpr int maximumSubintervals = 1000;

struct FixedPart {
    double startJd = 0, endJd = 0, stepDays = 0;
    int ncon = 0;
    double au = 0, emrat = 0;
    int denum = 0;
};

FixedPart readFixedPart(const std::vector<unsigned char>& head, bool bigEndian, PointerTable& table)
{
    ByteCursor in(head.data(), head.size(), bigEndian);
    FixedPart part;
    in.seek(spanOffset);
    part.startJd = in.f64();
    part.endJd = in.f64();
    part.stepDays = in.f64();
    part.ncon = in.i32();
    part.au = in.f64();
    part.emrat = in.f64();
    for (int s = 0; s < 12; ++s) {
        table[s].pointer = in.i32();
        table[s].coefficients = in.i32();
        table[s].subintervals = in.i32();
    }
    part.denum = in.i32();
    table[12].pointer = in.i32();
    table[12].coefficients = in.i32();
    table[12].subintervals = in.i32();
    return part;
}

bool plausible(const FixedPart& part)
{
    return part.ncon > 0 && part.ncon <= maximumConstants && part.denum > 0 && part.denum < 100000 &&
           std::isfinite(part.startJd) && std::isfinite(part.endJd) && part.startJd < part.endJd &&
           part.stepDays > 0 && part.stepDays <= 1000 && part.au > 1e8 && part.au < 2e8 &&
           part.emrat > 1 && part.emrat < 1000;
}

bool checkLayout(const PointerTable& table, std::string& problem)
{
    for (int s = 0; s < seriesCount; ++s) {
        const SeriesLayout& l = table[s];
        // Files name a pointer but no coefficients for series they lack.
        if (l.coefficients == 0 || l.subintervals == 0) continue;
        if (l.pointer < 3 || l.coefficients < 1 || l.coefficients > maximumCoefficients ||
            l.subintervals < 1 || l.subintervals > maximumSubintervals) {
            std::ostringstream text;
            text << "the pointer table entry of " << seriesName(static_cast<Series>(s)) << " ("
                 << l.pointer << ", " << l.coefficients << ", " << l.subintervals << ") is invalid";
            problem = text.str();
            return false;
        }
    }
    if (!table[0].present() || !table[2].present() || !table[9].present() || !table[10].present()) {
        problem = "the pointer table lacks a planet series";
        return false;
    }
    return true;
}

class JplBinaryRecords final : public RecordSource {
public:
    JplBinaryRecords(std::string name, std::ifstream stream, bool bigEndian, int words)
        : name_(std::move(name)), stream_(std::move(stream)), bigEndian_(bigEndian), words_(words),
          bytes_(static_cast<std::size_t>(words) * 8)
    {}

    bool read(std::size_t index, std::vector<double>& words, std::string& message) override
    {
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>((index + 2) * bytes_.size()));
        stream_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        if (!stream_) {
            message = name_ + ": cannot read data record " + std::to_string(index + 1);
            return false;
        }
        ByteCursor in(bytes_.data(), bytes_.size(), bigEndian_);
        words.resize(words_);
        for (int i = 0; i < words_; ++i) words[i] = in.f64();
        return true;
    }

private:
    std::string name_;
    std::ifstream stream_;
    bool bigEndian_;
    int words_;
    std::vector<unsigned char> bytes_;
};

}  // namespace

std::unique_ptr<RecordSource> openJplBinary(const std::filesystem::path& file, EphemerisHeader& header,
                                            std::string& message)
{
    const std::string name = file.string();
    std::error_code error;
    const std::uintmax_t length = std::filesystem::file_size(file, error);
    if (error) {
        message = name + ": cannot open the ephemeris file (" + error.message() + ")";
        return nullptr;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        message = name + ": cannot open the ephemeris file";
        return nullptr;
    }
    if (length < fixedPartBytes) {
        message = name + ": too short for a JPL ephemeris header (" + std::to_string(length) + " bytes)";
        return nullptr;
    }
    std::vector<unsigned char> head(fixedPartBytes);
    stream.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    if (!stream) {
        message = name + ": cannot read the ephemeris header";
        return nullptr;
    }

    PointerTable table{};
    bool bigEndian = false;
    FixedPart part = readFixedPart(head, false, table);
    if (!plausible(part)) {
        bigEndian = true;
        table = {};
        part = readFixedPart(head, true, table);
        if (!plausible(part)) {
            message = name + ": not a JPL binary ephemeris (no plausible header in either byte order)";
            return nullptr;
        }
    }

    // Names beyond the 400th and the two newer pointer triples.
    std::vector<std::string> extraNames;
    if (part.ncon > static_cast<int>(oldNameCount)) {
        const std::size_t extraBytes = (part.ncon - oldNameCount) * 6 + 24;
        if (length < fixedPartBytes + extraBytes) {
            message = name + ": the header is truncated";
            return nullptr;
        }
        std::vector<unsigned char> extra(extraBytes);
        stream.read(reinterpret_cast<char*>(extra.data()), static_cast<std::streamsize>(extra.size()));
        if (!stream) {
            message = name + ": cannot read the ephemeris header";
            return nullptr;
        }
        ByteCursor in(extra.data(), extra.size(), bigEndian);
        for (int c = oldNameCount; c < part.ncon; ++c) extraNames.push_back(trimmedRight(in.characters(6)));
        for (int s = 13; s < 15; ++s) {
            table[s].pointer = in.i32();
            table[s].coefficients = in.i32();
            table[s].subintervals = in.i32();
        }
    }

    std::string problem;
    if (!checkLayout(table, problem)) {
        message = name + ": " + problem;
        return nullptr;
    }
    const int words = wordsPerRecord(table);
    const std::size_t recordBytes = static_cast<std::size_t>(words) * 8;
    const std::size_t headerNeeds = fixedPartBytes + (extraNames.size() * 6) + (extraNames.empty() ? 0 : 24);
    if (recordBytes < headerNeeds || recordBytes < static_cast<std::size_t>(part.ncon) * 8) {
        message = name + ": the record length implied by the pointer table (" + std::to_string(recordBytes) +
                  " bytes) cannot hold the header";
        return nullptr;
    }
    if (length % recordBytes != 0 || length / recordBytes < 3) {
        message = name + ": the length " + std::to_string(length) + " is not a whole number (3 or more) of " +
                  std::to_string(recordBytes) + "-byte records; the file is truncated or damaged";
        return nullptr;
    }

    // Titles and constant names from record 1, values from record 2.
    header = EphemerisHeader{};
    header.fileName = name;
    header.container = bigEndian ? "JPL binary, big-endian" : "JPL binary, little-endian";
    for (int t = 0; t < 3; ++t)
        header.titles.push_back(trimmedRight(std::string(reinterpret_cast<const char*>(head.data()) + 84 * t, 84)));
    std::vector<unsigned char> values(static_cast<std::size_t>(part.ncon) * 8);
    stream.seekg(static_cast<std::streamoff>(recordBytes));
    stream.read(reinterpret_cast<char*>(values.data()), static_cast<std::streamsize>(values.size()));
    if (!stream) {
        message = name + ": cannot read the constants record";
        return nullptr;
    }
    ByteCursor valueCursor(values.data(), values.size(), bigEndian);
    for (int c = 0; c < part.ncon; ++c) {
        std::string constantName =
            c < static_cast<int>(oldNameCount)
                ? trimmedRight(std::string(reinterpret_cast<const char*>(head.data()) + titleBytes + 6 * c, 6))
                : extraNames[c - oldNameCount];
        // Leading blanks are allowed in the file's names.
        const std::size_t first = constantName.find_first_not_of(' ');
        constantName = first == std::string::npos ? std::string() : constantName.substr(first);
        header.constants.push_back({constantName, valueCursor.f64()});
    }

    header.denum = part.denum;
    header.auKm = part.au;
    header.emrat = part.emrat;
    header.layout = table;
    header.wordsPerRecord = words;
    header.recordCount = length / recordBytes - 2;

    // The span is that of the data records actually present (excerpts of a
    // longer ephemeris keep the full span in their header).
    auto records = std::make_unique<JplBinaryRecords>(name, std::move(stream), bigEndian, words);
    std::vector<double> first, last;
    if (!records->read(0, first, message) || !records->read(header.recordCount - 1, last, message))
        return nullptr;
    const double recordDays = first[1] - first[0];
    if (!(recordDays > 0) || !std::isfinite(first[0]) || recordDays != part.stepDays) {
        std::ostringstream text;
        text.precision(17);
        text << name << ": the first data record spans " << first[0] << " to " << first[1]
             << ", which does not match the header's record length of " << part.stepDays << " days";
        message = text.str();
        return nullptr;
    }
    const long double expectedLastStart = first[0] + static_cast<long double>(recordDays) * (header.recordCount - 1);
    if (last[0] != expectedLastStart || last[1] - last[0] != recordDays) {
        message = name + ": the data records are not contiguous (the last record does not start " +
                  std::to_string(header.recordCount - 1) + " record lengths after the first)";
        return nullptr;
    }
    header.declaredStartJd = part.startJd;
    header.declaredEndJd = part.endJd;
    header.startJd = first[0];
    header.endJd = last[1];
    header.recordDays = recordDays;
    return records;
}

}  // namespace jpl::detail
