#include "report/full_report.h"

#include <gtest/gtest.h>

#include "model/files.h"
#include "model/textcodec.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using trelmox::testing::exampleLoads;
using trelmox::testing::goldenBytes;
using trelmox::testing::TempFolder;

TEST(FullReport, GoldenFileIsByteExact) {
    TempFolder folder;
    writeFullReport(folder.path(), "example", trelmox::testing::exampleBlock(),
                    runBlock(blockInput(trelmox::testing::exampleBlock()), exampleLoads()));
    EXPECT_EQ(readFileBytes(folder.path() / "example三维分析.txt"), goldenBytes("example_full_report.txt"));
}

TEST(FullReport, ARefusedWedgeSaysWhyAndStillGivesKc) {
    SavedBlock block = trelmox::testing::exampleBlock();
    block.Attitudes[2] = {33, 150}; // steeper than the line of intersection in its own direction
    const std::string text = fullReportText("x", block, runBlock(blockInput(block), WedgeLoads{}));
    EXPECT_NE(text.find("\r\n两切割面的交线不在坡顶线后方与坡顶面相交，不能切除块体\r\n"), std::string::npos);
    EXPECT_EQ(text.find("第四部分"), std::string::npos);
    EXPECT_NE(text.find("Kc（坡顶面取水平于坡高处）:\t1.18912355743381\t双面接触\r\n"), std::string::npos);
}
