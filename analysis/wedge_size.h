#pragma once
// The size of the wedge the rock can actually hold. The full analysis cuts
// the wedge out at the full slope height as if both joints ran on for ever;
// joints of finite length, a slope of finite length and a bench bound it.
// The wedge analysed is then the largest that keeps every limit: all of its
// lengths scale together about the toe, where all four planes but the upper
// slope meet, so that it keeps its shape (a tension crack moves in with its
// distance). Every length of the wedge scales with the factor s, its areas
// with s^2 and its volume with s^3: each limit gives its own factor
// limit / length, and the smallest decides.
#include <array>
#include <optional>

#include "analysis/polyhedron.h"
#include "analysis/wedge.h"
#include "model/size_limits.h"

namespace trelmox {

// The lengths of a wedge that the limits bound, with its height and, for a
// bench, what it takes away of the bench.
struct WedgeLengths {
    std::array<double, 2> FaceTrace{}, TopTrace{}; // each cutting plane's trace (0: none)
    std::array<double, 2> PersistenceAlong{};      // PersistenceMeasure::AlongIntersection
    std::array<double, 2> PersistenceExtent{};     // PersistenceMeasure::LargestExtent
    double SlopeLength = 0;                        // the width of its trace on the slope face, along the face's strike
    double SlopeHeight = 0;                        // the crest's height above the toe
    double Height = 0;                             // from its lowest to its highest corner
    // The horizontal distance it reaches behind the crest, square to the
    // crest, and its length along the crest on the upper slope.
    double BackBreak = 0, CrestLength = 0;
};
// slopeHeight: the height the shape was built with.
WedgeLengths wedgeLengths(const WedgeShape& shape, double slopeHeight);
// The length a limit of that kind bounds.
double boundedLength(const WedgeLengths& lengths, SizeLimitKind kind, PersistenceMeasure measure);

struct WedgeScale {
    double Factor = 1;                    // <= 1
    std::optional<SizeLimitKind> Decider; // the limit that set it; none when the full wedge keeps every limit
};
WedgeScale wedgeScale(const WedgeLengths& full, const WedgeSizeLimits& limits);

// Scales the shape about the toe.
void scaleWedgeShape(WedgeShape& shape, double factor);
// The numbers of the scaled wedge: its slope height, and the water
// pressures that come from the height (not those entered) with it.
WedgeNumbers scaledWedgeNumbers(const WedgeNumbers& numbers, double factor);

// What the full-height wedge was cut out with (buildWedgeShape's inputs).
struct FullHeightWedge {
    WedgePlanes Planes;
    double SlopeHeight = 0;
    bool OverhangingFace = false;
    std::optional<double> CrackDistance; // with a crack
};

struct WedgeSizing {
    bool Limited = false; // any limit or minimum given: the rest is filled
    WedgeScale Scale;
    // Of the full-height wedge and of the wedge analysed; the persistence
    // only by the measure the limits use, the back-break and the crest
    // length only with a bench (the others 0).
    WedgeLengths Full, Lengths;
    // When the wedge was scaled, what cut out the full-height wedge, which
    // the pictures draw faint behind it (fullHeightShape): cutting it out
    // again for a picture costs less than keeping a copy of it costs every
    // analysis.
    std::optional<FullHeightWedge> FullHeight;
    double Volume = 0, Weight = 0; // of the wedge analysed
    double FullVolume = 0;         // of the full-height wedge, before any scaling
    // Below a given minimum volume, weight or height.
    bool TooSmall = false;
    // For a bench: the floor that remains behind the back-break, and
    // whether it is narrower than the catch width (given one).
    std::optional<double> RemainingBench;
    bool BenchTooNarrow = false;
};
// The full-height wedge of a scaled one, bit for bit as the analysis cut
// it out; none when the wedge was not scaled.
std::optional<WedgeShape> fullHeightShape(const WedgeSizing& sizing);
// Whether the limits ask for any sizing at all; without, the analysis is
// exactly the one at full height.
bool sizes(const WedgeSizeLimits& limits);
// Sizes the full-height `shape` in place; returns the numbers to compute
// its forces with (`numbers` itself when it was not scaled, else `scaled`).
const WedgeNumbers& sizeWedge(WedgeShape& shape, const WedgeNumbers& numbers, const WedgeSizeLimits& limits,
                              WedgeSizing& sizing, WedgeNumbers& scaled);

} // namespace trelmox
