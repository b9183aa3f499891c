// Every kind of failure carries its source, so that callers decide by it and
// never by the message: the arithmetic fault, the field of a text that is not
// a number or a value out of range, the data-file line, the file's errno.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "analysis/full_analysis.h"
#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sectors.h"
#include "analysis/planar.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/wedge.h"
#include "model/checked.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"

using namespace trelmox;

namespace {

TWedgeParams params() {
    TWedgeParams p;
    p.RockUnitWeight = "25", p.WaterUnitWeight = "9.81", p.SlopeHeight = "40", p.OverhangCoefficient = "1";
    p.WaterPressure1 = p.WaterPressure2 = "10";
    p.Cohesion1 = p.Cohesion2 = "24", p.Friction1 = p.Friction2 = "0.5";
    return p;
}

PlanarSlope planarSlope(double planeDip, double boltForce) {
    PlanarSlope s;
    s.Height = 20, s.FaceDip = 60, s.PlaneDip = planeDip, s.UnitWeight = 26, s.Friction = 0.6;
    s.BoltForce = boltForce, s.BoltPlunge = 0;
    return s;
}

TWedgeParams withText(std::string TWedgeParams::*field, const std::string& text) {
    TWedgeParams p = params();
    p.*field = text;
    return p;
}

Error failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& failure) {
        return failure;
    }
    ADD_FAILURE() << "nothing thrown";
    return Error("");
}

} // namespace

TEST(ErrorKinds, EachFailureNamesItsSource) {
    const struct {
        const char* name;
        std::function<void()> action;
        ErrorKind kind;
        ArithmeticFault fault;
        const char* field;
        int line;
        int systemError;
    } cases[] = {
        {"division by zero", [] { checkedDiv(1.0, 0.0); }, ErrorKind::Arithmetic, ArithmeticFault::DivisionByZero, "",
         0, 0},
        {"zero over zero", [] { checkedDiv(0.0, 0.0); }, ErrorKind::Arithmetic, ArithmeticFault::InvalidOperation, "",
         0, 0},
        {"negative root", [] { checkedSqrt(-1.0); }, ErrorKind::Arithmetic, ArithmeticFault::InvalidOperation, "", 0,
         0},
        {"angle beyond a double's range",
         [] {
             computeSafetyFactor(PlaneAttitudeArray{{{45, 1e308}, {70, 235}, {12, 195}, {65, 185}}},
                                 wedgeNumbers(parameterNumbers(params())));
         },
         ErrorKind::Arithmetic, ArithmeticFault::Overflow, "", 0, 0},
        {"number text alone", [] { textToFloat("4O"); }, ErrorKind::NumberText, ArithmeticFault::None, "", 0, 0},
        {"number text of a parameter", [] { wedgeNumbers(parameterNumbers(withText(&TWedgeParams::Cohesion2, "x"))); },
         ErrorKind::NumberText, ArithmeticFault::None, "Cohesion2", 0, 0},
        {"integer text of a parameter",
         [] { wedgeNumbers(parameterNumbers(withText(&TWedgeParams::OverhangCoefficient, "1.5"))); },
         ErrorKind::NumberText, ArithmeticFault::None, "OverhangCoefficient", 0, 0},
        {"value out of range", [] { wedgeNumbers(parameterNumbers(withText(&TWedgeParams::SlopeHeight, "0"))); },
         ErrorKind::RefusedInput, ArithmeticFault::None, "SlopeHeight", 0, 0},
        {"number text on a data-file line",
         [] {
             BlockDataTexts texts = parseBlockData(
                 "45,105\r\n70,235\r\n12,195\r\n65,185\r\nN,15,E,S,E,45\r\nN,35,W,S,W,70\r\nN,75,W,S,W,12\r\n"
                 "N,85,W,S,W,65\r\n25\r\n9.81\r\n4O\r\n1\r\nj,65.4\r\nj,65.4\r\n24\r\n0.364\r\n48\r\n0.577\r\n");
             savedBlockFromTexts(texts);
         },
         ErrorKind::NumberText, ArithmeticFault::None, "SlopeHeight", 11, 0},
        {"missing file", [] { readFileBytes("/nonexistent-folder-of-trelmox/block.txt"); }, ErrorKind::File,
         ArithmeticFault::None, "", 0, ENOENT},
        // The joints' files and checks: the first bad line stands for the list.
        {"sector's dip out of range", [] { parseSectors("name,dip,dipdir\nA,60,10\nB,200,10\nC,x,10\n"); },
         ErrorKind::RefusedInput, ArithmeticFault::None, "dip", 3, 0},
        {"sector's direction not a number", [] { parseSectors("name,dipdir,dip\nA,1O5,60\n"); }, ErrorKind::NumberText,
         ArithmeticFault::None, "dipdir", 2, 0},
        {"measured angle not a number", [] { parseMeasurements("45,120\n4O,30\n"); }, ErrorKind::NumberText,
         ArithmeticFault::None, "", 2, 0},
        {"checks' friction angle out of range",
         [] {
             validateKinematicSlope({60, 0, 90, 20});
         },
         ErrorKind::RefusedInput, ArithmeticFault::None, "friction", 0, 0},
        {"planar plane steeper than the face", [] { planarAnalysis(planarSlope(65, 0)); }, ErrorKind::RefusedInput,
         ArithmeticFault::None, "plane-dip", 0, 0},
        {"planar block held up by its bolt", [] { planarAnalysis(planarSlope(30, 1e6)); }, ErrorKind::Arithmetic,
         ArithmeticFault::NoDrivingForce, "", 0, 0},
    };
    for (const auto& c : cases) {
        const Error failure = failureOf(c.action);
        EXPECT_EQ(failure.kind(), c.kind) << c.name;
        EXPECT_EQ(failure.fault(), c.fault) << c.name;
        EXPECT_EQ(failure.field(), c.field) << c.name;
        EXPECT_EQ(failure.line(), c.line) << c.name;
        EXPECT_EQ(failure.systemError(), c.systemError) << c.name;
    }
}

// A failed sample is classified by its fault; the message it carries is the
// one the lanes report for that outcome.
TEST(ErrorKinds, SampleOutcomeFollowsTheFault) {
    const struct {
        ArithmeticFault fault;
        SampleOutcome outcome;
    } cases[] = {{ArithmeticFault::DivisionByZero, SampleOutcome::DivisionByZero},
                 {ArithmeticFault::InvalidOperation, SampleOutcome::InvalidOperation},
                 {ArithmeticFault::Overflow, SampleOutcome::Overflow},
                 {ArithmeticFault::NoDrivingForce, SampleOutcome::NoDriving}};
    for (const auto& c : cases) {
        // The message is deliberately not the outcome's: only the fault counts.
        EXPECT_EQ(outcomeOfFailure(Error::arithmetic("?", c.fault)), c.outcome);
    }
}
