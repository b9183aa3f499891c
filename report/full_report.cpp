#include "report/full_report.h"

#include <cmath>
#include <vector>

#include "analysis/vec3.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"
#include "model/wording.h"
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
    lines.insert(lines.end(),
                 {say("第一部分：平面产状（倾角及倾向角）", "Part 1: plane attitudes (dip and dip direction)"), ""});
    for (int i = 0; i < PlaneCount; ++i)
        lines.push_back(std::to_string(i + 1) + "." + planeName(i) + ":" + (i < 2 ? "\t" : "\t\t") +
                        deg(floatToText(in.Block.Attitudes[i].DipAngle)) + "\t" +
                        deg(floatToText(in.Block.Attitudes[i].DipDirection)));
    lines.push_back(l.Crack
                        ? say("5.张裂缝:\t\t", "5.tension crack:\t") + deg(floatToText(l.Crack->Attitude.DipAngle)) +
                              "\t" + deg(floatToText(l.Crack->Attitude.DipDirection)) +
                              say("\t距坡顶线\t", "\tfrom the crest\t") + withUnit(floatToText(l.Crack->Distance), "m")
                        : say("5.张裂缝:\t\t无", "5.tension crack:\tnone"));
    lines.insert(lines.end(),
                 {"", say("第二部分：物理力学参数与荷载", "Part 2: physical and mechanical parameters and loads"), "",
                  say("坡高:\t\tH=\t", "slope height:\t\tH=\t") + withUnit(p.SlopeHeight, "m"),
                  say("岩石容重:\tr=\t", "rock unit weight:\tr=\t") + withUnit(p.RockUnitWeight, "kN/m³"),
                  say("水的容重:\trw=\t", "water unit weight:\trw=\t") + withUnit(p.WaterUnitWeight, "kN/m³"),
                  say("倒悬系数:\t\t", "overhang coefficient:\t\t") + p.OverhangCoefficient,
                  say("第一切割面:\tc1=\t", "plane 1:\tc1=\t") + withUnit(p.Cohesion1, "kPa") + "\tf1=\t" + p.Friction1,
                  say("第二切割面:\tc2=\t", "plane 2:\tc2=\t") + withUnit(p.Cohesion2, "kPa") + "\tf2=\t" + p.Friction2,
                  say("水压力:\t\t", "water pressure:\t\t") + waterModeText(l, p)});
    // A strength of its own on either plane: each plane's model.
    if (!plainStrengths(l.Strength))
        for (int plane = 0; plane < 2; ++plane)
            lines.push_back(say(plane == 0 ? "第一切割面抗剪强度:\t" : "第二切割面抗剪强度:\t",
                                plane == 0 ? "shear strength of plane 1:\t" : "shear strength of plane 2:\t") +
                            strengthText(l.Strength[plane], plane, p));
    if (l.Crack && l.Water == WaterMode::Saturated)
        lines.push_back(say("张裂缝水深:\t\t", "water depth in the tension crack:\t") +
                        withUnit(floatToText(l.Crack->WaterDepth), "m"));
    lines.push_back(say("地震系数:\tk=\t", "seismic coefficient:\tk=\t") + floatToText(l.SeismicCoefficient) +
                    (l.SeismicDirection
                         ? "\t" + directionText(*l.SeismicDirection, Columns)
                         : say("\t沿交线倾伏向水平", "\thorizontal along the trend of the line of intersection")));
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        lines.push_back(say("外力", "external force ") + std::to_string(i + 1) + ":\t\t" +
                        withUnit(floatToText(l.Forces[i].Magnitude), "kN") + "\t" +
                        directionText(l.Forces[i].Direction, Columns));
    // The surface pressures and the numbers listed by name; those added
    // later only when used, so that the reports of other blocks stay as
    // they were.
    for (const auto& [label, value] : loadFieldRows(l)) lines.push_back(label + ":" + tabsAfter(label + ":") + value);
    // The water outside the slope added later: only when used.
    if (l.PondLevel)
        lines.push_back(say("坡外水位:\t\t", "external water level:\t\t") + withUnit(floatToText(*l.PondLevel), "m") +
                        say("（高于坡脚）", " (above the toe)"));
    for (const auto& [label, direction] : loadDirectionRows(l))
        lines.push_back(label + ":\t" + directionText(direction, Columns));
    if (l.Shotcrete)
        lines.push_back(say("喷射混凝土:\t厚度\t", "shotcrete:\tthickness\t") +
                        withUnit(floatToText(l.Shotcrete->Thickness), "m") + say("\t抗剪强度\t", "\tshear strength\t") +
                        withUnit(floatToText(l.Shotcrete->ShearStrength), "kPa") + say("\t容重\t", "\tunit weight\t") +
                        withUnit(floatToText(l.Shotcrete->UnitWeight), "kN/m³"));
    for (std::size_t i = 0; i < l.Bolts.size(); ++i)
        lines.push_back(say("锚杆", "bolt ") + std::to_string(i + 1) + inLanguage("(", " (") +
                        boltModeText(l.Bolts[i].Mode) + "):\t" +
                        (l.Bolts[i].Capacity ? capacityText(*l.Bolts[i].Capacity, "\t")
                                             : withUnit(floatToText(l.Bolts[i].Force), "kN")) +
                        "\t" + directionText(l.Bolts[i].Direction, Columns));
    if (l.Pattern)
        lines.push_back(
            say("系统锚杆(", "bolt pattern (") + boltModeText(l.Pattern->Mode) +
            say("):\t走向间距\t", "):\tspacing along strike\t") + withUnit(floatToText(l.Pattern->SpacingStrike), "m") +
            say("\t倾向间距\t", "\tspacing along dip\t") + withUnit(floatToText(l.Pattern->SpacingDip), "m") + "\t" +
            capacityText(l.Pattern->Capacity, "\t") + "\t" + directionText(l.Pattern->Direction, Columns));
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
    lines.insert(
        lines.end(),
        {say("体积:\t\tV=\t", "volume:\t\tV=\t") + withUnit(fixed(s.Volume), "m³"),
         say("重量:\t\tW=\t", "weight:\t\tW=\t") + withUnit(fixed(norm(in.Analysis.Forces.Weight)), "kN"),
         say("形心:\t\t", "centroid:\t\t") + pointText(s.Centroid),
         say("交线倾伏向:\t\t", "trend of the line of intersection:\t") + deg(fixed(line.Trend)),
         say("交线倾伏角:\t\t", "plunge of the line of intersection:\t") + deg(fixed(line.Plunge)),
         say("交线上端高度:\t\t", "height of the upper end of the line:\t") + withUnit(fixed(s.LineTop.z), "m"),
         say("面积:\t第一切割面\t", "areas:\tplane 1\t") + area(WedgeSurface::FirstPlane) +
             say("\t第二切割面\t", "\tplane 2\t") + area(WedgeSurface::SecondPlane),
         say("\t坡面\t\t", "\tslope face\t\t") + area(WedgeSurface::SlopeFace) +
             say("\t坡顶面\t\t", "\tupper slope\t\t") + area(WedgeSurface::UpperSlope),
         say("\t张裂缝\t\t", "\ttension crack\t\t") + area(WedgeSurface::Crack),
         say("坡面迹线长:\t第一切割面\t", "trace lengths on the slope face:\tplane 1\t") +
             edge(WedgeSurface::SlopeFace, WedgeSurface::FirstPlane) + say("\t第二切割面\t", "\tplane 2\t") +
             edge(WedgeSurface::SlopeFace, WedgeSurface::SecondPlane),
         say("坡顶面迹线长:\t第一切割面\t", "trace lengths on the upper slope:\tplane 1\t") +
             edge(WedgeSurface::UpperSlope, WedgeSurface::FirstPlane) + say("\t第二切割面\t", "\tplane 2\t") +
             edge(WedgeSurface::UpperSlope, WedgeSurface::SecondPlane)});
    for (const auto& [label, value] : sizingRows(in.Loads.Size, in.Analysis.Size))
        lines.push_back(label + ":\t" + value);
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
                 {say("名称\t\t\t大小\t方位角\t倾伏角", "name\t\t\tmagnitude\ttrend\tplunge"),
                  forceLine(say("自重\t\t", "weight\t\t"), f.Weight),
                  forceLine(say("第一切割面水压力", "water force on plane 1"), f.Water1) +
                      say("\t平均水压\t", "\tmean water pressure\t") + withUnit(fixed(f.Pressure1), "kPa"),
                  forceLine(say("第二切割面水压力", "water force on plane 2"), f.Water2) +
                      say("\t平均水压\t", "\tmean water pressure\t") + withUnit(fixed(f.Pressure2), "kPa")});
    if (l.Crack)
        lines.push_back(forceLine(say("张裂缝水压力\t", "water force in the tension crack"), f.CrackWater) +
                        say("\t水深\t", "\twater depth\t") + withUnit(fixed(f.CrackWaterDepth), "m"));
    if (const std::string note = crackWaterNote(f); l.Crack && !note.empty())
        lines.push_back(say("注：", "Note: ") + note + say("。", "."));
    lines.push_back(forceLine(say("地震力\t\t", "seismic force\t\t"), f.Seismic));
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        lines.push_back(forceLine(say("外力", "external force ") + std::to_string(i + 1) + "\t\t",
                                  l.Forces[i].Magnitude * directionVector(l.Forces[i].Direction)));
    lines.push_back(forceLine(say("坡面压力\t", "slope face pressure\t"), f.FaceLoad));
    lines.push_back(forceLine(say("坡顶面压力\t", "upper slope pressure\t"), f.TopLoad));
    if (l.PondLevel) {
        lines.push_back(forceLine(say("坡面外水压力\t", "external water on the slope face\t"), f.PondFace));
        lines.push_back(forceLine(say("坡顶面外水压力\t", "external water on the upper slope\t"), f.PondTop));
    }
    if (l.Shotcrete) {
        lines.push_back(forceLine(say("喷射混凝土自重\t", "shotcrete weight\t"), f.ShotcreteWeight));
        lines.push_back(say("喷射混凝土抗剪力\t", "shotcrete shear resistance\t") +
                        withUnit(fixed(f.LiningResistance), "kN") +
                        say("\t计入抗滑力", "\tadded to the resisting force"));
    }
    for (std::size_t i = 0; i < l.Bolts.size(); ++i) {
        const bool held = l.Bolts[i].Capacity && i < f.BoltHolds.size();
        lines.push_back(
            forceLine(say("锚杆", "bolt ") + std::to_string(i + 1) + inLanguage("(", " (") +
                          boltModeText(l.Bolts[i].Mode) + ")\t",
                      (held ? f.BoltHolds[i].Force : l.Bolts[i].Force) * directionVector(l.Bolts[i].Direction)) +
            (held ? "\t" + holdText(f.BoltHolds[i], "\t") : ""));
    }
    if (l.Pattern)
        lines.push_back(forceLine(say("系统锚杆(", "bolt pattern (") + boltModeText(l.Pattern->Mode) + ")\t",
                                  f.PatternForce * directionVector(l.Pattern->Direction)) +
                        "\t" + patternText(f));
    lines.push_back(forceLine(say("主动力合力\t", "resultant active force\t"), f.active()));
}

std::string requiredText(const WedgeLoads& l) {
    return floatToText(l.RequiredFactor) + (l.Preset ? "\t" + presetName(*l.Preset) : "");
}

void resultLines(std::vector<std::string>& lines, const ReportedWedge& in) {
    const FullSafety& s = in.Analysis.Safety;
    lines.insert(
        lines.end(),
        {say("接触状态:\t\t", "contact:\t\t") + std::string(contactDescription(s.Contact)),
         say("第一切割面法向力:\tN1=\t", "normal force on plane 1:\tN1=\t") + withUnit(fixed(s.Normal1), "kN"),
         say("第二切割面法向力:\tN2=\t", "normal force on plane 2:\tN2=\t") + withUnit(fixed(s.Normal2), "kN")});
    if (!plainStrengths(in.Loads.Strength)) {
        const WedgeShape& shape = in.Analysis.Shape;
        for (int plane = 0; plane < 2; ++plane) {
            const double area = shape.Faces[plane].Area, normal = plane == 0 ? s.Normal1 : s.Normal2;
            const std::string n = std::to_string(plane + 1);
            lines.push_back(
                say(plane == 0 ? "第一切割面平均法向应力:\tσn" : "第二切割面平均法向应力:\tσn",
                    plane == 0 ? "mean normal stress on plane 1:\tσn" : "mean normal stress on plane 2:\tσn") +
                n + "=\t" + withUnit(fixed(area > 0 ? normal / area : 0), "kPa") +
                say("\t抗剪力\t", "\tshear force\t") + withUnit(fixed(plane == 0 ? s.Shear1 : s.Shear2), "kN"));
        }
    }
    lines.insert(
        lines.end(),
        {say("下滑力:\t\t\t", "driving force:\t\t\t") + withUnit(fixed(s.Driving), "kN"),
         say("抗滑力:\t\t\t", "resisting force:\t\t\t") + withUnit(fixed(s.Resisting), "kN"),
         say("安全系数:\t\tFs=\t", "safety factor:\t\tFs=\t") + boundedFactor(in.Analysis, fixed(s.Factor)),
         say("所需安全系数:\t\tFst=\t", "required safety factor:\tFst=\t") + requiredText(in.Loads),
         say("稳定状态:\t\t", "stability state:\t\t") +
             std::string(in.Analysis.State ? stabilityStateName(*in.Analysis.State) : say("未定", "undetermined"))});
}

std::string forceOrNone(const std::optional<double>& force) {
    return force ? withUnit(fixed(*force), "kN")
                 : say("该方向无法达到所需安全系数", "the required safety factor cannot be reached in this direction");
}

void supportLines(std::vector<std::string>& lines, const ReportedWedge& in) {
    const SupportDesign& d = in.Design;
    if (d.Bolt)
        lines.push_back(say("设计锚杆(", "design bolt (") + boltModeText(d.Bolt->Mode) + "):\t" +
                        directionText(d.Bolt->Direction, Columns) + say("\t所需锚固力\t", "\trequired bolt force\t") +
                        forceOrNone(d.BoltForce));
    else
        lines.push_back(say("设计锚杆:\t\t未给定方向", "design bolt:\t\tno direction given"));
    if (d.Least)
        lines.push_back(say("最省力锚杆方向:\t方位角\t", "most efficient bolt direction:\ttrend\t") +
                        deg(fixed(d.Least->Direction.Trend)) + say("\t倾伏角\t", "\tplunge\t") +
                        deg(fixed(d.Least->Direction.Plunge)) + say("\t所需锚固力\t", "\trequired bolt force\t") +
                        withUnit(fixed(d.Least->Force), "kN"));
    else
        lines.push_back(
            say("最省力锚杆方向:\t任何方向都无法达到所需安全系数",
                "most efficient bolt direction:\tthe required safety factor cannot be reached in any direction"));
    if (const std::string note = leastBoltNote(d); !note.empty())
        lines.push_back(say("注：", "Note: ") + note + say("。", "."));
}

std::vector<std::string> reportLines(const ReportedWedge& in) {
    std::vector<std::string> lines = {
        say("****************楔块", "****************wedge ") + in.BlockName +
            say("三维稳定分析导出文件****************", " 3D stability analysis report****************"),
        ""};
    inputLines(lines, in);
    lines.insert(
        lines.end(),
        {"",
         say("第三部分：楔块几何（实际坡顶面，坐标：x东 y北 z上，原点在坡脚）",
             "Part 3: wedge geometry (real upper slope; coordinates x east, y north, z up, origin at the toe)"),
         ""});
    if (in.Analysis.Refusal) {
        lines.push_back(refusalMessage(*in.Analysis.Refusal));
    } else {
        geometryLines(lines, in);
        lines.insert(lines.end(), {"", say("第四部分：作用力（过形心）", "Part 4: forces (through the centroid)"), ""});
        forceLines(lines, in);
        lines.insert(lines.end(),
                     {"", say("第五部分：稳定分析结果（矢量法）", "Part 5: stability results (vector method)"), ""});
        resultLines(lines, in);
        lines.insert(lines.end(), {"", say("第六部分：支护设计", "Part 6: support design"), ""});
        supportLines(lines, in);
    }
    const std::string kc = in.Kc ? floatToText(in.Kc->SafetyFactor) + "\t" + contactDescription(in.Kc->Contact)
                                 : std::string(say("无法计算", "cannot be computed"));
    lines.insert(lines.end(),
                 {"", say("对照：楔块稳定安全系数Kc（坡顶面取水平于坡高处）:\t",
                          "for comparison: wedge safety factor Kc (upper slope horizontal at the slope height):\t") +
                          kc});
    return lines;
}

} // namespace

std::string boltModeText(BoltMode mode) {
    return mode == BoltMode::Active ? say("主动", "active") : say("被动", "passive");
}

std::string waterModeText(const WedgeLoads& loads, const TWedgeParams& p) {
    switch (loads.Water) {
    case WaterMode::None: return say("无水", "dry");
    case WaterMode::Block:
        return p.WaterPressureMode == TWaterPressureMode::Entered
                   ? say("块体水压（使用输入水压值）", "block water pressures (entered values)")
                   : say("块体水压（使用计算值）", "block water pressures (computed values)");
    case WaterMode::Saturated: return say("饱和楔体", "saturated wedge");
    case WaterMode::Filled:
        return say("部分充水（" + floatToText(loads.FilledPercent) + "%）",
                   "partly filled (" + floatToText(loads.FilledPercent) + "%)");
    }
    return "";
}

std::string strengthText(const JointStrength& s, int plane, const TWedgeParams& p) {
    const std::string n = std::to_string(plane + 1);
    const auto number = [](double v) { return floatToText(v); };
    std::string text = strengthModelName(s.Model);
    switch (s.Model) {
    case StrengthModel::MohrCoulomb:
        text += say(" τ = c + σn·f，c", " τ = c + σn·f, c") + n + " = " + (plane == 0 ? p.Cohesion1 : p.Cohesion2) +
                say(" kPa，f", " kPa, f") + n + " = " + (plane == 0 ? p.Friction1 : p.Friction2);
        break;
    case StrengthModel::BartonBandis:
        text += say(" τ = σn·tan(φr + JRC·lg(JCS/σn))，JRC = ", " τ = σn·tan(φr + JRC·lg(JCS/σn)), JRC = ") +
                number(s.Jrc) + say("，JCS = ", ", JCS = ") + number(s.Jcs) + say(" kPa，φr = ", " kPa, φr = ") +
                number(s.ResidualFriction) + "°";
        break;
    case StrengthModel::PowerCurve:
        text += say(" τ = a·(σn − c)^b + d，a = ", " τ = a·(σn − c)^b + d, a = ") + number(s.PowerA) +
                say("，b = ", ", b = ") + number(s.PowerB) + say("，c = ", ", c = ") + number(s.PowerC) +
                say(" kPa，d = ", " kPa, d = ") + number(s.PowerD) + " kPa";
        break;
    case StrengthModel::HoekBrown:
        text += say("（按法向应力处的瞬时c、φ），σci = ", " (instantaneous c and φ at the normal stress), σci = ") +
                number(s.Sigci) + say(" kPa，mb = ", " kPa, mb = ") + number(s.Mb) + say("，s = ", ", s = ") +
                number(s.S) + say("，a = ", ", a = ") + number(s.HoekA);
        break;
    }
    if (s.Waviness != 0) text += say("，起伏角 i = ", ", waviness angle i = ") + number(s.Waviness) + "°";
    return text;
}

std::string fullReportText(const std::string& blockName, const SavedBlock& block, const BlockRun& run) {
    return crlfLines(reportLines({blockName, block, run.Loads, run.Full->Analysis, run.Full->Design, run.Safety}));
}

std::filesystem::path fullReportPath(const std::filesystem::path& reportFolder, const std::string& blockName) {
    checkBlockName(blockName);
    return reportFolder / (blockName + "三维分析.txt");
}

void writeFullReport(const std::filesystem::path& reportFolder, const std::string& blockName, const SavedBlock& block,
                     const BlockRun& run) {
    writeTextFile(fullReportPath(reportFolder, blockName), fullReportText(blockName, block, run));
}

} // namespace trelmox
