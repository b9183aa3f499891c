// Fuzz harness of the whole analysis path in memory, as the tool runs it
// for one data file without a companion file: the strict reading, corners,
// volume, height, plunge and Kc, the full analysis of the real wedge, then
// both reports, the drawing and both pictures. Beyond not crashing: every
// refusal is readable, and what is reported as a result is a result, finite
// figures and safety factors that are not negative.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "analysis/block_analysis.h"
#include "drawing/block_pictures.h"
#include "drawing/dxf.h"
#include "drawing/figure.h"
#include "drawing/stereonet.h"
#include "drawing/wedge_view.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/numtext.h"
#include "model/textcodec.h"
#include "report/full_report.h"
#include "report/report.h"
#include "tests/fuzz/readable.h"

using namespace trelmox;

namespace {

void requireResult(const BlockRun& analysis) {
    const WedgeGeometry& g = *analysis.Geometry;
    if (!std::isfinite(g.Volume) || !std::isfinite(g.Height) || !std::isfinite(g.IntersectionPlunge)) std::abort();
    const double kc = analysis.Safety->SafetyFactor;
    if (!std::isfinite(kc) || kc < 0) std::abort();
}

void requireFullResult(const FullAnalysis& full) {
    if (full.Refusal) return;
    const double fs = full.Safety.Factor;
    if (!std::isfinite(full.Shape.Volume) || !std::isfinite(fs) || fs < 0) std::abort();
}

// The full analysis with the loads of a block that has no companion file;
// when it failed, the tool reports only its message.
void requireFullResult(const BlockRun& run) {
    if (run.Full)
        requireFullResult(run.Full->Analysis);
    else
        fuzz::requireReadable(run.fullFailureMessage());
}

void writeEverything(const ParsedBlock& block, const BlockRun& analysis) {
    const RealWedge* full = analysis.Full ? &*analysis.Full : nullptr;
    const std::string caption = blockCaption("F");
    reportText({"F", block.Attitudes, block.Quadrants, block.Params, floatToFixed4(analysis.Geometry->Volume),
                floatToFixed4(analysis.Geometry->IntersectionPlunge), floatToText(analysis.Safety->SafetyFactor)});
    dxfText(*analysis.Vertices);
    svgText(stereonetFigure(
                {block.Attitudes, smallerFrictionAngle(block.Input.Parameters), NetProjection::EqualAngle, caption}),
            900, 570);
    const WedgeScene scene = blockScene(*analysis.Vertices, full ? &full->Analysis : nullptr, WedgeLoads{});
    svgText(wedgeViewFigure(scene, defaultView(scene), caption), 800, 600);
    if (full) fullReportText("F", block, analysis);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const ParsedBlock block = savedBlockFromTexts(
            parseBlockData(fileBytesToUtf8(std::string(reinterpret_cast<const char*>(data), size))));
        const BlockRun analysis = runBlock(block.Input, WedgeLoads{});
        analysis.throwFailure();
        if (!analysis.complete()) return 0;
        requireResult(analysis);
        requireFullResult(analysis);
        writeEverything(block, analysis);
    } catch (const Error& failure) {
        fuzz::requireReadable(failure.what());
    }
    return 0;
}
