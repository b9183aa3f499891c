#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <nlohmann/json.hpp>

#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "tests/cli/cli_run.h"
#include "tests/model/test_support.h"

using namespace trelmox::cli;
using namespace trelmox::cli::testing;
using ::testing::HasSubstr;
using Json = nlohmann::json;

namespace {

const std::vector<std::string> TextbookPlanar = {"planar",
                                                 "--height",
                                                 "30",
                                                 "--face-dip",
                                                 "60",
                                                 "--plane-dip",
                                                 "30",
                                                 "--crack-distance",
                                                 "9",
                                                 "--unit-weight",
                                                 "25.5",
                                                 "--water-unit-weight",
                                                 "9.81",
                                                 "--cohesion",
                                                 "48",
                                                 "--friction",
                                                 "0.57735026918962573",
                                                 "--format",
                                                 "json"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(PlanarCommand, PrintsTheKeysInOrderWithTheTextbookFactor) {
    const CliRun dry = cli(TextbookPlanar);
    ASSERT_EQ(dry.status, ExitOk) << dry.err;
    const std::regex keys(
        R"(\{"fs":[-\d.e]+,"crack_depth":[-\d.e]+,"weight":[-\d.e]+,"plane_length":[-\d.e]+,)"
        R"("water_force_plane":0.0,"water_force_crack":0.0,"error":null,"fs_note":null,"error_kind":null\}\n)");
    EXPECT_TRUE(std::regex_match(dry.out, keys)) << dry.out;
    EXPECT_NEAR(Json::parse(dry.out)["fs"].get<double>(), 1.347, 5e-4);
    const CliRun bolted =
        cli(with(TextbookPlanar, {"--water-fill", "1", "--bolt-force", "1000", "--bolt-plunge", "24"}));
    ASSERT_EQ(bolted.status, ExitOk) << bolted.err;
    EXPECT_NEAR(Json::parse(bolted.out)["fs"].get<double>(), 1.000, 5e-4);
}

TEST(PlanarCommand, RefusesBadOptionsAndReportsAFailedAnalysisAsSuch) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"planar", "--face-dip", "60", "--plane-dip", "30", "--unit-weight", "25", "--cohesion", "0", "--friction",
              "1"},
             with(TextbookPlanar, {"--bolt-plunge", "10"}),
             with(TextbookPlanar, {"--bolt-force", "10"}),
             with(TextbookPlanar, {"--bolt-force", "10", "--bolt-plunge", "5", "--bolt-mode", "tight"}),
             with(TextbookPlanar, {"--crack-distance", "-3"}),
             with(TextbookPlanar, {"--height", "30m"})})
        EXPECT_EQ(cli(args).status, ExitUsage);
    const CliRun steep = cli(with(TextbookPlanar, {"--plane-dip", "65"}));
    EXPECT_EQ(steep.status, ExitBlockFailed);
    const Json json = Json::parse(steep.out);
    EXPECT_TRUE(json["fs"].is_null());
    EXPECT_THAT(json["error"].get<std::string>(), HasSubstr("滑面倾角"));
}

class KinematicsCommand : public ::testing::Test {
protected:
    KinematicsCommand() {
        std::ofstream(sectors_, std::ios::binary) << "name,dip,dipdir,height\nN,60,350,20\nS,60,170,\n";
        // J1 slides out of the north face, J2 and J3 cut a wedge out of it,
        // J4 topples from it.
        std::ofstream(measurements_, std::ios::binary) << "set,dip,dipdir\n"
                                                          "J1,45,350\nJ1,44,352\n"
                                                          "J2,60,300\nJ2,61,302\n"
                                                          "J3,60,40\nJ3,59,38\n"
                                                          "J4,80,170\nJ4,81,171\n";
    }
    trelmox::testing::TempFolder folder_;
    const std::string sectors_ = (folder_.path() / "sectors.csv").string();
    const std::string measurements_ = (folder_.path() / "joints.csv").string();
};

// Turning the face by 180 degrees makes the critical planar set harmless.
TEST_F(KinematicsCommand, OneJsonLinePerSectorAndModeTheFaceTurnedAround) {
    const CliRun r = cli({"kinematics", sectors_, measurements_, "--format", "json"});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    const auto lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 8u);
    std::vector<Json> rows;
    for (const std::string& l : lines) rows.push_back(Json::parse(l));
    const std::vector<std::string> keys = {"sector",
                                           "mode",
                                           "critical",
                                           "total",
                                           "percent",
                                           "critical_set",
                                           "fs",
                                           "fs_note",
                                           "secondary_critical",
                                           "secondary_percent",
                                           "oblique_critical",
                                           "oblique_percent"};
    std::vector<std::string> got;
    const nlohmann::ordered_json first = nlohmann::ordered_json::parse(lines[0]);
    for (const auto& [key, value] : first.items()) got.push_back(key);
    EXPECT_EQ(got, keys);
    EXPECT_EQ(rows[0]["sector"], "N");
    EXPECT_EQ(rows[0]["mode"], "planar");
    EXPECT_EQ(rows[1]["mode"], "wedge");
    EXPECT_EQ(rows[2]["mode"], "flexural_toppling");
    EXPECT_EQ(rows[3]["mode"], "direct_toppling");
    EXPECT_EQ(rows[0]["critical"], 2);
    EXPECT_EQ(rows[0]["total"], 8);
    EXPECT_EQ(rows[0]["critical_set"], "J1");
    EXPECT_NEAR(rows[0]["fs"].get<double>(), 0.57735 / std::tan(44.5 * 3.14159265358979 / 180), 0.02);
    EXPECT_EQ(rows[1]["total"], 28);
    // J1 with J2 cuts out a wedge flatter than J2 with J3: the least factor.
    EXPECT_EQ(rows[1]["critical_set"], Json::array({"J1", "J2"}));
    EXPECT_GT(rows[1]["fs"].get<double>(), 0);
    EXPECT_EQ(rows[2]["critical"], 2);
    EXPECT_TRUE(rows[2]["fs"].is_null());
    EXPECT_EQ(rows[4]["sector"], "S");
    EXPECT_EQ(rows[4]["critical"], 0);
    EXPECT_EQ(rows[4]["percent"], 0);
    EXPECT_TRUE(rows[4]["critical_set"].is_null());
    EXPECT_TRUE(rows[4]["fs"].is_null());
    EXPECT_EQ(rows[6]["critical"], 0);
    // The second zone of each pair mode, null where a mode has none.
    for (const Json& row : rows) {
        const std::string mode = row["mode"];
        EXPECT_EQ(row["secondary_critical"].is_null(), mode != "wedge") << mode;
        EXPECT_EQ(row["secondary_percent"].is_null(), mode != "wedge") << mode;
        EXPECT_EQ(row["oblique_critical"].is_null(), mode != "direct_toppling") << mode;
        EXPECT_EQ(row["oblique_percent"].is_null(), mode != "direct_toppling") << mode;
    }
    const trelmox::KinematicResult north =
        trelmox::kinematicAnalysis(trelmox::readMeasurementFile(measurements_).Planes, {}, {{60, 350, 30, 20}}).front();
    EXPECT_EQ(rows[1]["secondary_critical"], north.mode(trelmox::KinematicMode::Wedge).Secondary.Critical);
    EXPECT_EQ(rows[3]["oblique_critical"], north.mode(trelmox::KinematicMode::DirectToppling).Secondary.Critical);
    EXPECT_GT(rows[1]["secondary_critical"].get<int>() + rows[3]["oblique_critical"].get<int>(), 0);
}

TEST_F(KinematicsCommand, CsvAndTextAndItsRefusals) {
    const CliRun csv = cli({"kinematics", sectors_, measurements_, "--format", "csv", "--lateral", "30"});
    ASSERT_EQ(csv.status, ExitOk) << csv.err;
    EXPECT_THAT(csv.out,
                ::testing::StartsWith("sector,mode,critical,total,percent,critical_set,fs,fs_note,"
                                      "secondary_critical,secondary_percent,oblique_critical,oblique_percent\r\n"
                                      "N,planar,2,8,"));
    const CliRun text = cli({"kinematics", sectors_, measurements_});
    ASSERT_EQ(text.status, ExitOk) << text.err;
    EXPECT_THAT(text.out, HasSubstr("平面滑动"));
    EXPECT_EQ(cli({"kinematics", sectors_, measurements_, "--friction", "90"}).status, ExitUsage);
    EXPECT_EQ(cli({"kinematics", sectors_}).status, ExitUsage);
    std::ofstream(sectors_, std::ios::binary) << "name,dip\nN,60\n";
    const CliRun bad = cli({"kinematics", sectors_, measurements_});
    EXPECT_EQ(bad.status, ExitBlockFailed);
    EXPECT_THAT(bad.err, HasSubstr("dipdir"));
}

// A sector whose wedges could not be worked out says why in the same words
// in every format: the JSON and CSV note and the text's line.
TEST_F(KinematicsCommand, AWedgeWithoutAFactorIsExplainedAlikeInEveryFormat) {
    std::ofstream(sectors_, std::ios::binary) << "name,dip,dipdir,height,top_dip,top_dipdir\nS,50,90,20,70,90\n";
    std::ofstream(measurements_, std::ios::binary) << "set,dip,dipdir\nJ1,40,60\nJ2,40,120\n";
    const std::string note = "no wedge safety factor: the line of intersection of the two planes does not meet the "
                             "upper slope behind the crest: no block can be cut out";
    const CliRun json = cli({"--lang", "en", "kinematics", sectors_, measurements_, "--format", "json"});
    ASSERT_EQ(json.status, ExitOk) << json.err;
    EXPECT_EQ(Json::parse(linesOf(json.out)[1])["fs_note"], note);
    EXPECT_THAT(cli({"--lang", "en", "kinematics", sectors_, measurements_, "--format", "csv"}).out,
                HasSubstr("," + note + ","));
    EXPECT_THAT(cli({"--lang", "en", "kinematics", sectors_, measurements_}).out, HasSubstr("\n  " + note + "\n"));
    EXPECT_THAT(cli({"--lang", "zh", "kinematics", sectors_, measurements_}).out,
                HasSubstr("\n  楔块安全系数未能计算：两切割面的交线不在坡顶线后方与坡顶面相交，不能切除块体\n"));
}

} // namespace
