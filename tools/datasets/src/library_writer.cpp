#include "datasets/library_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "tarvo/libraries/planetary_library.h"

namespace datasets {
namespace {

constexpr double kLargestWhole = 32767.0;
// Room left below the 16-bit limit, so rounding of a coordinate at the
// limit never reaches it.
constexpr double kScaleMargin = 1.0 + 1e-6;

// The largest number with five significant digits not above x, as it reads
// back from its text.
double fiveDigitsDown(double x)
{
    const double decade = std::pow(10.0, std::floor(std::log10(x)) - 4);
    const double down = std::floor(x / decade) * decade;
    char text[32];
    std::snprintf(text, sizeof text, "%.5g", down);
    double value = std::strtod(text, nullptr);
    if (value > x) {  // the decimal text rounded up: take the next step down
        std::snprintf(text, sizeof text, "%.5g", down - decade);
        value = std::strtod(text, nullptr);
    }
    return value;
}

double scaleFor(double largest)
{
    return largest > 0 ? fiveDigitsDown(kLargestWhole / (largest * kScaleMargin)) : 1.0;
}

std::string number(const char* format, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void putLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t value, int count)
{
    for (int k = 0; k < count; ++k) bytes.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

}  // namespace

std::vector<BlockScales> chooseScales(const DataSetContents& contents)
{
    std::vector<BlockScales> scales(contents.blocks.size());
    for (std::size_t b = 0; b < contents.blocks.size(); ++b) {
        double position = 0, velocity = 0;
        for (const auto& record : contents.states)
            for (int k = 0; k < 3; ++k) {
                position = std::max(position, static_cast<double>(std::fabs(record[b].position[k])));
                velocity = std::max(velocity, static_cast<double>(std::fabs(record[b].velocity[k])));
            }
        scales[b] = {scaleFor(position), scaleFor(velocity)};
    }
    return scales;
}

bool encodeLibrary(const DataSetContents& contents, const std::vector<BlockScales>& scales,
                   std::vector<unsigned char>& bytes, std::string& message)
{
    const std::size_t K = contents.blocks.size();
    if (K == 0 || K > 32767 || scales.size() != K || contents.states.size() != contents.epochs.size()) {
        message = "data set " + std::to_string(contents.dataSet) + ": inconsistent contents";
        return false;
    }
    std::vector<unsigned char> out;
    out.reserve(2 + contents.epochs.size() * tarvo::libraryRecordBytes(static_cast<int>(K)));
    putLittleEndian(out, static_cast<std::uint32_t>(K), 2);
    for (std::size_t n = 0; n < contents.epochs.size(); ++n) {
        putLittleEndian(out, static_cast<std::uint32_t>(contents.epochs[n]), 4);
        if (contents.states[n].size() != K) {
            message = "data set " + std::to_string(contents.dataSet) + ": record " + std::to_string(n + 1) +
                      " lacks bodies";
            return false;
        }
        for (std::size_t b = 0; b < K; ++b) {
            const BodyState& s = contents.states[n][b];
            for (int c = 0; c < 6; ++c) {
                const double value = static_cast<double>(c < 3 ? s.position[c] : s.velocity[c - 3]);
                tarvo::LibraryCoordinate stored;
                if (!tarvo::encodeLibraryCoordinate(value, c < 3 ? scales[b].position : scales[b].velocity,
                                                    stored)) {
                    message = contents.blocks[b].name + ": a coordinate does not fit its scale";
                    return false;
                }
                putLittleEndian(out, static_cast<std::uint16_t>(stored.whole), 2);
                putLittleEndian(out, static_cast<std::uint32_t>(stored.fraction), 4);
            }
        }
    }
    bytes = std::move(out);
    return true;
}

std::vector<std::string> descriptionLines(const DataSetContents& contents, const std::vector<BlockScales>& scales)
{
    std::vector<std::string> lines;
    lines.push_back(number("%.17g", contents.sunMass) + " " + number("%.9g", sunRadiusKm / 1e6) + " 0 SUN");
    for (std::size_t b = 0; b < contents.blocks.size(); ++b) {
        lines.push_back(number("%.17g", contents.masses[b]) + " " + number("%.9g", contents.radiiKm[b] / 1e6) + " " +
                        number("%.17g", contents.relFactors[b]) + " " +
                        number("%.6g", std::round(contents.magnitudes[b] * 100)) + " " +
                        number("%.5g", scales[b].position) + " " + number("%.5g", scales[b].velocity) + " " +
                        contents.blocks[b].name.substr(0, 9));
    }
    return lines;
}

std::vector<std::string> colourLines(int dataSet)
{
    // Bodies 0..K by index: the Sun, the planets, the Moon, the asteroids.
    static const int kColours[][3] = {
        {255, 255, 0},   {190, 190, 190}, {255, 235, 160}, {70, 140, 255},  {255, 80, 50},
        {255, 170, 90},  {230, 210, 130}, {120, 230, 230}, {90, 110, 255},  {200, 150, 110},
        {235, 235, 235}, {0, 200, 120},   {200, 120, 255}, {255, 120, 200},
    };
    static const int kAsteroidColour[3] = {170, 170, 120};
    std::vector<std::string> lines;
    auto add = [&](const int* c) {
        lines.push_back(std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]));
    };
    if (dataSet == 10) {
        // Sun, Venus, Earth, Mars, Jupiter, Saturn, Moon.
        for (int i : {0, 2, 3, 4, 5, 6, 10}) add(kColours[i]);
        return lines;
    }
    for (const int* c : kColours) add(c);
    for (int i = 14; i <= 45; ++i) add(kAsteroidColour);
    return lines;
}

std::vector<std::string> zeroParameterLines(int lastRow)
{
    return std::vector<std::string>(static_cast<std::size_t>(lastRow + 1), "0 0 0 0 0 0 0 0");
}

void writeBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(file, std::ios::binary);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())) ||
        !out.flush())
        throw std::runtime_error("cannot write " + file.string());
}

void writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines)
{
    std::ofstream out(file, std::ios::binary);
    for (const auto& line : lines) out << line << "\r\n";
    if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace datasets
