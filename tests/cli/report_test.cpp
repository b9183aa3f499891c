// The report command's batch with a stand-in for the PDF writer: the same
// rules as analyze's outputs (never replace an input of the run nor another
// input's report, no empty folder, messages naming file and line).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "model/files.h"
#include "report/calculation_report.h"

namespace fs = std::filesystem;
using namespace trelmox;
using namespace trelmox::cli;
using ::testing::HasSubstr;

namespace {

const fs::path ExampleBlock = fs::path(TRELMOX_TEST_DATA) / ".." / ".." / "examples" / "example.txt";

struct ReportRun {
    int status;
    std::string out, err;
    std::vector<fs::path> written; // by the writer, in order
};

// Writes the report's header for its PDF.
ReportRun report(const std::vector<std::string>& args) {
    ReportRun r;
    std::ostringstream out, err;
    std::vector<std::string> chinese{"--lang", "zh"};
    chinese.insert(chinese.end(), args.begin(), args.end());
    r.status = runReportBatch(chinese, out, err, [&r](const fs::path& pdf, const CalculationReport& report) {
        writeFileAtomically(pdf, report.Header);
        r.written.push_back(pdf);
    });
    r.out = out.str();
    r.err = err.str();
    return r;
}

class ReportBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("trelmox-report-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "in");
        fs::create_directories(dir / "out");
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path copyExample(const std::string& name) {
        fs::create_directories((dir / name).parent_path());
        fs::copy_file(ExampleBlock, dir / name);
        return dir / name;
    }
    fs::path dir;
};

} // namespace

TEST_F(ReportBatchTest, NeverReplacesAnInputOfTheRunNorAnotherInputsReport) {
    const fs::path input = copyExample("in/W1.txt");
    const std::string original = readFileBytes(input);
    fs::create_directories(dir / "linked");
    fs::create_hard_link(input, dir / "linked" / "W1计算书.pdf");
    fs::create_directories(dir / "symlinked");
    fs::create_symlink(input, dir / "symlinked" / "W1计算书.pdf");
    const fs::path sameName = copyExample("other/W1.txt");
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string error;
        std::size_t written;
    } cases[] = {
        {"hard link",
         {"--pdf-dir", (dir / "linked").string(), input.string()},
         input.string() + ": 输出文件“" + (dir / "linked" / "W1计算书.pdf").string() + "”是本次分析的输入文件“" +
             input.string() + "”，不能覆盖",
         0},
        {"symbolic link",
         {"--pdf-dir", (dir / "symlinked").string(), input.string()},
         "输出文件“" + (dir / "symlinked" / "W1计算书.pdf").string() + "”是本次分析的输入文件",
         0},
        {"two inputs, one block name",
         {"--pdf-dir", (dir / "out").string(), input.string(), sameName.string()},
         sameName.string() + ": 输出文件“" + (dir / "out" / "W1计算书.pdf").string() + "”已写有输入文件“" +
             input.string() + "”的结果，不能覆盖",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportRun r = report(c.args);
        EXPECT_EQ(r.status, ExitBlockFailed);
        EXPECT_THAT(r.err, HasSubstr(c.error));
        EXPECT_EQ(r.written.size(), c.written);
        EXPECT_EQ(readFileBytes(input), original);
    }
}

TEST_F(ReportBatchTest, MessagesNameTheFileTheLineAndWhatWasWrong) {
    const fs::path good = copyExample("in/W1.txt");
    std::string bytes = readFileBytes(good);
    const fs::path bad = dir / "in" / "W2.txt";
    writeFileAtomically(bad, bytes.replace(bytes.find("12,195"), 6, "x,195")); // line 3, the slope top
    const fs::path notAFolder = copyExample("file");
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {"a line of the data file", {"--pdf-dir", (dir / "out").string(), bad.string()}, bad.string() + " 第3行: "},
        // Said once, with the system's reason, before any block.
        {"a folder that cannot be made",
         {"--pdf-dir", (notAFolder / "reports").string(), good.string()},
         "无法建立文件夹“" + (notAFolder / "reports").string() + "”：路径中有一项不是文件夹"},
        {"a file that does not exist",
         {"--pdf-dir", (dir / "out").string(), (dir / "none.txt").string()},
         (dir / "none.txt").string() + ": "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportRun r = report(c.args);
        EXPECT_EQ(r.status, ExitBlockFailed);
        EXPECT_THAT(r.err, HasSubstr("trelmox-cli report: " + c.error));
    }
}

TEST(ReportUsage, MistakesGiveUsageAndStatusTwo) {
    // An empty folder would mean the current folder, where the data files are.
    const std::vector<std::vector<std::string>> cases = {
        {"a.txt"}, {"--pdf-dir", "out"}, {"--pdf-dir=", "a.txt"}, {"--pdf-dir", "", "a.txt"}, {"--pdf", "out", "a.txt"},
    };
    for (const auto& args : cases) {
        const ReportRun r = report(args);
        EXPECT_EQ(r.status, ExitUsage) << ::testing::PrintToString(args);
        EXPECT_THAT(r.err, HasSubstr("usage: trelmox-cli report")) << ::testing::PrintToString(args);
        EXPECT_TRUE(r.written.empty());
    }
}

// With the measurements the blocks were taken from, each report carries
// their checks against the block's own face; a measurement file that cannot
// be read stops the batch before any report is written.
TEST_F(ReportBatchTest, AddsTheKinematicChecksOfTheMeasurements) {
    const fs::path input = copyExample("in/W1.txt");
    const std::string measurements = std::string(TRELMOX_TEST_DATA) + "/joint_measurements.csv";
    std::vector<CalculationReport> reports;
    const auto run = [&](const std::string& file) {
        std::ostringstream out, err;
        const int status = runReportBatch(
            {"--lang", "zh", "--pdf-dir", (dir / "out").string(), "--measurements", file, input.string()}, out, err,
            [&](const fs::path& pdf, const CalculationReport& report) {
                writeFileAtomically(pdf, report.Header);
                reports.push_back(report);
            });
        return std::pair(status, err.str());
    };
    const auto [status, err] = run(measurements);
    EXPECT_EQ(status, 0) << err;
    ASSERT_EQ(reports.size(), 1u);
    std::vector<std::vector<std::string>> rows;
    for (const ReportSection& section : reports[0].Sections)
        for (const ReportItem& item : section.Items)
            if (const auto* t = std::get_if<ReportTable>(&item); t && t->Caption.ends_with("各破坏模式的临界结构面"))
                rows = t->Rows;
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ((std::vector<std::string>{rows[0][0], rows[0][1], rows[0][4]}),
              (std::vector<std::string>{"平面滑动", "全部", "17"}));

    const auto [failed, failure] = run((dir / "missing.csv").string());
    EXPECT_EQ(failed, 1);
    EXPECT_THAT(failure, HasSubstr("missing.csv"));
    EXPECT_EQ(reports.size(), 1u);
}
