// Choosing asteroids and comets from the libraries: the answers of the
// asteroid prompt (numbers, ranges, names, .LST files of answers) and the
// temporary files the state-file loaders then read: AST.TMP (an element
// file), FOUNDAST.LST (the asteroids found) and COMET.TMP (a state file).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tarvo/libraries/minor_body_library.h"

namespace tarvo {

// What one answer of the asteroid prompt chose.
struct AsteroidAnswer {
    std::vector<int> numbers;          // records chosen, in order
    std::vector<std::string> messages; // "Asteroid X not in Library", refused lists
};

// Longest range one answer takes, and the longest .LST file read.
inline constexpr int maximumRangeLength = 100000;
inline constexpr std::uintmax_t maximumListFileBytes = 4u << 20;

// Resolves one answer: a number n, a range "n-m", a name (compared in upper
// case; words after the name are ignored) or a file name ending ".LST"
// whose lines are answers themselves. A list that names itself, directly or
// through other lists, is refused with a message. Relative list names are
// taken in `directory`.
void resolveAsteroidAnswer(const AsteroidLibrary& library, const std::string& answer,
                           const std::filesystem::path& directory, AsteroidAnswer& result);

// AST.TMP: the chosen asteroids as an element file at the library epoch.
// Each body's number field is its catalogue number; A1 ... A3 are 0 (the
// position uncertainties stay out of the fields the forces read).
std::string asteroidElementFileText(double epochJd,
                                    const std::vector<AsteroidElementsDecoded>& asteroids);
// FOUNDAST.LST: "###### " number and name, one asteroid a line.
std::string foundAsteroidListText(const std::vector<AsteroidElementsDecoded>& asteroids);

// Radius given to comets (Gm): 10 km, a nucleus of typical size.
inline constexpr double cometRadiusGm = 1e-5;
// COMET.TMP: one comet as a minor-body state file at its own epoch.
std::string cometStateFileText(const CometRecord& comet);

} // namespace tarvo
