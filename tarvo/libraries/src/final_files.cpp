#include "tarvo/libraries/final_files.h"

#include <cmath>
#include <cstdio>

#include "tarvo/libraries/orbital_elements.h"
#include "tarvo/libraries/state_file.h"
#include "fileio/format_mask.h"
#include "fileio/text_output.h"

namespace tarvo {
namespace {

constexpr const char* e25 = "##.#################^^^^ ";
constexpr const char* finelNumberMask = "#####  ";
constexpr const char* finelElementMask = "###.######## ";
constexpr long double mjdOfJ2000 = 51544.5L;

std::string free(long double value) { return freeForm(static_cast<double>(value)); }

// A Julian date with every digit of extended precision (a double would
// resolve it to 5e-10 day only).
std::string extendedJd(long double jd)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.19Lg", jd);
    return text;
}

std::string e25Line(long double a, long double b, long double c)
{
    return formatMask(e25, a) + formatMask(e25, b) + formatMask(e25, c);
}

// Comets are written with a negative radius and their slope K in the mass
// place, so that reading the file back keeps them comets.
std::string massOrSlope(const RunBody& b) { return b.isComet ? free(b.massField) : free(b.mass); }
std::string signedRadius(const RunBody& b) { return free(b.isComet ? -std::fabs(b.radius) : b.radius); }

std::string colourSuffix(const RunSnapshot& run, const RunBody& b)
{
    return run.coloursInUse ? colourCode(b.colour) : std::string();
}

std::string paddedName(const std::string& name)
{
    std::string n = name.substr(0, 9);
    n.resize(9, ' ');
    return n;
}

CartesianState stateOf(const RunBody& b) { return {b.position, b.velocity}; }

// Heliocentric state, the Earth added to geocentric satellites.
CartesianState heliocentricState(const RunSnapshot& run, int i)
{
    CartesianState s = stateOf(run.bodies[i]);
    if (run.satelliteMode && i > run.lastMajor && i != run.moonIndex && run.earthIndex > 0 &&
        run.earthIndex < static_cast<int>(run.bodies.size())) {
        const RunBody& earth = run.bodies[run.earthIndex];
        for (int c = 0; c < 3; ++c) {
            s.position[c] += earth.position[c];
            s.velocity[c] += earth.velocity[c];
        }
    }
    return s;
}

struct MinorElements {
    OsculatingElements el;
    long double lengthScale = 1;  // AU per file unit of a and q
};

MinorElements minorBodyElements(const RunSnapshot& run, int i)
{
    MinorElements m;
    const bool geocentric = run.satelliteMode;
    const long double k = geocentric ? elementGravityConstant(ElementMode::Satellite) : gaussianGravitationalConstant;
    m.el = stateToElements(k, 0, run.astronomicalUnit, ElementPlane{}, stateOf(run.bodies[i]));
    if (geocentric) {
        // Satellite elements give a and q in units of 1000 km.
        m.el.semiMajorAxis *= run.astronomicalUnit * 1000;
        m.el.perihelionDistance *= run.astronomicalUnit * 1000;
    }
    return m;
}

std::string nonGravitationalLine(const RunSnapshot& run, const RunBody& b)
{
    const double N = b.objectNumber;
    double d1 = N * static_cast<double>(run.astronomicalUnit);
    if (d1 <= 0) d1 = delayedModelMarker * static_cast<double>(run.astronomicalUnit);
    if (run.satelliteMode) d1 = 1;
    const double d2 = N > 0 && N < 1 ? d1 : 1;
    std::string line = free(b.A1 / d1) + " " + free(b.A2 / d2) + " " + free(b.A3 / d2) + " ";
    if (run.impulseOption) {
        line += " " + formatMask("#######.#### ", -static_cast<long double>(b.impulse.epoch) - mjdOfJ2000) +
                free(b.impulse.deltaV[0]) + " " + free(b.impulse.deltaV[1]) + " " + free(b.impulse.deltaV[2]);
    } else if (run.asymmetricOption) {
        line += "  -1 " + formatMask("#####.###", b.tau);
    } else {
        line += free(N);
    }
    return line;
}

bool writeMinorBodyFiles(const std::filesystem::path& directory, const RunSnapshot& run, std::string& message)
{
    const long double offset = run.satelliteMode ? satelliteJdOffset : 0;
    std::vector<std::string> tvx{freeFormField(static_cast<double>(run.julianDate + offset))};
    std::vector<std::string> tve{freeFormField(static_cast<double>(-(run.julianDate + offset)))};
    std::vector<std::string> finel{freeFormField(static_cast<double>(run.julianDate)), finalElementsHeader};
    const int n = static_cast<int>(run.bodies.size()) - 1;
    for (int i = run.lastMajor + 1; i <= n; ++i) {
        const RunBody& b = run.bodies[i];
        const MinorElements m = minorBodyElements(run, i);
        const OsculatingElements& el = m.el;
        const std::string header = free(b.massField) + " " + signedRadius(b) + " " + free(b.absoluteMagnitude) + " " +
                                   formatMask("##.######^^^^  ", b.relFactorBase) + paddedName(b.name) +
                                   colourSuffix(run, b);
        const std::string nonGrav = nonGravitationalLine(run, b);

        tvx.push_back(header);
        tvx.push_back(e25Line(b.position[0], b.position[1], b.position[2]));
        tvx.push_back(e25Line(b.velocity[0], b.velocity[1], b.velocity[2]));
        tvx.push_back(nonGrav);

        tve.push_back(header);
        tve.push_back(e25Line(el.eccentricity, el.inclination, el.argumentOfPerihelion));
        if (el.eccentricity != 1) {
            tve.push_back(e25Line(el.ascendingNode, el.semiMajorAxis, el.meanAnomaly) + "0 0");
        } else {
            // A parabola: its size from q, its phase from the perihelion time.
            const long double perihelionTime = run.julianDate - el.meanAnomaly / el.meanMotion;
            tve.push_back(formatMask(e25, el.ascendingNode) + "0  0 " + formatMask(e25, el.perihelionDistance) +
                          extendedJd(perihelionTime));
        }
        tve.push_back(nonGrav);

        std::string row = formatMask(finelNumberMask, b.objectNumber);
        for (long double v : {el.eccentricity, el.inclination, el.argumentOfPerihelion, el.ascendingNode,
                              el.semiMajorAxis, el.meanAnomaly})
            row += formatMask(finelElementMask, v);
        finel.push_back(row);
    }
    return writeTextFileAtomically(directory / "FINAL.TVX", tvx, message) &&
           writeTextFileAtomically(directory / "FINAL.TVE", tve, message) &&
           writeTextFileAtomically(directory / "FINEL.DAT", finel, message);
}

bool writeFullFiles(const std::filesystem::path& directory, const RunSnapshot& run, std::string& message)
{
    const RunBody& sun = run.bodies[0];
    const std::string sunRecord =
        free(sun.mass) + " " + free(sun.radius) + " " + free(sun.absoluteMagnitude) + " 0 " + paddedName(sun.name);
    std::vector<std::string> tvf{freeFormField(static_cast<double>(run.julianDate)), freeFormField(run.nominalStep) + sunRecord, "0  0  0",
                                 "0  0  0"};
    std::vector<std::string> ele{freeFormField(static_cast<double>(run.julianDate)), freeFormField(-run.nominalStep) + sunRecord, "0  0  0",
                                 "0  0  0"};
    const long double sunMass = sun.mass;
    const bool haveEarth = run.earthIndex > 0 && run.earthIndex < static_cast<int>(run.bodies.size());
    const int n = static_cast<int>(run.bodies.size()) - 1;
    for (int i = 1; i <= n; ++i) {
        const RunBody& b = run.bodies[i];
        const std::string header = massOrSlope(b) + " " + signedRadius(b) + " " + free(b.absoluteMagnitude) + " " +
                                   free(b.relFactorBase) + "#  " + paddedName(b.name) + colourSuffix(run, b);
        const CartesianState s = heliocentricState(run, i);
        tvf.push_back(header);
        tvf.push_back(e25Line(s.position[0], s.position[1], s.position[2]));
        tvf.push_back(e25Line(s.velocity[0], s.velocity[1], s.velocity[2]));

        long double k = elementGravityConstant(ElementMode::FullFile, sunMass);
        long double massRatio = i <= run.lastMajor && sunMass > 0 ? b.mass / sunMass : 0;
        if (i == run.moonIndex) {
            k = elementGravityConstant(ElementMode::Satellite);
            massRatio = haveEarth && run.bodies[run.earthIndex].mass > 0 ? b.mass / run.bodies[run.earthIndex].mass : 0;
        }
        const OsculatingElements el = stateToElements(k, massRatio, run.astronomicalUnit, ElementPlane{}, s);
        ele.push_back(header);
        ele.push_back(e25Line(el.eccentricity, el.inclination, el.argumentOfPerihelion));
        ele.push_back(e25Line(el.ascendingNode, el.semiMajorAxis, el.meanAnomaly));
    }
    return writeTextFileAtomically(directory / "FINAL.TVF", tvf, message) &&
           writeTextFileAtomically(directory / "FINAL.ELE", ele, message);
}

}  // namespace

bool writeFinalFiles(const std::filesystem::path& directory, const RunSnapshot& run, std::string& message)
{
    if (run.bodies.empty()) {
        message = (directory / "FINAL.TVF").string() + ": there are no bodies to write";
        return false;
    }
    const int n = static_cast<int>(run.bodies.size()) - 1;
    // A minor-body file whose date reads above the satellite offset is read
    // as a satellite file: a run dated there keeps only its full files.
    if (n > run.lastMajor && !run.satelliteMode && run.julianDate >= satelliteJdOffset) {
        if (!writeFullFiles(directory, run, message)) return false;
        message = (directory / "FINAL.TVX").string() + ": not written: at JD " +
                  freeFormField(static_cast<double>(run.julianDate)) +
                  ", beyond JD 90000000, a minor-body file reads as one of satellites; FINAL.TVF "
                  "holds every body";
        return false;
    }
    if (n > run.lastMajor && !writeMinorBodyFiles(directory, run, message)) return false;
    return writeFullFiles(directory, run, message);
}

bool writeCheckpointFiles(const std::filesystem::path& directory, const RunSnapshot& run, double currentStep,
                          std::string& message, CheckpointStage stopAfter)
{
    if (run.bodies.empty()) {
        message = (directory / "FINSTAT.TVF").string() + ": there are no bodies to write";
        return false;
    }
    std::vector<std::string> lines{freeFormField(static_cast<double>(run.julianDate))};
    std::vector<ExtendedState> exact;
    for (std::size_t i = 0; i < run.bodies.size(); ++i) {
        const RunBody& b = run.bodies[i];
        std::string record = massOrSlope(b) + " " + signedRadius(b) + " " + free(b.absoluteMagnitude) + " " +
                             free(b.relFactorBase) + " " + paddedName(b.name);
        if (i == 0) record = free(currentStep) + " " + record;
        lines.push_back(record);
        lines.push_back(e25Line(b.position[0], b.position[1], b.position[2]));
        lines.push_back(e25Line(b.velocity[0], b.velocity[1], b.velocity[2]));
        exact.push_back({b.position[0], b.position[1], b.position[2], b.velocity[0], b.velocity[1], b.velocity[2]});
    }
    const std::filesystem::path pending = directory / pendingCheckpointBinary;
    if (!writeCheckpointBinary(pending, exact, message)) return false;
    if (stopAfter == CheckpointStage::newBinary) return true;
    if (!writeTextFileAtomically(directory / "FINSTAT.TVF", lines, message)) return false;
    if (stopAfter == CheckpointStage::text) return true;
    std::error_code error;
    std::filesystem::rename(pending, directory / "FINSTAT.BIN", error);
    if (error) {
        message =
            (directory / "FINSTAT.BIN").string() + ": cannot be replaced (" + error.message() + ")";
        return false;
    }
    return true;
}

}  // namespace tarvo
