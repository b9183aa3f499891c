#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/full_analysis.h"
#include "analysis/probabilistic/probabilistic.h"
#include "report/json_format.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "tests/cli/cli_run.h"
#include "tests/model/test_support.h"
#include "tests/support/example_block.h"

namespace fs = std::filesystem;
using namespace trelmox::cli;
using namespace trelmox::cli::testing;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using trelmox::BoltMode, trelmox::ProbabilisticResult, trelmox::SavedBlock, trelmox::TensionCrack, trelmox::WedgeLoads;

namespace {

// The example block in a folder of its own, with a companion file beside it
// when given loads.
class ExampleFolder {
public:
    explicit ExampleFolder(const std::optional<WedgeLoads>& loads) {
        fs::copy_file(Example, folder_.path() / "example.txt");
        if (loads) writeCompanion(trelmox::companionText(*loads));
    }
    void writeCompanion(const std::string& bytes) const {
        std::ofstream(folder_.path() / "example.json", std::ios::binary) << bytes;
    }
    std::string block() const { return (folder_.path() / "example.txt").string(); }

private:
    trelmox::testing::TempFolder folder_;
};

// A crack, seismic load, a force and a passive bolt, and a factor of the
// user's own.
WedgeLoads someLoads() {
    WedgeLoads loads;
    loads.Crack = TensionCrack{{80, 0}, 5, 0};
    loads.SeismicCoefficient = 0.1;
    loads.Forces = {{500, {200, 10}}};
    loads.Bolts = {{800, {20, 15}, BoltMode::Passive}};
    loads.RequiredFactor = 1.2;
    loads.Preset.reset();
    return loads;
}

// The number after the first `key` at or after `from` in `text`.
double numberAfter(const std::string& text, const std::string& key, const std::string& from = "") {
    const auto at = text.find(key, text.find(from)) + key.size();
    return std::stod(text.substr(at, text.find_first_of(",}", at) - at));
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

} // namespace

TEST(ProbabilisticCommand, PrintsTheJsonKeys) {
    const CliRun r = cli({"probabilistic", Example, "--samples", "2000", "--seed", "7", "--sd", "c1=5", "--uniform",
                          "diptop=0:60", "--bins", "4", "--format", "json"});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    EXPECT_THAT(r.out, StartsWith("{\"block\":\"example\""));
    for (const char* key : {"\"samples\":2000,", "\"seed\":7,", "\"mean\":", "\"sd\":", "\"min\":", "\"max\":",
                            "\"pf\":", "\"p_failure\":", "\"failed\":0,", "\"histogram\":{\"edges\":["})
        EXPECT_THAT(r.out, HasSubstr(key));
    for (const char* contact : {"NoBlock", "BothPlanes", "FirstPlaneOnly", "SecondPlaneOnly", "LiftOff", "Unresolved"})
        EXPECT_THAT(r.out, HasSubstr(std::string("\"") + contact + "\":"));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("\"NoBlock\":0,"))); // the slope top leaves no block above 34 degrees
    const std::string histogram = r.out.substr(r.out.find("\"histogram\""));
    const std::string edges = histogram.substr(0, histogram.find(']'));
    EXPECT_EQ(countOf(edges, ","), 4); // five edges
    EXPECT_EQ(countOf(r.out, "\n"), 1);
}

TEST(ProbabilisticCommand, SameSeedSameOutputWithAnyThreads) {
    const std::vector<std::string> args = {"probabilistic", Example, "--sd",      "dip1=3", "--lognormal", "c2=10",
                                           "--method",      "lhs",   "--samples", "30000",  "--format",    "json"};
    auto with = [&](const char* threads) {
        auto a = args;
        a.insert(a.end(), {"--threads", threads});
        return cli(a).out;
    };
    const std::string one = with("1");
    EXPECT_EQ(with("2"), one);
    EXPECT_EQ(cli(args).out, one);
}

TEST(ProbabilisticCommand, ZeroSpreadReproducesTheAnalysis) {
    const CliRun r = cli({"probabilistic", Example, "--samples", "10", "--sd", "f1=0", "--format", "json"});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\"sd\":0.0,"));
    EXPECT_THAT(r.out, HasSubstr("\"BothPlanes\":10,"));
    const CliRun analyse = cli({"analyze", "--format", "json", Example});
    const auto kcAt = analyse.out.find("\"kc\":") + 5;
    const std::string kc = analyse.out.substr(kcAt, analyse.out.find(',', kcAt) - kcAt);
    EXPECT_THAT(r.out, HasSubstr("\"mean\":" + kc + ",\"sd\":0.0,\"min\":" + kc + ",\"max\":" + kc));
}

// Both commands analyse the real wedge with the loads of the block's
// companion file, and measure it against the required factor.
TEST(ProbabilisticCommands, TheFullFactorIsThatOfTheBlocksLoads) {
    const struct {
        const char* name;
        std::optional<WedgeLoads> loads;
        std::vector<std::string> options;
        double required;
    } cases[] = {
        {"no companion file: the block's own water", std::nullopt, {}, 1.35},
        {"the companion file's loads and factor", someLoads(), {}, 1.2},
        {"--required in place of the file's factor", someLoads(), {"--required", "1.05"}, 1.05},
        {"--required above the factor", std::nullopt, {"--required", "1.5"}, 1.5},
    };
    const SavedBlock example{trelmox::testing::exampleAttitudes(), {}, trelmox::testing::exampleParams()};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ExampleFolder folder(c.loads);
        WedgeLoads loads = c.loads.value_or(WedgeLoads{});
        loads.RequiredFactor = c.required;
        loads.Preset.reset();
        const trelmox::FullAnalysis full = trelmox::analyseSavedBlock(
            trelmox::BlockInput{example.Attitudes, {}, trelmox::parameterNumbers(example.Params)}, loads);
        const double fs = full.Safety.Factor;
        const bool belowRequired = fs < c.required;

        std::vector<std::string> args = {"probabilistic", folder.block(), "--samples", "10",
                                         "--sd",          "f1=0",         "--format",  "json"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun p = cli(args);
        ASSERT_EQ(p.status, ExitOk) << p.err;
        EXPECT_NEAR(numberAfter(p.out, "\"mean\":", "\"fs\":{"), fs, 1e-12 * fs);
        EXPECT_EQ(numberAfter(p.out, "\"required_factor\":"), c.required);
        EXPECT_EQ(numberAfter(p.out, "\"p_below_required\":"), belowRequired ? 1 : 0);
        EXPECT_THAT(p.out, HasSubstr(std::string("\"fs\":{\"method\":\"") + ProbabilisticResult::FsMethod));

        args = {"sensitivity", folder.block(), "--param", "c1", "--from",   "24",
                "--to",        "24",           "--steps", "1",  "--format", "csv"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun s = cli(args);
        ASSERT_EQ(s.status, ExitOk) << s.err;
        EXPECT_THAT(s.out, HasSubstr("\r\n24,BothPlanes,1.189123557433813,,BothPlanes," + trelmox::csvNumber(fs) + "," +
                                     trelmox::stabilityStateName(*full.State) + "," + trelmox::stateCode(*full.State) +
                                     ",\r\n"));
    }
}

// The loads' own inputs vary only where the companion file gives the block
// those loads.
TEST(ProbabilisticCommands, VaryTheLoadsOfTheCompanionFile) {
    for (const char* spread : {"crackdist=1", "crackwater=0.5", "force=50", "bolt=80"}) {
        const ExampleFolder plain(std::nullopt), loaded(someLoads());
        const CliRun refused = cli({"probabilistic", plain.block(), "--samples", "100", "--sd", spread});
        EXPECT_EQ(refused.status, ExitUsage) << spread;
        const CliRun varied = cli({"probabilistic", loaded.block(), "--samples", "100", "--sd", spread});
        EXPECT_EQ(varied.status, ExitOk) << spread << varied.err;
    }
    const ExampleFolder plain(std::nullopt);
    EXPECT_EQ(cli({"probabilistic", plain.block(), "--samples", "100", "--sd", "k=0.05"}).status, ExitOk);
}

// Every distribution option, a truncation and a correlation reach the run:
// each changes the output of the same seed, and the size limits vary only
// where the companion file gives them.
TEST(ProbabilisticCommands, EveryDistributionOptionReachesTheRun) {
    WedgeLoads sized;
    sized.Size.FaceTrace[0] = 30;
    sized.Size.Persistence[1] = 40;
    const ExampleFolder plain(std::nullopt), limited(sized);
    const std::vector<std::string> common = {"--samples", "2000", "--seed", "7", "--format", "json", "--quiet"};
    const auto run = [&](const ExampleFolder& folder, std::vector<std::string> extra) {
        std::vector<std::string> args = {"probabilistic", folder.block()};
        args.insert(args.end(), common.begin(), common.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return cli(args);
    };
    const CliRun base = run(limited, {"--sd", "c1=4", "--sd", "f1=0.05"});
    ASSERT_EQ(base.status, ExitOk) << base.err;
    const std::vector<std::vector<std::string>> variants = {
        {"--sd", "c1=4", "--sd", "f1=0.05", "--exponential", "face_trace1"},
        {"--sd", "c1=4", "--sd", "f1=0.05", "--lognormal", "persistence2=20"},
        {"--triangular", "c1=10:40", "--sd", "f1=0.05"},
        {"--beta", "c1=4:10:40", "--sd", "f1=0.05"},
        {"--gamma", "c1=4", "--sd", "f1=0.05"},
        {"--sd", "c1=4", "--sd", "f1=0.05", "--truncate", "c1=20:"},
        {"--sd", "c1=4", "--sd", "f1=0.05", "--correlation", "1=-0.5"},
    };
    for (const auto& extra : variants) {
        const CliRun r = run(limited, extra);
        ASSERT_EQ(r.status, ExitOk) << extra[1] << r.err;
        EXPECT_NE(r.out, base.out) << extra[1];
    }
    const CliRun refused = run(plain, {"--exponential", "face_trace1", "--lang", "en"});
    EXPECT_EQ(refused.status, ExitUsage);
    EXPECT_THAT(refused.err, HasSubstr("face_trace1 cannot vary: this block's loads give no such size limit"));
}

TEST(ProbabilisticCommands, ABadCompanionFileIsABlockFailure) {
    const ExampleFolder folder(std::nullopt);
    folder.writeCompanion("{\"version\": 1}");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"probabilistic", folder.block(), "--sd", "c1=1"},
          std::vector<std::string>{"sensitivity", folder.block(), "--param", "c1", "--from", "1", "--to", "2",
                                   "--steps", "1"}}) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.status, ExitBlockFailed) << args[0];
        EXPECT_THAT(r.err, HasSubstr("example.json")) << args[0];
        EXPECT_EQ(r.out, "");
    }
}

TEST(SensitivityCommand, PrintsEveryStepInEachFormat) {
    const std::vector<std::string> args = {"sensitivity", Example, "--param", "diptop",  "--from",
                                           "30",          "--to",  "36",      "--steps", "6"};
    auto in = [&](const char* format) {
        auto a = args;
        a.insert(a.end(), {"--format", format});
        return cli(a);
    };
    const CliRun csv = in("csv");
    ASSERT_EQ(csv.status, ExitOk) << csv.err;
    EXPECT_THAT(csv.out, StartsWith("diptop,contact,kc,error,fs_contact,fs,state,state_code,fs_error\r\n"
                                    "30,BothPlanes,1.18912"));
    // Kc's cut-out test refuses these tops; the real wedge under them exists.
    EXPECT_THAT(csv.out, HasSubstr("\r\n35,NoBlock,0,,BothPlanes,1.1716"));
    EXPECT_THAT(csv.out, HasSubstr("\r\n36,NoBlock,0,,BothPlanes,1.1710"));
    EXPECT_EQ(countOf(csv.out, "\r\n"), 8);
    const CliRun json = in("json");
    EXPECT_THAT(json.out, StartsWith("{\"block\":\"example\",\"param\":\"diptop\",\"steps\":[{\"value\":30.0,"));
    EXPECT_EQ(countOf(json.out, "\"value\":"), 7);
    EXPECT_THAT(in("text").out, HasSubstr("35            NoBlock          0.0000"));
}

TEST(SensitivityCommand, ReportsAFailedStepAndGoesOn) {
    const CliRun r = cli({"sensitivity", Example, "--param", "dipdir1", "--from", "225", "--to", "245", "--steps", "2",
                          "--format", "csv"});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\r\n235,,,Floating point division by zero,NoBlock,0,,,\r\n245,"));
    // The JSON names the failure's kind beside its message, and none where Fs stands.
    const CliRun json = cli({"sensitivity", Example, "--param", "dipdir1", "--from", "225", "--to", "245", "--steps",
                             "2", "--format", "json"});
    const auto step = nlohmann::json::parse(json.out)["steps"][1];
    EXPECT_EQ(step["error"], "Floating point division by zero");
    EXPECT_EQ(step["error_kind"], "division_by_zero");
    EXPECT_TRUE(step["fs_error"].is_null() && step["fs_error_kind"].is_null()) << step.dump();
}

TEST(ProbabilisticCommands, RefuseBadInputWithStatus2) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"probabilistic", Example, "--sd", "c1=-1"}, "c1: the standard deviation must be a finite number >= 0"},
        {{"probabilistic", Example, "--sd", "cohesion=1"}, "unknown parameter 'cohesion' (names: dip1 dipdir1"},
        {{"probabilistic", Example, "--samples", "0"}, "the number of samples must lie between 1 and 10000000"},
        {{"probabilistic", Example, "--samples", "12x"}, "invalid whole number '12x' for --samples"},
        {{"probabilistic", Example, "--samples", "-5"}, "invalid whole number '-5' for --samples"},
        {{"probabilistic", Example, "--sd", "c1"}, "--sd needs NAME=VALUE"},
        {{"probabilistic", Example, "--sd", "c1=abc"}, "invalid number 'abc' for --sd c1=abc"},
        {{"probabilistic", Example, "--uniform", "dip1=40"}, "--uniform needs NAME=LO:HI"},
        {{"probabilistic", Example, "--uniform", "dip1=40:95"}, "dip1: the range 40:95 leaves 0..90"},
        {{"probabilistic", Example, "--lognormal", "dip1=2"}, "dip1: a lognormal distribution fits only"},
        {{"probabilistic", Example, "--sd", "c1=1", "--lognormal", "c1=2"}, "c1 has two distributions"},
        {{"probabilistic", Example, "--beta", "c1=2:10"}, "--beta needs NAME=SD:LO:HI, not '--beta c1=2:10'"},
        {{"probabilistic", Example, "--triangular", "c1=30:40"},
         "c1: a triangular distribution needs the block's value 24"},
        {{"probabilistic", Example, "--truncate", "c1=1:2"}, "c1 has no distribution to truncate"},
        {{"probabilistic", Example, "--sd", "c1=0.1", "--truncate", "c1=30:40"},
         "c1: the truncation 30:40 leaves no value"},
        {{"probabilistic", Example, "--sd", "c1=1", "--correlation", "1=-0.5"}, "needs f1 to vary"},
        {{"probabilistic", Example, "--correlation", "3=-0.5"}, "--correlation needs PLANE=RHO with PLANE 1 or 2"},
        {{"probabilistic", Example, "--fisher", "crack=20"}, "this block has no tension crack to draw as a joint set"},
        {{"probabilistic", Example, "--sd", "crackdip=2"}, "crackdip cannot vary: this block has no tension crack"},
        {{"probabilistic", Example, "--fisher", "3=20"}, "--fisher needs PLANE=K with PLANE 1, 2 or crack, not '3=20'"},
        {{"probabilistic", Example, "--fisher", "1=20", "--sd", "dip1=2"},
         "dip1 cannot vary on its own beside the Fisher distribution of plane 1"},
        {{"probabilistic", Example, "--sd", "u1=1"}, "u1 cannot vary"},
        {{"probabilistic", Example, "--method", "qmc"}, "invalid value 'qmc' for --method"},
        {{"probabilistic", Example, "--threads", "0"}, "--threads needs at least 1"},
        // Each of these once crashed or ended with the allocator's abort.
        {{"probabilistic", Example, "--threads", "100000"}, "the number of threads must lie between 1 and"},
        {{"probabilistic", Example, "--threads", "4294967295"}, "the number of threads must lie between 1 and"},
        {{"probabilistic", Example, "--bins", "2147483647"}, "the histogram has at most 10000 bins"},
        {{"sensitivity", Example, "--param", "dip1", "--from", "1", "--to", "2", "--steps", "2147483647"},
         "the number of steps must lie between 1 and 1000000"},
        {{"probabilistic", Example, "--bins", "0"}, "the histogram needs at least one bin"},
        {{"probabilistic", Example, "--format", "csv"}, "invalid value 'csv' for --format"},
        {{"probabilistic", Example, "--required", "0.99"},
         "--required needs a safety factor of at least 1, not '0.99'"},
        {{"sensitivity", Example, "--param", "f1", "--from", "0", "--to", "1", "--steps", "1", "--required", "x"},
         "--required needs a safety factor of at least 1, not 'x'"},
        {{"probabilistic"}, "give exactly one block data file"},
        {{"probabilistic", Example, Example}, "give exactly one block data file"},
        {{"sensitivity", Example, "--from", "1", "--to", "2", "--steps", "3"}, "--param is required"},
        {{"sensitivity", Example, "--param", "dip9", "--from", "1", "--to", "2", "--steps", "3"}, "unknown parameter"},
        {{"sensitivity", Example, "--param", "dip1", "--from", "1", "--to", "2", "--steps", "0"},
         "the number of steps must lie between 1 and 1000000"},
        {{"sensitivity", Example, "--param", "f1", "--from", "-1", "--to", "2", "--steps", "3"},
         "f1: -1 lies outside 0..∞"},
        {{"sensitivity", Example, "--param", "f1", "--from", "x", "--to", "2", "--steps", "3"},
         "invalid number 'x' for --from"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> english = c.args;
        english.insert(english.end(), {"--lang", "en"});
        const CliRun r = cli(english);
        EXPECT_EQ(r.status, ExitUsage) << c.message;
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_THAT(r.err, HasSubstr("usage: trelmox-cli " + c.args[0]));
        EXPECT_EQ(r.out, "");
    }
}

TEST(ProbabilisticCommands, UnreadableBlockIsABlockFailure) {
    const fs::path bad = fs::temp_directory_path() / "trelmox-probabilistic-bad.txt";
    std::ofstream(bad, std::ios::binary) << "45,105\r\n70,235\r\n";
    for (const std::string& file : {bad.string(), (fs::temp_directory_path() / "no-such-block.txt").string()}) {
        const CliRun p = cli({"probabilistic", file, "--sd", "c1=1"});
        EXPECT_EQ(p.status, ExitBlockFailed) << p.err;
        EXPECT_THAT(p.err, HasSubstr("trelmox-cli probabilistic: " + file +
                                     (file == bad.string() ? " 第3行: 缺失" : ": 文件或文件夹不存在")));
        const CliRun s = cli({"sensitivity", file, "--param", "c1", "--from", "1", "--to", "2", "--steps", "1"});
        EXPECT_EQ(s.status, ExitBlockFailed) << s.err;
        EXPECT_EQ(p.out + s.out, "");
    }
    fs::remove(bad);
}

TEST(ProbabilisticCommands, HelpIsNoError) {
    for (const char* command : {"probabilistic", "sensitivity"}) {
        const CliRun r = cli({command, "--help"});
        EXPECT_EQ(r.status, ExitOk);
        EXPECT_THAT(r.out, HasSubstr("dip1 dipdir1 dip2 dipdir2"));
        EXPECT_THAT(r.out, HasSubstr("rock water height"));
    }
    EXPECT_THAT(cli({"--help"}).out, HasSubstr("probabilistic FILE"));
    EXPECT_THAT(cli({"--help"}).out, HasSubstr("[--plot-dir DIR]"));
}
