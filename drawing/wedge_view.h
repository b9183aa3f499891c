#pragma once
// A 3D picture of the wedge in parallel projection from a chosen direction:
// the real wedge (cut by a tension crack when there is one) or, where the
// planes cut out none, the tetrahedron of the drawing file's four corners.
// Each face is flat-shaded in its plane's colour, hidden edges dashed, the
// corners numbered 1-4 as in the drawing file, the forces drawn as arrows
// through the centroid and the bolts as bars along their line of action,
// with a small axis cross with north.
#include <array>
#include <string>
#include <vector>

#include "analysis/forces.h"
#include "analysis/polyhedron.h"
#include "drawing/figure.h"
#include "model/block.h"
#include "model/loads.h"

namespace trelmox {

// Where the eye is: azimuth clockwise from north of the direction from the
// wedge to the eye, elevation above the horizontal, both in degrees; zoom
// 1 fits the whole wedge into the picture.
struct ViewAngles {
    double Azimuth = 210;
    double Elevation = 25;
    double Zoom = 1;
};

// The tetrahedron's faces by plane, as corner numbers (1-4): each face
// holds the three corners that lie on its plane.
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

enum class SceneLoadKind { Weight, Water, Seismic, External, Pressure, Bolt };

// A force on the wedge (block frame), drawn from the centroid; a bolt's
// force is the pull it puts on the wedge.
struct SceneLoad {
    SceneLoadKind Kind;
    TPoint3D Force;
    std::string Label; // "W", "U1", "T2", ...
};

struct SceneFace {
    WedgeSurface Surface;
    std::vector<int> Corners; // indices into WedgeScene::Corners, in order around the face
    TPoint3D Outward;         // outward normal, any length
};

// What the view draws, in the block frame.
struct WedgeScene {
    std::vector<TPoint3D> Corners;
    std::vector<int> Numbers; // per corner: 1-4 as in the drawing file, 0 for none
    std::vector<SceneFace> Faces;
    bool Solid = true; // false: the corners enclose no volume, and every face is drawn
    // The way the wedge would slide, down its line of intersection.
    TPoint3D Out;
    TPoint3D Centroid;
    std::vector<SceneLoad> Loads;
    // The full-height wedge's edges, drawn faint behind the wedge analysed
    // when size limits scaled it down; the view's frame takes them in.
    std::vector<std::pair<TPoint3D, TPoint3D>> FullHeightEdges;
    // Where the water standing outside the slope meets the slope face and
    // the upper slope: its level drawn on the wedge.
    std::vector<std::pair<TPoint3D, TPoint3D>> WaterLine;
};

// The tetrahedron of the drawing file's corners, without loads.
WedgeScene tetrahedronScene(const BlockVertices& vertices);
// The real wedge with every non-zero force of its analysis.
// fullHeight: the wedge at full height, when shape is the one scaled down.
WedgeScene realWedgeScene(const WedgeShape& shape, const WedgeForces& forces, const WedgeLoads& loads,
                          const WedgeShape* fullHeight = nullptr);

// A first view: from in front of the slope (the way the wedge would slide)
// and above, turned aside so that the cutting planes show as large as they
// can.
ViewAngles defaultView(const WedgeScene& scene);

// The picture's frame: x in -1.6..1.6, y in -1.2..1.2; at zoom 1 the wedge
// lies inside the unit circle around the frame's centre.
struct ProjectedCorners {
    std::vector<Point2> Screen; // per corner
    std::vector<double> Depth;  // towards the eye
};
ProjectedCorners projectCorners(const WedgeScene& scene, const ViewAngles& view);

// Which faces (in the scene's order) turn towards the eye; all of them for
// corners that enclose no volume.
std::vector<bool> visibleFaces(const WedgeScene& scene, const ViewAngles& view);

// `caption` (e.g. "楔块 W1") goes in the upper right corner.
Figure wedgeViewFigure(const WedgeScene& scene, const ViewAngles& view, const std::string& caption = {});

} // namespace trelmox
