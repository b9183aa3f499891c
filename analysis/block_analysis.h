#pragma once
// One block from its saved data to its results: corners from the quadrants
// and the slope height, then volume, height and plunge from the corners,
// then the safety factor from the attitudes and parameters. The one
// pipeline of the windows (through the block document), the command-line
// tool and the benchmarks.
#include <optional>
#include <string>
#include <vector>

#include "analysis/geometry.h"
#include "analysis/wedge.h"
#include "analysis/vertices.h"
#include "model/datafile.h"

namespace trelmox {

struct BlockAnalysis {
    // Non-empty: some corner could not be computed, and nothing below was.
    std::vector<FailedTriple> FailedTriples;
    BlockVertices Vertices;
    std::optional<WedgeGeometry> Geometry;
    std::optional<SafetyResult> Safety;
};

// `corners` carries the corner state; pass a fresh object per block so that
// no geometry is ever taken from another block. Throws Error on the first
// failure (bad number, degenerate geometry).
BlockAnalysis analyseBlock(const SavedBlock& block, VertexGeometry& corners);

// The corners alone, from the planes and the slope height, as the pictures
// show them; or why there are none: the messages of the triples that cut
// out no corner, or the slope height's number error.
struct BlockCorners {
    std::optional<BlockVertices> Vertices;
    std::vector<std::string> Problems;
    std::string problemText() const; // joined by "；"
};
BlockCorners blockCorners(const PlaneQuadrantArray& quadrants, const std::string& slopeHeightText);

} // namespace trelmox
