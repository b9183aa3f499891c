#pragma once
// Limit-equilibrium safety factor Kc of the wedge. All forces are per unit
// area of the wedge's face on the second cutting plane, so only the slope
// height enters, not the corners. Plane 1/2 = first/second cutting plane.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/block.h"
#include "model/block_input.h"

namespace trelmox {

enum class TWedgeContact { NoBlock, BothPlanes, FirstPlaneOnly, SecondPlaneOnly, LiftOff, Unresolved };

// "NoBlock", "BothPlanes", ... as used in machine-readable output.
const char* contactName(TWedgeContact contact);
// The cases that cut out a wedge and work out its factor: contact on both
// planes, on one, or lift-off (whose factor is 0).
inline bool cutsOutWedge(TWedgeContact contact) {
    return contact == TWedgeContact::BothPlanes || contact == TWedgeContact::FirstPlaneOnly ||
           contact == TWedgeContact::SecondPlaneOnly || contact == TWedgeContact::LiftOff;
}
// The message the user is shown for NoBlock and LiftOff; empty otherwise.
std::string contactMessage(TWedgeContact contact);

// The parameters as the computation takes them: in computed mode
// u1 = u2 = (gammaW * H) / 6. They are checked in the order gamma, H, c1,
// c2, f1, f2, gammaW: gamma, c1, c2, f1, f2 and gammaW must not be negative
// and H must be positive, or an Error names the parameter with its label in
// the parameter window ("平面1c值不能为负数", "坡高必须大于零").
struct WedgeNumbers {
    double RockUnitWeight = 0, SlopeHeight = 0, Cohesion1 = 0, Cohesion2 = 0, Friction1 = 0, Friction2 = 0;
    double WaterUnitWeight = 0;
    std::int32_t OverhangCoefficient = 1;
    double WaterPressure1 = 0, WaterPressure2 = 0; // effective u1, u2
    // u1, u2 were computed from the slope height, not entered: a wedge cut
    // down to a smaller height has smaller ones.
    bool WaterPressureFromHeight = false;
    // The real wedge's resistance beside its joints' (kN): shotcrete on the
    // face sheared through along the wedge's trace. Set by the full analysis
    // from its forces; Kc knows none.
    double LiningResistance = 0;
};
// The parameters' numbers checked in that order, with the water pressures
// the mode gives.
WedgeNumbers wedgeNumbers(const BlockParameters& parameters);
// The label of a real-valued parameter by its name in the data
// ("RockUnitWeight": 岩石容重, "rock unit weight"), in the language of the
// messages; and the parameter among the numbers.
const char* wedgeParameterLabel(std::string_view field);
double& wedgeNumberField(WedgeNumbers& numbers, std::string_view field);
// The same checks on numbers that did not come from texts (a sensitivity
// step), in the same order and with the same messages.
void checkWedgeNumbers(const WedgeNumbers& numbers);
// gammaW * H / 6, the water pressure assumed on both planes in computed mode.
double ComputeWaterPressure(double waterUnitWeight, double slopeHeight);

struct SafetyResult {
    double SafetyFactor = 0; // 0 whenever no factor is worked out
    TWedgeContact Contact = TWedgeContact::Unresolved;
};

// The computation on numbers; throws Error on a zero divisor, a negative
// square root or an overflow. Pure and cheap: the probabilistic analysis
// calls it millions of times.
SafetyResult computeSafetyFactor(const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers);

// The computation in its two halves, for analyses that vary the parameters
// but not the attitudes and so need the trigonometry only once. The first
// half depends on the attitudes alone: the upward unit normals A of plane 1,
// B of plane 2 (Bx = 0) and S of the slope face, in a frame whose y axis runs
// along plane 2's dip direction, and the tangent of the slope top's dip.
// computeSafetyFactor(wedgeNormals(a), n) equals computeSafetyFactor(a, n)
// bit for bit, failures included.
struct WedgeNormals {
    double Ax = 0, Ay = 0, Az = 0, By = 0, Bz = 0, Sx = 0, Sy = 0, Sz = 0;
    double TanTop = 0;
};
// Throws Error("Floating point overflow") for an angle beyond the range of a double.
WedgeNormals wedgeNormals(const PlaneAttitudeArray& attitudes);
SafetyResult computeSafetyFactor(const WedgeNormals& normals, const WedgeNumbers& numbers);

// The named intermediate values of the computation, for checking a result
// by hand. Values the computation did not reach stay 0.
struct WedgeTerms {
    double Z = 0, F = 0, T = 0, r = 0;     // cross-product terms, first cut-out quotient
    double m = 0, q = 0, w = 0, e = 0;     // plane terms
    double Na = 0, Nb = 0, N1 = 0, N2 = 0; // effective normal forces
};
// The same computation, also filling `terms`.
SafetyResult computeSafetyFactor(const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers, WedgeTerms& terms);

} // namespace trelmox
