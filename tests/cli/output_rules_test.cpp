// What analyze prints where a figure does not exist, cannot be computed or
// is beyond its bound: null (an empty CSV cell, "-" in the table) and never
// 0; an Fs that failed as fs_error with its kind and the exit status of a
// failed block; a factor above 100 as "> 100" with a note saying why; an
// overflow named by the input it comes from.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <unistd.h>

#include "analysis/full_analysis.h"
#include "analysis/vec3.h"
#include "cli/cli.h"
#include "report/json_format.h"
#include "model/attitude.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "model/files.h"
#include "tests/cli/cjk.h"
#include "tests/cli/cli_run.h"
#include "tests/support/example_block.h"

namespace fs = std::filesystem;
using namespace trelmox;
using namespace trelmox::cli;
using ::testing::HasSubstr;
using ::testing::Not;
using Json = nlohmann::ordered_json;

namespace {

struct Block {
    PlaneAttitudeArray Attitudes = trelmox::testing::exampleAttitudes();
    TWedgeParams Params = trelmox::testing::exampleParams();
    std::optional<WedgeLoads> Loads;
};

class OutputRules : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("trelmox-rules-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path write(const std::string& name, const Block& b) {
        PlaneQuadrantArray quadrants;
        data2to1(b.Attitudes, quadrants);
        writeBlockFile(dir, name, b.Attitudes, quadrants, b.Params);
        if (b.Loads) writeFileAtomically(dir / (name + ".json"), companionText(*b.Loads));
        return dir / (name + ".txt");
    }

    trelmox::cli::testing::CliRun analyze(const Block& b, const std::string& format = "json",
                                          const std::string& language = "en") {
        std::ostringstream out, err;
        const int status = run({"--lang", language, "analyze", "--format", format, write("b", b).string()}, out, err);
        return {status, out.str(), err.str()};
    }

    fs::path dir;
};

WedgeLoads plainLoads() {
    WedgeLoads l;
    l.Water = WaterMode::None;
    return l;
}

// Scripts decide by the state's code: one ASCII word a state, never two
// states alike, beside the data's Chinese name, which stays as it was.
TEST(StateCode, EachStateHasItsOwnAsciiCodeBesideItsDataName) {
    const struct {
        StabilityState state;
        const char* code;
        const char* name;
    } cases[] = {{StabilityState::Stable, "stable", "稳定"},
                 {StabilityState::BasicallyStable, "basically_stable", "基本稳定"},
                 {StabilityState::Marginal, "marginal", "欠稳定"},
                 {StabilityState::Unstable, "unstable", "不稳定"}};
    for (const auto& c : cases) {
        EXPECT_STREQ(stateCode(c.state), c.code);
        EXPECT_STREQ(stateInData(c.state), c.name);
    }
}

TEST_F(OutputRules, FiguresThatDoNotExistAreNullNeverZero) {
    Block noBlock; // the planes cut out no wedge under this face
    noBlock.Attitudes = {{{57.45, 232.66}, {77.13, 167.92}, {12, 195}, {70, 180}}};
    Block farCrack; // a crack behind the whole wedge: no real wedge
    farCrack.Loads = plainLoads();
    farCrack.Loads->Crack = TensionCrack{{80, 190}, 100, 0};
    Block steepTop; // an upper slope that the wedge cannot reach
    steepTop.Attitudes[2] = {35, 158};
    const struct {
        const char* name;
        Block block;
        bool kc, fs; // whether each factor exists
    } cases[] = {{"no block", noBlock, false, false},
                 {"crack behind", farCrack, true, false},
                 {"steep top", steepTop, false, false}};
    for (const auto& c : cases) {
        const auto r = analyze(c.block);
        const Json row = Json::parse(r.out);
        EXPECT_EQ(r.status, ExitOk) << c.name;
        EXPECT_EQ(!row["kc"].is_null(), c.kc) << c.name << r.out;
        EXPECT_EQ(!row["volume"].is_null(), c.kc) << c.name;
        EXPECT_EQ(!row["plunge"].is_null(), c.kc) << c.name;
        EXPECT_EQ(!row["fs"].is_null(), c.fs) << c.name;
        if (!c.fs) {
            EXPECT_TRUE(row["fs_contact"] == "NoBlock" || row["fs_contact"].is_null()) << c.name;
        }
        // The CSV leaves the cells empty, the table shows "-".
        const auto csv = trelmox::cli::testing::linesOf(analyze(c.block, "csv").out);
        ASSERT_EQ(csv.size(), 2u);
        EXPECT_THAT(csv[1], ::testing::StartsWith(c.kc ? "b,BothPlanes,1." : "b,NoBlock,,,,,")) << c.name;
        const auto table = trelmox::cli::testing::linesOf(analyze(c.block, "text").out);
        EXPECT_THAT(table[1], Not(HasSubstr(" 0 "))) << c.name;
    }
}

// The loads of a factor that cannot be computed, by the input that breaks it.
TEST_F(OutputRules, AnFsThatCannotBeComputedIsAnErrorOfItsOwnWithItsKind) {
    WedgeLoads seismic = plainLoads();
    seismic.SeismicCoefficient = 1e308;
    WedgeLoads force = plainLoads();
    force.Forces = {{1e200, {150, 20}}};
    WedgeLoads pattern = plainLoads(); // once "more than INF bolts"
    pattern.Pattern = BoltPattern{5e-324, 2, {15, 10}, BoltMode::Passive, boltDefaults(BoltType::GroutedDowel)};
    WedgeLoads passive = plainLoads();
    for (int i = 0; i < 13; ++i) passive.Bolts.push_back({10, {i * 25.0, 10}, BoltMode::Passive});
    const struct {
        const char* name;
        WedgeLoads loads;
        std::string kind, message;
    } cases[] = {
        {"seismic", seismic, "overflow", "Floating point overflow (from seismic.k = 1E308)"},
        {"force", force, "overflow", "Floating point overflow (from forces[0].magnitude = 1E200)"},
        {"passive", passive, "refused_input", "the passive bolts point in more than 12 directions"},
        {"pattern", pattern, "refused_input",
         "spacings of 4.94065645841247E-324 m along the strike and 2 m down the dip"},
    };
    for (const auto& c : cases) {
        Block b;
        b.Loads = c.loads;
        const auto r = analyze(b);
        const Json row = Json::parse(r.out);
        EXPECT_EQ(r.status, ExitBlockFailed) << c.name;
        EXPECT_TRUE(row["fs"].is_null()) << c.name;
        EXPECT_THAT(row["fs_error"].get<std::string>(), HasSubstr(c.message)) << c.name;
        EXPECT_EQ(row["fs_error_kind"], c.kind) << c.name;
        EXPECT_TRUE(row["error"].is_null()) << c.name; // Kc stands
        EXPECT_FALSE(row["kc"].is_null()) << c.name;
        const auto csv = trelmox::cli::testing::linesOf(analyze(b, "csv").out);
        EXPECT_THAT(csv[0], ::testing::EndsWith(",kc_note,fs_note,fs_error,fs_error_kind\r"));
        EXPECT_THAT(csv[1], ::testing::EndsWith("," + c.kind + "\r")) << c.name;
        // In Chinese too, with no English sentence of the engine's in it.
        const auto chinese = analyze(b, "json", "zh");
        EXPECT_EQ(chinese.status, ExitBlockFailed) << c.name;
    }
    // English carries no Chinese, the overflow's naming included.
    Block b;
    b.Loads = passive;
    EXPECT_FALSE(trelmox::cli::testing::hasCjk(analyze(b).out));
    // A data-file number that overflows Kc is named too.
    Block heavy;
    heavy.Params.RockUnitWeight = "1e308";
    const Json failed = Json::parse(analyze(heavy).out);
    EXPECT_THAT(failed["error"].get<std::string>(), HasSubstr("(from ")) << failed.dump();
    EXPECT_EQ(failed["error_kind"], "overflow") << failed.dump();
}

// A force along the line of intersection, up it, as large as the weight's
// pull down it: nothing is left to drive the wedge but rounding.
WedgeLoads balanced() {
    Block b;
    WedgeLoads loads = plainLoads();
    const FullAnalysis a = analyseSavedBlock(blockInput(SavedBlock{b.Attitudes,
                                                                   [&] {
                                                                       PlaneQuadrantArray q;
                                                                       data2to1(b.Attitudes, q);
                                                                       return q;
                                                                   }(),
                                                                   b.Params}),
                                             loads);
    const TPoint3D up = -1 * a.Safety.Direction;
    const double trend = std::fmod(degrees(std::atan2(up.x, up.y)) + 360, 360);
    const double plunge = -degrees(std::asin(up.z));
    loads.Forces = {{a.Safety.Driving, {trend, plunge}}};
    return loads;
}

TEST_F(OutputRules, AFactorAboveItsBoundIsSaidSoNeverPrintedAsDigits) {
    Block strong; // cohesion enough for Kc and Fs in the thousands
    strong.Params.Cohesion1 = strong.Params.Cohesion2 = "1000000";
    strong.Loads = plainLoads();
    Block undriven;
    undriven.Loads = balanced();
    const struct {
        const char* name;
        Block block;
        std::optional<std::string> kcNote, fsNote;
    } cases[] = {{"strong", strong, "above 100", "above 100"},
                 {"undriven", undriven, std::nullopt, "no driving force"}};
    for (const auto& c : cases) {
        const auto r = analyze(c.block);
        const Json row = Json::parse(r.out);
        EXPECT_EQ(r.status, ExitOk) << c.name;
        EXPECT_EQ(row["kc"].is_null(), c.kcNote.has_value()) << c.name;
        EXPECT_EQ(row["kc_note"], c.kcNote ? Json(*c.kcNote) : Json()) << c.name;
        EXPECT_TRUE(row["fs"].is_null()) << c.name << r.out;
        EXPECT_EQ(row["fs_note"], *c.fsNote) << c.name << r.out;
        if (c.kcNote) {
            EXPECT_EQ(row["state"], "稳定") << c.name;
            EXPECT_EQ(row["state_code"], "stable") << c.name;
        }
        const std::string table = analyze(c.block, "text").out;
        EXPECT_THAT(table, HasSubstr("> 100")) << c.name;
        EXPECT_THAT(table, Not(::testing::ContainsRegex("[0-9]{8}\\."))) << c.name << table;
    }
}

TEST_F(OutputRules, PlanarSaysAFactorAboveTheBoundAndRefusesWhatIsNoBlock) {
    const std::vector<std::string> slope = {"planar", "--height",      "30", "--face-dip", "60",    "--plane-dip",
                                            "30",     "--unit-weight", "26", "--friction", "0.7536"};
    const auto planar = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"--lang", "en"};
        args.insert(args.end(), slope.begin(), slope.end());
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        const int status = run(args, out, err);
        return trelmox::cli::testing::CliRun{status, out.str(), err.str()};
    };
    const auto high = planar({"--cohesion", "100000", "--format", "json"});
    EXPECT_EQ(high.status, ExitOk);
    EXPECT_THAT(high.out, HasSubstr("\"fs\":null"));
    EXPECT_THAT(high.out, HasSubstr("\"fs_note\":\"above 100\""));
    EXPECT_THAT(planar({"--cohesion", "100000"}).out, HasSubstr("Fs > 100\n"));
    const struct {
        std::vector<std::string> extra;
        std::string message;
    } failures[] = {
        {{"--cohesion", "25", "--k", "1e308"}, "Floating point overflow (from seismic coefficient k = 1E308)"},
        {{"--cohesion", "25", "--height", "1e300"}, "Floating point overflow (from slope height = 1E300)"},
        {{"--cohesion", "25", "--water-unit-weight", "1e308", "--water-fill", "1"},
         "Floating point overflow (from water unit weight = 1E308)"},
        {{"--cohesion", "25", "--face-dip", "90", "--crack-distance", "0"}, "cuts off no block"},
        {{"--cohesion", "25", "--face-dip", "90"}, "with a vertical face the least factor lies where"},
    };
    for (const auto& f : failures) {
        const auto r = planar(f.extra);
        EXPECT_EQ(r.status, ExitBlockFailed) << f.message;
        EXPECT_THAT(r.err, HasSubstr(f.message));
        EXPECT_EQ(r.out, "") << f.message;
    }
}

} // namespace
