// The DE405 table of the casacore data package.
//
// table.dat holds the table's keywords: the JPL constants under their JPL
// names (AU, EMRAT, GM1 ... GMS, MA0001, X1 ...), the ephemeris number DENUM,
// MJD0 and dMJD, and, among the keywords of the coefficient column, the
// pointer table as a 3 x 13 integer array (pointers, coefficient counts,
// subinterval counts). MJD0 is the start of the record before the first one:
// row k covers MJD0 + dMJD (k + 1) to MJD0 + dMJD (k + 2), as the table's
// MJD column and the JPL test points confirm.
//
// table.f0i holds the coefficient arrays, little-endian: a 28-byte file
// header (version, 64-bit file length, then the first array's header), and
// per row an array of `n` doubles (n = 1018) followed by the next array's
// 16-byte header; the last row has no trailer. Each 12-byte array header ends
// with the words 1, 1, n. A row holds the coefficients of a standard DE405
// record without its two JD words.
#include <cmath>
#include <fstream>

#include "fileio/byte_cursor.h"
#include "casacore_keywords.h"
#include "containers.h"

namespace jpl::detail {

using tarvo::ByteCursor;
using tarvo::trimmedRight;
namespace {

constexpr std::size_t maximumDescriptionBytes = 16u << 20;
constexpr std::size_t arrayFileHeaderBytes = 28;
constexpr std::size_t arrayHeaderBytes = 12;  // ending each header: 1, 1, n
constexpr std::size_t arrayTrailerBytes = 16;
constexpr long double mjdZeroJd = 2400000.5L;

class CasacoreRecords final : public RecordSource {
public:
    CasacoreRecords(std::string name, std::ifstream stream, std::size_t arrayLength, int words,
                    long double startJd, long double recordDays)
        : name_(std::move(name)), stream_(std::move(stream)), arrayLength_(arrayLength), words_(words),
          startJd_(startJd), recordDays_(recordDays), bytes_(arrayHeaderBytes + 8 * (words - 2))
    {}

    std::size_t stride() const { return 8 * arrayLength_ + arrayTrailerBytes; }

    bool read(std::size_t index, std::vector<double>& words, std::string& message) override
    {
        const std::size_t arrayStart = arrayFileHeaderBytes + stride() * index;
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>(arrayStart - arrayHeaderBytes));
        stream_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        if (!stream_) {
            message = name_ + ": cannot read row " + std::to_string(index);
            return false;
        }
        ByteCursor in(bytes_.data(), bytes_.size(), false);
        const std::uint32_t a = in.u32(), b = in.u32(), n = in.u32();
        if (a != 1 || b != 1 || n != arrayLength_) {
            message = name_ + ": row " + std::to_string(index) + " does not start with an array header";
            return false;
        }
        words.resize(words_);
        words[0] = static_cast<double>(startJd_ + recordDays_ * index);
        words[1] = static_cast<double>(startJd_ + recordDays_ * (index + 1));
        for (int i = 2; i < words_; ++i) words[i] = in.f64();
        return true;
    }

private:
    std::string name_;
    std::ifstream stream_;
    std::size_t arrayLength_;
    int words_;
    long double startJd_, recordDays_;
    std::vector<unsigned char> bytes_;
};

const Keyword* find(const std::vector<Keyword>& keywords, const char* name, Keyword::Kind kind)
{
    for (const Keyword& k : keywords)
        if (k.name == name && k.kind == kind) return &k;
    return nullptr;
}

// The pointer table from the keywords Rows = 3, Columns >= 13, Description.
bool pointerTableFrom(const std::vector<Keyword>& keywords, PointerTable& table)
{
    const Keyword* rows = find(keywords, "Rows", Keyword::Kind::Number);
    const Keyword* columns = find(keywords, "Columns", Keyword::Kind::Number);
    const Keyword* values = find(keywords, "Description", Keyword::Kind::IntegerArray);
    if (!rows || !columns || !values || rows->number != 3 || columns->number < 13 || columns->number > seriesCount)
        return false;
    const int n = static_cast<int>(columns->number);
    if (values->integers.size() != static_cast<std::size_t>(3 * n)) return false;
    table = {};
    for (int s = 0; s < n; ++s)
        table[s] = {values->integers[s], values->integers[n + s], values->integers[2 * n + s]};
    return true;
}

}  // namespace

bool readWholeFile(const std::filesystem::path& file, std::size_t maximumBytes, std::vector<unsigned char>& bytes,
                   std::string& message)
{
    std::error_code error;
    const std::uintmax_t length = std::filesystem::file_size(file, error);
    if (error) {
        message = file.string() + ": cannot open (" + error.message() + ")";
        return false;
    }
    if (length > maximumBytes) {
        message = file.string() + ": too large (" + std::to_string(length) + " bytes, at most " +
                  std::to_string(maximumBytes) + " expected)";
        return false;
    }
    std::ifstream stream(file, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(length));
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!stream) {
        message = file.string() + ": cannot read";
        return false;
    }
    return true;
}

std::unique_ptr<RecordSource> openCasacoreDe405(const std::filesystem::path& directory, EphemerisHeader& header,
                                                std::string& message)
{
    const std::filesystem::path description = directory / "table.dat";
    const std::filesystem::path arrays = directory / "table.f0i";
    const std::string descriptionName = description.string();
    const std::string arraysName = arrays.string();

    std::vector<unsigned char> bytes;
    if (!readWholeFile(description, maximumDescriptionBytes, bytes, message)) return nullptr;
    std::size_t rows = 0;
    std::string problem;
    if (!tableRowCount(bytes, rows, problem)) {
        message = descriptionName + ": " + problem;
        return nullptr;
    }
    const std::vector<std::size_t> records = findTableRecords(bytes);
    if (records.empty()) {
        message = descriptionName + ": no keywords found";
        return nullptr;
    }
    // The first keyword record is the table's; a later one, of the
    // coefficient column, holds the pointer table.
    std::vector<Keyword> keywords;
    if (!decodeTableRecord(bytes, records[0], keywords, problem)) {
        message = descriptionName + ": " + problem;
        return nullptr;
    }
    PointerTable table{};
    bool tableFound = false;
    for (std::size_t r = 1; r < records.size() && !tableFound; ++r) {
        std::vector<Keyword> columnKeywords;
        if (decodeTableRecord(bytes, records[r], columnKeywords, problem))
            tableFound = pointerTableFrom(columnKeywords, table);
    }

    header = EphemerisHeader{};
    header.fileName = directory.string();
    header.container = "casacore table";
    for (const Keyword& k : keywords) {
        if (k.kind == Keyword::Kind::Number) header.constants.push_back({k.name, k.number});
        if (k.kind == Keyword::Kind::Text && k.name == "VS_TYPE") header.titles.push_back(k.text);
    }
    const double* denum = header.constant("DENUM");
    const double* au = header.constant("AU");
    const double* emrat = header.constant("EMRAT");
    const double* mjd0 = header.constant("MJD0");
    const double* step = header.constant("dMJD");
    if (!denum || !au || !emrat || !mjd0 || !step) {
        message = descriptionName + ": a keyword among DENUM, AU, EMRAT, MJD0, dMJD is missing";
        return nullptr;
    }
    if (*denum != 405) {
        message = descriptionName + ": holds DE" + std::to_string(static_cast<int>(*denum)) +
                  "; only the DE405 table is known";
        return nullptr;
    }
    if (!tableFound) table = de405PointerTable();
    if (!(*au > 1e8 && *au < 2e8) || !(*emrat > 1 && *emrat < 1000) || !(*step > 0 && *step <= 1000) ||
        !std::isfinite(*mjd0) || rows == 0) {
        message = descriptionName + ": implausible AU, EMRAT, dMJD, MJD0 or row count";
        return nullptr;
    }
    header.denum = 405;
    header.auKm = *au;
    header.emrat = *emrat;
    header.layout = table;
    header.wordsPerRecord = wordsPerRecord(table);
    header.recordCount = rows;
    header.recordDays = *step;
    header.startJd = mjdZeroJd + *mjd0 + *step;
    header.endJd = header.startJd + header.recordDays * rows;
    header.declaredStartJd = header.startJd;
    header.declaredEndJd = header.endJd;

    // The coefficient file: its header, then every row's array in place.
    std::error_code error;
    const std::uintmax_t length = std::filesystem::file_size(arrays, error);
    std::ifstream stream(arrays, std::ios::binary);
    if (error || !stream) {
        message = arraysName + ": cannot open";
        return nullptr;
    }
    unsigned char fileHeader[arrayFileHeaderBytes] = {};
    stream.read(reinterpret_cast<char*>(fileHeader), sizeof fileHeader);
    if (!stream) {
        message = arraysName + ": too short for an array file (" + std::to_string(length) + " bytes)";
        return nullptr;
    }
    ByteCursor in(fileHeader, sizeof fileHeader, false);
    in.u32();  // version
    const std::uint64_t statedLength = in.u64();
    in.seek(arrayFileHeaderBytes - 4);
    const std::uint32_t arrayLength = in.u32();
    if (statedLength != length) {
        message = arraysName + ": holds " + std::to_string(length) + " bytes but says it holds " +
                  std::to_string(statedLength) + "; the file is truncated or damaged";
        return nullptr;
    }
    if (arrayLength < static_cast<std::uint32_t>(header.wordsPerRecord - 2) || arrayLength > 100000) {
        message = arraysName + ": arrays of " + std::to_string(arrayLength) + " values cannot hold a DE405 record";
        return nullptr;
    }
    const std::size_t stride = 8ull * arrayLength + arrayTrailerBytes;
    const std::size_t needed = arrayFileHeaderBytes + stride * (rows - 1) + 8ull * arrayLength;
    if (length != needed) {
        message = arraysName + ": " + std::to_string(length) + " bytes where " + std::to_string(rows) +
                  " rows of " + std::to_string(arrayLength) + " values need " + std::to_string(needed);
        return nullptr;
    }
    return std::make_unique<CasacoreRecords>(arraysName, std::move(stream), arrayLength, header.wordsPerRecord,
                                             header.startJd, header.recordDays);
}

}  // namespace jpl::detail
