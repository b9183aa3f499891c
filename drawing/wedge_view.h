#pragma once
// A 3D picture of the wedge: the tetrahedron of its four corners seen in
// parallel projection from a chosen direction, each face flat-shaded in its
// plane's colour, hidden edges dashed, the corners numbered 1-4 as in the
// drawing file, and a small axis cross with north.
#include <array>

#include "drawing/figure.h"
#include "model/block.h"

namespace trelmox {

// Where the eye is: azimuth clockwise from north of the direction from the
// wedge to the eye, elevation above the horizontal, both in degrees; zoom
// 1 fits the whole wedge into the picture.
struct ViewAngles {
    double Azimuth = 210;
    double Elevation = 25;
    double Zoom = 1;
};

// A first view of a block: from in front of the slope (the way the wedge
// would slide, down its line of intersection) and above, turned aside so
// that the cutting planes show as large as they can.
ViewAngles defaultView(const BlockVertices& vertices);

// The faces by plane, as corner numbers (1-4): each face holds the three
// corners that lie on its plane.
struct WedgeFace {
    TPlaneRole Role;
    std::array<int, 3> Corners;
};
inline constexpr std::array<WedgeFace, 4> WedgeFaces{{
    {TPlaneRole::FirstCuttingPlane, {1, 2, 3}},
    {TPlaneRole::SecondCuttingPlane, {1, 2, 4}},
    {TPlaneRole::SlopeTopSurface, {2, 3, 4}},
    {TPlaneRole::SlopeFace, {1, 3, 4}},
}};

// The picture's frame: x in -1.6..1.6, y in -1.2..1.2; at zoom 1 the wedge
// lies inside the unit circle around the frame's centre.
struct ProjectedCorners {
    std::array<Point2, 4> Screen; // corners 1-4
    std::array<double, 4> Depth;  // towards the eye
};
ProjectedCorners projectCorners(const BlockVertices& vertices, const ViewAngles& view);

// Which faces (in WedgeFaces order) turn towards the eye; all of them for
// corners that enclose no volume.
std::array<bool, 4> visibleFaces(const BlockVertices& vertices, const ViewAngles& view);

// `caption` (e.g. "楔块 W1") goes in the upper right corner.
Figure wedgeViewFigure(const BlockVertices& vertices, const ViewAngles& view, const std::string& caption = {});

} // namespace trelmox
