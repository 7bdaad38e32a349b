// Where the data records of an ephemeris come from.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace jpl {

class RecordSource {
public:
    virtual ~RecordSource() = default;
    // Reads data record `index` (0 = first data record) into `words`, the two
    // date words first, sized to the header's wordsPerRecord.
    virtual bool read(std::size_t index, std::vector<double>& words, std::string& message) = 0;
};

}  // namespace jpl
