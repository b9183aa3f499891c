#pragma once
// The safety factor Kc of the wedge on numbers and the water pressures it
// takes, written once over their value type (formula_values.h): wedge.cpp
// instantiates them for doubles, kernel_lanes.h for the vectors of every
// kernel width, so that the lanes cannot drift from the analysis.
//
// Included by the analysis's sources and by kernel_lanes.h after its lane
// operations; no other header includes it.
//
// The checks are the caller's `out`, whose members the formula calls in
// the order the analysis makes them:
//   quotient(a, b)         a / b, failing on a zero divisor or an overflow
//   overflowChecked(v)     v, failing where it is not finite
//   root(x)                sqrt(x), failing on a negative radicand
//   noBlock(when)          no block is cut out where `when` holds
//   finished()             every value settled (the analysis returns there)
//   live()                 the lanes still being worked out
//   inCase(when, always, f) f(checks of the lanes in `when`), a factor of
//                          those lanes; worked out, unless `always`, only
//                          where some live lane is in `when`
//   settleCases(both, first, second, lift) the contacts of the live lanes
// The analysis throws its failures; the lanes note them lane by lane.
#include "analysis/formula_values.h"

namespace trelmox {

// The mean pressure on a cutting plane of water that stands h high where
// the plane meets the line of intersection and drains at its free faces:
// gammaW h / 2 there, a third of it on average, gammaW h / 6. The
// parameter window's computed pressures take h as the slope height, the
// saturated wedge as the height its line of intersection climbs.
template <typename Value> [[gnu::always_inline]] inline Value drainedWaterPressureOf(Value waterUnitWeight, Value h) {
    return (waterUnitWeight * h) / every<Value>(6);
}

// The depth of water a tension crack can hold: from its lowest point up to
// its highest, or to where it is open on the upper slope or the slope face
// if that is lower (the water spills there), and none where that lies
// below its lowest point.
template <typename Value>
[[gnu::always_inline]] inline Value crackCapacityOf(Value low, Value high, Value openOnTop, Value openOnFace) {
    return largerOf(Value{}, smallerOf(high, smallerOf(openOnTop, openOnFace)) - low);
}

// The water asked to stand `depth` deep in a crack whose face lies between
// low and high and holds `capacity` (crackCapacityOf): it stands at most
// that deep, and the joints take a third of gammaW times its level above
// the crack's cut of the line of intersection (lineEndZ). Where the crack
// daylights in the slope face below its outcrop on the upper slope and the
// water cannot stay (it spills, or fills a share of the crack: `filled`),
// it drains out of the face, and the joints keep at least `kept`, the
// pressures of the wedge without the crack.
template <typename Value> struct CrackWater {
    Value Depth, Level, Pressure;
    MaskOf<Value> Spills, Drains; // the water asked for is more than the crack holds; the joints keep `kept`
};

template <typename Value>
[[gnu::always_inline]] inline CrackWater<Value> crackWaterOf(Value low, Value high, Value capacity, Value depth,
                                                             Value openOnTop, Value openOnFace, Value lineEndZ,
                                                             Value waterUnitWeight, Value kept, MaskOf<Value> filled) {
    CrackWater<Value> w;
    w.Spills = depth > capacity;
    w.Depth = smallerOf(depth, capacity);
    w.Level = low + w.Depth;
    w.Pressure = waterUnitWeight * largerOf(Value{}, w.Level - lineEndZ) / every<Value>(3);
    w.Drains = (openOnFace <= openOnTop) & (openOnFace < high) & (filled | w.Spills) & (w.Pressure < kept);
    w.Pressure = pick(w.Drains, kept, w.Pressure);
    return w;
}

// sqrt(1 - Sz^2): the slope face's normal's horizontal length, which the
// second cut-out test compares the upper slope's tangent with.
template <typename Value> [[gnu::always_inline]] inline Value faceRiseOf(Value sz) {
    return squareRoot(every<Value>(1) - sz * sz);
}

// Kc of the wedge (wedge.cpp's computeSafetyFactor) from its planes'
// normals (Ax Ay Az, 0 By Bz, Sx Sy Sz, and TanTop, the upper slope's
// tangent), faceRise = faceRiseOf(Sz), and the numbers (the analysis's
// WedgeNumbers fields gamma, H, c1, c2, f1, f2, u1, u2); t receives the
// terms on the way (Z F T r m q w e Na Nb N1 N2). Every step is one double
// operation in the order written, so that the results agree digit for
// digit with the hand-checked figures. Only the values that can leave the
// finite range are tested: the trigonometric terms are bounded by
// construction. Returns 0 where no factor is worked out.
template <typename Value, typename Normals, typename Numbers, typename Terms, typename Out>
[[gnu::always_inline]] inline Value wedgeFactorOf(const Normals& normals, Value faceRise, const Numbers& n,
                                                  double overhang, Out& out, Terms& t) {
    const Value Ax = normals.Ax, Ay = normals.Ay, Az = normals.Az, By = normals.By, Bz = normals.Bz;
    const Value Sx = normals.Sx, Sy = normals.Sy, Sz = normals.Sz, tanTop = normals.TanTop;
    t.Z = Ax * By;
    t.F = Sx * Ay - Sy * Ax;
    t.T = (Sz * Ax - Sx * Az) * By + Bz * t.F;

    // Cut-out tests: the line of intersection must daylight in the face and
    // pass under the slope top.
    t.r = out.quotient(every<Value>(overhang) * t.T, t.Z);
    out.noBlock(t.r > Value{});
    if (out.finished()) return Value{};
    out.noBlock(tanTop > out.quotient(faceRise, Sz - t.r));
    if (out.finished()) return Value{};

    t.m = Ay * By + Az * Bz;
    t.q = every<Value>(1) - t.m * t.m;
    t.w = out.quotient(out.overflowChecked(n.RockUnitWeight * n.SlopeHeight * t.T), every<Value>(3) * t.F);
    t.e = out.quotient(every<Value>(-1) * By * Sx, t.F);
    const Value u1 = n.WaterPressure1, u2 = n.WaterPressure2;
    const Value absE = absolute(t.e);
    const Value wq = out.quotient(t.w, t.q);
    t.Na = out.quotient(out.overflowChecked((wq * (Az - t.m * Bz) - t.e * u1) * t.e), absE);
    t.Nb = out.overflowChecked(wq * (Bz - t.m * Az) - u2);
    t.N1 = out.quotient(out.overflowChecked((t.w * Az - t.m * u2 - t.e * u1) * t.e), absE);
    t.N2 = out.overflowChecked(t.w * Bz - t.m * t.e * u1 - u2);

    // The contact: on both planes, else on the first alone, else on the
    // second alone, else lifting off; none of them is Unresolved. Most
    // blocks rest on both planes in every live lane, and the other cases
    // are read in live lanes only: then they are empty.
    using Mask = MaskOf<Value>;
    const Mask both = (t.Na > Value{}) & (t.Nb > Value{});
    Mask first{}, second{}, lift{};
    if (anyLane(none(both) & out.live())) {
        first = none(both) & (t.Nb < Value{}) & (t.N1 > Value{});
        second = none(both) & none(first) & (t.Na < Value{}) & (t.N2 > Value{});
        lift = none(both) & none(first) & none(second) & (t.N1 < Value{}) & (t.N2 < Value{});
    }
    // Each case's factor with its own checks; one plane alone is rare.
    const Value kcBoth = out.inCase(both, true, [&](auto& o) {
        const Value resisting = o.overflowChecked(
            o.root(t.q) * ((absE * n.Cohesion1 + (t.Na * n.Friction1 + t.Nb * n.Friction2)) + n.Cohesion2));
        return o.quotient(resisting, absolute(t.w * t.Z));
    });
    const Value kcFirst = out.inCase(first, false, [&](auto& o) {
        const Value driving = o.overflowChecked((t.w * t.w) * (every<Value>(1) - Az * Az) + (u2 * u2) * t.q +
                                                (t.m * Az - Bz) * every<Value>(2) * t.w * u2);
        const Value root = o.root(driving);
        return o.quotient(o.overflowChecked(absE * n.Cohesion1 + t.N1 * n.Friction1), root);
    });
    const Value kcSecond = out.inCase(second, false, [&](auto& o) {
        const Value driving = o.overflowChecked((t.w * t.w) * (By * By) + (u1 * u1) * (t.e * t.e) * t.q +
                                                (t.m * Bz - Az) * every<Value>(2) * t.e * t.w * u1);
        const Value root = o.root(driving);
        return o.quotient(o.overflowChecked(t.N2 * n.Friction2 + n.Cohesion2), root);
    });
    out.settleCases(both, first, second, lift);
    return pick(both, kcBoth, pick(first, kcFirst, kcSecond));
}

} // namespace trelmox
