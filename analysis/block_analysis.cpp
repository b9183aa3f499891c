#include "analysis/block_analysis.h"

#include "analysis/overflow_source.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// The run up to Kc; stops early, without a failure, when some corner
// cannot be computed.
void runToKc(const BlockInput& block, BlockRun& run) {
    VertexGeometry corners; // fresh: never the corners of another block
    run.FailedTriples = corners.computeForBlock(block.Quadrants, block.Parameters.SlopeHeight);
    // A corner left over from an earlier computation must not be analysed.
    if (!run.FailedTriples.empty()) return;
    run.Vertices = corners.vertices();
    run.Geometry = wedgeGeometry(*run.Vertices);
    run.Numbers = wedgeNumbers(block.Parameters);
    run.Safety = computeSafetyFactor(block.Attitudes, *run.Numbers);
}

bool overflowsIn(const auto& compute) {
    try {
        compute();
        return false;
    } catch (const Error& failure) {
        return failure.fault() == ArithmeticFault::Overflow;
    }
}

// An overflow named by the input it comes from, when one alone does.
Error kcFailure(const Error& failure, const BlockInput& block) {
    if (failure.fault() != ArithmeticFault::Overflow) return failure;
    const auto source = overflowSource(block, blockInputNumbers, [](const BlockInput& trial) {
        return overflowsIn([&] {
            BlockRun run;
            runToKc(trial, run);
        });
    });
    return source ? namedOverflow(failure, *source) : failure;
}

struct FullInputs {
    PlaneAttitudeArray Attitudes;
    WedgeNumbers Numbers;
    WedgeLoads Loads;
};

RealWedge realWedge(const FullInputs& in) {
    FullAnalysis analysis = analyseWedge(in.Attitudes, in.Numbers, in.Loads);
    SupportDesign design = designSupport(analysis, in.Numbers, in.Loads);
    return RealWedge{std::move(analysis), std::move(design)};
}

} // namespace

Error fullAnalysisFailure(const Error& failure, const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers,
                          const WedgeLoads& loads) {
    if (failure.fault() != ArithmeticFault::Overflow) return failure;
    const auto source = overflowSource(
        FullInputs{attitudes, numbers, loads},
        [](FullInputs& in) { return wedgeInputNumbers(in.Attitudes, in.Numbers, in.Loads); },
        [](const FullInputs& trial) { return overflowsIn([&] { realWedge(trial); }); });
    return source ? namedOverflow(failure, *source) : failure;
}

BlockRun runBlock(const BlockInput& block, const WedgeLoads& loads) {
    BlockRun run{block, loads, {}, {}, {}, {}, {}, {}, {}, {}};
    try {
        runToKc(block, run);
        if (!run.FailedTriples.empty()) return run;
    } catch (const Error& failure) {
        run.Failure = kcFailure(failure, block);
        return run;
    }
    const FullInputs inputs{block.Attitudes, *run.Numbers, loads};
    try {
        run.Full = realWedge(inputs);
    } catch (const Error& failure) {
        run.FullError = fullAnalysisFailure(failure, inputs.Attitudes, inputs.Numbers, inputs.Loads);
    }
    return run;
}

std::string BlockCorners::problemText() const {
    std::string text;
    for (const std::string& problem : Problems) text += (text.empty() ? "" : "；") + problem;
    return text;
}

BlockCorners blockCorners(const QuadrantAttitudeArray& quadrants, double slopeHeight) {
    BlockCorners corners;
    try {
        VertexGeometry geometry; // fresh: never the corners of another block
        for (const FailedTriple& triple : geometry.computeForBlock(quadrants, slopeHeight))
            corners.Problems.push_back(failedTripleMessage(triple));
        if (corners.Problems.empty()) corners.Vertices = geometry.vertices();
    } catch (const Error& error) {
        corners.Problems.push_back(error.what());
    }
    return corners;
}

BlockCorners blockCorners(const BlockRun& run) {
    BlockCorners corners{run.Vertices, {}};
    for (const FailedTriple& triple : run.FailedTriples) corners.Problems.push_back(failedTripleMessage(triple));
    // The slope height's text failed before any corner was computed.
    if (!run.Vertices && run.FailedTriples.empty() && run.Failure) corners.Problems.push_back(run.Failure->what());
    return corners;
}

} // namespace trelmox
