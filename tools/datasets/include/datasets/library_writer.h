// Writing a planetary data set: the state library PL*.BIN, its description
// file, the colour file and the parameter file, from states at the record
// epochs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "datasets/body_catalogue.h"
#include "datasets/planetary_source.h"

namespace datasets {

// Everything a data set's files are made from.
struct DataSetContents {
    int dataSet = 0;
    std::vector<BodyEntry> blocks;       // body blocks 1..K
    double sunMass = 0;                 // 10^24 kg
    std::vector<double> masses;         // per block, 10^24 kg
    std::vector<double> relFactors;     // per block
    std::vector<double> radiiKm;        // per block
    std::vector<double> magnitudes;     // per block, H
    std::vector<std::int32_t> epochs;   // record epochs, days from J2000
    std::vector<std::vector<BodyState>> states;  // [record][block]
};

// Position and velocity scales of every block: the largest value with five
// significant digits that keeps every coordinate of the block below 32767.
struct BlockScales {
    double position = 1;
    double velocity = 1;
};
std::vector<BlockScales> chooseScales(const DataSetContents& contents);

// The bytes of the library file.
bool encodeLibrary(const DataSetContents& contents, const std::vector<BlockScales>& scales,
                   std::vector<unsigned char>& bytes, std::string& message);

// Lines of the description file (without line ends).
std::vector<std::string> descriptionLines(const DataSetContents& contents, const std::vector<BlockScales>& scales);

// Colour file lines for bodies 0..K of a data set.
std::vector<std::string> colourLines(int dataSet);

// A parameter file of zero coefficients, rows 0..lastRow.
std::vector<std::string> zeroParameterLines(int lastRow);

// Writes bytes / CR LF lines to a file.
void writeBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes);
void writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

}  // namespace datasets
