#pragma once
// The tool's data formats at their smallest: JSON values, CSV fields and
// numbers, a readable table's rows, and the names its data give states and
// failures, shared by every command's output and by the Python module.
#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "analysis/full_analysis.h"
#include "model/error.h"

namespace trelmox {

using Json = nlohmann::ordered_json;

// A failure's kind as the tool's data name it ("fs_error_kind"): the
// arithmetic fault ("overflow", "division_by_zero", "invalid_operation",
// "no_driving_force") when it is one, else "refused_input", "number_text",
// "file", "arithmetic" or "other".
const char* errorKindKey(const Error& failure);

// The stability state as the tool's data name it (JSON, CSV, workbooks):
// the Chinese names, whatever the language of the messages, so that a
// script reading them reads the same values in every run.
const char* stateInData(StabilityState state);
// The state as a stable ASCII code for scripts ("stable", "basically_stable",
// "marginal", "unstable"), the same in every language.
const char* stateCode(StabilityState state);

// The tool's JSON: keys in the order they are set. Numbers are written as
// the shortest text that reads back to the same double; a value that is
// missing (or not finite) is null.
Json jsonOf(const std::optional<double>& value);
Json jsonOf(const std::optional<std::string>& text);
// One JSON value on one line; bytes that are not UTF-8 are replaced.
std::string jsonLine(const Json& value);
// A JSON string literal of UTF-8 text.
std::string jsonString(const std::string& text);
// A number as JSON writes it: the shortest text of its double.
std::string jsonNumber(double value);
// A number for CSV, with 17 significant digits (enough to read the double
// back), as spreadsheets and scripts have been given it.
std::string csvNumber(double value);
// A CSV field, quoted when it holds a comma, a quote or a line end.
std::string csvField(const std::string& text);
// A line of a readable table: each cell followed by blanks up to its width
// in terminal columns (East Asian characters take two), at least one blank;
// no blanks at the end.
std::string tableRow(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths);

} // namespace trelmox
