#include "analysis/wedge_size.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/full_analysis.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using trelmox::testing::exampleAttitudes;
using trelmox::testing::exampleParams;

namespace {

WedgeNumbers exampleNumbers() { return wedgeNumbers(parameterNumbers(exampleParams())); }

void setLimit(WedgeSizeLimits& l, SizeLimitKind kind, double value) {
    switch (kind) {
    case SizeLimitKind::FaceTrace1: l.FaceTrace[0] = value; break;
    case SizeLimitKind::FaceTrace2: l.FaceTrace[1] = value; break;
    case SizeLimitKind::TopTrace1: l.TopTrace[0] = value; break;
    case SizeLimitKind::TopTrace2: l.TopTrace[1] = value; break;
    case SizeLimitKind::Persistence1: l.Persistence[0] = value; break;
    case SizeLimitKind::Persistence2: l.Persistence[1] = value; break;
    case SizeLimitKind::SlopeLength: l.SlopeLength = value; break;
    case SizeLimitKind::BenchHeight: l.Bench->Height = value; break;
    case SizeLimitKind::BenchWidth: l.Bench->Width = value; break;
    }
}

// Every limit that bounds a length the wedge has, set to `ratio` times it.
WedgeSizeLimits limitsAt(const WedgeLengths& full, double ratio, PersistenceMeasure measure) {
    WedgeSizeLimits l;
    l.Measure = measure;
    l.Bench = BenchLimits{};
    for (int k = 0; k < SizeLimitKindCount; ++k) {
        const auto kind = static_cast<SizeLimitKind>(k);
        if (const double length = boundedLength(full, kind, measure); length > 0) setLimit(l, kind, ratio * length);
    }
    return l;
}

WedgeLengths fullLengths(const WedgeLoads& loads) {
    const FullAnalysis a = analyseWedge(exampleAttitudes(), exampleNumbers(), loads);
    return wedgeLengths(a.Shape, exampleNumbers().SlopeHeight);
}

// Every figure of the two shapes, to the last bit.
void expectSameShape(const WedgeShape& a, const WedgeShape& b) {
    for (int f = 0; f < WedgeSurfaceCount; ++f) {
        const WedgePolygon &p = a.Faces[f], &q = b.Faces[f];
        ASSERT_EQ(p.Count, q.Count) << f;
        for (int i = 0; i < p.Count; ++i) EXPECT_EQ(p.Points[i], q.Points[i]) << f << " " << i;
        EXPECT_EQ(p.Area, q.Area) << f;
        EXPECT_EQ(p.Normal, q.Normal) << f;
    }
    EXPECT_EQ(a.Volume, b.Volume);
    EXPECT_EQ(a.Centroid, b.Centroid);
    EXPECT_EQ(a.LineEnd, b.LineEnd);
}

WedgeLoads withCrack() {
    WedgeLoads l;
    l.Crack = TensionCrack{{80, 10}, 5, 0};
    return l;
}

} // namespace

// Limits the full wedge keeps change nothing, to the last bit.
TEST(WedgeSize, LimitsAboveTheFullWedgeLeaveItUnchanged) {
    for (const WedgeLoads& plain : {WedgeLoads{}, withCrack()}) {
        const FullAnalysis full = analyseWedge(exampleAttitudes(), exampleNumbers(), plain);
        for (auto measure : {PersistenceMeasure::AlongIntersection, PersistenceMeasure::LargestExtent}) {
            WedgeLoads loads = plain;
            loads.Size = limitsAt(fullLengths(plain), 1, measure);
            const FullAnalysis a = analyseWedge(exampleAttitudes(), exampleNumbers(), loads);
            EXPECT_EQ(a.Size.Scale.Factor, 1);
            EXPECT_FALSE(a.Size.Scale.Decider);
            EXPECT_FALSE(fullHeightShape(a.Size));
            EXPECT_EQ(a.Safety.Factor, full.Safety.Factor);
            EXPECT_EQ(a.Shape.Volume, full.Shape.Volume);
            EXPECT_EQ(a.Shape.Centroid, full.Shape.Centroid);
            EXPECT_EQ(a.Forces.active(), full.Forces.active());
        }
    }
}

// Halving the one limiting trace length halves the wedge: lengths /2, areas
// /4, volume /8. With the weight and water both growing with the volume,
// Fs = (cohesion x areas + friction x normal loads) / driving load falls
// apart into a cohesion term that grows as 1/s and a term that stays.
TEST(WedgeSize, HalvingTheLimitingTraceHalvesTheWedgeAndFsFollowsItsTerms) {
    const struct {
        WaterMode water;
        TWaterPressureMode pressures;
    } cases[] = {{WaterMode::None, TWaterPressureMode::Computed},
                 {WaterMode::Block, TWaterPressureMode::Computed},
                 {WaterMode::Saturated, TWaterPressureMode::Computed}};
    for (const auto& c : cases) {
        TWedgeParams params = exampleParams();
        params.WaterPressureMode = c.pressures;
        const WedgeNumbers numbers = wedgeNumbers(parameterNumbers(params));
        WedgeNumbers frictionOnly = numbers;
        frictionOnly.Cohesion1 = frictionOnly.Cohesion2 = 0;
        WedgeLoads loads;
        loads.Water = c.water;
        const FullAnalysis full = analyseWedge(exampleAttitudes(), numbers, loads);
        ASSERT_EQ(full.Safety.Contact, TWedgeContact::BothPlanes);
        const double frictionTerm = analyseWedge(exampleAttitudes(), frictionOnly, loads).Safety.Factor;
        const double cohesionTerm = full.Safety.Factor - frictionTerm;

        loads.Size.FaceTrace[1] = edgeLength(full.Shape, WedgeSurface::SecondPlane, WedgeSurface::SlopeFace) / 2;
        const FullAnalysis half = analyseWedge(exampleAttitudes(), numbers, loads);
        EXPECT_EQ(half.Size.Scale.Factor, 0.5);
        EXPECT_EQ(half.Size.Scale.Decider, SizeLimitKind::FaceTrace2);
        ASSERT_TRUE(fullHeightShape(half.Size));
        for (int f = 0; f < WedgeSurfaceCount; ++f) {
            const WedgePolygon &h = half.Shape.Faces[f], &w = full.Shape.Faces[f];
            ASSERT_EQ(h.Count, w.Count);
            for (int i = 0; i < h.Count; ++i) EXPECT_EQ(h.Points[i], 0.5 * w.Points[i]);
            EXPECT_EQ(h.Area, w.Area / 4);
        }
        EXPECT_EQ(half.Shape.Volume, full.Shape.Volume / 8);
        EXPECT_EQ(half.Size.Lengths.SlopeHeight, numbers.SlopeHeight / 2);
        EXPECT_EQ(half.Size.Weight, norm(half.Forces.Weight));
        EXPECT_NEAR(half.Safety.Factor, cohesionTerm / 0.5 + frictionTerm, 1e-12);
    }
}

// Each limit, set below all the others, decides the scale, and the scaled
// wedge's bounded length is the limit itself. With a crack too, which moves
// in with the wedge: the scaled wedge is the one cut at the scaled height
// with the crack at the scaled distance. The full-height wedge the pictures
// draw behind it is the unlimited analysis' wedge, bit for bit.
TEST(WedgeSize, EachKindOfLimitDecidesInACaseBuiltForIt) {
    for (const WedgeLoads& plain : {WedgeLoads{}, withCrack()}) {
        const WedgeLengths full = fullLengths(plain);
        const WedgeShape unlimited = analyseWedge(exampleAttitudes(), exampleNumbers(), plain).Shape;
        for (auto measure : {PersistenceMeasure::AlongIntersection, PersistenceMeasure::LargestExtent}) {
            for (int k = 0; k < SizeLimitKindCount; ++k) {
                const auto kind = static_cast<SizeLimitKind>(k);
                const double length = boundedLength(full, kind, measure);
                if (length == 0) continue; // a trace the crack cuts off
                WedgeLoads loads = plain;
                loads.Size = limitsAt(full, 0.9, measure);
                setLimit(loads.Size, kind, 0.6 * length);
                const FullAnalysis a = analyseWedge(exampleAttitudes(), exampleNumbers(), loads);
                EXPECT_EQ(a.Size.Scale.Decider, kind) << sizeLimitKey(kind);
                EXPECT_NEAR(a.Size.Scale.Factor, 0.6, 1e-14);
                const double s = a.Size.Scale.Factor;
                const WedgeLengths scaled = wedgeLengths(a.Shape, s * exampleNumbers().SlopeHeight);
                EXPECT_NEAR(boundedLength(scaled, kind, measure), 0.6 * length, 1e-9 * length) << sizeLimitKey(kind);

                WedgeShape rebuilt;
                std::optional<TensionCrack> crack = plain.Crack;
                if (crack) crack->Distance *= s;
                ASSERT_FALSE(buildWedgeShape(wedgePlanes(exampleAttitudes(), crack), s * exampleNumbers().SlopeHeight,
                                             false, crack ? &*crack : nullptr, rebuilt));
                EXPECT_NEAR(rebuilt.Volume, a.Shape.Volume, 1e-9 * a.Shape.Volume);
                EXPECT_NEAR(norm(rebuilt.Centroid - a.Shape.Centroid), 0, 1e-9 * s * 40);
                const std::optional<WedgeShape> fullShape = fullHeightShape(a.Size);
                ASSERT_TRUE(fullShape);
                expectSameShape(*fullShape, unlimited);
            }
        }
    }
}

// A vertical bench face facing east, a horizontal bench floor and planes
// dipping 60 toward 060 and 120: the line of intersection trends 090 and
// rises at tan p = tan 60 cos 30 = 1.5, so the wedge reaches H / 1.5 behind
// the crest, and each plane meets the crest H / (tan 60 cos 60) from the
// line's trend: 2H / (tan 60 cos 60) along it.
TEST(WedgeSize, BenchBackBreakOfAHandCheckedWedge) {
    const PlaneAttitudeArray attitudes{{{60, 60}, {60, 120}, {0, 90}, {90, 90}}};
    WedgeNumbers numbers = exampleNumbers();
    numbers.SlopeHeight = 12;
    const double reach = 12 / 1.5, crest = 2 * 12 / (std::sqrt(3.0) * 0.5);
    const struct {
        double benchHeight, width, catchWidth;
        double scale, remaining;
        bool narrow;
    } cases[] = {
        {12, 12, 4.5, 1, 4, true},  // the full wedge leaves 4 of 12
        {12, 12, 3.9, 1, 4, false}, // a little less is enough
        {6, 12, 4, 0.5, 8, false},  // a lower bench halves the wedge
        {12, 6, 1, 0.75, 0, true},  // a narrow bench: the wedge takes it all
    };
    for (const auto& c : cases) {
        WedgeLoads loads;
        loads.Water = WaterMode::None;
        loads.Size.Bench = BenchLimits{c.benchHeight, c.width, c.catchWidth};
        const FullAnalysis a = analyseWedge(attitudes, numbers, loads);
        ASSERT_FALSE(a.Refusal);
        EXPECT_NEAR(a.Size.Scale.Factor, c.scale, 1e-12);
        EXPECT_NEAR(a.Size.Lengths.BackBreak, c.scale * reach, 1e-9);
        EXPECT_NEAR(a.Size.Lengths.CrestLength, c.scale * crest, 1e-9);
        EXPECT_NEAR(*a.Size.RemainingBench, c.remaining, 1e-9);
        EXPECT_EQ(a.Size.BenchTooNarrow, c.narrow) << c.width << " " << c.catchWidth;
    }
}

// A wedge below any minimum is too small to matter; at the minimum it is not.
TEST(WedgeSize, MinimumSizeMarksTinyWedges) {
    const FullAnalysis full = analyseWedge(exampleAttitudes(), exampleNumbers(), WedgeLoads{});
    const double volume = full.Shape.Volume, weight = norm(full.Forces.Weight);
    const double height = wedgeLengths(full.Shape, 40).Height;
    const struct {
        std::optional<double> volume, weight, height;
        bool tooSmall;
    } cases[] = {
        {volume, std::nullopt, std::nullopt, false},
        {std::nextafter(volume, 2 * volume), std::nullopt, std::nullopt, true},
        {std::nullopt, std::nextafter(weight, 2 * weight), std::nullopt, true},
        {std::nullopt, weight, height, false},
        {std::nullopt, std::nullopt, height + 1e-9, true},
    };
    for (const auto& c : cases) {
        WedgeLoads loads;
        loads.Size.MinVolume = c.volume, loads.Size.MinWeight = c.weight, loads.Size.MinHeight = c.height;
        const FullAnalysis a = analyseWedge(exampleAttitudes(), exampleNumbers(), loads);
        EXPECT_EQ(a.Size.TooSmall, c.tooSmall);
        EXPECT_EQ(a.Safety.Factor, full.Safety.Factor);
    }
}
