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

// A sector's wedges are either left out by design (a note) or could not be
// worked out (a failure with its kind, which callers decide by), never
// both; a sector with a critical wedge has neither.
TEST(SectorFactors, KeepNotesAndFailuresApart) {
    const std::vector<CandidatePlane> pair = {{"J1", 0, {40, 60}, {}, {}, {}}, {"J2", 0, {40, 120}, {}, {}, {}}};
    std::vector<CandidatePlane> many;
    for (int i = 0; i < 151; ++i) many.push_back({std::to_string(i + 1), i + 1, {20.0 + i % 60, i * 2.0}, {}, {}, {}});
    const struct {
        const char* name;
        SlopeSector sector;
        const std::vector<CandidatePlane>& candidates;
        bool wedge, note;
        std::optional<ErrorKind> failure;
    } cases[] = {
        {"worked out", {"a", 60, 90, 20, 0, 90, 1}, pair, true, false, std::nullopt},
        {"overhanging", {"b", 100, 90, 20, 0, 90, 2}, pair, false, true, std::nullopt},
        {"too many planes", {"c", 60, 90, 20, 0, 90, 3}, many, false, true, std::nullopt},
        // The line of intersection meets no upper slope steeper than the face.
        {"no real wedge", {"d", 50, 90, 20, 70, 90, 4}, pair, false, false, ErrorKind::RefusedInput},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SectorFactors f = sectorFactors(c.sector, c.candidates, 30, 20);
        EXPECT_EQ(f.Wedge.has_value(), c.wedge);
        EXPECT_EQ(!f.WedgeNote.empty(), c.note);
        ASSERT_EQ(f.WedgeFailure.has_value(), c.failure.has_value());
        if (c.failure) EXPECT_EQ(f.WedgeFailure->kind(), *c.failure) << f.WedgeFailure->what();
    }
}

} // namespace
} // namespace trelmox
