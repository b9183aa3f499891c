#pragma once
// One block from its typed input and its loads to everything it has, each
// figure computed once: the corners from the quadrants and the slope
// height, then volume, height and plunge from the corners, the parameters
// checked, Kc with its contact case, and the full
// analysis of the real wedge with its forces, Fs, stability state and the
// support the required factor needs. The one run behind the windows
// (through the block document), the command-line tool, the calculation
// report, the fuzz harness and the benchmarks; the reports, the drawings and
// the tool's tables only format its result.
#include <optional>
#include <string>
#include <vector>

#include "analysis/full_analysis.h"
#include "analysis/geometry.h"
#include "analysis/support.h"
#include "analysis/vertices.h"
#include "analysis/wedge.h"
#include "model/block_input.h"
#include "model/error.h"
#include "model/loads.h"

namespace trelmox {

// The real wedge under the real upper slope with the loads, and the support
// its required factor needs.
struct RealWedge {
    FullAnalysis Analysis;
    SupportDesign Design;
};

struct BlockRun {
    BlockInput Input; // the block the run was worked out from
    WedgeLoads Loads; // and the loads
    // Non-empty: some corner could not be computed, and nothing below was.
    std::vector<FailedTriple> FailedTriples;
    std::optional<BlockVertices> Vertices;
    std::optional<WedgeGeometry> Geometry;
    std::optional<WedgeNumbers> Numbers;
    std::optional<SafetyResult> Safety; // Kc and its contact case
    // What stopped the run before Kc: a value out of range, Kc's
    // arithmetic, an overflow of the corners. Nothing after the stage that failed is filled.
    std::optional<Error> Failure;
    // The full analysis beside Kc; its failure (loads out of range,
    // nothing driving the wedge, its arithmetic) is a message of the
    // block, not the block's failure: Kc and the geometry stand.
    std::optional<RealWedge> Full;
    std::optional<Error> FullError; // its failure, with its kind and source

    // Kc was worked out: every corner, every number, the factor.
    bool complete() const { return Safety.has_value(); }
    // The full analysis's failure message; empty when it did not fail.
    std::string fullFailureMessage() const { return FullError ? FullError->what() : std::string(); }
    // Throws the failure that stopped the run, if one did.
    void throwFailure() const {
        if (Failure) throw *Failure;
    }
};

// Never throws for the block's own data: a failure is kept in the result.
// An overflow is named by the input it comes from (overflowSource).
BlockRun runBlock(const BlockInput& block, const WedgeLoads& loads);

// The failure of the full analysis (and the support design) on these
// inputs, an overflow named by the input it comes from; others as they are.
Error fullAnalysisFailure(const Error& failure, const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers,
                          const WedgeLoads& loads);

// The corners alone, from the planes and the slope height, as the pictures
// show them; or why there are none: the messages of the triples that cut
// out no corner, or the corners' overflow.
struct BlockCorners {
    std::optional<BlockVertices> Vertices;
    std::vector<std::string> Problems;
    std::string problemText() const; // joined by "；"
};
BlockCorners blockCorners(const QuadrantAttitudeArray& quadrants, double slopeHeight);
// The same as the run found them.
BlockCorners blockCorners(const BlockRun& run);

} // namespace trelmox
