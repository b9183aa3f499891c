#pragma once
// The forces on the real wedge, as vectors in the block frame (x east, y
// north, z up). All act through the centroid: the analysis balances forces,
// not moments, so only their sums matter.
#include "analysis/polyhedron.h"
#include "analysis/wedge.h"
#include "model/loads.h"

namespace trelmox {

struct WedgeForces {
    TPoint3D Weight;                      // rock unit weight x volume, down
    TPoint3D Water1, Water2, CrackWater;  // pushing the wedge off the cutting planes and the crack
    double Pressure1 = 0, Pressure2 = 0;  // average water pressure on each cutting plane's face
    double CrackWaterDepth = 0;           // water standing in the crack, as used (saturated mode)
    TPoint3D Seismic;                     // k x weight
    TPoint3D External;                    // the sum of the external forces
    TPoint3D FaceLoad, TopLoad;           // surface pressures x areas, into the wedge
    TPoint3D ActiveBolts, PassiveBolts;   // the sums of the bolts of each kind
    // What the joints must resist: everything but the passive bolts.
    TPoint3D active() const;
};

// `numbers` gives the unit weights and the block's own water pressures
// u1, u2 (entered or computed), which WaterMode::Block puts on the faces.
WedgeForces wedgeForces(const WedgeShape& shape, const WedgeNumbers& numbers, const WedgeLoads& loads);

} // namespace trelmox
