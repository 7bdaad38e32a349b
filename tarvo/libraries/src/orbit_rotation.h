// Rotations between the orbital plane, the ecliptic and the equator.
#pragma once

#include <array>
#include <cmath>

#include "tarvo/libraries/orbital_elements.h"

namespace tarvo {

using Vector3 = std::array<long double, 3>;

inline Vector3 rotate(const Rotation3& m, const Vector3& v)
{
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

/*
** perifocalToEcliptic: rotation from the orbital plane (x to perihelion,
** z along the angular momentum) to the ecliptic, R3(-Omega) R1(-i) R3(-omega).
** Given: i, omega, Omega (rad). Returned: the matrix.
** Reference: Danby (1988), 6.10.
*/
inline Rotation3 perifocalToEcliptic(long double i, long double omega, long double node)
{
    const long double ci = std::cos(i), si = std::sin(i);
    const long double cw = std::cos(omega), sw = std::sin(omega);
    const long double cn = std::cos(node), sn = std::sin(node);
    return {{{cw * cn - sw * sn * ci, -sw * cn - cw * sn * ci, sn * si},
             {cw * sn + sw * cn * ci, -sw * sn + cw * cn * ci, -cn * si},
             {sw * si, cw * si, ci}}};
}

// Ecliptic to equator: rotation about x by -obliquity (rad).
inline Vector3 eclipticToEquator(const Vector3& v, long double obliquity)
{
    const long double c = std::cos(obliquity), s = std::sin(obliquity);
    return {v[0], v[1] * c - v[2] * s, v[1] * s + v[2] * c};
}

// Equator to ecliptic: rotation about x by +obliquity (rad).
inline Vector3 equatorToEcliptic(const Vector3& v, long double obliquity)
{
    const long double c = std::cos(obliquity), s = std::sin(obliquity);
    return {v[0], v[1] * c + v[2] * s, v[2] * c - v[1] * s};
}

inline Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline long double dot(const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline long double norm(const Vector3& a) { return std::sqrt(dot(a, a)); }

}  // namespace tarvo
