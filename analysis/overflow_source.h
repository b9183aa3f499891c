#pragma once
// Which input an overflow comes from. A computation overflows when some
// input lies far beyond any engineering magnitude (a seismic coefficient of
// 1e308, a force of 1e200, a spacing of 5e-324), and "Floating point
// overflow" alone leaves the user to guess which. So, only once it has
// failed, the inputs are set to 1 one at a time, the farthest from 1 first,
// and the computation is run again: the first whose change lets it pass is
// the one named. Inputs within a factor 1e6 of 1 are never suspected, and
// at most MaxOverflowTrials runs are made.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "model/block.h"
#include "model/block_input.h"
#include "model/error.h"
#include "model/loads.h"

namespace trelmox {

struct WedgeNumbers;

// A number of the inputs, as the data name it and as the user reads it.
struct InputNumber {
    std::string Field; // "seismic.k", "SlopeHeight", ...
    std::string Label; // in the language of the messages
    double Value = 0;
    std::function<void(double)> Set; // sets it in the inputs it was listed from
};

inline constexpr int MaxOverflowTrials = 24;

// How far from an engineering magnitude a value is: |log10 |v||.
inline double farFromOne(double value) {
    if (value == 0) return 0;
    if (!std::isfinite(value)) return INFINITY;
    return std::fabs(std::log10(std::fabs(value)));
}

// `numbersOf(inputs)` lists the numbers of (a copy of) the inputs, always
// in the same order; `overflows(inputs)` runs the computation and says
// whether it overflowed again.
template <class Inputs, class NumbersOf, class Overflows>
std::optional<InputNumber> overflowSource(const Inputs& inputs, NumbersOf numbersOf, Overflows overflows) {
    Inputs listed = inputs;
    const std::vector<InputNumber> numbers = numbersOf(listed);
    std::vector<std::size_t> order(numbers.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return farFromOne(numbers[a].Value) > farFromOne(numbers[b].Value);
    });
    int trials = 0;
    for (const std::size_t i : order) {
        if (farFromOne(numbers[i].Value) < 6 || trials++ == MaxOverflowTrials) break;
        Inputs trial = inputs;
        numbersOf(trial)[i].Set(1);
        if (!overflows(trial)) return numbers[i];
    }
    return std::nullopt;
}

// The overflow reworded to name the input it comes from, which it carries
// as its field: "Floating point overflow (from seismic.k = 1e+308)".
Error namedOverflow(const Error& failure, const InputNumber& input);

// The numbers of a block's analysis: the four planes' attitudes, the
// parameters as numbers and the loads. Each parameter is named by its label
// in the parameter window, each load by its place in the companion file.
std::vector<InputNumber> wedgeInputNumbers(PlaneAttitudeArray& attitudes, WedgeNumbers& numbers, WedgeLoads& loads);
// The numbers of a block's input (its attitudes, the quadrants' angles and
// the parameters), for a failure before the parameters are checked.
std::vector<InputNumber> blockInputNumbers(BlockInput& block);

} // namespace trelmox
