#pragma once
// The importance factors of a reliability analysis as a neutral figure: a
// bar per random input from alpha = 0, to the right where the input's
// rise leads to failure and to the left where its fall does, with alpha^2
// as the input's share beside it. The window and the calculation report
// draw this same figure.
#include "analysis/probabilistic/reliability.h"
#include "drawing/figure.h"

namespace trelmox {

// Without a design point (no result, a search that failed) only the title
// with the reason and the axis.
Figure alphaFigure(const ReliabilityResult* result);

} // namespace trelmox
