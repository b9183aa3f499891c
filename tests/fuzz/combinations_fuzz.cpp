// Fuzz harness of combinations: a small fuzzed set of measured planes (the
// first eight of a measurement file) set into the example slope, without
// loads and with the example's loads, one by one and as labelled sets.
// Beyond not crashing: every pair is there, sorted critical first, with
// finite factors; and each pair's block, analysed alone as a block is, gives
// the row's Kc and Fs to the bit, or fails with the row's message.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "analysis/full_analysis.h"
#include "analysis/joints/combinations.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"
#include "analysis/wedge.h"
#include "model/companion.h"
#include "model/error.h"
#include "model/files.h"
#include "tests/fuzz/readable.h"
#include "tests/support/example_block.h"

using namespace trelmox;

namespace {

constexpr std::size_t MaxPlanes = 8;

void check(bool holds) {
    if (!holds) std::abort();
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

SavedBlock exampleSlope() {
    SavedBlock slope;
    slope.Attitudes = testing::exampleAttitudes();
    slope.Params = testing::exampleParams();
    return slope;
}

const WedgeLoads& exampleLoads() {
    static const WedgeLoads loads = parseCompanion(
        readFileBytes(std::filesystem::path(TRELMOX_TEST_DATA) / "example_loads.json"), "example_loads.json");
    return loads;
}

// The pair's block through the ordinary analyses of a block.
void requireSameAsItsBlock(const SavedBlock& slope, const WedgeLoads& loads, const std::vector<CandidatePlane>& planes,
                           const PlanePair& pair) {
    const SavedBlock block = pairBlock(slope, planes[pair.First], planes[pair.Second]);
    try {
        const SafetyResult kc = computeSafetyFactor(block.Attitudes, wedgeNumbers(parameterNumbers(block.Params)));
        check(pair.Kc && sameBits(pair.Kc->SafetyFactor, kc.SafetyFactor) && pair.Kc->Contact == kc.Contact);
    } catch (const Error& failure) {
        check(!pair.Kc && pair.KcFailure && std::string(pair.KcFailure->what()) == failure.what());
    }
    try {
        const FullAnalysis full =
            analyseSavedBlock(trelmox::BlockInput{block.Attitudes, {}, trelmox::parameterNumbers(block.Params)}, loads);
        check(pair.Full && sameBits(pair.Full->Factor, full.Safety.Factor) &&
              pair.Full->Contact == full.Safety.Contact);
        check(pair.Refusal == full.Refusal && pair.State == full.State);
    } catch (const Error& failure) {
        check(!pair.Full && pair.FullFailure && std::string(pair.FullFailure->what()) == failure.what());
    }
}

void combine(const std::vector<CandidatePlane>& planes, const WedgeLoads& loads) {
    const SavedBlock slope = exampleSlope();
    const std::vector<PlanePair> pairs =
        combinePlanes(planes, combinationSlope(slope.Attitudes, parameterNumbers(slope.Params), loads), 1);
    const std::size_t n = planes.size();
    check(pairs.size() == n * (n - 1) / 2);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const PlanePair& p = pairs[i];
        check(p.First < p.Second && p.Second < n);
        if (const auto fs = pairFs(p)) check(std::isfinite(*fs) && *fs >= 0);
        if (const auto kc = pairKc(p)) check(std::isfinite(*kc));
        if (i > 0 && pairs[i - 1].hasFactor() && p.hasFactor()) check(*pairFs(pairs[i - 1]) <= *pairFs(p));
        if (i > 0) check(pairs[i - 1].hasFactor() || !p.hasFactor());
        if (const auto problem = pairProblem(p)) fuzz::requireReadable(*problem);
        requireSameAsItsBlock(slope, loads, planes, p);
    }
    fuzz::requireReadable(combinationsSummary(planes, pairs));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MeasurementFile file;
    try {
        file = readMeasurements(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Error&) {
        return 0; // the reader's own harness checks its messages
    }
    if (file.Planes.size() > MaxPlanes) file.Planes.resize(MaxPlanes);
    for (const WedgeLoads& loads : {WedgeLoads{}, exampleLoads()}) {
        const std::vector<CandidatePlane> planes = measuredCandidates(file.Planes);
        if (planes.size() >= 2) combine(planes, loads);
        const std::vector<JointSet> sets = labelledSets(file.Planes);
        if (sets.size() < 2) continue;
        try {
            combine(setCandidates(file.Planes, sets), loads);
        } catch (const Error& failure) {
            fuzz::requireReadable(failure.what()); // members disagreeing on c or f
        }
    }
    return 0;
}
