#pragma once
// The draws' quantile functions in closed form (distribution.cpp's
// Sampler::value and normalQuantile), written once over their value type
// (formula_values.h): the sampler instantiates them for doubles,
// kernel_lanes.h for its vectors, so that a draw in a lane is the draw one
// by one, bit for bit. A draw is the quantile of a uniform u mapped into
// the CDF interval [pLow, pLow + pWidth] that the truncation leaves,
// clamped to the truncated range against rounding.
//
// Included by the sampler and by kernel_lanes.h after its lane operations;
// no other header includes it.
#include <sleef.h>

#include "analysis/formula_values.h"
#include "analysis/probabilistic/distribution.h"

namespace trelmox {

// SLEEF's deterministic scalar functions, whose bits its vector ones give
// (sample_trig.h's sampleLog and sampleLog1p).
[[gnu::always_inline]] inline double sleefLog(double x) { return Sleef_cinz_logd1_u10purec(x); }
[[gnu::always_inline]] inline double sleefLog1p(double x) { return Sleef_cinz_log1pd1_u10purec(x); }

// std::clamp(v, low, high): low where v < low, else high where high < v,
// else v (a value that is not a number passes).
template <typename Value> [[gnu::always_inline]] inline Value clampedTo(Value v, Value low, Value high) {
    return pick(v < low, low, pick(high < v, high, v));
}

// The uniform's probability in the truncation's CDF interval, held below 1
// as the uniforms are: a range cut far into the upper tail leaves an
// interval whose top rounds to 1 for the largest uniforms, where the
// quantile is infinite.
template <typename Value>
[[gnu::always_inline]] inline Value truncatedProbabilityOf(Value u, Value pLow, Value pWidth) {
    return clampedTo(pLow + u * pWidth, Value{}, every<Value>(1 - 0x1p-53));
}

// Acklam's standard normal quantile, on p within [2^-1074, 1 - 2^-53]: the
// central rational function in (p - 0.5)^2, and the tails' (p below
// Central or above 1 - Central) in sqrt(-2 log p), mirrored for the upper.
template <typename Value> [[gnu::always_inline]] inline MaskOf<Value> inNormalTail(Value p) {
    return (p < every<Value>(quantile::Central)) | (p > every<Value>(1 - quantile::Central));
}

template <typename Value> [[gnu::always_inline]] inline Value centralNormalQuantileOf(Value p) {
    using namespace quantile;
    const Value q = p - every<Value>(0.5);
    const Value r = q * q;
    return (((((every<Value>(A[0]) * r + A[1]) * r + A[2]) * r + A[3]) * r + A[4]) * r + A[5]) * q /
           (((((every<Value>(B[0]) * r + B[1]) * r + B[2]) * r + B[3]) * r + B[4]) * r + 1);
}

template <typename Value> [[gnu::always_inline]] inline Value tailNormalQuantileOf(Value p) {
    using namespace quantile;
    const MaskOf<Value> lowTail = p < every<Value>(Central);
    const Value tail = pick(lowTail, p, every<Value>(1) - p);
    const Value q = squareRoot(every<Value>(-2) * sleefLog(tail));
    const Value x = (((((every<Value>(C[0]) * q + C[1]) * q + C[2]) * q + C[3]) * q + C[4]) * q + C[5]) /
                    ((((every<Value>(D[0]) * q + D[1]) * q + D[2]) * q + D[3]) * q + 1);
    return pick(lowTail, x, every<Value>(-1) * x);
}

// The exponential of mean `mean`.
template <typename Value> [[gnu::always_inline]] inline Value exponentialQuantileOf(Value p, Value mean) {
    return -(mean * sleefLog1p(-p));
}

// The triangular from `low` to `high`: below the mode (where p < split, the
// CDF at the mode) low + sqrt(p left), above it high - sqrt((1 - p) right),
// with left = (high - low)(mode - low) and right = (high - low)(high - mode).
template <typename Value>
[[gnu::always_inline]] inline Value triangularQuantileOf(Value p, Value low, Value high, Value split, Value left,
                                                         Value right) {
    return chosen(
        p < split, [&] { return low + squareRoot(p * left); },
        [&] { return high - squareRoot((every<Value>(1) - p) * right); });
}

} // namespace trelmox
