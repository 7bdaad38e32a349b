// File output of a run: OUTPUT.LOG and one .OUT file per body, with the
// dialog that sets it up. Files are opened, appended and closed per page, so
// thousands of bodies never exhaust file handles.
#pragma once

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
    bool openingWritten = false;        // OUTPUT.LOG and the files' headers of this output
};

} // namespace tarvo
