#include "analysis/wedge_size.h"

#include <algorithm>
#include <cmath>

#include "analysis/vec3.h"

namespace trelmox {

namespace {

// The extent of the polygon's points along a unit direction.
double extentAlong(const WedgePolygon& polygon, const TPoint3D& direction) {
    if (polygon.Count == 0) return 0;
    double low = dot(polygon.Points[0], direction), high = low;
    for (int i = 1; i < polygon.Count; ++i) {
        const double t = dot(polygon.Points[i], direction);
        low = std::min(low, t), high = std::max(high, t);
    }
    return high - low;
}

double largestChord(const WedgePolygon& polygon) {
    double chord = 0;
    for (int i = 0; i < polygon.Count; ++i)
        for (int j = i + 1; j < polygon.Count; ++j) chord = std::max(chord, norm(polygon.Points[j] - polygon.Points[i]));
    return chord;
}

// How far the cutting plane's face runs into the slope: the largest
// distance of its corners from the slope face, measured parallel to the
// line of intersection.
double persistenceAlong(const WedgePolygon& polygon, const TPoint3D& faceOut, const TPoint3D& up) {
    const double rate = dot(faceOut, up); // < 0: the line runs into the rock
    double along = 0;
    for (int i = 0; i < polygon.Count; ++i) along = std::max(along, dot(faceOut, polygon.Points[i]) / rate);
    return along;
}

// Horizontal unit vector along the line where the two planes meet; zero
// when that line is vertical or the planes are parallel.
TPoint3D horizontalOf(const TPoint3D& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y);
    return length > 0 ? TPoint3D{v.x / length, v.y / length, 0} : TPoint3D{};
}

// The reach behind the crest and the length along it of the wedge's part
// of the upper slope. The crest is the line where the slope face meets the
// upper slope (t . p = H t_z); distances are taken in plan, square to it.
void crestFigures(const WedgeShape& s, double slopeHeight, WedgeLengths& l) {
    const TPoint3D& faceOut = s.Faces[int(WedgeSurface::SlopeFace)].Normal;
    const TPoint3D& top = s.Faces[int(WedgeSurface::UpperSlope)].Normal;
    const WedgePolygon& upper = s.Faces[int(WedgeSurface::UpperSlope)];
    const TPoint3D crest = cross(faceOut, top);
    const double crestSquared = dot(crest, crest);
    const TPoint3D along = horizontalOf(crest);
    if (crestSquared == 0 || along == TPoint3D{}) return;
    // A point of the crest: on both planes, nearest the toe.
    const TPoint3D point = (slopeHeight * top.z / crestSquared) * cross(crest, faceOut);
    TPoint3D back{-along.y, along.x, 0};
    if (dot(back, faceOut) > 0) back = -1 * back;
    double reach = 0;
    for (const WedgePolygon& f : s.Faces)
        for (int i = 0; i < f.Count; ++i) reach = std::max(reach, dot(f.Points[i] - point, back));
    l.BackBreak = reach;
    l.CrestLength = extentAlong(upper, along);
}

} // namespace

WedgeLengths wedgeLengths(const WedgeShape& s, double slopeHeight) {
    WedgeLengths l;
    const TPoint3D& faceOut = s.Faces[int(WedgeSurface::SlopeFace)].Normal;
    const WedgeSurface planes[2] = {WedgeSurface::FirstPlane, WedgeSurface::SecondPlane};
    for (int i = 0; i < 2; ++i) {
        const WedgePolygon& face = s.Faces[int(planes[i])];
        l.FaceTrace[i] = edgeLength(s, planes[i], WedgeSurface::SlopeFace);
        l.TopTrace[i] = edgeLength(s, planes[i], WedgeSurface::UpperSlope);
        l.PersistenceAlong[i] = persistenceAlong(face, faceOut, -1 * s.Sliding);
        l.PersistenceExtent[i] = largestChord(face);
    }
    const WedgePolygon& face = s.Faces[int(WedgeSurface::SlopeFace)];
    const TPoint3D strike = horizontalOf(cross(faceOut, TPoint3D{0, 0, 1}));
    // A horizontal face has no strike: its largest extent stands in.
    l.SlopeLength = strike == TPoint3D{} ? largestChord(face) : extentAlong(face, strike);
    l.SlopeHeight = slopeHeight;
    double low = 0, high = 0;
    for (const WedgePolygon& f : s.Faces)
        for (int i = 0; i < f.Count; ++i) low = std::min(low, f.Points[i].z), high = std::max(high, f.Points[i].z);
    l.Height = high - low;
    crestFigures(s, slopeHeight, l);
    return l;
}

double boundedLength(const WedgeLengths& l, SizeLimitKind kind, PersistenceMeasure measure) {
    const auto& persistence = measure == PersistenceMeasure::AlongIntersection ? l.PersistenceAlong : l.PersistenceExtent;
    switch (kind) {
    case SizeLimitKind::FaceTrace1: return l.FaceTrace[0];
    case SizeLimitKind::FaceTrace2: return l.FaceTrace[1];
    case SizeLimitKind::TopTrace1: return l.TopTrace[0];
    case SizeLimitKind::TopTrace2: return l.TopTrace[1];
    case SizeLimitKind::Persistence1: return persistence[0];
    case SizeLimitKind::Persistence2: return persistence[1];
    case SizeLimitKind::SlopeLength: return l.SlopeLength;
    case SizeLimitKind::BenchHeight: return l.SlopeHeight;
    case SizeLimitKind::BenchWidth: return l.BackBreak;
    }
    return 0;
}

WedgeScale wedgeScale(const WedgeLengths& full, const WedgeSizeLimits& limits) {
    WedgeScale scale;
    for (int k = 0; k < SizeLimitKindCount; ++k) {
        const auto kind = static_cast<SizeLimitKind>(k);
        const std::optional<double> limit = sizeLimit(limits, kind);
        const double length = boundedLength(full, kind, limits.Measure);
        // A length the wedge does not have (a trace cut off by the crack) bounds nothing.
        if (!limit || !(length > *limit)) continue;
        const double factor = *limit / length;
        if (factor < scale.Factor) scale = {factor, kind};
    }
    return scale;
}

void scaleWedgeShape(WedgeShape& s, double factor) {
    for (WedgePolygon& f : s.Faces) {
        for (int i = 0; i < f.Count; ++i) f.Points[i] = factor * f.Points[i];
        f.Area *= factor * factor;
    }
    s.Volume *= factor * factor * factor;
    s.Centroid = factor * s.Centroid;
    s.LineTop = factor * s.LineTop;
    s.LineEnd = factor * s.LineEnd;
}

WedgeNumbers scaledWedgeNumbers(const WedgeNumbers& numbers, double factor) {
    WedgeNumbers scaled = numbers;
    scaled.SlopeHeight = factor * numbers.SlopeHeight;
    if (numbers.WaterPressureFromHeight)
        scaled.WaterPressure1 = scaled.WaterPressure2 = ComputeWaterPressure(numbers.WaterUnitWeight, scaled.SlopeHeight);
    return scaled;
}

bool sizes(const WedgeSizeLimits& l) { return l.bounds() || l.MinVolume || l.MinWeight || l.MinHeight; }

namespace {

void scaleLengths(WedgeLengths& l, double factor) {
    for (int i = 0; i < 2; ++i) {
        l.FaceTrace[i] *= factor, l.TopTrace[i] *= factor;
        l.PersistenceAlong[i] *= factor, l.PersistenceExtent[i] *= factor;
    }
    l.SlopeLength *= factor, l.SlopeHeight *= factor, l.Height *= factor;
    l.BackBreak *= factor, l.CrestLength *= factor;
}

} // namespace

const WedgeNumbers& sizeWedge(WedgeShape& shape, const WedgeNumbers& numbers, const WedgeSizeLimits& limits,
                              WedgeSizing& sizing, WedgeNumbers& scaled) {
    sizing = WedgeSizing{};
    sizing.Limited = true;
    sizing.Full = sizing.Lengths = wedgeLengths(shape, numbers.SlopeHeight);
    sizing.Scale = wedgeScale(sizing.Full, limits);
    const WedgeNumbers* used = &numbers;
    if (sizing.Scale.Decider) {
        sizing.FullShape = shape;
        scaleWedgeShape(shape, sizing.Scale.Factor);
        scaleLengths(sizing.Lengths, sizing.Scale.Factor);
        scaled = scaledWedgeNumbers(numbers, sizing.Scale.Factor);
        used = &scaled;
    }
    sizing.Volume = shape.Volume;
    sizing.Weight = used->RockUnitWeight * shape.Volume;
    sizing.TooSmall = (limits.MinVolume && sizing.Volume < *limits.MinVolume) ||
                      (limits.MinWeight && sizing.Weight < *limits.MinWeight) ||
                      (limits.MinHeight && sizing.Lengths.Height < *limits.MinHeight);
    if (limits.Bench) {
        sizing.RemainingBench = std::max(0.0, limits.Bench->Width - sizing.Lengths.BackBreak);
        sizing.BenchTooNarrow = limits.Bench->CatchWidth && *sizing.RemainingBench < *limits.Bench->CatchWidth;
    }
    return *used;
}

} // namespace trelmox
