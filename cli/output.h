#pragma once
// How the analyze command prints its outcomes: a readable table, JSON
// lines, or CSV for spreadsheets. All three carry the same columns.
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/geometry.h"
#include "analysis/wedge.h"

namespace trelmox::cli {

struct BlockOutcome {
    std::string block;
    std::optional<WedgeGeometry> geometry; // absent when not computed
    std::optional<SafetyResult> safety;
    std::vector<std::string> messages; // the system's messages for this block, in order
    std::optional<std::string> error;  // the failure that stopped this block
};

class OutcomePrinter {
public:
    virtual ~OutcomePrinter() = default;
    virtual void print(const BlockOutcome& outcome) = 0;
    virtual void finish() {}
};

// format is "text", "json" or "csv".
std::unique_ptr<OutcomePrinter> makeOutcomePrinter(const std::string& format, std::ostream& out);

// A JSON string literal of UTF-8 text.
std::string jsonString(const std::string& text);
// A number with 17 significant digits (enough to read the double back).
std::string jsonNumber(double value);
// A CSV field, quoted when it holds a comma, a quote or a line end.
std::string csvField(const std::string& text);
// A line of a readable table: each cell followed by blanks up to its width
// in terminal columns (East Asian characters take two), at least one blank;
// no blanks at the end.
std::string tableRow(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths);

} // namespace trelmox::cli
