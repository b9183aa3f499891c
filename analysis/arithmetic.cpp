#include "analysis/arithmetic.h"

namespace trelmox {

void throwOverflow() { throw Error(OverflowMessage); }

} // namespace trelmox
