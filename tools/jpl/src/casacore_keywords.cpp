#include "casacore_keywords.h"

#include <algorithm>
#include <cstring>

#include "fileio/byte_cursor.h"

namespace jpl::detail {

using tarvo::ByteCursor;
using tarvo::trimmedRight;
namespace {

// Type codes of casacore's DataType enumeration.
enum TypeCode : int {
    TpBool = 0, TpChar, TpUChar, TpShort, TpUShort, TpInt, TpUInt, TpFloat, TpDouble, TpComplex,
    TpDComplex, TpString, TpTable, TpArrayBool, TpArrayChar, TpArrayUChar, TpArrayShort, TpArrayUShort,
    TpArrayInt, TpArrayUInt, TpArrayFloat, TpArrayDouble, TpArrayComplex, TpArrayDComplex, TpArrayString,
    TpRecord, TpOther, TpQuantity, TpArrayQuantity, TpInt64, TpArrayInt64,
};

constexpr std::uint32_t maximumStringBytes = 1u << 20;
constexpr std::int32_t maximumFields = 100000;

bool isArray(int type) { return (type >= TpArrayBool && type <= TpArrayString) || type == TpArrayInt64; }

std::string readString(ByteCursor& in)
{
    const std::uint32_t length = in.u32();
    if (length > maximumStringBytes) {
        in.seek(in.size() + 1);
        return {};
    }
    return in.characters(length);
}

// Reads an object header; `start` receives the offset of its length word.
bool objectHeader(ByteCursor& in, const char* expectedType, std::size_t& start, std::uint32_t& length)
{
    start = in.position();
    length = in.u32();
    const std::string type = readString(in);
    in.u32();  // version
    return in.ok() && length >= 12 && start + length <= in.size() &&
           (expectedType == nullptr || type == expectedType);
}

void skipObject(ByteCursor& in)
{
    const std::size_t start = in.position();
    const std::uint32_t length = in.u32();
    if (length < 4) {
        in.seek(in.size() + 1);
        return;
    }
    in.seek(start + length);
}

// An Array<Int> object: ndim, shape, element count, elements.
bool readIntegerArray(ByteCursor& in, std::vector<int>& values)
{
    std::size_t start = 0;
    std::uint32_t length = 0;
    if (!objectHeader(in, "Array<Int>", start, length)) return false;
    const std::uint32_t dimensions = in.u32();
    if (dimensions > 16) return false;
    std::uint64_t elements = 1;
    for (std::uint32_t d = 0; d < dimensions; ++d) elements *= in.u32();
    const std::uint32_t count = in.u32();
    if (!in.ok() || count != elements || start + length - in.position() != 4ull * count) return false;
    values.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) values[i] = in.i32();
    return in.ok();
}

}  // namespace

std::vector<std::size_t> findTableRecords(const std::vector<unsigned char>& bytes)
{
    static const char marker[] = "\0\0\0\x0bTableRecord";
    const std::size_t markerLength = sizeof marker - 1;
    std::vector<std::size_t> offsets;
    auto from = bytes.begin();
    while (true) {
        auto hit = std::search(from, bytes.end(), marker, marker + markerLength);
        if (hit == bytes.end()) break;
        const std::size_t at = static_cast<std::size_t>(hit - bytes.begin());
        if (at >= 4) offsets.push_back(at - 4);
        from = hit + 1;
    }
    return offsets;
}

bool decodeTableRecord(const std::vector<unsigned char>& bytes, std::size_t offset,
                       std::vector<Keyword>& keywords, std::string& problem)
{
    ByteCursor in(bytes.data(), bytes.size(), true);
    in.seek(offset);
    std::size_t recordStart = 0, descStart = 0;
    std::uint32_t recordLength = 0, descLength = 0;
    if (!objectHeader(in, "TableRecord", recordStart, recordLength) ||
        !objectHeader(in, "RecordDesc", descStart, descLength)) {
        problem = "malformed keyword record";
        return false;
    }
    const std::int32_t fields = in.i32();
    if (!in.ok() || fields < 0 || fields > maximumFields) {
        problem = "malformed keyword description";
        return false;
    }
    std::vector<Keyword> decoded(fields);
    std::vector<int> types(fields);
    for (int f = 0; f < fields; ++f) {
        decoded[f].name = readString(in);
        types[f] = in.i32();
        if (isArray(types[f]) || types[f] == TpRecord) skipObject(in);  // shape or sub-description
        else if (types[f] == TpTable) readString(in);
        readString(in);  // comment
        if (!in.ok()) {
            problem = "keyword description truncated";
            return false;
        }
    }
    if (in.position() != descStart + descLength) {
        problem = "keyword description has an unexpected length";
        return false;
    }
    in.i32();  // record type
    for (int f = 0; f < fields; ++f) {
        Keyword& k = decoded[f];
        switch (types[f]) {
        case TpBool: case TpChar: case TpUChar: in.skip(1); break;
        case TpShort: case TpUShort: in.skip(2); break;
        case TpInt: k.kind = Keyword::Kind::Number; k.number = in.i32(); break;
        case TpUInt: k.kind = Keyword::Kind::Number; k.number = in.u32(); break;
        case TpFloat: k.kind = Keyword::Kind::Number; k.number = in.f32(); break;
        case TpDouble: k.kind = Keyword::Kind::Number; k.number = in.f64(); break;
        case TpInt64: k.kind = Keyword::Kind::Number; k.number = static_cast<double>(static_cast<std::int64_t>(in.u64())); break;
        case TpComplex: in.skip(8); break;
        case TpDComplex: in.skip(16); break;
        case TpString: k.kind = Keyword::Kind::Text; k.text = readString(in); break;
        case TpArrayInt: {
            const std::size_t start = in.position();
            if (readIntegerArray(in, k.integers)) {
                k.kind = Keyword::Kind::IntegerArray;
            } else {
                k.integers.clear();
                in.seek(start);
                skipObject(in);
            }
            break;
        }
        default:
            if (isArray(types[f]) || types[f] == TpRecord) {
                skipObject(in);
            } else {
                problem = "keyword \"" + k.name + "\" has an unsupported type " + std::to_string(types[f]);
                return false;
            }
        }
        if (!in.ok()) {
            problem = "keyword values truncated";
            return false;
        }
    }
    if (in.position() != recordStart + recordLength) {
        problem = "keyword record has an unexpected length";
        return false;
    }
    keywords = std::move(decoded);
    return true;
}

bool tableRowCount(const std::vector<unsigned char>& bytes, std::size_t& rows, std::string& problem)
{
    ByteCursor in(bytes.data(), bytes.size(), true);
    const std::uint32_t magic = in.u32();
    in.u32();  // length
    const std::string type = readString(in);
    const std::uint32_t version = in.u32();
    const std::uint64_t count = version >= 3 ? in.u64() : in.u32();
    if (!in.ok() || magic != 0xbebebebeu || type != "Table") {
        problem = "not a casacore table description";
        return false;
    }
    rows = static_cast<std::size_t>(count);
    return true;
}

}  // namespace jpl::detail
