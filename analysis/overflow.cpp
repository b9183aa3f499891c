#include "analysis/overflow.h"

namespace trelmox {

// Out of line so that the checks stay small in the hot computations.
void throwOverflow() { throw Error(OverflowMessage); }

} // namespace trelmox
