// Errors that end the program through its last-resort handler, which shows
// "ERROR <number> is in <routine> at line <line>" and waits for a key.
#pragma once

#include <source_location>
#include <stdexcept>
#include <string>

namespace tarvo {

enum class ErrorNumber : int {
    internal = 1,
    outOfMemory = 7,
    badCommandLine = 5,
    missingDataFile = 53,
    badDataFile = 62,
};

class FatalError : public std::runtime_error {
  public:
    FatalError(ErrorNumber number, const std::string& message,
               std::source_location where = std::source_location::current())
        : std::runtime_error(message), number_(number), line_(static_cast<int>(where.line())) {}
    ErrorNumber number() const { return number_; }
    int line() const { return line_; }

  private:
    ErrorNumber number_;
    int line_;
};

} // namespace tarvo
