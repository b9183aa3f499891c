#pragma once
// The formats' JSON values as Python objects, built directly rather than
// printed and read back: dicts keep the keys' order, whole numbers stay
// int, a number that is not finite is None, text that is not UTF-8 has
// its bad bytes replaced as the tool's JSON replaces them.
#include <pybind11/pybind11.h>

#include <vector>

#include "report/json_format.h"

pybind11::object pythonOf(const trelmox::Json& value);
pybind11::list pythonListOf(const std::vector<trelmox::Json>& rows);
