#pragma once
// The size limits' geometry (wedge_size.cpp), written once over the value
// type (formula_values.h): the analysis instantiates it for doubles and
// TPoint3D, kernel_lanes.h for its vectors and their points. A wedge is
// scaled about its toe, at the origin, where all planes but the upper
// slope meet; each limit on a length gives the factor limit / length, and
// the smallest decides.
//
// Included by the analysis's sources and by kernel_lanes.h after its lane
// operations; no other header includes it. A point is {x, y, z} of the
// value type with dot(p, q) and cross(p, q) beside it.
#include <utility>

#include "analysis/formula_values.h"

namespace trelmox {

template <typename Point> using PointValue = decltype(dot(std::declval<Point>(), std::declval<Point>()));

template <typename Point> [[gnu::always_inline]] inline Point differenceOf(const Point& p, const Point& q) {
    return {p.x - q.x, p.y - q.y, p.z - q.z};
}
template <typename Point> [[gnu::always_inline]] inline PointValue<Point> lengthOf(const Point& p) {
    return squareRoot(dot(p, p));
}

// The horizontal unit vector along v's trend; zero where v is vertical,
// and `has` false there.
template <typename Point>
[[gnu::always_inline]] inline Point horizontalUnitOf(const Point& v, MaskOf<PointValue<Point>>& has) {
    using Value = PointValue<Point>;
    const Value length = squareRoot(v.x * v.x + v.y * v.y);
    has = length > Value{};
    return {pick(has, v.x / length, Value{}), pick(has, v.y / length, Value{}), Value{}};
}

// The extent of the points along a unit direction, and the largest
// distance between two of them; `count` at least 1 (a constant where the
// caller knows it, so that the loops unroll).
template <typename Point, typename Count>
[[gnu::always_inline]] inline PointValue<Point> extentAlongOf(const Point* points, Count count,
                                                              const Point& direction) {
    using Value = PointValue<Point>;
    Value low = dot(points[0], direction), high = low;
    for (int i = 1; i < count; ++i) {
        const Value t = dot(points[i], direction);
        low = smallerOf(low, t), high = largerOf(high, t);
    }
    return high - low;
}
template <typename Point, typename Count>
[[gnu::always_inline]] inline PointValue<Point> largestChordOf(const Point* points, Count count) {
    PointValue<Point> chord{};
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j) chord = largerOf(chord, lengthOf(differenceOf(points[j], points[i])));
    return chord;
}

// The width of the slope face's trace along the face's strike; a
// horizontal face has no strike, and its largest extent stands in.
template <typename Point, typename Count>
[[gnu::always_inline]] inline PointValue<Point> slopeLengthOf(const Point* face, Count count, const Point& faceOut) {
    using Value = PointValue<Point>;
    MaskOf<Value> strikes;
    const Point strike = horizontalUnitOf(cross(faceOut, Point{Value{}, Value{}, every<Value>(1)}), strikes);
    return chosen(
        strikes, [&] { return extentAlongOf(face, count, strike); }, [&] { return largestChordOf(face, count); });
}

// A cutting plane's lengths on a wedge without a crack, whose face is the
// triangle of the toe, c1 where the line of intersection meets the upper
// slope, and the plane's crest corner c: its trace c1-c on the upper slope
// and c-toe on the slope face, how far it runs into the slope parallel to
// the line of intersection (the largest of the corners' faceOut . p over
// `rate` = faceOut . line, < 0 as the line runs into the rock: the toe adds
// nothing, and the largest quotient is the smallest d over rate) and its
// largest chord. `d1` is faceOut . c1; the persistence only as asked.
template <typename Value> struct TriangleFaceLengths { Value FaceTrace, TopTrace, Along, Extent; };

template <typename Point>
[[gnu::always_inline]] inline TriangleFaceLengths<PointValue<Point>>
triangleFaceLengthsOf(const Point& c1, const Point& c, const Point& faceOut, PointValue<Point> d1,
                      PointValue<Point> rate, bool along, bool extent) {
    using Value = PointValue<Point>;
    const Point toe{};
    TriangleFaceLengths<Value> l;
    l.TopTrace = largerOf(Value{}, lengthOf(differenceOf(c, c1)));
    l.FaceTrace = largerOf(Value{}, lengthOf(differenceOf(toe, c)));
    l.Along = along ? largerOf(Value{}, smallerOf(d1, dot(faceOut, c)) / rate) : Value{};
    l.Extent =
        extent ? largerOf(largerOf(largerOf(Value{}, lengthOf(differenceOf(c1, toe))), lengthOf(differenceOf(c, toe))),
                          lengthOf(differenceOf(c, c1)))
               : Value{};
    return l;
}

// For a bench: the crest, where the slope face meets the upper slope
// (top . p = H top.z), as a point of it nearest the toe, its horizontal
// direction, and the horizontal direction square to it back into the
// rock, in which the corners' reach behind the crest is measured. `Has`
// where there is such a crest (not where the two planes are parallel or
// the crest is vertical) and it was asked for.
template <typename Point> struct CrestFrame {
    MaskOf<PointValue<Point>> Has{};
    Point At{}, Along{}, Back{};
};

template <typename Point>
[[gnu::always_inline]] inline CrestFrame<Point> crestFrameOf(const Point& faceOut, const Point& top,
                                                             PointValue<Point> slopeHeight, bool wanted) {
    using Value = PointValue<Point>;
    CrestFrame<Point> f;
    const Point crest = cross(faceOut, top);
    const Value crestSquared = dot(crest, crest);
    if (!wanted) return f;
    f.Along = horizontalUnitOf(crest, f.Has);
    f.Has = none(crestSquared == Value{}) & f.Has;
    if (!anyLane(f.Has)) return f;
    const Value s = slopeHeight * top.z / crestSquared;
    const Point across = cross(crest, faceOut);
    f.At = Point{s * across.x, s * across.y, s * across.z};
    const Point back{every<Value>(-1) * f.Along.y, f.Along.x, Value{}};
    const MaskOf<Value> outward = dot(back, faceOut) > Value{};
    const Value minusOne = every<Value>(-1);
    f.Back = Point{pick(outward, minusOne * back.x, back.x), pick(outward, minusOne * back.y, back.y),
                   pick(outward, minusOne * back.z, back.z)};
    return f;
}

// A corner's reach behind the crest.
template <typename Point>
[[gnu::always_inline]] inline PointValue<Point> reachBehindOf(const Point& p, const CrestFrame<Point>& f) {
    return dot(differenceOf(p, f.At), f.Back);
}

// One limit's turn: where the length exceeds the limit and limit / length
// is below the factor so far, that quotient becomes the factor; returns
// where it did. A length the wedge does not have (0, or not a number)
// bounds nothing.
template <typename Value>
[[gnu::always_inline]] inline MaskOf<Value> tightenFactor(Value& factor, Value length, Value limit) {
    const MaskOf<Value> beyond = length > limit;
    if (!anyLane(beyond)) return beyond;
    const Value quotient = limit / length;
    const MaskOf<Value> tighter = beyond & (quotient < factor);
    factor = pick(tighter, quotient, factor);
    return tighter;
}

// What a length, an area and a volume are multiplied by under the factor.
template <typename Value> struct ScaleOf { Value Length, Area, Volume; };
template <typename Value> [[gnu::always_inline]] inline ScaleOf<Value> scaleOf(Value factor) {
    const Value area = factor * factor;
    return {factor, area, area * factor};
}

// The bench floor that remains behind the wedge's back-break.
template <typename Value> [[gnu::always_inline]] inline Value remainingBenchOf(Value width, Value backBreak) {
    return largerOf(Value{}, width - backBreak);
}

} // namespace trelmox
