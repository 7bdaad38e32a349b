#include "tarvo/shell/time_zone.h"

namespace tarvo {

double zoneOffsetHours(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local)) return 0.0;
    return static_cast<double>(local.tm_gmtoff) / 3600.0;
}

} // namespace tarvo
