#pragma once
// The tool's JSON rows as a workbook's sheet, with each figure's unit.
#include <string>
#include <vector>

#include "report/json_format.h"
#include "report/xlsx_table.h"

namespace trelmox {

// Objects of the tool's JSON as one sheet of a workbook: one row an object,
// its keys the columns in the order they come, a nested object's keys
// joined to its own by "." ("areas.plane1", as the CSV names them), a list
// of texts in one cell joined by "; " (as the CSV joins the messages), a
// list of numbers one column an element ("histogram.counts.0"), null an
// empty cell. Every figure's unit (unitOfKey) stands under its key.
XlsxSheet xlsxSheetOf(const std::vector<Json>& rows, const std::string& name);
// The unit of a figure of the tool's JSON by its key, as above; empty for
// texts, flags, counts and pure numbers.
std::string unitOfKey(const std::string& key);

} // namespace trelmox
