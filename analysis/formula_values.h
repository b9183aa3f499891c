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
// A count per lane, CountOf<T> (an int here), for the polygons whose
// number of points differs from lane to lane:
//   countIs(c, n)        the mask where c == n
//   countAtLeast(c, n)   the mask where c >= n
//   oneWhere(when)       a count of 1 where `when` holds, else 0
// Lane by lane, for the rare work no formula of lanes does:
//   forEachLane(when, f) f(lane) for each lane where `when` holds
//   laneOf(x, lane)      lane `lane` of x (a value or a count)
//   setLaneOf(x, lane, e) lane `lane` of x set to e
#include <cmath>
#include <cstddef>

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

// Specialised by each kernel for its vector type.
template <typename T> struct CountType { using Type = int; };
template <typename T> using CountOf = typename CountType<T>::Type;

[[gnu::always_inline]] inline bool countIs(int count, int n) { return count == n; }
[[gnu::always_inline]] inline bool countAtLeast(int count, int n) { return count >= n; }
[[gnu::always_inline]] inline int oneWhere(bool when) { return when ? 1 : 0; }
template <typename F> [[gnu::always_inline]] inline void forEachLane(bool when, F f) {
    if (when) f(std::size_t{0});
}
[[gnu::always_inline]] inline double laneOf(double x, std::size_t) { return x; }
[[gnu::always_inline]] inline int laneOf(int x, std::size_t) { return x; }
[[gnu::always_inline]] inline void setLaneOf(double& x, std::size_t, double e) { x = e; }

} // namespace trelmox
