#include "analysis/forces.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/joint_strength.h"
#include "analysis/vec3.h"
// After vec3.h: the formulas find their dot and cross for TPoint3D.
#include "analysis/polygon_formula.h"
#include "analysis/vector_method_formula.h"
#include "analysis/wedge_formula.h"
#include "model/language.h"

namespace trelmox {

TPoint3D WedgeForces::active() const {
    return Weight + Water1 + Water2 + CrackWater + PondFace + PondTop + Seismic + External + FaceLoad + TopLoad +
           ActiveBolts + ShotcreteWeight;
}

namespace {

// Integral of max(0, level - z) over a face (polygon_formula.h).
double depthIntegral(const WedgePolygon& face, double level) { return depthIntegralOf(face, level); }

// Saturated wedge. Without a crack the pressure on each cutting plane's face
// is zero along the free faces and largest, gammaW * h / 2, halfway along the
// line of intersection (h: the height it climbs from the toe to the upper
// slope); over the face it averages a third of that. With a crack the water
// stands in the crack to its depth, but no higher than the lowest point
// where the crack is open (on the upper slope, or on the slope face when the
// crack reaches it), and the joints' pressure falls from its value where the
// crack cuts the line of intersection to zero at the free faces: a third of
// that value on average.
//
// Filled to a share of their height (`filled`, share 0..1): the same
// distribution on the joints scaled by the share; the crack's water stands
// at that share of the depth it can hold, from which the joints' pressure
// follows as above, so it too is the saturated one scaled. Returns the level
// of the crack's water (-infinity without a crack).
//
// A crack that daylights in the slope face below its outcrop on the upper
// slope cannot hold water above that outcrop: the water asked of it (in the
// filled mode, its share of the crack's height) drains out of the face
// there. Fed from so little water the joints would be nearly dry, and a
// crack would make a saturated wedge safer than the same wedge without one
// by draining it. The joints then keep at least the pressures of the wedge
// without a crack (the same share of them when filled); the crack's own
// water stands where it drains.
double saturatedWater(WedgeForces& f, const WedgeShape& s, double waterUnitWeight, const TensionCrack* crack,
                      bool filled, double share) {
    const WedgePolygon& face = s.Faces[int(WedgeSurface::Crack)];
    const double uncracked = drainedWaterPressureOf(waterUnitWeight, s.LineTop.z);
    if (!crack || face.Count == 0) {
        f.Pressure1 = f.Pressure2 = uncracked;
        if (filled) f.Pressure1 = f.Pressure2 = share * f.Pressure1;
        return -std::numeric_limits<double>::infinity();
    }
    const auto [low, high] = heightSpanOf(face);
    const double onTop = s.OpeningOnTop, onFace = s.OpeningOnFace;
    f.CrackOpenOnFace = onFace < std::numeric_limits<double>::infinity();
    const double full = crackCapacityOf(low, high, onTop, onFace);
    const double depth = filled ? share * full : crack->WaterDepth;
    const CrackWater<double> water = crackWaterOf(low, high, full, depth, onTop, onFace, s.LineEnd.z, waterUnitWeight,
                                                  filled ? share * uncracked : uncracked, filled);
    f.CrackSpills = water.Spills;
    f.CrackWaterDepth = water.Depth;
    f.Pressure1 = f.Pressure2 = water.Pressure;
    f.CrackDrains = water.Drains;
    f.CrackWater = (waterUnitWeight * depthIntegral(face, water.Level)) * s.CrackInward;
    return water.Level;
}

// Water standing outside the slope at `level` above the toe. It presses on
// the submerged parts of the slope face and the upper slope, and the joints
// below it hold at least its head: the pressure at a point of a joint is the
// larger of the mode's (uniform over the face, as the forces take it) and
// gammaW (level - z), whose integral is p A + gammaW * depthIntegral(face,
// level - p / gammaW). The crack fills to the level where its own water
// stands lower. Over a wedge under water on every side these pressures sum
// to its buoyancy, gammaW times its volume, upward.
void pondWater(WedgeForces& f, const WedgeShape& s, double waterUnitWeight, double level, double crackLevel) {
    if (!(waterUnitWeight > 0) || !(level > 0)) return;
    const auto joint = [&](const WedgePolygon& face, double& pressure) {
        if (face.Area <= 0) return;
        const double force =
            pressure * face.Area + waterUnitWeight * depthIntegral(face, level - pressure / waterUnitWeight);
        pressure = force / face.Area;
    };
    joint(s.Faces[int(WedgeSurface::FirstPlane)], f.Pressure1);
    joint(s.Faces[int(WedgeSurface::SecondPlane)], f.Pressure2);
    const WedgePolygon& crack = s.Faces[int(WedgeSurface::Crack)];
    if (crack.Count > 0 && level > crackLevel) {
        if (const double low = heightSpanOf(crack).Low; level > low) {
            f.CrackWaterDepth = level - low;
            f.CrackWater = (waterUnitWeight * depthIntegral(crack, level)) * s.CrackInward;
        }
    }
    const WedgePolygon& face = s.Faces[int(WedgeSurface::SlopeFace)];
    const WedgePolygon& top = s.Faces[int(WedgeSurface::UpperSlope)];
    f.PondFace = (-waterUnitWeight * depthIntegral(face, level)) * face.Normal;
    if (top.Count > 0) f.PondTop = (-waterUnitWeight * depthIntegral(top, level)) * top.Normal;
}

} // namespace

std::string crackDrainNote(const WedgeForces& f) {
    if (!f.CrackDrains) return {};
    return inLanguage("张裂缝在坡面出露，不能存水，两切割面仍取无张裂缝时楔块的水压力",
                      "the tension crack daylights in the slope face and cannot hold its water: the joints keep the "
                      "water pressures of the wedge without the crack");
}

std::string crackWaterNote(const WedgeForces& f) {
    if (f.CrackOpenOnFace) {
        std::string note =
            inLanguage("张裂缝在坡面出露，缝中的水从出露处流出：水位不高于其在坡面及坡顶面上的最低出露点",
                       "the tension crack daylights in the slope face and its water drains there: the water "
                       "stands no higher than the crack's lowest outcrop on the face and the upper slope");
        if (f.CrackDrains)
            note += inLanguage("；两切割面仍取无张裂缝时楔块的水压力",
                               "; the joints keep the water pressures of the wedge without the crack");
        return note;
    }
    if (f.CrackSpills)
        return inLanguage("张裂缝中的水不能高于裂缝在坡顶面上的最低点，超出部分溢出",
                          "the water in the tension crack cannot stand above the crack's lowest point on the upper "
                          "slope; the rest spills over");
    return {};
}

bool hasPassiveBolts(const WedgeLoads& loads) {
    return std::any_of(loads.Bolts.begin(), loads.Bolts.end(),
                       [](const Bolt& b) { return b.Mode == BoltMode::Passive; }) ||
           (loads.Pattern && loads.Pattern->Mode == BoltMode::Passive);
}

bool needsScalarFull(const WedgeLoads& loads) {
    // The lanes know Mohr-Coulomb without waviness and Barton-Bandis where
    // its formula does not fall toward JCS.
    const auto inLanes = [](const JointStrength& s) {
        return s.plain() || (s.Model == StrengthModel::BartonBandis && !bartonBandisFalls(s));
    };
    return hasPassiveBolts(loads) || !inLanes(loads.Strength[0]) || !inLanes(loads.Strength[1]) ||
           loads.Water == WaterMode::Filled || loads.PondLevel || loads.Pressure1 != 0 || loads.Pressure2 != 0 ||
           loads.CrackPressure != 0 || loads.FacePressureDirection || loads.TopPressureDirection || loads.Shotcrete ||
           loads.Pattern ||
           std::any_of(loads.Bolts.begin(), loads.Bolts.end(), [](const Bolt& b) { return b.Capacity.has_value(); });
}

WedgeForces wedgeForces(const WedgeShape& s, const WedgeNumbers& numbers, const WedgeLoads& loads) {
    WedgeForces f;
    const double weight = numbers.RockUnitWeight * s.Volume;
    f.Weight = {0, 0, -weight};
    double crackLevel = -std::numeric_limits<double>::infinity();
    switch (loads.Water) {
    case WaterMode::None: break;
    case WaterMode::Block:
        f.Pressure1 = numbers.WaterPressure1;
        f.Pressure2 = numbers.WaterPressure2;
        break;
    case WaterMode::Saturated:
        crackLevel = saturatedWater(f, s, numbers.WaterUnitWeight, loads.Crack ? &*loads.Crack : nullptr, false, 1);
        break;
    case WaterMode::Filled:
        if (loads.FilledPercent != 0)
            crackLevel = saturatedWater(f, s, numbers.WaterUnitWeight, loads.Crack ? &*loads.Crack : nullptr, true,
                                        loads.FilledPercent / 100);
        break;
    }
    f.Pressure1 += loads.Pressure1;
    f.Pressure2 += loads.Pressure2;
    if (loads.PondLevel) pondWater(f, s, numbers.WaterUnitWeight, *loads.PondLevel, crackLevel);
    if (const WedgePolygon& crack = s.Faces[int(WedgeSurface::Crack)]; loads.CrackPressure != 0 && crack.Count > 0)
        f.CrackWater = f.CrackWater + (loads.CrackPressure * crack.Area) * s.CrackInward;
    f.Water1 = (f.Pressure1 * s.Faces[int(WedgeSurface::FirstPlane)].Area) * s.Inward1;
    f.Water2 = (f.Pressure2 * s.Faces[int(WedgeSurface::SecondPlane)].Area) * s.Inward2;
    const WedgePolygon& face = s.Faces[int(WedgeSurface::SlopeFace)];
    // The lining on the face rides on the wedge: its weight, and its share
    // of every load that scales with weight (the seismic force).
    double lining = 0;
    if (loads.Shotcrete) lining = loads.Shotcrete->UnitWeight * loads.Shotcrete->Thickness * face.Area;
    if (loads.SeismicCoefficient != 0) {
        const TPoint3D seismic = loads.SeismicDirection ? directionVector(*loads.SeismicDirection)
                                                        : horizontalAlongOf(s.Sliding, face.Normal);
        f.Seismic = (loads.SeismicCoefficient * (weight + lining)) * seismic;
    }
    for (const ExternalForce& force : loads.Forces)
        f.External = f.External + force.Magnitude * directionVector(force.Direction);
    const WedgePolygon& top = s.Faces[int(WedgeSurface::UpperSlope)];
    if (loads.FacePressure != 0)
        f.FaceLoad = loads.FacePressureDirection
                         ? (loads.FacePressure * face.Area) * directionVector(*loads.FacePressureDirection)
                         : (-loads.FacePressure * face.Area) * face.Normal;
    if (loads.TopPressure != 0)
        f.TopLoad = loads.TopPressureDirection
                        ? (loads.TopPressure * top.Area) * directionVector(*loads.TopPressureDirection)
                        : (-loads.TopPressure * top.Area) * top.Normal;
    if (loads.Shotcrete) {
        f.ShotcreteWeight = {0, 0, -lining};
        double perimeter = 0;
        for (int i = 0; i < face.Count; ++i)
            if (face.Borders[i] != WedgeSurface::UpperSlope)
                perimeter += norm(face.Points[(i + 1) % face.Count] - face.Points[i]);
        f.LiningResistance = loads.Shotcrete->ShearStrength * loads.Shotcrete->Thickness * perimeter;
    }
    std::vector<TPoint3D> passiveDirections;
    const bool holds =
        std::any_of(loads.Bolts.begin(), loads.Bolts.end(), [](const Bolt& b) { return b.Capacity.has_value(); });
    const auto addBolt = [&](double magnitude, const LineDirection& along, BoltMode mode) {
        const TPoint3D direction = directionVector(along);
        const TPoint3D force = magnitude * direction;
        if (mode == BoltMode::Active) {
            f.ActiveBolts = f.ActiveBolts + force;
            return;
        }
        f.PassiveBolts = f.PassiveBolts + force;
        if (magnitude == 0) return;
        const auto same = std::find(passiveDirections.begin(), passiveDirections.end(), direction);
        if (same == passiveDirections.end()) {
            passiveDirections.push_back(direction);
            f.Passive.push_back(force);
        } else {
            TPoint3D& sum = f.Passive[same - passiveDirections.begin()];
            sum = sum + force;
        }
    };
    for (const Bolt& bolt : loads.Bolts) {
        double magnitude = bolt.Force;
        if (holds) {
            BoltHold hold{};
            if (bolt.Capacity)
                hold = boltHold(s, faceCentroid(s), directionVector(bolt.Direction), *bolt.Capacity);
            else
                hold.Force = bolt.Force;
            magnitude = hold.Force;
            f.BoltHolds.push_back(hold);
        }
        addBolt(magnitude, bolt.Direction, bolt.Mode);
    }
    if (loads.Pattern) {
        const BoltPattern& p = *loads.Pattern;
        const TPoint3D direction = directionVector(p.Direction);
        for (const TPoint3D& head : patternHeads(s, p)) {
            f.PatternHolds.push_back(boltHold(s, head, direction, p.Capacity));
            f.PatternForce += f.PatternHolds.back().Force;
        }
        addBolt(f.PatternForce, p.Direction, p.Mode);
    }
    return f;
}

} // namespace trelmox
