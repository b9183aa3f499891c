#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "analysis/cloud/cloud_analysis.h"
#include "analysis/joints/combinations.h"
#include "model/datafile.h"
#include "model/files.h"
#include "report/cloud_tables.h"
#include "tests/analysis/cloud/cloud_files.h"
#include "tests/analysis/cloud/synthetic_cloud.h"
#include "tests/cli/cli_run.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using namespace trelmox::cli::testing;
using trelmox::testing::TempFolder;

namespace {

CliRun tool(const std::vector<std::string>& args) { return trelmox::cli::testing::cli(args); }

// A face with three sets, as a binary PLY.
std::filesystem::path syntheticFile(const TempFolder& folder) {
    test::SyntheticFace face;
    face.Sets[0].Facets = face.Sets[1].Facets = face.Sets[2].Facets = 12;
    face.FaceFacets = 8;
    return test::writeFile(folder.path() / "face.ply", test::binaryPly(test::syntheticCloud(face).Points, false));
}

TEST(CloudCommand, JsonRowsCarryTheKeysAndTheFaceComesLast) {
    TempFolder folder;
    const CliRun run = tool({"cloud", syntheticFile(folder).string(), "--format", "json", "--sets", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<nlohmann::ordered_json> facets, sets;
    for (const std::string& line : linesOf(run.out)) {
        const auto row = nlohmann::ordered_json::parse(line);
        (row.contains("facet") ? facets : sets).push_back(row);
    }
    const auto keys = [](const nlohmann::ordered_json& row) {
        std::vector<std::string> names;
        for (const auto& [key, value] : row.items()) names.push_back(key);
        return names;
    };
    ASSERT_FALSE(facets.empty());
    EXPECT_EQ(keys(facets[0]), (std::vector<std::string>{"facet", "dip", "dipdir", "area", "extent", "x", "y", "z",
                                                         "rms", "points", "set"}));
    ASSERT_EQ(sets.size(), 4u);
    EXPECT_EQ(keys(sets[0]),
              (std::vector<std::string>{"set", "dip", "dipdir", "k", "cone95", "count", "area", "extent_mean"}));
    EXPECT_EQ(sets[0]["set"], "J1");
    EXPECT_EQ(sets[3]["set"], FaceLabel);
    EXPECT_NEAR(sets[3]["dip"].get<double>(), 70, 3);
    EXPECT_GT(facets[0]["area"].get<double>(), facets.back()["area"].get<double>());
}

// The measurement file written from a cloud reads back as the very sets of
// the run, and so gives combinations the same to the last bit.
TEST(CloudCommand, MeasurementFileGivesTheCombinationsOfTheSetsInMemory) {
    TempFolder folder;
    const std::filesystem::path points = syntheticFile(folder);
    const std::filesystem::path measurements = folder.path() / "joints.csv";
    const CliRun run = tool({"cloud", points.string(), "--measurements-out", measurements.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const CloudResult memory = *analyseCloud(readCloudFile(points), {});
    const MeasurementFile file = readMeasurementFile(measurements);
    const std::vector<JointSet> fileSets = labelledSets(file.Planes);
    ASSERT_EQ(fileSets.size(), memory.Joints.Sets.size());
    const SavedBlock block = readSavedBlock(Example);
    const CombinationSlope slope = combinationSlope(block.Attitudes, parameterNumbers(block.Params), {});
    const std::vector<CandidatePlane> fromMemory = setCandidates(memory.Joints.Planes, memory.Joints.Sets);
    const std::vector<CandidatePlane> fromFile = setCandidates(file.Planes, fileSets);
    for (std::size_t i = 0; i < fromFile.size(); ++i) {
        EXPECT_EQ(fromFile[i].Label, fromMemory[i].Label);
        EXPECT_EQ(fromFile[i].Plane, fromMemory[i].Plane);
        EXPECT_EQ(fromFile[i].Kappa, fromMemory[i].Kappa);
    }
    const std::vector<PlanePair> a = combinePlanes(fromMemory, slope), b = combinePlanes(fromFile, slope);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].First, b[i].First);
        EXPECT_EQ(a[i].Second, b[i].Second);
        EXPECT_EQ(pairFs(a[i]), pairFs(b[i]));
        EXPECT_EQ(pairKc(a[i]), pairKc(b[i]));
    }
    // The tools read it as it is.
    EXPECT_EQ(tool({"combinations", Example, measurements.string(), "--sets", "labels"}).status, 0);
}

TEST(CloudCommand, FacetsPlyReadsBackColouredBySet) {
    TempFolder folder;
    const std::filesystem::path ply = folder.path() / "facets.ply";
    const CliRun run = tool({"cloud", syntheticFile(folder).string(), "--voxel", "0.05", "--facets-out", ply.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const PointCloud coloured = readCloudFile(ply);
    EXPECT_EQ(coloured.Colours.size(), coloured.Points.size());
    EXPECT_NE(std::find(coloured.Colours.begin(), coloured.Colours.end(), cloudSetColour(1)), coloured.Colours.end());
    EXPECT_NE(std::find(coloured.Colours.begin(), coloured.Colours.end(), cloudSetColour(0)), coloured.Colours.end());
}

TEST(CloudCommand, UsageAndFileFailures) {
    TempFolder folder;
    const std::string points = syntheticFile(folder).string();
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"cloud", points, "--sets", "auto:0"}, 2, "--sets"},
        {{"cloud", points, "--sets", "three"}, 2, "--sets"},
        {{"cloud", points, "--neighbours", "2"}, 2, "--neighbours"},
        {{"cloud", points, "--voxel", "-1"}, 2, "--voxel"},
        {{"cloud", points, "--frame", "XYZ"}, 2, "frame"},
        {{"cloud", points, "--weight", "volume"}, 2, "--weight"},
        {{"cloud", points, "--facets-out", points}, 2, "must not be the point cloud"},
        {{"cloud"}, 2, "give one point cloud file"},
        {{"cloud", (folder.path() / "missing.ply").string()}, 1, "missing.ply"},
        {{"cloud", test::writeFile(folder.path() / "bad.xyz", "1 2 3\n4 5\n").string()}, 1, "bad.xyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::vector<std::string> english = {"--lang", "en"};
        english.insert(english.end(), c.args.begin(), c.args.end());
        const CliRun run = tool(english);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

} // namespace
