#include "report/full_report.h"

#include <cmath>
#include <vector>

#include "analysis/vec3.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"
#include "report/figures.h"
#include "report/size_text.h"

namespace trelmox {

namespace {

constexpr DirectionLayout Columns = DirectionLayout::Columns;

// What the report shows, by reference into the run.
struct ReportedWedge {
    const std::string& BlockName;
    const SavedBlock& Block;
    const WedgeLoads& Loads;
    const FullAnalysis& Analysis;
    const SupportDesign& Design;
    const std::optional<SafetyResult>& Kc;
};

std::string fixed(double v) { return floatToFixed4(v); }

// Every figure with its unit, as a report an engineer signs must show it:
// lengths in m, areas in m², volumes in m³, forces in kN, pressures and
// cohesions in kPa, unit weights in kN/m³, angles in degrees.
std::string deg(const std::string& figure) { return figure + "°"; }


void inputLines(std::vector<std::string>& lines, const ReportedWedge& in) {
    const WedgeLoads& l = in.Loads;
    const TWedgeParams& p = in.Block.Params;
    lines.insert(lines.end(), {"第一部分：平面产状（倾角及倾向角）", ""});
    for (int i = 0; i < PlaneCount; ++i)
        lines.push_back(std::to_string(i + 1) + "." + PlaneNames[i] + ":" + (i < 2 ? "\t" : "\t\t") +
                        deg(floatToText(in.Block.Attitudes[i].DipAngle)) + "\t" +
                        deg(floatToText(in.Block.Attitudes[i].DipDirection)));
    lines.push_back(l.Crack ? "5.张裂缝:\t\t" + deg(floatToText(l.Crack->Attitude.DipAngle)) + "\t" +
                                  deg(floatToText(l.Crack->Attitude.DipDirection)) + "\t距坡顶线\t" +
                                  withUnit(floatToText(l.Crack->Distance), "m")
                            : "5.张裂缝:\t\t无");
    lines.insert(lines.end(), {"", "第二部分：物理力学参数与荷载", "",
                               "坡高:\t\tH=\t" + withUnit(p.SlopeHeight, "m"), "岩石容重:\tr=\t" + withUnit(p.RockUnitWeight, "kN/m³"),
                               "水的容重:\trw=\t" + withUnit(p.WaterUnitWeight, "kN/m³"),
                               "倒悬系数:\t\t" + p.OverhangCoefficient,
                               "第一切割面:\tc1=\t" + withUnit(p.Cohesion1, "kPa") + "\tf1=\t" + p.Friction1,
                               "第二切割面:\tc2=\t" + withUnit(p.Cohesion2, "kPa") + "\tf2=\t" + p.Friction2,
                               "水压力:\t\t" + waterModeText(l, p)});
    // A strength of its own on either plane: each plane's model.
    if (!plainStrengths(l.Strength))
        for (int plane = 0; plane < 2; ++plane)
            lines.push_back(std::string(plane == 0 ? "第一" : "第二") + "切割面抗剪强度:\t" +
                            strengthText(l.Strength[plane], plane, p));
    if (l.Crack && l.Water == WaterMode::Saturated)
        lines.push_back("张裂缝水深:\t\t" + withUnit(floatToText(l.Crack->WaterDepth), "m"));
    lines.push_back("地震系数:\tk=\t" + floatToText(l.SeismicCoefficient) +
                    (l.SeismicDirection ? "\t" + directionText(*l.SeismicDirection, Columns) : "\t沿交线倾伏向水平"));
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        lines.push_back("外力" + std::to_string(i + 1) + ":\t\t" + withUnit(floatToText(l.Forces[i].Magnitude), "kN") + "\t" +
                        directionText(l.Forces[i].Direction, Columns));
    lines.push_back("坡面压力:\t\t" + withUnit(floatToText(l.FacePressure), "kPa"));
    lines.push_back("坡顶面压力:\t\t" + withUnit(floatToText(l.TopPressure), "kPa"));
    // The pressures and the water outside the slope added later: only when
    // used, so that the reports of other blocks stay as they were.
    if (l.Pressure1 != 0) lines.push_back("第一切割面压力:\t\t" + withUnit(floatToText(l.Pressure1), "kPa"));
    if (l.Pressure2 != 0) lines.push_back("第二切割面压力:\t\t" + withUnit(floatToText(l.Pressure2), "kPa"));
    if (l.CrackPressure != 0) lines.push_back("张裂缝面压力:\t\t" + withUnit(floatToText(l.CrackPressure), "kPa"));
    if (l.PondLevel) lines.push_back("坡外水位:\t\t" + withUnit(floatToText(*l.PondLevel), "m") + "（高于坡脚）");
    if (l.FacePressureDirection) lines.push_back("坡面压力方向:\t" + directionText(*l.FacePressureDirection, Columns));
    if (l.TopPressureDirection) lines.push_back("坡顶面压力方向:\t" + directionText(*l.TopPressureDirection, Columns));
    if (l.Shotcrete)
        lines.push_back("喷射混凝土:\t厚度\t" + withUnit(floatToText(l.Shotcrete->Thickness), "m") + "\t抗剪强度\t" +
                        withUnit(floatToText(l.Shotcrete->ShearStrength), "kPa") + "\t容重\t" +
                        withUnit(floatToText(l.Shotcrete->UnitWeight), "kN/m³"));
    for (std::size_t i = 0; i < l.Bolts.size(); ++i)
        lines.push_back("锚杆" + std::to_string(i + 1) + "(" + boltModeText(l.Bolts[i].Mode) + "):\t" +
                        withUnit(floatToText(l.Bolts[i].Force), "kN") + "\t" + directionText(l.Bolts[i].Direction, Columns));
    for (const auto& [label, value] : sizeLimitRows(l.Size)) lines.push_back(label + ":\t" + value);
}

std::string pointText(const TPoint3D& p) {
    return withUnit(fixed(p.x), "m") + "\t" + withUnit(fixed(p.y), "m") + "\t" + withUnit(fixed(p.z), "m");
}

void geometryLines(std::vector<std::string>& lines, const ReportedWedge& in) {
    const WedgeShape& s = in.Analysis.Shape;
    const auto area = [&](WedgeSurface f) { return withUnit(fixed(s.Faces[int(f)].Area), "m²"); };
    const auto edge = [&](WedgeSurface a, WedgeSurface b) { return withUnit(fixed(edgeLength(s, a, b)), "m"); };
    const LineDirection line = intersectionDirection(s);
    lines.insert(lines.end(),
                 {"体积:\t\tV=\t" + withUnit(fixed(s.Volume), "m³"),
                  "重量:\t\tW=\t" + withUnit(fixed(norm(in.Analysis.Forces.Weight)), "kN"),
                  "形心:\t\t" + pointText(s.Centroid), "交线倾伏向:\t\t" + deg(fixed(line.Trend)),
                  "交线倾伏角:\t\t" + deg(fixed(line.Plunge)), "交线上端高度:\t\t" + withUnit(fixed(s.LineTop.z), "m"),
                  "面积:\t第一切割面\t" + area(WedgeSurface::FirstPlane) + "\t第二切割面\t" + area(WedgeSurface::SecondPlane),
                  "\t坡面\t\t" + area(WedgeSurface::SlopeFace) + "\t坡顶面\t\t" + area(WedgeSurface::UpperSlope),
                  "\t张裂缝\t\t" + area(WedgeSurface::Crack),
                  "坡面迹线长:\t第一切割面\t" + edge(WedgeSurface::SlopeFace, WedgeSurface::FirstPlane) + "\t第二切割面\t" +
                      edge(WedgeSurface::SlopeFace, WedgeSurface::SecondPlane),
                  "坡顶面迹线长:\t第一切割面\t" + edge(WedgeSurface::UpperSlope, WedgeSurface::FirstPlane) +
                      "\t第二切割面\t" + edge(WedgeSurface::UpperSlope, WedgeSurface::SecondPlane)});
    for (const auto& [label, value] : sizingRows(in.Loads.Size, in.Analysis.Size)) lines.push_back(label + ":\t" + value);
}

std::string forceLine(const std::string& name, const TPoint3D& force) {
    const double magnitude = norm(force);
    if (magnitude == 0) return name + "\t" + withUnit("0", "kN");
    const LineDirection d = directionOf(force);
    return name + "\t" + withUnit(fixed(magnitude), "kN") + "\t" + deg(fixed(d.Trend)) + "\t" + deg(fixed(d.Plunge));
}

void forceLines(std::vector<std::string>& lines, const ReportedWedge& in) {
    const WedgeForces& f = in.Analysis.Forces;
    const WedgeLoads& l = in.Loads;
    lines.insert(lines.end(),
                 {"名称\t\t\t大小\t方位角\t倾伏角", forceLine("自重\t\t", f.Weight),
                  forceLine("第一切割面水压力", f.Water1) + "\t平均水压\t" + withUnit(fixed(f.Pressure1), "kPa"),
                  forceLine("第二切割面水压力", f.Water2) + "\t平均水压\t" + withUnit(fixed(f.Pressure2), "kPa")});
    if (l.Crack) lines.push_back(forceLine("张裂缝水压力\t", f.CrackWater) + "\t水深\t" + withUnit(fixed(f.CrackWaterDepth), "m"));
    if (const std::string note = crackWaterNote(f); l.Crack && !note.empty()) lines.push_back("注：" + note + "。");
    lines.push_back(forceLine("地震力\t\t", f.Seismic));
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        lines.push_back(forceLine("外力" + std::to_string(i + 1) + "\t\t",
                                  l.Forces[i].Magnitude * directionVector(l.Forces[i].Direction)));
    lines.push_back(forceLine("坡面压力\t", f.FaceLoad));
    lines.push_back(forceLine("坡顶面压力\t", f.TopLoad));
    if (l.PondLevel) {
        lines.push_back(forceLine("坡面外水压力\t", f.PondFace));
        lines.push_back(forceLine("坡顶面外水压力\t", f.PondTop));
    }
    if (l.Shotcrete) {
        lines.push_back(forceLine("喷射混凝土自重\t", f.ShotcreteWeight));
        lines.push_back("喷射混凝土抗剪力\t" + withUnit(fixed(f.LiningResistance), "kN") + "\t计入抗滑力");
    }
    for (std::size_t i = 0; i < l.Bolts.size(); ++i)
        lines.push_back(forceLine("锚杆" + std::to_string(i + 1) + "(" + boltModeText(l.Bolts[i].Mode) + ")\t",
                                  l.Bolts[i].Force * directionVector(l.Bolts[i].Direction)));
    lines.push_back(forceLine("主动力合力\t", f.active()));
}

std::string requiredText(const WedgeLoads& l) {
    return floatToText(l.RequiredFactor) + (l.Preset ? "\t" + presetName(*l.Preset) : "");
}

void resultLines(std::vector<std::string>& lines, const ReportedWedge& in) {
    const FullSafety& s = in.Analysis.Safety;
    lines.insert(lines.end(), {"接触状态:\t\t" + std::string(contactDescription(s.Contact)),
                               "第一切割面法向力:\tN1=\t" + withUnit(fixed(s.Normal1), "kN"),
                               "第二切割面法向力:\tN2=\t" + withUnit(fixed(s.Normal2), "kN")});
    if (!plainStrengths(in.Loads.Strength)) {
        const WedgeShape& shape = in.Analysis.Shape;
        for (int plane = 0; plane < 2; ++plane) {
            const double area = shape.Faces[plane].Area, normal = plane == 0 ? s.Normal1 : s.Normal2;
            const std::string n = std::to_string(plane + 1);
            lines.push_back(std::string(plane == 0 ? "第一" : "第二") + "切割面平均法向应力:\tσn" + n + "=\t" +
                            withUnit(fixed(area > 0 ? normal / area : 0), "kPa") + "\t抗剪力\t" +
                            withUnit(fixed(plane == 0 ? s.Shear1 : s.Shear2), "kN"));
        }
    }
    lines.insert(lines.end(), {"下滑力:\t\t\t" + withUnit(fixed(s.Driving), "kN"), "抗滑力:\t\t\t" + withUnit(fixed(s.Resisting), "kN"), "安全系数:\t\tFs=\t" + fixed(s.Factor),
                               "所需安全系数:\t\tFst=\t" + requiredText(in.Loads),
                               "稳定状态:\t\t" + std::string(in.Analysis.State ? stabilityStateName(*in.Analysis.State)
                                                                                   : "未定")});
}

std::string forceOrNone(const std::optional<double>& force) {
    return force ? withUnit(fixed(*force), "kN") : "该方向无法达到所需安全系数";
}

void supportLines(std::vector<std::string>& lines, const ReportedWedge& in) {
    const SupportDesign& d = in.Design;
    if (d.Bolt)
        lines.push_back("设计锚杆(" + boltModeText(d.Bolt->Mode) + "):\t" + directionText(d.Bolt->Direction, Columns) +
                        "\t所需锚固力\t" + forceOrNone(d.BoltForce));
    else
        lines.push_back("设计锚杆:\t\t未给定方向");
    if (d.Least)
        lines.push_back("最省力锚杆方向:\t方位角\t" + deg(fixed(d.Least->Direction.Trend)) + "\t倾伏角\t" +
                        deg(fixed(d.Least->Direction.Plunge)) + "\t所需锚固力\t" + withUnit(fixed(d.Least->Force), "kN"));
    else
        lines.push_back("最省力锚杆方向:\t任何方向都无法达到所需安全系数");
}

std::vector<std::string> reportLines(const ReportedWedge& in) {
    std::vector<std::string> lines = {"****************楔块" + in.BlockName + "三维稳定分析导出文件****************",
                                      ""};
    inputLines(lines, in);
    lines.insert(lines.end(), {"", "第三部分：楔块几何（实际坡顶面，坐标：x东 y北 z上，原点在坡脚）", ""});
    if (in.Analysis.Refusal) {
        lines.push_back(refusalMessage(*in.Analysis.Refusal));
    } else {
        geometryLines(lines, in);
        lines.insert(lines.end(), {"", "第四部分：作用力（过形心）", ""});
        forceLines(lines, in);
        lines.insert(lines.end(), {"", "第五部分：稳定分析结果（矢量法）", ""});
        resultLines(lines, in);
        lines.insert(lines.end(), {"", "第六部分：支护设计", ""});
        supportLines(lines, in);
    }
    const std::string kc =
        in.Kc ? floatToText(in.Kc->SafetyFactor) + "\t" + contactDescription(in.Kc->Contact) : std::string("无法计算");
    lines.insert(lines.end(), {"", "对照：楔块稳定安全系数Kc（坡顶面取水平于坡高处）:\t" + kc});
    return lines;
}

} // namespace

std::string boltModeText(BoltMode mode) { return mode == BoltMode::Active ? "主动" : "被动"; }

std::string waterModeText(const WedgeLoads& loads, const TWedgeParams& p) {
    switch (loads.Water) {
    case WaterMode::None: return "无水";
    case WaterMode::Block:
        return p.WaterPressureMode == TWaterPressureMode::Entered ? "块体水压（使用输入水压值）"
                                                                   : "块体水压（使用计算值）";
    case WaterMode::Saturated: return "饱和楔体";
    case WaterMode::Filled: return "部分充水（" + floatToText(loads.FilledPercent) + "%）";
    }
    return "";
}

std::string strengthText(const JointStrength& s, int plane, const TWedgeParams& p) {
    const std::string n = std::to_string(plane + 1);
    const auto number = [](double v) { return floatToText(v); };
    std::string text = strengthModelName(s.Model);
    switch (s.Model) {
    case StrengthModel::MohrCoulomb:
        text += " τ = c + σn·f，c" + n + " = " + (plane == 0 ? p.Cohesion1 : p.Cohesion2) + " kPa，f" + n + " = " +
                (plane == 0 ? p.Friction1 : p.Friction2);
        break;
    case StrengthModel::BartonBandis:
        text += " τ = σn·tan(φr + JRC·lg(JCS/σn))，JRC = " + number(s.Jrc) + "，JCS = " + number(s.Jcs) +
                " kPa，φr = " + number(s.ResidualFriction) + "°";
        break;
    case StrengthModel::PowerCurve:
        text += " τ = a·(σn − c)^b + d，a = " + number(s.PowerA) + "，b = " + number(s.PowerB) + "，c = " +
                number(s.PowerC) + " kPa，d = " + number(s.PowerD) + " kPa";
        break;
    case StrengthModel::HoekBrown:
        text += "（按法向应力处的瞬时c、φ），σci = " + number(s.Sigci) + " kPa，mb = " + number(s.Mb) + "，s = " +
                number(s.S) + "，a = " + number(s.HoekA);
        break;
    }
    if (s.Waviness != 0) text += "，起伏角 i = " + number(s.Waviness) + "°";
    return text;
}

std::string fullReportText(const std::string& blockName, const BlockRun& run) {
    return crlfLines(reportLines({blockName, run.Block, run.Loads, run.Full->Analysis, run.Full->Design, run.Safety}));
}

std::filesystem::path fullReportPath(const std::filesystem::path& reportFolder, const std::string& blockName) {
    checkBlockName(blockName);
    return reportFolder / (blockName + "三维分析.txt");
}

void writeFullReport(const std::filesystem::path& reportFolder, const std::string& blockName, const BlockRun& run) {
    writeTextFile(fullReportPath(reportFolder, blockName), fullReportText(blockName, run));
}

} // namespace trelmox
