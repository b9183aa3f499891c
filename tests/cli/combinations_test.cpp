#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "tests/cli/cli_run.h"
#include "tests/model/test_support.h"

using namespace trelmox::cli;
using namespace trelmox::cli::testing;
using ::testing::HasSubstr;

namespace {

class CombinationsCommand : public ::testing::Test {
protected:
    CombinationsCommand() {
        std::ofstream(measurements_, std::ios::binary) << "set,dip,dipdir\n"
                                                          "J1,45,105\nJ1,46,104\n"
                                                          "J2,70,235\nJ2,69,236\n"
                                                          "J3,60,150\nJ3,61,151\n";
    }
    trelmox::testing::TempFolder folder_;
    const std::string measurements_ = (folder_.path() / "joints.csv").string();
};

// One line per pair in the sorted order, the keys in their order, the
// critical wedge (smallest fs) first.
TEST_F(CombinationsCommand, PrintsOneJsonLinePerPairCriticalFirst) {
    const CliRun r = cli({"combinations", Example, measurements_, "--sets", "labels", "--format", "json"});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    const std::regex line(
        R"(\{"plane1":"J\d","plane2":"J\d","dip1":[-\d.e]+,"dipdir1":[-\d.e]+,"dip2":[-\d.e]+,)"
        R"("dipdir2":[-\d.e]+,"kinematic":(true|false),"contact":("\w+"|null),"kc":([-\d.e]+|null),)"
        R"("fs":([-\d.e]+|null),"fs_contact":("\w+"|null),"error":(".*"|null),"error_kind":("\w+"|null)\})");
    const auto lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 3u);
    std::vector<double> fs;
    for (const std::string& l : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(l, m, line)) << l;
        if (m[4] != "null") fs.push_back(std::stod(m[4]));
    }
    ASSERT_FALSE(fs.empty());
    EXPECT_TRUE(std::is_sorted(fs.begin(), fs.end()));

    const CliRun text = cli({"combinations", Example, measurements_, "--sets", "labels"});
    EXPECT_THAT(text.out, HasSubstr("最危险楔块："));
    EXPECT_THAT(text.out, HasSubstr("95%置信锥"));
}

// Without sets every plane enters on its own, named by its line.
TEST_F(CombinationsCommand, NamesIndividualPlanesByTheirLines) {
    const CliRun r = cli({"combinations", Example, measurements_, "--format", "csv"});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    const auto lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 16u); // the header and 15 pairs
    EXPECT_EQ(lines[0], "plane1,plane2,dip1,dipdir1,dip2,dipdir2,kinematic,contact,kc,fs,fs_contact,error\r");
    EXPECT_THAT(r.out, HasSubstr("\r\n2,3,45,105,46,104,"));
    const CliRun json = cli({"combinations", Example, measurements_, "--format", "json"});
    EXPECT_THAT(json.out, HasSubstr("{\"plane1\":2,\"plane2\":3,"));
}

// With --probabilistic every row gains the pair's P(failure) and the rest,
// the rows sorted by it, likeliest first; a seed gives the same lines.
TEST_F(CombinationsCommand, ProbabilisticRowsSortedByTheProbabilityOfFailure) {
    const std::vector<std::string> args = {"combinations", Example,    measurements_, "--sets",
                                           "labels",       "--format", "json",        "--probabilistic",
                                           "--samples",    "5000",     "--seed",      "9"};
    const CliRun r = cli(args);
    ASSERT_EQ(r.status, ExitOk) << r.err;
    const std::regex tail(R"(,"pf":([-\d.e]+),"p_sliding":([-\d.e]+|null),"fs_mean":([-\d.e]+|null),)"
                          R"("failed_volume_mean":([-\d.e]+|null),"too_small":\d+\})");
    std::vector<double> pf;
    for (const std::string& l : linesOf(r.out)) {
        const std::size_t at = l.rfind(",\"pf\":");
        ASSERT_NE(at, std::string::npos) << l;
        std::smatch m;
        const std::string keys = l.substr(at);
        ASSERT_TRUE(std::regex_match(keys, m, tail)) << l;
        pf.push_back(std::stod(m[1]));
    }
    ASSERT_EQ(pf.size(), 3u);
    EXPECT_TRUE(std::is_sorted(pf.rbegin(), pf.rend()));
    EXPECT_EQ(cli(args).out, r.out);
    std::vector<std::string> csvArgs = args;
    csvArgs[6] = "csv";
    EXPECT_THAT(linesOf(cli(csvArgs).out)[0],
                ::testing::EndsWith(",error,pf,p_sliding,fs_mean,failed_volume_mean,too_small\r"));
}

TEST_F(CombinationsCommand, RefusesBadInput) {
    const std::string many = (folder_.path() / "many.csv").string(), control = (folder_.path() / "esc.csv").string();
    std::ofstream manyPlanes(many, std::ios::binary);
    for (int i = 0; i < 2001; ++i) manyPlanes << 10 + i % 80 << ',' << i % 360 << '\n';
    manyPlanes.close();
    std::ofstream(control, std::ios::binary) << "45,105,J\x1B[2J\n70,235\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"combinations", Example, measurements_, "--sets", "auto:0"}, ExitUsage, "invalid value 'auto:0' for --sets"},
        {{"combinations", Example}, ExitUsage, "give a block data file and a measurement file"},
        {{"combinations", Example, measurements_, "--format", "xml"}, ExitUsage, "invalid value 'xml' for --format"},
        {{"combinations", Example, Example}, ExitBlockFailed, Example + ": 测量文件第 "},
        {{"combinations", Example, measurements_ + ".none"}, ExitBlockFailed, measurements_ + ".none: "},
        {{"combinations", Example, measurements_, "--samples", "100"}, ExitUsage, "--samples and --seed go with"},
        {{"combinations", Example, measurements_, "--probabilistic", "--seed", "x1"},
         ExitUsage,
         "invalid whole number 'x1' for --seed"},
        {{"combinations", Example, measurements_, "--probabilistic", "--samples", "0"},
         ExitBlockFailed,
         "the number of samples must lie between 1 and"},
        {{"combinations", Example, folder_.path().string()}, ExitBlockFailed, ": 这是一个文件夹，不是测量文件\n"},
        {{"combinations", Example, many}, ExitBlockFailed, "两两组合共 2001000 对，超过一次组合的上限 2000000 对"},
        {{"combinations", Example, control}, ExitBlockFailed, "含有控制字符：“J\\x1B[2J”"},
    };
    for (const auto& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_EQ(r.out, "");
    }
}

// A set whose planes coincide has no scatter, said in words: no K of
// "inf", no cone of "nan".
TEST_F(CombinationsCommand, SetWithoutScatterIsNamedSo) {
    std::ofstream(measurements_, std::ios::binary) << "45,105,J1,0.5\n45,105,J1,0.5000001\n70,235,J2\n69,236,J2\n";
    const CliRun r = cli({"combinations", Example, measurements_, "--sets", "labels"});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    EXPECT_THAT(r.out, HasSubstr("无离散"));
    EXPECT_THAT(r.out, ::testing::Not(::testing::ContainsRegex("inf|nan")));
}

} // namespace
