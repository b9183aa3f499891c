#pragma once
// Volume, height and plunge of the tetrahedral wedge from its four corners.
#include "model/block.h"

namespace trelmox {

struct WedgeGeometry {
    double Volume = 0;             // cube of the slope height's unit
    double Height = 0;             // distance of the toe from the top face
    double IntersectionPlunge = 0; // degrees, -90..90
};

// Throws Error("Invalid floating point operation") for coincident or
// collinear top corners, Error("Floating point division by zero") for a
// vertical line of intersection.
WedgeGeometry wedgeGeometry(const BlockVertices& vertices);

} // namespace trelmox
