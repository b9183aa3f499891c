#include "analysis/joints/combinations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <mutex>
#include <map>
#include <tuple>

#include "analysis/joints/kinematics.h"
#include "analysis/probabilistic/team.h"
#include "model/wording.h"
#include "model/attitude.h"
#include "model/error.h"
#include "model/exact_text.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

constexpr int First = int(TPlaneRole::FirstCuttingPlane);
constexpr int Second = int(TPlaneRole::SecondCuttingPlane);

// The one value the members give for a strength, if any.
std::optional<double> setStrength(const std::vector<Measurement>& planes, const JointSet& set,
                                  std::optional<double> Measurement::*field, const char* what, const char* english) {
    std::optional<double> value;
    int line = 0;
    for (std::size_t member : set.Members) {
        const Measurement& m = planes[member];
        if (!(m.*field)) continue;
        if (value && *value != *(m.*field))
            throw Error::refused(inLanguage("组“" + set.Label + "”的" + what + " 不一致：第 " + std::to_string(line) +
                                                " 行为 " + floatToText(*value) + "，第 " + std::to_string(m.Line) +
                                                " 行为 " + floatToText(*(m.*field)),
                                            std::string(english) + " differs within set \"" + set.Label + "\": line " +
                                                std::to_string(line) + " has " + floatToText(*value) + ", line " +
                                                std::to_string(m.Line) + " has " + floatToText(*(m.*field))));
        value = m.*field;
        line = m.Line;
    }
    return value;
}

WedgeNumbers pairNumbers(const WedgeNumbers& slope, const CandidatePlane& first, const CandidatePlane& second) {
    WedgeNumbers n = slope;
    n.Cohesion1 = first.Cohesion.value_or(slope.Cohesion1);
    n.Friction1 = first.Friction.value_or(slope.Friction1);
    n.Cohesion2 = second.Cohesion.value_or(slope.Cohesion2);
    n.Friction2 = second.Friction.value_or(slope.Friction2);
    return n;
}

// The failures of a run, each stored once. Never shrinks: the failures are
// a small fixed vocabulary, and rows of earlier runs point in.
const Error* sharedFailure(const Error& failure) {
    using Key = std::tuple<std::string, ErrorKind, ArithmeticFault, std::string, int>;
    static std::mutex mutex;
    static std::map<Key, Error> failures;
    const std::lock_guard lock(mutex);
    const Key key{failure.what(), failure.kind(), failure.fault(), failure.field(), failure.row()};
    return &failures.try_emplace(key, failure).first->second;
}

// Everything the pairs share, worked out once.
struct PairContext {
    const std::vector<CandidatePlane>& Planes;
    const CombinationSlope& Slope;
    std::vector<TPoint3D> Normals; // upward normals of the candidates
    WedgePlanes SlopePlanes;       // the top, the face and the crack
};

void analysePair(const PairContext& context, PlanePair& pair, FullAnalysis& work) {
    const CandidatePlane& a = context.Planes[pair.First];
    const CandidatePlane& b = context.Planes[pair.Second];
    const WedgeNumbers numbers = pairNumbers(context.Slope.Numbers, a, b);
    const WedgeKinematics kinematics = wedgeKinematics(a.Plane, b.Plane, context.Slope.Face,
                                                       frictionAngle(std::min(numbers.Friction1, numbers.Friction2)));
    pair.Intersection = kinematics.Intersection;
    pair.Kinematic = kinematics.possible();
    try {
        pair.Kc =
            computeSafetyFactor(PlaneAttitudeArray{a.Plane, b.Plane, context.Slope.Top, context.Slope.Face}, numbers);
    } catch (const Error& e) {
        pair.KcFailure = sharedFailure(e);
    }
    WedgePlanes planes = context.SlopePlanes;
    planes.FirstPlane = context.Normals[pair.First];
    planes.SecondPlane = context.Normals[pair.Second];
    try {
        analyseWedge(planes, numbers, context.Slope.Loads, work);
        pair.Full = PairSafety{work.Safety.Contact, work.Safety.Factor};
        pair.Refusal = work.Refusal;
        pair.State = work.State;
    } catch (const Error& e) {
        pair.FullFailure = sharedFailure(e);
    }
}

// Pairs (i, j), i < j, in row order: row i starts at i n - i (i + 1) / 2.
std::size_t rowStart(std::size_t i, std::size_t n) { return i * n - i * (i + 1) / 2; }

// One pair's Kc and full analysis, in the units of team.h: some 2 us.
constexpr std::uint64_t PairWork = 64;

// Rows get shorter down the triangle, so they are handed out one by one.
void analyseAll(const PairContext& context, std::vector<PlanePair>& pairs, unsigned threads) {
    const std::size_t n = context.Planes.size();
    std::exception_ptr failure;
    std::mutex failureMutex;
#pragma omp parallel num_threads(teamSize(threads, n*(n - 1) / 2 * PairWork))
    {
        FullAnalysis work;
#pragma omp for schedule(dynamic, 1)
        for (std::int64_t row = 0; row < static_cast<std::int64_t>(n); ++row) {
            try {
                const auto i = static_cast<std::size_t>(row);
                for (std::size_t j = i + 1; j < n; ++j) {
                    PlanePair& pair = pairs[rowStart(i, n) + (j - i - 1)];
                    pair.First = static_cast<std::uint32_t>(i);
                    pair.Second = static_cast<std::uint32_t>(j);
                    analysePair(context, pair, work);
                }
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure) failure = std::current_exception();
            }
        }
    }
    if (failure) std::rethrow_exception(failure);
}

bool criticalFirst(const PlanePair& a, const PlanePair& b) {
    if (a.hasFactor() != b.hasFactor()) return a.hasFactor();
    if (a.hasFactor() && a.Full->Factor != b.Full->Factor) return a.Full->Factor < b.Full->Factor;
    return std::pair(a.First, a.Second) < std::pair(b.First, b.Second);
}

} // namespace

std::vector<CandidatePlane> measuredCandidates(const std::vector<Measurement>& planes) {
    std::vector<CandidatePlane> candidates;
    for (const Measurement& m : planes)
        candidates.push_back({std::to_string(m.Line), m.Line, m.Plane, m.Cohesion, m.Friction, std::nullopt});
    return candidates;
}

std::vector<CandidatePlane> setCandidates(const std::vector<Measurement>& planes, const std::vector<JointSet>& sets) {
    std::vector<CandidatePlane> candidates;
    for (const JointSet& set : sets)
        candidates.push_back({set.Label, 0, set.Stats.MeanPlane,
                              setStrength(planes, set, &Measurement::Cohesion, "黏聚力 c", "cohesion c"),
                              setStrength(planes, set, &Measurement::Friction, "摩擦系数 f", "friction coefficient f"),
                              set.Stats.Kappa && std::isfinite(*set.Stats.Kappa) ? set.Stats.Kappa : std::nullopt});
    return candidates;
}

CombinationSlope combinationSlope(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                  const WedgeLoads& loads) {
    validateLoads(loads);
    return {attitudes[int(TPlaneRole::SlopeTopSurface)], attitudes[int(TPlaneRole::SlopeFace)], parameters,
            wedgeNumbers(parameters), loads};
}

SavedBlock pairBlock(const SavedBlock& slope, const CandidatePlane& first, const CandidatePlane& second) {
    SavedBlock block = slope;
    block.Attitudes[First] = first.Plane;
    block.Attitudes[Second] = second.Plane;
    PlaneQuadrantArray quadrants = slope.Quadrants;
    data2to1(block.Attitudes, quadrants);
    block.Quadrants[First] = quadrants[First];
    block.Quadrants[Second] = quadrants[Second];
    // Exact texts: the block read back is the pair to the last bit.
    if (first.Cohesion) block.Params.Cohesion1 = floatToExactText(*first.Cohesion);
    if (first.Friction) block.Params.Friction1 = floatToExactText(*first.Friction);
    if (second.Cohesion) block.Params.Cohesion2 = floatToExactText(*second.Cohesion);
    if (second.Friction) block.Params.Friction2 = floatToExactText(*second.Friction);
    return block;
}

PairInput pairInput(const CombinationSlope& slope, const CandidatePlane& first, const CandidatePlane& second) {
    PairInput pair;
    pair.Attitudes[First] = first.Plane;
    pair.Attitudes[Second] = second.Plane;
    pair.Attitudes[int(TPlaneRole::SlopeTopSurface)] = slope.Top;
    pair.Attitudes[int(TPlaneRole::SlopeFace)] = slope.Face;
    pair.Parameters = slope.Parameters;
    if (first.Cohesion) pair.Parameters.Cohesion1 = *first.Cohesion;
    if (first.Friction) pair.Parameters.Friction1 = *first.Friction;
    if (second.Cohesion) pair.Parameters.Cohesion2 = *second.Cohesion;
    if (second.Friction) pair.Parameters.Friction2 = *second.Friction;
    return pair;
}

bool PlanePair::hasFactor() const { return Full && cutsOutWedge(Full->Contact) && !std::isnan(Full->Factor); }

std::optional<double> pairKc(const PlanePair& pair) {
    if (pair.Kc && cutsOutWedge(pair.Kc->Contact)) return pair.Kc->SafetyFactor;
    return std::nullopt;
}

std::optional<double> pairFs(const PlanePair& pair) {
    if (pair.hasFactor()) return pair.Full->Factor;
    return std::nullopt;
}

std::vector<PlanePair> combinePlanes(const std::vector<CandidatePlane>& planes, const CombinationSlope& slope,
                                     unsigned threads) {
    // The cutting planes' normals are filled in pair by pair.
    PairContext context{
        planes, slope, {}, wedgePlanes({slope.Top, slope.Top, slope.Top, slope.Face}, slope.Loads.Crack)};
    for (const CandidatePlane& p : planes) context.Normals.push_back(upwardNormal(p.Plane));
    const std::size_t n = planes.size();
    const std::size_t count = n < 2 ? 0 : n * (n - 1) / 2;
    if (count > MaxCombinationPairs)
        throw Error::refused(inLanguage(
            "结构面（组）" + std::to_string(n) + " 个，两两组合共 " + std::to_string(count) +
                " 对，超过一次组合的上限 " + std::to_string(MaxCombinationPairs) +
                " 对（约 2000 个结构面）：请先按组号或自动分组，再组合各组",
            std::to_string(n) + " planes (or sets) make " + std::to_string(count) + " pairs, over the limit of " +
                std::to_string(MaxCombinationPairs) +
                " pairs in one run (about 2000 planes): group them by set label or automatically first, then combine the sets"));
    std::vector<PlanePair> pairs(count);
    analyseAll(context, pairs, threads);
    std::sort(pairs.begin(), pairs.end(), criticalFirst);
    return pairs;
}

std::string combinationsSummary(const std::vector<CandidatePlane>& planes, const std::vector<PlanePair>& pairs) {
    std::size_t wedges = 0, kinematic = 0;
    for (const PlanePair& p : pairs) {
        wedges += p.hasFactor();
        kinematic += p.hasFactor() && p.Kinematic;
    }
    const bool english = inEnglish();
    std::string text = english
                           ? std::to_string(pairs.size()) + " pairs: " + std::to_string(wedges) + " cut out a wedge, " +
                                 std::to_string(kinematic) + " of them kinematically free to slide"
                           : "共 " + std::to_string(pairs.size()) + " 对：切出楔块 " + std::to_string(wedges) +
                                 " 对，其中运动学上可滑动 " + std::to_string(kinematic) + " 对";
    if (pairs.empty() || !pairs.front().hasFactor()) return text;
    const PlanePair& critical = pairs.front();
    text += english ? "; most critical wedge: " + planes[critical.First].Label + " and " +
                          planes[critical.Second].Label + ", Fs = " + floatToFixed4(critical.Full->Factor)
                    : "；最危险楔块：" + planes[critical.First].Label + " 与 " + planes[critical.Second].Label +
                          "，Fs = " + floatToFixed4(critical.Full->Factor);
    if (critical.State)
        text += english ? " (" + std::string(stabilityStateName(*critical.State)) + ")"
                        : "（" + std::string(stabilityStateName(*critical.State)) + "）";
    return text;
}

std::optional<Error> pairFailure(const PlanePair& pair) {
    std::string problem;
    const bool english = inEnglish();
    const auto add = [&](const std::string& text) { problem += (problem.empty() ? "" : english ? "; " : "；") + text; };
    if (pair.Refusal) add(refusalMessage(*pair.Refusal));
    if (pair.FullFailure) add((english ? "Fs: " : "Fs：") + std::string(pair.FullFailure->what()));
    if (pair.KcFailure) add((english ? "Kc: " : "Kc：") + std::string(pair.KcFailure->what()));
    if (problem.empty()) return std::nullopt;
    if (const Error* first = pair.FullFailure ? pair.FullFailure : pair.KcFailure) return first->reworded(problem);
    return Error(problem);
}

std::optional<std::string> pairProblem(const PlanePair& pair) {
    const std::optional<Error> failure = pairFailure(pair);
    if (!failure) return std::nullopt;
    return failure->what();
}

} // namespace trelmox
