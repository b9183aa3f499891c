#include "analysis/joints/sectors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/error.h"

namespace trelmox {
namespace {

TEST(SectorFile, ReadsColumnsInAnyOrderWithTheUpperSlopeOptional) {
    const auto sectors = parseSectors("# pit\n"
                                      "dipdir,name,dip,height,top_dip,top_dipdir\n"
                                      "350,北帮,60,20,10,340\n"
                                      "\"170\"，南帮，75，，，\n"
                                      "90;east;100;;5;\n");
    ASSERT_EQ(sectors.size(), 3u);
    EXPECT_EQ(sectors[0].Name, "北帮");
    EXPECT_EQ(sectors[0].Height, 20);
    EXPECT_EQ(sectors[0].TopDipDirection, 340);
    EXPECT_EQ(sectors[1].DipDirection, 170);
    EXPECT_FALSE(sectors[1].Height);
    EXPECT_EQ(sectors[1].TopDip, 0);
    EXPECT_EQ(sectors[2].Dip, 100);            // overhanging
    EXPECT_EQ(sectors[2].TopDipDirection, 90); // the face's when not given
    EXPECT_EQ(sectors[2].Line, 5);
}

TEST(SectorFile, ListsEveryBadLine) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"name,dip\nA,60\n", "name、dip、dipdir"},
        {"name,dip,dipdir,colour\n", "colour"},
        {"name,dip,dipdir\nA,60\n", "第 2 行"},
        {"name,dip,dipdir\nA,190,0\nB,sixty,0\nC,60,0,1\n", "第 4 行"},
        {"name,dip,dipdir,height\nA,60,0,0\n", "坡高"},
        {"name,dip,dipdir\n,60,0\n", "名称"},
        // What the file holds is echoed with its control characters made visible.
        {"name,dip,dipdir\nA\x1b[2J,60,0\n", "名称含有控制字符：“A\\x1B[2J”"},
        {"name,dip,dipdir\nA,6\x0e"
         "0,0\n",
         "“6\\x0E0”不是数"},
        {"name,dip,dipdir\x07\n", "“dipdir\\x07”"},
        {"name,dip,dipdir\n", "没有分区"},
        {"", "表头"},
    };
    for (const auto& c : cases) {
        try {
            parseSectors(c.text);
            ADD_FAILURE() << c.text;
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr(c.message)) << c.text;
        }
    }
}

} // namespace
} // namespace trelmox
