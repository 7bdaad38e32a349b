// The barycentre of the bodies that attract the others, the centre "Baryc"
// of the pages: the pseudo-body after the last body of the table.
#pragma once

#include "tarvo/dynamics/body_table.h"

#include <algorithm>
#include <type_traits>

namespace tarvo {

// The centre index of the barycentre in the run's settings (the fixed
// point is -1, bodies 0 .. N).
inline constexpr int kBarycentreCentre = -2;
inline constexpr const char* kBarycentreName = "Baryc    ";

/*
** massiveBarycentre: the mass-weighted mean of one vector of the massive
** bodies, 0 .. lastMassive (every body, under option C, whose mass attracts
** the others).
** Given: table (masses, layout), minorPerturb (option C), vectorOf(i), the
**   absolute vector of body i (the Moon and satellites with the Earth's
**   added) in any frame and unit.
** Returned: sum m_i v_i / sum m_i; 0 when no body has a mass.
** Notes: the table's origin is where the Sun stood at rest when the state
**   was loaded, not the barycentre, which moves with the total momentum.
*/
template <class Vec, class VectorOf>
Vec massiveBarycentre(const BodyTable& table, bool minorPerturb, VectorOf vectorOf) {
    const int n = table.layout.bodyCount;
    const int last = minorPerturb ? n : std::min(table.layout.lastMassive, n);
    long double sum[3] = {0, 0, 0}, total = 0;
    for (int i = 0; i <= last; ++i) {
        const long double m = table.mass[static_cast<std::size_t>(i)];
        if (!(m > 0)) continue;
        const Vec v = vectorOf(i);
        for (std::size_t k = 0; k < 3; ++k) sum[k] += m * static_cast<long double>(v[k]);
        total += m;
    }
    Vec mean{};
    using Component = std::remove_reference_t<decltype(mean[0])>;
    if (total > 0)
        for (std::size_t k = 0; k < 3; ++k) mean[k] = static_cast<Component>(sum[k] / total);
    return mean;
}

} // namespace tarvo
