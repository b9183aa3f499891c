#pragma once
// Bolts whose force comes from how far they are anchored: where a bolt
// from a head on the slope face leaves the wedge decides its length inside
// the wedge and beyond the joint (model/loads.h, BoltCapacity), and so
// which of its capacities holds.
#include <vector>

#include "analysis/polyhedron.h"
#include "model/loads.h"

namespace trelmox {

// Which capacity gives the bolt's force.
enum class BoltLimit {
    Tendon,      // the tendon breaks first
    Plate,       // the plate (end-anchored bolt) or the plate with the bond inside the wedge (cable)
    BondInside,  // the grout inside the wedge (grouted dowel)
    Anchorage,   // the grout beyond the joint pulls out
    NotAnchored, // the bolt leaves the wedge through the upper slope, points out of the face, or ends inside the wedge
};
// "杆体抗拉", "垫板", "楔块内粘结", "节理外锚固", "未锚入节理外岩体".
const char* boltLimitName(BoltLimit limit);

struct BoltHold {
    TPoint3D Head;     // on the slope face
    double Inside = 0; // m from the head to where the bolt leaves the wedge
    // m of the bolt bonded past the wedge's back: up to its end or to where
    // it comes out of the rock through the upper slope, whichever is first
    // (0 when it is not anchored there)
    double Beyond = 0;
    double Force = 0; // kN
    BoltLimit Limit = BoltLimit::Tendon;
};

// The bolt from `head` along `direction` (a unit vector into the slope):
// where it leaves the wedge and the force it can carry.
BoltHold boltHold(const WedgeShape& shape, const TPoint3D& head, const TPoint3D& direction,
                  const BoltCapacity& capacity);

// The centroid of the wedge's trace on the slope face, where a single bolt
// with a capacity model is placed.
TPoint3D faceCentroid(const WedgeShape& shape);

// The heads of a pattern that fall inside the wedge's trace on the slope
// face, row by row up the dip; a head on the trace's edge (to within
// rounding) is not on the wedge. Throws Error when the spacing would put more
// than MaxPatternBolts bolts on the wedge.
inline constexpr std::size_t MaxPatternBolts = 100'000;
std::vector<TPoint3D> patternHeads(const WedgeShape& shape, const BoltPattern& pattern);

} // namespace trelmox
