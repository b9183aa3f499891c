// Every command of the tool driven with inputs at the limits of a double
// (the largest, its negative, the smallest subnormal) in every option, in
// every number of a data file and of a companion file, and with "inf" and
// "nan" where an option reads a number: each run ends with a message and
// an exit status of its own (never an abort or an escaped exception, which
// fail the test here), and prints no figure that is not finite.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "cli/cli.h"
#include "model/files.h"
#include "report/calculation_report.h"
#include "tests/cli/cli_run.h"

namespace fs = std::filesystem;
using namespace trelmox;
using namespace trelmox::cli;
using Json = nlohmann::ordered_json;
using trelmox::cli::testing::CliRun;
using trelmox::cli::testing::Example;

namespace {

const std::vector<std::string> Extremes = {"1e308", "-1e308", "5e-324", "1.7976931348623157e308"};
const std::vector<std::string> NotNumbers = {"inf", "nan"};
const fs::path Data = TRELMOX_TEST_DATA;

// A word "inf", "infinity" or "nan" of any case: how a figure that is not
// finite gets printed.
bool hasNonFinite(const std::string& text) {
    static const std::regex word("(^|[^a-z])(inf|infinity|nan)([^a-z]|$)", std::regex::icase);
    return std::regex_search(text, word);
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ToolLimits : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("trelmox-limits-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy_file(Example, dir / "block.txt");
    }
    void TearDown() override { fs::remove_all(dir); }

    // The run in English; `echoed`: the arguments hold a text that is not a
    // number, which its refusal may quote.
    CliRun tool(std::vector<std::string> args, bool echoed = false) {
        args.insert(args.begin(), {"--lang", "en"});
        std::ostringstream out, err;
        const int status = run(args, out, err);
        const CliRun r{status, out.str(), err.str()};
        const std::string shown = ::testing::PrintToString(args);
        EXPECT_TRUE(status == ExitOk || status == ExitBlockFailed || status == ExitUsage) << shown << status;
        if (status != ExitOk) {
            EXPECT_FALSE(r.out.empty() && r.err.empty()) << shown;
        }
        EXPECT_FALSE(hasNonFinite(r.out)) << shown << '\n' << r.out;
        if (!echoed) {
            EXPECT_FALSE(hasNonFinite(r.err)) << shown << '\n' << r.err;
        }
        return r;
    }

    // The example block with its data-file line `line` (1-based) replaced.
    fs::path blockWith(int line, const std::string& text) {
        const std::string bytes = readAll(Example);
        std::istringstream in(bytes);
        std::string result, current;
        for (int n = 1; std::getline(in, current); ++n) result += (n == line ? text + "\r" : current) + "\n";
        const fs::path file = dir / "edited.txt";
        writeFileAtomically(file, result);
        return file;
    }

    fs::path dir;
};

// Each number of a JSON value, by where it is, set in a copy.
void eachNumber(const Json& value, const std::function<void(const Json::json_pointer&)>& visit,
                const Json::json_pointer& at = Json::json_pointer()) {
    if (value.is_number() && at.to_string() != "/version") visit(at);
    if (value.is_object())
        for (const auto& [key, item] : value.items()) eachNumber(item, visit, at / key);
    if (value.is_array())
        for (std::size_t i = 0; i < value.size(); ++i) eachNumber(value[i], visit, at / i);
}

TEST_F(ToolLimits, PlanarTakesEveryOptionAtTheLimits) {
    const std::vector<std::pair<std::string, std::string>> base = {{"height", "30"},
                                                                   {"face-dip", "60"},
                                                                   {"plane-dip", "30"},
                                                                   {"top-dip", "5"},
                                                                   {"crack-distance", "4"},
                                                                   {"unit-weight", "26"},
                                                                   {"water-unit-weight", "10"},
                                                                   {"water-fill", "0.5"},
                                                                   {"cohesion", "25"},
                                                                   {"friction", "0.7536"},
                                                                   {"k", "0.1"},
                                                                   {"bolt-force", "100"},
                                                                   {"bolt-plunge", "10"}};
    for (std::size_t i = 0; i < base.size(); ++i)
        for (const auto& format : {"text", "json"})
            for (const bool number : {true, false})
                for (const std::string& value : number ? Extremes : NotNumbers) {
                    std::vector<std::string> args = {"planar", "--format", format};
                    for (std::size_t j = 0; j < base.size(); ++j)
                        args.insert(args.end(), {"--" + base[j].first, i == j ? value : base[j].second});
                    tool(args, !number);
                }
}

TEST_F(ToolLimits, AnalyzeTakesEveryNumberOfTheDataFileAtTheLimits) {
    // Lines 9 to 18: unit weights, height, overhang, water pressures, c and f.
    for (int line = 9; line <= 18; ++line)
        for (const std::string& value : Extremes) {
            const std::string text = line == 13 || line == 14 ? "z," + value : value;
            const fs::path block = blockWith(line, text);
            for (const auto& format : {"text", "json"}) tool({"analyze", "--format", format, block.string()});
        }
}

TEST_F(ToolLimits, AnalyzeTakesEveryNumberOfTheCompanionFileAtTheLimits) {
    for (const char* loads : {"example_loads.json", "pattern_loads.json"}) {
        const Json base = Json::parse(readAll(Data / loads));
        eachNumber(base, [&](const Json::json_pointer& at) {
            for (const std::string& value : Extremes) {
                Json edited = base;
                edited[at] = Json::parse(value);
                writeFileAtomically(dir / "block.json", edited.dump());
                const CliRun r = tool({"analyze", "--format", "json", (dir / "block.txt").string()});
                // A factor that could not be worked out says so, with its kind.
                const Json row = Json::parse(r.out);
                if (!row["fs_error"].is_null()) {
                    EXPECT_EQ(r.status, ExitBlockFailed) << at.to_string() << value;
                    EXPECT_FALSE(row["fs_error_kind"].is_null()) << at.to_string() << value;
                }
            }
        });
    }
}

TEST_F(ToolLimits, ProbabilisticAndSensitivityTakeEveryOptionAtTheLimits) {
    const std::string block = (dir / "block.txt").string();
    const std::vector<std::string> run = {"probabilistic", block, "--samples", "200", "--quiet", "--format", "json"};
    const auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = run;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    for (const bool number : {true, false})
        for (const std::string& v : number ? Extremes : NotNumbers) {
            for (const std::vector<std::string>& extra :
                 std::vector<std::vector<std::string>>{{"--sd", "c1=" + v},
                                                       {"--sd", "dip1=" + v},
                                                       {"--sd", "height=" + v},
                                                       {"--uniform", "f1=0:" + v},
                                                       {"--uniform", "c2=" + v + ":1"},
                                                       {"--lognormal", "gamma=" + v},
                                                       {"--triangular", "c1=" + v + ":" + v},
                                                       {"--beta", "f2=" + v + ":0:1"},
                                                       {"--gamma", "c2=" + v},
                                                       {"--sd", "c1=5", "--truncate", "c1=" + v + ":100"},
                                                       {"--correlation", "1=" + v},
                                                       {"--fisher", "1=" + v},
                                                       {"--required", v}})
                tool(with(extra), !number);
            tool({"sensitivity", block, "--param", "c1", "--from", "0", "--to", v, "--steps", "4", "--format", "json"},
                 !number);
            tool({"sensitivity", block, "--param", "f2", "--from", v, "--to", "1", "--steps", "4"}, !number);
            tool({"sensitivity", block, "--param", "height", "--from", "1", "--to", v, "--steps", "3"}, !number);
            tool({"sensitivity", block, "--param", "c1", "--from", "0", "--to", "1", "--steps", "2", "--required", v},
                 !number);
        }
    // The overflow of the factors' statistics names the input it comes from.
    const CliRun wide = tool(with({"--sd", "c1=1e306"}));
    EXPECT_EQ(wide.status, ExitBlockFailed);
    EXPECT_THAT(wide.err, ::testing::HasSubstr("Floating point overflow: the samples of c1 reach"));
}

TEST_F(ToolLimits, CombinationsKinematicsAndReportTakeTheLimits) {
    const std::string block = (dir / "block.txt").string();
    const std::string measurements = (Data / "joint_measurements.csv").string();
    for (const bool number : {true, false})
        for (const std::string& v : number ? Extremes : NotNumbers) {
            writeFileAtomically(dir / "planes.csv", "dip,dipdir\n45,105\n70,235\n" + v + ",120\n60," + v + "\n");
            tool({"combinations", block, (dir / "planes.csv").string(), "--format", "json"}, !number);
            writeFileAtomically(dir / "sectors.csv", "name,dip,dipdir,height,top_dip\nA,65,180," + v + ",10\nB," + v +
                                                         ",180,40,10\nC,65,180,40," + v + "\n");
            tool({"kinematics", (dir / "sectors.csv").string(), measurements, "--format", "json"}, !number);
            for (const char* option : {"--friction", "--lateral"})
                tool({"kinematics", (Data / "pit_sectors.csv").string(), measurements, option, v}, !number);
        }
    // The report of a block at the limits: every text of it finite.
    for (const std::string& value : Extremes) {
        const fs::path edited = blockWith(15, value);
        std::ostringstream out, err;
        std::string text;
        const int status = runReportBatch({"--lang", "en", "--pdf-dir", (dir / "pdf").string(), edited.string()}, out,
                                          err, [&](const fs::path&, const CalculationReport& report) {
                                              for (const ReportSection& section : report.Sections)
                                                  for (const ReportItem& item : section.Items) {
                                                      if (const auto* p = std::get_if<ReportParagraph>(&item))
                                                          text += p->Text;
                                                      if (const auto* t = std::get_if<ReportTable>(&item))
                                                          for (const auto& row : t->Rows)
                                                              for (const std::string& cell : row) text += cell + ' ';
                                                  }
                                          });
        EXPECT_TRUE(status == ExitOk || status == ExitBlockFailed) << value;
        EXPECT_FALSE(hasNonFinite(text + out.str() + err.str())) << value << text;
    }
}

} // namespace
