#pragma once
// Joint sets from the facets of a cloud: the facets' poles grouped by
// k-means on the sphere (the measurement files' grouping), the slope face
// told apart, outlying facets left out, and each set summarised by the
// Fisher statistics of its facets and the distribution of their extents.
//
// Weights: a facet of twice the area counts twice, scaled within each set
// so that the weights add up to its number of facets. K and the cone then
// keep the meaning they have for that many measured planes, while the larger
// facets, whose planes are the better measured and the more persistent,
// pull the mean more.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/cloud/facets.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"

namespace trelmox {

struct CloudSetSettings {
    int Sets = 0;       // that many joint sets; 0: chosen automatically up to MaxSets
    int MaxSets = 6;    // the most joint sets the automatic choice considers
    bool ByArea = true; // weight facets by area, else count them
    // A group of facets whose mean lies within this many degrees of the
    // cloud's mean surface is the slope face.
    double FaceAngle = 20;
};

// The distribution of the facets' extents, as trace lengths: the mean, and
// the exponential and lognormal fits by maximum likelihood (the lognormal as
// its mean and standard deviation, the form a probabilistic run takes).
struct ExtentFit {
    double Mean = 0;
    std::optional<double> LognormalMean, LognormalSd; // absent for fewer than 2 distinct extents
    double ExponentialLogLikelihood = 0;
    std::optional<double> LognormalLogLikelihood;
    // The fit of the smaller Akaike information criterion.
    bool LognormalBetter = false;
};
ExtentFit fitExtents(const std::vector<double>& extents);

// The label of the slope face in the sets and the data files.
inline constexpr const char* FaceLabel = "坡面";

struct CloudJoints {
    // The facets as measured planes (the face's left out), ordered by set,
    // J1 first, the unassigned last, each with its set label and weight.
    // Written as a measurement file, they read back as these very planes.
    std::vector<Measurement> Planes;
    std::vector<std::size_t> PlaneFacet; // by plane: its facet
    std::vector<JointSet> Sets;          // labelledSets(Planes): J1, J2, ...
    std::vector<double> SetArea;         // by set: the total area of its facets
    std::vector<ExtentFit> Extents;      // by set
    // The slope face, when a group of facets lies parallel to the mean surface.
    std::optional<JointSet> Face; // Members: facet indices
    double FaceArea = 0;
    // By facet: "J1", ..., FaceLabel, or "" for a facet in no set.
    std::vector<std::string> FacetSet;
};

// Throws a refused Error for settings out of range or fewer facets than a
// set needs.
CloudJoints cloudJoints(const FacetSearch& search, const CloudSetSettings& settings);

} // namespace trelmox
