#pragma once
// Tables as an Excel workbook (.xlsx): each sheet a row of column keys, a
// row of their units, then the rows, numbers stored as numbers. Scripts find
// a column by its key in the first row (the key the JSON gives the same
// figure); a person reads the unit under it.
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace trelmox {

// A cell: empty, a number, a truth value or a text. A number that is not
// finite is written as an empty cell: no such figure is ever shown.
using XlsxCell = std::variant<std::monostate, double, bool, std::string>;

struct XlsxSheet {
    std::string Name;                        // the tab's name, at most 31 characters, none of []:*?/\ in it
    std::vector<std::string> Keys;           // the first header row
    std::vector<std::string> Units;          // the second, by Keys; "" for a text or a pure number
    std::vector<std::vector<XlsxCell>> Rows; // each of at most Keys.size() cells
};

// A sheet holds 1048576 rows, two of them the header.
inline constexpr std::size_t XlsxMaxRows = 1048576 - 2;
// A cell holds at most 32767 characters; a longer text is cut, with "…".
inline constexpr std::size_t XlsxMaxTextChars = 32767;

// The workbook's bytes. Numbers keep 16 significant digits, the precision
// the workbook library writes (Excel itself computes with 15); the JSON of
// the same figures stays the exact record. Throws a refused Error naming the
// sheet when it has more rows than a sheet holds (cutting the table would
// lose rows without a word), and Error when the workbook cannot be made.
std::string xlsxWorkbook(const std::vector<XlsxSheet>& sheets);

} // namespace trelmox
