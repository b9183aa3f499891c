#include "drawing/block_pictures.h"

#include "drawing/figure.h"
#include "drawing/stereonet.h"
#include "model/chinese_files.h"
#include "model/language.h"

namespace trelmox {

std::string blockCaption(const std::string& blockName) { return inLanguage("楔块 ", "Wedge ") + blockName; }

std::string stereonetFileName(const std::string& blockName) { return blockName + "stereonet.svg"; }
std::string wedgeViewFileName(const std::string& blockName) { return blockName + "wedge.svg"; }

WedgeScene blockScene(const BlockVertices& vertices, const FullAnalysis* analysis, const WedgeLoads& loads) {
    if (analysis && !analysis->Refusal) {
        const std::optional<WedgeShape> full = fullHeightShape(analysis->Size);
        return realWedgeScene(analysis->Shape, analysis->Forces, loads, full ? &*full : nullptr);
    }
    return tetrahedronScene(vertices);
}

void writeBlockPictures(const std::filesystem::path& folder, const std::string& blockName,
                        const PlaneAttitudeArray& attitudes, const BlockParameters& parameters, const WedgeLoads& loads,
                        const WedgeScene& scene) {
    const ChineseFiles chinese;
    StereonetInput net{attitudes, smallerFrictionAngle(parameters), NetProjection::EqualAngle, blockCaption(blockName)};
    if (loads.Crack) net.Crack = loads.Crack->Attitude;
    writeSvgFile(folder / stereonetFileName(blockName), stereonetFigure(net), 900, 570);
    writeSvgFile(folder / wedgeViewFileName(blockName),
                 wedgeViewFigure(scene, defaultView(scene), blockCaption(blockName)), 800, 600);
}

} // namespace trelmox
