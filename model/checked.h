#pragma once
// Checked arithmetic for the places where a degenerate attitude reaches a
// divisor or a square root. The messages are the ones the user sees; a value
// that is not finite never leaves these helpers.
#include <cmath>

#include "model/error.h"

namespace trelmox {

inline const char* const DivisionByZeroMessage = "Floating point division by zero";
inline const char* const InvalidOperationMessage = "Invalid floating point operation";
inline const char* const OverflowMessage = "Floating point overflow";

template <typename T> T checkedFinite(T value) {
    if (std::isnan(value)) throw Error::arithmetic(InvalidOperationMessage, ArithmeticFault::InvalidOperation);
    if (std::isinf(value)) throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    return value;
}

// x / 0 is a division by zero, 0 / 0 an invalid operation.
template <typename T> T checkedDiv(T dividend, T divisor) {
    if (divisor == 0) {
        if (dividend == 0) throw Error::arithmetic(InvalidOperationMessage, ArithmeticFault::InvalidOperation);
        throw Error::arithmetic(DivisionByZeroMessage, ArithmeticFault::DivisionByZero);
    }
    return checkedFinite(dividend / divisor);
}

template <typename T> T checkedSqrt(T value) {
    if (value < 0) throw Error::arithmetic(InvalidOperationMessage, ArithmeticFault::InvalidOperation);
    return std::sqrt(value);
}

} // namespace trelmox
