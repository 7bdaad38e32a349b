// Readers of the Minor Planet Center's orbit catalogues in their fixed-column
// export formats: MPCORB.DAT (minor planets) and CometEls.txt (comets).
//
// MPCORB.DAT: an optional text header ended by a line of dashes, then one
// line per orbit: packed number or provisional designation (columns 1-7),
// H (9-13), G (15-19), packed epoch (21-25), M (27-35), omega (38-46),
// Omega (49-57), i (60-68), e (71-79), n (81-91), a (93-103), U (106),
// the readable designation (167-194). Angles are of the J2000 ecliptic.
//
// CometEls.txt: one line per comet: perihelion date (15-29), q (31-39),
// e (42-49), omega (52-59), Omega (62-69), i (72-79), epoch date (82-89),
// H (92-95), slope G (97-100), designation and name (103-158).
//
// Both readers refuse a damaged file whole: a record cut short, a field that
// is no number, a value no orbit has, a binary or oversized file throw
// std::runtime_error naming the file and the line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace builder::mpc {

// "00001" -> 1, "A0000" -> 100000, "z9999" -> 619999, "~0000" -> 620000.
// false when the text is no packed number.
bool unpackNumber(std::string_view packed, int& number);
// "K07Tf8A" -> "2007 TA418", "J95X00A" -> "1995 XA", "PLS2040" -> "2040 P-L",
// "T1S3138" -> "3138 T-1"; false when the text is no packed designation.
bool unpackDesignation(std::string_view packed, std::string& designation);
// "K24AH" -> JD 2460600.5 (2024 October 17.0 TT); false when malformed.
bool unpackEpoch(std::string_view packed, double& julianDate);
// Julian date of 0h of a Gregorian calendar date.
double julianDateOfDay(int year, int month, int day);

struct MinorPlanetOrbit {
    int number = 0;          // 0: not numbered
    std::string designation; // unpacked provisional designation when not numbered
    std::string readable;    // readable designation ("(1) Ceres", "2007 TA418"), may be empty
    double epochJd = 0;      // TT
    double absoluteMagnitude = 0, slope = 0.15; // H (0 when blank), G
    bool hasMagnitude = false;
    double meanAnomaly = 0, perihelion = 0, node = 0, inclination = 0; // degrees
    double eccentricity = 0;
    double semiMajorAxis = 0; // AU
    int uncertainty = -1;     // U, 0 ... 9; -1 when blank or a letter code
};

// Largest catalogue file accepted (MPCORB.DAT is near 300 MB).
inline constexpr std::uintmax_t maximumCatalogueBytes = 2ull << 30;

std::vector<MinorPlanetOrbit> readMpcorb(const std::filesystem::path& file);

struct CometOrbit {
    std::string designation; // designation and name, "1P/Halley", "C/1995 O1 (Hale-Bopp)"
    double perihelionJd = 0; // TT
    double epochJd = 0;      // 0h TT of the epoch date; the perihelion day when none is given
    double perihelionDistance = 0, eccentricity = 0;
    double perihelion = 0, node = 0, inclination = 0; // degrees
    double absoluteMagnitude = 0, slope = 4;          // H and G of m = H + 5 log D + 2.5 G log r
};

std::vector<CometOrbit> readCometEls(const std::filesystem::path& file);

} // namespace builder::mpc
