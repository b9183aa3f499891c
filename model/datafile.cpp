#include "model/datafile.h"

#include <vector>

#include "model/attitude.h"
#include "model/block_names.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

constexpr int LineCount = 18;
constexpr int FirstQuadrantLine = 5;
constexpr int WaterLine1 = 13;

std::string joinFields(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + fields[i];
    return line;
}

std::string waterLine(const TWedgeParams& p, const std::string& entered, const std::string& computed) {
    return p.WaterPressureMode == TWaterPressureMode::Entered ? "z," + entered : "j," + computed;
}

// Lines end at LF; a CR just before it belongs to the line end, so files
// with CR LF and with bare LF read alike. A last line without an end counts.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r')) line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string field(const std::string& line, int n) { return Parse(",", line, n); }

// The lines that hold one parameter text each.
struct ParameterLine {
    int number;
    std::optional<std::string> BlockDataTexts::*text;
    std::string TWedgeParams::*param;
};
constexpr ParameterLine ParameterLines[] = {
    {9, &BlockDataTexts::RockUnitWeight, &TWedgeParams::RockUnitWeight},
    {10, &BlockDataTexts::WaterUnitWeight, &TWedgeParams::WaterUnitWeight},
    {11, &BlockDataTexts::SlopeHeight, &TWedgeParams::SlopeHeight},
    {12, &BlockDataTexts::OverhangCoefficient, &TWedgeParams::OverhangCoefficient},
    {15, &BlockDataTexts::Cohesion1, &TWedgeParams::Cohesion1},
    {16, &BlockDataTexts::Friction1, &TWedgeParams::Friction1},
    {17, &BlockDataTexts::Cohesion2, &TWedgeParams::Cohesion2},
    {18, &BlockDataTexts::Friction2, &TWedgeParams::Friction2},
};

// A parameter line keeps only its first field: a text cut at ",".
void storeLine(BlockDataTexts& texts, int number, const std::string& line) {
    if (number < FirstQuadrantLine) {
        texts.Attitudes[number - 1] = std::array<std::string, 2>{field(line, 1), field(line, 2)};
    } else if (number < FirstQuadrantLine + PlaneCount) {
        texts.Quadrants[number - FirstQuadrantLine] = TPlaneQuadrant{field(line, 1), field(line, 2), field(line, 3),
                                                                     field(line, 4), field(line, 5), field(line, 6)};
    } else if (number == WaterLine1 || number == WaterLine1 + 1) {
        (number == WaterLine1 ? texts.Water1 : texts.Water2) = BlockDataTexts::WaterLine{field(line, 1), field(line, 2)};
    } else {
        for (const auto& p : ParameterLines)
            if (p.number == number) texts.*p.text = field(line, 1);
    }
}

std::string lineError(int number, const std::string& what) {
    return "数据文件第 " + std::to_string(number) + " 行" + what;
}

// A block needs every line; the first absent one is named.
void checkComplete(const BlockDataTexts& texts) {
    std::array<bool, LineCount> present{};
    for (int i = 0; i < PlaneCount; ++i) {
        present[i] = texts.Attitudes[i].has_value();
        present[FirstQuadrantLine - 1 + i] = texts.Quadrants[i].has_value();
    }
    present[WaterLine1 - 1] = texts.Water1.has_value();
    present[WaterLine1] = texts.Water2.has_value();
    for (const auto& p : ParameterLines) present[p.number - 1] = (texts.*p.text).has_value();
    for (int i = 0; i < LineCount; ++i)
        if (!present[i]) throw Error(lineError(i + 1, "缺失：块体数据文件应有 " + std::to_string(LineCount) + " 行"));
}

TWaterPressureMode modeOfMarker(const std::string& marker, int number) {
    if (marker == "z") return TWaterPressureMode::Entered;
    if (marker == "j") return TWaterPressureMode::Computed;
    throw Error(lineError(number, "的水压标记“" + marker + "”无效：应为“z”（输入值）或“j”（计算值）"));
}

// Both water lines must name the same pair, as the writer always does;
// otherwise the block has no single water-pressure mode.
void setWaterPressures(const BlockDataTexts& texts, TWedgeParams& params) {
    const auto& line1 = *texts.Water1;
    const auto& line2 = *texts.Water2;
    params.WaterPressureMode = modeOfMarker(line1.Marker, WaterLine1);
    if (modeOfMarker(line2.Marker, WaterLine1 + 1) != params.WaterPressureMode)
        throw Error(lineError(WaterLine1 + 1, "的水压标记“" + line2.Marker + "”与第 13 行的“" + line1.Marker + "”不一致"));
    const bool entered = params.WaterPressureMode == TWaterPressureMode::Entered;
    (entered ? params.WaterPressure1 : params.ComputedWaterPressure1) = line1.Value;
    (entered ? params.WaterPressure2 : params.ComputedWaterPressure2) = line2.Value;
}

} // namespace

std::string blockDataText(const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                          const TWedgeParams& params) {
    std::vector<std::string> lines;
    for (const auto& a : attitudes) lines.push_back(floatToText(a.DipAngle) + "," + floatToText(a.DipDirection));
    for (const auto& q : quadrants)
        lines.push_back(joinFields({q.StrikeNS, q.StrikeAngle, q.StrikeEW, q.DipNS, q.DipEW, q.DipAngle}));
    lines.insert(lines.end(), {params.RockUnitWeight, params.WaterUnitWeight, params.SlopeHeight,
                               params.OverhangCoefficient,
                               waterLine(params, params.WaterPressure1, params.ComputedWaterPressure1),
                               waterLine(params, params.WaterPressure2, params.ComputedWaterPressure2),
                               params.Cohesion1, params.Friction1, params.Cohesion2, params.Friction2});
    return crlfLines(lines);
}

BlockDataTexts parseBlockData(const std::string& utf8Text) {
    BlockDataTexts texts;
    const auto lines = splitLines(utf8Text);
    for (std::size_t i = 0; i < lines.size() && i < LineCount; ++i) storeLine(texts, static_cast<int>(i) + 1, lines[i]);
    return texts;
}

void writeBlockFile(const std::filesystem::path& dataFolder, const std::string& blockName,
                    const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                    const TWedgeParams& params) {
    checkBlockName(blockName);
    writeTextFile(dataFolder / (blockName + ".txt"), blockDataText(attitudes, quadrants, params));
}

BlockDataTexts readBlockFile(const std::filesystem::path& dataFolder, const std::string& boxText) {
    const std::string blockName = Parse(".", boxText, 1);
    checkBlockName(blockName);
    return parseBlockData(readTextFile(blockFilePath(dataFolder, blockName)));
}

SavedBlock savedBlockFromTexts(const BlockDataTexts& texts) {
    checkComplete(texts);
    SavedBlock block;
    for (int i = 0; i < PlaneCount; ++i) {
        const auto& attitude = *texts.Attitudes[i];
        block.Attitudes[i] = {textToFloat(attitude[0]), textToFloat(attitude[1])};
        block.Quadrants[i] = *texts.Quadrants[i];
    }
    for (const auto& p : ParameterLines) block.Params.*p.param = *(texts.*p.text);
    setWaterPressures(texts, block.Params);
    return block;
}

} // namespace trelmox
