#pragma once
// The real wedge as a polyhedron: the rock that the two cutting planes cut
// out under the slope face and the upper slope (each plane with its own dip
// and dip direction), optionally truncated by a tension crack. Block frame:
// x east, y north, z up, the toe at the origin where the slope face and both
// cutting planes meet, the upper slope through (0, 0, H).
//
// Without a crack the wedge is the tetrahedron of the four planes' corners.
// It lies on one side of each cutting plane, above it or (where one plane
// overlies the other) below it; the inward normals say which, and the forces
// use them, so either plane may overlie the other. The crack keeps the part
// on the toe's side and must cut the line of intersection between the toe
// and the upper slope.
#include <array>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "analysis/formula_values.h"
#include "model/block.h"
#include "model/loads.h"

namespace trelmox {

enum class WedgeSurface { FirstPlane, SecondPlane, SlopeFace, UpperSlope, Crack };
inline constexpr int WedgeSurfaceCount = 5;

// Why the planes cut out no finite wedge, in the order they are checked.
enum class WedgeRefusal {
    ToeNotBelowTop,   // the upper slope does not pass above the toe (H <= 0, a vertical upper slope)
    ParallelPlanes,   // the cutting planes have no line of intersection
    HorizontalLine,   // they dip the same way or opposite ways: their line of intersection is horizontal
    NoDaylight,       // the line of intersection does not daylight in the slope face
    MissesUpperSlope, // it does not meet the upper slope behind the crest
    Degenerate,       // the planes enclose no finite volume (a crest corner at infinity, ...)
    CrackMissesWedge, // the crack does not cut the line of intersection between toe and upper slope
};
// The message the user is shown; each ends in "不能切除块体" or names the crack.
std::string refusalMessage(WedgeRefusal refusal);

// Whether the line of intersection of two planes with these upward normals
// is horizontal to within the rounding of the normals: planes dipping the
// same way (or opposite ways) meet in a horizontal line, but the normals'
// components, each rounded, leave its vertical part a few ulps off zero, and
// such a line would cut out a sliver of no volume with a meaningless factor.
// The bound is the rounding error of the 2x2 determinant a.x b.y - a.y b.x
// with every component off by two ulps; a line plunging more than about
// 1e-15 radians always passes.
bool horizontalIntersection(const TPoint3D& a, const TPoint3D& b);

// Upward unit normals (z >= 0) of the planes: (sin dip sin dipdir, sin dip cos dipdir, cos dip).
struct WedgePlanes {
    TPoint3D FirstPlane, SecondPlane, UpperSlope, SlopeFace, Crack;
};
TPoint3D upwardNormal(const TPlaneAttitude& attitude);
// Crack stays zero without a crack.
WedgePlanes wedgePlanes(const PlaneAttitudeArray& attitudes, const std::optional<TensionCrack>& crack);

// A convex polygon of up to N points, in each lane of the value type
// (formula_values.h): the number of points may differ from lane to lane,
// so it keeps a count per lane (an int for a double) and its points in
// fixed slots. Edges: std::array<WedgeSurface, N> to keep the surface each
// edge borders, or NoBorders. Its operations are in polygon_formula.h.
struct NoBorders {};
template <typename Point, int N, typename Edges = NoBorders> struct PolygonOf {
    using Value = decltype(Point{}.x);
    std::array<Point, N> Points; // in order around the face
    CountOf<Value> Count{};      // 0: no such face
    [[no_unique_address]] Edges Borders{};
    PolygonOf() {
        // A point of doubles starts at zero by itself.
        if constexpr (!std::is_same_v<Value, double>)
            for (Point& p : Points) p = Point{every<Value>(0), every<Value>(0), every<Value>(0)};
    }
    // Points not set: a polygon that is set empty before it is filled.
    struct Unset {};
    explicit PolygonOf(Unset) {}
};

// Edge i, from point i to point i + 1, is shared with face Borders[i] (not
// kept for the crack's own face).
struct WedgePolygon : PolygonOf<TPoint3D, 4, std::array<WedgeSurface, 4>> {
    double Area = 0;
    TPoint3D Normal; // outward unit normal
};

struct WedgeShape {
    std::array<WedgePolygon, WedgeSurfaceCount> Faces{}; // indexed by WedgeSurface
    double Volume = 0;
    TPoint3D Centroid;
    // Unit vector down the line of intersection, out of the slope face.
    TPoint3D Sliding;
    // Unit normals of the cutting planes pointing into the wedge.
    TPoint3D Inward1, Inward2;
    // Where the line of intersection meets the upper slope; with a crack,
    // where the crack cuts it (LineEnd), else LineEnd == LineTop.
    TPoint3D LineTop, LineEnd;
    // The crack's unit normal pointing into the wedge (zero without a crack).
    TPoint3D CrackInward;
    // The lowest point where the crack is open on the upper slope and on the
    // slope face; infinity where it is not (and without a crack).
    double OpeningOnTop = std::numeric_limits<double>::infinity();
    double OpeningOnFace = std::numeric_limits<double>::infinity();
};

// Fills `shape` and returns nothing, or returns why there is no wedge.
// overhangingFace: the rock lies above the slope face (a negative overhang
// coefficient), so the face's outward normal points down instead of up.
// crack: its Distance is read, its attitude comes with planes.Crack.
std::optional<WedgeRefusal> buildWedgeShape(const WedgePlanes& planes, double slopeHeight, bool overhangingFace,
                                            const TensionCrack* crack, WedgeShape& shape);

// The unit vector of a direction (plunge below the horizontal), and the
// trend (0..360) and plunge of a non-zero vector, degrees.
TPoint3D directionVector(const LineDirection& direction);
LineDirection directionOf(const TPoint3D& vector);

// Derived figures, for reports and pictures.
// The length of the edge between two faces (0 where they do not meet):
// edgeLength(s, FirstPlane, SlopeFace) is plane 1's trace on the slope face.
double edgeLength(const WedgeShape& shape, WedgeSurface a, WedgeSurface b);
// Trend (0..360) and plunge of the line of intersection, sliding sense.
LineDirection intersectionDirection(const WedgeShape& shape);
// The corners, each once.
std::vector<TPoint3D> wedgeCorners(const WedgeShape& shape);

} // namespace trelmox
