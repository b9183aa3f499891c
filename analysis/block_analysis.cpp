#include "analysis/block_analysis.h"

namespace trelmox {

BlockRun runBlock(const SavedBlock& block, const WedgeLoads& loads) {
    BlockRun run{block, loads, {}, {}, {}, {}, {}, {}, {}, {}};
    try {
        VertexGeometry corners; // fresh: never the corners of another block
        run.FailedTriples = corners.computeForBlock(block.Quadrants, block.Params.SlopeHeight);
        // A corner left over from an earlier computation must not be analysed.
        if (!run.FailedTriples.empty()) return run;
        run.Vertices = corners.vertices();
        run.Geometry = wedgeGeometry(*run.Vertices);
        run.Numbers = readWedgeNumbers(block.Params);
        run.Safety = computeSafetyFactor(block.Attitudes, *run.Numbers);
    } catch (const Error& failure) {
        run.Failure = failure;
        return run;
    }
    try {
        FullAnalysis analysis = analyseWedge(block.Attitudes, *run.Numbers, loads);
        SupportDesign design = designSupport(analysis, *run.Numbers, loads);
        run.Full = RealWedge{std::move(analysis), std::move(design)};
    } catch (const Error& failure) {
        run.FullFailure = failure.what();
    }
    return run;
}

std::string BlockCorners::problemText() const {
    std::string text;
    for (const std::string& problem : Problems) text += (text.empty() ? "" : "；") + problem;
    return text;
}

BlockCorners blockCorners(const PlaneQuadrantArray& quadrants, const std::string& slopeHeightText) {
    BlockCorners corners;
    try {
        VertexGeometry geometry; // fresh: never the corners of another block
        for (const FailedTriple& triple : geometry.computeForBlock(quadrants, slopeHeightText))
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
