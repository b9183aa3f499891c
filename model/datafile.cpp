#include "model/datafile.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/attitude.h"
#include "model/block_names.h"
#include "model/error.h"
#include "model/language.h"
#include "model/files.h"
#include "model/numtext.h"
#include "model/parameter_fields.h"
#include "model/textcodec.h"

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

// A parameter line keeps only its first field: a text cut at ",".
void storeLine(BlockDataTexts& texts, int number, const std::string& line) {
    if (number < FirstQuadrantLine) {
        texts.Attitudes[number - 1] = std::array<std::string, 2>{field(line, 1), field(line, 2)};
    } else if (number < FirstQuadrantLine + PlaneCount) {
        texts.Quadrants[number - FirstQuadrantLine] = TPlaneQuadrant{field(line, 1), field(line, 2), field(line, 3),
                                                                     field(line, 4), field(line, 5), field(line, 6)};
    } else if (number == WaterLine1 || number == WaterLine1 + 1) {
        (number == WaterLine1 ? texts.Water1 : texts.Water2) =
            BlockDataTexts::WaterLine{field(line, 1), field(line, 2)};
    } else {
        for (const ParameterField& p : ParameterFields)
            if (p.Line == number) texts.*p.FileText = field(line, 1);
    }
}

// A failure of the conversion `convert` is one of line `number`.
template <typename Convert> auto atLine(int number, Convert convert) {
    try {
        return convert();
    } catch (const Error& failure) {
        if (failure.line() != 0) throw;
        throw failure.withLine(number);
    }
}

// Surrounding spaces and line-end characters are not part of a value: an
// editor or a copy may leave them (a stray CR before a ",", a blank after
// a letter). Any other control character makes the value unreadable.
std::string cleanField(const std::string& text, int number) {
    const auto first = text.find_first_not_of(" \r\n");
    const std::string field =
        first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \r\n") - first + 1);
    for (const char c : field)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            throw Error::atLine(messageLanguage() == Language::English
                                    ? "contains a control character: \"" + visibleText(field) + "\""
                                    : "含有控制字符：“" + visibleText(field) + "”",
                                number);
    return field;
}

// Every field of the texts with its line number.
template <typename Visit> void forEachField(BlockDataTexts& texts, Visit visit) {
    for (int i = 0; i < PlaneCount; ++i) {
        if (auto& a = texts.Attitudes[i])
            for (std::string& field : *a) visit(field, i + 1);
        if (auto& q = texts.Quadrants[i])
            for (std::string* field : {&q->StrikeNS, &q->StrikeAngle, &q->StrikeEW, &q->DipNS, &q->DipEW, &q->DipAngle})
                visit(*field, FirstQuadrantLine + i);
    }
    for (const ParameterField& p : ParameterFields)
        if (auto& text = texts.*p.FileText) visit(*text, p.Line);
    for (const int number : {WaterLine1, WaterLine1 + 1})
        if (auto& line = number == WaterLine1 ? texts.Water1 : texts.Water2) {
            visit(line->Marker, number);
            visit(line->Value, number);
        }
}

BlockDataTexts cleanedTexts(BlockDataTexts texts) {
    forEachField(texts, [](std::string& field, int number) { field = cleanField(field, number); });
    return texts;
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
    for (const ParameterField& p : ParameterFields) present[p.Line - 1] = (texts.*p.FileText).has_value();
    for (int i = 0; i < LineCount; ++i)
        if (!present[i])
            throw Error::atLine(messageLanguage() == Language::English
                                    ? "missing: a block data file has " + std::to_string(LineCount) + " lines"
                                    : "缺失：块体数据文件应有 " + std::to_string(LineCount) + " 行",
                                i + 1);
}

std::string quadrantText(const TPlaneQuadrant& q) {
    return joinFields({q.StrikeNS, q.StrikeAngle, q.StrikeEW, q.DipNS, q.DipEW, q.DipAngle});
}

double dipDirectionOfLine(const TPlaneQuadrant& plane) {
    requireAttitudeLetters(plane);
    return *quadrantDipDirection(plane);
}

TPlaneAttitude attitudeOfLine(const std::array<std::string, 2>& fields) {
    return {textToFloat(fields[0]), textToFloat(fields[1])};
}

// Equal within what 15 significant digits keep: a dip direction written
// after a conversion through the strike angle's text may differ from the
// one computed from that text in the last written digit. Azimuths repeat
// every 360 degrees.
bool sameAngle(double a, double b, bool azimuth) {
    double difference = std::fabs(a - b);
    if (azimuth) {
        difference = std::fmod(difference, 360.0);
        difference = std::min(difference, 360.0 - difference);
    }
    return difference <= 1e-12 * std::max({90.0, std::fabs(a), std::fabs(b)});
}

// The disagreement of plane i, if its two lines convert and disagree.
std::optional<LineDisagreement> disagreementOf(const BlockDataTexts& texts, int i) {
    const auto& attitudeTexts = *texts.Attitudes[i];
    const auto& quadrant = *texts.Quadrants[i];
    try {
        const TPlaneAttitude attitude = attitudeOfLine(attitudeTexts);
        const double direction = dipDirectionOfLine(quadrant);
        const double dip = textToFloat(quadrant.DipAngle);
        if (sameAngle(attitude.DipAngle, dip, false) && sameAngle(attitude.DipDirection, direction, true))
            return std::nullopt;
    } catch (const Error&) {
        return std::nullopt;
    }
    const int attitudeLine = i + 1, quadrantLine = FirstQuadrantLine + i;
    if (messageLanguage() == Language::English)
        return LineDisagreement{attitudeLine, quadrantLine,
                                "the dip and dip direction \"" +
                                    visibleText(joinFields({attitudeTexts[0], attitudeTexts[1]})) + "\" of line " +
                                    std::to_string(attitudeLine) + " disagree with the quadrant attitude \"" +
                                    visibleText(quadrantText(quadrant)) + "\" of line " + std::to_string(quadrantLine)};
    return LineDisagreement{attitudeLine, quadrantLine,
                            "第" + std::to_string(attitudeLine) + "行的倾角、倾向“" +
                                visibleText(joinFields({attitudeTexts[0], attitudeTexts[1]})) + "”与第" +
                                std::to_string(quadrantLine) + "行的象限产状“" + visibleText(quadrantText(quadrant)) +
                                "”不一致"};
}

TWaterPressureMode modeOfMarker(const std::string& marker) {
    if (marker == "z") return TWaterPressureMode::Entered;
    if (marker == "j") return TWaterPressureMode::Computed;
    if (messageLanguage() == Language::English)
        throw Error::refused("invalid water pressure marker \"" + marker +
                             "\": it should be \"z\" (entered value) or \"j\" (computed value)");
    throw Error::refused("水压标记“" + marker + "”无效：应为“z”（输入值）或“j”（计算值）");
}

// Both water lines must name the same pair, as the writer always does;
// otherwise the block has no single water-pressure mode. Entered values are
// what the analysis converts; computed ones are only shown.
void setWaterPressures(const BlockDataTexts& texts, TWedgeParams& params, BlockParameters& numbers) {
    const auto& line1 = *texts.Water1;
    const auto& line2 = *texts.Water2;
    params.WaterPressureMode = atLine(WaterLine1, [&] { return modeOfMarker(line1.Marker); });
    const TWaterPressureMode mode2 = atLine(WaterLine1 + 1, [&] { return modeOfMarker(line2.Marker); });
    if (mode2 != params.WaterPressureMode)
        throw Error::atLine(messageLanguage() == Language::English
                                ? "water pressure marker \"" + line2.Marker + "\" disagrees with \"" + line1.Marker +
                                      "\" of line 13"
                                : "水压标记“" + line2.Marker + "”与第 13 行的“" + line1.Marker + "”不一致",
                            WaterLine1 + 1);
    const bool entered = params.WaterPressureMode == TWaterPressureMode::Entered;
    numbers.WaterPressureMode = params.WaterPressureMode;
    if (entered) {
        numbers.WaterPressure1 = atLine(WaterLine1, [&] { return fieldNumber(line1.Value, "WaterPressure1"); });
        numbers.WaterPressure2 = atLine(WaterLine1 + 1, [&] { return fieldNumber(line2.Value, "WaterPressure2"); });
    }
    (entered ? params.WaterPressure1 : params.ComputedWaterPressure1) = line1.Value;
    (entered ? params.WaterPressure2 : params.ComputedWaterPressure2) = line2.Value;
}

} // namespace

// Letters that fit no case would leave the corners to vectors of another
// plane, so the geometry would be wrong while looking right.
void requireAttitudeLetters(const TPlaneQuadrant& plane) {
    if (!quadrantDipDirection(plane))
        throw Error::refused(
            messageLanguage() == Language::English
                ? "quadrant letters \"" + joinFields({plane.StrikeNS, plane.StrikeEW, plane.DipNS, plane.DipEW}) +
                      "\" make no attitude: a strike N…E dips S,E or N,W, a strike N…W dips S,W or N,E"
                : "象限字母“" + joinFields({plane.StrikeNS, plane.StrikeEW, plane.DipNS, plane.DipEW}) +
                      "”不能组成产状：走向 N…E 应倾向 S,E 或 N,W，走向 N…W 应倾向 S,W 或 N,E");
}

std::string blockDataText(const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                          const TWedgeParams& params) {
    std::vector<std::string> lines;
    for (const auto& a : attitudes) lines.push_back(floatToText(a.DipAngle) + "," + floatToText(a.DipDirection));
    for (const auto& q : quadrants)
        lines.push_back(joinFields({q.StrikeNS, q.StrikeAngle, q.StrikeEW, q.DipNS, q.DipEW, q.DipAngle}));
    lines.insert(lines.end(),
                 {params.RockUnitWeight, params.WaterUnitWeight, params.SlopeHeight, params.OverhangCoefficient,
                  waterLine(params, params.WaterPressure1, params.ComputedWaterPressure1),
                  waterLine(params, params.WaterPressure2, params.ComputedWaterPressure2), params.Cohesion1,
                  params.Friction1, params.Cohesion2, params.Friction2});
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
    return parseBlockData(readTextFile(blockFilePath(dataFolder, blockName), MaxDataFileBytes));
}

std::vector<LineDisagreement> disagreeingLines(const BlockDataTexts& texts) {
    std::vector<LineDisagreement> found;
    for (int i = 0; i < PlaneCount; ++i) {
        if (!texts.Attitudes[i] || !texts.Quadrants[i]) continue;
        BlockDataTexts plane;
        plane.Attitudes[i] = texts.Attitudes[i];
        plane.Quadrants[i] = texts.Quadrants[i];
        try {
            plane = cleanedTexts(plane);
        } catch (const Error&) {
            continue;
        }
        if (auto disagreement = disagreementOf(plane, i)) found.push_back(*disagreement);
    }
    return found;
}

// Each text is converted once, line by line, so that the first bad line
// is the one named.
ParsedBlock savedBlockFromTexts(const BlockDataTexts& fileTexts) {
    const BlockDataTexts texts = cleanedTexts(fileTexts);
    checkComplete(texts);
    ParsedBlock block;
    for (int i = 0; i < PlaneCount; ++i)
        block.Attitudes[i] = atLine(i + 1, [&] { return attitudeOfLine(*texts.Attitudes[i]); });
    block.Input.Attitudes = block.Attitudes;
    for (int i = 0; i < PlaneCount; ++i) {
        const TPlaneQuadrant& quadrant = *texts.Quadrants[i];
        block.Input.Quadrants[i] = atLine(FirstQuadrantLine + i, [&] { return quadrantAttitude(quadrant); });
        block.Quadrants[i] = quadrant;
    }
    BlockParameters& numbers = block.Input.Parameters;
    for (const ParameterField& p : ParameterFields) {
        const std::string& text = *(texts.*p.FileText);
        atLine(p.Line, [&] {
            if (p.Number)
                numbers.*p.Number = fieldNumber(text, p.Field);
            else
                numbers.OverhangCoefficient = fieldInt32(text, p.Field);
        });
        block.Params.*p.Text = text;
    }
    setWaterPressures(texts, block.Params, numbers);
    for (int i = 0; i < PlaneCount; ++i)
        if (auto disagreement = disagreementOf(texts, i)) throw Error::refused(disagreement->Message);
    return block;
}

BlockInput blockInput(const SavedBlock& block) { return blockInput(block.Attitudes, block.Quadrants, block.Params); }

ParsedBlock readSavedBlock(const std::filesystem::path& file) {
    return savedBlockFromTexts(parseBlockData(readTextFile(file, MaxDataFileBytes)));
}

} // namespace trelmox
