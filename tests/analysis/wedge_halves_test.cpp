#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <map>
#include <random>
#include <string>

#include "analysis/wedge.h"
#include "model/error.h"

using namespace trelmox;

namespace {

// The outcome of one computation: result bits or the failure message.
std::string outcome(const std::function<SafetyResult()>& compute) {
    try {
        const SafetyResult r = compute();
        return std::string(contactName(r.Contact)) + " " + std::to_string(std::bit_cast<std::uint64_t>(r.SafetyFactor));
    } catch (const Error& e) {
        return e.what();
    }
}

} // namespace

// Random attitudes and parameters over every contact case and the failures
// (the dip directions snap to 5 degrees so that plane 1 often dips along
// plane 2's dip direction or the face along it, and zero divisors occur).
TEST(WedgeHalves, AgreeBitForBitWithTheWholeComputation) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> dip(0, 90), unit(0, 1);
    std::uniform_int_distribution<int> direction(0, 72);
    std::map<std::string, int> seen;
    for (int i = 0; i < 20000; ++i) {
        PlaneAttitudeArray a;
        for (TPlaneAttitude& plane : a) plane = {i % 7 == 0 ? 90.0 : dip(random), 5.0 * direction(random)};
        WedgeNumbers n;
        n.RockUnitWeight = 25 * unit(random);
        n.SlopeHeight = 60 * unit(random);
        n.Cohesion1 = 50 * unit(random), n.Cohesion2 = 50 * unit(random);
        n.Friction1 = unit(random), n.Friction2 = unit(random);
        n.OverhangCoefficient = i % 5 == 0 ? -1 : 1;
        n.WaterPressure1 = 300 * unit(random), n.WaterPressure2 = 300 * unit(random);
        const std::string whole = outcome([&] { return computeSafetyFactor(a, n); });
        ASSERT_EQ(outcome([&] { return computeSafetyFactor(wedgeNormals(a), n); }), whole) << "sample " << i;
        ++seen[whole.substr(0, whole.find(' '))];
    }
    for (const char* kind : {"NoBlock", "BothPlanes", "FirstPlaneOnly", "SecondPlaneOnly", "LiftOff", "Floating"})
        EXPECT_GT(seen[kind], 0) << kind;
}
