#include "analysis/probabilistic/kernel.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "analysis/polyhedron.h"
#include "analysis/probabilistic/sample_trig.h"
#include "analysis/vector_method.h"
#include "analysis/wedge_size.h"
#include "model/checked.h"

namespace trelmox {

extern const BlockKernel Sse2Kernel, AvxKernel, Avx2Kernel, Avx512Kernel;

const char* outcomeMessage(SampleOutcome o) {
    switch (o) {
    case SampleOutcome::Overflow: return OverflowMessage;
    case SampleOutcome::DivisionByZero: return DivisionByZeroMessage;
    case SampleOutcome::InvalidOperation: return InvalidOperationMessage;
    case SampleOutcome::NoDriving: return noDrivingMessage();
    default: return "";
    }
}

SampleOutcome outcomeOfFailure(const Error& failure) {
    switch (failure.fault()) {
    case ArithmeticFault::DivisionByZero: return SampleOutcome::DivisionByZero;
    case ArithmeticFault::InvalidOperation: return SampleOutcome::InvalidOperation;
    case ArithmeticFault::NoDrivingForce: return SampleOutcome::NoDriving;
    case ArithmeticFault::Overflow:
    case ArithmeticFault::None: break;
    }
    return SampleOutcome::Overflow;
}

namespace {

bool varies(const std::vector<Parameter>& varying, Parameter p) {
    return std::find(varying.begin(), varying.end(), p) != varying.end();
}

// The inputs each term is worked out from.
std::vector<Parameter> termInputs(TrigTerm term) {
    using P = Parameter;
    switch (term) {
    case TrigTerm::Dip1: return {P::Dip1};
    case TrigTerm::Dip2: return {P::Dip2};
    case TrigTerm::DipTop: return {P::DipTop};
    case TrigTerm::DipFace: return {P::DipFace};
    case TrigTerm::Dir1: return {P::DipDir1};
    case TrigTerm::Dir2: return {P::DipDir2};
    case TrigTerm::DirTop: return {P::DipDirTop};
    case TrigTerm::DirFace: return {P::DipDirFace};
    case TrigTerm::Relative1: return {P::DipDir1, P::DipDir2};
    case TrigTerm::RelativeFace: return {P::DipDirFace, P::DipDir2};
    case TrigTerm::TanTop: return {P::DipTop};
    }
    return {};
}

SinCos<double> fixedTerm(TrigTerm term, const PlaneAttitudeArray& a) {
    switch (term) {
    case TrigTerm::Dip1:
    case TrigTerm::Dip2:
    case TrigTerm::DipTop:
    case TrigTerm::DipFace: return sampleSinCosOfDegrees(a[int(term)].DipAngle);
    case TrigTerm::Dir1:
    case TrigTerm::Dir2:
    case TrigTerm::DirTop:
    case TrigTerm::DirFace: return sampleSinCosOfDegrees(a[int(term) - 4].DipDirection);
    case TrigTerm::Relative1: return sampleSinCosOfDifference(a[0].DipDirection, a[1].DipDirection);
    case TrigTerm::RelativeFace: return sampleSinCosOfDifference(a[3].DipDirection, a[1].DipDirection);
    case TrigTerm::TanTop: return {sampleTanOfDegrees(a[2].DipAngle), 0};
    }
    return {};
}

void appendDirection(std::vector<double>& to, const LineDirection& direction) {
    const TPoint3D v = directionVector(direction);
    to.insert(to.end(), {v.x, v.y, v.z});
}

} // namespace

void buildKernelPlan(const BlockInputs& base, const std::vector<Parameter>& varying, KernelPlan& plan) {
    KernelConstants& k = plan.Constants;
    for (int i = 0; i < ParameterCount; ++i) k.Base[i] = parameterValue(base, static_cast<Parameter>(i));
    k.ComputedWater = base.ComputedWater;
    k.Overhang = base.Numbers.OverhangCoefficient;
    for (int t = 0; t < TrigTermCount; ++t) {
        const auto term = static_cast<TrigTerm>(t);
        const std::vector<Parameter> inputs = termInputs(term);
        k.Varies[t] = std::any_of(inputs.begin(), inputs.end(), [&](Parameter p) { return varies(varying, p); });
        if (k.Varies[t]) continue;
        try {
            const SinCos<double> sc = fixedTerm(term, base.Attitudes);
            k.Fixed[t][0] = sc.sin, k.Fixed[t][1] = sc.cos;
        } catch (const Error&) {
            k.FixedKcOverflows |= entersKc(term);
            k.FixedFsOverflows |= entersFs(term);
        }
    }
    k.WholeSinCos = &WholeDegreeSinCos[0].sin;
    k.WholeTan = WholeDegreeTan.data();
    const WedgeLoads& loads = base.Loads;
    k.Water = loads.Water;
    k.SeismicAlongSliding = !loads.SeismicDirection;
    if (loads.SeismicDirection) {
        const TPoint3D v = directionVector(*loads.SeismicDirection);
        k.SeismicDirection[0] = v.x, k.SeismicDirection[1] = v.y, k.SeismicDirection[2] = v.z;
    }
    if (loads.Crack) {
        k.Crack = true;
        try {
            const TPoint3D n = sampleUpwardNormal(loads.Crack->Attitude);
            k.CrackNormal[0] = n.x, k.CrackNormal[1] = n.y, k.CrackNormal[2] = n.z;
        } catch (const Error&) {
            k.FixedFsOverflows = true;
        }
    }
    k.PlainStrengths = plainStrengths(loads.Strength);
    for (int plane = 0; plane < 2; ++plane) {
        const JointStrength& strength = loads.Strength[plane];
        k.BartonBandis[plane] = strength.Model == StrengthModel::BartonBandis;
        k.Jrc[plane] = strength.Jrc, k.Jcs[plane] = strength.Jcs;
        k.ResidualFriction[plane] = strength.ResidualFriction, k.Waviness[plane] = strength.Waviness;
    }
    k.FacePressure = loads.FacePressure;
    k.TopPressure = loads.TopPressure;
    plan.ForceShares = base.ForceShares;
    for (const ExternalForce& f : loads.Forces) appendDirection(plan.ForceDirections, f.Direction);
    plan.BoltShares = base.BoltShares;
    for (const Bolt& b : loads.Bolts) {
        appendDirection(plan.BoltDirections, b.Direction);
        plan.BoltActive.push_back(b.Mode == BoltMode::Active);
    }
    // Summed in order, as the loads' totals are shared out.
    for (double share : plan.ForceShares) k.ForceShareSum += share;
    for (double share : plan.BoltShares) k.BoltShareSum += share;
    k.ForceCount = plan.ForceShares.size();
    k.BoltCount = plan.BoltShares.size();
    k.ForceShares = plan.ForceShares.data();
    k.ForceDirections = plan.ForceDirections.data();
    k.BoltShares = plan.BoltShares.data();
    k.BoltDirections = plan.BoltDirections.data();
    k.BoltActive = plan.BoltActive.data();
    // A crack cuts the wedge into shapes the lanes do not size.
    const WedgeSizeLimits& size = loads.Size;
    k.Sized = sizes(size) && !loads.Crack;
    for (int kind = 0; kind < SizeLimitKindCount; ++kind)
        k.Limits[kind] = sizeLimit(size, static_cast<SizeLimitKind>(kind)).has_value();
    k.PersistenceAlong = size.Measure == PersistenceMeasure::AlongIntersection;
    k.Bench = size.Bench.has_value();
    k.HasCatchWidth = size.Bench && size.Bench->CatchWidth;
    if (k.HasCatchWidth) k.CatchWidth = *size.Bench->CatchWidth;
    k.HasMinVolume = size.MinVolume.has_value(), k.MinVolume = size.MinVolume.value_or(0);
    k.HasMinWeight = size.MinWeight.has_value(), k.MinWeight = size.MinWeight.value_or(0);
    k.HasMinHeight = size.MinHeight.has_value(), k.MinHeight = size.MinHeight.value_or(0);
}

std::vector<const BlockKernel*> supportedKernels() {
    std::vector<const BlockKernel*> kernels{&Sse2Kernel};
    if (__builtin_cpu_supports("avx")) kernels.push_back(&AvxKernel);
    if (__builtin_cpu_supports("avx2")) kernels.push_back(&Avx2Kernel);
    // DQ for the counters' 64-bit products in one instruction; every
    // AVX-512 processor for desktops and servers has it.
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq")) kernels.push_back(&Avx512Kernel);
    return kernels;
}

// TRELMOX_LANES (SSE2, AVX, AVX2 or AVX-512) caps the lanes at a narrower
// kernel than the processor has, to measure or check what a machine
// without the wider instructions does; the results are the same bits
// either way. A name the processor cannot run, or none, gives the widest.
const BlockKernel& widestKernel() {
    static const BlockKernel& widest = []() -> const BlockKernel& {
        const std::vector<const BlockKernel*> kernels = supportedKernels();
        if (const char* cap = std::getenv("TRELMOX_LANES"))
            for (const BlockKernel* k : kernels)
                if (std::string_view(k->Name) == cap) return *k;
        return *kernels.back();
    }();
    return widest;
}

} // namespace trelmox
