#include <cmath>
#include <fstream>

#include "record_reader.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo {

bool readStateFile(const std::filesystem::path& file, StateFileKind kind, std::size_t maxRecords,
                   StateFileContents& contents, std::string& message)
{
    std::string text;
    if (!readWholeTextFile(file, text, message)) return false;
    const std::string name = file.string();
    RecordReader in(text, name);
    StateFileContents read;

    if (!in.number(read.julianDate, "the Julian date")) {
        message = in.error();
        return false;
    }
    if (read.julianDate < 0) {
        message = name + ": holds orbital elements (its first number is negative), not states";
        return false;
    }
    if (kind == StateFileKind::MinorBody && read.julianDate > satelliteJdOffset) {
        read.julianDate -= satelliteJdOffset;
        read.satelliteFile = true;
    }
    if (read.julianDate > kLatestJulianDate) {
        in.outOfRange(read.julianDate, "the Julian date");
        message = in.error() + " (the calendar ends in the year 9999999)";
        return false;
    }
    if (kind == StateFileKind::Full) {
        if (!in.number(read.nominalStep, "the nominal step")) {
            message = in.error();
            return false;
        }
        if (read.nominalStep < 0) {
            message = name + ": holds orbital elements (its step is negative), not states";
            return false;
        }
    }

    while (!in.atEnd()) {
        if (read.records.size() >= maxRecords) {
            read.recordsLeftUnread = true;
            break;
        }
        StateRecord r;
        if (!in.number(r.massField, "a mass")) {
            message = in.error();
            return false;
        }
        if (r.massField < 0) {
            read.endMarker = static_cast<int>(std::floor(std::fmin(-r.massField, 1e9)));
            break;
        }
        bool ok = in.number(r.radius, "a radius") && in.number(r.absoluteMagnitude, "a magnitude") &&
                  in.number(r.relFactor, "a radial factor") && in.string(r.nameField, "a name");
        for (int i = 0; ok && i < 3; ++i)
            ok = in.number(r.position[i], "a position", kFarthestPositionGm);
        for (int i = 0; ok && i < 3; ++i)
            ok = in.number(r.velocity[i], "a velocity", kFastestSpeedKmS);
        if (ok && kind == StateFileKind::MinorBody)
            ok = in.number(r.A1, "A1") && in.number(r.A2, "A2") && in.number(r.A3, "A3") &&
                 in.numberField(r.numberString, "a number field");
        if (!ok) {
            message = in.error() + " (body record " + std::to_string(read.records.size() + 1) + ")";
            return false;
        }
        read.records.push_back(std::move(r));
    }
    contents = std::move(read);
    return true;
}

}  // namespace tarvo

namespace tarvo {

StateFileKindCheck recogniseStateFile(const std::filesystem::path& file, StateFileKind kind)
{
    StateFileKindCheck check;
    // A FIFO or a device would keep the open waiting: only regular files.
    if (const std::string problem = readProblem(file); !problem.empty()) {
        check.message = file.string() + " " + problem;
        return check;
    }
    // The first two numbers lie at the start of the file.
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        check.message = file.string() + ": cannot be opened";
        return check;
    }
    std::string text(4096, '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(stream.gcount()));
    RecordReader in(text, file.string());
    long double first = 0;
    if (!in.number(first, "the Julian date")) {
        check.message = in.error();
        return check;
    }
    if (kind == StateFileKind::MinorBody) {
        check.satelliteFile = std::fabs(first) > satelliteJdOffset;
        check.elementFile = first < 0;
        check.julianDate = std::fabs(first) - (check.satelliteFile ? satelliteJdOffset : 0);
    } else {
        check.julianDate = first;
        long double step = 0;
        if (!in.number(step, "the nominal step")) {
            check.message = in.error();
            return check;
        }
        check.elementFile = step < 0;
    }
    check.ok = true;
    return check;
}

}  // namespace tarvo
