#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/error.h"
#include "model/xlsx_reader.h"
#include "tests/support/zip_parts.h"

namespace trelmox {
namespace {

using testing::workbookOf;
using testing::workbookParts;
using testing::zipOf;
using Cells = std::vector<std::string_view>;

// What the programs that write workbooks put in a sheet: shared strings
// with runs of rich text and phonetic guides, inline strings, numbers as
// written, truth values, empty and styled cells, escapes, CDATA, prefixed
// names, and rows without their numbers.
TEST(XlsxReader, ReadsEveryKindOfCell) {
    const std::string shared = "<si><t>倾角</t></si>"
                               "<si><r><t>J</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">1 </t></r>"
                               "<rPh sb=\"0\" eb=\"1\"><t>ignored</t></rPh></si>"
                               "<si><t>a_x000D_b &amp; &#x4E2D;&#20013;</t></si>";
    const std::string sheet =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"inlineStr\"><is><t>组</t></is></c></row>"
        "<row r=\"3\" spans=\"1:4\"><c r=\"A3\"><v>45</v></c><c r=\"B3\" s=\"1\"/><c r=\"C3\" t=\"s\"><v>1</v></c>"
        "<c r=\"D3\" t=\"n\"><v>1.5E-3</v></c><c r=\"E3\"><f>A3*2</f><v>90</v></c></row>"
        "<row><c><v>-0.25</v></c><c t=\"b\"><v>1</v></c><c t=\"str\"><f>A1</f><v>x</v></c>"
        "<c t=\"e\"><v>#N/A</v></c></row>"
        "<row r=\"6\"><c r=\"B6\" t=\"s\"><v>2</v></c><c r=\"C6\"><v><![CDATA[7]]></v></c></row>"
        "<row r=\"7\"><c r=\"A7\" s=\"3\"/></row>";
    const auto rows = readXlsxRows(workbookOf(sheet, shared));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Number, 1);
    EXPECT_EQ(rows[0].Cells, (Cells{"倾角", "", "组"}));
    EXPECT_EQ(rows[1].Number, 3);
    EXPECT_EQ(rows[1].Cells, (Cells{"45", "", "J1 ", "1.5E-3", "90"})); // a formula's value as last worked out
    EXPECT_EQ(rows[2].Number, 4);
    EXPECT_EQ(rows[2].Cells, (Cells{"-0.25", "TRUE", "x", "#N/A"}));
    EXPECT_EQ(rows[3].Number, 6);
    EXPECT_EQ(rows[3].Cells, (Cells{"", "a\rb & 中中", "7"}));
}

// Another writer's layout: prefixed names, the parts named from the root,
// no shared strings at all.
TEST(XlsxReader, FollowsTheRelationshipsToTheFirstSheet) {
    const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const auto rows = readXlsxRows(zipOf({
        {"xl/workbook.xml", "<x:workbook xmlns:x=\"" + main + "\" xmlns:r=\"" + rel +
                                "\"><x:sheets><x:sheet name=\"b\" sheetId=\"2\" r:id=\"s2\"/>"
                                "<x:sheet name=\"a\" sheetId=\"1\" r:id=\"s1\"/></x:sheets></x:workbook>"},
        {"xl/_rels/workbook.xml.rels", "<Relationships><Relationship Id='s1' Target='/xl/other.xml'/>"
                                       "<Relationship Id='s2' Target='/xl/first.xml'/></Relationships>"},
        {"xl/first.xml", "<x:worksheet xmlns:x=\"" + main +
                             "\"><x:sheetData><x:row r=\"2\"><x:c r=\"B2\"><x:v>12</x:v>"
                             "</x:c></x:row></x:sheetData></x:worksheet>"},
        {"xl/other.xml", "<worksheet/>"},
    }));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Cells, (Cells{"", "12"}));
}

// Damaged and hostile workbooks are refused as input, never read in part;
// a bad cell names its row and cell.
TEST(XlsxReader, RefusesWhatIsNoSoundWorkbook) {
    auto withPart = [](const std::string& name, const std::string& bytes) {
        auto parts = workbookParts("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
        for (auto& [partName, partBytes] : parts)
            if (partName == name) partBytes = bytes;
        return zipOf(parts);
    };
    auto without = [](const std::string& name) {
        auto parts = workbookParts("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
        std::erase_if(parts, [&](const auto& part) { return part.first == name; });
        return zipOf(parts);
    };
    std::string truncated = workbookOf("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    truncated.resize(truncated.size() / 2);
    std::string corrupted = workbookOf("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    corrupted[60] = static_cast<char>(corrupted[60] ^ 0x55); // inside the first part's packed bytes
    // Unpacks to more than a part may: a megabyte of packed zeros is a
    // gigabyte unpacked in a real bomb; this one only just passes the limit.
    const std::string bomb = withPart("xl/worksheets/sheet1.xml", std::string(MaxXlsxPartBytes + 1, ' '));

    struct Case {
        const char* what;
        std::string bytes;
        int line;
        const char* field;
    };
    const Case cases[] = {
        {"text", "倾角,倾向\n45,120\n", 0, ""},
        {"an empty file", "", 0, ""},
        {"only a zip's signature", "PK\x03\x04", 0, ""},
        {"a cut archive", truncated, 0, ""},
        {"a damaged part", corrupted, 0, ""},
        {"no workbook part", without("xl/workbook.xml"), 0, ""},
        {"no relationships", without("xl/_rels/workbook.xml.rels"), 0, ""},
        {"no sheet part", without("xl/worksheets/sheet1.xml"), 0, ""},
        {"no sheet in the workbook", withPart("xl/workbook.xml", "<workbook><sheets/></workbook>"), 0, ""},
        {"an unclosed element", withPart("xl/worksheets/sheet1.xml", "<worksheet><sheetData>"), 0, ""},
        {"crossed elements", withPart("xl/worksheets/sheet1.xml", "<worksheet><sheetData></worksheet></sheetData>"), 0,
         ""},
        {"a DTD", withPart("xl/sharedStrings.xml", "<!DOCTYPE sst [<!ENTITY a \"aaaa\">]><sst/>"), 0, ""},
        {"an unknown entity", withPart("xl/sharedStrings.xml", "<sst><si><t>&a;</t></si></sst>"), 0, ""},
        {"a character reference to nothing", withPart("xl/sharedStrings.xml", "<sst><si><t>&#0;</t></si></sst>"), 0,
         ""},
        {"a quote left open", withPart("xl/worksheets/sheet1.xml", "<worksheet a=\"1></worksheet>"), 0, ""},
        {"a part past the limit", bomb, 0, ""},
        {"rows going back", workbookOf("<row r=\"2\"><c><v>1</v></c></row><row r=\"1\"><c><v>1</v></c></row>"), 0, ""},
        {"a row number that is no number", workbookOf("<row r=\"x\"><c><v>1</v></c></row>"), 0, ""},
        {"a shared string past the list",
         workbookOf("<row r=\"4\"><c r=\"B4\" t=\"s\"><v>1</v></c></row>", "<si><t>a</t></si>"), 4, "B4"},
        {"a shared string index that is no number", workbookOf("<row r=\"4\"><c r=\"B4\" t=\"s\"><v>-1</v></c></row>"),
         4, "B4"},
        {"a number cell of text", workbookOf("<row r=\"5\"><c r=\"C5\"><v>12abc</v></c></row>"), 5, "C5"},
        {"a cell of another row", workbookOf("<row r=\"5\"><c r=\"C6\"><v>1</v></c></row>"), 5, "C6"},
        {"cells going back", workbookOf("<row r=\"5\"><c r=\"C5\"><v>1</v></c><c r=\"A5\"><v>1</v></c></row>"), 5,
         "A5"},
        {"a column past XFD", workbookOf("<row r=\"5\"><c r=\"XFE5\"><v>1</v></c></row>"), 5, "XFE5"},
        {"a truth value of 2", workbookOf("<row r=\"2\"><c r=\"A2\" t=\"b\"><v>2</v></c></row>"), 2, "A2"},
        {"an unknown cell type", workbookOf("<row r=\"2\"><c r=\"A2\" t=\"q\"><v>2</v></c></row>"), 2, "A2"},
        {"a formula with no value worked out", workbookOf("<row r=\"3\"><c r=\"B3\"><f>A3*2</f></c></row>"), 3, "B3"},
        {"a cell of two values", workbookOf("<row r=\"3\"><c r=\"C3\"><v>1</v><v>2</v></c></row>"), 3, "C3"},
        {"an entity of a DTD", withPart("xl/worksheets/sheet1.xml", "<!DOCTYPE w [<!ENTITY a \"1\">]><w>&a;</w>"), 0,
         ""},
        {"text after the root", withPart("xl/worksheets/sheet1.xml", "<worksheet/><worksheet/>"), 0, ""},
        {"an empty part", withPart("xl/sharedStrings.xml", ""), 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            readXlsxRows(c.bytes);
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput) << e.what();
            EXPECT_EQ(e.line(), c.line) << e.what();
            EXPECT_EQ(e.field(), c.field) << e.what();
        }
    }
}

// A sheet of few bytes may address the last column of every row; the cells
// it would take are bounded, not allocated.
TEST(XlsxReader, BoundsTheCellsASheetMayTake) {
    std::string sheet;
    const int rows = static_cast<int>(MaxXlsxCells / 16384) + 2;
    for (int row = 1; row <= rows; ++row)
        sheet += "<row r=\"" + std::to_string(row) + "\"><c r=\"XFD" + std::to_string(row) + "\"><v>1</v></c></row>";
    EXPECT_THROW(readXlsxRows(workbookOf(sheet)), Error);
}

// A small workbook whose one long shared string is used by many cells: each
// cell refers to the one text (it took a copy per cell, 1.2 GB for 50
// cells of 8 MB, and ended in bad_alloc at 400).
TEST(XlsxReader, CellsReferToTheirSharedString) {
    const std::string text(8u << 20, 'x');
    std::string sheet;
    for (int row = 1; row <= 400; ++row)
        sheet += "<row r=\"" + std::to_string(row) + "\"><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c></row>";
    const XlsxRows rows = readXlsxRows(workbookOf(sheet, "<si><t>" + text + "</t></si><si><t>J1</t></si>"));
    ASSERT_EQ(rows.size(), 400u);
    for (const XlsxRow& row : rows) {
        ASSERT_EQ(row.Cells.size(), 2u);
        EXPECT_EQ(row.Cells[0].data(), rows[0].Cells[0].data());
        EXPECT_EQ(row.Cells[1], "J1");
    }
    EXPECT_EQ(rows[399].Cells[0], text);
}

// Elements nest at most MaxXlsxDepth deep, wherever they are; deeper is
// refused at once. (A sheet of 10,000 elements open around its rows took
// each row through all of them: 32 kB ran for an hour.)
TEST(XlsxReader, RefusesNestingBeyondTheLimit) {
    const auto nested = [](int wrappers, int rows) {
        std::string sheet = "<worksheet>";
        for (int i = 0; i < wrappers; ++i) sheet += "<w>";
        sheet += "<sheetData>";
        for (int row = 1; row <= rows; ++row) sheet += "<row><c><v>" + std::to_string(row) + "</v></c></row>";
        sheet += "</sheetData>";
        for (int i = 0; i < wrappers; ++i) sheet += "</w>";
        auto parts = workbookParts("");
        parts[2].second = sheet + "</worksheet>";
        return zipOf(parts);
    };
    // worksheet, sheetData, row, c and v: five levels around the wrappers.
    EXPECT_EQ(readXlsxRows(nested(MaxXlsxDepth - 5, 3)).size(), 3u);
    for (const int wrappers : {MaxXlsxDepth - 4, 10'000}) {
        try {
            readXlsxRows(nested(wrappers, 10'000));
            ADD_FAILURE() << wrappers << " read";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
            EXPECT_NE(std::string(e.what()).find(std::to_string(MaxXlsxDepth)), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace trelmox
