// The name field and the number field of a body record.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "tarvo/libraries/state_file.h"
#include "fileio/text_util.h"

namespace tarvo {
namespace {

constexpr double mjdOfJ2000 = 51544.5;

int colourComponent(std::string_view twoDigits)
{
    const double c = readFreeNumber(twoDigits);
    return static_cast<int>(std::clamp(std::lround(c * colourCodeScale), 0L, 255L));
}

}  // namespace

NameField decodeNameField(std::string_view field)
{
    std::string text(field);
    std::replace(text.begin(), text.end(), '/', '_');
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    NameField decoded;
    if (text.size() > 10) {
        const std::string_view code = std::string_view(text).substr(text.size() - 6);
        if (readFreeNumber(code) > 5) {
            decoded.hasColour = true;
            const int blue = colourComponent(code.substr(0, 2));
            const int green = colourComponent(code.substr(2, 2));
            const int red = colourComponent(code.substr(4, 2));
            decoded.colour = static_cast<std::uint32_t>(red | (green << 8) | (blue << 16));
        }
    }
    decoded.name = text.substr(0, 9);
    decoded.name.resize(9, ' ');
    return decoded;
}

std::string colourCode(std::uint32_t colour)
{
    auto component = [](std::uint32_t c) { return std::clamp(std::lround(c / colourCodeScale), 0L, 99L); };
    char text[8];
    std::snprintf(text, sizeof text, "%02ld%02ld%02ld", component((colour >> 16) & 0xff),
                  component((colour >> 8) & 0xff), component(colour & 0xff));
    return text;
}

NonGravitationalData decodeNumberField(double A1, double A2, double A3, std::string_view numberString,
                                       long double astronomicalUnit, bool satelliteMode, double alpha)
{
    // Up to four numbers separated by blanks; missing ones are 0.
    double numbers[4] = {0, 0, 0, 0};
    {
        std::istringstream words{std::string(numberString)};
        std::string word;
        for (int i = 0; i < 4 && words >> word; ++i) numbers[i] = readFreeNumber(word);
    }
    const double N = numbers[0];
    NonGravitationalData d;
    d.A1 = A1;
    d.A2 = A2;
    d.A3 = A3;
    d.objectNumber = N;
    double scale = 1;
    if (N >= 1 || N == 0) {
        if (!satelliteMode) d.A1 = 0;
    } else if (N > 0) {
        scale = N * static_cast<double>(astronomicalUnit);
    } else if (N == -1) {
        d.asymmetric = true;
        d.tau = numbers[1];
        d.objectNumber = alpha;
        scale = alpha * static_cast<double>(astronomicalUnit);
    } else {
        d.hasImpulse = true;
        d.impulse.epoch = -N - mjdOfJ2000;
        d.impulse.deltaV[0] = numbers[1];
        d.impulse.deltaV[1] = numbers[2];
        d.impulse.deltaV[2] = numbers[3];
        d.objectNumber = alpha;
        scale = alpha * static_cast<double>(astronomicalUnit);
    }
    if (!satelliteMode) {
        d.A1 *= scale;
        d.A2 *= scale;
        d.A3 *= scale;
    }
    return d;
}

}  // namespace tarvo
