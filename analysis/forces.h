#pragma once
// The forces on the real wedge, as vectors in the block frame (x east, y
// north, z up). All act through the centroid: the analysis balances forces,
// not moments, so only their sums matter.
#include <string>
#include <vector>

#include "analysis/bolt_capacity.h"
#include "analysis/polyhedron.h"
#include "analysis/wedge.h"
#include "model/loads.h"

namespace trelmox {

struct WedgeForces {
    TPoint3D Weight;                     // rock unit weight x volume, down
    TPoint3D Water1, Water2, CrackWater; // pushing the wedge off the cutting planes and the crack
    TPoint3D PondFace, PondTop;          // water standing outside the slope, on the submerged face and top
    TPoint3D ShotcreteWeight;            // the lining on the face, down
    double LiningResistance = 0;         // kN: the lining sheared through along the wedge's trace on the face
    double Pressure1 = 0, Pressure2 = 0; // average water pressure on each cutting plane's face
    double CrackWaterDepth = 0;          // water standing in the crack, as used (saturated mode)
    // The water asked for would stand above the lowest point where the crack
    // is open, and spills there; the crack is open on the slope face, where
    // it drains (saturated mode with a crack).
    bool CrackSpills = false, CrackOpenOnFace = false;
    // The crack cannot hold its water - it would stand above the crack's
    // outcrop on the slope face and drains there - and the joints keep the
    // higher pressures of the same wedge without a crack (saturated or
    // filled mode).
    bool CrackDrains = false;
    TPoint3D Seismic;                   // k x weight
    TPoint3D External;                  // the sum of the external forces
    TPoint3D FaceLoad, TopLoad;         // surface pressures x areas, into the wedge
    TPoint3D ActiveBolts, PassiveBolts; // the sums of the bolts of each kind
    // Where the bolts with a capacity model hold the wedge and with what
    // force, one per bolt of the loads (empty when none has such a model),
    // and the pattern's bolts whose heads fall on the wedge with their sum.
    std::vector<BoltHold> BoltHolds, PatternHolds;
    double PatternForce = 0;
    // The passive bolts' forces, those along one direction summed: each
    // carries only when the sliding stretches it (analysis/vector_method.h).
    std::vector<TPoint3D> Passive;
    // What the joints must resist: everything but the passive bolts.
    TPoint3D active() const;
};

// What the reports say of the crack's water when it spills (empty when it
// does not): that the water stands at the lowest point where the crack is
// open, on the slope face when the crack reaches it.
std::string crackWaterNote(const WedgeForces& forces);
// The sentence of that note a block's messages carry too: that the crack
// drains on the face and the joints keep the pressures they have without
// it (empty unless CrackDrains).
std::string crackDrainNote(const WedgeForces& forces);

// Whether any bolt is passive: which sets of them carry is decided per
// wedge (analysis/vector_method.h), so the vector lanes leave such a
// block's full factor to the scalar analysis, as they do a tension crack's.
bool hasPassiveBolts(const WedgeLoads& loads);
// Whether the vector lanes leave the block's full factor to the scalar
// analysis: passive bolts, a strength other than Mohr-Coulomb without
// waviness or Barton-Bandis on either plane (a Barton-Bandis formula that
// falls toward JCS, bartonBandisFalls, included; the power curve and
// Hoek-Brown need their tangents, Hoek-Brown an iteration), partly filled
// joints, water outside the slope or pressures entered on the joints or the
// crack (the lanes know the three original water modes only), pressures
// in a direction of their own, shotcrete, or bolts whose force depends on
// where they cross the wedge (a capacity model, a pattern).
bool needsScalarFull(const WedgeLoads& loads);

// `numbers` gives the unit weights and the block's own water pressures
// u1, u2 (entered or computed), which WaterMode::Block puts on the faces.
WedgeForces wedgeForces(const WedgeShape& shape, const WedgeNumbers& numbers, const WedgeLoads& loads);

} // namespace trelmox
