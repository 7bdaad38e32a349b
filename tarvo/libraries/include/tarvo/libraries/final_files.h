// The files written at the end of a run (FINAL.TVX, FINAL.TVE, FINEL.DAT,
// FINAL.TVF, FINAL.ELE) and the checkpoint written during long runs
// (FINSTAT.TVF with FINSTAT.BIN).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tarvo/dynamics/body_table.h"

namespace tarvo {

// One body as the writers see it: the run loop's heliocentric copy.
struct RunBody {
    std::string name;                       // 9 characters
    std::uint32_t colour = 0;
    long double mass = 0;                   // 10^24 kg
    double massField = 0;                   // the record's first number (a comet's slope K)
    double radius = 0;                      // Gm
    bool isComet = false;
    double absoluteMagnitude = 0;
    double relFactorBase = 0;
    double objectNumber = 0;
    double A1 = 0, A2 = 0, A3 = 0;          // Gm/day^2 (satellites: drag, J2, J3)
    double tau = 0;                         // days
    Impulse impulse;
    std::array<long double, 3> position{};  // Gm, J2000 equator: heliocentric; the Moon and, in
    std::array<long double, 3> velocity{};  // satellite mode, the bodies above lastMajor geocentric; km/s
};

struct RunSnapshot {
    long double julianDate = 0;  // TT
    double nominalStep = 0;      // days
    std::vector<RunBody> bodies; // 0 .. N, the Sun first
    int lastMajor = 0;
    int earthIndex = 3;
    int moonIndex = 10;          // beyond the bodies when there is no Moon
    bool satelliteMode = false;
    bool coloursInUse = false;   // some body of the file last read had a colour code
    bool impulseOption = false;  // extra option "^"
    bool asymmetricOption = false;  // extra option "<"
    long double astronomicalUnit = 149.5978707L;  // Gm
};

// Rotation applied to every vector of a snapshot (the table's equator of
// date to the J2000 equator), or empty when the table is already in J2000.
using VectorRotation = std::function<std::array<long double, 3>(const std::array<long double, 3>&)>;

// The heliocentric copy of bodies 0 .. N the writers take: every body minus
// the Sun, except the Moon and, in satellite mode, the bodies above
// lastMajor, which stay geocentric; step velocities turned into km/s
// (stored / (0.0864 direction step)); then rotated.
RunSnapshot snapshotOfTable(const BodyTable& table, long double julianDate, double nominalStep, long double step,
                            int direction, bool satelliteMode, long double astronomicalUnit,
                            const VectorRotation& toJ2000 = {});

// Writes the five final files into `directory` (FINAL.TVX, FINAL.TVE and
// FINEL.DAT only when there are minor bodies). Each file is written to a
// temporary name and renamed. False with a message naming the file on the
// first failure. A run (not of satellites) dated at or after JD 90000000
// writes only FINAL.TVF and FINAL.ELE: its minor-body file would read back
// as one of satellites; false with a message saying so.
bool writeFinalFiles(const std::filesystem::path& directory, const RunSnapshot& run, std::string& message);

// The stages of writing a checkpoint, in order. A checkpoint is never
// written half: the new binary is first written whole as FINSTAT.BIN.NEW,
// then the text replaces FINSTAT.TVF (through a temporary file), then the
// binary replaces FINSTAT.BIN. Stopped anywhere (a kill, a full disk),
// FINSTAT.TVF loads either the old or the new state exactly: the loader
// takes FINSTAT.BIN.NEW when it is the binary of the text beside it.
enum class CheckpointStage { newBinary, text, complete };

// Writes FINSTAT.TVF (text, `currentStep` in days on line 2) and FINSTAT.BIN
// (the same states in extended precision), in the stages above;
// `stopAfter` ends the writing early, as a kill would (for tests).
bool writeCheckpointFiles(const std::filesystem::path& directory, const RunSnapshot& run,
                          double currentStep, std::string& message,
                          CheckpointStage stopAfter = CheckpointStage::complete);

// Header line of FINEL.DAT.
inline constexpr const char* finalElementsHeader =
    "   N         e           i            w          Node           a            M";

}  // namespace tarvo
