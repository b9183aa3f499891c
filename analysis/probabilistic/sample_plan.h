#pragma once
// The plan of a probabilistic run, worked out once before the samples and
// read-only while they run: the inputs that vary and how each is drawn, the
// Fisher planes, the correlated pairs, the kernel's constants and whether
// the full factor goes through the lanes or the scalar analysis.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/probabilistic/fisher.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/parameters.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sampling.h"

namespace trelmox::probabilistic_run {

// Samples per unit of work: large enough that scheduling costs nothing,
// small enough that progress and cancellation answer within a millisecond.
// A multiple of every lane width, so only a run's last chunk is padded.
constexpr std::uint64_t ChunkSize = 4096;
static_assert(ChunkSize % MaxLanes == 0);
// n samples padded to whole blocks of the widest lanes.
constexpr std::size_t paddedCount(std::size_t n) { return (n + MaxLanes - 1) / MaxLanes * MaxLanes; }

struct VaryingInput {
    Parameter Input;
    Sampler Draw;
};

// A cutting plane whose pole is drawn from its Fisher distribution, from
// the uniforms of its dip (the angle to the mean) and its dip direction
// (the azimuth about it).
struct FisherPlane {
    TPlaneRole Plane;
    FisherDistribution Distribution;
    Parameter AngleInput, AzimuthInput;
};

// Everything the samples share, read-only while they run.
// The cohesion and the friction of a plane drawn together (their columns
// among Varying) with correlation Rho of their normal scores.
struct CorrelatedPair {
    std::size_t Cohesion, Friction;
    double Rho;
};

struct SamplePlan {
    BlockInputs Base;
    std::vector<VaryingInput> Varying;
    std::vector<FisherPlane> Fisher;
    std::vector<CorrelatedPair> Correlated;
    // Every input whose value changes from sample to sample, in the order of
    // their columns: the varied ones, then dip and dip direction of each
    // Fisher plane.
    std::vector<Parameter> Inputs;
    KernelPlan Kernel;
    // The scalar path's full factor: the planes' normals (absent when the
    // block's attitudes fail: each sample then reports its own failure), and
    // the planes whose attitude varies.
    std::optional<WedgePlanes> BasePlanes;
    std::vector<TPlaneRole> ChangingPlanes;
    SampleDesign Design;
    bool Vectorised;
    double RequiredFactor;
    // The full factor of every sample through the scalar analysis: size
    // limits and passive bolts (which of them carry is decided per wedge),
    // which the lanes do not take, or no lanes at all.
    bool ScalarFull;
    // Each failed wedge's volume and weight are wanted.
    bool FailedSizes;
    // The tension crack's attitude changes from sample to sample.
    bool CrackTurns;
};

// The cohesion and the friction inputs of cutting plane k (0 or 1).
inline std::pair<Parameter, Parameter> strengthInputs(int k) {
    return k == 0 ? std::pair(Parameter::Cohesion1, Parameter::Friction1)
                  : std::pair(Parameter::Cohesion2, Parameter::Friction2);
}

// The dip and the dip direction inputs of cutting plane k (0 or 1), or of
// the tension crack (2).
inline std::pair<Parameter, Parameter> attitudeInputs(int k) {
    if (k == 2) return {Parameter::CrackDip, Parameter::CrackDipDir};
    return k == 0 ? std::pair(Parameter::Dip1, Parameter::DipDir1) : std::pair(Parameter::Dip2, Parameter::DipDir2);
}

inline const char* attitudeName(int k) { return k == 0 ? "plane 1" : k == 1 ? "plane 2" : "the tension crack"; }

// The plan of the settings' inputs: those varied, then each Fisher plane's.
SamplePlan samplePlan(const BlockInputs& base, const ProbabilisticSettings& settings);
// The plan of `inputs`, drawn as given.
SamplePlan samplePlan(const BlockInputs& base, const ProbabilisticSettings& settings, std::vector<VaryingInput> varying,
                      std::vector<FisherPlane> fisher, std::vector<CorrelatedPair> correlated,
                      std::vector<Parameter> inputs);

} // namespace trelmox::probabilistic_run
