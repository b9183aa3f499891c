#include "analysis/forces.h"

#include <algorithm>
#include <cmath>

#include "analysis/vec3.h"

namespace trelmox {

TPoint3D WedgeForces::active() const {
    return Weight + Water1 + Water2 + CrackWater + Seismic + External + FaceLoad + TopLoad + ActiveBolts;
}

namespace {

// Integral of max(0, level - z) over a convex planar polygon: the part below
// the level, as a fan of triangles on each of which the integrand is linear.
double depthIntegral(const WedgePolygon& polygon, double level) {
    std::array<TPoint3D, 5> below{};
    int n = 0;
    for (int i = 0; i < polygon.Count; ++i) {
        const TPoint3D& p = polygon.Points[i];
        const TPoint3D& q = polygon.Points[(i + 1) % polygon.Count];
        const double dp = level - p.z, dq = level - q.z;
        if (dp >= 0) below[n++] = p;
        if ((dp >= 0) != (dq >= 0)) below[n++] = p + (dp / (dp - dq)) * (q - p);
    }
    double integral = 0;
    for (int k = 1; k + 1 < n; ++k) {
        const double area = 0.5 * norm(cross(below[k] - below[0], below[k + 1] - below[0]));
        integral += area * (level - (below[0].z + below[k].z + below[k + 1].z) / 3);
    }
    return integral;
}

// Saturated wedge. Without a crack the pressure on each cutting plane's face
// is zero along the free faces and largest, gammaW * h / 2, halfway along the
// line of intersection (h: the height it climbs from the toe to the upper
// slope); over the face it averages a third of that. With a crack the water
// stands in the crack to its depth and the joints' pressure falls from its
// value where the crack cuts the line of intersection to zero at the free
// faces: a third of that value on average.
void saturatedWater(WedgeForces& f, const WedgeShape& s, double waterUnitWeight, const TensionCrack* crack) {
    const WedgePolygon& face = s.Faces[int(WedgeSurface::Crack)];
    if (!crack || face.Count == 0) {
        f.Pressure1 = f.Pressure2 = waterUnitWeight * s.LineTop.z / 6;
        return;
    }
    double low = face.Points[0].z, high = low;
    for (int i = 1; i < face.Count; ++i) low = std::min(low, face.Points[i].z), high = std::max(high, face.Points[i].z);
    f.CrackWaterDepth = std::min(crack->WaterDepth, high - low);
    const double level = low + f.CrackWaterDepth;
    f.Pressure1 = f.Pressure2 = waterUnitWeight * std::max(0.0, level - s.LineEnd.z) / 3;
    f.CrackWater = (waterUnitWeight * depthIntegral(face, level)) * s.CrackInward;
}

// Horizontal unit vector along v's trend; along the fallback's when v is vertical.
TPoint3D horizontalAlong(const TPoint3D& v, const TPoint3D& fallback) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y);
    if (length > 0) return {v.x / length, v.y / length, 0};
    const double other = std::sqrt(fallback.x * fallback.x + fallback.y * fallback.y);
    return other > 0 ? TPoint3D{fallback.x / other, fallback.y / other, 0} : TPoint3D{};
}

} // namespace

WedgeForces wedgeForces(const WedgeShape& s, const WedgeNumbers& numbers, const WedgeLoads& loads) {
    WedgeForces f;
    const double weight = numbers.RockUnitWeight * s.Volume;
    f.Weight = {0, 0, -weight};
    switch (loads.Water) {
    case WaterMode::None: break;
    case WaterMode::Block:
        f.Pressure1 = numbers.WaterPressure1;
        f.Pressure2 = numbers.WaterPressure2;
        break;
    case WaterMode::Saturated:
        saturatedWater(f, s, numbers.WaterUnitWeight, loads.Crack ? &*loads.Crack : nullptr);
        break;
    }
    f.Water1 = (f.Pressure1 * s.Faces[int(WedgeSurface::FirstPlane)].Area) * s.Inward1;
    f.Water2 = (f.Pressure2 * s.Faces[int(WedgeSurface::SecondPlane)].Area) * s.Inward2;
    const WedgePolygon& face = s.Faces[int(WedgeSurface::SlopeFace)];
    if (loads.SeismicCoefficient != 0) {
        const TPoint3D seismic = loads.SeismicDirection ? directionVector(*loads.SeismicDirection)
                                                        : horizontalAlong(s.Sliding, face.Normal);
        f.Seismic = (loads.SeismicCoefficient * weight) * seismic;
    }
    for (const ExternalForce& force : loads.Forces)
        f.External = f.External + force.Magnitude * directionVector(force.Direction);
    const WedgePolygon& top = s.Faces[int(WedgeSurface::UpperSlope)];
    if (loads.FacePressure != 0) f.FaceLoad = (-loads.FacePressure * face.Area) * face.Normal;
    if (loads.TopPressure != 0) f.TopLoad = (-loads.TopPressure * top.Area) * top.Normal;
    for (const Bolt& bolt : loads.Bolts) {
        TPoint3D& sum = bolt.Mode == BoltMode::Active ? f.ActiveBolts : f.PassiveBolts;
        sum = sum + bolt.Force * directionVector(bolt.Direction);
    }
    return f;
}

} // namespace trelmox
