#include <cmath>

#include "tarvo/libraries/element_file.h"
#include "fileio/text_util.h"

namespace tarvo {
namespace {

constexpr long double quarterAu = 0.25L, eighthAu = 0.125L;

bool nameIs(const std::string& field, std::initializer_list<const char*> names)
{
    const std::string key = upperCase(trim(decodeNameField(field).name));
    for (const char* n : names)
        if (key == n) return true;
    return false;
}

}  // namespace

ElementConversionOutcome convertElementFile(const std::filesystem::path& elementFile,
                                            const std::filesystem::path& stateFile,
                                            const ElementFileConversion& conversion)
{
    ElementConversionOutcome outcome;
    ElementFileContents elements;
    if (!readElementFile(elementFile, conversion.kind, conversion.maxRecords, elements, outcome.message))
        return outcome;
    const std::string name = elementFile.string();
    const bool full = conversion.kind == StateFileKind::Full;
    const bool satellite = !full && (conversion.satelliteMode || elements.satelliteElements);

    StateFileContents states;
    states.julianDate = elements.julianDate;
    states.nominalStep = elements.nominalStep;
    states.endMarker = elements.endMarker;

    // Full files: k of the file's Sun; the Moon orbits the Earth.
    const long double sunMass = full ? static_cast<long double>(elements.records[0].massField) : nominalSunMass;
    if (full && !(sunMass > 0)) {
        outcome.message = name + ": the Sun's mass must be positive";
        return outcome;
    }
    long double earthMass = 0;
    if (full)
        for (const ElementRecord& r : elements.records)
            if (nameIs(r.nameField, {"EARTH", "TERRA"})) earthMass = r.massField;

    for (std::size_t n = 0; n < elements.records.size(); ++n) {
        const ElementRecord& r = elements.records[n];
        StateRecord s;
        s.massField = r.massField;
        s.radius = r.radius;
        s.absoluteMagnitude = r.absoluteMagnitude;
        s.relFactor = r.relFactor;
        s.nameField = r.nameField;
        s.A1 = r.A1, s.A2 = r.A2, s.A3 = r.A3;
        s.numberString = r.numberString;
        if (full && n == 0) {  // the Sun stays at the origin
            states.records.push_back(std::move(s));
            continue;
        }

        ElementConversion c;
        c.astronomicalUnit = conversion.astronomicalUnit;
        long double massRatio = 0;
        OrbitElements e = r.elements;
        const bool geocentricMoon = full && nameIs(r.nameField, {"MOON", "LUNA"});
        if (satellite) {
            // Satellite elements give a and q in units of 1000 km.
            c.gravityConstant = elementGravityConstant(ElementMode::Satellite);
            e.semiMajorAxis /= conversion.astronomicalUnit * 1000;
            e.perihelionDistance /= conversion.astronomicalUnit * 1000;
        } else if (geocentricMoon) {
            if (!(earthMass > 0)) {
                outcome.message = name + ": the Moon's elements are geocentric, but no Earth with a mass is listed";
                return outcome;
            }
            c.gravityConstant = elementGravityConstant(ElementMode::Satellite);
            massRatio = r.massField / earthMass;
        } else if (full) {
            c.gravityConstant = elementGravityConstant(ElementMode::FullFile, sunMass);
            // A comet's first number is its magnitude slope, not a mass.
            massRatio = r.radius < 0 ? 0 : r.massField / sunMass;
        }
        Rotation3 rotation{};
        if (r.hasFrameEpoch) {
            if (!conversion.eclipticRotation || !conversion.eclipticRotation(r.frameEpoch, rotation)) {
                outcome.message = name + ": body " + std::to_string(n + 1) +
                                  " refers to the ecliptic of another epoch, which cannot be turned to J2000";
                return outcome;
            }
            c.eclipticToJ2000Ecliptic = &rotation;
        }
        CartesianState state;
        const ConversionResult result = elementsToState(c, massRatio, elements.julianDate, e, state);
        if (!result.ok) {
            outcome.message = name + ": body " + std::to_string(n + 1) + " (" + trim(decodeNameField(r.nameField).name) +
                              "): " + result.message;
            return outcome;
        }
        if (result.iterationLimit) ++outcome.iterationWarnings;
        if (!result.message.empty()) outcome.message = result.message; // the parabola's warning
        // Perihelia near the Sun; the Moon's geocentric orbit is none.
        if (!satellite && !geocentricMoon) {
            const long double q = e.eccentricity == 1 || e.semiMajorAxis == 0
                                      ? e.perihelionDistance
                                      : e.semiMajorAxis * (1 - e.eccentricity);
            if (q < quarterAu) outcome.perihelionBelowQuarterAu = true;
            if (q < eighthAu) outcome.perihelionBelowEighthAu = true;
        }
        s.position = state.position;
        s.velocity = state.velocity;
        states.records.push_back(std::move(s));
    }

    std::string problem;
    if (!writeStateFile(stateFile, conversion.kind, states, problem)) {
        outcome.message = problem;
        return outcome;
    }
    outcome.ok = true;
    outcome.count = static_cast<int>(states.records.size());
    return outcome;
}

}  // namespace tarvo
