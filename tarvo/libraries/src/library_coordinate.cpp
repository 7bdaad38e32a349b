#include <cmath>

#include "tarvo/libraries/planetary_library.h"

namespace tarvo {

double decodeLibraryCoordinate(LibraryCoordinate stored, double scale)
{
    const double fraction = stored.fraction >= 0 ? stored.fraction : stored.fraction + libraryFractionUnit;
    return (stored.whole + fraction / libraryFractionUnit) / scale;
}

bool encodeLibraryCoordinate(double value, double scale, LibraryCoordinate& stored)
{
    const long double x = static_cast<long double>(value) * scale;
    long double whole = std::floor(x);
    long double fraction = std::nearbyint((x - whole) * static_cast<long double>(libraryFractionUnit));
    if (fraction >= static_cast<long double>(libraryFractionUnit)) {
        whole += 1;
        fraction = 0;
    }
    if (!std::isfinite(x) || whole < -32768 || whole > 32767) return false;
    stored.whole = static_cast<std::int16_t>(whole);
    // Fractions above 2^31 - 1 are stored negative, f' - 4294967295.
    stored.fraction = static_cast<std::int32_t>(fraction <= 2147483647.0L
                                                    ? fraction
                                                    : fraction - static_cast<long double>(libraryFractionUnit));
    return true;
}

}  // namespace tarvo
