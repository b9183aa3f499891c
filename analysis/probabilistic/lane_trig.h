// The trigonometric terms of a block kernel's lanes: the sines, cosines
// and tangents of the sampled angles in degrees (degree_trig.h, SLEEF
// beyond its range, the exact tables at whole degrees), and the slope's
// normals made of them, worked out once for all blocks where they do not
// vary.
// Part of a block kernel's body (kernel_lanes.h), included by it after
// lane_values.h; no include guard: each kernel's own copy in its own
// unnamed namespace.

namespace trelmox {
namespace {

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

} // namespace
} // namespace trelmox
