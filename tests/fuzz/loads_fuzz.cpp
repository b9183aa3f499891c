// Fuzz harness of the companion file with the full analysis and the support
// design: the example block under the loads the fuzzed file describes. The
// loads are read as the tool reads them; what the analysis reports is a
// result (finite figures, factors that are not negative, readable
// refusals), and the support it recommends holds: the wedge re-analysed
// with the recommended bolt reaches the required factor, and keeps it with
// a force up to the margin above, and the report prints no figure that is
// not finite. Each plane's strength model (any of them, with waviness) gives
// a shear force that is finite and not negative, and the loads are written
// and read back as they were.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "analysis/block_analysis.h"
#include "analysis/full_analysis.h"
#include "analysis/support.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "model/error.h"
#include "report/full_report.h"
#include "tests/fuzz/readable.h"

using namespace trelmox;

namespace {

SavedBlock exampleBlock() {
    SavedBlock block;
    block.Attitudes = {{{45, 105}, {70, 235}, {12, 195}, {65, 185}}};
    TWedgeParams& p = block.Params;
    p.RockUnitWeight = "25", p.WaterUnitWeight = "9.81", p.SlopeHeight = "40", p.OverhangCoefficient = "1";
    p.WaterPressureMode = TWaterPressureMode::Entered;
    p.WaterPressure1 = p.WaterPressure2 = "65.4";
    p.Cohesion1 = "24", p.Friction1 = "0.364", p.Cohesion2 = "48", p.Friction2 = "0.577";
    return block;
}

bool finite(const TPoint3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void require(bool condition) {
    if (!condition) std::abort();
}

void requireResult(const FullAnalysis& a) {
    if (a.Refusal) return;
    const WedgeForces& f = a.Forces;
    require(std::isfinite(a.Shape.Volume) && finite(f.active()) && finite(f.PassiveBolts));
    require(std::isfinite(a.Safety.Factor) && a.Safety.Factor >= 0);
    require(std::isfinite(a.Safety.Shear1) && a.Safety.Shear1 >= 0);
    require(std::isfinite(a.Safety.Shear2) && a.Safety.Shear2 >= 0);
    require(std::isfinite(f.CrackWaterDepth) && f.CrackWaterDepth >= 0);
}

// Fs with one more bolt, none when the analysis fails (its message readable).
std::optional<double> factorWith(const SavedBlock& block, WedgeLoads loads, const Bolt& bolt) {
    loads.Bolts.push_back(bolt);
    try {
        const FullAnalysis a =
            analyseSavedBlock(trelmox::BlockInput{block.Attitudes, {}, trelmox::parameterNumbers(block.Params)}, loads);
        requireResult(a);
        return a.Safety.Factor;
    } catch (const Error& failure) {
        fuzz::requireReadable(failure.what());
        return std::nullopt;
    }
}

// The recommended force along the direction holds the required factor from
// itself up to the margin above it, as the analysis itself finds.
void requireHolds(const SavedBlock& block, const WedgeLoads& loads, double force, const LineDirection& direction,
                  BoltMode mode) {
    require(std::isfinite(force) && force >= 0);
    if (force == 0) return;
    for (double share : {0.0, 0.5, 1.0}) {
        const auto fs = factorWith(block, loads, {force * (1 + BoltForceMargin * share), direction, mode});
        if (!fs) return; // the bolt's own size overflows the analysis
        require(*fs >= loads.RequiredFactor * (1 - 1e-12));
    }
}

void requireFinitePrint(const std::string& text) {
    for (const char* word : {"inf", "nan", "INF", "NAN"}) require(text.find(word) == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const SavedBlock block = exampleBlock();
    WedgeLoads loads;
    try {
        loads = parseCompanion(std::string(reinterpret_cast<const char*>(data), size), "F.json");
    } catch (const Error&) {
        return 0; // the reader's own messages are its harness's business
    }
    require(parseCompanion(companionText(loads), "F.json") == loads);
    try {
        const BlockRun run = runBlock(blockInput(block), loads); // the block's own data never fail
        if (!run.Full) {
            fuzz::requireReadable(run.fullFailureMessage());
            return 0;
        }
        requireResult(run.Full->Analysis);
        const SupportDesign& d = run.Full->Design;
        if (d.Bolt && d.BoltForce) requireHolds(block, loads, *d.BoltForce, d.Bolt->Direction, d.Bolt->Mode);
        if (d.Least)
            requireHolds(block, loads, d.Least->Force, d.Least->Direction, d.Bolt ? d.Bolt->Mode : BoltMode::Active);
        requireFinitePrint(fullReportText("F", block, run));
    } catch (const Error& failure) {
        fuzz::requireReadable(failure.what());
    }
    return 0;
}
