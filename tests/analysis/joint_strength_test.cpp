#include "analysis/joint_strength.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "analysis/forces.h"
#include "analysis/full_analysis.h"
#include "analysis/support.h"
#include "analysis/vec3.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using trelmox::testing::exampleAttitudes;
using trelmox::testing::exampleParams;

namespace {

double tanDeg(double degrees) { return std::tan(degrees * std::numbers::pi / 180); }

JointStrength barton(double jrc, double jcs, double phiR, double waviness = 0) {
    JointStrength s;
    s.Model = StrengthModel::BartonBandis;
    s.Jrc = jrc, s.Jcs = jcs, s.ResidualFriction = phiR, s.Waviness = waviness;
    return s;
}

JointStrength power(double a, double b, double c, double d) {
    JointStrength s;
    s.Model = StrengthModel::PowerCurve;
    s.PowerA = a, s.PowerB = b, s.PowerC = c, s.PowerD = d;
    return s;
}

JointStrength mohrCoulomb(double waviness) {
    JointStrength s;
    s.Waviness = waviness;
    return s;
}

// Hoek's closed form of the original criterion (a = 0.5) in terms of the
// normal stress: tau = (cot phi - cos phi) mb sigci / 8 with
// phi = atan(1 / sqrt(4 h cos^2 theta - 1)), h = 1 + 16 (mb sigma_n + s sigci) / (3 mb^2 sigci),
// theta = (90 + atan(1 / sqrt(h^3 - 1))) / 3 degrees.
EnvelopePoint hoek1983(double sigci, double mb, double s, double sigmaN) {
    const double h = 1 + 16 * (mb * sigmaN + s * sigci) / (3 * mb * mb * sigci);
    const double theta = (std::numbers::pi / 2 + std::atan(1 / std::sqrt(h * h * h - 1))) / 3;
    const double phi = std::atan(1 / std::sqrt(4 * h * std::cos(theta) * std::cos(theta) - 1));
    const double tau = (1 / std::tan(phi) - std::cos(phi)) * mb * sigci / 8;
    return {tau, tau - sigmaN * std::tan(phi), phi};
}

TEST(JointStrength, EachModelAgainstItsFormulaWorkedByHand) {
    const struct {
        const char* name;
        JointStrength strength;
        double cohesion, friction, sigmaN, tau;
    } cases[] = {
        // 28 + 8 log10(50000 / 500) = 44 degrees.
        {"Barton-Bandis", barton(8, 50000, 28), 0, 0, 500, 500 * tanDeg(44)},
        {"Barton-Bandis, low stress", barton(8, 50000, 28), 0, 0, 50, 50 * tanDeg(52)},
        // 30 + 20 log10(10^4) = 110 degrees, capped at 70.
        {"Barton-Bandis, capped", barton(20, 100000, 30), 0, 0, 10, 10 * tanDeg(70)},
        // Beyond JCS the asperities are crushed: the residual angle.
        {"Barton-Bandis, beyond JCS", barton(8, 50000, 28), 0, 0, 60000, 60000 * tanDeg(28)},
        {"Barton-Bandis, no stress", barton(8, 50000, 28), 0, 0, 0, 0},
        {"Barton-Bandis with waviness", barton(8, 50000, 28, 5), 0, 0, 500, 500 * tanDeg(49)},
        {"Barton-Bandis, waviness within the cap", barton(8, 50000, 28, 30), 0, 0, 50, 50 * tanDeg(70)},
        // 2 sqrt(300 + 100) + 10.
        {"power curve", power(2, 0.5, -100, 10), 0, 0, 300, 50},
        {"power curve below c", power(2, 0.5, 100, 10), 0, 0, 50, 10},
        {"Mohr-Coulomb", JointStrength{}, 20, 0.5, 100, 70},
        {"Mohr-Coulomb with waviness", mohrCoulomb(10), 20, tanDeg(30), 100, 20 + 100 * tanDeg(40)},
        {"Mohr-Coulomb, waviness up to 70", mohrCoulomb(10), 20, tanDeg(65), 100, 20 + 100 * tanDeg(70)},
        {"Mohr-Coulomb steeper than 70 keeps its angle", mohrCoulomb(10), 20, tanDeg(75), 100, 20 + 100 * tanDeg(75)},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(jointShearStrength(c.strength, c.cohesion, c.friction, c.sigmaN), c.tau, 1e-10 * (1 + c.tau))
            << c.name;
        // The plane's force is the strength at N / A times A.
        EXPECT_NEAR(planeResistance(c.strength, c.cohesion, c.friction, c.sigmaN * 7.5, 7.5), c.tau * 7.5,
                    1e-10 * (1 + c.tau * 7.5))
            << c.name;
    }
}

TEST(JointStrength, PowerCurveTangent) {
    // Slope a b (sigma_n - c)^(b - 1) = 2 * 0.5 / 20 at sigma_n = 300.
    const EnvelopePoint p = powerCurveAt(power(2, 0.5, -100, 10), 300);
    EXPECT_NEAR(std::tan(p.Friction), 0.05, 1e-15);
    EXPECT_NEAR(p.Cohesion, 50 - 300 * 0.05, 1e-12);
    // Waviness of 10 degrees on the tangent.
    JointStrength wavy = power(2, 0.5, -100, 10);
    wavy.Waviness = 10;
    EXPECT_NEAR(jointShearStrength(wavy, 0, 0, 300), 35 + 300 * std::tan(std::atan(0.05) + 10 * std::numbers::pi / 180),
                1e-10);
}

TEST(JointStrength, HoekBrownInstantaneousAgainstClosedForms) {
    const struct {
        double sigci, mb, s, sigmaN;
    } cases[] = {{50000, 1, 0.001, 500}, {50000, 5, 0.01, 2000},    {100000, 10, 1, 100},
                 {20000, 0.5, 0, 10},    {80000, 2.5, 0.0001, 1e5}, {50000, 1, 0.001, 0}};
    for (const auto& c : cases) {
        const EnvelopePoint got = hoekBrownAt(c.sigci, c.mb, c.s, 0.5, c.sigmaN);
        const EnvelopePoint want = hoek1983(c.sigci, c.mb, c.s, c.sigmaN);
        EXPECT_NEAR(got.Shear, want.Shear, 1e-11 * want.Shear) << c.sigmaN;
        EXPECT_NEAR(got.Friction, want.Friction, 1e-11) << c.sigmaN;
        EXPECT_NEAR(got.Cohesion, want.Cohesion, 1e-10 * want.Shear) << c.sigmaN;
    }
    // a = 1: sigma1 = (1 + mb) sigma3 + s sigci, Mohr-Coulomb with
    // sin(phi) = mb / (2 + mb) and c = s sigci / (2 sqrt(1 + mb)).
    const EnvelopePoint linear = hoekBrownAt(50000, 3, 0.01, 1, 800);
    EXPECT_NEAR(std::sin(linear.Friction), 3.0 / 5, 1e-14);
    EXPECT_NEAR(linear.Cohesion, 500 / (2 * std::sqrt(4.0)), 1e-9);
    EXPECT_NEAR(linear.Shear, linear.Cohesion + 800 * std::tan(linear.Friction), 1e-9);
    // Without tensile strength (s = 0) and no stress, nothing.
    EXPECT_EQ(hoekBrownAt(50000, 1, 0, 0.55, 0).Shear, 0);
    // Along the envelope of a = 0.6 the strength rises and the angle falls.
    double shear = 0, angle = std::numbers::pi;
    for (double sigmaN : {1.0, 10.0, 100.0, 1000.0, 10000.0}) {
        const EnvelopePoint p = hoekBrownAt(50000, 2, 0.001, 0.6, sigmaN);
        EXPECT_GT(p.Shear, shear);
        EXPECT_LT(p.Friction, angle);
        shear = p.Shear, angle = p.Friction;
    }
}

struct Wedge {
    PlaneAttitudeArray Attitudes;
    WedgeNumbers Numbers;
};

// Wedges that exist, both planes in contact or one, with and without water.
std::vector<Wedge> someWedges() {
    std::mt19937_64 random(23);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto between = [&](double lo, double hi) { return lo + (hi - lo) * unit(random); };
    std::vector<Wedge> wedges;
    while (wedges.size() < 200) {
        Wedge w{{{{between(20, 80), between(0, 360)},
                  {between(20, 80), between(0, 360)},
                  {between(0, 20), between(0, 360)},
                  {between(50, 89), between(0, 360)}}},
                wedgeNumbers(parameterNumbers(exampleParams()))};
        w.Numbers.WaterPressure1 *= between(0, 1.5), w.Numbers.WaterPressure2 *= between(0, 1.5);
        const FullAnalysis a = analyseWedge(w.Attitudes, w.Numbers, WedgeLoads{});
        if (!a.Refusal && a.Safety.Factor > 0) wedges.push_back(w);
    }
    return wedges;
}

// Each non-linear model where it reduces to a line gives Mohr-Coulomb's
// factor, on wedges resting on both planes and on one.
TEST(JointStrength, ReducedModelsGiveMohrCoulombsFactor) {
    const struct {
        const char* name;
        JointStrength strength;
        double cohesion, friction;
    } cases[] = {
        {"Barton-Bandis with JRC 0", barton(0, 50000, 31), 0, tanDeg(31)},
        {"power curve with b = 1", power(0.6, 1, 0, 15), 15, 0.6},
        {"power curve with b = 1 shifted", power(0.6, 1, -50, 0), 30, 0.6},
    };
    for (const auto& c : cases)
        for (const Wedge& w : someWedges()) {
            WedgeNumbers linear = w.Numbers;
            linear.Cohesion1 = linear.Cohesion2 = c.cohesion;
            linear.Friction1 = linear.Friction2 = c.friction;
            WedgeLoads loads;
            loads.Strength = {c.strength, c.strength};
            const FullAnalysis plain = analyseWedge(w.Attitudes, linear, WedgeLoads{});
            const FullAnalysis modelled = analyseWedge(w.Attitudes, w.Numbers, loads);
            EXPECT_EQ(modelled.Safety.Contact, plain.Safety.Contact) << c.name;
            EXPECT_NEAR(modelled.Safety.Factor, plain.Safety.Factor, 1e-12 * (1 + plain.Safety.Factor)) << c.name;
        }
}

// Each plane's shear is its own strength at its own mean normal stress.
TEST(JointStrength, FactorFromEachPlanesStrengthAtItsMeanStress) {
    WedgeLoads loads;
    loads.Strength = {barton(8, 50000, 28, 4), power(1.2, 0.7, -20, 5)};
    const WedgeNumbers n = wedgeNumbers(parameterNumbers(exampleParams()));
    const FullAnalysis a = analyseWedge(exampleAttitudes(), n, loads);
    ASSERT_EQ(a.Safety.Contact, TWedgeContact::BothPlanes);
    const double a1 = a.Shape.Faces[int(WedgeSurface::FirstPlane)].Area;
    const double a2 = a.Shape.Faces[int(WedgeSurface::SecondPlane)].Area;
    const double s1 = a.Safety.Normal1 / a1, s2 = a.Safety.Normal2 / a2;
    const double tau1 = s1 * tanDeg(28 + 8 * std::log10(50000 / s1) + 4);
    const double tau2 = 1.2 * std::pow(s2 + 20, 0.7) + 5;
    EXPECT_NEAR(a.Safety.Shear1, tau1 * a1, 1e-9 * tau1 * a1);
    EXPECT_NEAR(a.Safety.Shear2, tau2 * a2, 1e-9 * tau2 * a2);
    EXPECT_NEAR(a.Safety.Factor, (tau1 * a1 + tau2 * a2) / a.Safety.Driving, 1e-12);
}

// The support design, numerical for a non-linear strength, brings the
// factor to the required one and no lower force does.
TEST(JointStrength, BoltForceForNonLinearStrengthReachesTheFactor) {
    WedgeLoads loads;
    loads.Strength = {barton(6, 30000, 25), barton(6, 30000, 25)};
    loads.Water = WaterMode::Saturated;
    const WedgeNumbers n = wedgeNumbers(parameterNumbers(exampleParams()));
    const FullAnalysis a = analyseWedge(exampleAttitudes(), n, loads);
    const double required = 1.5;
    ASSERT_LT(a.Safety.Factor, required);
    const auto factorWith = [&](const DesignBolt& bolt, double force) {
        WedgeLoads bolted = loads;
        bolted.Bolts.push_back({force, bolt.Direction, bolt.Mode});
        return analyseWedge(exampleAttitudes(), n, bolted).Safety.Factor;
    };
    double least = HUGE_VAL;
    for (const BoltMode mode : {BoltMode::Active, BoltMode::Passive})
        for (const LineDirection d : {LineDirection{5, 10}, LineDirection{340, 30}, LineDirection{20, -10}}) {
            const DesignBolt bolt{d, mode};
            const auto force = requiredBoltForce(a, n, loads.Strength, bolt, required);
            ASSERT_TRUE(force) << d.Trend;
            EXPECT_GE(factorWith(bolt, *force), required);
            EXPECT_GE(factorWith(bolt, *force * (1 + BoltForceMargin)), required);
            EXPECT_LT(factorWith(bolt, *force * (1 - 1e-6)), required);
            if (mode == BoltMode::Active) least = std::min(least, *force);
        }
    const auto best = leastBoltForce(a, n, loads.Strength, BoltMode::Active, required);
    ASSERT_TRUE(best);
    EXPECT_LE(best->Force, least * (1 + 1e-9));
    EXPECT_GE(factorWith({best->Direction, BoltMode::Active}, best->Force), required);
}

// Where the power curve's stress crosses c the strength once jumped: below
// c it was d + sigma_n tan(i), just above it the curve's tangent, near
// vertical, took no waviness, so moving c by 1e-15 across a plane's stress
// changed Fs from 0.95 to 1.09. The envelope is continuous there: below c
// the curve is d, and the waviness turns the tangent about (c, d).
TEST(JointStrength, ThePowerCurveWithWavinessIsContinuousAtC) {
    const struct { double b, waviness; } cases[] = {{0.5, 10}, {0.8, 25}, {1, 10}, {1.5, 20}, {0.2, 40}};
    const WedgeNumbers n = wedgeNumbers(parameterNumbers(exampleParams()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.b);
        JointStrength curve = power(2, c.b, 150, 10);
        curve.Waviness = c.waviness;
        EXPECT_EQ(jointShearStrength(curve, 0, 0, 100), 10); // below c: d
        // Across c it rises as the curve without waviness does (steeply for
        // a small b), no more.
        const auto rise = [](const JointStrength& s, double from, double to) {
            return jointShearStrength(s, 0, 0, to) - jointShearStrength(s, 0, 0, from);
        };
        JointStrength flat = curve;
        flat.Waviness = 0;
        const double lo = 150 * (1 - 1e-12), hi = 150 * (1 + 1e-12);
        EXPECT_GE(rise(curve, lo, hi), 0);
        EXPECT_LE(rise(curve, lo, hi), rise(flat, lo, hi) + 1e-9) << "at c";
        // c moved across the second plane's stress changes the factor no
        // more than it does without waviness.
        const auto factors = [&](const JointStrength& s) {
            WedgeLoads loads;
            loads.Strength[1] = s;
            const FullAnalysis plain = analyseWedge(exampleAttitudes(), n, loads);
            const double sigma2 = plain.Safety.Normal2 / plain.Shape.Faces[int(WedgeSurface::SecondPlane)].Area;
            std::array<double, 2> fs{};
            for (int side = 0; side < 2; ++side) {
                loads.Strength[1].PowerC = sigma2 * (side ? 1 + 1e-15 : 1 - 1e-15);
                fs[side] = analyseWedge(exampleAttitudes(), n, loads).Safety.Factor;
            }
            return std::fabs(fs[1] - fs[0]);
        };
        EXPECT_LE(factors(curve), factors(flat) + 1e-9);
    }
}

// The envelope of every model, with and without waviness, over random
// parameters: it never falls as sigma_n rises, and it does not jump where
// the model changes its formula (c, JCS) beyond what the curve itself rises
// there. Barton-Bandis with a residual angle below about 9 degrees falls
// toward JCS by its formula; the power curve with waviness, turned about
// its tangents, fell for b below about 0.15 and above 2.
TEST(JointStrength, EveryEnvelopeRisesWithTheNormalStress) {
    std::mt19937_64 random(41);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto between = [&](double lo, double hi) { return lo + (hi - lo) * unit(random); };
    int fell = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        JointStrength s;
        s.Model = static_cast<StrengthModel>(trial % 4);
        s.Waviness = unit(random) < 0.25 ? 0 : between(0, 89);
        double cohesion = between(0, 100), friction = between(0, 3), top = std::pow(10, between(0, 6));
        std::vector<double> edges{0};
        switch (s.Model) {
        case StrengthModel::MohrCoulomb: break;
        case StrengthModel::BartonBandis:
            s.Jrc = between(0, 20), s.Jcs = std::pow(10, between(2, 6)), s.ResidualFriction = between(0, 50);
            top = 3 * s.Jcs, edges.push_back(s.Jcs);
            if (bartonBandisFalls(s)) { // the vector lanes know no such formula
                WedgeLoads loads;
                loads.Strength[1] = s;
                EXPECT_TRUE(needsScalarFull(loads));
            }
            break;
        case StrengthModel::PowerCurve:
            s.PowerA = std::pow(10, between(-2, 2)), s.PowerB = between(0.02, 3);
            s.PowerC = unit(random) < 0.3 ? 0 : between(-200, 200), s.PowerD = between(0, 50);
            top = std::max(top, 3 * s.PowerC), edges.push_back(std::max(s.PowerC, 0.0));
            break;
        case StrengthModel::HoekBrown:
            s.Sigci = std::pow(10, between(3, 6)), s.Mb = std::pow(10, between(-2, 1.5));
            s.S = unit(random) < 0.3 ? 0 : between(0, 1), s.HoekA = between(0.5, 1);
            break;
        }
        JointStrength plain = s;
        plain.Waviness = 0;
        const auto tau = [&](const JointStrength& m, double sigma) {
            return jointShearStrength(m, cohesion, friction, sigma);
        };
        double previous = tau(s, 0);
        for (int k = 1; k <= 1500; ++k) {
            const double sigma = top * std::pow(k / 1500.0, 3);
            const double now = tau(s, sigma);
            ASSERT_TRUE(std::isfinite(now));
            if (now < previous - 1e-12 * std::max(1.0, std::fabs(now))) {
                ++fell;
                ADD_FAILURE() << "model " << int(s.Model) << " waviness " << s.Waviness << " at " << sigma << ": "
                              << previous << " to " << now << " (power " << s.PowerA << ' ' << s.PowerB << ' '
                              << s.PowerC << ' ' << s.PowerD << ", Barton-Bandis " << s.Jrc << ' ' << s.Jcs << ' '
                              << s.ResidualFriction << ')';
                break;
            }
            previous = now;
        }
        for (double edge : edges)
            if (edge > 0) {
                const double lo = edge * (1 - 1e-10), hi = edge * (1 + 1e-10);
                const double rise = tau(plain, hi) - tau(plain, lo) + 2e-10 * edge * (1 + std::tan(radians(70)));
                EXPECT_LE(std::fabs(tau(s, hi) - tau(s, lo)), rise + 1e-9 * std::max(1.0, tau(s, hi)))
                    << "model " << int(s.Model) << " jumps at " << edge;
            }
    }
    EXPECT_EQ(fell, 0);
}

} // namespace
