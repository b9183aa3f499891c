#include "model/block_input.h"

#include <gtest/gtest.h>

#include "model/datafile.h"
#include "model/error.h"
#include "tests/model/test_blocks.h"

using namespace trelmox;

namespace {

// The example block's data file with line `number` (1-based) replaced.
std::string exampleWithLine(int number, const std::string& line) {
    const SavedBlock block = trelmox::testing::exampleBlock();
    std::string text = blockDataText(block.Attitudes, block.Quadrants, block.Params);
    std::size_t start = 0;
    for (int i = 1; i < number; ++i) start = text.find("\r\n", start) + 2;
    return text.replace(start, text.find("\r\n", start) - start, line);
}

} // namespace

// A letter mistaken for another would turn the plane about its strike and
// move every corner while Kc stayed right.
TEST(BlockInput, QuadrantLettersFormTheirCaseOrAreRefused) {
    const struct {
        TPlaneQuadrant plane;
        bool fits;
        QuadrantCase expected;
    } cases[] = {
        {{"N", "15", "E", "S", "E", "45"}, true, QuadrantCase::StrikeEastDipSouthEast},
        {{"N", "15", "E", "N", "W", "45"}, true, QuadrantCase::StrikeEastDipNorthWest},
        {{"N", "35", "W", "S", "W", "70"}, true, QuadrantCase::StrikeWestDipSouthWest},
        {{"N", "35", "W", "N", "E", "70"}, true, QuadrantCase::StrikeWestDipNorthEast},
        {{"N", "15", "E", "S", "W", "45"}, false, {}},
        {{"S", "15", "E", "S", "E", "45"}, false, {}},
        {{"N", "15", "e", "S", "E", "45"}, false, {}},
    };
    for (const auto& c : cases) {
        const std::string letters = c.plane.StrikeNS + c.plane.StrikeEW + c.plane.DipNS + c.plane.DipEW;
        if (!c.fits) {
            EXPECT_THROW(quadrantAttitude(c.plane), Error) << letters;
            continue;
        }
        const QuadrantAttitude attitude = quadrantAttitude(c.plane);
        EXPECT_EQ(attitude.Case, c.expected) << letters;
        EXPECT_EQ(attitude.StrikeAngle, std::stod(c.plane.StrikeAngle)) << letters;
        EXPECT_EQ(attitude.DipAngle, std::stod(c.plane.DipAngle)) << letters;
    }
}

// The windows focus the box an error names, and the tool and the module
// report the field: a text that is not a number names where it came from,
// in the entries and in a data file alike (with the file's line).
TEST(BlockInput, ANumberErrorNamesItsField) {
    const struct {
        int line;
        std::string text;
        std::string field;
    } cases[] = {
        {9, "x", "RockUnitWeight"},          {10, "x", "WaterUnitWeight"},     {11, "x", "SlopeHeight"},
        {12, "1.5", "OverhangCoefficient"},  {15, "x", "Cohesion1"},           {18, "x", "Friction2"},
        {5, "N,1x,E,S,E,45", "StrikeAngle"}, {8, "N,85,W,S,W,6x", "DipAngle"},
    };
    for (const auto& c : cases) {
        try {
            savedBlockFromTexts(parseBlockData(exampleWithLine(c.line, c.text)));
            ADD_FAILURE() << "accepted line " << c.line;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::NumberText) << c.line;
            EXPECT_EQ(e.field(), c.field) << c.line;
            EXPECT_EQ(e.line(), c.line) << c.line;
        }
    }
    TWedgeParams entered = trelmox::testing::workedExampleBlock().Params;
    for (const auto& [member, field] : {std::pair{&TWedgeParams::SlopeHeight, "SlopeHeight"},
                                        {&TWedgeParams::WaterPressure2, "WaterPressure2"},
                                        {&TWedgeParams::OverhangCoefficient, "OverhangCoefficient"}}) {
        TWedgeParams params = entered;
        params.*member = "";
        try {
            parameterNumbers(params);
            ADD_FAILURE() << field;
        } catch (const Error& e) {
            EXPECT_EQ(e.field(), field);
        }
    }
}

// In computed mode the entered pressures' boxes are not read: a text left
// in them can neither stop the analysis nor enter it.
TEST(BlockInput, ComputedModeReadsNoEnteredPressure) {
    TWedgeParams params = trelmox::testing::exampleBlock().Params;
    params.WaterPressure1 = "not a number";
    params.WaterPressure2 = "";
    const BlockParameters numbers = parameterNumbers(params);
    EXPECT_EQ(numbers.WaterPressureMode, TWaterPressureMode::Computed);
    EXPECT_EQ(numbers.WaterPressure1, 0);
    EXPECT_EQ(numbers.WaterPressure2, 0);
}

// The reader converts each text once; what it hands on must be what the
// entries' conversion gives for the same texts, or a block would analyse
// differently from its file and from the windows.
TEST(BlockInput, TheReaderAndTheEntriesGiveTheSameNumbers) {
    for (const SavedBlock& block : {trelmox::testing::exampleBlock(), trelmox::testing::workedExampleBlock()}) {
        const ParsedBlock read =
            savedBlockFromTexts(parseBlockData(blockDataText(block.Attitudes, block.Quadrants, block.Params)));
        EXPECT_EQ(read.Input, blockInput(read));
        EXPECT_EQ(read.Input.Parameters.WaterPressureMode, block.Params.WaterPressureMode);
    }
}
