#pragma once
// The first sheet of an Excel workbook (.xlsx) as rows of texts, for input
// files kept in a spreadsheet. A workbook is a zip archive of XML parts;
// minizip unpacks it (the zip library the workbook writer already brings,
// and Qt has no public zip reader) and expat, the streaming XML parser
// Debian keeps for untrusted documents, reads the parts, so that the core
// reads workbooks without Qt and the fuzzer reaches every byte of it.
//
// What a workbook may take is bounded before it is trusted:
// - each part is unpacked to at most MaxXlsxPartBytes whatever its header
//   claims, and parsed in one pass, in time linear in its bytes;
// - elements nest at most MaxXlsxDepth deep;
// - no DTD is read, so no entity can expand (expat's own limits on entity
//   amplification stand behind that);
// - every text is kept once: a cell of a shared string refers to the one
//   copy, whatever number of cells use it, so the reader holds at most the
//   unpacked sheet and shared strings and one reference per cell;
// - a sheet has at most MaxXlsxCells cells, the empty ones before a value
//   in its row counted.
// Anything beyond is refused with a message, never read in part.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trelmox {

struct XlsxRow {
    int Number = 0; // the row's number in the sheet, from 1
    // The cells from column A on: a number as the file writes it ("45",
    // "1.5E-3"), a text (shared or inline) as it is, TRUE or FALSE, an
    // error value such as "#N/A" as written, a formula's value as last
    // worked out; "" for an empty cell. No empty cells after the last one
    // that holds something. The texts belong to the XlsxRows they came in.
    std::vector<std::string_view> Cells;
};

// The rows read, with the texts their cells refer to. Copies share the
// texts.
class XlsxRows {
public:
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const XlsxRow& operator[](std::size_t i) const { return rows_[i]; }
    std::vector<XlsxRow>::const_iterator begin() const { return rows_.begin(); }
    std::vector<XlsxRow>::const_iterator end() const { return rows_.end(); }

private:
    friend class XlsxRowsBuilder;
    std::shared_ptr<const void> texts_;
    std::vector<XlsxRow> rows_;
};

inline constexpr std::size_t MaxXlsxPartBytes = 32u << 20;
inline constexpr std::size_t MaxXlsxCells = 1u << 21;
inline constexpr int MaxXlsxDepth = 32;

// Whether the bytes begin as a zip archive does, as a workbook's must.
bool looksLikeZip(const std::string& bytes);

// The rows of the workbook's first sheet that hold a cell, in order.
// Throws a refused Error worded for the user: for a file that is no
// workbook, or a damaged one, without a line; for a bad cell (a formula
// with no value worked out included) with the sheet's row as its line and
// the cell ("B3") as its field.
XlsxRows readXlsxRows(const std::string& bytes);

} // namespace trelmox
