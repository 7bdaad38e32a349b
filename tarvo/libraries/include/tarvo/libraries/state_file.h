// The suite's text state files: the minor-body state file (.TVX) and the
// full N-body state file (.TVF), and the checkpoint's extended-precision
// companion FINSTAT.BIN.
//
// Reading is done in two stages: `readStateFile` parses a whole file into
// records without touching the body table, and `loadStateFile` places the
// records in the table only when the whole file was read, so that a
// damaged file leaves the table as it was.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tarvo/dynamics/body_table.h"

namespace tarvo {

enum class StateFileKind {
    MinorBody,  // .TVX: minor bodies added to a data set's major bodies
    Full,       // .TVF: the whole body table, the Sun first
};

// A JD above this marks a geocentric satellite file; the true JD is the rest.
inline constexpr long double satelliteJdOffset = 90000000.0L;
// objectNumber of bodies with an impulse or the asymmetric model.
inline constexpr double delayedModelMarker = 0.111262;
// Colour components of name fields run 0..99; times this gives 0..255.
inline constexpr double colourCodeScale = 2.575758;

// The name field of a body record (field 5).
struct NameField {
    std::string name;  // 9 characters, blank padded; "/" became "_"
    bool hasColour = false;
    std::uint32_t colour = 0;  // red in bits 0-7, green 8-15, blue 16-23
};

// Decodes a name field: "/" becomes "_", trailing blanks go; a field longer
// than 10 characters ends in a colour code BBGGRR (0..99 each) when the
// numeric value of its last six characters exceeds 5.
NameField decodeNameField(std::string_view field);

// The six digits BBGGRR of a colour (components / 2.575758, rounded).
std::string colourCode(std::uint32_t colour);

// The non-gravitational line of a minor-body record.
struct NonGravitationalData {
    double A1 = 0, A2 = 0, A3 = 0;  // Gm/day^2 after scaling (satellites: as read)
    double objectNumber = 0;
    double tau = 0;                  // days, asymmetric model
    bool asymmetric = false;
    bool hasImpulse = false;
    Impulse impulse;                 // epoch JD2000, velocity change km/s
};

// Applies the number-field rules to A1, A2, A3 and the number string;
// `alpha` is the normalisation of the g(r) law (FITRA.CFG's A), which the
// asymmetric and impulse records take as their number and scale.
NonGravitationalData decodeNumberField(double A1, double A2, double A3,
                                       std::string_view numberString, long double astronomicalUnit,
                                       bool satelliteMode, double alpha = delayedModelMarker);

// One body record as the file holds it.
struct StateRecord {
    double massField = 0;
    double radius = 0;                     // Gm, negative for a comet
    double absoluteMagnitude = 0;
    double relFactor = 0;
    std::string nameField;                 // as read
    std::array<long double, 3> position{}; // Gm, J2000 equator, heliocentric (the Moon geocentric)
    std::array<long double, 3> velocity{}; // km/s
    // Minor-body files only.
    double A1 = 0, A2 = 0, A3 = 0;
    std::string numberString;
};

struct StateFileContents {
    long double julianDate = 0;  // TT, satellite offset removed
    bool satelliteFile = false;  // minor-body file whose JD carried the satellite offset
    double nominalStep = 0;      // days, full files
    std::vector<StateRecord> records;
    int endMarker = 0;           // k of a closing "-k" record; 0 when the list just ends
    bool recordsLeftUnread = false;  // the file held more records than `maxRecords`
};

// Parses a whole .TVX or .TVF file; at most `maxRecords` records are kept.
// Fails, naming the file and the line, on a missing, oversized or truncated
// file or on a field that is not a number.
bool readStateFile(const std::filesystem::path& file, StateFileKind kind, std::size_t maxRecords,
                   StateFileContents& contents, std::string& message);

// FINSTAT.BIN: per body six 80-bit extended values x, y, z (Gm), vx, vy, vz (km/s).
using ExtendedState = std::array<long double, 6>;
inline constexpr std::size_t checkpointBytesPerBody = 60;
// The binary of a checkpoint whose writing stopped before its last stage.
inline constexpr const char* pendingCheckpointBinary = "FINSTAT.BIN.NEW";
bool readCheckpointBinary(const std::filesystem::path& file, std::size_t bodies, std::vector<ExtendedState>& states,
                          std::string& message);
bool writeCheckpointBinary(const std::filesystem::path& file, const std::vector<ExtendedState>& states,
                           std::string& message);

/*
** defaultRelFactor: radial factor of a body whose file gives 0.
** Given: heliocentric position (Gm), velocity (km/s), the Sun's mass (10^24 kg).
** Returned: 18 E / c^2 for a bound orbit (E <= 0), 2 E / c^2 otherwise,
**   E = v^2/2 - G M / r in Gm^2/day^2, c in Gm/day.
*/
double defaultRelFactor(const std::array<long double, 3>& position, const std::array<long double, 3>& velocity,
                        long double sunMass);

// Sun's mass the minor-body loader uses for defaultRelFactor (10^24 kg).
inline constexpr long double minorBodySunMass = 1989095.324L;

// What the first numbers of a file chosen in the menu say about it.
struct StateFileKindCheck {
    bool ok = false;
    std::string message;
    bool elementFile = false;     // .TVE / .ELE: convert before loading
    bool satelliteFile = false;   // minor-body mode: first number beyond the satellite offset
    long double julianDate = 0;   // TT, sign and satellite offset removed
};

// Reads the first number (minor-body mode) or the first two (full mode):
// a magnitude above 90000000 marks a satellite file, a negative first
// number (minor) or a negative step (full) an element file.
StateFileKindCheck recogniseStateFile(const std::filesystem::path& file, StateFileKind kind);

struct StateLoadSettings {
    StateFileKind kind = StateFileKind::MinorBody;
    int dataSet = 2;
    int firstIndex = 14;          // minor-body files: first slot to fill
    bool satelliteMode = false;   // geocentric satellite run (set by the menu)
    bool extraOptionY = false;    // every body gets non-gravitational forces
    long double astronomicalUnit = 149.5978707L;  // Gm
    double nonGravAlpha = delayedModelMarker;     // g(r) normalisation (FITRA.CFG)
};

struct StateLoadResult {
    bool ok = false;
    std::string message;           // why the file was refused
    long double epoch = 0;         // JD2000 day count (TT)
    int count = 0;                 // bodies placed in the table
    double nominalStep = 0;        // full files
    bool satelliteFile = false;
    bool nonGravitationalBodies = false;
    bool earthMissing = false;     // full file without an Earth: the caller resets the geocentric display
    bool colourCodes = false;      // some record's name carried a colour code: the writers add them
};

// Reads a .TVX or .TVF into the body table (FINSTAT.TVF together with the
// FINSTAT.BIN beside it). On failure the table is unchanged.
StateLoadResult loadStateFile(const std::filesystem::path& file, const StateLoadSettings& settings,
                              BodyTable& table);

}  // namespace tarvo
