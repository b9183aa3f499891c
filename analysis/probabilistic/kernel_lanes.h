// The body of a block kernel (kernel.h), compiled once per instruction set:
// kernel_sse2.cpp, kernel_avx.cpp, kernel_avx2.cpp and kernel_avx512.cpp
// each define, before including it, TRELMOX_LANES, the native vector type
// TRELMOX_NATIVE (TRELMOX_PARTS of them side by side hold the lanes, one
// unless said), its square root TRELMOX_SQRT, TRELMOX_SLEEF(function,
// accuracy) naming SLEEF's non-FMA function of that width and accuracy (u10
// or u35), and the kernel's variable and name. No include guard: every
// translation unit has its own copy in its own unnamed namespace, so no
// symbol compiled for one instruction set can stand in for another's, and
// the body calls no library code but SLEEF's and libm's.
//
// The formulas follow the scalar ones line by line; see the comments there
// for the engineering. Every operation is a plain IEEE operation on each
// lane, so a lane gives the bits of the scalar code.
#include <array>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>
#include <numbers>
#include <sleef.h>
#include <type_traits>
#include <utility>

#include "analysis/joint_strength.h"
#include "analysis/probabilistic/degree_trig.h"
#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/kernel.h"
// The lanes' operations before the formulas that call them.
#include "analysis/probabilistic/lane_values.h"
#include "analysis/strength_formula.h"
#include "analysis/vector_method_formula.h"
#include "analysis/wedge_formula.h"

namespace trelmox {
namespace {

// The outcome of every lane, and the lanes still being worked out. Exact
// settles every failure in the scalar order. The other (for Kc, whose
// checks are many and whose failures rare) only notes the lanes where some
// check could fail, whether or not they are still live: a block with any
// such lane is then worked out again exactly, so the outcomes are the same.
struct NoPoison {};
template <bool Exact = true> struct Outcomes {
    static constexpr bool IsExact = Exact;
    M Live = splatMask(-1);
    M Code = splatMask(0);
    M Trouble = splatMask(0);
    // Every checked value summed: not finite in a lane where one of them was
    // not (one addition a check, where a mask takes four). Finite values
    // that overflow the sum only make the block be worked out again.
    [[no_unique_address]] std::conditional_t<Exact, NoPoison, V> Poison{};
    // Lanes in `when` that are still live end here with `code`.
    [[gnu::always_inline]] void settle(M when, SampleOutcome code) {
        const M now = when & Live;
        Code = pickMask(now, splatMask(static_cast<long>(code)), Code);
        Live &= ~now;
    }
    [[gnu::always_inline]] void fail(M when, SampleOutcome code) {
        if constexpr (Exact)
            settle(when, code);
        else
            Trouble |= when;
    }
    [[gnu::always_inline]] V overflowChecked(V v) {
        if constexpr (Exact)
            fail(~finite(v), SampleOutcome::Overflow);
        else
            Poison = Poison + v;
        return v;
    }
    // The lanes worked out again exactly.
    [[gnu::always_inline]] M troubled() const {
        if constexpr (Exact)
            return Trouble;
        else
            return Trouble | ~finite(Poison);
    }
    // checkedDiv's failures, then an overflow (arithmetic.h's quotient). A
    // zero divisor gives a quotient that is not finite, which Poison notes.
    [[gnu::always_inline]] V quotient(V dividend, V divisor) {
        if constexpr (Exact) {
            const M zero = divisor == splat(0);
            settle(zero & (dividend == splat(0)), SampleOutcome::InvalidOperation);
            settle(zero, SampleOutcome::DivisionByZero);
        }
        return overflowChecked(dividend / divisor);
    }
    // A negative radicand's root is not a number, which Poison notes.
    [[gnu::always_inline]] V root(V radicand) {
        if constexpr (Exact) {
            settle(radicand < splat(0), SampleOutcome::InvalidOperation);
            return squareRoot(radicand);
        } else {
            const V r = squareRoot(radicand);
            Poison = Poison + r;
            return r;
        }
    }
    // The checks the formulas written once call (wedge_formula.h).
    [[gnu::always_inline]] void noBlock(M when) { settle(when, SampleOutcome::NoBlock); }
    // Never: the lanes settled go on with the others.
    static constexpr bool finished() { return false; }
    [[gnu::always_inline]] M live() const { return Live; }
    // A case's value with its own checks, on its own lanes only; checks
    // that settle nothing note into this itself. Exact, the case's
    // failures are those of its lanes here (the cases' lanes are apart).
    template <typename F> [[gnu::always_inline]] V inCase(M when, bool always, F f) {
        if (!always && !anyLane(Live & when)) return V{};
        if constexpr (Exact) {
            Outcomes c = *this;
            c.Live &= when;
            const V value = f(c);
            const M here = Live & when;
            Code = pickMask(here, c.Code, Code);
            Live = pickMask(here, c.Live, Live);
            return value;
        } else {
            return f(*this);
        }
    }
    // The cases' outcomes (each a sample's last), as settling them one
    // after the other: a live lane in none of them is Unresolved.
    [[gnu::always_inline]] void settleCases(M both, M first, M second, M lift) {
        const auto code = [](SampleOutcome c) { return splatMask(static_cast<long>(c)); };
        const M cases =
            pickMask(both, code(SampleOutcome::BothPlanes),
                     pickMask(first, code(SampleOutcome::FirstPlaneOnly),
                              pickMask(second, code(SampleOutcome::SecondPlaneOnly),
                                       pickMask(lift, code(SampleOutcome::LiftOff), code(SampleOutcome::Unresolved)))));
        Code = pickMask(Live, cases, Code);
        Live = splatMask(0);
    }
};

struct Trig {
    V sin, cos;
};

// Adding 2^52 and taking it away again rounds to a whole number.
TRELMOX_INLINE M wholeNumbers(V degrees) { return ((degrees + splat(0x1p52)) - splat(0x1p52)) == degrees; }

TRELMOX_INLINE M wholeDegrees(V degrees) {
    // 0..360, the tables' range, and not -0 (whose sine keeps its sign).
    return (degrees >= splat(0)) & (degrees < splat(361)) & wholeNumbers(degrees) & (bitsOf(degrees) >= splatMask(0));
}

// Overflow lanes: the radians are not finite.
constexpr double Pi = std::numbers::pi;
TRELMOX_INLINE V radiansOf(V degrees, M& overflow) {
    const V r = degrees * splat(Pi) / splat(180);
    overflow |= ~finite(r);
    return r;
}

// degree_trig.h's sine and cosine in one native vector, |degrees| <= 2 Limit.
TRELMOX_INLINE void nativeSinCos(NativeV degrees, NativeV& sin, NativeV& cos) {
    using namespace degree_trig;
    const NativeV shifted = degrees * (1.0 / 90) + Shift;
    const NativeM quadrant = (NativeM)shifted;
    const NativeV x = (degrees - (shifted - Shift) * 90) * Degree;
    const NativeV s = nativePick((NativeM)(nativeAbsolute(x) < Tiny), x, sinOfReduced(x)), c = cosOfReduced(x);
    // The quadrant's bits shifted into the sign bit: bit 0 swaps sine and
    // cosine (pick reads the sign bit, or any bit where it tests for zero),
    // bit 1 of n negates the sine, bit 1 of n + 1 the cosine.
    const NativeM odd = quadrant << 63;
    const long sign = static_cast<long>(SignBit);
    sin = (NativeV)((NativeM)nativePick(odd, c, s) ^ ((quadrant << 62) & sign));
    cos = (NativeV)((NativeM)nativePick(odd, s, c) ^ (((quadrant + 1) << 62) & sign));
}

// In every lane, one native vector after the other: a sine and cosine
// holds a dozen values at once, those of two vectors side by side more
// than the sixteen AVX2 registers, and with no division or root in them
// the processor overlaps the two vectors' work by itself.
TRELMOX_INLINE Trig reducedSinCos(V degrees) {
    Trig t;
    for (int h = 0; h < Parts; ++h) nativeSinCos(part(degrees, h), part(t.sin, h), part(t.cos, h));
    return t;
}

// Lanes beyond the reduction's range (or not numbers) take SLEEF's sincos
// of the radians, as the scalar twin does.
TRELMOX_INLINE M beyondReduction(V degrees) { return ~(absolute(degrees) <= splat(degree_trig::Limit)); }
// The lanes that may be beyond the reduction or whole degrees, one test for
// both: a sampled angle is almost never either, and then neither is looked
// at further.
TRELMOX_INLINE M beyondOrWhole(V degrees) { return beyondReduction(degrees) | wholeNumbers(degrees); }

TRELMOX_INLINE Trig sinCosOfDegrees(const KernelConstants& k, V degrees, M& overflow) {
    Trig t = reducedSinCos(degrees);
    if (!anyLane(beyondOrWhole(degrees))) return t;
    const M beyond = beyondReduction(degrees);
    if (anyLane(beyond)) {
        Trig far;
        sleefSinCos(radiansOf(degrees, overflow), far.sin, far.cos);
        t = {pick(beyond, far.sin, t.sin), pick(beyond, far.cos, t.cos)};
    }
    const M whole = wholeDegrees(degrees);
    if (anyLane(whole))
        for (std::size_t i = 0; i < Lanes; ++i)
            if (whole[i]) {
                const int index = static_cast<int>(degrees[i]);
                setLane(t.sin, i, k.WholeSinCos[2 * index]), setLane(t.cos, i, k.WholeSinCos[2 * index + 1]);
            }
    return t;
}

TRELMOX_INLINE V tanOfDegrees(const KernelConstants& k, V degrees, M& overflow) {
    V t = sleefTan(radiansOf(degrees, overflow));
    const M whole = wholeDegrees(degrees);
    if (anyLane(whole))
        for (std::size_t i = 0; i < Lanes; ++i)
            if (whole[i]) setLane(t, i, k.WholeTan[static_cast<int>(degrees[i])]);
    return t;
}

// Of the difference in degrees (sample_trig.cpp's); overflow is that of the
// radians, as the scalar code finds it, which only lanes beyond the
// reduction's range can reach. `plain`: whether either angle is the same in
// every lane and within the reduction's range, so that only the other one
// can take a lane the slow way (a whole number of degrees, as a fixed
// direction often is, alone does not).
TRELMOX_INLINE Trig sinCosOfDifference(V degrees, V minusDegrees, const bool (&plain)[2], M& overflow) {
    Trig t = reducedSinCos(degrees - minusDegrees);
    const M unusual = plain[0]   ? beyondOrWhole(minusDegrees)
                      : plain[1] ? beyondOrWhole(degrees)
                                 : beyondOrWhole(degrees) | beyondOrWhole(minusDegrees);
    if (!anyLane(unusual)) return t;
    const M beyond = beyondReduction(degrees) | beyondReduction(minusDegrees);
    if (anyLane(beyond)) {
        const V minus = radiansOf(minusDegrees, overflow);
        const V relative = radiansOf(degrees, overflow) - minus;
        overflow |= ~finite(relative);
        Trig far;
        sleefSinCos(relative, far.sin, far.cos);
        t = {pick(beyond, far.sin, t.sin), pick(beyond, far.cos, t.cos)};
    }
    const M whole = wholeDegrees(degrees) & wholeDegrees(minusDegrees);
    if (anyLane(whole))
        for (std::size_t i = 0; i < Lanes; ++i)
            if (whole[i]) {
                const double relative = degrees[i] * Pi / 180 - minusDegrees[i] * Pi / 180;
                setLane(t.sin, i, __builtin_sin(relative)), setLane(t.cos, i, __builtin_cos(relative));
            }
    return t;
}

// The inputs of the lanes at one offset of the columns.
struct LaneInputs {
    const KernelConstants& K;
    const KernelColumns& C;
    std::size_t At;
    V operator[](Parameter p) const {
        const double* column = C.Input[static_cast<int>(p)];
        return column ? load(column + At) : splat(K.Base[static_cast<int>(p)]);
    }
    // An angle the same in every lane and within the reduction's range.
    bool plainAngle(Parameter p) const {
        return !C.Input[static_cast<int>(p)] && __builtin_fabs(K.Base[static_cast<int>(p)]) <= degree_trig::Limit;
    }
};

TRELMOX_INLINE Vec upwardNormal(const Trig& dip, const Trig& direction) {
    return {dip.sin * direction.sin, dip.sin * direction.cos, dip.cos};
}

// Every term of the trigonometry, per lane or fixed; overflow of the Kc and
// of the Fs terms apart. With them the products of the slope's terms that
// the factors take: a slope's attitudes seldom vary, and then these are
// worked out once for all blocks.
struct LaneTrig {
    Trig Term[TrigTermCount];
    M KcOverflow, FsOverflow;
    V FaceX, FaceY, FaceRise; // Kc's face normal (but its z, the dip's cosine), sqrt(1 - z^2)
    Vec TopNormal, FaceOut;   // the upper slope's upward normal; the face's out of the slope (down where it overhangs)
};

TRELMOX_INLINE const Trig& term(const LaneTrig& t, TrigTerm which) { return t.Term[static_cast<int>(which)]; }

TRELMOX_INLINE void slopeProducts(LaneTrig& t, bool overhanging) {
    using T = TrigTerm;
    const Trig& psiF = term(t, T::DipFace);
    const Trig& relF = term(t, T::RelativeFace);
    t.FaceX = psiF.sin * relF.sin, t.FaceY = psiF.sin * relF.cos;
    t.FaceRise = faceRiseOf(psiF.cos);
    t.TopNormal = upwardNormal(term(t, T::DipTop), term(t, T::DirTop));
    const Vec face = upwardNormal(psiF, term(t, T::DirFace));
    t.FaceOut = overhanging ? scale(splat(-1), face) : face;
}

// The terms that do not vary, worked out once for all blocks of a call.
LaneTrig fixedTrig(const KernelConstants& k) {
    LaneTrig t;
    for (int term = 0; term < TrigTermCount; ++term) t.Term[term] = {splat(k.Fixed[term][0]), splat(k.Fixed[term][1])};
    slopeProducts(t, k.Overhang < 0);
    return t;
}

// The terms that vary, in order, listed once for all blocks of a call;
// full: the terms of Fs too (its dip directions).
struct VaryingTerms {
    int Term[TrigTermCount];
    int Count = 0;
    bool Slope = false; // a term of slopeProducts among them
};

VaryingTerms varyingTerms(const KernelConstants& k, bool full) {
    VaryingTerms v;
    for (int term = 0; term < TrigTermCount; ++term) {
        const bool fsOnly = term >= static_cast<int>(TrigTerm::Dir1) && term <= static_cast<int>(TrigTerm::DirFace);
        if (!k.Varies[term] || (fsOnly && !full)) continue;
        v.Term[v.Count++] = term;
        using T = TrigTerm;
        for (T slope : {T::DipTop, T::DipFace, T::DirTop, T::DirFace, T::RelativeFace})
            v.Slope |= term == static_cast<int>(slope);
    }
    return v;
}

// The varying terms into t, whose other terms stay fixedTrig's.
void laneTrig(const LaneInputs& in, const VaryingTerms& varying, LaneTrig& t) {
    const KernelConstants& k = in.K;
    using T = TrigTerm;
    const Parameter dips[4] = {Parameter::Dip1, Parameter::Dip2, Parameter::DipTop, Parameter::DipFace};
    const Parameter directions[4] = {Parameter::DipDir1, Parameter::DipDir2, Parameter::DipDirTop,
                                     Parameter::DipDirFace};
    M kcOverflow = splatMask(k.FixedKcOverflows ? -1 : 0), fsOverflow = splatMask(k.FixedFsOverflows ? -1 : 0);
    const bool plain2 = in.plainAngle(Parameter::DipDir2);
    const bool plain1[2] = {in.plainAngle(Parameter::DipDir1), plain2};
    const bool plainFace[2] = {in.plainAngle(Parameter::DipDirFace), plain2};
    for (int j = 0; j < varying.Count; ++j) {
        const int term = varying.Term[j];
        const auto which = static_cast<T>(term);
        M o = splatMask(0);
        if (term < 4)
            t.Term[term] = sinCosOfDegrees(k, in[dips[term]], o);
        else if (term < 8)
            t.Term[term] = sinCosOfDegrees(k, in[directions[term - 4]], o);
        else if (which == T::Relative1)
            t.Term[term] = sinCosOfDifference(in[Parameter::DipDir1], in[Parameter::DipDir2], plain1, o);
        else if (which == T::RelativeFace)
            t.Term[term] = sinCosOfDifference(in[Parameter::DipDirFace], in[Parameter::DipDir2], plainFace, o);
        else
            t.Term[term] = {tanOfDegrees(k, in[Parameter::DipTop], o), splat(0)};
        if (entersKc(which)) kcOverflow |= o;
        if (entersFs(which)) fsOverflow |= o;
    }
    t.KcOverflow = kcOverflow, t.FsOverflow = fsOverflow;
    if (varying.Slope) slopeProducts(t, k.Overhang < 0);
}

// The analysis's WedgeNumbers, lane by lane.
struct LaneNumbers {
    V RockUnitWeight, SlopeHeight, Cohesion1, Cohesion2, Friction1, Friction2, WaterUnitWeight, WaterPressure1,
        WaterPressure2;
};

LaneNumbers laneNumbers(const LaneInputs& in) {
    LaneNumbers n{in[Parameter::RockUnitWeight],  in[Parameter::SlopeHeight],    in[Parameter::Cohesion1],
                  in[Parameter::Cohesion2],       in[Parameter::Friction1],      in[Parameter::Friction2],
                  in[Parameter::WaterUnitWeight], in[Parameter::WaterPressure1], in[Parameter::WaterPressure2]};
    if (in.K.ComputedWater)
        n.WaterPressure1 = n.WaterPressure2 = drainedWaterPressureOf(n.WaterUnitWeight, n.SlopeHeight);
    return n;
}

// What fails before the factor's own arithmetic: its trigonometry, then the
// computed water pressures.
template <typename Out>
TRELMOX_INLINE void startOutcomes(Out& out, M trigOverflow, bool computedWater, const LaneNumbers& n) {
    out.fail(trigOverflow, SampleOutcome::Overflow);
    if (computedWater) out.overflowChecked(n.WaterPressure1);
}

// The plane normals' terms Kc takes, and the terms it passes on the way
// (dead stores once inlined).
struct LaneNormals {
    V Ax, Ay, Az, By, Bz, Sx, Sy, Sz, TanTop;
};
struct LaneTerms {
    V Z, F, T, r, m, q, w, e, Na, Nb, N1, N2;
};

// Kc (wedge_formula.h's wedgeFactorOf, as the analysis takes it).
template <typename Out> V laneKc(const LaneTrig& trig, const LaneNumbers& n, double overhang, Out& out) {
    using T = TrigTerm;
    const Trig& psi1 = term(trig, T::Dip1);
    const Trig& rel1 = term(trig, T::Relative1);
    const LaneNormals normals{psi1.sin * rel1.sin,      psi1.sin * rel1.cos, psi1.cos,   term(trig, T::Dip2).sin,
                              term(trig, T::Dip2).cos,  trig.FaceX,          trig.FaceY, term(trig, T::DipFace).cos,
                              term(trig, T::TanTop).sin};
    LaneTerms terms;
    return wedgeFactorOf<V>(normals, trig.FaceRise, n, overhang, out, terms);
}

// A convex polygon of up to N points in each lane, the number of points per
// lane: the scalar polygons, whose points differ in number from lane to lane.
template <int N> struct LanePolygon {
    Vec P[N];
    M Count = splatMask(0);
    LanePolygon() {
        for (Vec& p : P) p = {splat(0), splat(0), splat(0)};
    }
    // Points not set: a polygon only a crack fills, which is set empty first.
    struct Unset {};
    explicit LanePolygon(Unset) {}
    // Appends p in the lanes `when` that hold fewer than N points.
    TRELMOX_INLINE void add(M when, const Vec& p) {
        when &= Count < splatMask(N);
        for (int k = 0; k < N; ++k) P[k] = pickVec(when & (Count == splatMask(k)), p, P[k]);
        Count -= when; // a true lane is -1
    }
    TRELMOX_INLINE M has(int points) const { return Count >= splatMask(points); }
};

// polyhedron.cpp's polygonArea: a fan of triangles from point 0.
TRELMOX_INLINE V polygonArea(const LanePolygon<4>& f) {
    const Vec first = sub(f.P[1], f.P[0]);
    Vec twice = cross(first, sub(f.P[2], f.P[0]));
    twice = pickVec(f.has(4), add(twice, cross(sub(f.P[2], f.P[0]), sub(f.P[3], f.P[0]))), twice);
    return pick(f.has(3), splat(0.5) * norm(twice), splat(0));
}

// The tetrahedron of the wedge (polyhedron.cpp), cut by the tension crack if
// there is one; the fields the forces and the vector method read. The
// slope's normals are the trigonometry's own, not copied block by block.
struct LaneShape {
    const Vec& FaceOut;
    const Vec& Top;
    explicit LaneShape(const LaneTrig& trig) : FaceOut(trig.FaceOut), Top(trig.TopNormal) {}
    Vec Line, Sliding, Inward1, Inward2;
    V Area1, Area2, FaceArea, TopArea, Volume, LineTopZ;
    // With a crack: its normal into the wedge, where it cuts the line of
    // intersection (height), and its face.
    Vec CrackInward;
    V LineEndZ;
    LanePolygon<4> CrackFace{LanePolygon<4>::Unset{}};
    // The lowest point where the crack is open on the upper slope and on the
    // slope face (forces.cpp's lowestOpening; infinity where it is not).
    V OpeningOnTop, OpeningOnFace;
    // The corners off the toe (the toe is the origin): where the line of
    // intersection, plane 1 and plane 2 meet the slope face's plane and the upper slope.
    Vec C1, C2, C3;
};

// The crack's face (storeCrackFace) in order of the angle about its centre.
// The order comes from the signs of cross products where every comparison
// of the scalar code's atan2 angles is certain (angles apart by far more
// than atan2's rounding); lanes where it is not (a face with two points in
// one direction from the centre, or one opposite point 0) take atan2 itself.
void sortAroundCentre(LanePolygon<4>& f, const Vec& inward, M live) {
    const M four = f.has(4);
    Vec centre = add(add(add(Vec{splat(0), splat(0), splat(0)}, f.P[0]), f.P[1]), f.P[2]);
    centre = pickVec(four, add(centre, f.P[3]), centre);
    centre = scale(pick(four, splat(1.0 / 4), splat(1.0 / 3)), centre);
    const Vec u = sub(f.P[0], centre), v = cross(inward, u);
    V x[4], y[4];
    for (int i = 0; i < 4; ++i) {
        const Vec d = sub(f.P[i], centre);
        x[i] = dot(d, u), y[i] = dot(d, v);
    }
    // Point 0 lies at angle 0; the others at a clear distance from 0 and pi.
    const V margin = splat(0x1p-30);
    M clear = splatMask(-1), upper[4];
    for (int i = 1; i < 4; ++i) {
        clear &= ~f.has(i + 1) | (absolute(y[i]) > margin * absolute(x[i]));
        upper[i] = y[i] > splat(0);
    }
    M rank[4];
    rank[0] = splatMask(0);
    for (int i = 1; i < 4; ++i) rank[0] -= f.has(i + 1) & ~upper[i];
    for (int i = 1; i < 4; ++i) {
        rank[i] = splatMask(0) - upper[i];
        for (int j = 1; j < 4; ++j) {
            if (j == i) continue;
            const V turn = x[j] * y[i] - y[j] * x[i]; // > 0: j's angle below i's
            const M sameHalf = ~(upper[i] ^ upper[j]) & f.has(j + 1) & f.has(i + 1);
            clear &= ~sameHalf | (absolute(turn) >
                                  margin * ((absolute(x[j]) + absolute(y[j])) * (absolute(x[i]) + absolute(y[i]))));
            rank[i] -= f.has(j + 1) & ((~upper[j] & upper[i]) | (sameHalf & (turn > splat(0))));
        }
    }
    LanePolygon<4> sorted = f;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 4; ++i)
            sorted.P[r] = pickVec(f.has(i + 1) & (rank[i] == splatMask(r)), f.P[i], sorted.P[r]);
    const M unclear = ~clear & live;
    if (anyLane(unclear))
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            if (!unclear[lane]) continue;
            const int n = static_cast<int>(f.Count[lane]);
            double angle[4];
            int order[4];
            for (int i = 0; i < n; ++i) angle[i] = __builtin_atan2(y[i][lane], x[i][lane]), order[i] = i;
            for (int i = 1; i < n; ++i)
                for (int k = i; k > 0 && angle[k - 1] > angle[k]; --k) {
                    std::swap(angle[k - 1], angle[k]);
                    std::swap(order[k - 1], order[k]);
                }
            for (int r = 0; r < n; ++r) {
                const Vec& p = f.P[order[r]];
                setLane(sorted.P[r].x, lane, p.x[lane]), setLane(sorted.P[r].y, lane, p.y[lane]);
                setLane(sorted.P[r].z, lane, p.z[lane]);
            }
        }
    f = sorted;
}

// The triangle of the face opposite corner `opposite`, clipped to the side
// >= 0 of the crack (storeFace).
TRELMOX_INLINE LanePolygon<4> clippedFace(const Vec (&corner)[4], const V (&side)[4], int opposite) {
    LanePolygon<4> f;
    int c[3], n = 0;
    for (int i = 0; i < 4; ++i)
        if (i != opposite) c[n++] = i;
    for (int k = 0; k < 3; ++k) {
        const int p = c[k], q = c[(k + 1) % 3];
        const M keptP = side[p] >= splat(0), keptQ = side[q] >= splat(0);
        f.add(keptP, corner[p]);
        f.add(keptP ^ keptQ, crossing(corner[p], corner[q], side[p], side[q]));
    }
    return f;
}

// The wedge with a crack: where it cuts the upper slope (crackAnchor), the
// faces clipped to the toe's side of it, and the volume as a fan from the
// toe over the upper slope's and the crack's faces (buildWedgeShape).
void cutByCrack(const KernelConstants& k, LaneShape& s, const Vec (&corner)[4], V topOffset, V distance,
                Outcomes<>& out) {
    const Vec& line = s.Line;
    const V horizontal = squareRoot(line.x * line.x + line.y * line.y);
    const Vec back{line.x / horizontal, line.y / horizontal, splat(0)};
    const V fb = dot(s.FaceOut, back), tb = dot(s.Top, back);
    const V det = fb * s.Top.z - s.FaceOut.z * tb;
    const V crest = splat(-1) * s.FaceOut.z * topOffset / det;
    const V a = crest + distance;
    const V z = (topOffset - a * tb) / s.Top.z;
    const Vec anchor = add(scale(a, back), Vec{splat(0), splat(0), z});
    const Vec crack = splatVec(k.CrackNormal);
    const M anchored = (horizontal != splat(0)) & finiteVec(anchor);
    const V toe = pick(anchored, splat(-1) * dot(crack, anchor), splat(0));
    out.settle(toe == splat(0), SampleOutcome::NoBlock);
    s.CrackInward = scale(pick(toe > splat(0), splat(1), splat(-1)), crack);
    V side[4];
    for (int i = 0; i < 4; ++i) side[i] = dot(s.CrackInward, sub(corner[i], anchor));
    out.settle(~(side[1] < splat(0)), SampleOutcome::NoBlock);
    s.LineEndZ = crossing(corner[0], corner[1], side[0], side[1]).z;
    // Where the crack crosses the edges of the upper slope's triangle (1 2 3)
    // and the slope face's (0 2 3), each edge in storeFace's order.
    constexpr int Edges[2][3][2] = {{{1, 2}, {2, 3}, {3, 1}}, {{0, 2}, {2, 3}, {3, 0}}};
    for (int surface = 0; surface < 2; ++surface) {
        V lowest = splat(__builtin_inf());
        for (const auto& [p, q] : Edges[surface]) {
            const M change = (side[p] >= splat(0)) ^ (side[q] >= splat(0));
            const V z = crossing(corner[p], corner[q], side[p], side[q]).z;
            lowest = pick(change & (z < lowest), z, lowest);
        }
        (surface == 0 ? s.OpeningOnTop : s.OpeningOnFace) = lowest;
    }
    LanePolygon<4>& cut = s.CrackFace = LanePolygon<4>();
    for (int i = 0; i < 4; ++i) {
        cut.add(side[i] == splat(0), corner[i]);
        for (int j = i + 1; j < 4; ++j)
            cut.add(((side[i] > splat(0)) & (side[j] < splat(0))) | ((side[i] < splat(0)) & (side[j] > splat(0))),
                    crossing(corner[i], corner[j], side[i], side[j]));
    }
    sortAroundCentre(cut, s.CrackInward, out.Live);
    // Faces opposite corners 3, 2, 1, 0: plane 1, plane 2, slope face, upper slope.
    s.Area1 = polygonArea(clippedFace(corner, side, 3));
    s.Area2 = polygonArea(clippedFace(corner, side, 2));
    s.FaceArea = k.FacePressure != 0 ? polygonArea(clippedFace(corner, side, 1)) : splat(0);
    const LanePolygon<4> top = clippedFace(corner, side, 0);
    s.TopArea = k.TopPressure != 0 ? polygonArea(top) : splat(0);
    V volume = splat(0);
    const LanePolygon<4>& crackFace = cut;
    for (const LanePolygon<4>* f : {&top, &crackFace})
        for (int i = 1; i < 3; ++i) {
            const V v = absolute(dot(f->P[0], cross(f->P[i], f->P[i + 1]))) / splat(6);
            volume = pick(f->has(i + 2), volume + v, volume);
        }
    s.Volume = volume;
}

LaneShape laneShape(const KernelConstants& k, const LaneTrig& trig, V height, V crackDistance, Outcomes<>& out) {
    using T = TrigTerm;
    const Vec p1 = upwardNormal(term(trig, T::Dip1), term(trig, T::Dir1));
    const Vec p2 = upwardNormal(term(trig, T::Dip2), term(trig, T::Dir2));
    LaneShape s(trig);
    const Vec& top = s.Top;
    // Every way of cutting out no block, one after the other with nothing
    // else between them, so one mask of them all settles the same lanes.
    const V topOffset = height * top.z;
    M noBlock = ~(topOffset > splat(0));
    Vec line = cross(p1, p2);
    const V length = norm(line);
    noBlock |= length == splat(0);
    // polyhedron.cpp's horizontalIntersection.
    noBlock |= absolute(line.z) <= splat(8 * 0x1p-53) * (absolute(p1.x * p2.y) + absolute(p1.y * p2.x));
    line = scale(pick(line.z < splat(0), splat(-1) / length, splat(1) / length), line);
    noBlock |= ~((line.z > splat(0)) & (dot(s.FaceOut, line) < splat(0)));
    noBlock |= ~(dot(top, line) > splat(0));
    const Vec c1 = scale(topOffset / dot(top, line), line);
    const Vec d2 = cross(p1, s.FaceOut), d3 = cross(p2, s.FaceOut);
    const Vec c2 = scale(topOffset / dot(top, d2), d2);
    const Vec c3 = scale(topOffset / dot(top, d3), d3);
    const V volume6 = dot(c1, cross(c2, c3));
    // Every component of the corners enters the triple product through
    // products and sums alone, which keep an infinity or a not-a-number:
    // where it is finite, so are they.
    noBlock |= ~finite(volume6) | (volume6 == splat(0));
    out.settle(noBlock, SampleOutcome::NoBlock);
    s.Line = line;
    s.Sliding = scale(splat(-1), line);
    s.Inward1 = scale(pick(dot(p1, c3) > splat(0), splat(1), splat(-1)), p1);
    s.Inward2 = scale(pick(dot(p2, c2) > splat(0), splat(1), splat(-1)), p2);
    s.LineTopZ = c1.z;
    if (k.Sized) s.C1 = c1, s.C2 = c2, s.C3 = c3; // only the limits' lengths read them
    if (k.Crack) {
        const Vec corner[4] = {{splat(0), splat(0), splat(0)}, c1, c2, c3};
        cutByCrack(k, s, corner, topOffset, crackDistance, out);
        return s;
    }
    // The faces: plane 1 (toe, c1, c2), plane 2 (toe, c1, c3), the slope face
    // (toe, c2, c3), the upper slope (c1, c2, c3); the toe is the origin.
    s.Area1 = splat(0.5) * norm(cross(c1, c2));
    s.Area2 = splat(0.5) * norm(cross(c1, c3));
    // The faces' areas that no pressure loads are not worked out.
    s.FaceArea = k.FacePressure != 0 ? splat(0.5) * norm(cross(c2, c3)) : splat(0);
    s.TopArea = k.TopPressure != 0 ? splat(0.5) * norm(cross(sub(c2, c1), sub(c3, c1))) : splat(0);
    s.Volume = absolute(volume6) / splat(6);
    return s;
}

// The integral of max(0, level - z) over the polygon (forces.cpp's depthIntegral).
V depthIntegral(const LanePolygon<4>& polygon, V level) {
    LanePolygon<5> below;
    for (int i = 0; i < 4; ++i) {
        const Vec& p = polygon.P[i];
        const Vec q = i == 3 ? polygon.P[0] : pickVec(polygon.has(i + 2), polygon.P[i + 1], polygon.P[0]);
        const V dp = level - p.z, dq = level - q.z;
        const M valid = polygon.has(i + 1), keptP = dp >= splat(0), keptQ = dq >= splat(0);
        below.add(valid & keptP, p);
        below.add(valid & (keptP ^ keptQ), crossing(p, q, dp, dq));
    }
    V integral = splat(0);
    const Vec& b0 = below.P[0];
    for (int i = 1; i < 4; ++i) {
        const Vec& b1 = below.P[i];
        const Vec& b2 = below.P[i + 1];
        const V area = splat(0.5) * norm(cross(sub(b1, b0), sub(b2, b0)));
        integral = pick(below.has(i + 2), integral + area * (level - (b0.z + b1.z + b2.z) / splat(3)), integral);
    }
    return integral;
}

// The magnitude of share i of a varied total (parameters.cpp's shareOut).
TRELMOX_INLINE V shareOf(double share, double sum, V total) {
    return sum > 0 ? splat(share) * (total / splat(sum)) : splat(0);
}

// The shear force a cutting plane resists under its normal force
// (joint_strength.cpp's planeResistance): c A + f N, or Barton-Bandis's
// (strength_formula.h) where its formula does not fall toward JCS.
V planeShear(const KernelConstants& k, int plane, V normal, V area, V cohesion, V friction) {
    if (!k.BartonBandis[plane]) return mohrCoulombResistanceOf(cohesion, friction, normal, area);
    const BartonBandisCoefficients s{k.Jrc[plane], k.Jcs[plane], k.ResidualFriction[plane], k.Waviness[plane]};
    return bartonBandisResistanceOf(s, normal, area);
}

// Fs (forces.cpp's wedgeForces, then vector_method.cpp's vectorMethod).
V laneFs(const KernelConstants& k, const LaneInputs& in, const LaneShape& s, const LaneNumbers& n, Outcomes<>& out) {
    const Vec zero{splat(0), splat(0), splat(0)};
    const V weight = n.RockUnitWeight * s.Volume;
    const Vec weightForce{splat(0), splat(0), splat(-1) * weight};
    V pressure1 = splat(0), pressure2 = splat(0);
    const bool crackWater = k.Water == WaterMode::Saturated && k.Crack;
    Vec crackWaterLoad;
    if (k.Water == WaterMode::Block) pressure1 = n.WaterPressure1, pressure2 = n.WaterPressure2;
    if (k.Water == WaterMode::Saturated && !k.Crack)
        pressure1 = pressure2 = drainedWaterPressureOf(n.WaterUnitWeight, s.LineTopZ);
    if (crackWater) {
        // forces.cpp's saturatedWater with a crack (std::min and std::max as written there).
        const LanePolygon<4>& face = s.CrackFace;
        V low = face.P[0].z, high = low;
        for (int i = 1; i < 4; ++i) {
            low = pick(face.has(i + 1) & (face.P[i].z < low), face.P[i].z, low);
            high = pick(face.has(i + 1) & (high < face.P[i].z), face.P[i].z, high);
        }
        const V opening = pick(s.OpeningOnFace < s.OpeningOnTop, s.OpeningOnFace, s.OpeningOnTop);
        const V spill = pick(opening < high, opening, high) - low;
        const V full = pick(splat(0) < spill, spill, splat(0));
        const V standing = in[Parameter::CrackWater];
        const M spills = full < standing;
        const V level = low + pick(spills, full, standing);
        const V above = level - s.LineEndZ;
        pressure1 = pressure2 = n.WaterUnitWeight * pick(splat(0) < above, above, splat(0)) / splat(3);
        // Draining out of the face, the crack leaves the joints the pressures
        // of the wedge without it.
        const V uncracked = drainedWaterPressureOf(n.WaterUnitWeight, s.LineTopZ);
        const M drains = (s.OpeningOnFace <= s.OpeningOnTop) & (s.OpeningOnFace < high) & spills;
        pressure1 = pressure2 = pick(drains & (pressure1 < uncracked), uncracked, pressure1);
        crackWaterLoad = scale(n.WaterUnitWeight * depthIntegral(face, level), s.CrackInward);
    }
    // The loads summed in order, each that is +0 in every lane left out: it
    // only turns a -0 of the sum into +0, wherever in the sum it comes
    // ((x + 0) + y is (x + y) + 0, bit for bit, in rounding to nearest), so
    // one addition of 0 at the end stands for them all.
    Vec active = add(add(weightForce, scale(pressure1 * s.Area1, s.Inward1)), scale(pressure2 * s.Area2, s.Inward2));
    bool zeroLoad = false;
    const auto addLoad = [&](bool present, auto&& load) {
        if (present)
            active = add(active, load());
        else
            zeroLoad = true;
    };
    addLoad(crackWater, [&] { return crackWaterLoad; });
    const V seismicK = in[Parameter::Seismic];
    const M shaken = seismicK != splat(0);
    // No seismic load at all (the common case): its direction is not worked out.
    addLoad(anyLane(shaken), [&] {
        const Vec direction =
            k.SeismicAlongSliding ? horizontalAlongOf(s.Sliding, s.FaceOut) : splatVec(k.SeismicDirection);
        return pickVec(shaken, scale(seismicK * weight, direction), zero);
    });
    addLoad(k.ForceCount > 0, [&] {
        Vec external = zero;
        const V forceTotal = in[Parameter::ForceMagnitude];
        for (std::size_t i = 0; i < k.ForceCount; ++i)
            external = add(external, scale(shareOf(k.ForceShares[i], k.ForceShareSum, forceTotal),
                                           splatVec(&k.ForceDirections[3 * i])));
        return external;
    });
    addLoad(k.FacePressure != 0, [&] { return scale(splat(-k.FacePressure) * s.FaceArea, s.FaceOut); });
    addLoad(k.TopPressure != 0, [&] { return scale(splat(-k.TopPressure) * s.TopArea, s.Top); });
    // The active bolts' loads, then the passive ones', each in order.
    bool anyActive = false, anyPassive = false;
    for (std::size_t i = 0; i < k.BoltCount; ++i) (k.BoltActive[i] ? anyActive : anyPassive) = true;
    const auto bolts = [&](bool active) {
        Vec sum = zero;
        const V boltTotal = in[Parameter::BoltForce];
        for (std::size_t i = 0; i < k.BoltCount; ++i)
            if (static_cast<bool>(k.BoltActive[i]) == active)
                sum = add(sum, scale(shareOf(k.BoltShares[i], k.BoltShareSum, boltTotal),
                                     splatVec(&k.BoltDirections[3 * i])));
        return sum;
    };
    addLoad(anyActive, [&] { return bolts(true); });
    if (zeroLoad) active = add(active, zero);

    const Vec& n1 = s.Inward1;
    const Vec& n2 = s.Inward2;
    // With the passive loads (none: +0, which adds nothing once a +0 has).
    const Vec passive = anyPassive ? bolts(false) : zero;
    const Vec total = anyPassive ? add(active, passive) : zeroLoad ? active : add(active, zero);
    const PlaneReactions<V> reactions = planeReactionsOf(total, n1, n2);
    const V both1 = reactions.Both1, both2 = reactions.Both2, alone1 = reactions.Alone1, alone2 = reactions.Alone2;
    // vector_method.cpp's checks: loads beyond the range of a double. r1 and
    // r2 enter both1 through a product and a sum, which keep an infinity or
    // a not-a-number: where both1 is finite, so are they.
    out.settle(~(finite(both1) & finite(both2)), SampleOutcome::Overflow);
    // Most blocks rest on both planes in every live lane: then the other
    // cases are not read.
    const ContactCases<V> cases = contactCasesOf(reactions, out.Live);
    const M both = cases.Both, first = cases.First, second = cases.Second, lift = cases.Lift;

    const V along = dot(active, s.Sliding);
    V magnitude = absolute(along);
    Vec driving = scale(along, s.Sliding);
    // Resting on one plane alone: rare, worked out only where a lane needs it.
    const M alone = (first | second) & out.Live;
    if (anyLane(alone)) {
        const Vec firstDriving = sub(active, scale(dot(active, n1), n1));
        const Vec secondDriving = sub(active, scale(dot(active, n2), n2));
        magnitude = pick(both, magnitude, pick(first, norm(firstDriving), norm(secondDriving)));
        driving = {pick(both, driving.x, pick(first, firstDriving.x, secondDriving.x)),
                   pick(both, driving.y, pick(first, firstDriving.y, secondDriving.y)),
                   pick(both, driving.z, pick(first, firstDriving.z, secondDriving.z))};
    }
    const M slides = both | first | second;
    out.settle(slides & (magnitude == splat(0)), SampleOutcome::NoDriving);
    out.settle(slides & ~finite(magnitude), SampleOutcome::Overflow);
    // The single planes' resistances only where a live lane rests on one:
    // the other lanes' factors are not read.
    V resisting;
    if (k.PlainStrengths)
        resisting =
            mohrCoulombPairOf(n.Cohesion1, s.Area1, n.Cohesion2, s.Area2, both1, n.Friction1, both2, n.Friction2);
    else
        resisting = planeShear(k, 0, both1, s.Area1, n.Cohesion1, n.Friction1) +
                    planeShear(k, 1, both2, s.Area2, n.Cohesion2, n.Friction2);
    if (anyLane(alone)) {
        const V resistingFirst = k.PlainStrengths ? mohrCoulombResistanceOf(n.Cohesion1, n.Friction1, alone1, s.Area1)
                                                  : planeShear(k, 0, alone1, s.Area1, n.Cohesion1, n.Friction1);
        const V resistingSecond = k.PlainStrengths ? mohrCoulombResistanceOf(n.Cohesion2, n.Friction2, alone2, s.Area2)
                                                   : planeShear(k, 1, alone2, s.Area2, n.Cohesion2, n.Friction2);
        resisting = pick(both, resisting, pick(first, resistingFirst, resistingSecond));
    }
    if (anyPassive) {
        resisting = resisting - dot(passive, scale(splat(1) / magnitude, driving));
    } else {
        // Less the passive load along the sliding direction, which is +0
        // times each component of it: -0 where all three are negative (or
        // -0), their signs those of `driving` wherever a factor is read (its
        // magnitude positive and finite), else +0.
        const M allNegative = bitsOf(driving.x) & bitsOf(driving.y) & bitsOf(driving.z);
        resisting = resisting - doubleOf(allNegative & splatMask(static_cast<long>(degree_trig::SignBit)));
    }
    const V factor = resisting / magnitude;
    // A resistance past the range of a double fails as the scalar method's
    // does; it would leave the factor, its quotient, not finite too.
    out.settle(slides & ~finite(factor), SampleOutcome::Overflow);
    out.settleCases(both, first, second, lift);
    return factor;
}

// wedge_size.cpp's horizontalOf; `nonzero`: the lanes where it is not zero.
Vec horizontalOf(const Vec& v, M& nonzero) {
    const V length = squareRoot(v.x * v.x + v.y * v.y);
    nonzero = length > splat(0);
    return {pick(nonzero, v.x / length, splat(0)), pick(nonzero, v.y / length, splat(0)), splat(0)};
}

// The largest distance between two of the points (wedge_size.cpp's largestChord).
V largestChord(const Vec* points, int count) {
    V chord = splat(0);
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j) chord = largerOf(chord, norm(sub(points[j], points[i])));
    return chord;
}

// The lengths a wedge without a crack has of those the limits bound
// (wedge_size.cpp's wedgeLengths): its faces are the triangles toe, c1, c2
// (plane 1), toe, c1, c3 (plane 2), toe, c2, c3 (slope face) and c1, c2, c3.
struct LaneLengths {
    V Bounded[SizeLimitKindCount];
    V Height, BackBreak;
};

LaneLengths laneLengths(const KernelConstants& k, const LaneShape& s, V slopeHeight) {
    const Vec toe{splat(0), splat(0), splat(0)};
    const Vec plane1[3] = {toe, s.C1, s.C2}, plane2[3] = {toe, s.C1, s.C3}, face[3] = {toe, s.C2, s.C3};
    const Vec all[4] = {toe, s.C1, s.C2, s.C3};
    LaneLengths l;
    using K = SizeLimitKind;
    const auto at = [&l](K kind) -> V& { return l.Bounded[static_cast<int>(kind)]; };
    at(K::FaceTrace1) = norm(s.C2), at(K::FaceTrace2) = norm(s.C3);
    at(K::TopTrace1) = norm(sub(s.C2, s.C1)), at(K::TopTrace2) = norm(sub(s.C3, s.C1));
    const Vec* planes[2] = {plane1, plane2};
    for (int i = 0; i < 2; ++i) {
        V persistence;
        if (k.PersistenceAlong) {
            const V rate = dot(s.FaceOut, s.Line);
            persistence = splat(0);
            for (int p = 0; p < 3; ++p) persistence = largerOf(persistence, dot(s.FaceOut, planes[i][p]) / rate);
        } else {
            persistence = largestChord(planes[i], 3);
        }
        at(i == 0 ? K::Persistence1 : K::Persistence2) = persistence;
    }
    M strikes;
    const Vec strike = horizontalOf(cross(s.FaceOut, Vec{splat(0), splat(0), splat(1)}), strikes);
    V low = dot(face[0], strike), high = low;
    for (int p = 1; p < 3; ++p) {
        const V t = dot(face[p], strike);
        low = smallerOf(low, t), high = largerOf(high, t);
    }
    at(K::SlopeLength) = pick(strikes, high - low, largestChord(face, 3));
    at(K::BenchHeight) = slopeHeight;
    V bottom = splat(0), top = splat(0);
    for (const Vec& p : all) bottom = smallerOf(bottom, p.z), top = largerOf(top, p.z);
    l.Height = top - bottom;
    // The reach behind the crest (crestFigures), square to it in plan.
    const Vec crest = cross(s.FaceOut, s.Top);
    const V crestSquared = dot(crest, crest);
    M along;
    const Vec crestAlong = horizontalOf(crest, along);
    const M crestLanes = ~(crestSquared == splat(0)) & along;
    const Vec point = scale(slopeHeight * s.Top.z / crestSquared, cross(crest, s.FaceOut));
    Vec back{splat(-1) * crestAlong.y, crestAlong.x, splat(0)}; // -1 * y is -y, bit for bit
    back = pickVec(dot(back, s.FaceOut) > splat(0), scale(splat(-1), back), back);
    V reach = splat(0);
    for (const Vec& p : all) reach = largerOf(reach, dot(sub(p, point), back));
    l.BackBreak = pick(crestLanes, reach, splat(0));
    at(K::BenchWidth) = l.BackBreak;
    return l;
}

// The wedge scaled to its limits in place, with the numbers it is worked
// out with (wedge_size.cpp's sizeWedge, scaleWedgeShape and
// scaledWedgeNumbers); returns its height and its reach behind the crest.
struct LaneSized {
    V Height, BackBreak;
};

LaneSized sizeLanes(const KernelConstants& k, const LaneInputs& in, LaneShape& s, LaneNumbers& n) {
    LaneLengths l = laneLengths(k, s, n.SlopeHeight);
    V factor = splat(1);
    for (int kind = 0; kind < SizeLimitKindCount; ++kind) {
        if (!k.Limits[kind]) continue;
        const V limit = in[static_cast<Parameter>(FirstSizeParameter + kind)];
        const V length = l.Bounded[kind];
        const V f = limit / length;
        factor = pick((length > limit) & (f < factor), f, factor);
    }
    // A factor of 1 leaves every figure as it is, bit for bit, as the
    // scalar code's leaving the wedge unscaled does.
    const V squared = factor * factor;
    s.Area1 = s.Area1 * squared, s.Area2 = s.Area2 * squared;
    s.FaceArea = s.FaceArea * squared, s.TopArea = s.TopArea * squared;
    s.Volume = s.Volume * (squared * factor);
    s.LineTopZ = factor * s.LineTopZ;
    if (k.ComputedWater)
        n.WaterPressure1 = n.WaterPressure2 = drainedWaterPressureOf(n.WaterUnitWeight, factor * n.SlopeHeight);
    return {l.Height * factor, l.BackBreak * factor};
}

// The sized wedge's volume, weight and flags where Fs cut out a wedge.
void storeSizes(const KernelConstants& k, const LaneInputs& in, const LaneShape& s, const LaneNumbers& n,
                const LaneSized& sized, M code, const KernelResults& r, std::size_t at) {
    const M failed = (code >= splatMask(static_cast<long>(SampleOutcome::Overflow))) |
                     (code == splatMask(static_cast<long>(SampleOutcome::NoBlock)));
    const V weight = n.RockUnitWeight * s.Volume;
    const Vec weightForce{splat(0), splat(0), splat(-1) * weight};
    M tooSmall = splatMask(0), narrow = splatMask(0);
    if (k.HasMinVolume) tooSmall |= s.Volume < splat(k.MinVolume);
    if (k.HasMinWeight) tooSmall |= weight < splat(k.MinWeight);
    if (k.HasMinHeight) tooSmall |= sized.Height < splat(k.MinHeight);
    if (k.Bench && k.HasCatchWidth)
        narrow = largerOf(splat(0), in[Parameter::BenchWidth] - sized.BackBreak) < splat(k.CatchWidth);
    store(r.Volume + at, pick(failed, splat(0), s.Volume));
    store(r.Weight + at, pick(failed, splat(0), norm(weightForce)));
    for (std::size_t i = 0; i < Lanes; ++i)
        r.SizeFlags[at + i] =
            failed[i]
                ? 0
                : static_cast<std::uint8_t>((tooSmall[i] ? TooSmallFlag : 0) | (narrow[i] ? BenchTooNarrowFlag : 0));
}

// The factor where the outcome works one out, else 0.
TRELMOX_INLINE V factorOf(M code, V value) {
    const M cases = (code == splatMask(static_cast<long>(SampleOutcome::BothPlanes))) |
                    (code == splatMask(static_cast<long>(SampleOutcome::FirstPlaneOnly))) |
                    (code == splatMask(static_cast<long>(SampleOutcome::SecondPlaneOnly)));
    return pick(cases, value, splat(0));
}

// Each lane's outcome (a small code in a 64-bit lane) as its byte.
void storeNativeOutcomes(SampleOutcome* to, NativeM code) {
#if TRELMOX_NATIVE_LANES == 8
    // Masked: the plain narrowing reads an undefined register GCC 12 warns about.
    const __m128i bytes = _mm512_maskz_cvtepi64_epi8(0xff, (__m512i)code);
#else
#if TRELMOX_NATIVE_LANES == 4
    const __m128i low = _mm256_castsi256_si128((__m256i)code), high = _mm256_extractf128_si256((__m256i)code, 1);
#else
    const __m128i low = (__m128i)code, high = low;
#endif
    // Narrowed by halves: the low 32 bits of each lane (its high ones are
    // zero), then 16, then 8; the codes are far inside every range.
    const __m128i dwords = _mm_packs_epi32(low, high);
    const __m128i words = _mm_packs_epi32(dwords, dwords);
    const __m128i bytes = _mm_packus_epi16(words, words);
#endif
    __builtin_memcpy(to, &bytes, NativeLanes);
}

void storeOutcomes(SampleOutcome* to, M code) {
    for (int h = 0; h < Parts; ++h) storeNativeOutcomes(to + h * NativeLanes, part(code, h));
}

void evaluateLanes(const KernelConstants& k, const KernelColumns& c, const KernelResults& r) {
    LaneTrig trig = fixedTrig(k);
    const VaryingTerms varying = varyingTerms(k, r.Fs != nullptr);
    for (std::size_t at = 0; at < c.Count; at += Lanes) {
        const LaneInputs in{k, c, at};
        laneTrig(in, varying, trig);
        const LaneNumbers n = laneNumbers(in);
        Outcomes<false> kc;
        startOutcomes(kc, trig.KcOverflow, k.ComputedWater, n);
        V kcValue = laneKc(trig, n, k.Overhang, kc);
        M kcCode = kc.Code;
        if (anyLane(kc.troubled())) {
            Outcomes<> exact;
            startOutcomes(exact, trig.KcOverflow, k.ComputedWater, n);
            kcValue = laneKc(trig, n, k.Overhang, exact);
            kcCode = exact.Code;
        }
        store(r.Kc + at, factorOf(kcCode, kcValue));
        storeOutcomes(r.KcOutcome + at, kcCode);
        if (!r.Fs) continue;
        Outcomes<> fs;
        startOutcomes(fs, trig.FsOverflow, k.ComputedWater, n);
        LaneShape shape = laneShape(k, trig, n.SlopeHeight, in[Parameter::CrackDistance], fs);
        if (!k.Sized) {
            const V fsValue = laneFs(k, in, shape, n, fs);
            store(r.Fs + at, factorOf(fs.Code, fsValue));
            storeOutcomes(r.FsOutcome + at, fs.Code);
            continue;
        }
        LaneNumbers scaled = n;
        const LaneSized sized = sizeLanes(k, in, shape, scaled);
        const V fsValue = laneFs(k, in, shape, scaled, fs);
        store(r.Fs + at, factorOf(fs.Code, fsValue));
        storeOutcomes(r.FsOutcome + at, fs.Code);
        if (r.Volume) storeSizes(k, in, shape, scaled, sized, fs.Code, r, at);
    }
}

// The draws (distribution.cpp's Sampler::values and normalQuantile).
TRELMOX_INLINE V clampTo(V v, V low, V high) { return pick(v < low, low, pick(high < v, high, v)); }

// distribution.cpp's normalQuantile in two halves: the central formula of
// every lane, and the tails' (p below Central or above 1 - Central).
TRELMOX_INLINE M tailLanes(V p) { return (p < splat(quantile::Central)) | (p > splat(1 - quantile::Central)); }

TRELMOX_INLINE V centralQuantile(V p) {
    using namespace quantile;
    const V qc = p - splat(0.5);
    const V r = qc * qc;
    return (((((splat(A[0]) * r + A[1]) * r + A[2]) * r + A[3]) * r + A[4]) * r + A[5]) * qc /
           (((((splat(B[0]) * r + B[1]) * r + B[2]) * r + B[3]) * r + B[4]) * r + 1);
}

TRELMOX_INLINE V tailQuantile(V p) {
    using namespace quantile;
    const M lowTail = p < splat(Central);
    const V tail = pick(lowTail, p, splat(1) - p);
    const V q = squareRoot(splat(-2) * sleefLog(tail));
    const V tx = (((((splat(C[0]) * q + C[1]) * q + C[2]) * q + C[3]) * q + C[4]) * q + C[5]) /
                 ((((splat(D[0]) * q + D[1]) * q + D[2]) * q + D[3]) * q + 1);
    return pick(lowTail, tx, splat(-1) * tx);
}

// The lanes whose bits are set in a mask of Lanes bits, lowest first, and
// how many: a block's tail lanes go on the list in one step.
struct SetLanes {
    std::uint16_t Lane[Lanes];
    std::uint16_t Count;
};
constexpr std::array<SetLanes, (1u << Lanes)> setLanesTable() {
    std::array<SetLanes, (1u << Lanes)> table{};
    for (unsigned bits = 0; bits < table.size(); ++bits)
        for (unsigned i = 0; i < Lanes; ++i)
            if (bits >> i & 1) table[bits].Lane[table[bits].Count++] = static_cast<std::uint16_t>(i);
    return table;
}
constexpr std::array<SetLanes, (1u << Lanes)> SetLanesOf = setLanesTable();

// The normal quantiles of the probabilities probability(u) of the uniforms
// u in values (within normalQuantile's clamp already), in place, each
// turned by finish (finishCentral where the caller knows the central
// formula's quantiles need less: they lie within 2 of 0). One draw in
// twenty lies in a tail, so most blocks of lanes hold one; a tail draw
// keeps its uniform in place and its offset in a list, and the tails are
// worked out afterwards in whole blocks, so that their logarithm runs once
// per Lanes tail draws. Every lane's operations are those of the one
// formula, so the bits are the scalar draw's.
template <typename Probability, typename FinishCentral, typename Finish>
void normalQuantilesInPlace(double* values, std::size_t count, Probability probability, FinishCentral finishCentral,
                            Finish finish) {
    // A run's chunk at once: its two hundred tails fill whole blocks but the last.
    constexpr std::size_t Stretch = 4096;
    // Offsets within the stretch. A block writes Lanes entries from the
    // count so far, which is at most its own offset: all within the array.
    std::uint16_t tailAt[Stretch];
    for (std::size_t start = 0; start < count; start += Stretch) {
        double* const stretch = values + start;
        const std::size_t length = Stretch < count - start ? Stretch : count - start;
        std::size_t tails = 0;
        for (std::size_t at = 0; at < length; at += Lanes) {
            const V u = load(stretch + at);
            const V p = probability(u);
            const M tail = tailLanes(p);
            store(stretch + at, pick(tail, u, finishCentral(centralQuantile(p))));
            // Every entry written, the count advanced by the tails: no
            // branch to mispredict, so that blocks overlap in the processor.
            const SetLanes& set = SetLanesOf[laneBits(tail)];
            for (std::size_t i = 0; i < Lanes; ++i) tailAt[tails + i] = static_cast<std::uint16_t>(at + set.Lane[i]);
            tails += set.Count;
        }
        for (std::size_t j = 0; j < tails; j += Lanes) {
            V u = splat(0); // set lane by lane below, and setting one reads its register
            for (std::size_t i = 0; i < Lanes; ++i) setLane(u, i, stretch[tailAt[j + i < tails ? j + i : tails - 1]]);
            const V x = finish(tailQuantile(probability(u)));
            for (std::size_t i = 0; i < Lanes && j + i < tails; ++i) stretch[tailAt[j + i]] = x[i];
        }
    }
}

void drawLanes(const DrawConstants& d, double* values, std::size_t count) {
    const V location = splat(d.Location), scaleBy = splat(d.Scale), low = splat(d.Low), high = splat(d.High);
    const V pLow = splat(d.PLow), pWidth = splat(d.PWidth);
    const V split = splat(d.Split), left = splat(d.Left), right = splat(d.Right);
    // One loop per kind, so that the kind is not chosen again per block.
    auto each = [&](auto draw) {
        for (std::size_t at = 0; at < count; at += Lanes) store(values + at, draw(load(values + at)));
    };
    // The uniform mapped into the CDF interval the truncation leaves.
    auto truncated = [&](V u) { return clampTo(pLow + u * pWidth, splat(0), splat(1 - 0x1p-53)); };
    // The same clamped again to normalQuantile's [2^-1074, 1 - 2^-53], in
    // one: the two clamps share their top, and whatever the first raises to
    // 0 the second raises to 2^-1074 (a not-a-number passes both).
    auto probability = [&](V u) { return clampTo(pLow + u * pWidth, splat(0x1p-1074), splat(1 - 0x1p-53)); };
    switch (static_cast<Distribution::Kind>(d.Kind)) {
    case Distribution::Kind::Fixed: each([&](V) { return location; }); break;
    case Distribution::Kind::Normal: {
        const auto finish = [&](V x) { return clampTo(location + scaleBy * x, low, high); };
        // Bounds farther than 4 sd (the central quantiles reach 2) never clamp a central draw.
        const bool wide = d.Low <= d.Location - 4 * d.Scale && d.Location + 4 * d.Scale <= d.High;
        if (wide)
            normalQuantilesInPlace(
                values, count, probability, [&](V x) { return location + scaleBy * x; }, finish);
        else
            normalQuantilesInPlace(values, count, probability, finish, finish);
        break;
    }
    case Distribution::Kind::Uniform: each([&](V u) { return clampTo(location + u * scaleBy, low, high); }); break;
    case Distribution::Kind::Lognormal: {
        // The normal draws, then their exponentials in a pass of their own:
        // a call in the quantiles' loop would have it keep its constants in
        // memory. Bounds of 0 (or less) and infinity never clamp an exponential.
        const auto linear = [&](V x) { return location + scaleBy * x; };
        normalQuantilesInPlace(values, count, probability, linear, linear);
        if (d.Low <= 0 && d.High == __builtin_inf())
            each([&](V y) { return sleefExp(y); });
        else
            each([&](V y) { return clampTo(sleefExp(y), low, high); });
        break;
    }
    case Distribution::Kind::Exponential:
        each([&](V u) { return clampTo(-(location * sleefLog1p(-truncated(u))), low, high); });
        break;
    case Distribution::Kind::Triangular:
        each([&](V u) {
            const V p = truncated(u);
            const V below = location + squareRoot(p * left), above = scaleBy - squareRoot((splat(1) - p) * right);
            return clampTo(pick(p < split, below, above), low, high);
        });
        break;
    // Iterative quantiles: Sampler::values draws them one by one.
    case Distribution::Kind::Beta:
    case Distribution::Kind::Gamma: break;
    }
}

// counterUniform (sampling.cpp) of the counters first, first + stride, ...
// in 64-bit integer lanes.

void uniformLanes(std::uint64_t key, std::uint64_t first, std::uint64_t stride, double* values, std::size_t count) {
    // key + golden * counter, advanced by golden * step from block to block
    // (the same sum modulo 2^64, one 64-bit product fewer per block).
    U mixed, advance;
    constexpr std::uint64_t golden = 0x9e3779b97f4a7c15ULL;
    for (std::size_t i = 0; i < Lanes; ++i)
        setLane(mixed, i, key + golden * (first + i * stride)), setLane(advance, i, golden * (Lanes * stride));
    // A 52-bit integer n as the double 1 + n 2^-52, exactly; less 1 - 2^-53
    // it is (n + 0.5) 2^-52 exactly (the two lie within a factor of two), as
    // counterUniform works it out in three steps.
    const U one = mixed * 0 + 0x3ff0000000000000ULL;
    for (std::size_t at = 0; at < count; at += Lanes, mixed += advance) {
        U z = mixed;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        z = z ^ (z >> 31);
        store(values + at, doubleOf((z >> 12) | one) - splat(1 - 0x1p-53));
    }
}

} // namespace
} // namespace trelmox

namespace trelmox {
extern const BlockKernel TRELMOX_KERNEL{TRELMOX_KERNEL_NAME, Lanes, evaluateLanes, drawLanes, uniformLanes};
} // namespace trelmox
