#include "analysis/wedge.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "analysis/arithmetic.h"
#include "analysis/computation_counts.h"
#include "model/angles.h"
#include "model/checked.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

const char* contactName(TWedgeContact contact) {
    switch (contact) {
    case TWedgeContact::NoBlock: return "NoBlock";
    case TWedgeContact::BothPlanes: return "BothPlanes";
    case TWedgeContact::FirstPlaneOnly: return "FirstPlaneOnly";
    case TWedgeContact::SecondPlaneOnly: return "SecondPlaneOnly";
    case TWedgeContact::LiftOff: return "LiftOff";
    case TWedgeContact::Unresolved: return "Unresolved";
    }
    return "Unresolved";
}

std::string contactMessage(TWedgeContact contact) {
    switch (contact) {
    case TWedgeContact::NoBlock: return inLanguage("不能切除块体", "no block can be cut out");
    case TWedgeContact::LiftOff:
        return inLanguage("切块与两平面皆失去接触，楔块浮起，安全系数下降为零",
                          "the block loses contact with both planes and lifts off; the safety factor drops to zero");
    default: return {};
    }
}

double ComputeWaterPressure(double waterUnitWeight, double slopeHeight) {
    return noOverflow((waterUnitWeight * slopeHeight) / 6);
}

namespace {

// The real-valued parameters in the order of conversion, which decides
// which bad text the user hears about, each with its label in the
// parameter window. A negative weight, cohesion or friction coefficient, or
// a slope that has no height, describes no rock and gives meaningless
// factors (cohesion -1000 gives Kc -7.18), so it is refused.
struct PhysicalParameter {
    double WedgeNumbers::*number;
    const char* label;
    const char* englishLabel;
    bool mustBePositive;
    const char* field; // as the data names it
};
constexpr PhysicalParameter PhysicalParameters[] = {
    {&WedgeNumbers::RockUnitWeight, "岩石容重", "rock unit weight", false, "RockUnitWeight"},
    {&WedgeNumbers::SlopeHeight, "坡高", "slope height", true, "SlopeHeight"},
    {&WedgeNumbers::Cohesion1, "平面1c值", "cohesion of plane 1", false, "Cohesion1"},
    {&WedgeNumbers::Cohesion2, "平面2c值", "cohesion of plane 2", false, "Cohesion2"},
    {&WedgeNumbers::Friction1, "平面1f值", "friction coefficient of plane 1", false, "Friction1"},
    {&WedgeNumbers::Friction2, "平面2f值", "friction coefficient of plane 2", false, "Friction2"},
    {&WedgeNumbers::WaterUnitWeight, "水的容重", "water unit weight", false, "WaterUnitWeight"},
};

void checkPhysical(const PhysicalParameter& p, double value) {
    const bool english = messageLanguage() == Language::English;
    if (p.mustBePositive && !(value > 0))
        throw Error::refused(english ? std::string(p.englishLabel) + " must be greater than zero"
                                     : std::string(p.label) + "必须大于零",
                             p.field);
    if (value < 0)
        throw Error::refused(english ? std::string(p.englishLabel) + " may not be negative"
                                     : std::string(p.label) + "不能为负数",
                             p.field);
}

} // namespace

const char* wedgeParameterLabel(std::string_view field) {
    for (const PhysicalParameter& p : PhysicalParameters)
        if (field == p.field) return inLanguage(p.label, p.englishLabel);
    return "";
}

double& wedgeNumberField(WedgeNumbers& numbers, std::string_view field) {
    for (const PhysicalParameter& p : PhysicalParameters)
        if (field == p.field) return numbers.*p.number;
    throw std::invalid_argument("no parameter " + std::string(field));
}

void checkWedgeNumbers(const WedgeNumbers& numbers) {
    for (const PhysicalParameter& p : PhysicalParameters) checkPhysical(p, numbers.*p.number);
}

WedgeNumbers wedgeNumbers(const BlockParameters& parameters) {
    WedgeNumbers n;
    n.RockUnitWeight = parameters.RockUnitWeight;
    n.SlopeHeight = parameters.SlopeHeight;
    n.Cohesion1 = parameters.Cohesion1;
    n.Cohesion2 = parameters.Cohesion2;
    n.Friction1 = parameters.Friction1;
    n.Friction2 = parameters.Friction2;
    n.WaterUnitWeight = parameters.WaterUnitWeight;
    checkWedgeNumbers(n);
    n.OverhangCoefficient = parameters.OverhangCoefficient;
    if (parameters.WaterPressureMode == TWaterPressureMode::Entered) {
        n.WaterPressure1 = parameters.WaterPressure1;
        n.WaterPressure2 = parameters.WaterPressure2;
    } else {
        n.WaterPressure1 = n.WaterPressure2 = ComputeWaterPressure(n.WaterUnitWeight, n.SlopeHeight);
        n.WaterPressureFromHeight = true;
    }
    return n;
}

WedgeNumbers readWedgeNumbers(const TWedgeParams& params) { return wedgeNumbers(parameterNumbers(params)); }

namespace {

double radians(double degrees) { return radiansOf<double>(degrees); }

// The normals of the wedge's planes; azimuths are taken relative to plane
// 2's dip direction.
[[gnu::always_inline]] inline WedgeNormals normalsOf(const PlaneAttitudeArray& attitudes) {
    const TPlaneAttitude& plane1 = attitudes[int(TPlaneRole::FirstCuttingPlane)];
    const TPlaneAttitude& plane2 = attitudes[int(TPlaneRole::SecondCuttingPlane)];
    const TPlaneAttitude& top = attitudes[int(TPlaneRole::SlopeTopSurface)];
    const TPlaneAttitude& face = attitudes[int(TPlaneRole::SlopeFace)];
    WedgeNormals n;
    const double alpha2 = radians(plane2.DipDirection);
    const auto psi1 = sinCosOfDegrees<double>(plane1.DipAngle);
    const double rel1 = noOverflow(radians(plane1.DipDirection) - alpha2);
    n.Ax = psi1.sin * std::sin(rel1), n.Ay = psi1.sin * std::cos(rel1), n.Az = psi1.cos;
    const auto psi2 = sinCosOfDegrees<double>(plane2.DipAngle);
    n.By = psi2.sin, n.Bz = psi2.cos;
    const auto psiF = sinCosOfDegrees<double>(face.DipAngle);
    const double relF = noOverflow(radians(face.DipDirection) - alpha2);
    n.Sx = psiF.sin * std::sin(relF), n.Sy = psiF.sin * std::cos(relF), n.Sz = psiF.cos;
    n.TanTop = tanOfDegrees(top.DipAngle);
    return n;
}

// Every step is one double evaluation in the order written, so that the
// results agree digit for digit with the hand-checked figures. Only the
// values that can leave the finite range are tested: the trigonometric terms
// are bounded by construction.
[[gnu::always_inline]] inline SafetyResult evaluate(const WedgeNormals& normals, const WedgeNumbers& n, WedgeTerms& t) {
    const auto [Ax, Ay, Az, By, Bz, Sx, Sy, Sz, tanTop] = normals;
    SafetyResult result;
    t.Z = Ax * By;
    t.F = Sx * Ay - Sy * Ax;
    t.T = (Sz * Ax - Sx * Az) * By + Bz * t.F;

    // Cut-out tests: the line of intersection must daylight in the face and
    // pass under the slope top.
    t.r = quotient(n.OverhangCoefficient * t.T, t.Z);
    if (t.r > 0) {
        result.Contact = TWedgeContact::NoBlock;
        return result;
    }
    if (tanTop > quotient(std::sqrt(1 - Sz * Sz), Sz - t.r)) {
        result.Contact = TWedgeContact::NoBlock;
        return result;
    }

    t.m = Ay * By + Az * Bz;
    t.q = 1 - t.m * t.m;
    t.w = quotient(noOverflow(n.RockUnitWeight * n.SlopeHeight * t.T), 3 * t.F);
    t.e = quotient(-1 * By * Sx, t.F);
    const double u1 = n.WaterPressure1, u2 = n.WaterPressure2;
    const double absE = std::fabs(t.e);
    const double wq = quotient(t.w, t.q);
    t.Na = quotient(noOverflow((wq * (Az - t.m * Bz) - t.e * u1) * t.e), absE);
    t.Nb = noOverflow(wq * (Bz - t.m * Az) - u2);
    t.N1 = quotient(noOverflow((t.w * Az - t.m * u2 - t.e * u1) * t.e), absE);
    t.N2 = noOverflow(t.w * Bz - t.m * t.e * u1 - u2);

    if (t.Na > 0 && t.Nb > 0) {
        result.Contact = TWedgeContact::BothPlanes;
        const double resisting =
            noOverflow(root(t.q) * ((absE * n.Cohesion1 + (t.Na * n.Friction1 + t.Nb * n.Friction2)) + n.Cohesion2));
        result.SafetyFactor = quotient(resisting, std::fabs(t.w * t.Z));
    } else if (t.Nb < 0 && t.N1 > 0) {
        result.Contact = TWedgeContact::FirstPlaneOnly;
        const double driving2 =
            noOverflow((t.w * t.w) * (1 - Az * Az) + (u2 * u2) * t.q + (t.m * Az - Bz) * 2 * t.w * u2);
        result.SafetyFactor = quotient(noOverflow(absE * n.Cohesion1 + t.N1 * n.Friction1), root(driving2));
    } else if (t.Na < 0 && t.N2 > 0) {
        result.Contact = TWedgeContact::SecondPlaneOnly;
        const double driving2 =
            noOverflow((t.w * t.w) * (By * By) + (u1 * u1) * (t.e * t.e) * t.q + (t.m * Bz - Az) * 2 * t.e * t.w * u1);
        result.SafetyFactor = quotient(noOverflow(t.N2 * n.Friction2 + n.Cohesion2), root(driving2));
    } else if (t.N1 < 0 && t.N2 < 0) {
        result.Contact = TWedgeContact::LiftOff;
    } else {
        result.Contact = TWedgeContact::Unresolved;
    }
    return result;
}

} // namespace

SafetyResult computeSafetyFactor(const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers) {
    ++computationCounts().Kc;
    WedgeTerms unused; // dead stores, removed once inlined
    return evaluate(normalsOf(attitudes), numbers, unused);
}

SafetyResult computeSafetyFactor(const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers, WedgeTerms& terms) {
    return evaluate(normalsOf(attitudes), numbers, terms);
}

WedgeNormals wedgeNormals(const PlaneAttitudeArray& attitudes) { return normalsOf(attitudes); }

SafetyResult computeSafetyFactor(const WedgeNormals& normals, const WedgeNumbers& numbers) {
    WedgeTerms unused;
    return evaluate(normals, numbers, unused);
}

SafetyResult account(const PlaneAttitudeArray& attitudes, const TWedgeParams& params) {
    return computeSafetyFactor(attitudes, readWedgeNumbers(params));
}

} // namespace trelmox
