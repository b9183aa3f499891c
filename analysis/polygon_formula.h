#pragma once
// The wedge's faces cut by the tension crack (polyhedron.cpp's
// buildWedgeShape), written once over the value type (formula_values.h):
// the analysis instantiates it for doubles and TPoint3D, kernel_lanes.h for
// its vectors and their points. A face is a convex polygon of up to four
// points: a triangle of the tetrahedron, or a triangle with one corner cut
// off by the crack, or the crack's own face (where a plane cuts a
// tetrahedron: three or four points): PolygonOf (polyhedron.h), whose
// points differ in number from lane to lane; the analysis's faces
// (WedgePolygon) are filled in place.
//
// Included by the analysis's sources and by kernel_lanes.h after its lane
// operations; no other header includes it. A point is {x, y, z} of the
// value type with dot(p, q) and cross(p, q) beside it.
#include <cmath>
#include <cstddef>
#include <limits>
#include <type_traits>
#include <utility>

#include "analysis/formula_values.h"
#include "analysis/polyhedron.h"
#include "analysis/size_formula.h"

namespace trelmox {

// The tetrahedron's corners: 0 the toe, 1 the upper end of the line of
// intersection, 2 and 3 the crest corners on plane 1 and plane 2. Each face
// lies opposite one corner.
inline constexpr WedgeSurface OppositeFaceOf[4] = {WedgeSurface::UpperSlope, WedgeSurface::SlopeFace,
                                                   WedgeSurface::SecondPlane, WedgeSurface::FirstPlane};

template <typename Point> [[gnu::always_inline]] inline Point sumOf(const Point& p, const Point& q) {
    return {p.x + q.x, p.y + q.y, p.z + q.z};
}
template <typename Point> [[gnu::always_inline]] inline Point scaledOf(PointValue<Point> s, const Point& p) {
    return {s * p.x, s * p.y, s * p.z};
}
template <typename Point>
[[gnu::always_inline]] inline Point pickPointOf(MaskOf<PointValue<Point>> when, const Point& a, const Point& b) {
    return {pick(when, a.x, b.x), pick(when, a.y, b.y), pick(when, a.z, b.z)};
}

// Whether to work out what only the lanes `when` take: a double skips it
// where `when` does not hold; the lanes work it out whatever the mask (a
// branch on the mask costs them more than the work, and picking keeps
// their bits), so both go through the same operations where it is taken.
template <typename Mask> [[gnu::always_inline]] inline bool worthDoing(Mask when) {
    if constexpr (std::is_same_v<Mask, bool>)
        return when;
    else
        return true;
}

// Where the edge p-q crosses the level side = 0, dp and dq the sides of
// its ends (of opposite signs).
template <typename Point>
[[gnu::always_inline]] inline Point crossingOf(const Point& p, const Point& q, PointValue<Point> dp,
                                               PointValue<Point> dq) {
    return sumOf(p, scaledOf(dp / (dp - dq), differenceOf(q, p)));
}

// Appends p to the polygon in the lanes `when` that hold fewer than N
// points; the edge from p to the next point borders `shared`, or the crack
// where `toCrack` holds.
template <typename Point, int N, typename Edges>
[[gnu::always_inline]] inline void addTo(PolygonOf<Point, N, Edges>& f, MaskOf<PointValue<Point>> when, const Point& p,
                                         WedgeSurface shared = WedgeSurface::Crack,
                                         MaskOf<PointValue<Point>> toCrack = MaskOf<PointValue<Point>>{}) {
    using Value = PointValue<Point>;
    if constexpr (std::is_same_v<CountOf<Value>, int>) {
        if (!when || f.Count >= N) return;
        f.Points[f.Count] = p;
        if constexpr (!std::is_same_v<Edges, NoBorders>) f.Borders[f.Count] = toCrack ? WedgeSurface::Crack : shared;
        ++f.Count;
    } else {
        when = when & none(countAtLeast(f.Count, N));
        for (int k = 0; k < N; ++k) f.Points[k] = pickPointOf(when & countIs(f.Count, k), p, f.Points[k]);
        f.Count += oneWhere(when);
    }
}

// The lanes where the polygon holds at least `points` points.
template <typename Point, int N, typename Edges>
[[gnu::always_inline]] inline MaskOf<PointValue<Point>> hasOf(const PolygonOf<Point, N, Edges>& f, int points) {
    return countAtLeast(f.Count, points);
}

// The points where the crack (side 0) cuts the tetrahedron: its corners on
// the crack and its edges that run from one side to the other.
template <typename Polygon, typename Point, typename Value>
[[gnu::always_inline]] inline void addCrackCutsOf(Polygon& cut, const Point (&corner)[4], const Value (&side)[4]) {
    for (int i = 0; i < 4; ++i) {
        addTo(cut, side[i] == Value{}, corner[i]);
        for (int j = i + 1; j < 4; ++j) {
            const MaskOf<Value> crosses =
                ((side[i] > Value{}) & (side[j] < Value{})) | ((side[i] < Value{}) & (side[j] > Value{}));
            if (worthDoing(crosses)) addTo(cut, crosses, crossingOf(corner[i], corner[j], side[i], side[j]));
        }
    }
}

// The triangle of the face opposite corner `opposite`, clipped to the
// corners with side >= 0 (Sutherland-Hodgman), appended to the empty
// polygon f: an edge from a point where the boundary leaves the kept side
// to where it comes back lies on the crack.
template <typename Polygon, typename Point, typename Value>
[[gnu::always_inline]] inline void clipFaceInto(Polygon& f, const Point (&corner)[4], const Value (&side)[4],
                                                int opposite) {
    int on[3], n = 0;
    for (int i = 0; i < 4; ++i)
        if (i != opposite) on[n++] = i;
    for (int k = 0; k < 3; ++k) {
        const int p = on[k], q = on[(k + 1) % 3];
        // Edge p-q also bounds the face opposite this triangle's third corner.
        const WedgeSurface shared = OppositeFaceOf[on[(k + 2) % 3]];
        const MaskOf<Value> keptP = side[p] >= Value{}, keptQ = side[q] >= Value{};
        addTo(f, keptP, corner[p], shared);
        const MaskOf<Value> crosses = keptP ^ keptQ;
        if (worthDoing(crosses)) addTo(f, crosses, crossingOf(corner[p], corner[q], side[p], side[q]), shared, keptP);
    }
}
template <typename Polygon, typename Point, typename Value>
[[gnu::always_inline]] inline Polygon clippedFaceOf(const Point (&corner)[4], const Value (&side)[4], int opposite) {
    Polygon f;
    clipFaceInto(f, corner, side, opposite);
    return f;
}

// The area of a convex polygon, as a fan of triangles from point 0; 0
// where it has fewer than three points.
template <typename Point, int N, typename Edges>
[[gnu::always_inline]] inline PointValue<Point> polygonAreaOf(const PolygonOf<Point, N, Edges>& f) {
    using Value = PointValue<Point>;
    const Point first = differenceOf(f.Points[1], f.Points[0]);
    Point twice = cross(first, differenceOf(f.Points[2], f.Points[0]));
    if constexpr (N > 3)
        if (worthDoing(hasOf(f, 4)))
            twice = pickPointOf(
                hasOf(f, 4),
                sumOf(twice, cross(differenceOf(f.Points[2], f.Points[0]), differenceOf(f.Points[3], f.Points[0]))),
                twice);
    return pick(hasOf(f, 3), every<Value>(0.5) * lengthOf(twice), Value{});
}

// The tetrahedra from the origin (the toe) over a face's fan of triangles,
// added to a volume and its moment about the origin: the wedge's volume and
// centroid, from the faces that do not pass through the toe.
template <typename Point, int N, typename Edges>
[[gnu::always_inline]] inline void addFanOf(const PolygonOf<Point, N, Edges>& f, PointValue<Point>& volume,
                                            Point& moment) {
    using Value = PointValue<Point>;
    for (int k = 1; k + 1 < N; ++k) {
        const MaskOf<Value> has = hasOf(f, k + 2);
        if (!worthDoing(has)) break;
        const Value v = absolute(dot(f.Points[0], cross(f.Points[k], f.Points[k + 1]))) / every<Value>(6);
        volume = pick(has, volume + v, volume);
        moment = pickPointOf(
            has, sumOf(moment, scaledOf(v / every<Value>(4), sumOf(sumOf(f.Points[0], f.Points[k]), f.Points[k + 1]))),
            moment);
    }
}

// The lowest and the highest point of a face: for the crack's face, the
// depth of water the crack can hold.
template <typename Value> struct HeightSpan { Value Low, High; };
template <typename Point, int N, typename Edges>
[[gnu::always_inline]] inline HeightSpan<PointValue<Point>> heightSpanOf(const PolygonOf<Point, N, Edges>& f) {
    using Value = PointValue<Point>;
    Value low = f.Points[0].z, high = low;
    for (int i = 1; i < N; ++i) {
        const MaskOf<Value> has = hasOf(f, i + 1);
        if (!worthDoing(has)) break;
        low = pick(has & (f.Points[i].z < low), f.Points[i].z, low);
        high = pick(has & (high < f.Points[i].z), f.Points[i].z, high);
    }
    return {low, high};
}

// The lowest point where the crack is open on a surface of the
// tetrahedron, the face opposite corner `opposite` (the upper slope: 0, the
// slope face: 1): the lowest of the crack's crossings of its edges, each
// edge in clipFaceInto's order; infinity where it crosses none. Water in
// the crack spills out there and stands no higher.
template <typename Point, typename Value>
[[gnu::always_inline]] inline Value crackOpeningOf(const Point (&corner)[4], const Value (&side)[4], int opposite) {
    int on[3], n = 0;
    for (int i = 0; i < 4; ++i)
        if (i != opposite) on[n++] = i;
    Value lowest = every<Value>(std::numeric_limits<double>::infinity());
    for (int k = 0; k < 3; ++k) {
        const int p = on[k], q = on[(k + 1) % 3];
        const MaskOf<Value> change = (side[p] >= Value{}) ^ (side[q] >= Value{});
        if (!worthDoing(change)) continue;
        const Value z = crossingOf(corner[p], corner[q], side[p], side[q]).z;
        lowest = pick(change & (z < lowest), z, lowest);
    }
    return lowest;
}

// The integral of max(0, level - z) over a convex planar polygon (the
// water's head over a face): the part below the level, the polygon clipped
// (one point more at most), as a fan of triangles on each of which the
// integrand is linear.
template <typename Point, int N, typename Edges>
[[gnu::always_inline]] inline PointValue<Point> depthIntegralOf(const PolygonOf<Point, N, Edges>& polygon,
                                                                PointValue<Point> level) {
    using Value = PointValue<Point>;
    PolygonOf<Point, N + 1> below;
    for (int i = 0; i < N; ++i) {
        const Point& p = polygon.Points[i];
        const Point q = i == N - 1 ? polygon.Points[0]
                                   : pickPointOf(hasOf(polygon, i + 2), polygon.Points[i + 1], polygon.Points[0]);
        const Value dp = level - p.z, dq = level - q.z;
        const MaskOf<Value> valid = hasOf(polygon, i + 1), keptP = dp >= Value{}, keptQ = dq >= Value{};
        addTo(below, valid & keptP, p);
        const MaskOf<Value> crosses = valid & (keptP ^ keptQ);
        if (worthDoing(crosses)) addTo(below, crosses, crossingOf(p, q, dp, dq));
    }
    Value integral{};
    const Point& b0 = below.Points[0];
    for (int k = 1; k < N; ++k) {
        const Point &b1 = below.Points[k], &b2 = below.Points[k + 1];
        if (!worthDoing(hasOf(below, k + 2))) break;
        const Value area = every<Value>(0.5) * lengthOf(cross(differenceOf(b1, b0), differenceOf(b2, b0)));
        integral =
            pick(hasOf(below, k + 2), integral + area * (level - (b0.z + b1.z + b2.z) / every<Value>(3)), integral);
    }
    return integral;
}

// The crack's face (three or four points) in order of the angle about its
// centre, seen along `inward`, point 0 at angle 0: the order of atan2 of
// each point's coordinates in the face (a stable sort of those angles).
// The order comes from the signs of cross products where every comparison
// of the atan2 angles is certain (angles apart by far more than atan2's
// rounding); lanes where it is not (a face with two points in one direction
// from the centre, or one opposite point 0) take atan2 itself, lane by
// lane. `live`: the lanes whose order is wanted.
template <typename Point, typename Edges>
inline void sortAroundCentreOf(PolygonOf<Point, 4, Edges>& f, const Point& inward, MaskOf<PointValue<Point>> live) {
    using Value = PointValue<Point>;
    using Mask = MaskOf<Value>;
    using Count = CountOf<Value>;
    const Mask four = hasOf(f, 4);
    Point centre = sumOf(
        sumOf(sumOf(Point{every<Value>(0), every<Value>(0), every<Value>(0)}, f.Points[0]), f.Points[1]), f.Points[2]);
    centre = pickPointOf(four, sumOf(centre, f.Points[3]), centre);
    centre = scaledOf(pick(four, every<Value>(1.0 / 4), every<Value>(1.0 / 3)), centre);
    const Point u = differenceOf(f.Points[0], centre), v = cross(inward, u);
    Value x[4], y[4];
    for (int i = 0; i < 4; ++i) {
        const Point d = differenceOf(f.Points[i], centre);
        x[i] = dot(d, u), y[i] = dot(d, v);
    }
    // Point 0 lies at angle 0; the others at a clear distance from 0 and pi.
    const Value margin = every<Value>(0x1p-30);
    Mask clear = none(Mask{}), upper[4]{};
    for (int i = 1; i < 4; ++i) {
        clear = clear & (none(hasOf(f, i + 1)) | (absolute(y[i]) > margin * absolute(x[i])));
        upper[i] = y[i] > Value{};
    }
    // Each point's rank: the points below it in angle (the lower half,
    // y < 0, comes before point 0, the upper half after).
    Count rank[4]{};
    for (int i = 1; i < 4; ++i) rank[0] += oneWhere(hasOf(f, i + 1) & none(upper[i]));
    for (int i = 1; i < 4; ++i) {
        rank[i] = oneWhere(upper[i]);
        for (int j = 1; j < 4; ++j) {
            if (j == i) continue;
            const Value turn = x[j] * y[i] - y[j] * x[i]; // > 0: j's angle below i's
            const Mask sameHalf = none(upper[i] ^ upper[j]) & hasOf(f, j + 1) & hasOf(f, i + 1);
            clear = clear & (none(sameHalf) | (absolute(turn) > margin * ((absolute(x[j]) + absolute(y[j])) *
                                                                          (absolute(x[i]) + absolute(y[i])))));
            rank[i] += oneWhere(hasOf(f, j + 1) & ((none(upper[j]) & upper[i]) | (sameHalf & (turn > Value{}))));
        }
    }
    PolygonOf<Point, 4, Edges> sorted = f;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 4; ++i) {
            const Mask there = hasOf(f, i + 1) & countIs(rank[i], r);
            if (worthDoing(there)) sorted.Points[r] = pickPointOf(there, f.Points[i], sorted.Points[r]);
        }
    const Mask unclear = none(clear) & live;
    if (anyLane(unclear))
        forEachLane(unclear, [&](std::size_t lane) {
            const int n = static_cast<int>(laneOf(f.Count, lane));
            double angle[4];
            int order[4];
            for (int i = 0; i < n; ++i) angle[i] = std::atan2(laneOf(y[i], lane), laneOf(x[i], lane)), order[i] = i;
            // Insertion sort: at most four points, and stable.
            for (int i = 1; i < n; ++i)
                for (int k = i; k > 0 && angle[k - 1] > angle[k]; --k) {
                    std::swap(angle[k - 1], angle[k]);
                    std::swap(order[k - 1], order[k]);
                }
            for (int r = 0; r < n; ++r) {
                const Point& p = f.Points[order[r]];
                setLaneOf(sorted.Points[r].x, lane, laneOf(p.x, lane)),
                    setLaneOf(sorted.Points[r].y, lane, laneOf(p.y, lane));
                setLaneOf(sorted.Points[r].z, lane, laneOf(p.z, lane));
            }
        });
    f = sorted;
}

} // namespace trelmox
