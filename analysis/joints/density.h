#pragma once
// The density of poles on the lower hemisphere, in percent per 1% of the
// hemisphere's area: the share of all poles (by weight) that falls into a
// counting area, divided by that area in hundredths of the hemisphere. A
// uniform spread reads 1 everywhere, and the density integrates to 100%
// over the hemisphere whatever the counting area.
//
// Poles are axes: a direction gathers the poles near it in either sense, so
// a set of steep planes whose poles straddle the rim counts as one cluster.
#include <vector>

#include "analysis/joints/sets.h"
#include "model/block.h"

namespace trelmox {

enum class DensityMethod {
    // Kamb counting: the poles inside a cone of the given area around the
    // direction, all counted alike.
    Kamb,
    // Fisher smoothing: every pole counts with the weight exp(k (|cos a| - 1)),
    // k = 2 / area (the width that matches the counting cone), which gives
    // smooth contours from few poles.
    Fisher,
};

struct DensityOptions {
    DensityMethod Method = DensityMethod::Fisher;
    // The counting area as a share of the hemisphere, (0, 1]: 0.01 is the
    // classic 1% counting circle; kambAreaShare(n) is Kamb's choice.
    double AreaShare = 0.01;
};

// Kamb's counting area for n poles, 9 / (n + 9): three standard deviations
// of the count of a uniform spread.
double kambAreaShare(double poleCount);

class PoleDensity {
public:
    // Throws Error for no poles or an area share outside (0, 1].
    PoleDensity(std::vector<WeightedPole> poles, DensityOptions options);
    // The density about `direction` (unit vector, either sense).
    double at(const TPoint3D& direction) const;
    // The same about many unit vectors at once: each direction visits only
    // the poles near it, found through a grid of cells in space; the
    // directions are shared out over the cores.
    std::vector<double> at(const std::vector<TPoint3D>& directions) const;

private:
    double kernel(double cosine) const; // one sense, 0 beyond the reach
    std::vector<WeightedPole> poles_;   // unit vectors
    DensityMethod method_;
    double kappa_ = 0;          // Fisher smoothing
    double reach_ = 0;          // 1 - cos of the widest angle that still counts
    double scale_ = 0;          // turns summed kernels into percent per 1% area
    std::vector<double> decay_; // e^(-i/64) up to the reach, Fisher smoothing
};

} // namespace trelmox
