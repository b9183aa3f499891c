#pragma once
// Combinations: every pair of candidate cutting planes - joint sets, each as
// its Fisher mean plane, or individual measured planes - set into one slope
// (its top, face, height, unit weights, water and loads), and for each pair
// the wedge's kinematic check, Kc and the full factor Fs of the real wedge.
// The pairs come back sorted by Fs, the critical wedge first, so that an
// engineer sees at once which planes cut out the worst wedge; the pairs that
// cut out none stay in the list with the reason.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/full_analysis.h"
#include "analysis/joints/sets.h"
#include "analysis/orientation.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/loads.h"

namespace trelmox {

// A plane offered as a cutting plane.
struct CandidatePlane {
    std::string Label; // a set's label, or the plane's line of the file
    int Line = 0;      // the file's line of a measured plane; 0 for a set
    TPlaneAttitude Plane;
    // The plane's own strength, where the measurement file gives it; else a
    // pair's first plane takes the block's c1, f1 and its second c2, f2.
    std::optional<double> Cohesion, Friction;
    // A set's Fisher concentration K, for drawing its planes about the mean;
    // absent for a measured plane and a set whose K is not finite.
    std::optional<double> Kappa;
};

// Every measured plane on its own, in file order.
std::vector<CandidatePlane> measuredCandidates(const std::vector<Measurement>& planes);
// Each set as its Fisher mean plane, in the sets' order. A set's c (f) is
// the one its members give; members without one take it from the others.
// Throws Error when two members of a set give different values, since no
// single strength could then stand for the set.
std::vector<CandidatePlane> setCandidates(const std::vector<Measurement>& planes, const std::vector<JointSet>& sets);

// The slope the pairs are set into.
struct CombinationSlope {
    TPlaneAttitude Top, Face;
    BlockParameters Parameters; // as the block gives them, for the pairs' own runs
    WedgeNumbers Numbers;       // its c1, f1, c2, f2 are the planes' defaults
    WedgeLoads Loads;
};
// The slope of a block (its planes and parameters) with its loads. Throws
// Error for parameters out of their range (the analysis's messages) and
// loads out of range.
CombinationSlope combinationSlope(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                  const WedgeLoads& loads);

// The block a pair makes: the slope's attitudes and parameters with the pair
// as its first and second cutting plane (both notations) and the planes' own
// c and f in place of the block's. Analysed as a block, it gives the pair's
// figures.
SavedBlock pairBlock(const SavedBlock& slope, const CandidatePlane& first, const CandidatePlane& second);
// The same block as the analysis takes it, set into the slope's numbers: the
// pair's attitudes and parameters, to the last bit those of pairBlock read
// back.
struct PairInput {
    PlaneAttitudeArray Attitudes{};
    BlockParameters Parameters{};
};
PairInput pairInput(const CombinationSlope& slope, const CandidatePlane& first, const CandidatePlane& second);

// What a pair keeps of its full analysis: the contact case and the factor.
struct PairSafety {
    TWedgeContact Contact = TWedgeContact::Unresolved;
    double Factor = 0;
};

// One row of the combinations, kept small because a run holds one for
// every pair of its candidates.
struct PlanePair {
    std::uint32_t First = 0, Second = 0; // indices of the candidates, First < Second
    // The line of intersection (none for parallel planes), and whether the
    // wedge can slide along it: it daylights in the face and plunges more
    // steeply than the friction angle of the weaker plane, arctan min(f1, f2).
    std::optional<LineAttitude> Intersection;
    bool Kinematic = false;
    std::optional<SafetyResult> Kc;      // absent when its computation failed
    std::optional<PairSafety> Full;      // absent when its computation failed
    std::optional<WedgeRefusal> Refusal; // why the real wedge does not exist
    std::optional<StabilityState> State;
    // The failures, null when none. Shared: the few different failures are
    // each stored once however many pairs fail with them, and live as long
    // as the program.
    const Error* KcFailure = nullptr;
    const Error* FullFailure = nullptr;
    // Fs is worked out: contact on both planes, on one, or lift-off (Fs 0).
    bool hasFactor() const;
};

// The most pairs one run works out. Every pair is kept for the sorted list,
// about 100 bytes each, and takes tens of microseconds: two million pairs
// (two thousand planes) are some 200 MB and a minute on one core. More
// planes than that are grouped into sets first.
inline constexpr std::size_t MaxCombinationPairs = 2'000'000;

// Every pair i < j of the candidates as the first and the second cutting
// plane, sorted: pairs with Fs first, by Fs ascending, then the others; ties
// in pair order. The same on any number of threads (0: all cores). Throws
// Error, before anything is allocated, for more than MaxCombinationPairs
// pairs.
std::vector<PlanePair> combinePlanes(const std::vector<CandidatePlane>& planes, const CombinationSlope& slope,
                                     unsigned threads = 0);

// The pair's Kc where it cuts out a wedge, and Fs where hasFactor().
std::optional<double> pairKc(const PlanePair& pair);
std::optional<double> pairFs(const PlanePair& pair);

// "共 N 对：切出楔块 M 对，其中运动学上可滑动 K 对；最危险楔块：A 与 B，
// Fs = 0.8123（<state>）", the last part when the first pair has a factor.
std::string combinationsSummary(const std::vector<CandidatePlane>& planes, const std::vector<PlanePair>& pairs);

// Why the pair cuts out no real wedge or has no factor, for the user: the
// refusal's message, the failures (each named Kc or Fs) in one message;
// nothing when the full analysis found its wedge. Its kind and source are
// those of the full analysis's failure, else of Kc's; a refusal alone is of
// kind Other, a wedge that does not exist rather than a failure.
std::optional<Error> pairFailure(const PlanePair& pair);
// Its message alone.
std::optional<std::string> pairProblem(const PlanePair& pair);

} // namespace trelmox
