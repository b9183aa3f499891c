#pragma once
// The two-dimensional limit equilibrium of a planar block, per metre of
// slope: a block slides on one plane that daylights in the slope face, cut
// off behind by a vertical tension crack (or by the upper slope where the
// plane reaches it first).
//
// Section through the slope at right angles to its strike: the toe at the
// origin, the face rising at FaceDip to the crest at height H, the upper
// slope rising behind the crest at TopDip, the sliding plane through the toe
// at PlaneDip. The crack stands CrackDistance behind the crest, measured
// horizontally (a negative distance puts it in the face, in front of the
// crest); without a distance it stands where a dry block has its least
// factor, i.e. where the plane's length over the block's weight is least.
//
// Loads, as in the textbooks and as the wedge's full analysis takes them:
// water stands in the crack to WaterFill of its depth zw = fill z, pressing
// horizontally with V = gammaW zw^2 / 2; it seeps along the plane, the
// pressure falling linearly from gammaW zw at the crack's foot to nothing
// at the toe, U = gammaW zw A / 2. The seismic force k W acts horizontally
// out of the slope. A bolt pulls with T per metre, plunging below the
// horizontal into the slope: active, it lessens the driving force and
// presses the block onto the plane; passive, its pull along the plane counts
// as resistance instead. Where the normal force is not positive the block
// lifts off the plane and its factor is 0, as for the wedge.
//
//   Fs = (c A + N f) / D,   N = W (cos p - k sin p) - U - V sin p + T sin(p + b)
//                           D = W (sin p + k cos p) + V cos p - T cos(p + b)
// (passive: T cos(p + b) moves from D into the numerator).
#include <optional>

#include "analysis/full_analysis.h"
#include "model/loads.h"

namespace trelmox {

struct PlanarSlope {
    double Height = 0;                   // H > 0
    double FaceDip = 0, PlaneDip = 0;    // degrees, 0 < PlaneDip < FaceDip <= 90
    double TopDip = 0;                   // degrees, -90 < TopDip < FaceDip; negative falls away
    std::optional<double> CrackDistance; // behind the crest; negative: in the face
    double UnitWeight = 0;               // rock, > 0
    double WaterUnitWeight = 10;         // >= 0
    double WaterFill = 0;                // 0 dry .. 1 full
    double Cohesion = 0, Friction = 0;   // c >= 0, f >= 0 the friction coefficient
    double Seismic = 0;                  // k >= 0
    double BoltForce = 0;                // T >= 0, per metre of slope
    double BoltPlunge = 0;               // degrees below horizontal into the slope, -90..90
    BoltMode Bolt = BoltMode::Active;
};

struct PlanarResult {
    double Factor = 0; // 0 when the block lifts off
    bool LiftOff = false;
    // Set: the factor is not a figure to show (as for the wedge, factorNote).
    std::optional<FactorNote> Note;
    double CrackDistance = 0;   // where the crack stands (behind the crest)
    double CrackDepth = 0;      // z; 0 where the plane reaches the upper slope first
    double Weight = 0;          // W per metre
    double PlaneLength = 0;     // A, from the toe to the crack's foot
    double WaterForcePlane = 0; // U
    double WaterForceCrack = 0; // V
    double NormalForce = 0;     // N, effective
    double DrivingForce = 0;    // D
    double ResistingForce = 0;  // c A + N f (+ a passive bolt's pull)
};

// Throws Error naming the first value out of its range, when the crack lies
// outside the block (in the face below the toe) or cuts off no block (at the
// foot of a vertical face, where the least factor of a vertical face lies
// when no distance is given), when no crack distance is given and the upper
// slope is not flatter than the plane (the block then has no rear end), when
// nothing drives the block down the plane, and for an overflow, naming the
// input it comes from (overflowSource).
PlanarResult planarAnalysis(const PlanarSlope& slope);

} // namespace trelmox
