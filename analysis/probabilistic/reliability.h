#pragma once
// Reliability analysis of one block: the reliability index beta, the design
// point (the most likely inputs at failure) and the importance of each
// input's uncertainty by FORM, the second-order correction (Breitung,
// Tvedt), the probability of failure by importance sampling at the design
// point, the failure modes the factor's contact cases give with the
// system's probability (importance sampling over a mixture of their design
// points, Ditlevsen's bounds), a target beta and the least bolt force that
// reaches it, along a given direction or in the direction needing least.
//
// The inputs and their distributions are the probabilistic run's
// (ProbabilisticSettings: distributions, truncation, the c-f copula,
// Fisher planes, the seed and the threads), and failure is what that run
// counts: a wedge whose factor is below 1.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/probabilistic/form.h"
#include "analysis/probabilistic/importance_sampling.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/reliability_space.h"

namespace trelmox {

// The target reliability indices of structural members for the ultimate
// limit state in the persistent design situation by safety class and
// failure type (GB 50153-2008, Table A.1.4): a ductile failure of class II
// is the base, 3.2, and each class up or a brittle failure adds 0.5.
enum class SafetyClass { First, Second, Third }; // 一级, 二级, 三级
enum class FailureType { Ductile, Brittle };     // 延性破坏, 脆性破坏
double targetBeta(SafetyClass safetyClass, FailureType failureType);

struct ReliabilitySettings {
    // The inputs' distributions, the c-f correlations and Fisher planes, the
    // seed, the threads and Vectorised; Samples, Method and the histogram
    // are not used.
    ProbabilisticSettings Inputs;
    ReliabilityFactor Factor = ReliabilityFactor::Fs;
    double TargetCov = 0.1;               // importance sampling stops at this CoV
    std::uint64_t MaxSamples = 1'000'000; // or after so many samples (each run)
    std::optional<double> TargetBeta;     // checked when given
    // One more active bolt along this direction: its least force with which
    // the block reaches TargetBeta (which must then be given; Fs only).
    std::optional<LineDirection> DesignBolt;
    // Instead: the direction needing the least such force, and that force.
    bool LeastForceBolt = false;
    FactorHook Hook; // for checking: a factor in place of Kc or Fs
};

// Why a figure could not be worked out.
enum class ReliabilityFailure {
    NoFactorAtMedians,     // the inputs' medians cut out no wedge, or its factor fails
    FlatFactor,            // the factor does not change with the random inputs there
    NoFactorNearby,        // the search met points without a factor on both sides
    NotConverged,          // no start's search converged
    NoVariedInput,         // nothing varies
    BoltCannotReachTarget, // no force of the design bolt reaches the target
    NoBoltReachesTarget,   // no direction found whose bolt reaches the target
};
// The failure as the user reads it, in the language of the messages.
std::string reliabilityFailureText(ReliabilityFailure failure);

// One failure mode: a design point of its own.
struct ReliabilityMode {
    TWedgeContact Contact = TWedgeContact::BothPlanes; // at its design point
    double Beta = 0, PfForm = 0;
    std::vector<double> U, Alpha, DesignPoint; // by coordinate; DesignPoint in the inputs' units
};

struct ReliabilityResult {
    bool Cancelled = false;
    ReliabilityFactor Factor = ReliabilityFactor::Fs;
    // The coordinates' inputs (ReliabilityMode's vectors follow them).
    std::vector<Parameter> Inputs;
    std::optional<ReliabilityFailure> Failure; // the design point's search failed
    // The main design point (the mode of least beta) and what FORM gives there.
    std::optional<ReliabilityMode> Design;
    std::optional<double> FactorAtDesignPoint;
    int Iterations = 0;            // of the main design point's search
    std::uint64_t Evaluations = 0; // of the factor by every search and the curvatures
    std::vector<double> Curvatures;
    std::optional<double> PfBreitung, PfTvedt;
    // Importance sampling centred at the design point; over the mixture of
    // every mode's (the same run when there is one mode).
    std::optional<SampledProbability> Importance, System;
    // Every distinct mode, least beta first.
    std::vector<ReliabilityMode> Modes;
    // Ditlevsen's bounds of the series system's first-order probability from
    // the modes' beta and the correlations alpha_i . alpha_j, and the
    // system's index from the upper bound (the target is checked with it).
    std::optional<double> DitlevsenLow, DitlevsenHigh, SystemBeta;
    std::optional<double> TargetBeta;
    std::optional<bool> MeetsTarget;
    // The design bolt: the given direction or the least-force one found
    // (none when no bolt is needed or none reaches), and its force. The
    // target holds for every force up to BoltForceMargin above it.
    bool LeastForceBolt = false;
    std::optional<LineDirection> DesignBolt;
    std::optional<double> RequiredBoltForce;
    std::optional<ReliabilityFailure> BoltFailure;
    // The least-force direction's search: no direction needs less than
    // BoltLowerBound, and whether the force found is within
    // LeastBoltTolerance of it (none when it cannot tell: a factor hook).
    std::optional<double> BoltLowerBound;
    std::optional<bool> BoltLeastConfirmed;
    std::uint64_t BoltEvaluations = 0; // of the factor by the bolt's FORM searches
    int BoltDirections = 0;            // tried by the search
};

// Throws Error for settings that do not fit the block (validateSettings),
// a target CoV not above 0, no sample allowed, a target beta that is not
// finite, a design bolt (along a direction or the least-force one) without
// a target or with Kc or beside a varied bolt total, both kinds at once, loads with a least wedge size (whose too small wedges the
// lanes do not tell).
void validateReliability(const BlockInputs& inputs, const ReliabilitySettings& settings);
ReliabilityResult runReliability(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                 const WedgeLoads& loads, const ReliabilitySettings& settings,
                                 const ProgressCallback& progress = {});

// The modes' first-order series-system bounds (Ditlevsen), least beta first.
std::pair<double, double> ditlevsenBounds(const std::vector<ReliabilityMode>& modes);

} // namespace trelmox
