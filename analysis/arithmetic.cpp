#include "analysis/arithmetic.h"

namespace trelmox {

void throwOverflow() { throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow); }

} // namespace trelmox
