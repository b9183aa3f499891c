#pragma once
// The first sheet of an Excel workbook (.xlsx) as rows of texts, for input
// files kept in a spreadsheet. A workbook is a zip archive of XML parts;
// minizip unpacks it (the zip library the workbook writer already brings,
// and Qt has no public zip reader) and a small XML reader of our own walks
// the parts, so that the core reads workbooks without Qt and the fuzzer
// reaches every byte of it.
//
// What a workbook may hold is bounded before it is trusted: each part is
// unpacked to at most MaxXlsxPartBytes whatever its header claims, and a
// sheet to at most MaxXlsxCells cells, so that a small hostile file cannot
// take the machine's memory. No DTD is read (no entity can expand).
#include <cstddef>
#include <string>
#include <vector>

namespace trelmox {

struct XlsxRow {
    int Number = 0; // the row's number in the sheet, from 1
    // The cells from column A on: a number as the file writes it ("45",
    // "1.5E-3"), a text (shared or inline) as it is, TRUE or FALSE, an
    // error value such as "#N/A" as written; "" for an empty cell. No
    // empty cells after the last one that holds something.
    std::vector<std::string> Cells;
};

inline constexpr std::size_t MaxXlsxPartBytes = 32u << 20;
inline constexpr std::size_t MaxXlsxCells = 1u << 21;

// Whether the bytes begin as a zip archive does, as a workbook's must.
bool looksLikeZip(const std::string& bytes);

// The rows of the workbook's first sheet that hold a cell, in order.
// Throws a refused Error worded for the user: for a file that is no
// workbook, or a damaged one, without a line; for a bad cell with the
// sheet's row as its line and the cell ("B3") as its field.
std::vector<XlsxRow> readXlsxRows(const std::string& bytes);

} // namespace trelmox
