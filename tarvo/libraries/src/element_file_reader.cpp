#include <cmath>

#include "record_reader.h"
#include "tarvo/libraries/element_file.h"

namespace tarvo {
namespace {

bool readRecordHead(RecordReader& in, StateFileKind kind, ElementRecord& r)
{
    if (!in.number(r.radius, "a radius") || !in.number(r.absoluteMagnitude, "a magnitude") ||
        !in.number(r.relFactor, "a radial factor"))
        return false;
    // A negative mass field in a .TVE announces the frame epoch before the name.
    if (kind == StateFileKind::MinorBody && r.massField < 0) {
        r.massField = -r.massField;
        r.hasFrameEpoch = true;
        if (!in.number(r.frameEpoch, "a frame epoch")) return false;
    }
    return in.string(r.nameField, "a name");
}

}  // namespace

bool readElementFile(const std::filesystem::path& file, StateFileKind kind, std::size_t maxRecords,
                     ElementFileContents& contents, std::string& message)
{
    std::string text;
    if (!readWholeTextFile(file, text, message)) return false;
    const std::string name = file.string();
    RecordReader in(text, name);
    ElementFileContents read;
    const bool full = kind == StateFileKind::Full;
    auto fail = [&](const std::string& why) {
        message = why;
        return false;
    };

    long double first = 0;
    if (!in.number(first, "the Julian date")) return fail(in.error());
    if (!full) {
        if (first >= 0) return fail(name + ": holds states (its first number is not negative), not elements");
        read.julianDate = -first;
        if (read.julianDate > satelliteJdOffset) {
            read.julianDate -= satelliteJdOffset;
            read.satelliteElements = true;
        }
    } else {
        read.julianDate = first;
    }
    if (read.julianDate > kLatestJulianDate)
        return fail(name +
                    ": the Julian date lies beyond the calendar (which ends in the year 9999999)");
    if (full) {
        if (!in.number(read.nominalStep, "the nominal step")) return fail(in.error());
        if (read.nominalStep >= 0) return fail(name + ": holds states (its step is not negative), not elements");
        read.nominalStep = -read.nominalStep;
        // The Sun's record, then two lines of three zeros in place of its elements.
        ElementRecord sun;
        if (!in.number(sun.massField, "the Sun's mass") || !readRecordHead(in, kind, sun)) return fail(in.error());
        long double ignored = 0;
        for (int i = 0; i < 6; ++i)
            if (!in.number(ignored, "the Sun's placeholder elements")) return fail(in.error());
        read.records.push_back(sun);
    }

    while (!in.atEnd()) {
        if (read.records.size() >= maxRecords) {
            read.recordsLeftUnread = true;
            break;
        }
        ElementRecord r;
        if (!in.number(r.massField, "a mass")) return fail(in.error());
        if (full && r.massField < 0) {  // a closing "-k": the list ends
            read.endMarker = static_cast<int>(std::floor(std::fmin(-r.massField, 1e9)));
            break;
        }
        OrbitElements& e = r.elements;
        bool ok = readRecordHead(in, kind, r) && in.number(e.eccentricity, "e") && in.number(e.inclination, "i") &&
                  in.number(e.argumentOfPerihelion, "the argument of perihelion") &&
                  in.number(e.ascendingNode, "the node") && in.number(e.semiMajorAxis, "a") &&
                  in.number(e.meanAnomaly, "M");
        if (ok && !full)
            ok = in.number(e.perihelionDistance, "q") && in.number(e.perihelionTime, "T") &&
                 in.number(r.A1, "A1") && in.number(r.A2, "A2") && in.number(r.A3, "A3") &&
                 in.numberField(r.numberString, "a number field");
        if (!ok) return fail(in.error() + " (body record " + std::to_string(read.records.size() + 1) + ")");
        read.records.push_back(std::move(r));
    }
    contents = std::move(read);
    return true;
}

}  // namespace tarvo
