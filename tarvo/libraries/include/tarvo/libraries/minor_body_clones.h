// The suffixes of an asteroid answer: "/F" passes the asteroids chosen
// through the limits of FILTER.AST; "/C n", "/K n" and "/L n" write n clones
// of an asteroid, spread by the differences between element sources.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tarvo/libraries/minor_body_library.h"

namespace tarvo {

enum class CloneNaming {
    None,
    Numbered, // "/C": the clone number after the name's first two characters, colour by deviation
    Kept,     // "/K": the asteroid's name for every clone
    Grey,     // "/L": numbered names, every clone the colour code 808080
};

// Fewest and most clones one answer makes.
inline constexpr int minimumClones = 3;
inline constexpr int maximumClones = 10000;

// An answer with its suffixes taken off.
struct AnswerSuffixes {
    std::string body; // what is left: a number, range, name or list
    bool filter = false;
    CloneNaming clones = CloneNaming::None;
    int cloneCount = 0; // minimumClones ... maximumClones
};
AnswerSuffixes splitAnswerSuffixes(const std::string& answer);

// FILTER.AST: a header line, then eight lines "lower upper label" for H,
// diameter (km), a (AU), e, q (AU), i, omega and Omega (degrees). A line
// whose upper limit is negative is not applied; an upper limit 0 means no
// upper limit.
struct AsteroidFilter {
    std::array<std::array<double, 2>, 8> limits{};
};
inline constexpr std::uintmax_t maximumFilterFileBytes = 64u << 10;
// false with a message naming the file and line when it is missing, too
// large, short of lines or holds limits that are no numbers.
bool readAsteroidFilter(const std::filesystem::path& file, AsteroidFilter& filter,
                        std::string& message);
// A FILTER.AST with every line switched off, for the user to edit.
std::string defaultAsteroidFilterText();
bool passesFilter(const AsteroidFilter& filter, const AsteroidElementsDecoded& asteroid);

// Normal deviates by the polar method, from a 64-bit engine.
class NormalDeviates {
  public:
    explicit NormalDeviates(std::uint64_t seed) : engine_(seed) {}
    double next(); // mean 0, standard deviation 1

  private:
    std::mt19937_64 engine_;
    double spare_ = 0;
    bool haveSpare_ = false;
};

// Colour code BBGGRR of a clone whose weights deviate by q = INT(100 sum w^2).
std::string cloneDeviationColour(int q);

// `count` copies of an asteroid that has a difference record: the first
// with the base elements, every further one with the weights w0 (standard
// deviation 1) and w1 ... w6 (0.125), element k moved by 2^s d_k (w0 + w_k).
std::vector<AsteroidElementsDecoded> makeClones(int number, const AsteroidRecord& record,
                                                const DifferenceRecord& difference,
                                                CloneNaming naming, int count,
                                                NormalDeviates& deviates);

} // namespace tarvo
