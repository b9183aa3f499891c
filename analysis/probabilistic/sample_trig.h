#pragma once
// The trigonometry, logarithm and exponential of sampled values, one value
// at a time: the scalar twins of the kernels' lanes (kernel.h), bit for bit.
// Whole-degree angles take the exact tables of the deterministic analysis
// (model/angles.h); other sines and cosines degree_trig.h's (SLEEF's past
// its range); tangents, logarithms and exponentials SLEEF's deterministic
// scalar functions, which return the same bits as its vector ones.
#include <optional>

#include "analysis/polyhedron.h"
#include "analysis/wedge.h"
#include "model/angles.h"

namespace trelmox {

// Throw Error("Floating point overflow") for an angle beyond the range of a double.
SinCos<double> sampleSinCosOfDegrees(double degrees);
double sampleTanOfDegrees(double degrees);
// Of the first azimuth less the second, in radians: exact library values
// when both are whole degrees (as the deterministic analysis takes them).
SinCos<double> sampleSinCosOfDifference(double degrees, double minusDegrees);
double sampleLog(double x);
double sampleExp(double x);
double sampleLog1p(double x); // log(1 + x), exact for small x

// wedgeNormals and wedgePlanes with this trigonometry.
WedgeNormals sampleWedgeNormals(const PlaneAttitudeArray& attitudes);
TPoint3D sampleUpwardNormal(const TPlaneAttitude& attitude);
WedgePlanes sampleWedgePlanes(const PlaneAttitudeArray& attitudes, const std::optional<TensionCrack>& crack);

} // namespace trelmox
