#pragma once
// The block model shared by every part of the program: four planes per
// block, each held in quadrant (strike) notation as the texts the user typed
// and as dip angle / dip direction numbers, plus the block's parameter texts.
// Angles are degrees, azimuths clockwise from north.
#include <array>
#include <string>

namespace trelmox {

// Storage order of every per-plane array, of the data file and the report.
enum class TPlaneRole { FirstCuttingPlane = 0, SecondCuttingPlane = 1, SlopeTopSurface = 2, SlopeFace = 3 };
inline constexpr int PlaneCount = 4;
// The planes' names as the windows and the report give them, by role.
inline constexpr const char* PlaneNames[PlaneCount] = {"第一切割面", "第二切割面", "坡顶面", "坡面"};

// Quadrant notation, exactly as typed: "N","30","E","S","E","45" is strike
// N30E dipping 45 towards SE. No trimming, no validation.
struct TPlaneQuadrant {
    std::string StrikeNS, StrikeAngle, StrikeEW, DipNS, DipEW, DipAngle;
    bool operator==(const TPlaneQuadrant&) const = default;
};

struct TPlaneAttitude {
    double DipAngle = 0;     // degrees below horizontal
    double DipDirection = 0; // azimuth of the dip line, degrees, normally 0..360
    bool operator==(const TPlaneAttitude&) const = default;
};

using PlaneQuadrantArray = std::array<TPlaneQuadrant, PlaneCount>;
using PlaneAttitudeArray = std::array<TPlaneAttitude, PlaneCount>;

enum class TWaterPressureMode { Entered, Computed };

// The parameter texts as the user typed them; a computation converts the
// ones it needs at its own start. Plane 1 is the first cutting plane.
struct TWedgeParams {
    std::string RockUnitWeight, WaterUnitWeight, SlopeHeight, OverhangCoefficient;
    std::string WaterPressure1, ComputedWaterPressure1, WaterPressure2, ComputedWaterPressure2;
    std::string Cohesion1, Friction1, Cohesion2, Friction2;
    TWaterPressureMode WaterPressureMode = TWaterPressureMode::Entered;
    bool operator==(const TWedgeParams&) const = default;
};

// Block frame: x east, y north, z up; lengths in the unit of the slope height.
struct TPoint3D {
    double x = 0, y = 0, z = 0;
    bool operator==(const TPoint3D&) const = default;
};

// Corners of the tetrahedral wedge: 1 the toe (origin), 2 the upper end of
// the cutting planes' line of intersection, 3 and 4 the crest corners on the
// first and the second cutting plane.
struct BlockVertices {
    TPoint3D Vertex1, Vertex2, Vertex3, Vertex4;
    bool operator==(const BlockVertices&) const = default;
};

} // namespace trelmox
