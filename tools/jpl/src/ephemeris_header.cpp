#include "jpl/ephemeris_header.h"

namespace jpl {

const double* EphemerisHeader::constant(std::string_view name) const
{
    for (const NamedConstant& c : constants)
        if (c.name == name) return &c.value;
    return nullptr;
}

}  // namespace jpl
