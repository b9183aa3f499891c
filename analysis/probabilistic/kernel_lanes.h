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
// The formulas the lanes share with the analysis are written once over
// their value type (strength_formula.h, wedge_formula.h,
// vector_method_formula.h, tetrahedron_formula.h, polygon_formula.h,
// size_formula.h, quantile_formula.h) and instantiated here for the lanes'
// vectors (lane_values.h). The rest is the lanes' own (their outcomes, the
// trigonometry, the loads, the gathering of the
// tail draws in lane_outcomes.h, lane_trig.h, lane_shape.h and
// lane_draws.h) and follows the scalar code line by line; see the
// comments there for the engineering. Every operation is a plain IEEE operation on each lane, so
// a lane gives the bits of the scalar code.
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
#include "analysis/polygon_formula.h"
#include "analysis/probabilistic/quantile_formula.h"
#include "analysis/size_formula.h"
#include "analysis/strength_formula.h"
#include "analysis/tetrahedron_formula.h"
#include "analysis/vector_method_formula.h"
#include "analysis/wedge_formula.h"
// The parts of the body, each after those it uses.
#include "analysis/probabilistic/lane_outcomes.h"
#include "analysis/probabilistic/lane_trig.h"
#include "analysis/probabilistic/lane_shape.h"
#include "analysis/probabilistic/lane_draws.h"

namespace trelmox {
namespace {

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
        // forces.cpp's saturatedWater with a crack (wedge_formula.h).
        const LanePolygon<4>& face = s.CrackFace;
        const auto [low, high] = heightSpanOf(face);
        const V capacity = crackCapacityOf(low, high, s.OpeningOnTop, s.OpeningOnFace);
        const V uncracked = drainedWaterPressureOf(n.WaterUnitWeight, s.LineTopZ);
        const CrackWater<V> water = crackWaterOf(low, high, capacity, in[Parameter::CrackWater], s.OpeningOnTop,
                                                 s.OpeningOnFace, s.LineEndZ, n.WaterUnitWeight, uncracked, M{});
        pressure1 = pressure2 = water.Pressure;
        crackWaterLoad = scale(n.WaterUnitWeight * depthIntegralOf(face, water.Level), s.CrackInward);
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

// The lengths a wedge without a crack has of those the limits bound
// (wedge_size.cpp's wedgeLengths, through the same formulas): its faces are
// the triangles toe, c1, c2 (plane 1), toe, c1, c3 (plane 2), toe, c2, c3
// (slope face) and c1, c2, c3.
struct LaneLengths {
    V Bounded[SizeLimitKindCount];
    V Height, BackBreak;
};

LaneLengths laneLengths(const KernelConstants& k, const LaneShape& s, V slopeHeight) {
    const Vec toe{splat(0), splat(0), splat(0)};
    const Vec face[3] = {toe, s.C2, s.C3}, all[4] = {toe, s.C1, s.C2, s.C3};
    LaneLengths l;
    using K = SizeLimitKind;
    const auto at = [&l](K kind) -> V& { return l.Bounded[static_cast<int>(kind)]; };
    const V rate = dot(s.FaceOut, s.Line), d1 = dot(s.FaceOut, s.C1);
    const Vec* crests[2] = {&s.C2, &s.C3};
    for (int i = 0; i < 2; ++i) {
        const TriangleFaceLengths<V> f =
            triangleFaceLengthsOf(s.C1, *crests[i], s.FaceOut, d1, rate, k.PersistenceAlong, !k.PersistenceAlong);
        at(i == 0 ? K::FaceTrace1 : K::FaceTrace2) = f.FaceTrace;
        at(i == 0 ? K::TopTrace1 : K::TopTrace2) = f.TopTrace;
        at(i == 0 ? K::Persistence1 : K::Persistence2) = k.PersistenceAlong ? f.Along : f.Extent;
    }
    at(K::SlopeLength) = slopeLengthOf(face, std::integral_constant<int, 3>{}, s.FaceOut);
    at(K::BenchHeight) = slopeHeight;
    const CrestFrame<Vec> crest = crestFrameOf(s.FaceOut, s.Top, slopeHeight, k.Bench);
    V bottom = splat(0), top = splat(0), reach = splat(0);
    for (const Vec& p : all) {
        bottom = smallerOf(bottom, p.z), top = largerOf(top, p.z);
        if (k.Bench) reach = largerOf(reach, reachBehindOf(p, crest));
    }
    l.Height = top - bottom;
    l.BackBreak = pick(crest.Has, reach, splat(0));
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
    for (int kind = 0; kind < SizeLimitKindCount; ++kind)
        if (k.Limits[kind])
            tightenFactor(factor, l.Bounded[kind], in[static_cast<Parameter>(FirstSizeParameter + kind)]);
    // A factor of 1 leaves every figure as it is, bit for bit, as the
    // scalar code's leaving the wedge unscaled does.
    const ScaleOf<V> by = scaleOf(factor);
    s.Area1 = s.Area1 * by.Area, s.Area2 = s.Area2 * by.Area;
    s.FaceArea = s.FaceArea * by.Area, s.TopArea = s.TopArea * by.Area;
    s.Volume = s.Volume * by.Volume;
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
        narrow = remainingBenchOf(in[Parameter::BenchWidth], sized.BackBreak) < splat(k.CatchWidth);
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

} // namespace
} // namespace trelmox

namespace trelmox {
extern const BlockKernel TRELMOX_KERNEL{TRELMOX_KERNEL_NAME, Lanes, evaluateLanes, drawLanes, uniformLanes};
} // namespace trelmox
