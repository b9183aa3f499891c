#include "report/full_report.h"

#include <gtest/gtest.h>

#include "model/files.h"
#include "model/language.h"
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

// The lines of the face's and the top's pressure directions, which no
// golden file holds, in their place after the pressures in both languages.
TEST(FullReport, PressureDirectionsInTheirPlace) {
    WedgeLoads loads;
    loads.FacePressure = 12, loads.TopPressure = 3;
    loads.FacePressureDirection = LineDirection{10, -20};
    loads.TopPressureDirection = LineDirection{200, 35};
    const SavedBlock block = trelmox::testing::exampleBlock();
    const struct {
        Language language;
        const char* lines;
    } cases[] = {
        {Language::Chinese,
         "\r\n坡面压力方向:\t方位角\t10°\t倾伏角\t-20°\r\n坡顶面压力方向:\t方位角\t200°\t倾伏角\t35°\r\n"},
        {Language::English, "\r\nslope face pressure direction:\ttrend\t10°\tplunge\t-20°\r\n"
                            "upper slope pressure direction:\ttrend\t200°\tplunge\t35°\r\n"},
    };
    for (const auto& c : cases) {
        setMessageLanguage(c.language);
        const std::string text = fullReportText("x", block, runBlock(blockInput(block), loads));
        EXPECT_NE(text.find(c.lines), std::string::npos) << text;
    }
    setMessageLanguage(Language::Chinese);
}
