#include "report/full_report.h"

#include <gtest/gtest.h>

#include "model/files.h"
#include "model/textcodec.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::goldenBytes;
using trelmox::testing::TempFolder;

namespace {

// The example block with a crack, saturated water, seismic load, a force,
// bolts of both kinds and a bolt to design.
WedgeLoads exampleLoads() {
    WedgeLoads l;
    l.Water = WaterMode::Saturated;
    l.Crack = TensionCrack{{80, 10}, 5, 4};
    l.SeismicCoefficient = 0.1;
    l.Forces = {{500, {150, 20}}};
    l.Bolts = {{800, {330, 15}, BoltMode::Active}, {600, {340, 10}, BoltMode::Passive}};
    l.Design = DesignBolt{{340, 15}, BoltMode::Active};
    return l;
}

} // namespace

TEST(FullReport, GoldenFileIsByteExact) {
    TempFolder folder;
    const FullReportInputs in = fullReportInputs("example", trelmox::testing::exampleBlock(), exampleLoads());
    writeFullReport(folder.path(), in);
    EXPECT_EQ(readFileBytes(folder.path() / "example三维分析.txt"), goldenBytes("example_full_report.txt"));
}

TEST(FullReport, ARefusedWedgeSaysWhyAndStillGivesKc) {
    SavedBlock block = trelmox::testing::exampleBlock();
    block.Attitudes[2] = {33, 150}; // steeper than the line of intersection in its own direction
    const std::string text = fullReportText(fullReportInputs("x", block, WedgeLoads{}));
    EXPECT_NE(text.find("\r\n两切割面的交线不在坡顶线后方与坡顶面相交，不能切除块体\r\n"), std::string::npos);
    EXPECT_EQ(text.find("第四部分"), std::string::npos);
    EXPECT_NE(text.find("Kc（坡顶面取水平于坡高处）:\t1.18912355743381\t双面接触\r\n"), std::string::npos);
}
