#include "analysis/joints/measurements.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "analysis/joints/sectors.h"
#include "analysis/joints/sets.h"
#include "model/error.h"
#include "model/textcodec.h"
#include "tests/model/test_support.h"
#include "tests/support/zip_parts.h"

namespace trelmox {
namespace {

using testing::messageOf;

std::vector<TPlaneAttitude> planesOf(const std::string& text) {
    std::vector<TPlaneAttitude> planes;
    for (const Measurement& m : parseMeasurements(text).Planes) planes.push_back(m.Plane);
    return planes;
}

// Every meaningful quadrant combination, the strike angle's ends included,
// against the same plane written as dip angle and dip direction; also with
// other separators, a header, labels and weights, which must not change the
// planes.
TEST(MeasurementReader, BothNotationsGiveTheSamePlanes) {
    const std::string quadrants = "N,30,E,S,E,45\r\n"
                                  "N,30,E,N,W,45\r\n"
                                  "N,40,W,S,W,60\r\n"
                                  "N,40,W,N,E,60\r\n"
                                  "N,0,E,S,E,10\r\n"
                                  "N,90,E,N,W,90\r\n"
                                  "N,90,W,S,W,0\r\n";
    const std::string angles = "45,120\n45,300\n60,230\n60,50\n10,90\n90,0\n0,180\n";
    EXPECT_EQ(planesOf(quadrants), planesOf(angles));
    EXPECT_EQ(planesOf("N 30 E S E 45\nN\t40\tW\tS\tW\t60  \n"), planesOf("45;120\n60，230\n"));
    EXPECT_EQ(planesOf("quadrant,set,weight\nN,30,E,S,E,45,J1,2\n"), planesOf("倾向,倾角\n120,45\n"));
    EXPECT_EQ(planesOf("45,360\n"), planesOf("45,0\n")); // north is 0 whichever way it is written
}

TEST(MeasurementReader, RefusesBadRowsNamingTheirLines) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"45,120\n95,120\n", "测量文件第 2 行：倾角 95 应在 0 到 90 之间"},
        {"45,120\n\n# note\n45,361\n", "测量文件第 4 行：倾向 361 应在 0 到 360 之间"},
        {"45,1 20\n", "测量文件第 1 行：倾向“1 20”不是数"},
        {"45\n", "测量文件第 1 行：应有倾角和倾向两个字段（如 45,120）"},
        {"45,120,J1,1,x\n", "测量文件第 1 行：字段过多：产状之后只能有组号和权重"},
        {"45,120,J1,0\n", "测量文件第 1 行：权重 0 应大于 0"},
        {"45,120,J1,-2\n", "测量文件第 1 行：权重 -2 应大于 0"},
        {"N,30,E,S,W,45\n",
         "测量文件第 1 行：象限产状的字母“NE SW”不成组合：走向 N..E 配倾向 SE 或 NW，走向 N..W 配倾向 SW 或 NE"},
        {"N,95,E,S,E,45\n", "测量文件第 1 行：走向角 95 应在 0 到 90 之间"},
        {"N,30,E,S,E\n", "测量文件第 1 行：象限产状应有 6 个字段（如 N,30,E,S,E,45）"},
        {"dip,dipdir,set\n45,120\n", "测量文件第 2 行：应有 3 个字段，实有 2 个"},
        {"dip,azimuth\n45,120\n",
         "测量文件第 1 行：表头的列名“azimuth”无法识别，可用的列名：dip 倾角、dipdir 倾向、quadrant 象限产状、set 组、weight 权重、c 黏聚力、f 摩擦系数"},
        {"dip,set\n45,J1\n",
         "测量文件第 1 行：表头应含倾角和倾向两列（dip、dipdir），或象限产状（quadrant），二者取其一"},
        {"dip,dipdir,quadrant\n",
         "测量文件第 1 行：表头应含倾角和倾向两列（dip、dipdir），或象限产状（quadrant），二者取其一"},
        {"dip,dipdir,dip\n", "测量文件第 1 行：表头的列“dip”重复"},
        {"dip,dipdir,c,f\n45,120,-1,0.5\n", "测量文件第 2 行：黏聚力 c -1 应不小于 0"},
        {"dip,dipdir,c,f\n45,120,10,x\n", "测量文件第 2 行：摩擦系数 f“x”不是数"},
        {"\n# only a comment\n", "测量文件中没有结构面数据"},
        {"45,120,J1,1e200\n", "测量文件第 1 行：权重 1e200 过大，应不大于 1000000"},
        {"45,120,J\x1B[31m1\n", "测量文件第 1 行：含有控制字符：“J\\x1B[31m1”"},
        {"dip,dipdir,\x1B[1mx\x07\n",
         "测量文件第 1 行：表头的列名“\\x1B[1mx\\x07”无法识别，可用的列名：dip 倾角、dipdir 倾向、quadrant 象限产状、set 组、weight 权重、c 黏聚力、f 摩擦系数"},
        // Lines of blanks other than spaces and tabs are blank lines.
        {"\f", "测量文件中没有结构面数据"},
        {"\v\n\r\r\n", "测量文件中没有结构面数据"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { parseMeasurements(c.text); }), c.message) << c.text;
}

// A first line of form feeds, vertical tabs or carriage returns (after a
// byte-order mark or two) is blank, not a header without fields.
TEST(MeasurementReader, SkipsLinesOfOtherBlanks) {
    for (const std::string first : {"\f", "\v", "\r\r", "\xEF\xBB\xBF\f", " \f\t\v "})
        EXPECT_EQ(planesOf(first + "\n45,120\n"), (std::vector<TPlaneAttitude>{{45, 120}})) << first;
}

// One pass reports every bad line, the first ten in full.
TEST(MeasurementReader, ListsAllBadLinesInOneMessage) {
    std::string text = "45,120\n";
    for (int i = 0; i < 12; ++i) text += "45,x\n";
    const std::string message = messageOf([&] { parseMeasurements(text); });
    EXPECT_EQ(message.find("测量文件第 2 行："), 0u);
    EXPECT_NE(message.find("测量文件第 11 行："), std::string::npos);
    EXPECT_EQ(message.find("测量文件第 12 行："), std::string::npos);
    EXPECT_TRUE(message.ends_with("……另有 2 行有误"));
}

TEST(MeasurementReader, HeaderColumnsInAnyOrderLabelsWeightsAndSummary) {
    const MeasurementFile file = parseMeasurements("\xEF\xBB\xBF"
                                                   "Weight, Set, Dip Direction, Dip\r\n"
                                                   "2, J1, 120, 45\r\n"
                                                   "1, J2, 230, 60\r\n"
                                                   ", J1, \"125\", 44\r\n"
                                                   "1, , 10, 80\r\n");
    ASSERT_EQ(file.Planes.size(), 4u);
    EXPECT_EQ(file.Planes[0].Plane, (TPlaneAttitude{45, 120}));
    EXPECT_EQ(file.Planes[0].Weight, 2);
    EXPECT_EQ(file.Planes[2].Weight, 1); // an empty weight is 1
    EXPECT_EQ(file.Planes[2].Plane, (TPlaneAttitude{44, 125}));
    EXPECT_EQ(file.Planes[3].Set, "");
    EXPECT_EQ(file.Planes[3].Line, 5);
    EXPECT_EQ(
        measurementSummaryText(file.Summary),
        "读入结构面 4 个（倾角倾向 4 个，象限产状 0 个），UTF-8 编码，有表头，带权重；2 组：J1 2 个，J2 1 个，未分组 1 个");
}

// A file of our own (GB18030) and one from another program (UTF-8) with the
// same Chinese labels read alike.
TEST(MeasurementReader, DetectsTheFileEncoding) {
    testing::TempFolder folder;
    const std::string text = "倾角,倾向,组\r\n45,120,第一组\r\n60,230,第二组\r\n";
    for (const auto& [bytes, encoding] :
         {std::pair{utf8ToGb18030(text), TextEncoding::Gb18030}, std::pair{text, TextEncoding::Utf8}}) {
        const auto path = folder.path() / "m.csv";
        std::ofstream(path, std::ios::binary) << bytes;
        const MeasurementFile file = readMeasurementFile(path);
        EXPECT_EQ(file.Summary.Encoding, encoding);
        ASSERT_EQ(file.Planes.size(), 2u);
        EXPECT_EQ(file.Planes[1].Set, "第二组");
    }
}

// A sheet reads as the same list typed as text: a header in any order,
// blank and comment rows, empty cells as empty fields, numbers as stored,
// a list pasted into the first column; a bad cell fails naming its row.
TEST(MeasurementReader, ReadsTheFirstSheetOfAWorkbook) {
    const std::string shared = "<si><t>倾向</t></si><si><t>倾角</t></si><si><t>组</t></si><si><t>J1</t></si>"
                               "<si><t># 说明</t></si><si><t>230，60</t></si>";
    const auto sheet = [](const std::string& lastRow) {
        return "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
               "<c r=\"C1\" t=\"s\"><v>2</v></c></row>"
               "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>4</v></c></row>"
               "<row r=\"3\"><c r=\"A3\"><v>120</v></c><c r=\"B3\"><v>45.5</v></c><c r=\"C3\" t=\"s\"><v>3</v></c></row>"
               "<row r=\"5\"><c r=\"A5\" t=\"inlineStr\"><is><t> 1.25E2 </t></is></c><c r=\"B5\"><v>44</v></c>"
               "<c r=\"D5\" s=\"2\"/></row>" +
               lastRow;
    };
    const MeasurementFile file =
        readMeasurements(testing::workbookOf(sheet("<row r=\"7\"><c r=\"A7\" t=\"s\"><v>5</v></c></row>"), shared));
    const MeasurementFile text = parseMeasurements("倾向,倾角,组\n# 说明\n120,45.5,J1\n\n125,44,\n\n230,60,\n");
    ASSERT_EQ(file.Planes.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(file.Planes[i].Plane, text.Planes[i].Plane);
        EXPECT_EQ(file.Planes[i].Set, text.Planes[i].Set);
        EXPECT_EQ(file.Planes[i].Line, text.Planes[i].Line);
    }
    EXPECT_TRUE(file.Summary.Workbook);
    EXPECT_EQ(measurementSummaryText(file.Summary),
              "读入结构面 3 个（倾角倾向 3 个，象限产状 0 个），Excel 工作簿，有表头；1 组：J1 1 个，未分组 2 个");

    try {
        readMeasurements(testing::workbookOf(
            sheet("<row r=\"9\"><c r=\"A9\"><v>100</v></c><c r=\"B9\"><v>95</v></c></row>"), shared));
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
        EXPECT_EQ(e.line(), 9);
        EXPECT_EQ(std::string(e.what()).rfind("测量文件第 9 行：倾角 95 应在 0 到 90 之间", 0), 0u) << e.what();
    }
}

// A units row right under the header is skipped, in a text file and in a
// sheet (as the tool's own workbooks have one); anywhere else it is a bad
// line. A formula cell reads as its value last worked out.
TEST(MeasurementReader, TakesAUnitsRowUnderTheHeaderAndFormulaValues) {
    const auto row = [](int r, const std::vector<std::string>& cells) {
        std::string text = "<row r=\"" + std::to_string(r) + "\">";
        for (const std::string& c : cells)
            text += c.starts_with("<") ? c : "<c t=\"inlineStr\"><is><t>" + c + "</t></is></c>";
        return text + "</row>";
    };
    const struct {
        const char* what;
        std::string bytes;
        std::vector<TPlaneAttitude> planes;
        int badLine; // 0: read
    } cases[] = {
        {"text", "dip,dipdir,set,c\n°,(°),,kPa\n45,120,J1,10\n", {{45, 120}}, 0},
        {"text, units in Chinese brackets", "倾角,倾向\n（度）,DEG\n45,120\n", {{45, 120}}, 0},
        {"text, units not under the header", "dip,dipdir\n45,120\n°,°\n", {}, 3},
        {"text, no header", "°,°\n45,120\n", {}, 1},
        {"sheet",
         testing::workbookOf(row(1, {"dip", "dipdir"}) + row(2, {"°", "°"}) +
                             row(3, {"<c><v>45</v></c>", "<c><v>120</v></c>"})),
         {{45, 120}},
         0},
        {"sheet, a formula's value",
         testing::workbookOf(row(1, {"dip", "dipdir"}) +
                             row(2, {"<c><v>45</v></c>", "<c><f>A2*2+30</f><v>120</v></c>"})),
         {{45, 120}},
         0},
        {"sheet, a formula without its value",
         testing::workbookOf(row(1, {"dip", "dipdir"}) +
                             row(2, {"<c><v>45</v></c>", "<c r=\"B2\"><f>A2*2+30</f></c>"})),
         {},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            const MeasurementFile file = readMeasurements(c.bytes);
            EXPECT_EQ(c.badLine, 0);
            std::vector<TPlaneAttitude> planes;
            for (const Measurement& m : file.Planes) planes.push_back(m.Plane);
            EXPECT_EQ(planes, c.planes);
        } catch (const Error& e) {
            EXPECT_EQ(e.line(), c.badLine) << e.what();
        }
    }
}

// A workbook of 9 kB whose one 8 MB shared string fills a cell of each of
// 400 rows: refused as no measurement, naming the first row and cell,
// without a copy of the string per cell (which took 4.8 GB, or ended the
// program).
TEST(MeasurementReader, RefusesALongCellWithoutCopyingIt) {
    std::string sheet;
    for (int row = 1; row <= 400; ++row)
        sheet += "<row r=\"" + std::to_string(row) + "\"><c t=\"s\"><v>0</v></c><c><v>120</v></c></row>";
    const std::string workbook = testing::workbookOf(sheet, "<si><t>" + std::string(8u << 20, '4') + "</t></si>");
    EXPECT_LT(workbook.size(), 64u << 10);
    try {
        readMeasurements(workbook);
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
        EXPECT_EQ(e.line(), 1);
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("测量文件第 1 行：单元格 A1 的文字长于 256 字节", 0), 0u) << message.substr(0, 200);
        EXPECT_TRUE(message.ends_with("……另有 390 行有误")) << message.substr(message.size() - 100);
        EXPECT_LT(message.size(), 2000u);
    }
}

// Files that cannot be read as measurements say why, naming the line where
// the text stops decoding.
TEST(MeasurementReader, RefusesUnreadableFilesClearly) {
    testing::TempFolder folder;
    const auto path = folder.path() / "m.csv";
    const struct {
        std::string bytes;
        std::string message;
    } cases[] = {
        {"倾角,倾向\n45,120\n" + utf8ToGb18030("60,230,第二组\n"),
         "测量文件第 3 行：不是有效的 UTF-8 文字，而前面的内容是 UTF-8：文件混用了两种编码（如 UTF-8 与 GBK），请统一为一种编码后再读入"},
        {"\xEF\xBB\xBF"
         "45,120\n" +
             utf8ToGb18030("60,230,组\n"),
         "测量文件第 2 行：不是有效的 UTF-8"},
        {"45,120\n60,230\n\x80\x20\n", "测量文件第 3 行：既不是有效的 UTF-8 文字，也不是有效的 GBK（GB18030）文字"},
        {std::string(MaxMeasurementFileBytes + 1, '#'), "文件大于 1 MB，不能读取"},
    };
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(messageOf([&] { readMeasurementFile(path); }).rfind(c.message, 0), 0u)
            << messageOf([&] { readMeasurementFile(path); });
    }
    EXPECT_EQ(messageOf([&] { readMeasurementFile(folder.path()); }), "这是一个文件夹，不是测量文件");
}

// A refusal of the readers carries its kind and, where one line is at
// fault, the line, so that the joints window can point at it.
TEST(MeasurementReader, RefusalsCarryTheirKind) {
    testing::TempFolder folder;
    const struct {
        const char* name;
        std::function<void()> action;
        ErrorKind kind;
        int line;
    } cases[] = {
        {"unknown column", [] { parseMeasurements("dip,azimuth\n45,120\n"); }, ErrorKind::RefusedInput, 1},
        {"dip out of range", [] { parseMeasurements("45,120\n95,120\n"); }, ErrorKind::RefusedInput, 2},
        {"neither UTF-8 nor GBK", [] { readMeasurements("45,120\n\x80\x20\n"); }, ErrorKind::RefusedInput, 2},
        {"a folder", [&] { readMeasurementFile(folder.path()); }, ErrorKind::RefusedInput, 0},
        {"sector height not a number", [] { parseSectors("name,dip,dipdir,height\nA,60,120,x\n"); },
         ErrorKind::NumberText, 2},
        {"empty set window",
         [] {
             windowSet(parseMeasurements("45,120\n").Planes, SetWindow{"A", {0, 0, 1}, 0});
         },
         ErrorKind::RefusedInput, 0},
    };
    for (const auto& c : cases) {
        try {
            c.action();
            ADD_FAILURE() << c.name << ": nothing thrown";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.name << ": " << e.what();
            EXPECT_EQ(e.line(), c.line) << c.name;
        }
    }
}

} // namespace
} // namespace trelmox
