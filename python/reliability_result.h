#pragma once
// The reliability analysis's result for Python: its fields as read-only
// attributes, named as the keys of `trelmox-cli reliability --format json`
// (and a few beside them), taken from the typed result itself.
#include <pybind11/pybind11.h>

namespace trelmox {

void bindReliabilityResult(pybind11::module_& m);

} // namespace trelmox
