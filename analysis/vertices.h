#pragma once
// Plane equations of the four planes in the block frame (x east, y north,
// z up, origin where the slope face and both cutting planes meet) and the
// wedge's corners as intersections of three planes at a time.
//
// Drawing planes are numbered 1 slope top (through (0,0,H)), 2 slope face,
// 3 first cutting plane, 4 second cutting plane (all three through the
// origin). The computation runs in x87 extended precision (long double):
// in double the corners of simple blocks pick up rounding noise such as
// -20.000000000000007 or 1e-15 where the exact value is -20 or 0, and the
// drawing would print that noise.
#include <array>
#include <string>
#include <vector>

#include "model/block.h"
#include "model/block_input.h"

namespace trelmox {

struct TPlaneEquation {
    double A = 0, B = 0, C = 0, D = 0; // A x + B y + C z + D = 0
};

// Three drawing plane numbers whose determinant is exactly zero.
struct FailedTriple {
    int i = 0, j = 0, k = 0;
    bool operator==(const FailedTriple&) const = default;
};
// "1、3、4三平面不能切出块体"
std::string failedTripleMessage(const FailedTriple& triple);

// The persistent state of the corner computation. A plane whose letters fit
// no case keeps the strike / up-dip vectors left by the plane before it
// (across computations too), and a corner whose triple is singular keeps its
// previous value, so one object per independent sequence of computations.
class VertexGeometry {
public:
    // drawingPlanes in drawing order (slope top, slope face, first and
    // second cutting plane). Reads H first (a bad text throws the number
    // error before anything changes), then the planes in order, then the
    // triples (1,2,3) -> Vertex3, (1,2,4) -> Vertex4, (1,3,4) -> Vertex2,
    // (2,3,4) -> Vertex1. Returns the singular triples in that order.
    std::vector<FailedTriple> compute(const std::array<TPlaneQuadrant, PlaneCount>& drawingPlanes,
                                      const std::string& slopeHeightText);
    // The same from the quadrants in storage order.
    std::vector<FailedTriple> computeForBlock(const PlaneQuadrantArray& quadrants, const std::string& slopeHeightText);
    // The same from the planes as numbers, whose letters always fit.
    std::vector<FailedTriple> computeForBlock(const QuadrantAttitudeArray& quadrants, double slopeHeight);

    const BlockVertices& vertices() const { return vertices_; }
    std::array<TPlaneEquation, PlaneCount> planes() const;

private:
    struct Vec {
        long double x = 0, y = 0, z = 0;
    };
    struct Plane {
        long double A = 0, B = 0, C = 0, D = 0;
    };
    // A plane as the computation reads it: whether its strike letters and
    // its dip letters fit a case, and the angles they use.
    struct PlaneReading {
        bool StrikeFits = false, StrikeEast = false, DipFits = false;
        int SignX = 0, SignY = 0;
        double StrikeAngle = 0, DipAngle = 0;
    };
    static PlaneReading readingOf(const TPlaneQuadrant& plane);
    static PlaneReading readingOf(const QuadrantAttitude& plane);
    template <typename NextPlane> std::vector<FailedTriple> computeFrom(double slopeHeight, NextPlane nextPlane);
    void readPlane(const PlaneReading& plane, const Vec& anchor, Plane& equation);
    bool intersect(const FailedTriple& triple, TPoint3D& corner) const;
    Vec strike_, upDip_, normal_;
    std::array<Plane, PlaneCount> planes_{};
    BlockVertices vertices_{};
};

} // namespace trelmox
