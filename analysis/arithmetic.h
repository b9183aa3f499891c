#pragma once
// Checked arithmetic for the hot computations: the tests stay inline and the
// failures go through out-of-line paths, so that a check costs a compare.
//
// A chain of +, - and * over finite operands can only leave the finite range
// by overflowing: a NaN appears only after an infinity has met a zero or
// another infinity. A non-finite result of such a chain is therefore
// reported as the overflow it started from, with one test per chain instead
// of one per operation.
#include <cmath>

#include "model/checked.h"

namespace trelmox {

[[noreturn]] void throwOverflow();

inline double noOverflow(double value) {
    if (!std::isfinite(value)) [[unlikely]]
        throwOverflow();
    return value;
}

// checkedDiv with its failing path (which throws) kept off the fast path.
inline double quotient(double dividend, double divisor) {
    if (divisor == 0) [[unlikely]]
        return checkedDiv(dividend, divisor);
    return noOverflow(dividend / divisor);
}

// checkedSqrt with its failing path (which throws) kept off the fast path.
inline double root(double radicand) {
    if (radicand < 0) [[unlikely]]
        return checkedSqrt(radicand);
    return std::sqrt(radicand);
}

} // namespace trelmox
