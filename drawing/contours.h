#pragma once
// Contour lines of the pole density on the net: the density is counted at
// the nodes of a square grid over the net (each node standing for the
// direction that plots there) and traced by marching squares, the lines
// joined into polylines and cut at the rim.
#include <vector>

#include "analysis/joints/density.h"
#include "drawing/figure.h"
#include "drawing/stereonet.h"

namespace trelmox {

struct DensityContours {
    double Maximum = 0;   // the largest density at a node inside the net, % per 1% area
    TPoint3D MaximumAt{}; // the node's direction, pointing down
    std::vector<double> Levels;
    std::vector<std::vector<std::vector<Point2>>> Lines; // per level, its polylines
};

// Contour levels 1, 2, 5 or 10 (and their powers of ten) apart, below the
// maximum: at most `count` of them, at least one.
std::vector<double> contourLevels(double maximum, int count = 8);

// `gridSize` x `gridSize` nodes over the net's square; `levels` empty:
// contourLevels(Maximum). Throws Error for a grid smaller than 3.
DensityContours densityContours(const PoleDensity& density, NetProjection projection, int gridSize,
                                std::vector<double> levels = {});

} // namespace trelmox
