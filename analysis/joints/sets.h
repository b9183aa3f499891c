#pragma once
// Joint sets: groups of measured planes, each summarised by Fisher
// statistics of its poles. A plane's pole is an axis, not a vector (the
// upward and the downward normal describe the same plane), so every
// statistic here first turns each pole to the sense that agrees with the
// set's mean.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/measurements.h"
#include "model/block.h"

namespace trelmox {

struct WeightedPole {
    TPoint3D Pole;     // unit normal, either sense
    double Weight = 1; // > 0
};

// The downward poles of all planes, or of the listed ones.
std::vector<WeightedPole> polesOf(const std::vector<Measurement>& planes);
std::vector<WeightedPole> polesOf(const std::vector<Measurement>& planes, const std::vector<std::size_t>& members);

struct FisherStats {
    std::size_t Count = 0;
    double Weight = 0;   // N: the sum of the weights, the count when unweighted
    TPoint3D MeanPole{}; // unit, pointing down
    TPlaneAttitude MeanPlane{};
    double Resultant = 0; // R = |sum of w * pole|, 0..N
    // Fisher's estimate (N - 1) / (N - R): infinite when all poles coincide,
    // absent for N <= 1.
    std::optional<double> Kappa;
    // Half-angle in degrees of the cone about the mean pole that holds the
    // true mean with 95% confidence: cos a = 1 - (N - R) / R (20^(1/(N-1)) - 1).
    // Absent for N <= 1.
    std::optional<double> Cone95;
};

// Throws Error for no poles.
FisherStats fisherStatistics(const std::vector<WeightedPole>& poles);

struct JointSet {
    std::string Label;
    std::vector<std::size_t> Members; // indices into the planes, ascending
    FisherStats Stats;
};

// One set per label of the file, in order of first appearance; planes
// without a label belong to none.
std::vector<JointSet> labelledSets(const std::vector<Measurement>& planes);

// A cone around a chosen pole: the planes whose poles lie within
// HalfAngle of its axis (either sense) make the set.
struct SetWindow {
    std::string Label;
    TPoint3D Centre;       // any length > 0, either sense
    double HalfAngle = 15; // degrees, 0..90
};
// Throws Error when no plane falls inside or the window is malformed.
JointSet windowSet(const std::vector<Measurement>& planes, const SetWindow& window);
// The plane whose pole lies closest to `direction` (any length > 0, either
// sense), e.g. the pole the user pointed at; throws Error for no planes.
std::size_t nearestPole(const std::vector<Measurement>& planes, const TPoint3D& direction);

// k-means on the sphere with axial distance 1 - |cos|: `setCount` sets,
// labelled "J1", "J2", ... by decreasing total weight. The seed fixes the
// starting centres (k-means++ from a 64-bit Mersenne Twister, several
// restarts, the tightest kept), so the result is the same on every run.
// Throws Error unless 1 <= setCount <= the number of planes.
std::vector<JointSet> groupSets(const std::vector<Measurement>& planes, int setCount, std::uint64_t seed = 1);

} // namespace trelmox
