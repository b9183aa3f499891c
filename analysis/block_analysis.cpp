#include "analysis/block_analysis.h"

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

} // namespace trelmox
