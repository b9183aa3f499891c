#pragma once
// The vector method's reactions and contact (vector_method.cpp) and the
// seismic load's horizontal direction (forces.cpp), written once over
// their value type (formula_values.h): the analysis instantiates them for
// doubles and TPoint3D, kernel_lanes.h for its vectors and their points.
//
// Included by the analysis's sources and by kernel_lanes.h after its lane
// operations; no other header includes it. A point is {x, y, z} of the
// value type with a dot(p, q) beside it.
#include "analysis/formula_values.h"

namespace trelmox {

// The cutting planes' normal reactions under the resultant `total` of the
// loads, n1 and n2 the planes' normals into the wedge: on both planes
// (equilibrium normal to the line of intersection: total + N1 n1 + N2 n2
// has no component across it), and on each plane alone.
template <typename Value> struct PlaneReactions { Value Both1, Both2, Alone1, Alone2; };

template <typename Point>
[[gnu::always_inline]] inline auto planeReactionsOf(const Point& total, const Point& n1, const Point& n2) {
    using Value = decltype(dot(n1, n2));
    const Value m = dot(n1, n2), perQ = every<Value>(1) / (every<Value>(1) - m * m);
    const Value r1 = dot(total, n1), r2 = dot(total, n2);
    return PlaneReactions<Value>{(m * r2 - r1) * perQ, (m * r1 - r2) * perQ, every<Value>(-1) * r1,
                                 every<Value>(-1) * r2};
}

// The contact the reactions give (vector_method.h's contactCase): both
// planes where both reactions press or touch, else the first alone, else
// the second alone, else lifting off where neither alone presses; none of
// them is Unresolved. The cases after the first are read only where a
// lane of `live` rests on fewer than both planes: elsewhere they are empty.
template <typename Value> struct ContactCases { MaskOf<Value> Both{}, First{}, Second{}, Lift{}; };

template <typename Value>
[[gnu::always_inline]] inline ContactCases<Value> contactCasesOf(const PlaneReactions<Value>& r, MaskOf<Value> live) {
    ContactCases<Value> c;
    c.Both = (r.Both1 >= Value{}) & (r.Both2 >= Value{});
    if (anyLane(none(c.Both) & live)) {
        c.First = none(c.Both) & (r.Both2 < Value{}) & (r.Alone1 >= Value{});
        c.Second = none(c.Both) & none(c.First) & (r.Both1 < Value{}) & (r.Alone2 >= Value{});
        c.Lift = none(c.Both) & none(c.First) & none(c.Second) & (r.Alone1 < Value{}) & (r.Alone2 < Value{});
    }
    return c;
}

// The horizontal unit vector along v's trend; along the fallback's where v
// is vertical, and zero where both are.
template <typename Point> [[gnu::always_inline]] inline Point horizontalAlongOf(const Point& v, const Point& fallback) {
    using Value = decltype(dot(v, v));
    const Value length = squareRoot(v.x * v.x + v.y * v.y);
    const auto along = length > Value{};
    Point h{v.x / length, v.y / length, Value{}};
    // A vertical line of intersection is rare: the fallback only where needed.
    if (anyLane(none(along))) {
        const Value other = squareRoot(fallback.x * fallback.x + fallback.y * fallback.y);
        const auto otherwise = other > Value{};
        h.x = pick(along, h.x, pick(otherwise, fallback.x / other, Value{}));
        h.y = pick(along, h.y, pick(otherwise, fallback.y / other, Value{}));
    }
    return h;
}

} // namespace trelmox
