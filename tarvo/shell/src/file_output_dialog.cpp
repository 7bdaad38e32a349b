// The file-output dialog (key F): which bodies, how many records, and how
// the time is recorded.
#include "run_state.h"

#include "fileio/file_problem.h"
#include "fileio/text_util.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarvo::runloop {

using namespace console::Color;

namespace {
// The most records one file output writes: a million records of every body
// are some gigabytes already.
constexpr double kMostOutputRecords = 1e6;
} // namespace

void fileOutputDialog(Run& r) {
    Session& s = r.s;
    clearScreen();
    console::setColor(White, Black);
    console::printAt(2, 4, "Screen Output will be suspended and");
    console::printAt(3, 4, "Records will be written to the following files: ");
    console::setColor(LightCyan, Black);
    console::printAt(5, 4, "OUTPUT  .LOG");
    const auto names = outputFileNames(bodyNames(s));
    int row = 6, col = 4;
    for (int i = 0; i < static_cast<int>(names.size()) && row < 20; ++i) {
        console::printAt(row, col, names[static_cast<std::size_t>(i)]);
        col += 18;
        if (col > 90) col = 4, ++row;
    }
    console::setColor(White, Black);
    console::printAt(21, 4, "S  Writes only minor bodies");
    console::printAt(22, 4, "M  Writes only major bodies");
    console::printAt(23, 4, "O.K.?  (Y, N, M or S) ");
    int key = 0;
    do {
        key = std::toupper(console::readKey().key & 0x7f);
    } while (!std::strchr("YNMS\x1b", key));
    if (key == 'N' || key == 27) {
        r.settings.fileOutput = false;
        r.output.active = false;
        return;
    }
    r.output.bodies = static_cast<char>(key);
    // The count is checked before any record is written: a mistyped 1e30
    // would otherwise fill the disk.
    r.output.recordsLeft = 100;
    for (;;) {
        console::clearLine(24);
        console::printAt(24, 4, "Enter number of records [default = 100] ");
        const auto answer = console::readLine(10);
        if (!answer || trim(*answer).empty()) break;
        const auto n = readWholeNumber(*answer);
        if (n && *n >= 1 && *n <= kMostOutputRecords && *n == std::floor(*n)) {
            r.output.recordsLeft = static_cast<int>(*n);
            break;
        }
        console::clearLine(23);
        console::printAt(23, 4,
                         "Records: a whole number from 1 to " +
                             std::to_string(static_cast<int>(kMostOutputRecords)) + ", not " +
                             printable(*answer));
    }
    console::clearLine(21);
    console::clearLine(22);
    console::clearLine(23);
    console::clearLine(24);
    console::printAt(21, 4, "Do you want Time to be recorded as:");
    console::printAt(22, 4, "Date   (D)   JD    (J)   Jy    (Y)   JCy   (C)   JMy   (M) ");
    do {
        key = std::toupper(console::readKey().key & 0x7f);
    } while (!std::strchr("DJYCM\x1b", key));
    r.output.time = key == 'J'   ? TimeRecording::julianDate
                    : key == 'Y' ? TimeRecording::julianYears
                    : key == 'C' ? TimeRecording::julianCenturies
                    : key == 'M' ? TimeRecording::julianMillennia
                                 : TimeRecording::date;
    r.output.fileNames = names;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        // Major bodies are those up to lastMajor; the perturbing asteroids
        // after them are minor bodies here.
        const bool major = i <= s.bodies.layout.lastMajor;
        if ((r.output.bodies == 'M' && !major) || (r.output.bodies == 'S' && major))
            r.output.fileNames[static_cast<std::size_t>(i)].clear();
    }
    r.output.openingWritten = false;
    r.output.active = true;
}

} // namespace tarvo::runloop
