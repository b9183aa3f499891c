#pragma once
// A block's pictures as SVG files beside its drawing: the stereonet and the
// 3D view of the wedge from its first viewpoint.
#include <filesystem>
#include <string>

#include "analysis/full_analysis.h"
#include "drawing/wedge_view.h"
#include "model/block.h"
#include "model/block_input.h"
#include "model/loads.h"

namespace trelmox {

// "楔块 W1": the name written on a block's pictures.
std::string blockCaption(const std::string& blockName);

// blockName + "stereonet.svg" and blockName + "wedge.svg", after the
// drawing file's pattern (W1 -> W1block.dxf).
std::string stereonetFileName(const std::string& blockName);
std::string wedgeViewFileName(const std::string& blockName);

// What the 3D view shows of a block: the real wedge with its forces when
// the full analysis found one (`analysis` may be null), else the
// tetrahedron of the drawing file's corners.
WedgeScene blockScene(const BlockVertices& vertices, const FullAnalysis* analysis, const WedgeLoads& loads);

// Writes both files into `folder` (replaced atomically), the stereonet
// with the friction circle of the weaker cutting plane.
void writeBlockPictures(const std::filesystem::path& folder, const std::string& blockName,
                        const PlaneAttitudeArray& attitudes, const BlockParameters& parameters, const WedgeLoads& loads,
                        const WedgeScene& scene);

} // namespace trelmox
