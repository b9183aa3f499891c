#include <gtest/gtest.h>

#include "document/joint_document.h"
#include "model/datafile.h"
#include "report/calculation_report.h"
#include "report/cloud_tables.h"
#include "tests/analysis/cloud/synthetic_cloud.h"
#include "tests/model/test_support.h"

using namespace trelmox;

namespace {

std::shared_ptr<const CloudResult> syntheticRun() {
    test::SyntheticFace face;
    for (test::TrueSet& set : face.Sets) set.Facets = 10;
    face.FaceFacets = 6;
    PointCloud cloud;
    cloud.Points = test::syntheticCloud(face).Points;
    cloud.Format = "XYZ text";
    CloudSettings settings;
    settings.Sets.Sets = 3;
    return std::make_shared<const CloudResult>(*analyseCloud(cloud, settings));
}

// A cloud opens like a measurement file grouped by its sets, combines in a
// slope, and gives way to the next measurement file opened.
TEST(CloudDocument, CloudOpensGroupedBySetsUntilAFileReplacesIt) {
    const auto run = syntheticRun();
    JointDocument joints;
    int changes = 0;
    joints.addListener([&] { ++changes; });
    joints.openCloud(run, "/survey/face.xyz");
    EXPECT_GT(changes, 0);
    ASSERT_TRUE(joints.opened());
    EXPECT_EQ(joints.cloud(), run);
    EXPECT_EQ(joints.grouping(), JointGrouping::Labels);
    ASSERT_EQ(joints.sets().size(), 3u);
    EXPECT_EQ(joints.sets()[0].Stats.MeanPlane, run->Joints.Sets[0].Stats.MeanPlane);
    EXPECT_EQ(joints.measurements().Summary.Sets.size(), 3u);
    EXPECT_TRUE(joints.measurements().Summary.Weighted);
    const SavedBlock block = readSavedBlock(std::string(TRELMOX_TEST_DATA) + "/example_block.txt");
    joints.combine("example", block, combinationSlope(block.Attitudes, parameterNumbers(block.Params), {}));
    ASSERT_TRUE(joints.combinations().has_value());
    EXPECT_EQ(joints.combinations()->Pairs.size(), 3u);
    joints.open(std::string(TRELMOX_TEST_DATA) + "/joint_measurements.csv");
    EXPECT_EQ(joints.cloud(), nullptr);
    // A cloud without joint facets changes nothing.
    auto faceOnly = std::make_shared<CloudResult>(*run);
    faceOnly->Joints.Planes.clear();
    EXPECT_THROW(joints.openCloud(faceOnly, "face.xyz"), Error);
    EXPECT_EQ(joints.file().filename(), "joint_measurements.csv");
}

TEST(CloudDocument, CalculationReportNamesTheCloudAndItsSets) {
    const auto run = syntheticRun();
    CalculationReportInputs inputs;
    inputs.BlockName = "W1";
    inputs.Block = readSavedBlock(std::string(TRELMOX_TEST_DATA) + "/example_block.txt");
    inputs.NoResults = "not analysed";
    inputs.Joints = JointKinematicsInputs{"face.xyz", run->Joints.Planes, run->Joints.Sets, {}, {}};
    inputs.Joints->Cloud = cloudSource(*run, "face.xyz");
    std::string paragraphs;
    std::vector<std::string> setRows;
    for (const ReportSection& section : calculationReport(inputs).Sections)
        for (const ReportItem& item : section.Items) {
            if (const auto* p = std::get_if<ReportParagraph>(&item)) paragraphs += p->Text;
            if (const auto* t = std::get_if<ReportTable>(&item))
                for (const auto& row : t->Rows)
                    if (!row.empty() && row[0].starts_with("J") && row.size() == 8) setRows.push_back(row[0]);
        }
    EXPECT_NE(paragraphs.find("点云 face.xyz"), std::string::npos);
    EXPECT_NE(paragraphs.find("坡面面片"), std::string::npos);
    EXPECT_EQ(setRows, (std::vector<std::string>{"J1", "J2", "J3"}));
}

} // namespace
