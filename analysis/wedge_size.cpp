#include "analysis/wedge_size.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "analysis/vec3.h"
// After vec3.h: the formulas find its dot and cross for TPoint3D.
#include "analysis/size_formula.h"

namespace trelmox {

namespace {

// Calls f with the polygon's count of corners, a constant where it is the
// usual three or four (four where a crack cuts a corner off), so that the
// loops over the corners unroll without a test per corner.
template <class F> [[gnu::always_inline]] inline auto withCount(int count, F f) {
    switch (count) {
    case 3: return f(std::integral_constant<int, 3>{});
    case 4: return f(std::integral_constant<int, 4>{});
    default: return f(count);
    }
}

// The extent of the polygon's points along a unit direction.
[[gnu::always_inline]] inline double extentAlong(const WedgePolygon& polygon, const TPoint3D& direction) {
    if (polygon.Count == 0) return 0;
    return withCount(polygon.Count, [&](auto count) { return extentAlongOf(polygon.Points.data(), count, direction); });
}

double largestChord(const WedgePolygon& polygon) {
    return withCount(polygon.Count, [&](auto count) { return largestChordOf(polygon.Points.data(), count); });
}

// A cutting plane's traces on the slope face and on the upper slope
// (edgeLength's lengths, edge for edge) and, when `withAlong`, how far its
// face runs into the slope: the largest distance of its corners from the
// slope face, measured parallel to the line of intersection (faceOut . p
// over `rate`, faceOut . up, < 0 as the line runs into the rock). One pass
// over the face's corners.
struct PlaneFigures {
    double FaceTrace = 0, TopTrace = 0, Along = 0;
};

PlaneFigures planeFigures(const WedgePolygon& f, const TPoint3D& faceOut, double rate, bool withAlong) {
    return withCount(f.Count, [&](auto count) {
        PlaneFigures r;
        for (int i = 0; i < count; ++i) {
            const TPoint3D& p = f.Points[i];
            if (withAlong) r.Along = std::max(r.Along, dot(faceOut, p) / rate);
            const WedgeSurface border = f.Borders[i];
            if (border != WedgeSurface::SlopeFace && border != WedgeSurface::UpperSlope) continue;
            const double length = norm(f.Points[i + 1 < count ? i + 1 : 0] - p);
            double& trace = border == WedgeSurface::SlopeFace ? r.FaceTrace : r.TopTrace;
            trace = std::max(trace, length);
        }
        return r;
    });
}

// Calls visit(p) for a set of points that holds every corner of the wedge
// (some of them more than once), for extremes over the corners. Without a
// crack every face is a triangle of the same four corners, copied bit for
// bit: the upper slope's three and the toe at the origin, which `withToe`
// says whether to visit. A crack's corners are worked out on each face they
// bound apart, and may differ there in the last bit: then every face's
// points are visited.
template <class Visit> [[gnu::always_inline]] inline void visitCorners(const WedgeShape& s, bool withToe, Visit visit) {
    if (s.Faces[int(WedgeSurface::Crack)].Count == 0) {
        const WedgePolygon& upper = s.Faces[int(WedgeSurface::UpperSlope)];
        if (withToe) visit(TPoint3D{});
        withCount(upper.Count, [&](auto count) {
            for (int i = 0; i < count; ++i) visit(upper.Points[i]);
        });
        return;
    }
    for (const WedgePolygon& f : s.Faces)
        for (int i = 0; i < f.Count; ++i) visit(f.Points[i]);
}

// Which of the lengths to work out: the sizing of a full analysis needs
// only the persistence by the measure its limits use, and the figures
// behind the crest only for a bench.
struct LengthsWanted {
    bool Along = true, Extent = true, Crest = true;
};

[[gnu::always_inline]] inline void fillLengths(const WedgeShape& s, double slopeHeight, LengthsWanted wanted,
                                               WedgeLengths& l) {
    const TPoint3D& faceOut = s.Faces[int(WedgeSurface::SlopeFace)].Normal;
    const double rate = dot(faceOut, -1 * s.Sliding);
    const WedgePolygon& upper = s.Faces[int(WedgeSurface::UpperSlope)];
    const WedgeSurface planes[2] = {WedgeSurface::FirstPlane, WedgeSurface::SecondPlane};
    if (s.Faces[int(WedgeSurface::Crack)].Count == 0 && rate < 0) {
        // Without a crack each cutting plane's face is the triangle of the
        // toe, c1 and its crest corner c (the upper slope's face is c1, c2,
        // c3): planeFigures' and largestChord's figures written out for it,
        // the same bits.
        const TPoint3D& c1 = upper.Points[0];
        const double d1 = dot(faceOut, c1);
        for (int i = 0; i < 2; ++i) {
            const TriangleFaceLengths<double> f =
                triangleFaceLengthsOf(c1, upper.Points[1 + i], faceOut, d1, rate, wanted.Along, wanted.Extent);
            l.TopTrace[i] = f.TopTrace, l.FaceTrace[i] = f.FaceTrace;
            l.PersistenceAlong[i] = f.Along, l.PersistenceExtent[i] = f.Extent;
        }
    } else {
        for (int i = 0; i < 2; ++i) {
            const WedgePolygon& face = s.Faces[int(planes[i])];
            const PlaneFigures f = planeFigures(face, faceOut, rate, wanted.Along);
            l.FaceTrace[i] = f.FaceTrace, l.TopTrace[i] = f.TopTrace;
            l.PersistenceAlong[i] = f.Along;
            l.PersistenceExtent[i] = wanted.Extent ? largestChord(face) : 0;
        }
    }
    const WedgePolygon& face = s.Faces[int(WedgeSurface::SlopeFace)];
    l.SlopeLength = face.Count == 0 ? 0 : withCount(face.Count, [&](auto count) {
        return slopeLengthOf(face.Points.data(), count, faceOut);
    });
    l.SlopeHeight = slopeHeight;
    // The height from the toe's 0, which the toe itself cannot change. For
    // a bench, the reach behind the crest and the length along it of the
    // wedge's part of the upper slope, in plan.
    double low = 0, high = 0;
    l.BackBreak = l.CrestLength = 0;
    const CrestFrame<TPoint3D> crest = crestFrameOf(faceOut, upper.Normal, slopeHeight, wanted.Crest);
    if (crest.Has) {
        // The largest of the corners' distances, whichever order they come in.
        double reach = 0;
        visitCorners(s, true, [&](const TPoint3D& p) {
            low = smallerOf(low, p.z), high = largerOf(high, p.z);
            reach = largerOf(reach, reachBehindOf(p, crest));
        });
        l.BackBreak = reach;
        l.CrestLength = extentAlong(upper, crest.Along);
    } else {
        visitCorners(s, false, [&](const TPoint3D& p) { low = smallerOf(low, p.z), high = largerOf(high, p.z); });
    }
    l.Height = high - low;
}

// The length each kind of limit bounds, indexed by SizeLimitKind.
std::array<double, SizeLimitKindCount> boundedLengths(const WedgeLengths& l, PersistenceMeasure measure) {
    const auto& persistence =
        measure == PersistenceMeasure::AlongIntersection ? l.PersistenceAlong : l.PersistenceExtent;
    return {l.FaceTrace[0], l.FaceTrace[1], l.TopTrace[0], l.TopTrace[1], persistence[0],
            persistence[1], l.SlopeLength,  l.SlopeHeight, l.BackBreak};
}

} // namespace

WedgeLengths wedgeLengths(const WedgeShape& s, double slopeHeight) {
    WedgeLengths l;
    fillLengths(s, slopeHeight, LengthsWanted{}, l);
    return l;
}

double boundedLength(const WedgeLengths& l, SizeLimitKind kind, PersistenceMeasure measure) {
    return boundedLengths(l, measure)[static_cast<int>(kind)];
}

namespace {

[[gnu::always_inline]] inline WedgeScale scaleFor(const WedgeLengths& full, const WedgeSizeLimits& limits) {
    const auto lengths = boundedLengths(full, limits.Measure);
    WedgeScale scale;
    forEachSizeLimit(limits, [&](SizeLimitKind kind, const std::optional<double>& limit) {
        // A length the wedge does not have (a trace cut off by the crack) bounds nothing.
        if (limit && tightenFactor(scale.Factor, lengths[static_cast<int>(kind)], *limit)) scale.Decider = kind;
    });
    return scale;
}

[[gnu::always_inline]] inline void scaleShape(WedgeShape& s, double factor) {
    const ScaleOf<double> by = scaleOf(factor);
    for (WedgePolygon& f : s.Faces) {
        for (int i = 0; i < f.Count; ++i) f.Points[i] = factor * f.Points[i];
        f.Area *= by.Area;
    }
    s.Volume *= by.Volume;
    s.Centroid = factor * s.Centroid;
    s.LineTop = factor * s.LineTop;
    s.LineEnd = factor * s.LineEnd;
}

} // namespace

// Out of line for callers elsewhere; sizeWedge has them inline, so that its
// figures stay in registers between the steps.
WedgeScale wedgeScale(const WedgeLengths& full, const WedgeSizeLimits& limits) { return scaleFor(full, limits); }

void scaleWedgeShape(WedgeShape& s, double factor) { scaleShape(s, factor); }

namespace {

[[gnu::always_inline]] inline void scaleNumbers(const WedgeNumbers& numbers, double factor, WedgeNumbers& scaled) {
    scaled = numbers;
    scaled.SlopeHeight = factor * numbers.SlopeHeight;
    if (numbers.WaterPressureFromHeight)
        scaled.WaterPressure1 = scaled.WaterPressure2 =
            ComputeWaterPressure(numbers.WaterUnitWeight, scaled.SlopeHeight);
}

} // namespace

WedgeNumbers scaledWedgeNumbers(const WedgeNumbers& numbers, double factor) {
    WedgeNumbers scaled;
    scaleNumbers(numbers, factor, scaled);
    return scaled;
}

std::optional<WedgeShape> fullHeightShape(const WedgeSizing& sizing) {
    if (!sizing.FullHeight) return std::nullopt;
    const FullHeightWedge& w = *sizing.FullHeight;
    std::optional<TensionCrack> crack;
    if (w.CrackDistance) crack = TensionCrack{{}, *w.CrackDistance, 0};
    WedgeShape shape;
    if (buildWedgeShape(w.Planes, w.SlopeHeight, w.OverhangingFace, crack ? &*crack : nullptr, shape))
        return std::nullopt;
    return shape;
}

bool sizes(const WedgeSizeLimits& l) { return l.bounds() || l.MinVolume || l.MinWeight || l.MinHeight; }

namespace {

// `full`'s lengths times the factor, into `l`.
void scaleLengths(const WedgeLengths& full, double factor, WedgeLengths& l) {
    for (int i = 0; i < 2; ++i) {
        l.FaceTrace[i] = full.FaceTrace[i] * factor, l.TopTrace[i] = full.TopTrace[i] * factor;
        l.PersistenceAlong[i] = full.PersistenceAlong[i] * factor;
        l.PersistenceExtent[i] = full.PersistenceExtent[i] * factor;
    }
    l.SlopeLength = full.SlopeLength * factor, l.SlopeHeight = full.SlopeHeight * factor;
    l.Height = full.Height * factor;
    l.BackBreak = full.BackBreak * factor, l.CrestLength = full.CrestLength * factor;
}

} // namespace

const WedgeNumbers& sizeWedge(WedgeShape& shape, const WedgeNumbers& numbers, const WedgeSizeLimits& limits,
                              WedgeSizing& sizing, WedgeNumbers& scaled) {
    // Every field of `sizing` is set below, none through a fresh WedgeSizing:
    // building one and copying it over would cost a good part of the sizing.
    sizing.Limited = true;
    const bool along = limits.Measure == PersistenceMeasure::AlongIntersection;
    fillLengths(shape, numbers.SlopeHeight, {along, !along, limits.Bench.has_value()}, sizing.Full);
    sizing.Scale = scaleFor(sizing.Full, limits);
    sizing.FullVolume = shape.Volume;
    const WedgeNumbers* used = &numbers;
    if (sizing.Scale.Decider) {
        scaleShape(shape, sizing.Scale.Factor);
        scaleLengths(sizing.Full, sizing.Scale.Factor, sizing.Lengths);
        scaleNumbers(numbers, sizing.Scale.Factor, scaled);
        used = &scaled;
    } else {
        sizing.Lengths = sizing.Full;
    }
    sizing.FullHeight.reset(); // the caller knows what cut the wedge out
    sizing.Volume = shape.Volume;
    sizing.Weight = used->RockUnitWeight * shape.Volume;
    sizing.TooSmall = (limits.MinVolume && sizing.Volume < *limits.MinVolume) ||
                      (limits.MinWeight && sizing.Weight < *limits.MinWeight) ||
                      (limits.MinHeight && sizing.Lengths.Height < *limits.MinHeight);
    sizing.RemainingBench.reset();
    sizing.BenchTooNarrow = false;
    if (limits.Bench) {
        sizing.RemainingBench = remainingBenchOf(limits.Bench->Width, sizing.Lengths.BackBreak);
        sizing.BenchTooNarrow = limits.Bench->CatchWidth && *sizing.RemainingBench < *limits.Bench->CatchWidth;
    }
    return *used;
}

} // namespace trelmox
