#include "analysis/block_analysis.h"

#include "model/error.h"

namespace trelmox {

BlockAnalysis analyseBlock(const SavedBlock& block, VertexGeometry& corners) {
    BlockAnalysis result;
    result.FailedTriples = corners.computeForBlock(block.Quadrants, block.Params.SlopeHeight);
    // A corner left over from an earlier computation must not be analysed.
    if (!result.FailedTriples.empty()) return result;
    result.Vertices = corners.vertices();
    result.Geometry = wedgeGeometry(result.Vertices);
    result.Safety = account(block.Attitudes, block.Params);
    return result;
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

} // namespace trelmox
