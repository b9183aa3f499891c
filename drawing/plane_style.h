#pragma once
// How each plane looks in every picture: one colour and one name per plane
// role, so that the stereonet's great circle and the 3D view's face of a
// plane are recognisably the same plane.
#include "analysis/polyhedron.h"
#include "drawing/figure.h"
#include "model/block.h"
#include "model/language.h"

namespace trelmox {

inline Colour planeColour(TPlaneRole role) {
    switch (role) {
    case TPlaneRole::FirstCuttingPlane: return {32, 96, 176};
    case TPlaneRole::SecondCuttingPlane: return {40, 140, 60};
    case TPlaneRole::SlopeTopSurface: return {176, 112, 24};
    case TPlaneRole::SlopeFace: return {120, 72, 40};
    }
    return {};
}

inline const char* planeName(TPlaneRole role) {
    switch (role) {
    case TPlaneRole::FirstCuttingPlane: return inLanguage("第一切割面", "cutting plane 1");
    case TPlaneRole::SecondCuttingPlane: return inLanguage("第二切割面", "cutting plane 2");
    case TPlaneRole::SlopeTopSurface: return inLanguage("坡顶面", "upper slope");
    case TPlaneRole::SlopeFace: return inLanguage("坡面", "slope face");
    }
    return "";
}

// The short tag written beside the plane in a crowded picture.
inline const char* planeTag(TPlaneRole role) {
    switch (role) {
    case TPlaneRole::FirstCuttingPlane: return "J1";
    case TPlaneRole::SecondCuttingPlane: return "J2";
    case TPlaneRole::SlopeTopSurface: return inLanguage("顶", "T");
    case TPlaneRole::SlopeFace: return inLanguage("坡", "F");
    }
    return "";
}

inline constexpr TPlaneRole planeRoles[PlaneCount] = {TPlaneRole::FirstCuttingPlane, TPlaneRole::SecondCuttingPlane,
                                                      TPlaneRole::SlopeTopSurface, TPlaneRole::SlopeFace};

// The surfaces of the real wedge: the four planes as above, and the crack.
inline const Colour CrackColour{130, 70, 170};
inline TPlaneRole surfaceRole(WedgeSurface surface) {
    switch (surface) {
    case WedgeSurface::FirstPlane: return TPlaneRole::FirstCuttingPlane;
    case WedgeSurface::SecondPlane: return TPlaneRole::SecondCuttingPlane;
    case WedgeSurface::UpperSlope: return TPlaneRole::SlopeTopSurface;
    default: return TPlaneRole::SlopeFace;
    }
}
inline Colour surfaceColour(WedgeSurface surface) {
    return surface == WedgeSurface::Crack ? CrackColour : planeColour(surfaceRole(surface));
}
inline const char* surfaceName(WedgeSurface surface) {
    return surface == WedgeSurface::Crack ? inLanguage("张裂缝", "tension crack") : planeName(surfaceRole(surface));
}

} // namespace trelmox
