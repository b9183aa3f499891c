#include "report/report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/textcodec.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::goldenBytes;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

ReportInputs inputsOf(const std::string& name, const SavedBlock& block) {
    ReportInputs in;
    in.BlockName = name;
    in.Attitudes = block.Attitudes;
    in.Quadrants = block.Quadrants;
    in.Params = block.Params;
    return in;
}

ReportInputs exampleInputs() {
    ReportInputs in = inputsOf("example", trelmox::testing::exampleBlock());
    in.VolumeText = "17896.9513";
    in.PlungeText = "31.1965";
    in.SafetyFactorText = "1.18913047657452";
    return in;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

TEST(Report, GoldenFilesAreByteExact) {
    EXPECT_EQ(utf8ToGb18030(reportText(exampleInputs())), goldenBytes("example_report.txt"));
    // Before any analysis the result texts are empty.
    const auto worked = inputsOf("算例1", trelmox::testing::workedExampleBlock());
    EXPECT_EQ(utf8ToGb18030(reportText(worked)), goldenBytes("worked_example_report.txt"));
}

TEST(Report, NumbersInGeneralFormatAndTextsUnchanged) {
    ReportInputs in = exampleInputs();
    in.Attitudes[0] = {37.5, 292.5};
    in.Attitudes[3] = {1.0 / 3.0, 1e-5};
    in.Quadrants[1] = {"n", " 3 ", "", "", "x", "2.50"};
    in.Params.SlopeHeight = "2.50";
    in.Params.WaterUnitWeight = "";
    in.SafetyFactorText = "";
    const auto lines = linesOf(reportText(in));
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[5], "1.第一切割面倾角及倾向角:\t37.5\t292.5");
    EXPECT_EQ(lines[8], "4.坡面倾角及倾向角:\t\t0.333333333333333\t1E-5");
    EXPECT_EQ(lines[11], "2.第二切割面走向及倾向角:\tn 3 \tx2.50");
    EXPECT_EQ(lines[17], "1.楔块的高度:\t\tD=\t2.50");
    EXPECT_EQ(lines[23], "7.水的容重r:\t\tr =\t");
    EXPECT_EQ(lines[29], "4.楔块的稳定安全系数:\tKc=\t");
}

TEST(Report, WrittenAtomicallyUnderTheBlockName) {
    TempFolder folder;
    ReportInputs in = exampleInputs();
    writeReport(folder.path(), in);
    writeReport(folder.path(), in);
    EXPECT_EQ(readFileBytes(folder.path() / "example.txt"), goldenBytes("example_report.txt"));
    in.BlockName = "";
    writeReport(folder.path(), in);
    for (const char* name : {"..", "a/b", "c\\d"}) {
        in.BlockName = name;
        EXPECT_EQ(messageOf([&] { writeReport(folder.path(), in); }),
                  "块体名称“" + std::string(name) + "”无效：不能含有“/”或“\\”，也不能是“.”或“..”");
    }
    in.BlockName = "x";
    EXPECT_EQ(messageOf([&] { writeReport(folder.path() / "missing", in); }), "File not found");
    EXPECT_THAT(folder.entries(), ::testing::ElementsAre(".txt", "example.txt"));
}
