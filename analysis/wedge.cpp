#include "analysis/wedge.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "analysis/arithmetic.h"
#include "analysis/computation_counts.h"
#include "analysis/wedge_formula.h"
#include "model/angles.h"
#include "model/checked.h"
#include "model/error.h"
#include "model/language.h"

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
    return noOverflow(drainedWaterPressureOf(waterUnitWeight, slopeHeight));
}

namespace {

// The real-valued parameters in the order of conversion, which decides
// which bad text the user hears about, each with its label in the
// parameter window. A negative weight, cohesion or friction coefficient, or
// a slope that has no height, describes no rock and gives meaningless
// factors (cohesion -1000 gives Kc -7.18), so it is refused.
struct PhysicalParameter {
    double WedgeNumbers::*number;
    double BlockParameters::*given;
    const char* label;
    const char* englishLabel;
    bool mustBePositive;
    const char* field; // as the data names it
};
constexpr PhysicalParameter PhysicalParameters[] = {
    {&WedgeNumbers::RockUnitWeight, &BlockParameters::RockUnitWeight, "岩石容重", "rock unit weight", false,
     "RockUnitWeight"},
    {&WedgeNumbers::SlopeHeight, &BlockParameters::SlopeHeight, "坡高", "slope height", true, "SlopeHeight"},
    {&WedgeNumbers::Cohesion1, &BlockParameters::Cohesion1, "平面1c值", "cohesion of plane 1", false, "Cohesion1"},
    {&WedgeNumbers::Cohesion2, &BlockParameters::Cohesion2, "平面2c值", "cohesion of plane 2", false, "Cohesion2"},
    {&WedgeNumbers::Friction1, &BlockParameters::Friction1, "平面1f值", "friction coefficient of plane 1", false,
     "Friction1"},
    {&WedgeNumbers::Friction2, &BlockParameters::Friction2, "平面2f值", "friction coefficient of plane 2", false,
     "Friction2"},
    {&WedgeNumbers::WaterUnitWeight, &BlockParameters::WaterUnitWeight, "水的容重", "water unit weight", false,
     "WaterUnitWeight"},
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
    for (const PhysicalParameter& p : PhysicalParameters) n.*p.number = parameters.*p.given;
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

// The checks of wedgeFactorOf in the analysis: a failure throws, a block
// not cut out or a contact ends the computation there.
struct ThrowingChecks {
    TWedgeContact Contact = TWedgeContact::Unresolved;
    bool Done = false;
    static double quotient(double dividend, double divisor) { return trelmox::quotient(dividend, divisor); }
    static double overflowChecked(double value) { return noOverflow(value); }
    static double root(double radicand) { return trelmox::root(radicand); }
    void noBlock(bool when) {
        if (when) Contact = TWedgeContact::NoBlock, Done = true;
    }
    bool finished() const { return Done; }
    static bool live() { return true; }
    template <typename F> double inCase(bool when, bool, F f) { return when ? f(*this) : 0; }
    void settleCases(bool both, bool first, bool second, bool lift) {
        Contact = both     ? TWedgeContact::BothPlanes
                  : first  ? TWedgeContact::FirstPlaneOnly
                  : second ? TWedgeContact::SecondPlaneOnly
                  : lift   ? TWedgeContact::LiftOff
                           : TWedgeContact::Unresolved;
    }
};

[[gnu::always_inline]] inline SafetyResult evaluate(const WedgeNormals& normals, const WedgeNumbers& n, WedgeTerms& t) {
    ThrowingChecks checks;
    const double kc = wedgeFactorOf<double>(normals, faceRiseOf(normals.Sz), n, n.OverhangCoefficient, checks, t);
    return {kc, checks.Contact};
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

} // namespace trelmox
