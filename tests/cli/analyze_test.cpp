#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "cli/output.h"
#include "model/textcodec.h"

namespace fs = std::filesystem;
using namespace trelmox::cli;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const fs::path ExampleBlock = fs::path(TRELMOX_TEST_DATA) / ".." / ".." / "examples" / "example.txt";

struct CliRun {
    int status;
    std::string out, err;
};

CliRun analyze(std::vector<std::string> args) {
    args.insert(args.begin(), "analyze");
    std::ostringstream out, err;
    const int status = run(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// The example block's lines with some lines replaced (1-based numbers).
std::string exampleWith(const std::map<int, std::string>& replaced) {
    std::ifstream in(ExampleBlock, std::ios::binary);
    std::string result, line;
    for (int n = 1; std::getline(in, line); ++n) {
        const auto found = replaced.find(n);
        result += (found == replaced.end() ? line : found->second + "\r") + "\n";
    }
    return result;
}

class AnalyzeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("trelmox-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "reports");
        fs::create_directories(dir / "dxf");
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    fs::path dir;
};

TEST_F(AnalyzeTest, ExampleBlockGivesTheKnownResultAsJson) {
    const CliRun r = analyze({"--format", "json", ExampleBlock.string()});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_THAT(out[0], HasSubstr("{\"block\":\"example\",\"contact\":\"BothPlanes\",\"kc\":1.1891"));
    EXPECT_THAT(out[0], HasSubstr("\"volume\":17896.9513"));
    EXPECT_THAT(out[0], HasSubstr("\"height\":39.1259"));
    EXPECT_THAT(out[0], HasSubstr("\"plunge\":31.1965"));
    EXPECT_THAT(out[0], HasSubstr("\"messages\":[],\"error\":null}"));
}

TEST_F(AnalyzeTest, WritesReportAndDrawingNamedAfterTheFile) {
    fs::copy_file(ExampleBlock, dir / "W1.old.txt");
    const CliRun r = analyze({"--report-dir=" + (dir / "reports").string(), "--dxf-dir", (dir / "dxf").string(),
                           (dir / "W1.old.txt").string()});
    ASSERT_EQ(r.status, ExitOk) << r.out;
    std::ifstream report(dir / "reports" / "W1.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << report.rdbuf();
    const auto reportLines = lines(bytes.str());
    ASSERT_EQ(reportLines.size(), 30u);
    EXPECT_EQ(reportLines[27], trelmox::utf8ToGb18030("1.楔块的体积:\tV=\t17896.9513\r"));
    EXPECT_THAT(reportLines[29], HasSubstr("Kc=\t1.1891"));
    std::ifstream dxf(dir / "dxf" / "W1block.dxf", std::ios::binary);
    std::stringstream dxfBytes;
    dxfBytes << dxf.rdbuf();
    EXPECT_EQ(lines(dxfBytes.str()).size(), 163u);
}

TEST_F(AnalyzeTest, OneBadBlockNeverStopsTheBatch) {
    const fs::path badNumber = write("bad.txt", exampleWith({{9, "2 5"}}));
    const fs::path badMarker = write("marker.txt", exampleWith({{13, "x,65.4"}}));
    const fs::path empty = write("empty.txt", "");
    const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), (dir / "missing.txt").string(),
                           badNumber.string(), badMarker.string(), empty.string(), ExampleBlock.string()});
    EXPECT_EQ(r.status, ExitBlockFailed);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_THAT(out[0], HasSubstr("\"block\":\"missing\",\"contact\":null,\"kc\":null"));
    EXPECT_THAT(out[0], HasSubstr("\"error\":\"File not found\""));
    EXPECT_THAT(out[1], HasSubstr("\"error\":\"'2 5' is not a valid floating point value\""));
    EXPECT_THAT(out[2], HasSubstr("\"block\":\"marker\""));
    EXPECT_THAT(out[2], Not(HasSubstr("\"error\":null")));
    EXPECT_THAT(out[3], Not(HasSubstr("\"error\":null")));
    EXPECT_THAT(out[4], HasSubstr("\"contact\":\"BothPlanes\""));
    EXPECT_TRUE(fs::exists(dir / "reports" / "example.txt"));
    EXPECT_FALSE(fs::exists(dir / "reports" / "bad.txt"));
}

TEST_F(AnalyzeTest, SingularTripleGivesMessagesAndNoGeometryFromAnotherBlock) {
    // Slope top and first cutting plane both horizontal: the triples (1,2,3)
    // and (1,3,4) have a zero determinant. The example analysed before must
    // not lend its corners.
    const fs::path singular = write("singular.txt", exampleWith({{5, "N,15,E,S,E,0"}, {7, "N,75,W,S,W,0"}}));
    const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), "--dxf-dir",
                           (dir / "dxf").string(), ExampleBlock.string(), singular.string()});
    EXPECT_EQ(r.status, ExitBlockFailed);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_THAT(out[1], HasSubstr("\"block\":\"singular\",\"contact\":null,\"kc\":null,\"volume\":null"));
    EXPECT_THAT(out[1], HasSubstr("\"messages\":[\"1、2、3三平面不能切出块体\",\"1、3、4三平面不能切出块体\"]"));
    EXPECT_FALSE(fs::exists(dir / "reports" / "singular.txt"));
    EXPECT_FALSE(fs::exists(dir / "dxf" / "singularblock.dxf"));
}

TEST_F(AnalyzeTest, NoBlockIsAnAnalysisWithItsMessage) {
    const fs::path overhang = write("overhang.txt", exampleWith({{12, "-1"}}));
    const CliRun r = analyze({"--format", "json", overhang.string()});
    EXPECT_EQ(r.status, ExitOk);
    EXPECT_THAT(r.out, HasSubstr("\"contact\":\"NoBlock\",\"kc\":0,"));
    EXPECT_THAT(r.out, HasSubstr("\"messages\":[\"不能切除块体\"],\"error\":null"));
}

TEST_F(AnalyzeTest, BlockNameThatWouldLeaveItsFolderIsRefusedBeforeWriting) {
    const fs::path sneaky = write("a\\b.txt", exampleWith({}));
    const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), "--dxf-dir",
                           (dir / "dxf").string(), sneaky.string()});
    EXPECT_EQ(r.status, ExitBlockFailed);
    EXPECT_THAT(r.out, Not(HasSubstr("\"error\":null")));
    EXPECT_TRUE(fs::is_empty(dir / "reports"));
    EXPECT_TRUE(fs::is_empty(dir / "dxf"));
}

TEST_F(AnalyzeTest, TextAndCsvCarryTheSameResult) {
    const CliRun text = analyze({ExampleBlock.string()});
    EXPECT_EQ(text.status, ExitOk);
    EXPECT_THAT(text.out, HasSubstr("example"));
    EXPECT_THAT(text.out, HasSubstr("BothPlanes"));
    EXPECT_THAT(text.out, HasSubstr("1.1891"));
    EXPECT_THAT(text.out, HasSubstr("17896.9513"));
    const CliRun csv = analyze({"--format", "csv", ExampleBlock.string()});
    const auto rows = lines(csv.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "block,contact,kc,volume,height,plunge,messages,error\r");
    EXPECT_THAT(rows[1], ::testing::StartsWith("example,BothPlanes,1.1891"));
}

TEST(AnalyzeUsage, MistakesGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"analyze"},
        {"analyze", "--format", "xml", "a.txt"},
        {"analyze", "--format"},
        {"analyze", "--plot", "a.txt"},
        {"analyze", "-x", "a.txt"},
        {"frobnicate"},
        {},
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(run(args, out, err), ExitUsage) << ::testing::PrintToString(args);
        EXPECT_THAT(err.str(), HasSubstr("usage: trelmox-cli")) << ::testing::PrintToString(args);
    }
    std::ostringstream out, err;
    EXPECT_EQ(run({"analyze", "--help"}, out, err), ExitOk);
    EXPECT_THAT(out.str(), HasSubstr("--report-dir"));
}

TEST(OutputText, JsonAndCsvQuoting) {
    EXPECT_EQ(jsonString("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
    EXPECT_EQ(jsonString("不能切除块体"), "\"不能切除块体\"");
    std::ostringstream out;
    auto printer = makeOutcomePrinter("csv", out);
    printer->print({"a,b", std::nullopt, std::nullopt, {"x \"y\"", "z"}, std::string("bad")});
    EXPECT_THAT(out.str(), HasSubstr("\"a,b\",,,,,,\"x \"\"y\"\"; z\",bad\r\n"));
}

} // namespace
