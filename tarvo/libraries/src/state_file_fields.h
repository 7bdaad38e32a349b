// The field stream of the suite's text state files.
//
// Numbers and strings are read as a stream, not by line: a numeric field
// skips blanks and line ends before it and ends at a blank, a comma or a
// line end; a "#" that ends it is ignored. A string field skips blanks and
// takes the rest of the line up to a comma or the line end. Line ends are LF
// or CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo {

class StateFileFields {
public:
    explicit StateFileFields(std::string_view text) : text_(text) {}

    enum class Outcome { Read, EndOfFile, NotANumber };

    // The next numeric field; `field` receives its text for messages.
    Outcome number(long double& value, std::string& field);
    // The next string field (may be empty).
    Outcome string(std::string& value);
    // True when nothing but blanks and line ends is left.
    bool atEnd();
    // Line of the current position, from 1.
    int line() const;
    // Line on which the last field read began, from 1.
    int fieldLine() const { return fieldLine_; }

  private:
    void skipBlanks();
    void skipBlanksAndLineEnds();
    void consumeTerminator();

    std::string_view text_;
    std::size_t position_ = 0;
    int fieldLine_ = 1;
};

}  // namespace tarvo
