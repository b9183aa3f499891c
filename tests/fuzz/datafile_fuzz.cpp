// Fuzz harness of the data-file reader: any bytes as a data file's content,
// through the decoding, the parse into texts, the comparison of lines 1-4
// with lines 5-8 that the windows make on loading, and the strict reading
// of the tool. Beyond not crashing: every refusal is readable, and a block
// that is accepted writes a file that reads back as the same texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/datafile.h"
#include "model/error.h"
#include "model/textcodec.h"
#include "tests/fuzz/readable.h"

using namespace trelmox;

namespace {

void requireSameTexts(const SavedBlock& block) {
    const BlockDataTexts again = parseBlockData(blockDataText(block.Attitudes, block.Quadrants, block.Params));
    for (int i = 0; i < PlaneCount; ++i)
        if (again.Quadrants[i] != block.Quadrants[i]) std::abort();
    const TWedgeParams& p = block.Params;
    const bool entered = p.WaterPressureMode == TWaterPressureMode::Entered;
    if (again.RockUnitWeight != p.RockUnitWeight || again.WaterUnitWeight != p.WaterUnitWeight ||
        again.SlopeHeight != p.SlopeHeight || again.OverhangCoefficient != p.OverhangCoefficient ||
        again.Cohesion1 != p.Cohesion1 || again.Friction1 != p.Friction1 || again.Cohesion2 != p.Cohesion2 ||
        again.Friction2 != p.Friction2 ||
        again.Water1->Value != (entered ? p.WaterPressure1 : p.ComputedWaterPressure1) ||
        again.Water2->Value != (entered ? p.WaterPressure2 : p.ComputedWaterPressure2))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text;
    try {
        text = fileBytesToUtf8(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Error& failure) {
        fuzz::requireReadable(failure.what());
        return 0;
    }
    const BlockDataTexts texts = parseBlockData(text);
    for (const LineDisagreement& d : disagreeingLines(texts)) fuzz::requireReadable(d.Message);
    try {
        requireSameTexts(savedBlockFromTexts(texts));
    } catch (const Error& failure) {
        fuzz::requireReadable(failure.what());
    }
    return 0;
}
