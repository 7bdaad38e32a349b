// File output of a run: OUTPUT.LOG and one .OUT file per body, with the
// dialog that sets it up. Files are opened, appended and closed per page, so
// thousands of bodies never exhaust file handles.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvo {

enum class TimeRecording { date, julianDate, julianYears, julianCenturies, julianMillennia };

struct FileOutputSettings {
    bool active = false;
    char bodies = 'Y'; // Y all, M major only, S minor only
    int recordsLeft = 100;
    TimeRecording time = TimeRecording::date;
    std::vector<std::string> fileNames; // per body; "" where the body is not written
};

// File names of the bodies' .OUT files: the name without surrounding blanks,
// characters that cannot stand in a file name replaced by "_", and a number
// appended where two bodies would share a file ("CERES.OUT", "CERES_2.OUT").
std::vector<std::string> outFileNames(const std::vector<std::string>& bodyNames);

// Appends `line` (CR LF added) to `file`; false when it cannot be written.
bool appendRecord(const std::filesystem::path& file, const std::string& line);

} // namespace tarvo
