// The element files: minor-body elements (.TVE) and full N-body elements
// (.ELE). They are turned into state files of the same kind (DAT.TMP),
// which the state-file loader then reads; and the state-file writer used
// for that conversion.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tarvo/libraries/orbital_elements.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo {

// One body of an element file.
struct ElementRecord {
    double massField = 0;
    double radius = 0;
    double absoluteMagnitude = 0;
    double relFactor = 0;
    bool hasFrameEpoch = false;  // .TVE: elements referred to the ecliptic and equinox of `frameEpoch`
    long double frameEpoch = 0;  // JD2000 day count
    std::string nameField;
    OrbitElements elements;      // a and q in AU (km in satellite .TVE files)
    // .TVE only.
    double A1 = 0, A2 = 0, A3 = 0;
    std::string numberString;
};

struct ElementFileContents {
    long double julianDate = 0;   // TT, satellite offset removed
    bool satelliteElements = false;
    double nominalStep = 0;       // .ELE: days (written negated in the file)
    std::vector<ElementRecord> records;  // .ELE: records[0] is the Sun, without elements
    int endMarker = 0;            // .ELE: k of a closing "-k" record
    bool recordsLeftUnread = false;
};

// Parses a whole .TVE (kind MinorBody) or .ELE (kind Full).
bool readElementFile(const std::filesystem::path& file, StateFileKind kind, std::size_t maxRecords,
                     ElementFileContents& contents, std::string& message);

// Rotation from the ecliptic and equinox of a frame epoch (JD2000) to the
// J2000 ecliptic; supplied by the frame code of the reductions.
using EclipticRotation = std::function<bool(long double frameEpoch, Rotation3& toJ2000Ecliptic)>;

struct ElementFileConversion {
    StateFileKind kind = StateFileKind::MinorBody;
    bool satelliteMode = false;                   // geocentric satellite elements (a, q in km)
    long double astronomicalUnit = 149.5978707L;  // Gm
    std::size_t maxRecords = 16100;
    EclipticRotation eclipticRotation;            // needed only by records with a frame epoch
};

struct ElementConversionOutcome {
    bool ok = false;
    std::string message;             // why the file was refused; or the iteration warning
    int count = 0;                   // bodies converted
    bool perihelionBelowQuarterAu = false;  // some q < 0.25 AU: the caller limits the step
    bool perihelionBelowEighthAu = false;   // some q < 0.125 AU
    int iterationWarnings = 0;       // bodies whose Kepler equation hit its round limit
};

// Converts an element file into the state file `stateFile` (DAT.TMP). The
// state file is written only when every body converts.
ElementConversionOutcome convertElementFile(const std::filesystem::path& elementFile,
                                            const std::filesystem::path& stateFile,
                                            const ElementFileConversion& conversion);

// Writes a .TVX (MinorBody) or .TVF (Full) from parsed contents: free-form
// record fields, positions and velocities with the mask
// "##.#################^^^^ ", CR LF line ends, through a temporary file.
bool writeStateFile(const std::filesystem::path& file, StateFileKind kind, const StateFileContents& contents,
                    std::string& message);

}  // namespace tarvo
