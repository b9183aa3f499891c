#include "analysis/probabilistic/sample_trig.h"

#include <cmath>
#include <sleef.h>

#include "analysis/arithmetic.h"
#include "analysis/probabilistic/degree_trig.h"

namespace trelmox {

SinCos<double> sampleSinCosOfDegrees(double degrees) {
    const int index = wholeDegreeIndex(degrees);
    if (index >= 0) return WholeDegreeSinCos[index];
    if (std::abs(degrees) <= degree_trig::Limit) return degree_trig::sinCos(degrees);
    const Sleef_double_2 sc = Sleef_cinz_sincosd1_u35purec(radiansOf<double>(degrees));
    return {sc.x, sc.y};
}

double sampleTanOfDegrees(double degrees) {
    const int index = wholeDegreeIndex(degrees);
    return index >= 0 ? WholeDegreeTan[index] : Sleef_cinz_tand1_u10purec(radiansOf<double>(degrees));
}

SinCos<double> sampleSinCosOfDifference(double degrees, double minusDegrees) {
    const double minus = radiansOf<double>(minusDegrees);
    const double relative = noOverflow(radiansOf<double>(degrees) - minus);
    if (wholeDegreeIndex(degrees) >= 0 && wholeDegreeIndex(minusDegrees) >= 0)
        return {std::sin(relative), std::cos(relative)};
    // The difference in degrees, then reduced exactly (degree_trig.h).
    if (std::abs(degrees) <= degree_trig::Limit && std::abs(minusDegrees) <= degree_trig::Limit)
        return degree_trig::sinCos(degrees - minusDegrees);
    const Sleef_double_2 sc = Sleef_cinz_sincosd1_u35purec(relative);
    return {sc.x, sc.y};
}

double sampleLog(double x) { return Sleef_cinz_logd1_u10purec(x); }
double sampleExp(double x) { return Sleef_cinz_expd1_u10purec(x); }
double sampleLog1p(double x) { return Sleef_cinz_log1pd1_u10purec(x); }

// The products in the order of the deterministic analysis (wedge.cpp).
WedgeNormals sampleWedgeNormals(const PlaneAttitudeArray& attitudes) {
    const TPlaneAttitude& plane1 = attitudes[int(TPlaneRole::FirstCuttingPlane)];
    const TPlaneAttitude& plane2 = attitudes[int(TPlaneRole::SecondCuttingPlane)];
    const TPlaneAttitude& top = attitudes[int(TPlaneRole::SlopeTopSurface)];
    const TPlaneAttitude& face = attitudes[int(TPlaneRole::SlopeFace)];
    WedgeNormals n;
    const auto psi1 = sampleSinCosOfDegrees(plane1.DipAngle);
    const auto rel1 = sampleSinCosOfDifference(plane1.DipDirection, plane2.DipDirection);
    n.Ax = psi1.sin * rel1.sin, n.Ay = psi1.sin * rel1.cos, n.Az = psi1.cos;
    const auto psi2 = sampleSinCosOfDegrees(plane2.DipAngle);
    n.By = psi2.sin, n.Bz = psi2.cos;
    const auto psiF = sampleSinCosOfDegrees(face.DipAngle);
    const auto relF = sampleSinCosOfDifference(face.DipDirection, plane2.DipDirection);
    n.Sx = psiF.sin * relF.sin, n.Sy = psiF.sin * relF.cos, n.Sz = psiF.cos;
    n.TanTop = sampleTanOfDegrees(top.DipAngle);
    return n;
}

TPoint3D sampleUpwardNormal(const TPlaneAttitude& attitude) {
    const auto dip = sampleSinCosOfDegrees(attitude.DipAngle);
    const auto direction = sampleSinCosOfDegrees(attitude.DipDirection);
    return {dip.sin * direction.sin, dip.sin * direction.cos, dip.cos};
}

WedgePlanes sampleWedgePlanes(const PlaneAttitudeArray& attitudes, const std::optional<TensionCrack>& crack) {
    return {sampleUpwardNormal(attitudes[int(TPlaneRole::FirstCuttingPlane)]),
            sampleUpwardNormal(attitudes[int(TPlaneRole::SecondCuttingPlane)]),
            sampleUpwardNormal(attitudes[int(TPlaneRole::SlopeTopSurface)]),
            sampleUpwardNormal(attitudes[int(TPlaneRole::SlopeFace)]),
            crack ? sampleUpwardNormal(crack->Attitude) : TPoint3D{}};
}

} // namespace trelmox
