#pragma once
// The name scripts read beside a failure's message (the tool's JSON
// "error_kind" and "fs_error_kind", the workbooks' columns of the same keys).
#include "model/error.h"

namespace trelmox {

// The arithmetic fault when the failure is one ("overflow",
// "division_by_zero", ...), else the kind's name ("refused_input", ...).
inline const char* errorKey(const Error& failure) {
    return failure.fault() != ArithmeticFault::None ? arithmeticFaultName(failure.fault())
                                                    : errorKindName(failure.kind());
}

} // namespace trelmox
