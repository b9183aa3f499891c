#pragma once
// The wedge's tetrahedron (polyhedron.cpp's buildWedgeShape), written once
// over the value type (formula_values.h): the analysis instantiates it for
// doubles and TPoint3D, kernel_lanes.h for its vectors and their points.
// The toe is the origin; the corners off it are where the line of
// intersection, plane 1 and plane 2 meet the slope face's plane and the
// upper slope.
//
// Included by the analysis's sources and by kernel_lanes.h after its lane
// operations; no other header includes it. A point is {x, y, z} of the
// value type with dot(p, q) and cross(p, q) beside it.
#include "analysis/formula_values.h"
#include "analysis/polyhedron.h"
#include "analysis/size_formula.h"

namespace trelmox {

template <typename Point> struct TetrahedronOf {
    // Set only where no refusal ended the work.
    Point Line;                // unit vector up the line of intersection, into the slope
    Point C1, C2, C3;          // the upper end of the line, the crest corners on plane 1 and plane 2
    PointValue<Point> Volume6; // six times the volume, signed
};

// The point where the ray from the origin along `direction` meets the
// plane normal . p = offset; not finite when it runs parallel to the plane.
template <typename Point>
[[gnu::always_inline]] inline Point rayMeetsPlaneOf(const Point& direction, const Point& normal,
                                                    PointValue<Point> offset) {
    const PointValue<Point> s = offset / dot(normal, direction);
    return {s * direction.x, s * direction.y, s * direction.z};
}

// Whether the line of intersection of the planes of normals a and b is
// horizontal: its rise, a.x b.y - a.y b.x, is lost in the rounding of its
// two products (the planes dip the same or opposite ways).
template <typename Point>
[[gnu::always_inline]] inline MaskOf<PointValue<Point>> horizontalIntersectionOf(const Point& a, const Point& b) {
    using Value = PointValue<Point>;
    return absolute(a.x * b.y - a.y * b.x) <= every<Value>(8 * 0x1p-53) * (absolute(a.x * b.y) + absolute(a.y * b.x));
}

// p1, p2: the cutting planes' upward normals; top: the upper slope's, whose
// plane is top . p = topOffset (H top.z); faceOut: the slope face's normal
// out of the rock. Each way of cutting out no block goes to
// out.refuse(where, why) in the order the analysis reports them; a refusal
// out.refuse answers true to ends the work there.
template <typename Point, typename Checks>
[[gnu::always_inline]] inline TetrahedronOf<Point> tetrahedronOf(const Point& p1, const Point& p2, const Point& top,
                                                                 const Point& faceOut, PointValue<Point> topOffset,
                                                                 Checks& out) {
    using Value = PointValue<Point>;
    TetrahedronOf<Point> t;
    if (out.refuse(none(topOffset > Value{}), WedgeRefusal::ToeNotBelowTop)) return t;
    Point line = cross(p1, p2);
    const Value length = lengthOf(line);
    if (out.refuse(length == Value{}, WedgeRefusal::ParallelPlanes)) return t;
    if (out.refuse(horizontalIntersectionOf(p1, p2), WedgeRefusal::HorizontalLine)) return t;
    // -1 / length is -(1 / length), bit for bit: one division.
    const Value inverse = every<Value>(1) / length;
    const Value per = pick(line.z < Value{}, every<Value>(-1) * inverse, inverse);
    line = Point{per * line.x, per * line.y, per * line.z};
    // The line must rise from the toe into the rock behind the face, so that
    // the wedge slides down it and out through the face.
    if (out.refuse(none((line.z > Value{}) & (dot(faceOut, line) < Value{})), WedgeRefusal::NoDaylight)) return t;
    if (out.refuse(none(dot(top, line) > Value{}), WedgeRefusal::MissesUpperSlope)) return t;
    t.Line = line;
    t.C1 = rayMeetsPlaneOf(line, top, topOffset);
    t.C2 = rayMeetsPlaneOf(cross(p1, faceOut), top, topOffset);
    t.C3 = rayMeetsPlaneOf(cross(p2, faceOut), top, topOffset);
    t.Volume6 = dot(t.C1, cross(t.C2, t.C3));
    // Every component of the corners enters the triple product through
    // products and sums alone, which keep an infinity or a not-a-number:
    // where it is finite, so are they.
    if (out.refuse(none(absolute(t.Volume6) <= every<Value>(__DBL_MAX__)) | (t.Volume6 == Value{}),
                   WedgeRefusal::Degenerate))
        return t;
    return t;
}

// A cutting plane's normal into the wedge: its inward side is that of the
// wedge's corner off it (c3 for plane 1, c2 for plane 2).
template <typename Point>
[[gnu::always_inline]] inline Point inwardNormalOf(const Point& normal, const Point& cornerOff) {
    using Value = PointValue<Point>;
    const Value sign = pick(dot(normal, cornerOff) > Value{}, every<Value>(1), every<Value>(-1));
    return {sign * normal.x, sign * normal.y, sign * normal.z};
}

// Where the tension crack cuts the upper slope: the crest point in the
// vertical plane through the line of intersection, moved back along the
// line's trend by the crack's horizontal distance and kept on the upper
// slope; and the side of the crack (normal `crack`) the toe lies on, 0
// where there is no such point (a vertical line, or a point beyond the
// doubles' range).
template <typename Point> struct CrackAnchorOf {
    Point At{};
    PointValue<Point> Toe{};
};

template <typename Point>
[[gnu::always_inline]] inline CrackAnchorOf<Point> crackAnchorOf(const Point& line, const Point& faceOut,
                                                                 const Point& top, PointValue<Point> topOffset,
                                                                 PointValue<Point> distance, const Point& crack) {
    using Value = PointValue<Point>;
    CrackAnchorOf<Point> r;
    const Value horizontal = squareRoot(line.x * line.x + line.y * line.y);
    MaskOf<Value> found = none(horizontal == Value{});
    if (!anyLane(found)) return r;
    const Point back{line.x / horizontal, line.y / horizontal, Value{}};
    // In that vertical plane p = a back + z up: the face a f.back + z f.z = 0,
    // the upper slope a t.back + z t.z = topOffset.
    const Value fb = dot(faceOut, back), tb = dot(top, back);
    const Value det = fb * top.z - faceOut.z * tb;
    const Value crest = every<Value>(-1) * faceOut.z * topOffset / det;
    const Value a = crest + distance;
    const Value z = (topOffset - a * tb) / top.z;
    r.At = Point{a * back.x + Value{}, a * back.y + Value{}, a * back.z + z};
    const Value largest = every<Value>(__DBL_MAX__);
    found = found & (absolute(r.At.x) <= largest) & (absolute(r.At.y) <= largest) & (absolute(r.At.z) <= largest);
    r.Toe = pick(found, every<Value>(-1) * dot(crack, r.At), Value{});
    return r;
}

} // namespace trelmox
