// Keywords of a casacore table, decoded from the table's description file
// (table.dat).
//
// The file is a sequence of AipsIO objects in big-endian order. Every object
// starts with its length in bytes (the length word included), its type name
// and a version. A keyword set is a "TableRecord" object holding a
// "RecordDesc" object (field count, then per field: name, type code, a shape
// or sub-description object for array and record fields, and a comment),
// the record type, and then the field values in order. Scalar values are
// written bare (strings as length and characters); array and record values
// are objects of their own and can therefore be skipped by their length.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace jpl::detail {

struct Keyword {
    enum class Kind { Number, Text, IntegerArray, Skipped };
    std::string name;
    Kind kind = Kind::Skipped;
    double number = 0;
    std::string text;
    std::vector<int> integers;
};

// Byte offsets of the length words of every "TableRecord" object.
std::vector<std::size_t> findTableRecords(const std::vector<unsigned char>& bytes);

// Decodes the "TableRecord" object whose length word is at `offset`.
bool decodeTableRecord(const std::vector<unsigned char>& bytes, std::size_t offset,
                       std::vector<Keyword>& keywords, std::string& problem);

// Rows of the table as given at the start of the file (object "Table").
bool tableRowCount(const std::vector<unsigned char>& bytes, std::size_t& rows, std::string& problem);

}  // namespace jpl::detail
