#pragma once
// Overflow detection for chains of +, - and * over finite operands. Such a
// chain can only leave the finite range by overflowing: a NaN appears only
// after an infinity has met a zero or another infinity. A non-finite result
// of such a chain is therefore reported as the overflow it started from,
// with one test per chain instead of one per operation. Divisions and square
// roots go through checkedDiv / checkedSqrt, which name their own failures.
#include <cmath>

#include "model/checked.h"

namespace trelmox {

[[noreturn]] void throwOverflow();

inline double noOverflow(double value) {
    if (!std::isfinite(value)) [[unlikely]]
        throwOverflow();
    return value;
}

} // namespace trelmox
