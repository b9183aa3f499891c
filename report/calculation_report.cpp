#include "report/calculation_report.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>

#include "analysis/block_analysis.h"
#include "analysis/full_analysis.h"
#include "analysis/support.h"
#include "analysis/vec3.h"
#include "analysis/vertices.h"
#include "drawing/block_pictures.h"
#include "drawing/kc_plots.h"
#include "drawing/joint_net.h"
#include "drawing/stereonet.h"
#include "drawing/wedge_view.h"
#include "model/error.h"
#include "model/numtext.h"
#include "report/figures.h"
#include "report/full_report.h"
#include "report/size_text.h"
#include "trelmox/version.h"

namespace trelmox {

namespace {

constexpr DirectionLayout Sentence = DirectionLayout::Sentence;

using Rows = std::vector<std::vector<std::string>>;

std::string fixed(double v) { return floatToFixed4(v); }
std::string degrees(double v) { return floatToText(v) + "°"; }
// A figure with its unit: lengths in m, areas in m², volumes in m³, forces
// in kN, pressures and cohesions in kPa, unit weights in kN/m³.

// Statistics to four significant digits: what a histogram can tell.
std::string significant(double v) {
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 4).ptr;
    return std::string(buffer, end);
}

std::string percent(double fraction) {
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, fraction * 100, std::chars_format::fixed, 2).ptr;
    return std::string(buffer, end) + "%";
}


// The full analysis of the run with its support design and its loads, or
// the reason there is none.
struct FullOutcome {
    const RealWedge* Report = nullptr;
    const WedgeLoads* Loads = nullptr;
    std::string Failure;
};

FullOutcome fullOutcome(const CalculationReportInputs& in) {
    if (!in.Results) return {};
    return {in.Results->Full ? &*in.Results->Full : nullptr, &in.Results->Loads, in.Results->FullFailure};
}

bool hasFactor(const FullOutcome& full) {
    return full.Report && !full.Report->Analysis.Refusal && full.Report->Analysis.State;
}

// ---- inputs ----

ReportTable planeTable(const SavedBlock& block) {
    ReportTable table{"平面产状", {"平面", "倾角", "倾向", "走向", "倾向及倾角"}, {}};
    for (int i = 0; i < PlaneCount; ++i) {
        const TPlaneQuadrant& q = block.Quadrants[i];
        table.Rows.push_back({PlaneNames[i], degrees(block.Attitudes[i].DipAngle), degrees(block.Attitudes[i].DipDirection),
                              q.StrikeNS + q.StrikeAngle + q.StrikeEW, q.DipNS + q.DipEW + "∠" + q.DipAngle});
    }
    return table;
}

std::string waterPressureText(const TWedgeParams& p) {
    if (p.WaterPressureMode == TWaterPressureMode::Entered)
        return "使用输入水压值：u1 = " + withUnit(p.WaterPressure1, "kPa") + "，u2 = " + withUnit(p.WaterPressure2, "kPa");
    std::string text = "使用计算值：u1 = u2 = γw·H/6";
    try {
        text += " = " + withUnit(floatToText(ComputeWaterPressure(textToFloat(p.WaterUnitWeight), textToFloat(p.SlopeHeight))),
                                 "kPa");
    } catch (const Error&) {
    }
    return text;
}

ReportTable parameterTable(const TWedgeParams& p) {
    return {"物理力学参数",
            {"参数", "符号", "数值"},
            {{"岩石容重", "γ", withUnit(p.RockUnitWeight, "kN/m³")},
             {"水的容重", "γw", withUnit(p.WaterUnitWeight, "kN/m³")},
             {"坡高", "H", withUnit(p.SlopeHeight, "m")},
             {"倒悬系数", "η", p.OverhangCoefficient},
             {"第一切割面粘聚力", "c1", withUnit(p.Cohesion1, "kPa")},
             {"第一切割面摩擦系数", "f1", p.Friction1},
             {"第二切割面粘聚力", "c2", withUnit(p.Cohesion2, "kPa")},
             {"第二切割面摩擦系数", "f2", p.Friction2},
             {"水压力", "u1, u2", waterPressureText(p)}}};
}

std::string requiredFactorText(const WedgeLoads& l) {
    return floatToText(l.RequiredFactor) + (l.Preset ? "（" + presetName(*l.Preset) + "）" : "");
}

ReportTable loadTable(const WedgeLoads& l, const TWedgeParams& p) {
    ReportTable table{"荷载与支护（实际楔块三维分析）", {}, {{"水压力", waterModeText(l, p)}}};
    Rows& rows = table.Rows;
    if (l.Crack) {
        std::string crack = "倾角 " + degrees(l.Crack->Attitude.DipAngle) + "，倾向 " +
                            degrees(l.Crack->Attitude.DipDirection) + "，距坡顶线 " + withUnit(floatToText(l.Crack->Distance), "m");
        if (l.Water == WaterMode::Saturated) crack += "，充水深度 " + withUnit(floatToText(l.Crack->WaterDepth), "m");
        rows.push_back({"张裂缝", crack});
    } else {
        rows.push_back({"张裂缝", "无"});
    }
    rows.push_back({"地震系数 k", floatToText(l.SeismicCoefficient) + "，" +
                                      (l.SeismicDirection ? directionText(*l.SeismicDirection, Sentence) : "沿交线倾伏向水平")});
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        rows.push_back({"外力" + std::to_string(i + 1),
                        withUnit(floatToText(l.Forces[i].Magnitude), "kN") + "，" + directionText(l.Forces[i].Direction, Sentence)});
    rows.push_back({"坡面压力", withUnit(floatToText(l.FacePressure), "kPa")});
    rows.push_back({"坡顶面压力", withUnit(floatToText(l.TopPressure), "kPa")});
    if (l.Pressure1 != 0) rows.push_back({"第一切割面压力", withUnit(floatToText(l.Pressure1), "kPa")});
    if (l.Pressure2 != 0) rows.push_back({"第二切割面压力", withUnit(floatToText(l.Pressure2), "kPa")});
    if (l.CrackPressure != 0) rows.push_back({"张裂缝面压力", withUnit(floatToText(l.CrackPressure), "kPa")});
    if (l.PondLevel) rows.push_back({"坡外水位", withUnit(floatToText(*l.PondLevel), "m") + "（高于坡脚）"});
    if (l.FacePressureDirection) rows.push_back({"坡面压力方向", directionText(*l.FacePressureDirection, Sentence)});
    if (l.TopPressureDirection) rows.push_back({"坡顶面压力方向", directionText(*l.TopPressureDirection, Sentence)});
    if (l.Shotcrete)
        rows.push_back({"喷射混凝土（坡面）", "厚度 " + withUnit(floatToText(l.Shotcrete->Thickness), "m") + "，抗剪强度 " +
                                                 withUnit(floatToText(l.Shotcrete->ShearStrength), "kPa") + "，容重 " +
                                                 withUnit(floatToText(l.Shotcrete->UnitWeight), "kN/m³")});
    for (std::size_t i = 0; i < l.Bolts.size(); ++i)
        rows.push_back({"锚杆" + std::to_string(i + 1) + "（" + boltModeText(l.Bolts[i].Mode) + "）",
                        withUnit(floatToText(l.Bolts[i].Force), "kN") + "，" + directionText(l.Bolts[i].Direction, Sentence)});
    if (!plainStrengths(l.Strength))
        for (int plane = 0; plane < 2; ++plane)
            rows.push_back({std::string(plane == 0 ? "第一" : "第二") + "切割面抗剪强度", strengthText(l.Strength[plane], plane, p)});
    rows.push_back({"所需安全系数 Fst", requiredFactorText(l)});
    rows.push_back({"设计锚杆方向", l.Design ? directionText(l.Design->Direction, Sentence) + "，" + boltModeText(l.Design->Mode)
                                             : "未给定"});
    for (const auto& [label, value] : sizeLimitRows(l.Size)) rows.push_back({label, value});
    return table;
}

ReportSection inputSection(const CalculationReportInputs& in) {
    ReportSection section{"一、基本资料", {}, true};
    auto& items = section.Items;
    items.push_back(ReportParagraph{"倾角与倾伏角自水平面向下为正，倾向与方位角自正北顺时针计，单位均为度；"
                                    "坐标 x 向东、y 向北、z 向上，原点在坡脚（坡面与两切割面的交点）。"
                                    "长度、力与压力采用与容重一致的单位制。"});
    items.push_back(planeTable(in.Block));
    items.push_back(parameterTable(in.Block.Params));
    items.push_back(loadTable(in.Loads, in.Block.Params));
    if (in.Loads == WedgeLoads{})
        items.push_back(ReportParagraph{"该块体没有荷载文件：按块体自身的水压力计算，无张裂缝、地震力及其他荷载。"});
    return section;
}

// ---- methods ----

ReportSection methodSection(const CalculationReportInputs& in) {
    ReportSection section{"二、计算方法", {}};
    auto& items = section.Items;
    const auto add = [&items](std::string heading, std::string text) {
        items.push_back(ReportHeading{std::move(heading)});
        items.push_back(ReportParagraph{std::move(text)});
    };
    add("楔块稳定安全系数 Kc",
        "按刚体极限平衡，由两切割面的产状求出楔块压在两切割面上的法向力（扣除水压力），"
        "据其正负判定双面接触、单面接触或浮起，Kc 为抗滑力（粘聚力与摩擦力之和）与沿滑动方向的下滑力之比。"
        "各力均按第二切割面在楔块上的面积归一化，楔块的坡顶面取为坡高 H 处的水平面，因此 Kc 只需坡高，不用角点；"
        "坡顶面倾斜时，Kc 所指的楔块与下列体积、高度和交线倾角所描述的实际楔块并不相同。");
    add("楔块几何",
        "由坡顶面、坡面和两切割面三三相交求出楔块的四个角点。体积为以坡顶面上的三角形为底、"
        "以坡脚到坡顶面的距离为高的四面体体积，交线倾角为坡脚到交线上端连线的倾角。");
    add("实际楔块三维分析 Fs",
        "楔块取为两切割面、坡面、实际坡顶面（及张裂缝）所围的多面体，求其体积、形心与各面面积。"
        "自重、水压力、地震力（k 乘自重）、外力、坡面与坡顶面压力及锚杆力均作用于形心；"
        "由主动力的合力按矢量法求两切割面的法向反力并判定接触状态，抗滑力取粘聚力乘实际面积与摩擦力之和，"
        "被动锚杆沿滑动方向的拉力计入抗滑力，Fs 为抗滑力与下滑力之比。"
        "稳定状态按 GB 50330-2013：Fs < 1.00 不稳定，1.00 ≤ Fs < 1.05 欠稳定，1.05 ≤ Fs < Fst 基本稳定，"
        "Fs ≥ Fst 稳定。支护设计求沿给定方向的锚杆达到 Fst 所需的锚固力，以及所需锚固力最小的锚杆方向。");
    if (!plainStrengths(in.Loads.Strength))
        add("节理面抗剪强度",
            "第一、第二切割面的抗剪强度按“荷载与支护”表所列的模型计算：莫尔-库仑取 c、f；巴顿-班迪斯"
            " τ = σn·tan(φr + JRC·lg(JCS/σn))，摩擦角不大于 70°，σn 达到 JCS 后取 φr，σn 趋于 0 时抗剪强度随之趋于 0；"
            "幂函数曲线 τ = a·(σn − c)^b + d，σn ≤ c 时取 d；霍克-布朗按广义准则在该法向应力处的瞬时粘聚力与内摩擦角。"
            "起伏角 i 加在摩擦角（非线性模型取该应力处的瞬时摩擦角）上，加后不超过 70°。"
            "σn 取该切割面的平均法向应力 N/A（N 为矢量法求得的法向反力，已扣除水压力，A 为实际面积），"
            "抗滑力为各切割面在 σn 处的抗剪强度乘其面积之和。法向反力只由垂直于滑动方向的平衡求得，与 Fs 无关，"
            "故 Fs 由抗滑力与下滑力之比直接求得，无需迭代；支护所需的锚固力按上述计算逐步搜索求得。");
    const WedgeLoads& l = in.Loads;
    if (l.Water == WaterMode::Filled || l.PondLevel || l.Pressure1 != 0 || l.Pressure2 != 0 || l.CrackPressure != 0)
        add("水压力",
            "部分充水时，两切割面上的水压力取饱和楔体的分布乘充水百分比，张裂缝中的水深取其可充水深度乘该百分比。"
            "坡外水位（坑湖、水库）以上无水压力，以下坡面与坡顶面受静水压力；两切割面各点的水压力取水压模式所给值"
            "与坡外水位静水压力二者中的大者，张裂缝中的水位不低于坡外水位。完全淹没的楔块所受水压力的合力即其浮力。"
            "输入的切割面及张裂缝面压力为均布压力，与水压模式所给的水压力相加。");
    if (l.Shotcrete)
        add("喷射混凝土",
            "坡面喷射混凝土随楔块滑出时须沿楔块在坡面上的迹线（两切割面及张裂缝的迹线，不含坡顶线）被剪断，"
            "其抗剪力为抗剪强度乘厚度乘迹线长度，与粘聚力一样计入抗滑力；其自重作用于楔块。");
    if (in.Probabilistic)
        add("可靠度分析",
            "各随机输入按表列分布抽样（蒙特卡洛法或拉丁超立方抽样），每个样本都按上述方法计算 Kc 与 Fs；"
            "失效概率为切出楔块的样本中 Kc < 1（Fs < 1、Fs < Fst）所占的比例，浮起的样本计为失效。");
    if (in.Sensitivity) add("敏感性分析", "一个输入在给定范围内等步长变化、其余输入取块体取值时 Kc 与 Fs 的变化。");
    return section;
}

// ---- results ----

std::vector<ReportItem> kcItems(const BlockRun& r, const BlockCorners& corners) {
    const FigureTexts texts = figureTexts(*r.Geometry, *r.Safety);
    ReportTable table{"楔块稳定安全系数 Kc 与楔块几何",
                      {},
                      {{"楔块安全系数 Kc", texts.SafetyFactor},
                       {"接触状态", contactDescription(r.Safety->Contact)}}};
    if (const std::string message = contactMessage(r.Safety->Contact); !message.empty())
        table.Rows.push_back({"说明", message});
    table.Rows.insert(table.Rows.end(), {{"楔块的体积 V", withUnit(texts.Volume, "m³")},
                                         {"楔块的高度 h", withUnit(texts.Height, "m")},
                                         {"楔块交线的倾角 βab（°）", texts.Plunge}});
    std::vector<ReportItem> items{table};
    if (corners.Vertices) {
        const BlockVertices& v = *corners.Vertices;
        ReportTable points{"楔块角点坐标", {"角点", "x", "y", "z"}, {}};
        const std::pair<const char*, const TPoint3D*> named[] = {{"1 坡脚", &v.Vertex1},
                                                                 {"2 交线上端", &v.Vertex2},
                                                                 {"3 第一切割面坡顶角点", &v.Vertex3},
                                                                 {"4 第二切割面坡顶角点", &v.Vertex4}};
        for (const auto& [name, p] : named)
            points.Rows.push_back({name, withUnit(fixed(p->x), "m"), withUnit(fixed(p->y), "m"), withUnit(fixed(p->z), "m")});
        items.push_back(points);
    }
    return items;
}

std::vector<std::string> forceRow(const std::string& name, const TPoint3D& force) {
    const double magnitude = norm(force);
    if (magnitude == 0) return {name, withUnit("0", "kN"), "—", "—"};
    const LineDirection d = directionOf(force);
    return {name, withUnit(fixed(magnitude), "kN"), fixed(d.Trend), fixed(d.Plunge)};
}

ReportTable geometryTable(const RealWedge& full, const WedgeLoads& loads) {
    const WedgeShape& s = full.Analysis.Shape;
    const auto area = [&](WedgeSurface f) { return withUnit(fixed(s.Faces[int(f)].Area), "m²"); };
    const auto edge = [&](WedgeSurface a, WedgeSurface b) { return withUnit(fixed(edgeLength(s, a, b)), "m"); };
    const auto length = [](double v) { return withUnit(fixed(v), "m"); };
    const LineDirection line = intersectionDirection(s);
    ReportTable table{"实际楔块几何（实际坡顶面）",
                      {},
                      {{"体积 V", withUnit(fixed(s.Volume), "m³")},
                       {"重量 W", withUnit(fixed(norm(full.Analysis.Forces.Weight)), "kN")},
                       {"形心 (x, y, z)", length(s.Centroid.x) + ", " + length(s.Centroid.y) + ", " + length(s.Centroid.z)},
                       {"交线倾伏向（°）", fixed(line.Trend)},
                       {"交线倾伏角（°）", fixed(line.Plunge)},
                       {"交线上端高度", length(s.LineTop.z)},
                       {"第一切割面面积", area(WedgeSurface::FirstPlane)},
                       {"第二切割面面积", area(WedgeSurface::SecondPlane)},
                       {"坡面面积", area(WedgeSurface::SlopeFace)},
                       {"坡顶面面积", area(WedgeSurface::UpperSlope)}}};
    if (loads.Crack) table.Rows.push_back({"张裂缝面积", area(WedgeSurface::Crack)});
    table.Rows.insert(table.Rows.end(),
                      {{"坡面迹线长（第一、第二切割面）", edge(WedgeSurface::SlopeFace, WedgeSurface::FirstPlane) + ", " +
                                                          edge(WedgeSurface::SlopeFace, WedgeSurface::SecondPlane)},
                       {"坡顶面迹线长（第一、第二切割面）", edge(WedgeSurface::UpperSlope, WedgeSurface::FirstPlane) +
                                                            ", " + edge(WedgeSurface::UpperSlope, WedgeSurface::SecondPlane)}});
    return table;
}

ReportTable forceTable(const RealWedge& full, const WedgeLoads& l) {
    const WedgeForces& f = full.Analysis.Forces;
    ReportTable table{"作用力（均过形心）",
                      {"作用力", "大小", "方位角（°）", "倾伏角（°）"},
                      {forceRow("自重", f.Weight), forceRow("第一切割面水压力", f.Water1),
                       forceRow("第二切割面水压力", f.Water2)}};
    if (l.Crack) table.Rows.push_back(forceRow("张裂缝水压力", f.CrackWater));
    table.Rows.push_back(forceRow("地震力", f.Seismic));
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        table.Rows.push_back(forceRow("外力" + std::to_string(i + 1), l.Forces[i].Magnitude * directionVector(l.Forces[i].Direction)));
    table.Rows.push_back(forceRow("坡面压力", f.FaceLoad));
    table.Rows.push_back(forceRow("坡顶面压力", f.TopLoad));
    if (l.PondLevel) {
        table.Rows.push_back(forceRow("坡面外水压力", f.PondFace));
        table.Rows.push_back(forceRow("坡顶面外水压力", f.PondTop));
    }
    if (l.Shotcrete) table.Rows.push_back(forceRow("喷射混凝土自重", f.ShotcreteWeight));
    for (std::size_t i = 0; i < l.Bolts.size(); ++i)
        table.Rows.push_back(forceRow("锚杆" + std::to_string(i + 1) + "（" + boltModeText(l.Bolts[i].Mode) + "）",
                                      l.Bolts[i].Force * directionVector(l.Bolts[i].Direction)));
    table.Rows.push_back(forceRow("主动力合力", f.active()));
    return table;
}

std::string stateText(const FullAnalysis& a) { return a.State ? stabilityStateName(*a.State) : "未定"; }

ReportTable safetyTable(const RealWedge& full, const WedgeLoads& loads) {
    const FullSafety& s = full.Analysis.Safety;
    ReportTable table{"稳定分析结果（矢量法）",
                      {},
                      {{"接触状态", contactDescription(s.Contact)},
                       {"第一切割面法向力 N1", withUnit(fixed(s.Normal1), "kN")},
                       {"第二切割面法向力 N2", withUnit(fixed(s.Normal2), "kN")}}};
    // With a strength of its own on either plane: each plane's mean normal
    // stress and the shear it resists there.
    if (!plainStrengths(loads.Strength))
        for (int plane = 0; plane < 2; ++plane) {
            const double area = full.Analysis.Shape.Faces[plane].Area, normal = plane == 0 ? s.Normal1 : s.Normal2;
            const std::string n = std::to_string(plane + 1), which = plane == 0 ? "第一" : "第二";
            table.Rows.push_back({which + "切割面平均法向应力 σn" + n, withUnit(fixed(area > 0 ? normal / area : 0), "kPa")});
            table.Rows.push_back({which + "切割面抗剪力 T" + n, withUnit(fixed(plane == 0 ? s.Shear1 : s.Shear2), "kN")});
        }
    table.Rows.insert(table.Rows.end(), {{"下滑力", withUnit(fixed(s.Driving), "kN")},
                                         {"抗滑力", withUnit(fixed(s.Resisting), "kN")},
                                         {"安全系数 Fs", fixed(s.Factor)},
                                         {"所需安全系数 Fst", requiredFactorText(loads)},
                                         {"稳定状态", stateText(full.Analysis)}});
    return table;
}

std::string leastBoltText(const SupportDesign& d) {
    if (!d.Least) return "任何方向都无法达到所需安全系数";
    return "方位角 " + fixed(d.Least->Direction.Trend) + "°，倾伏角 " + fixed(d.Least->Direction.Plunge) +
           "°，所需锚固力 " + withUnit(fixed(d.Least->Force), "kN");
}

std::string designBoltText(const SupportDesign& d) {
    if (!d.Bolt) return "未给定方向";
    return directionText(d.Bolt->Direction, Sentence) + "（" + boltModeText(d.Bolt->Mode) + "），所需锚固力 " +
           (d.BoltForce ? withUnit(fixed(*d.BoltForce), "kN") : "该方向无法达到所需安全系数");
}

std::vector<ReportItem> fullItems(const FullOutcome& full) {
    if (!full.Report) return {ReportParagraph{"实际楔块的三维分析未能进行：" + full.Failure}};
    const RealWedge& r = *full.Report;
    if (r.Analysis.Refusal) return {ReportParagraph{"实际楔块：" + refusalMessage(*r.Analysis.Refusal)}};
    std::vector<ReportItem> items{geometryTable(r, *full.Loads)};
    if (const auto sizing = sizingRows(full.Loads->Size, r.Analysis.Size); !sizing.empty()) {
        ReportTable table{"楔块尺寸", {}, {}};
        for (const auto& [label, value] : sizing) table.Rows.push_back({label, value});
        items.push_back(table);
    }
    items.push_back(forceTable(r, *full.Loads));
    if (const std::string note = crackWaterNote(r.Analysis.Forces); full.Loads->Crack && !note.empty())
        items.push_back(ReportParagraph{note + "。"});
    items.insert(items.end(), {safetyTable(r, *full.Loads), ReportTable{"支护设计",
                                                                        {},
                                                                        {{"设计锚杆", designBoltText(r.Design)},
                                                                         {"最省力锚杆方向", leastBoltText(r.Design)}}}});
    return items;
}

// A distribution's numbers as the tool takes them: "LO:HI", "SD:LO:HI", ...
std::string boundsText(double low, double high) { return significant(low) + " ～ " + significant(high); }

std::string parametersText(const Distribution& d) {
    using Kind = Distribution::Kind;
    switch (d.Type) {
    case Kind::Normal:
    case Kind::Lognormal:
    case Kind::Gamma: return "标准差 " + significant(d.Spread);
    case Kind::Uniform:
    case Kind::Triangular: return boundsText(d.Low, d.High);
    case Kind::Beta: return "标准差 " + significant(d.Spread) + "，" + boundsText(d.Low, d.High);
    case Kind::Fixed:
    case Kind::Exponential: break;
    }
    return "—";
}

std::string truncationText(const Distribution& d) {
    if (!d.TruncateLow && !d.TruncateHigh) return "—";
    return (d.TruncateLow ? significant(*d.TruncateLow) : std::string("-∞")) + " ～ " +
           (d.TruncateHigh ? significant(*d.TruncateHigh) : std::string("∞"));
}

ReportTable variedInputsTable(const CalculationReportInputs& in, const ProbabilisticSettings& settings) {
    std::optional<BlockInputs> values;
    try {
        values = blockInputs(in.Block.Attitudes, in.Block.Params, in.Loads);
    } catch (const Error&) {
    }
    ReportTable table{"随机输入", {"随机输入", "块体取值", "分布", "分布参数", "截断范围"}, {}};
    for (int i = 0; i < ParameterCount; ++i) {
        const Distribution& d = settings.Distributions[i];
        if (d.Type == Distribution::Kind::Fixed) continue;
        const auto p = static_cast<Parameter>(i);
        table.Rows.push_back({parameterCaption(p), values ? significant(parameterValue(*values, p)) : "—",
                              distributionCaption(d.Type), parametersText(d), truncationText(d)});
    }
    for (int k = 0; k < 2; ++k)
        if (settings.Correlation[k] != 0)
            table.Rows.push_back({"平面" + std::to_string(k + 1) + "粘聚力与摩擦系数的相关系数", "—", "高斯 copula",
                                  significant(settings.Correlation[k]), "—"});
    return table;
}

void addStatistics(Rows& rows, const std::string& factor, const std::optional<SafetyStatistics>& s) {
    if (!s) {
        rows.push_back({factor + " 的统计", "没有切出楔块的样本"});
        return;
    }
    rows.push_back({factor + " 均值 / 标准差", significant(s->Mean) + " / " + significant(s->Sd)});
    rows.push_back({factor + " 最小 / 最大", significant(s->Min) + " / " + significant(s->Max)});
    rows.push_back({"P(" + factor + " < 1)", percent(s->Pf)});
}

std::vector<ReportItem> probabilisticItems(const CalculationReportInputs& in, const ProbabilisticRun& run) {
    const ProbabilisticResult& r = run.Result;
    const auto count = [&r](TWedgeContact c) { return std::to_string(r.Contacts[static_cast<int>(c)]); };
    ReportTable settings{"可靠度分析的设置",
                         {},
                         {{"抽样方法", run.Settings.Method == SamplingMethod::MonteCarlo ? "蒙特卡洛法" : "拉丁超立方抽样"},
                          {"样本数", std::to_string(r.Samples)},
                          {"随机种子", std::to_string(run.Settings.Seed)}}};
    ReportTable results{"可靠度分析结果",
                        {},
                        {{"切出楔块的样本（Kc）", std::to_string(r.Wedges)},
                         {"双面 / 单面接触 / 浮起", count(TWedgeContact::BothPlanes) + " / " +
                                                        std::to_string(r.Contacts[int(TWedgeContact::FirstPlaneOnly)] +
                                                                       r.Contacts[int(TWedgeContact::SecondPlaneOnly)]) +
                                                        " / " + count(TWedgeContact::LiftOff)},
                         {"不能切出块体 / 未定 / 计算失败", count(TWedgeContact::NoBlock) + " / " +
                                                                count(TWedgeContact::Unresolved) + " / " +
                                                                std::to_string(r.Failed)}}};
    addStatistics(results.Rows, "Kc", r.Statistics);
    results.Rows.push_back({"实际楔块存在的样本（Fs）", std::to_string(r.Full.Wedges)});
    addStatistics(results.Rows, "Fs", r.Full.Statistics);
    if (r.Full.Statistics)
        results.Rows.push_back({"P(Fs < Fst = " + floatToText(r.Full.RequiredFactor) + ")", percent(r.Full.PBelowRequired)});
    return {settings, variedInputsTable(in, run.Settings), results};
}

std::optional<BlockPoint> sensitivityBlockPoint(const CalculationReportInputs& in, Parameter input) {
    try {
        return blockPoint(blockInputs(in.Block.Attitudes, in.Block.Params, in.Loads), input);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::string sensitivityText(const CalculationReportInputs& in, const SensitivityRun& run, const FullOutcome& full) {
    const std::string name = parameterCaption(run.Input);
    std::string text = "敏感性分析：" + name;
    if (!run.Steps.empty())
        text += " 从 " + significant(run.Steps.front().Value) + " 到 " + significant(run.Steps.back().Value) + "，共 " +
                std::to_string(run.Steps.size() - 1) + " 步";
    if (const auto own = sensitivityBlockPoint(in, run.Input))
        text += "；块体取值 " + significant(own->Value) + " 时 Kc = " + significant(own->SafetyFactor);
    // The block's own Fs beside its Kc, as the window gives it.
    if (hasFactor(full)) text += "，Fs = " + significant(full.Report->Analysis.Safety.Factor);
    // Kc against 1 and, as the window shows it, Fs against the required factor.
    const auto crossingWords = [&name](const std::vector<double>& values, const std::string& limit, const std::string& none) {
        std::string crossings;
        for (double v : values) crossings += (crossings.empty() ? "" : "、") + significant(v);
        return crossings.empty() ? none : limit + " 时 " + name + " ≈ " + crossings;
    };
    const std::string required = floatToText(in.Loads.RequiredFactor);
    text += "；" + crossingWords(limitCrossings(run.Steps), "Kc = 1", "所选范围内 Kc 不经过 1");
    text += "；" + crossingWords(limitCrossings(run.Steps, true, in.Loads.RequiredFactor), "Fs = " + required,
                                 "所选范围内 Fs 不经过所需安全系数 " + required) +
            "。";
    return text;
}

ReportSection resultSection(const CalculationReportInputs& in, const BlockCorners& corners, const FullOutcome& full) {
    ReportSection section{"三、计算结果", {}};
    auto& items = section.Items;
    if (!in.Results) {
        const std::string reason = in.NoResults.empty() ? NeverAnalysedText : in.NoResults;
        items.push_back(ReportParagraph{corners.Vertices || corners.Problems.empty()
                                            ? reason
                                            : "不能求出块体的全部角点，未作分析：" + corners.problemText() + "。"});
        return section;
    }
    items.push_back(ReportHeading{"楔块稳定安全系数 Kc（坡顶面取水平于坡高处）"});
    for (ReportItem& item : kcItems(*in.Results, corners)) items.push_back(std::move(item));
    items.push_back(ReportHeading{"实际楔块三维分析"});
    for (ReportItem& item : fullItems(full)) items.push_back(std::move(item));
    if (in.Probabilistic) {
        items.push_back(ReportHeading{"可靠度分析"});
        for (ReportItem& item : probabilisticItems(in, *in.Probabilistic)) items.push_back(std::move(item));
    }
    if (in.Sensitivity) {
        items.push_back(ReportHeading{"敏感性分析"});
        items.push_back(ReportParagraph{sensitivityText(in, *in.Sensitivity, full)});
    }
    return section;
}

// ---- pictures ----

// A picture's place on the page has the figure's own proportions, within
// what leaves room for its caption and a second picture on the page.
ReportPicture picture(Figure figure, std::string caption) {
    const double aspect = (figure.yMax - figure.yMin) / std::max(figure.xMax - figure.xMin, 1e-9);
    return {std::move(figure), std::move(caption), std::clamp(aspect, 0.4, 0.75)};
}

// The checks of the measured planes against the block's face: a table of
// the modes and a net per mode with its critical zones shaded.
void addJointKinematics(std::vector<ReportItem>& items, const JointKinematicsInputs& joints) {
    const KinematicSlope& slope = joints.Result.Slope;
    items.push_back(ReportParagraph{"结构面测量文件 " + joints.File + " 的 " + std::to_string(joints.Planes.size()) +
                                    " 个结构面对坡面 " + attitudeLabel(slope.FaceDipDirection, slope.FaceDip) +
                                    " 的运动学分析：摩擦角 " + angleText(slope.FrictionAngle) + "，侧向界限 ±" +
                                    angleText(slope.LateralLimit) + "。平面滑动与弯曲倾倒按极点计，楔形滑动与直接倾倒按"
                                    "每两个结构面的交线计。"});
    const auto share = [](const KinematicCount& c) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f%%", c.percent());
        return std::string(text);
    };
    // Each mode over all planes, then per set (pairs of sets for the
    // intersections), as the window's table gives them.
    ReportTable table{"各破坏模式的临界结构面", {"破坏模式", "组", "对象", "临界数", "总数", "临界比例", "次要区"}, {}};
    for (KinematicMode mode : KinematicModes) {
        const ModeResult& m = joints.Result.mode(mode);
        const std::string object = checksIntersections(mode) ? "交线" : "极点";
        std::string secondary = "-";
        if (mode == KinematicMode::Wedge) secondary = "单面滑动 " + std::to_string(m.Secondary.Critical);
        if (mode == KinematicMode::DirectToppling) secondary = "斜向倾倒 " + std::to_string(m.Secondary.Critical);
        table.Rows.push_back({kinematicModeName(mode), "全部", object, std::to_string(m.All.Critical),
                              std::to_string(m.All.Total), share(m.All), secondary});
        for (const GroupCount& g : m.Groups)
            table.Rows.push_back({kinematicModeName(mode), g.Label, object, std::to_string(g.Count.Critical),
                                  std::to_string(g.Count.Total), share(g.Count), "-"});
    }
    items.push_back(std::move(table));
    for (KinematicMode mode : KinematicModes) {
        JointNetInput net;
        net.Planes = joints.Planes;
        net.Sets = joints.Sets;
        net.SlopeFace = TPlaneAttitude{slope.FaceDip, slope.FaceDipDirection};
        net.FrictionAngle = slope.FrictionAngle;
        net.LateralLimit = slope.LateralLimit;
        net.Mode = mode;
        net.Counts = joints.Result;
        net.Projection = NetProjection::EqualArea;
        items.push_back(picture(jointNetFigure(net), std::string("结构面运动学分析：") + kinematicModeName(mode) + "（" +
                                                         projectionTitle(net.Projection) + "）"));
    }
}

// The 3D view shows the real wedge with its loads where the full analysis
// found one, else the tetrahedron of the corners.
ReportSection pictureSection(const CalculationReportInputs& in, const BlockCorners& corners, const FullOutcome& full) {
    ReportSection section{"五、附图", {}, true};
    auto& items = section.Items;
    const NetProjection projection = NetProjection::EqualAngle;
    items.push_back(picture(stereonetFigure({in.Block.Attitudes, smallerFrictionAngle(in.Block.Params), projection,
                                             blockCaption(in.BlockName)}),
                            "赤平投影（" + projectionTitle(projection) + "）"));
    if (corners.Vertices) {
        const WedgeScene scene = blockScene(*corners.Vertices, full.Report ? &full.Report->Analysis : nullptr, in.Loads);
        items.push_back(picture(wedgeViewFigure(scene, defaultView(scene), blockCaption(in.BlockName)), "楔块三维视图"));
    } else
        items.push_back(ReportParagraph{"不能求出块体的全部角点，没有三维视图：" + corners.problemText() + "。"});
    if (in.Results && in.Probabilistic) {
        const ProbabilisticResult& r = in.Probabilistic->Result;
        items.push_back(picture(kcHistogramFigure(&r), "安全系数 Kc 直方图"));
        if (auto fs = fsHistogramFigure(r)) items.push_back(picture(std::move(*fs), "实际楔块安全系数 Fs 直方图"));
    }
    if (in.Joints) addJointKinematics(items, *in.Joints);
    if (in.Results && in.Sensitivity) {
        const std::string name = parameterCaption(in.Sensitivity->Input);
        items.push_back(picture(sensitivityFigure(in.Sensitivity->Steps, name, sensitivityBlockPoint(in, in.Sensitivity->Input)),
                                "安全系数 Kc 与" + name + "的关系"));
    }
    return section;
}

// ---- conclusion ----

std::string fullConclusion(const RealWedge& r, const WedgeLoads& loads) {
    const FullSafety& s = r.Analysis.Safety;
    const bool enough = *r.Analysis.State == StabilityState::Stable;
    std::string text = "按实际楔块三维分析，安全系数 Fs = " + fixed(s.Factor) + "（" + contactDescription(s.Contact) +
                       "），所需安全系数 Fst = " + requiredFactorText(loads) + "，稳定状态为“" +
                       stateText(r.Analysis) + "”，" + (enough ? "满足" : "不满足") + "所需安全系数的要求。";
    if (!enough) {
        if (r.Design.Bolt) text += "沿设计锚杆方向" + designBoltText(r.Design) + "。";
        text += r.Design.Least ? "所需锚固力最小的锚杆方向为" + leastBoltText(r.Design) + "。"
                               : "任何方向的锚杆都无法达到所需安全系数。";
    }
    return text + sizingSentence(loads.Size, r.Analysis.Size);
}

std::string kcConclusion(const BlockRun& r, double required) {
    const std::string kc = floatToText(r.Safety->SafetyFactor);
    return "按归一化方法（坡顶面取水平于坡高处），楔块稳定安全系数 Kc = " + kc + "（" +
           contactDescription(r.Safety->Contact) + "），" + (r.Safety->SafetyFactor >= required ? "不小于" : "小于") +
           "所需安全系数 " + floatToText(required) + "。";
}

ReportSection conclusionSection(const CalculationReportInputs& in, const FullOutcome& full) {
    ReportSection section{"四、结论", {}};
    if (!in.Results) {
        section.Items.push_back(ReportParagraph{"该块体没有计算结果，不能作出结论。"});
        return section;
    }
    if (hasFactor(full)) section.Items.push_back(ReportParagraph{fullConclusion(*full.Report, *full.Loads)});
    else section.Items.push_back(ReportParagraph{"实际楔块的三维分析没有得出安全系数，以下结论只依据 Kc。"});
    section.Items.push_back(ReportParagraph{kcConclusion(*in.Results, in.Loads.RequiredFactor)});
    if (in.Probabilistic && in.Probabilistic->Result.Full.Statistics)
        section.Items.push_back(ReportParagraph{
            "可靠度分析（" + std::to_string(in.Probabilistic->Result.Samples) + " 个样本）：P(Fs < Fst) = " +
            percent(in.Probabilistic->Result.Full.PBelowRequired) + "，P(Kc < 1) = " +
            (in.Probabilistic->Result.Statistics ? percent(in.Probabilistic->Result.Statistics->Pf) : "—") + "。"});
    return section;
}

std::string contentText(const CalculationReportInputs& in) {
    std::string text = "楔块稳定安全系数 Kc、实际楔块三维分析与支护设计";
    if (in.Probabilistic) text += "、可靠度分析";
    if (in.Sensitivity) text += "、敏感性分析";
    return text;
}

// Tables and pictures numbered through the report, headings within their
// section, so that a part left out leaves no gap in the numbers.
void number(CalculationReport& report) {
    int tables = 0, pictures = 0;
    for (ReportSection& section : report.Sections) {
        int headings = 0;
        for (ReportItem& item : section.Items) {
            if (auto* table = std::get_if<ReportTable>(&item); table && !table->Caption.empty())
                table->Caption = "表" + std::to_string(++tables) + " " + table->Caption;
            else if (auto* picture = std::get_if<ReportPicture>(&item))
                picture->Caption = "图" + std::to_string(++pictures) + " " + picture->Caption;
            else if (auto* heading = std::get_if<ReportHeading>(&item))
                heading->Text = std::to_string(++headings) + ". " + heading->Text;
        }
    }
}

} // namespace

CalculationReportInputs analysedReportInputs(const std::string& blockName, const SavedBlock& block,
                                             const WedgeLoads& loads, const std::string& date) {
    CalculationReportInputs in{blockName, block, loads, std::nullopt, {}, std::nullopt, std::nullopt, date};
    BlockRun run = runBlock(block, loads);
    if (run.Failure) in.NoResults = std::string("分析失败：") + run.Failure->what();
    if (run.complete()) in.Results = std::move(run);
    return in;
}

CalculationReport calculationReport(const CalculationReportInputs& in) {
    // Without results the report shows the corners the planes give, for
    // the 3D view and to say why the block could not be analysed.
    const BlockCorners corners =
        in.Results ? blockCorners(*in.Results) : blockCorners(in.Block.Quadrants, in.Block.Params.SlopeHeight);
    const FullOutcome full = fullOutcome(in);
    CalculationReport report;
    report.Title = "岩质边坡楔形体稳定性分析计算书";
    report.Header = "楔块 " + in.BlockName + " 稳定性分析计算书";
    report.Cover = {{"块体名称", in.BlockName},
                    {"计算内容", contentText(in)},
                    {"计算日期", in.Date},
                    {"计算程序", std::string("TRELMOX ") + Version},
                    {"计算", ""},
                    {"校核", ""},
                    {"审核", ""}};
    report.Sections = {inputSection(in), methodSection(in), resultSection(in, corners, full),
                       conclusionSection(in, full), pictureSection(in, corners, full)};
    number(report);
    return report;
}

std::string calculationReportFileName(const std::string& blockName) { return blockName + "计算书.pdf"; }

std::string todayText() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

} // namespace trelmox
