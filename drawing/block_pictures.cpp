#include "drawing/block_pictures.h"

#include "drawing/figure.h"
#include "drawing/stereonet.h"
#include "drawing/wedge_view.h"

namespace trelmox {

std::string blockCaption(const std::string& blockName) { return "楔块 " + blockName; }

std::string stereonetFileName(const std::string& blockName) { return blockName + "stereonet.svg"; }
std::string wedgeViewFileName(const std::string& blockName) { return blockName + "wedge.svg"; }

void writeBlockPictures(const std::filesystem::path& folder, const std::string& blockName,
                        const PlaneAttitudeArray& attitudes, const TWedgeParams& params,
                        const BlockVertices& vertices) {
    writeSvgFile(folder / stereonetFileName(blockName),
                 stereonetFigure({attitudes, smallerFrictionAngle(params), NetProjection::EqualAngle, blockCaption(blockName)}),
                 900, 570);
    writeSvgFile(folder / wedgeViewFileName(blockName),
                 wedgeViewFigure(vertices, defaultView(vertices), blockCaption(blockName)), 800, 600);
}

} // namespace trelmox
