#pragma once
// Sines and cosines of attitudes given in degrees. An angle is turned into
// radians as degrees * pi / 180 (multiply first, pi of the working type)
// and the library's sine and cosine are taken of that. Whole-degree angles
// from 0 to 360 - what a compass reading gives and the entry boxes offer -
// are looked up in tables of exactly those values, computed once: the
// library's trigonometry is most of the cost of analysing a block, in
// extended precision above all.
#include <array>
#include <cmath>
#include <numbers>
#include <type_traits>

#include "model/checked.h"

namespace trelmox {

template <typename Real> struct SinCos { Real sin = 0, cos = 0; };

inline constexpr int WholeDegreeCount = 361; // 0 to 360

// The tables, filled when the program starts; entries equal the library's
// values for the angle bit for bit. Plain variables rather than function
// statics, so that a look-up is a load with no initialisation check.
template <typename Real> std::array<SinCos<Real>, WholeDegreeCount> computeWholeDegreeSinCos();
std::array<double, WholeDegreeCount> computeWholeDegreeTan();
inline const std::array<SinCos<double>, WholeDegreeCount> WholeDegreeSinCos = computeWholeDegreeSinCos<double>();
inline const std::array<SinCos<long double>, WholeDegreeCount> WholeDegreeSinCosExtended =
    computeWholeDegreeSinCos<long double>();
inline const std::array<double, WholeDegreeCount> WholeDegreeTan = computeWholeDegreeTan();

// degrees * pi / 180 in Real (double or long double); an angle beyond the
// range gives Error("Floating point overflow").
template <typename Real> Real radiansOf(double degrees) {
    return checkedFinite(Real(degrees) * std::numbers::pi_v<Real> / 180);
}

// The table index of a whole-degree angle, or -1. Negative zero is left to
// the library, whose sine keeps its sign.
inline int wholeDegreeIndex(double degrees) {
    if (!(degrees >= 0 && degrees < WholeDegreeCount) || std::signbit(degrees)) return -1;
    const int whole = int(degrees);
    return whole == degrees ? whole : -1;
}

template <typename Real> SinCos<Real> sinCosOfDegrees(double degrees) {
    const int index = wholeDegreeIndex(degrees);
    if (index >= 0) {
        if constexpr (std::is_same_v<Real, long double>)
            return WholeDegreeSinCosExtended[index];
        else
            return WholeDegreeSinCos[index];
    }
    const Real radians = radiansOf<Real>(degrees);
    return {std::sin(radians), std::cos(radians)};
}

inline double tanOfDegrees(double degrees) {
    const int index = wholeDegreeIndex(degrees);
    return index >= 0 ? WholeDegreeTan[index] : std::tan(radiansOf<double>(degrees));
}

} // namespace trelmox
