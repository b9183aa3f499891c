#include "analysis/wedge.h"

#include <gtest/gtest.h>

#include "model/numtext.h"
#include "tests/model/test_support.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using trelmox::testing::enteredParams;
using trelmox::testing::exampleAttitudes;
using trelmox::testing::exampleParams;
using trelmox::testing::messageOf;

namespace {

std::string accountError(const PlaneAttitudeArray& attitudes, const TWedgeParams& params) {
    return messageOf([&] { computeSafetyFactor(attitudes, wedgeNumbers(parameterNumbers(params))); });
}

} // namespace

TEST(Account, CoversEveryContactCaseOfTheReferenceWedge) {
    const struct {
        const char* name;
        TWedgeParams params;
        PlaneAttitudeArray attitudes;
        TWedgeContact contact;
        double kc;
    } cases[] = {
        {"computed water", exampleParams(), exampleAttitudes(), TWedgeContact::BothPlanes, 1.1891},
        {"dry", enteredParams("0", "0"), exampleAttitudes(), TWedgeContact::BothPlanes, 1.6823},
        {"100 and 100", enteredParams("100", "100"), exampleAttitudes(), TWedgeContact::BothPlanes, 0.9282},
        {"0 and 300", enteredParams("0", "300"), exampleAttitudes(), TWedgeContact::FirstPlaneOnly, 0.4952},
        {"300 and 0", enteredParams("300", "0"), exampleAttitudes(), TWedgeContact::SecondPlaneOnly, 0.7614},
        {"300 and 300", enteredParams("300", "300"), exampleAttitudes(), TWedgeContact::LiftOff, 0},
        // Na exactly 0: no case's strict comparisons hold.
        {"no normal force on plane 1", enteredParams("188.35783382274997", "65.4"), exampleAttitudes(),
         TWedgeContact::Unresolved, 0},
        {"overhanging face",
         [] {
             auto p = exampleParams();
             p.OverhangCoefficient = "-1";
             return p;
         }(),
         exampleAttitudes(), TWedgeContact::NoBlock, 0},
        {"overhang 2",
         [] {
             auto p = exampleParams();
             p.OverhangCoefficient = "2";
             return p;
         }(),
         exampleAttitudes(), TWedgeContact::BothPlanes, 1.1891},
        {"slope top dip 34", exampleParams(),
         [] {
             auto a = exampleAttitudes();
             a[2].DipAngle = 34;
             return a;
         }(),
         TWedgeContact::BothPlanes, 1.1891},
        {"slope top dip 35", exampleParams(),
         [] {
             auto a = exampleAttitudes();
             a[2].DipAngle = 35;
             return a;
         }(),
         TWedgeContact::NoBlock, 0},
        {"slope top dip direction", exampleParams(),
         [] {
             auto a = exampleAttitudes();
             a[2].DipDirection = 17;
             return a;
         }(),
         TWedgeContact::BothPlanes, 1.1891},
    };
    for (const auto& c : cases) {
        const SafetyResult r = computeSafetyFactor(c.attitudes, wedgeNumbers(parameterNumbers(c.params)));
        EXPECT_EQ(r.Contact, c.contact) << c.name;
        EXPECT_NEAR(r.SafetyFactor, c.kc, 5e-5) << c.name;
    }
}

TEST(Account, SlopeTopMayDipUpToTheApparentPlungeOfTheIntersection) {
    auto attitudes = exampleAttitudes();
    attitudes[2].DipAngle = 34.25;
    EXPECT_EQ(computeSafetyFactor(attitudes, wedgeNumbers(parameterNumbers(exampleParams()))).Contact,
              TWedgeContact::BothPlanes);
    attitudes[2].DipAngle = 34.27;
    EXPECT_EQ(computeSafetyFactor(attitudes, wedgeNumbers(parameterNumbers(exampleParams()))).Contact,
              TWedgeContact::NoBlock);
}

TEST(ComputeSafetyFactor, IntermediateTermsOfTheReferenceWedge) {
    WedgeTerms t;
    const SafetyResult r = computeSafetyFactor(exampleAttitudes(), wedgeNumbers(parameterNumbers(exampleParams())), t);
    const struct {
        const char* name;
        double actual, expected;
    } terms[] = {
        {"Z", t.Z, -0.5090},    {"F", t.F, 0.6311},    {"T", t.T, 0.4621},     {"r", t.r, -0.9078},
        {"m", t.m, -0.1853},    {"q", t.q, 0.9657},    {"w", t.w, 244.0410},   {"e", t.e, 1.0337},
        {"Na", t.Na, 127.1041}, {"Nb", t.Nb, 54.1396}, {"N1", t.N1, 117.0740}, {"N2", t.N2, 30.5918},
    };
    for (const auto& term : terms) EXPECT_NEAR(term.actual, term.expected, 5e-5) << term.name;
    // The fast form gives the same result bit for bit.
    const SafetyResult fast = computeSafetyFactor(exampleAttitudes(), wedgeNumbers(parameterNumbers(exampleParams())));
    EXPECT_EQ(fast.SafetyFactor, r.SafetyFactor);
    EXPECT_EQ(floatToText(r.SafetyFactor), "1.18912355743381");
}

TEST(ComputeSafetyFactor, DegenerateAttitudesStopWithTheArithmeticMessage) {
    const struct {
        const char* name;
        PlaneAttitudeArray attitudes;
        const char* message;
    } cases[] = {
        {"plane 1 dips like plane 2",
         {{{45, 235}, {70, 235}, {12, 195}, {65, 185}}},
         "Floating point division by zero"},
        {"plane 1 horizontal", {{{0, 105}, {70, 235}, {12, 195}, {65, 185}}}, "Floating point division by zero"},
        {"plane 2 horizontal", {{{45, 105}, {0, 235}, {12, 195}, {65, 185}}}, "Floating point division by zero"},
        {"both cutting planes horizontal",
         {{{0, 105}, {0, 235}, {12, 195}, {65, 185}}},
         "Invalid floating point operation"},
        {"steep face dips like plane 2",
         {{{45, 105}, {70, 235}, {12, 195}, {80, 235}}},
         "Invalid floating point operation"},
        {"angle beyond range", {{{45, 105}, {70, 1e308}, {12, 195}, {65, 185}}}, "Floating point overflow"},
    };
    for (const auto& c : cases) EXPECT_EQ(accountError(c.attitudes, exampleParams()), c.message) << c.name;
}

TEST(ComputeSafetyFactor, HugeParametersOverflowInsteadOfGivingAFactor) {
    const struct {
        const char* name;
        std::string TWedgeParams::*field;
        const char* text;
    } cases[] = {
        {"weight of the wedge", &TWedgeParams::RockUnitWeight, "1e307"},
        {"computed water pressure", &TWedgeParams::WaterUnitWeight, "1e307"},
        {"cohesion", &TWedgeParams::Cohesion1, "1.75e308"},
        {"friction", &TWedgeParams::Friction2, "1e307"},
    };
    for (const auto& c : cases) {
        TWedgeParams params = exampleParams();
        params.*c.field = c.text;
        EXPECT_EQ(accountError(exampleAttitudes(), params), "Floating point overflow") << c.name;
    }
    // An enormous water pressure on plane 2 pushes the wedge onto plane 1,
    // whose driving force then squares it.
    EXPECT_EQ(accountError(exampleAttitudes(), enteredParams("0", "1e300")), "Floating point overflow");
    // The same pressure on both planes lifts the wedge off without overflowing.
    EXPECT_EQ(computeSafetyFactor(exampleAttitudes(), wedgeNumbers(parameterNumbers(enteredParams("1e300", "1e300"))))
                  .Contact,
              TWedgeContact::LiftOff);
}

TEST(ReadWedgeNumbers, TheFirstBadTextInConversionOrderIsReported) {
    // Conversion order, each field's bad text and the message it gives.
    const struct {
        std::string TWedgeParams::*field;
        const char* message;
    } order[] = {
        {&TWedgeParams::RockUnitWeight, "'b1' is not a valid floating point value"},
        {&TWedgeParams::SlopeHeight, "'b2' is not a valid floating point value"},
        {&TWedgeParams::Cohesion1, "'b3' is not a valid floating point value"},
        {&TWedgeParams::Cohesion2, "'b4' is not a valid floating point value"},
        {&TWedgeParams::Friction1, "'b5' is not a valid floating point value"},
        {&TWedgeParams::Friction2, "'b6' is not a valid floating point value"},
        {&TWedgeParams::WaterUnitWeight, "'b7' is not a valid floating point value"},
        {&TWedgeParams::OverhangCoefficient, "'b8' is not a valid integer value"},
        {&TWedgeParams::WaterPressure1, "'b9' is not a valid floating point value"},
        {&TWedgeParams::WaterPressure2, "'b10' is not a valid floating point value"},
    };
    const int count = int(std::size(order));
    for (int bad = 0; bad < count; ++bad) {
        TWedgeParams params = enteredParams("0", "0");
        for (int later = bad; later < count; ++later) params.*order[later].field = "b" + std::to_string(later + 1);
        EXPECT_EQ(messageOf([&] { wedgeNumbers(parameterNumbers(params)); }), order[bad].message);
    }
}

TEST(ReadWedgeNumbers, TextsThatAreNotTheRightKindOfNumber) {
    const struct {
        const char* name;
        std::string TWedgeParams::*field;
        const char* text;
        const char* message;
    } cases[] = {
        {"empty box", &TWedgeParams::SlopeHeight, "", "'' is not a valid floating point value"},
        {"real overhang", &TWedgeParams::OverhangCoefficient, "1.0", "'1.0' is not a valid integer value"},
        {"overhang beyond 32 bits", &TWedgeParams::OverhangCoefficient, "2147483648",
         "'2147483648' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        TWedgeParams params = exampleParams();
        params.*c.field = c.text;
        EXPECT_EQ(messageOf([&] { wedgeNumbers(parameterNumbers(params)); }), c.message) << c.name;
    }
}

TEST(ReadWedgeNumbers, RefusesValuesNoRockCanHave) {
    // Cohesion -1000 once gave Kc -7.18 as if it were a result.
    const struct {
        std::string TWedgeParams::*field;
        const char* text;
        const char* message; // "" accepted
    } cases[] = {
        {&TWedgeParams::Cohesion1, "-1000", "平面1c值不能为负数"},
        {&TWedgeParams::Cohesion2, "-1e-300", "平面2c值不能为负数"},
        {&TWedgeParams::Friction1, "-0.1", "平面1f值不能为负数"},
        {&TWedgeParams::Friction2, "-5", "平面2f值不能为负数"},
        {&TWedgeParams::RockUnitWeight, "-25", "岩石容重不能为负数"},
        {&TWedgeParams::WaterUnitWeight, "-9.81", "水的容重不能为负数"},
        {&TWedgeParams::SlopeHeight, "0", "坡高必须大于零"},
        {&TWedgeParams::SlopeHeight, "-40", "坡高必须大于零"},
        {&TWedgeParams::SlopeHeight, "-0", "坡高必须大于零"},
        {&TWedgeParams::Cohesion1, "0", ""},
        {&TWedgeParams::Friction2, "-0", ""},
        {&TWedgeParams::WaterUnitWeight, "0", ""},
        {&TWedgeParams::SlopeHeight, "1e-300", ""},
        // Not a number keeps the conversion's own message.
        {&TWedgeParams::Cohesion1, "-", "'-' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        TWedgeParams params = exampleParams();
        params.*c.field = c.text;
        EXPECT_EQ(messageOf([&] { wedgeNumbers(parameterNumbers(params)); }), c.message) << c.text;
        EXPECT_EQ(accountError(exampleAttitudes(), params), c.message) << c.text;
    }
    // The first bad value in conversion order is reported, a bad text
    // included: the height comes before the cohesions.
    TWedgeParams params = exampleParams();
    params.Cohesion1 = "-1";
    params.SlopeHeight = "x";
    EXPECT_EQ(messageOf([&] { wedgeNumbers(parameterNumbers(params)); }), "'x' is not a valid floating point value");
    params.SlopeHeight = "0";
    EXPECT_EQ(messageOf([&] { wedgeNumbers(parameterNumbers(params)); }), "坡高必须大于零");
}

TEST(ReadWedgeNumbers, ComputedModeIgnoresTheWaterPressureBoxes) {
    TWedgeParams params = exampleParams();
    params.WaterPressure1 = "";
    params.WaterPressure2 = "not a number";
    params.ComputedWaterPressure1 = "x";
    const WedgeNumbers n = wedgeNumbers(parameterNumbers(params));
    EXPECT_EQ(n.WaterPressure1, (9.81 * 40) / 6);
    EXPECT_EQ(n.WaterPressure2, (9.81 * 40) / 6);
    EXPECT_EQ(n.OverhangCoefficient, 1);

    const WedgeNumbers e = wedgeNumbers(parameterNumbers(enteredParams("12.5", "-3")));
    EXPECT_EQ(e.WaterPressure1, 12.5);
    EXPECT_EQ(e.WaterPressure2, -3);
}

TEST(Contact, NamesAndMessages) {
    const struct {
        TWedgeContact contact;
        const char* name;
        const char* message;
    } cases[] = {
        {TWedgeContact::NoBlock, "NoBlock", "不能切除块体"},
        {TWedgeContact::BothPlanes, "BothPlanes", ""},
        {TWedgeContact::FirstPlaneOnly, "FirstPlaneOnly", ""},
        {TWedgeContact::SecondPlaneOnly, "SecondPlaneOnly", ""},
        {TWedgeContact::LiftOff, "LiftOff", "切块与两平面皆失去接触，楔块浮起，安全系数下降为零"},
        {TWedgeContact::Unresolved, "Unresolved", ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(contactName(c.contact), c.name);
        EXPECT_EQ(contactMessage(c.contact), c.message) << c.name;
    }
}
