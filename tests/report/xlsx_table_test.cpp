#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "model/error.h"
#include "model/xlsx_reader.h"
#include "report/xlsx_table.h"

namespace trelmox {
namespace {

double sixteenDigits(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.16g", value);
    return std::stod(text);
}

// A workbook written is read back with its keys, units and figures:
// numbers as numbers to 16 digits, truth values, texts, and no cell for a
// missing or infinite figure.
TEST(XlsxTable, WorkbookReadsBackAsWritten) {
    const double third = 1.0 / 3, tiny = 1e-300 / 7, sum = 0.1 + 0.2;
    XlsxSheet sheet{"analyze",
                    {"block", "kc", "volume", "too_small", "error"},
                    {"", "", "m³", "", ""},
                    {{std::string("W1"), third, 1234.5, false, std::monostate{}},
                     {std::string("楔块 2"), tiny, std::numeric_limits<double>::infinity(), true, std::string("错误")},
                     {std::string("W3"), sum, std::nan("")}}};
    const auto rows = readXlsxRows(xlsxWorkbook({sheet}));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].Cells, (std::vector<std::string_view>{"block", "kc", "volume", "too_small", "error"}));
    EXPECT_EQ(rows[1].Cells, (std::vector<std::string_view>{"", "", "m³"}));
    EXPECT_EQ(rows[2].Cells[0], "W1");
    EXPECT_EQ(std::stod(std::string(rows[2].Cells[1])), sixteenDigits(third));
    EXPECT_EQ(std::stod(std::string(rows[2].Cells[2])), 1234.5);
    EXPECT_EQ(rows[2].Cells[3], "FALSE");
    EXPECT_EQ(rows[2].Cells.size(), 4u);
    EXPECT_EQ(rows[3].Cells, (std::vector<std::string_view>{"楔块 2", rows[3].Cells[1], "", "TRUE", "错误"}));
    EXPECT_EQ(std::stod(std::string(rows[3].Cells[1])), sixteenDigits(tiny));
    EXPECT_EQ(std::stod(std::string(rows[4].Cells[1])), sixteenDigits(sum));
    EXPECT_EQ(rows[4].Cells.size(), 2u);
}

// A text longer than a cell holds is cut with "…", not refused or lost
// whole; a table longer than a sheet holds is refused before any of it is
// written, rather than cut without a word.
TEST(XlsxTable, BoundsOfASheet) {
    const std::string longText(XlsxMaxTextChars + 10, 'x');
    const auto rows = readXlsxRows(xlsxWorkbook({{"s", {"k"}, {""}, {{longText}}}}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].Cells[0], std::string(XlsxMaxTextChars - 1, 'x') + "…");

    XlsxSheet tooLong{"combinations", {"k"}, {""}, std::vector<std::vector<XlsxCell>>(XlsxMaxRows + 1)};
    try {
        xlsxWorkbook({tooLong});
        ADD_FAILURE() << "written";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
    }
}

} // namespace
} // namespace trelmox
