#pragma once
// One more active bolt with which a block reaches a target reliability
// index: its least force along a given direction, or the direction that
// needs the least force and that force.
//
// A force reaches the target when the system's first-order index (the
// modes from every start, Ditlevsen's upper bound) is at least the target
// for it and for every force up to the support design's margin above it
// (BoltForceMargin, checked at five forces as the support design checks
// the factor): the bolt's force is a fixed input of the analysis, its
// inexactness is in no input's spread, and more force can lift the wedge
// off a plane and drop its cohesion for every point of the design region
// at once.
//
// The least-force direction is searched in the force vector's directions:
// starts from the deterministic least-force directions (the block's own
// support design, and the one for factor 1 at the inputs of the unbolted
// design point moved out to the target), a pattern search of eight
// neighbours in the tangent plane from 8 degrees down to 1/32 degree, each
// neighbour tried first at the best force so far with the design points of
// the best direction as its starts (a neighbour whose index stays below
// the target there needs more force, one evaluation of a few FORM steps),
// then the best direction's force by every start. No direction can need
// less than the deterministic least force for factor 1 at any inputs
// within the target's distance of the medians (those inputs must all hold
// with the force), so that force at the design points found, moved in to
// the target's distance, bounds the least from below; the search is
// confirmed when its force is within LeastBoltTolerance of the bound.
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/probabilistic/form.h"
#include "analysis/probabilistic/reliability.h"

namespace trelmox {

// The least force is confirmed when it is at most this share above the
// lower bound.
inline constexpr double LeastBoltTolerance = 0.005;

struct ReliabilityBolt {
    std::optional<LineDirection> Direction; // the given one or the one found (none: no bolt needed)
    std::optional<double> Force;
    std::optional<ReliabilityFailure> Failure;
    std::optional<double> LowerBound; // the least-force direction's: no direction needs less
    std::optional<bool> Confirmed;    // the force is within LeastBoltTolerance of LowerBound
    std::uint64_t Evaluations = 0;    // of the factor by the bolt's FORM searches
    int Directions = 0;               // tried by the search
};

// The settings have passed validateReliability with a design bolt or the
// least-force one; `unbolted` is the block's main design point without
// the bolt, when found.
ReliabilityBolt designReliabilityBolt(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                      const WedgeLoads& loads, const ReliabilitySettings& settings,
                                      const std::optional<ReliabilityMode>& unbolted);

// The force along directions, for the search and for checking it.
class BoltForces {
public:
    BoltForces(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters, const WedgeLoads& loads,
               const ReliabilitySettings& settings);

    // A direction's force and the design points of the modes at it.
    struct Along {
        LineDirection Direction;
        std::optional<double> Force;
        std::vector<DesignPoint> Points;
        // At the forces of the margin above it (for the bound).
        std::vector<std::vector<DesignPoint>> MarginPoints;
    };
    // By every start at every force; `hint` a guess of the force.
    Along fully(const LineDirection& direction, std::optional<double> hint);
    // The same, every start at the first force only, then followed.
    Along followed(const LineDirection& direction, std::optional<double> hint);
    // Less than `best`'s force? Followed from best's design points: none
    // when the index stays below the target at best's force.
    std::optional<Along> below(const LineDirection& direction, const Along& best);
    // The system's index with the bolt's force, by every start or followed
    // from `near`; none without a design point.
    std::optional<double> beta(const LineDirection& direction, double force, const std::vector<DesignPoint>* near,
                               std::vector<DesignPoint>* points = nullptr);

    double target() const { return target_; }
    std::uint64_t evaluations() const { return evaluations_; }

private:
    struct Solve;
    Along solve(const LineDirection& direction, Solve& s);

    PlaneAttitudeArray attitudes_;
    BlockParameters parameters_;
    WedgeLoads loads_;
    const ReliabilitySettings& settings_;
    double target_;
    double ceiling_;
    std::uint64_t evaluations_ = 0;
};

} // namespace trelmox
