#pragma once
// A block's pictures as SVG files beside its drawing: the stereonet and the
// 3D view of the wedge from its first viewpoint.
#include <filesystem>
#include <string>

#include "model/block.h"

namespace trelmox {

// "楔块 W1": the name written on a block's pictures.
std::string blockCaption(const std::string& blockName);

// blockName + "stereonet.svg" and blockName + "wedge.svg", after the
// drawing file's pattern (W1 -> W1block.dxf).
std::string stereonetFileName(const std::string& blockName);
std::string wedgeViewFileName(const std::string& blockName);

// Writes both files into `folder` (replaced atomically); the friction
// circle is left out while a friction text is not a number.
void writeBlockPictures(const std::filesystem::path& folder, const std::string& blockName,
                        const PlaneAttitudeArray& attitudes, const TWedgeParams& params,
                        const BlockVertices& vertices);

} // namespace trelmox
