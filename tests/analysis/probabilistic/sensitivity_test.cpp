#include <gtest/gtest.h>

#include <cmath>

#include "analysis/probabilistic/sensitivity.h"
#include "tests/support/example_block.h"
#include "model/error.h"

using namespace trelmox;
using namespace trelmox::testing;

TEST(Parameters, NamesAndFieldsAreOneToOne) {
    BlockInputs inputs = blockInputs(exampleAttitudes(), parameterNumbers(enteredParams("1", "2")));
    for (int i = 0; i < ParameterCount; ++i) {
        const auto p = static_cast<Parameter>(i);
        EXPECT_EQ(parameterFromName(parameterName(p)), p);
        parameterField(inputs, p) = 1000 + i;
    }
    for (int i = 0; i < ParameterCount; ++i) EXPECT_EQ(parameterValue(inputs, static_cast<Parameter>(i)), 1000 + i);
    EXPECT_EQ(inputs.Attitudes[3].DipDirection, 1000 + static_cast<int>(Parameter::DipDirFace));
    EXPECT_EQ(inputs.Numbers.WaterPressure2, 1000 + static_cast<int>(Parameter::WaterPressure2));
    EXPECT_FALSE(parameterFromName("Dip1"));
    EXPECT_FALSE(parameterFromName(""));
}

TEST(Sensitivity, RunsOneInputOverTheRangeWithTheOthersHeld) {
    const auto steps =
        runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), Parameter::SlopeHeight, 20, 60, 4);
    ASSERT_EQ(steps.size(), 5u);
    const double values[] = {20, 30, 40, 50, 60};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].Value, values[i]);
        ASSERT_TRUE(steps[i].Result);
        EXPECT_EQ(steps[i].Result->Contact, TWedgeContact::BothPlanes);
    }
    // Each step is the deterministic analysis of the block with that height;
    // computed water pressures follow the height.
    for (const SensitivityStep& step : steps) {
        TWedgeParams params = exampleParams();
        params.SlopeHeight = std::to_string(static_cast<int>(step.Value));
        EXPECT_EQ(step.Result->SafetyFactor,
                  computeSafetyFactor(exampleAttitudes(), wedgeNumbers(parameterNumbers(params))).SafetyFactor)
            << step.Value;
    }
}

TEST(Sensitivity, GivesTheFullFactorBesideKc) {
    const auto steps =
        runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), Parameter::Seismic, 0, 0.3, 3);
    const FullAnalysis plain =
        analyseWedge(exampleAttitudes(), wedgeNumbers(parameterNumbers(exampleParams())), WedgeLoads{});
    ASSERT_TRUE(steps.front().Full);
    EXPECT_EQ(steps.front().Full->Factor, plain.Safety.Factor);
    for (std::size_t i = 1; i < steps.size(); ++i) {
        ASSERT_TRUE(steps[i].Full && steps[i].Result);
        EXPECT_LT(steps[i].Full->Factor, steps[i - 1].Full->Factor);
        EXPECT_EQ(steps[i].Result->SafetyFactor, steps[0].Result->SafetyFactor);
    }
}

TEST(Sensitivity, ReportsContactChangesAndFailedSteps) {
    // u2 from 0 to 300 with u1 = 0: both planes, then plane 1 alone.
    const auto water = runSensitivity(exampleAttitudes(), parameterNumbers(enteredParams("0", "0")),
                                      Parameter::WaterPressure2, 0, 300, 3);
    EXPECT_NEAR(water.front().Result->SafetyFactor, 1.6823, 1e-4);
    EXPECT_EQ(water.back().Result->Contact, TWedgeContact::FirstPlaneOnly);
    EXPECT_NEAR(water.back().Result->SafetyFactor, 0.4952, 1e-4);
    // Plane 1 dipping along plane 2's dip direction (235) has no line of intersection.
    const auto turn =
        runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), Parameter::DipDir1, 200, 270, 2);
    ASSERT_EQ(turn.size(), 3u);
    EXPECT_EQ(turn[1].Value, 235);
    EXPECT_FALSE(turn[1].Result);
    ASSERT_TRUE(turn[1].Failure);
    EXPECT_STREQ(turn[1].Failure->what(), "Floating point division by zero");
    EXPECT_EQ(turn[1].Failure->fault(), ArithmeticFault::DivisionByZero);
    EXPECT_TRUE(turn[0].Result && turn[2].Result);
    EXPECT_FALSE(turn[0].Failure);
}

TEST(Sensitivity, StepsOutsideThePhysicalRangeFailAsTheirTextsWould) {
    // The height may start at 0 (inside 0..inf), where no slope exists.
    const auto height =
        runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), Parameter::SlopeHeight, 0, 40, 2);
    ASSERT_EQ(height.size(), 3u);
    EXPECT_FALSE(height[0].Result);
    ASSERT_TRUE(height[0].Failure);
    EXPECT_STREQ(height[0].Failure->what(), "坡高必须大于零");
    EXPECT_EQ(height[0].Failure->kind(), ErrorKind::RefusedInput);
    EXPECT_TRUE(height[1].Result && height[2].Result);
    // A cohesion of 0 is a rock without cohesion, not an error.
    const auto cohesion =
        runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), Parameter::Cohesion1, 0, 10, 1);
    EXPECT_TRUE(cohesion[0].Result);
}

TEST(Sensitivity, RefusesBadRanges) {
    struct Case {
        TWedgeParams params;
        Parameter input;
        double from, to;
        int steps;
        const char* message;
    } cases[] = {
        {exampleParams(), Parameter::Dip1, 30, 60, 0, "the number of steps must lie between 1 and 1000000"},
        // INT_MAX steps once grew past a gigabyte and overflowed the step counter.
        {exampleParams(), Parameter::Dip1, 30, 60, 2147483647, "the number of steps must lie between 1 and 1000000"},
        {exampleParams(), Parameter::Dip1, 30, 95, 10, "dip1: 95 lies outside 0..90"},
        {exampleParams(), Parameter::Friction2, -1, 1, 10, "f2: -1 lies outside 0..∞"},
        {exampleParams(), Parameter::WaterPressure2, 0, 100, 10, "u2 cannot vary"},
    };
    for (const Case& c : cases) {
        try {
            runSensitivity(exampleAttitudes(), parameterNumbers(c.params), c.input, c.from, c.to, c.steps);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, std::string(c.message).size()), c.message) << e.what();
        }
    }
}

// A cohesion near the largest double once gave Fs inf and 稳定 where the
// analysis itself fails with overflow.
TEST(Sensitivity, FactorsBeyondTheRangeOfADoubleFailAsOverflow) {
    const auto steps =
        runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), Parameter::Cohesion1, 5e306, 1e307, 2);
    for (const SensitivityStep& s : steps) {
        std::vector<std::optional<Error>> failures{s.FullFailure};
        if (!s.Result) failures.push_back(s.Failure);
        for (const auto& failure : failures) {
            ASSERT_TRUE(failure) << s.Value;
            EXPECT_STREQ(failure->what(), "Floating point overflow") << s.Value;
            EXPECT_EQ(failure->fault(), ArithmeticFault::Overflow) << s.Value;
        }
        if (s.Result) EXPECT_TRUE(std::isfinite(s.Result->SafetyFactor)) << s.Value;
        EXPECT_FALSE(s.Full) << s.Value;
    }
}

// A block whose size limits bind: every step's Fs is that of the scaled
// wedge, whichever input runs, and a size limit run from 0 fails its first
// step as the companion file would refuse it.
TEST(Sensitivity, FullFactorOfABlockWithSizeLimitsIsTheScaledWedges) {
    WedgeLoads loads;
    loads.Size.FaceTrace[0] = 30;
    for (const Parameter p : {Parameter::Friction1, Parameter::FaceTrace1}) {
        SCOPED_TRACE(parameterName(p));
        const auto steps = runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), loads, p, 0, 60, 3);
        ASSERT_EQ(steps.size(), 4u);
        for (const SensitivityStep& step : steps) {
            BlockInputs inputs = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()), loads);
            parameterField(inputs, p) = step.Value;
            if (p == Parameter::FaceTrace1 && step.Value == 0) {
                ASSERT_TRUE(step.FullFailure);
                EXPECT_STREQ(step.FullFailure->what(), "平面1在坡面上的迹长应大于零，现为0");
                EXPECT_EQ(step.FullFailure->kind(), ErrorKind::RefusedInput);
                continue;
            }
            ASSERT_TRUE(step.Full) << (step.FullFailure ? step.FullFailure->what() : "");
            EXPECT_EQ(step.Full->Factor, evaluateFull(inputs).Safety.Factor) << step.Value;
        }
    }
}
