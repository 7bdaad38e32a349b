// The files of each planetary data set and its force-model parameters: the
// library, description, colour and parameter file names, and `loadParameters`,
// which fills the radial-factor polynomial coefficients from the data set's
// parameter file together with the data set's force constants.
#pragma once

#include <filesystem>
#include <string>

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/force_coefficients.h"
#include "tarvo/libraries/planetary_library.h"

namespace tarvo {

inline constexpr int firstDataSet = 1;
inline constexpr int lastDataSet = 10;

// File names of one data set (upper case, as in the data tree).
struct DataSetFileNames {
    const char* library;      // BIN directory
    const char* description;  // ASC directory
    const char* colours;      // ASC directory
    const char* parameters;   // ASC directory; "" when the data set reads none
    int lastParameterRow;     // rows 0 .. lastParameterRow of the parameter file
};

// Names of data set 1..10; nullptr for any other number.
const DataSetFileNames* dataSetFileNames(int dataSet);

// Full paths of the library, description and colour files of a data set in
// the tree's BIN and ASC directories. Empty paths for an unknown data set.
DataSetFiles dataSetFiles(const std::filesystem::path& binDirectory, const std::filesystem::path& ascDirectory,
                          int dataSet);

// What a data set contributes to the force model.
struct DataSetParameters {
    RadialCoefficients radial;   // rows 0..1000, zero where the file has none
    ForceCoefficients force;     // constants of Part of the force model, for J2000
};

/*
** loadParameters: coefficient arrays and force constants of a data set.
** Given: ascDirectory (where the *.PAR files are), dataSet 1..10.
** Returned: parameters: every row 0..1000 set to 0, then rows 0..R read from
**   the data set's parameter file (data sets 1 and 10 read none and keep
**   zeros); the force constants of the data set (AU, solar J2, Earth-Moon
**   coefficients) with their values for J2000.
**   false with a message naming the file when the file is missing or
**   unreadable, or the data set is unknown; parameters are then untouched.
*/
bool loadParameters(const std::filesystem::path& ascDirectory, int dataSet, DataSetParameters& parameters,
                    std::string& message);

/*
** applyRadialCorrections: relFactor of bodies 1..13 at epoch t.
** Given: table (relFactorBase), coefficients (row i for body i), t in days
**   from J2000 (TT), dataSet, satelliteMode (a geocentric satellite run).
** Returned: relFactor[i] = relFactorBase[i] + Q_i(t) for i = 1..13 (those
**   within the table); the Moon then takes the Earth's value, and so does
**   every body above lastMajor (up to index 511) of a satellite run: the
**   satellites move with the Earth. Run at every frame epoch, with
**   updateTimeDependentCoefficients.
*/
void applyRadialCorrections(BodyTable& table, const RadialCoefficients& coefficients, long double t,
                            int dataSet, bool satelliteMode = false);

}  // namespace tarvo
