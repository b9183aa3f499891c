#pragma once
// The pair modes of the kinematic checks (wedge sliding and direct
// toppling) over every pair of planes against many slopes, for
// kinematicAnalysis.
//
// Every pair's line of intersection is worked out once, in the vector
// lanes, and binned on the sphere (sphere_cells.h). Before that, each cell
// is classified against each slope: a cell wholly inside or outside every
// limit of a zone needs no line of it tested, its lines are only counted
// (by pair of sets, with their weights); a cell that a limit crosses, or
// that touches the horizontal (where a line is checked at both ends), has
// each of its lines tested exactly by KinematicChecks, against the slopes
// whose limits cross it. The secondary wedge zone also needs to know
// whether either plane slides on its own: one bit a slope a plane. So the
// counts are exactly those of KinematicChecks pair by pair, in some
// hundredths of the time.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/joints/kinematics.h"

namespace trelmox {

// The critical pairs of one slope. Totals are the same for every slope.
struct PairCounts {
    KinematicCount Wedge, Secondary, Direct, Oblique;
    std::vector<KinematicCount> WedgeGroups, DirectGroups; // by pairGroup
};

// The group of a pair of planes from sets `a` and `b` (the sets' number:
// no set), of `labels` (sets + 1): the upper triangle with the diagonal.
inline std::size_t pairGroup(std::size_t a, std::size_t b, std::size_t labels) {
    if (a > b) std::swap(a, b);
    return a * labels - a * (a + 1) / 2 + b;
}

// `setOf[i]`: plane i's set, setCount for none; no groups without sets. At
// most KinematicSectorBatch checks. `progress` is told the pairs done so
// far, by one thread at a time; when it returns false the counting stops
// and gives nothing.
std::optional<std::vector<PairCounts>> countPairs(const std::vector<Measurement>& planes,
                                                  const std::vector<std::size_t>& setOf, std::size_t setCount,
                                                  const std::vector<KinematicChecks>& checks, unsigned threads,
                                                  const std::function<bool(std::uint64_t)>& progress);

} // namespace trelmox
