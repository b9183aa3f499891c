#include "report/report.h"

#include <vector>

#include "model/files.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// "1.第一切割面<what>:" and the tabs that line the values up: the two
// shorter plane names need a second tab.
std::string planeLabel(int plane, const std::string& what) {
    return std::to_string(plane + 1) + "." + PlaneNames[plane] + what + ":" + (plane < 2 ? "\t" : "\t\t");
}

std::string attitudeLine(int plane, const TPlaneAttitude& a) {
    return planeLabel(plane, "倾角及倾向角") + floatToText(a.DipAngle) + "\t" + floatToText(a.DipDirection);
}

std::string quadrantLine(int plane, const TPlaneQuadrant& q) {
    return planeLabel(plane, "走向及倾向角") + q.StrikeNS + q.StrikeAngle + q.StrikeEW + "\t" + q.DipNS + q.DipEW +
           q.DipAngle;
}

std::vector<std::string> reportLines(const ReportInputs& in) {
    std::vector<std::string> lines = {"****************楔块" + in.BlockName + "稳定分析导出文件****************", "",
                                      "", "第一部分：楔块的地质参数", ""};
    for (int i = 0; i < PlaneCount; ++i) lines.push_back(attitudeLine(i, in.Attitudes[i]));
    lines.push_back("");
    for (int i = 0; i < PlaneCount; ++i) lines.push_back(quadrantLine(i, in.Quadrants[i]));
    const TWedgeParams& p = in.Params;
    lines.insert(lines.end(),
                 {"", "第二部分：楔块的物理力学参数", "", "1.楔块的高度:\t\tD=\t" + p.SlopeHeight,
                  "2.第一结构面的f值:\tf1=\t" + p.Friction1, "3.第一结构面的c值:\tc1=\t" + p.Cohesion1,
                  "4.第二结构面的f值:\tf2=\t" + p.Friction2, "5.第二结构面的c值:\tc2=\t" + p.Cohesion2,
                  "6.岩石的容重r:\t\tr =\t" + p.RockUnitWeight, "7.水的容重r:\t\tr =\t" + p.WaterUnitWeight, "",
                  "第三部分：楔块稳定分析结果", "", "1.楔块的体积:\tV=\t" + in.VolumeText,
                  "3.交线的倾角:\tβ=\t" + in.PlungeText, "4.楔块的稳定安全系数:\tKc=\t" + in.SafetyFactorText});
    return lines;
}

} // namespace

ReportInputs reportInputs(const std::string& blockName, const SavedBlock& block, const FigureTexts* figures) {
    ReportInputs inputs{blockName, block.Attitudes, block.Quadrants, block.Params, {}, {}, {}};
    if (figures) {
        inputs.VolumeText = figures->Volume;
        inputs.PlungeText = figures->Plunge;
        inputs.SafetyFactorText = figures->SafetyFactor;
    }
    return inputs;
}

std::string reportText(const ReportInputs& inputs) { return crlfLines(reportLines(inputs)); }

void writeReport(const std::filesystem::path& reportFolder, const ReportInputs& inputs) {
    checkBlockName(inputs.BlockName);
    writeTextFile(reportFolder / (inputs.BlockName + ".txt"), reportText(inputs));
}

} // namespace trelmox
