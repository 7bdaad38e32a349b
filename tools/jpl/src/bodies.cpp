#include "jpl/bodies.h"

namespace jpl {

int componentsOf(Series series)
{
    switch (series) {
    case Series::Nutations: return 2;
    case Series::TtMinusTdb: return 1;
    default: return 3;
    }
}

const char* bodyName(int jplNumber)
{
    static const char* const names[] = {"",       "Mercury", "Venus",   "Earth",
                                        "Mars",   "Jupiter", "Saturn",  "Uranus",
                                        "Neptune", "Pluto",  "Moon",    "Sun",
                                        "Solar-system barycentre", "Earth-Moon barycentre",
                                        "Nutations", "Librations"};
    if (jplNumber < 1 || jplNumber > 15) return "";
    return names[jplNumber];
}

const char* seriesName(Series series)
{
    static const char* const names[seriesCount] = {
        "Mercury", "Venus",  "Earth-Moon barycentre", "Mars",      "Jupiter",
        "Saturn",  "Uranus", "Neptune",               "Pluto",     "Moon (geocentric)",
        "Sun",     "Nutations", "Librations",         "Lunar mantle angular velocity", "TT-TDB"};
    const int index = static_cast<int>(series);
    return index >= 0 && index < seriesCount ? names[index] : "";
}

}  // namespace jpl
