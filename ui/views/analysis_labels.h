#pragma once
// The Chinese names of the analysis inputs, as the probabilistic and
// sensitivity windows show them.
#include <QString>

#include <functional>

#include "analysis/probabilistic/parameters.h"
#include "analysis/wedge.h"

namespace trelmox::views {

// "第一切割面倾角", "第一切割面摩擦系数 f1", ...
QString parameterLabel(Parameter parameter);
// A refusal of an input's value or distribution in the window's words,
// e.g. "第一切割面倾角的标准差应为不小于0的有限数，而不是-1".
QString refusalText(const ParameterRefusal& refusal);
// Runs `command`; a refusal comes out as an Error in the window's words,
// every other failure as it is.
void inWindowWords(const std::function<void()>& command);

// How an input of the block can take part in a probabilistic or
// sensitivity analysis: varied; shown but fixed (a computed water pressure);
// or not offered, for a load the block does not have (a crack's inputs
// without a crack, ...; all loads when the block's texts do not convert).
enum class InputUse { Variable, Fixed, Absent };
InputUse inputUse(const BlockInputs* inputs, Parameter parameter);

// A number as the pictures write it: up to `digits` significant digits,
// "." as the decimal separator whatever the locale.
QString shortNumber(double value, int digits = 4);

} // namespace trelmox::views
