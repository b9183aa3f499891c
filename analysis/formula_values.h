#pragma once
// The operations of the formulas written once over their value type T
// (wedge_formula.h, strength_formula.h): a double here, in the scalar
// analysis; a vector of lanes in the probabilistic kernels, whose
// lane_values.h gives the same names for its vector types before it
// includes the formulas. A formula is written with +, -, *, / and the
// comparisons (each one IEEE operation per lane) and these functions, and
// nothing else, so that every lane of a kernel gives the bits of this
// double code:
//   pick(when, a, b)     a where `when` holds, else b
//   anyLane(when)        whether `when` holds in some lane
//   none(when)           the mask where `when` does not hold
//   absolute(x)          |x| (the sign bit cleared)
//   squareRoot(x)        the correctly rounded square root
//   largerOf(a, b)       std::max(a, b), b only where a < b
//   smallerOf(a, b)      std::min(a, b), b only where b < a
//   every<T>(x)          x in every lane
//   chosen(when, a, b)   a() where `when` holds, else b(), each side worked
//                        out only where some lane takes it
// A mask is what comparing two values gives: bool here. T{} is +0.
#include <cmath>

namespace trelmox {

template <typename T> using MaskOf = decltype(T{} < T{});

// Specialised by each kernel for its vector type.
template <typename T> [[gnu::always_inline]] inline T every(double x) { return x; }

[[gnu::always_inline]] inline double pick(bool when, double a, double b) { return when ? a : b; }
[[gnu::always_inline]] inline bool anyLane(bool when) { return when; }
[[gnu::always_inline]] inline bool none(bool when) { return !when; }
[[gnu::always_inline]] inline double absolute(double x) { return std::fabs(x); }
[[gnu::always_inline]] inline double squareRoot(double x) { return std::sqrt(x); }
[[gnu::always_inline]] inline double largerOf(double a, double b) { return a < b ? b : a; }
[[gnu::always_inline]] inline double smallerOf(double a, double b) { return b < a ? b : a; }
template <typename A, typename B> [[gnu::always_inline]] inline double chosen(bool when, A a, B b) {
    return when ? a() : b();
}

} // namespace trelmox
