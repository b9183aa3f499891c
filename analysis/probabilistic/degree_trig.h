#pragma once
// Sines and cosines of sampled angles, which come in degrees. The angle is
// reduced to [-45, 45] degrees exactly: n * 90 is a whole number, and the
// difference of two doubles this close is a double. Only then is it turned
// into radians, with one rounding, and the polynomials of FreeBSD's k_sin.c
// and k_cos.c (fdlibm's, within an ulp on [-pi/4, pi/4]) give the sine and
// cosine: within 2 ulp of the true values of the angle given, with no
// rounding of pi times a large angle at all. Only products and sums in a
// fixed order, no fused multiply-add, so that the lanes of every width
// (kernel_lanes.h) and the scalar twin below give the same bits. Beyond
// Limit a sampled angle is nonsense anyway; callers take SLEEF's sincos of
// the radians there.
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

#include "analysis/joint_strength.h"
#include "model/angles.h"

namespace trelmox::degree_trig {

// The largest sampled angle (or either angle of a difference) taken this
// way; the reduction is exact up to 2^46, far beyond the difference of two.
inline constexpr double Limit = 0x1p40;
// Added to x / 90 and taken away again, it rounds to the nearest whole
// number n, whose low bits are then those of the sum's: the quadrant.
inline constexpr double Shift = 0x1.8p52;
inline constexpr std::uint64_t SignBit = std::uint64_t(1) << 63;
// Below this the sine is x itself (and keeps the sign of -0).
inline constexpr double Tiny = 0x1p-27;

template <typename T> [[gnu::always_inline]] inline T sinOfReduced(T x) {
    constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                     S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                     S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
    const T z = x * x, w = z * z;
    const T r = S2 + z * (S3 + z * S4) + z * w * (S5 + z * S6);
    return x + z * x * (S1 + z * r);
}

template <typename T> [[gnu::always_inline]] inline T cosOfReduced(T x) {
    constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03, C3 = 2.48015872894767294178e-05,
                     C4 = -2.75573143513906633035e-07, C5 = 2.08757232129817482790e-09,
                     C6 = -1.13596475577881948265e-11;
    const T z = x * x, w = z * z;
    const T r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
    const T half = 0.5 * z, v = 1.0 - half;
    return v + (((1.0 - v) - half) + z * r);
}

// The scalar twin, |degrees| <= 2 Limit.
inline SinCos<double> sinCos(double degrees) {
    const double shifted = degrees * (1.0 / 90) + Shift;
    const std::uint64_t quadrant = std::bit_cast<std::uint64_t>(shifted);
    const double x = (degrees - (shifted - Shift) * 90) * Degree;
    double s = std::abs(x) < Tiny ? x : sinOfReduced(x), c = cosOfReduced(x);
    if (quadrant & 1) std::swap(s, c);
    s = std::bit_cast<double>(std::bit_cast<std::uint64_t>(s) ^ (quadrant & 2 ? SignBit : 0));
    c = std::bit_cast<double>(std::bit_cast<std::uint64_t>(c) ^ ((quadrant + 1) & 2 ? SignBit : 0));
    return {s, c};
}

} // namespace trelmox::degree_trig
