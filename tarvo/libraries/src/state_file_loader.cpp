#include <algorithm>
#include <cmath>

#include "tarvo/libraries/state_file.h"
#include "fileio/text_util.h"

namespace tarvo {
namespace {

bool dataSetWithoutMoon(int dataSet) { return dataSet == 4 || dataSet == 5 || dataSet == 9; }

bool startsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

// Whether extended values are those the text holds to its 18 digits.
bool binaryMatchesText(const std::vector<ExtendedState>& exact, const StateFileContents& contents)
{
    constexpr long double tolerance = 1e-16L; // relative; the text rounds to 5e-18
    for (std::size_t n = 0; n < exact.size(); ++n) {
        const StateRecord& r = contents.records[n];
        for (int c = 0; c < 6; ++c) {
            const long double text = c < 3 ? r.position[c] : r.velocity[c - 3];
            const long double binary = exact[n][c];
            if (!(std::fabs(text - binary) <= tolerance * std::max(std::fabs(text), std::fabs(binary))))
                return false;
        }
    }
    return true;
}

}  // namespace

StateLoadResult loadStateFile(const std::filesystem::path& file, const StateLoadSettings& settings, BodyTable& table)
{
    StateLoadResult result;
    const bool full = settings.kind == StateFileKind::Full;
    const int first = full ? 0 : settings.firstIndex;
    const int lastAllowed = full ? table.maxBodies - 1 : table.maxBodies - 2;
    if (first < 0 || first > lastAllowed) {
        result.message = file.string() + ": the body table has no room for more bodies";
        return result;
    }

    StateFileContents contents;
    if (!readStateFile(file, settings.kind, static_cast<std::size_t>(lastAllowed - first + 1), contents,
                       result.message))
        return result;

    // The checkpoint's binary companion replaces the text values exactly: the
    // binary of a checkpoint stopped before its last stage when it belongs
    // to this text, else FINSTAT.BIN.
    std::vector<ExtendedState> exact;
    if (upperCase(file.filename().string()) == "FINSTAT.TVF") {
        std::string problem;
        std::vector<ExtendedState> pending;
        if (readCheckpointBinary(file.parent_path() / pendingCheckpointBinary,
                                 contents.records.size(), pending, problem) &&
            binaryMatchesText(pending, contents)) {
            exact = std::move(pending);
        } else if (!readCheckpointBinary(file.parent_path() / "FINSTAT.BIN",
                                         contents.records.size(), exact, problem)) {
            result.message = file.string() + ": its extended-precision companion is unusable: " + problem;
            return result;
        }
    }

    const bool satellite = settings.satelliteMode || contents.satelliteFile;
    BodyLayout layout = table.layout;
    // A full file has a Moon only if it names one.
    bool noMoon = full || dataSetWithoutMoon(settings.dataSet);
    bool earthFound = false;
    if (full) layout.lastMajor = -1;
    const long double sunMass = full && !contents.records.empty()
                                    ? static_cast<long double>(contents.records[0].massField)
                                    : minorBodySunMass;

    const int count = static_cast<int>(contents.records.size());
    for (int n = 0; n < count; ++n) {
        const StateRecord& r = contents.records[n];
        const int i = first + n;
        table.massField[i] = r.massField;
        table.mass[i] = r.massField;
        table.isComet[i] = r.radius < 0 ? suiteTrue : suiteFalse;
        table.radius[i] = std::fabs(r.radius);
        table.absMag[i] = r.absoluteMagnitude;
        const NameField name = decodeNameField(r.nameField);
        setBodyName(table, i, name.name);
        if (name.hasColour) {
            table.color[i] = name.colour;
            result.colourCodes = true;
        }

        if (full) {
            const std::string key = upperCase(trim(name.name));
            if (startsWith(key, "EARTH") || startsWith(key, "EMB")) {
                layout.earthIndex = i;
                earthFound = true;
            } else if (startsWith(key, "MOON")) {
                layout.moonIndex = i;
                noMoon = false;
            }
        }

        std::array<long double, 3> position = r.position, velocity = r.velocity;
        if (!exact.empty()) {
            position = {exact[n][0], exact[n][1], exact[n][2]};
            velocity = {exact[n][3], exact[n][4], exact[n][5]};
        }
        table.posX[i] = position[0], table.posY[i] = position[1], table.posZ[i] = position[2];
        table.velX[i] = velocity[0], table.velY[i] = velocity[1], table.velZ[i] = velocity[2];

        double relFactor = r.relFactor;
        if (relFactor == 0 && i > 0) relFactor = defaultRelFactor(position, velocity, sunMass);
        table.relFactor[i] = relFactor;
        table.relFactorBase[i] = relFactor;

        if (!full) {
            const NonGravitationalData ng =
                decodeNumberField(r.A1, r.A2, r.A3, r.numberString, settings.astronomicalUnit,
                                  satellite, settings.nonGravAlpha);
            table.A1[i] = ng.A1, table.A2[i] = ng.A2, table.A3[i] = ng.A3;
            table.objectNumber[i] = ng.objectNumber;
            table.tau[i] = ng.tau;
            table.impulse[i] = ng.hasImpulse ? ng.impulse : Impulse{};
        } else {
            table.A1[i] = table.A2[i] = table.A3[i] = 0;
            table.tau[i] = 0;
            table.impulse[i] = Impulse{};
        }

        const bool nonGrav = (table.A1[i] != 0 && !satellite) || table.isComet[i] != suiteFalse ||
                             settings.extraOptionY;
        table.nonGravFlag[i] = nonGrav ? suiteTrue : suiteFalse;
        if (nonGrav) result.nonGravitationalBodies = true;
        const bool cometSlope = table.isComet[i] != suiteFalse && r.massField > 1;
        if (cometSlope || nonGrav || satellite) table.mass[i] = 0;
    }

    // Which bodies are major, and where the Earth and the Moon are.
    if (full) {
        if (!earthFound) {
            layout.earthIndex = 0;
            result.earthMissing = true;
        }
        if (contents.endMarker > 0) layout.lastMajor = std::min(contents.endMarker - 1, count - 1);
        else layout.lastMajor = satellite ? layout.moonIndex : count - 1;
        layout.lastMassive = layout.lastMajor;
    } else {
        layout.lastMajor += std::min(contents.endMarker, count);
        layout.lastMassive = std::max(layout.lastMassive, layout.lastMajor);
    }
    if (noMoon) layout.moonIndex = table.maxBodies;
    layout.noMoon = noMoon;
    if (count > 0) layout.bodyCount = first + count - 1;
    table.layout = layout;

    result.ok = true;
    result.count = count;
    result.epoch = contents.julianDate - 2451545.0L;
    result.nominalStep = contents.nominalStep;
    result.satelliteFile = contents.satelliteFile;
    return result;
}

}  // namespace tarvo
