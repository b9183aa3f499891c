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
#include "model/numtext.h"
#include "model/wording.h"
#include "report/cloud_tables.h"
#include "report/figures.h"
#include "report/full_report.h"
#include "report/reliability_section.h"
#include "report/size_text.h"
#include "trelmox/version.h"

namespace trelmox {

namespace {

constexpr DirectionLayout Sentence = DirectionLayout::Sentence;

using Rows = std::vector<std::vector<std::string>>;

std::string fixed(double v) { return floatToFixed4(v); }
// "（text）" after Chinese, " (text)" after English.
std::string bracketed(const std::string& text) { return say("（" + text + "）", " (" + text + ")"); }
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
    ReportTable table{say("平面产状", "Plane attitudes"),
                      {say("平面", "plane"), say("倾角", "dip"), say("倾向", "dip direction"), say("走向", "strike"),
                       say("倾向及倾角", "dip quadrant and dip")},
                      {}};
    for (int i = 0; i < PlaneCount; ++i) {
        const TPlaneQuadrant& q = block.Quadrants[i];
        table.Rows.push_back({planeName(i), degrees(block.Attitudes[i].DipAngle),
                              degrees(block.Attitudes[i].DipDirection), q.StrikeNS + q.StrikeAngle + q.StrikeEW,
                              q.DipNS + q.DipEW + "∠" + q.DipAngle});
    }
    return table;
}

std::string waterPressureText(const TWedgeParams& p, const std::optional<double>& computed) {
    if (p.WaterPressureMode == TWaterPressureMode::Entered)
        return say("使用输入水压值：u1 = ", "entered values: u1 = ") + withUnit(p.WaterPressure1, "kPa") +
               say("，u2 = ", ", u2 = ") + withUnit(p.WaterPressure2, "kPa");
    std::string text = say("使用计算值：u1 = u2 = γw·H/6", "computed: u1 = u2 = γw·H/6");
    if (computed) text += " = " + withUnit(floatToText(*computed), "kPa");
    return text;
}

ReportTable parameterTable(const TWedgeParams& p, const std::optional<double>& computedWater) {
    return {say("物理力学参数", "Physical and mechanical parameters"),
            {say("参数", "parameter"), say("符号", "symbol"), say("数值", "value")},
            {{say("岩石容重", "rock unit weight"), "γ", withUnit(p.RockUnitWeight, "kN/m³")},
             {say("水的容重", "water unit weight"), "γw", withUnit(p.WaterUnitWeight, "kN/m³")},
             {say("坡高", "slope height"), "H", withUnit(p.SlopeHeight, "m")},
             {say("倒悬系数", "overhang coefficient"), "η", p.OverhangCoefficient},
             {say("第一切割面粘聚力", "cohesion of plane 1"), "c1", withUnit(p.Cohesion1, "kPa")},
             {say("第一切割面摩擦系数", "friction coefficient of plane 1"), "f1", p.Friction1},
             {say("第二切割面粘聚力", "cohesion of plane 2"), "c2", withUnit(p.Cohesion2, "kPa")},
             {say("第二切割面摩擦系数", "friction coefficient of plane 2"), "f2", p.Friction2},
             {say("水压力", "water pressure"), "u1, u2", waterPressureText(p, computedWater)}}};
}

std::string requiredFactorText(const WedgeLoads& l) {
    return floatToText(l.RequiredFactor) + (l.Preset ? bracketed(presetName(*l.Preset)) : "");
}

ReportTable loadTable(const WedgeLoads& l, const TWedgeParams& p) {
    ReportTable table{say("荷载与支护（实际楔块三维分析）", "Loads and support (3D analysis of the real wedge)"),
                      {},
                      {{say("水压力", "water pressure"), waterModeText(l, p)}}};
    Rows& rows = table.Rows;
    if (l.Crack) {
        std::string crack = say("倾角 ", "dip ") + degrees(l.Crack->Attitude.DipAngle) +
                            say("，倾向 ", ", dip direction ") + degrees(l.Crack->Attitude.DipDirection) +
                            say("，距坡顶线 ", ", from the crest ") + withUnit(floatToText(l.Crack->Distance), "m");
        if (l.Water == WaterMode::Saturated)
            crack += say("，充水深度 ", ", water depth ") + withUnit(floatToText(l.Crack->WaterDepth), "m");
        rows.push_back({say("张裂缝", "tension crack"), crack});
    } else {
        rows.push_back({say("张裂缝", "tension crack"), say("无", "none")});
    }
    rows.push_back(
        {say("地震系数 k", "seismic coefficient k"),
         floatToText(l.SeismicCoefficient) + say("，", ", ") +
             (l.SeismicDirection ? directionText(*l.SeismicDirection, Sentence)
                                 : say("沿交线倾伏向水平", "horizontal along the trend of the line of intersection"))});
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        rows.push_back({say("外力", "external force ") + std::to_string(i + 1),
                        withUnit(floatToText(l.Forces[i].Magnitude), "kN") + say("，", ", ") +
                            directionText(l.Forces[i].Direction, Sentence)});
    rows.push_back({say("坡面压力", "slope face pressure"), withUnit(floatToText(l.FacePressure), "kPa")});
    rows.push_back({say("坡顶面压力", "upper slope pressure"), withUnit(floatToText(l.TopPressure), "kPa")});
    if (l.Pressure1 != 0)
        rows.push_back({say("第一切割面压力", "pressure on plane 1"), withUnit(floatToText(l.Pressure1), "kPa")});
    if (l.Pressure2 != 0)
        rows.push_back({say("第二切割面压力", "pressure on plane 2"), withUnit(floatToText(l.Pressure2), "kPa")});
    if (l.CrackPressure != 0)
        rows.push_back(
            {say("张裂缝面压力", "pressure on the tension crack"), withUnit(floatToText(l.CrackPressure), "kPa")});
    if (l.PondLevel)
        rows.push_back({say("坡外水位", "external water level"),
                        withUnit(floatToText(*l.PondLevel), "m") + say("（高于坡脚）", " (above the toe)")});
    if (l.FacePressureDirection)
        rows.push_back(
            {say("坡面压力方向", "slope face pressure direction"), directionText(*l.FacePressureDirection, Sentence)});
    if (l.TopPressureDirection)
        rows.push_back({say("坡顶面压力方向", "upper slope pressure direction"),
                        directionText(*l.TopPressureDirection, Sentence)});
    if (l.Shotcrete)
        rows.push_back(
            {say("喷射混凝土（坡面）", "shotcrete (slope face)"),
             say("厚度 ", "thickness ") + withUnit(floatToText(l.Shotcrete->Thickness), "m") +
                 say("，抗剪强度 ", ", shear strength ") + withUnit(floatToText(l.Shotcrete->ShearStrength), "kPa") +
                 say("，容重 ", ", unit weight ") + withUnit(floatToText(l.Shotcrete->UnitWeight), "kN/m³")});
    for (std::size_t i = 0; i < l.Bolts.size(); ++i)
        rows.push_back({say("锚杆", "bolt ") + std::to_string(i + 1) + bracketed(boltModeText(l.Bolts[i].Mode)),
                        (l.Bolts[i].Capacity ? capacityText(*l.Bolts[i].Capacity, inLanguage("，", ", ")) +
                                                   say("，置于坡面迹线形心", ", at the centroid of the face trace")
                                             : withUnit(floatToText(l.Bolts[i].Force), "kN")) +
                            say("，", ", ") + directionText(l.Bolts[i].Direction, Sentence)});
    if (l.Pattern)
        rows.push_back(
            {say("系统锚杆", "bolt pattern") + bracketed(boltModeText(l.Pattern->Mode)),
             say("走向间距 ", "spacing along strike ") + withUnit(floatToText(l.Pattern->SpacingStrike), "m") +
                 say("，倾向间距 ", ", spacing along dip ") + withUnit(floatToText(l.Pattern->SpacingDip), "m") +
                 say("，", ", ") + capacityText(l.Pattern->Capacity, inLanguage("，", ", ")) + say("，", ", ") +
                 directionText(l.Pattern->Direction, Sentence)});
    if (!plainStrengths(l.Strength))
        for (int plane = 0; plane < 2; ++plane)
            rows.push_back({say(plane == 0 ? "第一切割面抗剪强度" : "第二切割面抗剪强度",
                                plane == 0 ? "shear strength of plane 1" : "shear strength of plane 2"),
                            strengthText(l.Strength[plane], plane, p)});
    rows.push_back({say("所需安全系数 Fst", "required safety factor Fst"), requiredFactorText(l)});
    rows.push_back({say("设计锚杆方向", "design bolt direction"),
                    l.Design
                        ? directionText(l.Design->Direction, Sentence) + say("，", ", ") + boltModeText(l.Design->Mode)
                        : say("未给定", "not given")});
    for (const auto& [label, value] : sizeLimitRows(l.Size)) rows.push_back({label, value});
    return table;
}

ReportSection inputSection(const CalculationReportInputs& in) {
    ReportSection section{say("一、基本资料", "1 Basic data"), {}, true};
    auto& items = section.Items;
    items.push_back(ReportParagraph{say(
        "倾角与倾伏角自水平面向下为正，倾向与方位角自正北顺时针计，单位均为度；"
        "坐标 x 向东、y 向北、z 向上，原点在坡脚（坡面与两切割面的交点）。"
        "长度、力与压力采用与容重一致的单位制。",
        "Dips and plunges are positive downwards from the horizontal, dip directions and trends clockwise from north, all in degrees; "
        "coordinates x east, y north, z up, with the origin at the toe (where the slope face and the two planes meet). "
        "Lengths, forces and pressures are in the system of units of the unit weights.")});
    items.push_back(planeTable(in.Block));
    items.push_back(parameterTable(in.Block.Params, in.Facts.ComputedWaterPressure));
    items.push_back(loadTable(in.Loads, in.Block.Params));
    if (in.Loads == WedgeLoads{})
        items.push_back(ReportParagraph{say(
            "该块体没有荷载文件：按块体自身的水压力计算，无张裂缝、地震力及其他荷载。",
            "The block has no loads file: it is analysed with its own water pressures, without tension crack, seismic force or other loads.")});
    return section;
}

// ---- methods ----

ReportSection methodSection(const CalculationReportInputs& in) {
    ReportSection section{say("二、计算方法", "2 Methods"), {}};
    auto& items = section.Items;
    const auto add = [&items](std::string heading, std::string text) {
        items.push_back(ReportHeading{std::move(heading)});
        items.push_back(ReportParagraph{std::move(text)});
    };
    add(say("楔块稳定安全系数 Kc", "Wedge safety factor Kc"),
        say("按刚体极限平衡，由两切割面的产状求出楔块压在两切割面上的法向力（扣除水压力），"
            "据其正负判定双面接触、单面接触或浮起，Kc 为抗滑力（粘聚力与摩擦力之和）与沿滑动方向的下滑力之比。"
            "各力均按第二切割面在楔块上的面积归一化，楔块的坡顶面取为坡高 H 处的水平面，因此 Kc 只需坡高，不用角点；"
            "坡顶面倾斜时，Kc 所指的楔块与下列体积、高度和交线倾角所描述的实际楔块并不相同。",
            "By rigid-body limit equilibrium, the normal forces of the wedge on the two planes (less the water pressures) follow from the planes' attitudes; "
            "their signs decide contact on both planes, on one plane or lift-off, and Kc is the ratio of the resisting force (cohesion plus friction) to the driving force along the sliding direction. "
            "All forces are normalised by the area of plane 2 on the wedge and the upper slope is taken as the horizontal plane at the slope height H, so Kc needs the slope height and no corners; "
            "where the upper slope is inclined, the wedge of Kc is not the real wedge that the volume, height and plunge below describe."));
    add(say("楔块几何", "Wedge geometry"),
        say("由坡顶面、坡面和两切割面三三相交求出楔块的四个角点。体积为以坡顶面上的三角形为底、"
            "以坡脚到坡顶面的距离为高的四面体体积，交线倾角为坡脚到交线上端连线的倾角。",
            "The four corners of the wedge are the intersections of the upper slope, the slope face and the two planes taken three at a time. The volume is that of the tetrahedron with the triangle on the upper slope as its base "
            "and the distance from the toe to the upper slope as its height; the plunge is that of the line from the toe to the upper end of the line of intersection."));
    add(say("实际楔块三维分析 Fs", "3D analysis of the real wedge Fs"),
        say("楔块取为两切割面、坡面、实际坡顶面（及张裂缝）所围的多面体，求其体积、形心与各面面积。"
            "自重、水压力、地震力（k 乘自重）、外力、坡面与坡顶面压力及锚杆力均作用于形心；"
            "由主动力的合力按矢量法求两切割面的法向反力并判定接触状态，抗滑力取粘聚力乘实际面积与摩擦力之和，"
            "被动锚杆沿滑动方向的拉力计入抗滑力，Fs 为抗滑力与下滑力之比。"
            "稳定状态按 GB 50330-2013：Fs < 1.00 不稳定，1.00 ≤ Fs < 1.05 欠稳定，1.05 ≤ Fs < Fst 基本稳定，"
            "Fs ≥ Fst 稳定。支护设计求沿给定方向的锚杆达到 Fst 所需的锚固力，以及所需锚固力最小的锚杆方向。",
            "The wedge is the polyhedron bounded by the two planes, the slope face and the real upper slope (and the tension crack), with its volume, centroid and face areas. "
            "The weight, water forces, seismic force (k times the weight), external forces, slope face and upper slope pressures and bolt forces act at the centroid; "
            "the vector method gives the normal reactions of the two planes from the resultant active force and decides the contact, the resisting force is cohesion times the real area plus friction, "
            "the pull of passive bolts along the sliding direction is added to the resisting force, and Fs is the ratio of the resisting to the driving force. "
            "The stability state follows GB 50330-2013: Fs < 1.00 unstable, 1.00 ≤ Fs < 1.05 marginally stable, 1.05 ≤ Fs < Fst basically stable, "
            "Fs ≥ Fst stable. The support design finds the bolt force that reaches Fst along the given direction, and the bolt direction needing the least force."));
    if (!plainStrengths(in.Loads.Strength))
        add(say("节理面抗剪强度", "Shear strength of the joints"),
            say("第一、第二切割面的抗剪强度按“荷载与支护”表所列的模型计算：莫尔-库仑取 c、f；巴顿-班迪斯"
                " τ = σn·tan(φr + JRC·lg(JCS/σn))，摩擦角不大于 70°，σn 达到 JCS 后取 φr，σn 趋于 0 时抗剪强度随之趋于 0；"
                "幂函数曲线 τ = a·(σn − c)^b + d，σn ≤ c 时取 d；霍克-布朗按广义准则在该法向应力处的瞬时粘聚力与内摩擦角。"
                "起伏角 i 加在摩擦角（非线性模型取该应力处的瞬时摩擦角）上，加后不超过 70°。"
                "σn 取该切割面的平均法向应力 N/A（N 为矢量法求得的法向反力，已扣除水压力，A 为实际面积），"
                "抗滑力为各切割面在 σn 处的抗剪强度乘其面积之和。法向反力只由垂直于滑动方向的平衡求得，与 Fs 无关，"
                "故 Fs 由抗滑力与下滑力之比直接求得，无需迭代；支护所需的锚固力按上述计算逐步搜索求得。",
                "The shear strength of planes 1 and 2 follows the models of the table \"Loads and support\": Mohr-Coulomb with c and f; Barton-Bandis"
                " τ = σn·tan(φr + JRC·lg(JCS/σn)) with the friction angle at most 70°, φr once σn reaches JCS, and a strength going to 0 with σn; "
                "the power curve τ = a·(σn − c)^b + d, d where σn ≤ c; Hoek-Brown with the instantaneous cohesion and friction angle of the generalised criterion at the normal stress. "
                "The waviness angle i is added to the friction angle (for the non-linear models the instantaneous one at the stress), to at most 70°. "
                "σn is the plane's mean normal stress N/A (N the normal reaction of the vector method, less the water pressure, A the real area), "
                "and the resisting force is the sum of each plane's shear strength at σn times its area. The normal reactions follow from the equilibrium normal to the sliding direction alone and do not depend on Fs, "
                "so Fs is the ratio of the resisting to the driving force without iteration; the bolt force the support needs is found by searching with this calculation."));
    const WedgeLoads& l = in.Loads;
    if (l.Water == WaterMode::Filled || l.PondLevel || l.Pressure1 != 0 || l.Pressure2 != 0 || l.CrackPressure != 0)
        add(say("水压力", "water pressure"),
            say("部分充水时，两切割面上的水压力取饱和楔体的分布乘充水百分比，张裂缝中的水深取其可充水深度乘该百分比。"
                "坡外水位（坑湖、水库）以上无水压力，以下坡面与坡顶面受静水压力；两切割面各点的水压力取水压模式所给值"
                "与坡外水位静水压力二者中的大者，张裂缝中的水位不低于坡外水位。完全淹没的楔块所受水压力的合力即其浮力。"
                "输入的切割面及张裂缝面压力为均布压力，与水压模式所给的水压力相加。",
                "A partly filled wedge has the water pressures of a saturated wedge on the two planes times the percentage filled, and a water depth in the tension crack of its full depth times that percentage. "
                "Above the external water level (pit lake, reservoir) there is no water pressure, below it the slope face and upper slope carry hydrostatic pressure; each point of the two planes has the larger of the pressure of the water mode "
                "and the hydrostatic pressure of the external water, and the water in the tension crack stands no lower than the external water. The resultant water force on a submerged wedge is its buoyancy. "
                "The pressures entered on the planes and the tension crack are uniform and add to those of the water mode."));
    if (l.Shotcrete)
        add(say("喷射混凝土", "Shotcrete"),
            say("坡面喷射混凝土随楔块滑出时须沿楔块在坡面上的迹线（两切割面及张裂缝的迹线，不含坡顶线）被剪断，"
                "其抗剪力为抗剪强度乘厚度乘迹线长度，与粘聚力一样计入抗滑力；其自重作用于楔块。",
                "Shotcrete on the slope face must shear along the wedge's trace on the face (the traces of the two planes and the tension crack, not the crest) for the wedge to slide out; "
                "its shear resistance, shear strength times thickness times trace length, is added to the resisting force like cohesion, and its weight acts on the wedge."));
    if (in.Probabilistic)
        add(say("可靠度分析", "Probabilistic analysis"),
            say("各随机输入按表列分布抽样（蒙特卡洛法或拉丁超立方抽样），每个样本都按上述方法计算 Kc 与 Fs；"
                "失效概率为切出楔块的样本中 Kc < 1（Fs < 1、Fs < Fst）所占的比例，浮起的样本计为失效。",
                "Each random input is drawn from the distribution in the table (Monte Carlo or Latin hypercube sampling) and each sample gives Kc and Fs by the methods above; "
                "the probability of failure is the share of the samples with a wedge that have Kc < 1 (Fs < 1, Fs < Fst), a sample that lifts off counting as failed."));
    if (in.Reliability) add(say("可靠指标分析", "Reliability index analysis"), reliabilityMethodText());
    if (in.Sensitivity)
        add(say("敏感性分析", "Sensitivity analysis"),
            say("一个输入在给定范围内等步长变化、其余输入取块体取值时 Kc 与 Fs 的变化。",
                "How Kc and Fs change as one input runs over a range in equal steps, the others keeping the block's values."));
    return section;
}

// ---- results ----

std::vector<ReportItem> kcItems(const BlockRun& r, const BlockCorners& corners) {
    const FigureTexts texts = figureTexts(*r.Geometry, *r.Safety);
    ReportTable table{say("楔块稳定安全系数 Kc 与楔块几何", "Wedge safety factor Kc and wedge geometry"),
                      {},
                      {{say("楔块安全系数 Kc", "wedge safety factor Kc"), texts.SafetyFactor},
                       {say("接触状态", "contact"), contactDescription(r.Safety->Contact)}}};
    if (const std::string message = contactMessage(r.Safety->Contact); !message.empty())
        table.Rows.push_back({say("说明", "note"), message});
    table.Rows.insert(table.Rows.end(),
                      {{say("楔块的体积 V", "wedge volume V"), withUnit(texts.Volume, "m³")},
                       {say("楔块的高度 h", "wedge height h"), withUnit(texts.Height, "m")},
                       {say("楔块交线的倾角 βab（°）", "plunge of the line of intersection βab (°)"), texts.Plunge}});
    std::vector<ReportItem> items{table};
    if (corners.Vertices) {
        const BlockVertices& v = *corners.Vertices;
        ReportTable points{say("楔块角点坐标", "Wedge corner coordinates"), {say("角点", "corner"), "x", "y", "z"}, {}};
        const std::pair<const char*, const TPoint3D*> named[] = {
            {inLanguage("1 坡脚", "1 toe"), &v.Vertex1},
            {inLanguage("2 交线上端", "2 upper end of the line of intersection"), &v.Vertex2},
            {inLanguage("3 第一切割面坡顶角点", "3 crest corner of plane 1"), &v.Vertex3},
            {inLanguage("4 第二切割面坡顶角点", "4 crest corner of plane 2"), &v.Vertex4}};
        for (const auto& [name, p] : named)
            points.Rows.push_back(
                {name, withUnit(fixed(p->x), "m"), withUnit(fixed(p->y), "m"), withUnit(fixed(p->z), "m")});
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
    ReportTable table{say("实际楔块几何（实际坡顶面）", "Geometry of the real wedge (real upper slope)"),
                      {},
                      {{say("体积 V", "volume V"), withUnit(fixed(s.Volume), "m³")},
                       {say("重量 W", "weight W"), withUnit(fixed(norm(full.Analysis.Forces.Weight)), "kN")},
                       {say("形心 (x, y, z)", "centroid (x, y, z)"),
                        length(s.Centroid.x) + ", " + length(s.Centroid.y) + ", " + length(s.Centroid.z)},
                       {say("交线倾伏向（°）", "trend of the line of intersection (°)"), fixed(line.Trend)},
                       {say("交线倾伏角（°）", "plunge of the line of intersection (°)"), fixed(line.Plunge)},
                       {say("交线上端高度", "height of the upper end of the line"), length(s.LineTop.z)},
                       {say("第一切割面面积", "area of plane 1"), area(WedgeSurface::FirstPlane)},
                       {say("第二切割面面积", "area of plane 2"), area(WedgeSurface::SecondPlane)},
                       {say("坡面面积", "area on the slope face"), area(WedgeSurface::SlopeFace)},
                       {say("坡顶面面积", "area on the upper slope"), area(WedgeSurface::UpperSlope)}}};
    if (loads.Crack) table.Rows.push_back({say("张裂缝面积", "area of the tension crack"), area(WedgeSurface::Crack)});
    table.Rows.insert(table.Rows.end(),
                      {{say("坡面迹线长（第一、第二切割面）", "trace lengths on the slope face (planes 1, 2)"),
                        edge(WedgeSurface::SlopeFace, WedgeSurface::FirstPlane) + ", " +
                            edge(WedgeSurface::SlopeFace, WedgeSurface::SecondPlane)},
                       {say("坡顶面迹线长（第一、第二切割面）", "trace lengths on the upper slope (planes 1, 2)"),
                        edge(WedgeSurface::UpperSlope, WedgeSurface::FirstPlane) + ", " +
                            edge(WedgeSurface::UpperSlope, WedgeSurface::SecondPlane)}});
    return table;
}

ReportTable forceTable(const RealWedge& full, const WedgeLoads& l) {
    const WedgeForces& f = full.Analysis.Forces;
    ReportTable table{say("作用力（均过形心）", "Forces (all through the centroid)"),
                      {say("作用力", "force"), say("大小", "magnitude"), say("方位角（°）", "trend (°)"),
                       say("倾伏角（°）", "plunge (°)")},
                      {forceRow(say("自重", "weight"), f.Weight),
                       forceRow(say("第一切割面水压力", "water force on plane 1"), f.Water1),
                       forceRow(say("第二切割面水压力", "water force on plane 2"), f.Water2)}};
    if (l.Crack) table.Rows.push_back(forceRow(say("张裂缝水压力", "water force in the tension crack"), f.CrackWater));
    table.Rows.push_back(forceRow(say("地震力", "seismic force"), f.Seismic));
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        table.Rows.push_back(forceRow(say("外力", "external force ") + std::to_string(i + 1),
                                      l.Forces[i].Magnitude * directionVector(l.Forces[i].Direction)));
    table.Rows.push_back(forceRow(say("坡面压力", "slope face pressure"), f.FaceLoad));
    table.Rows.push_back(forceRow(say("坡顶面压力", "upper slope pressure"), f.TopLoad));
    if (l.PondLevel) {
        table.Rows.push_back(forceRow(say("坡面外水压力", "external water on the slope face"), f.PondFace));
        table.Rows.push_back(forceRow(say("坡顶面外水压力", "external water on the upper slope"), f.PondTop));
    }
    if (l.Shotcrete) table.Rows.push_back(forceRow(say("喷射混凝土自重", "shotcrete weight"), f.ShotcreteWeight));
    for (std::size_t i = 0; i < l.Bolts.size(); ++i) {
        const bool held = l.Bolts[i].Capacity && i < f.BoltHolds.size();
        table.Rows.push_back(
            forceRow(say("锚杆", "bolt ") + std::to_string(i + 1) + bracketed(boltModeText(l.Bolts[i].Mode)) +
                         (held ? std::string(say("，", ", ")) + holdText(f.BoltHolds[i], inLanguage("，", ", ")) : ""),
                     (held ? f.BoltHolds[i].Force : l.Bolts[i].Force) * directionVector(l.Bolts[i].Direction)));
    }
    if (l.Pattern)
        table.Rows.push_back(forceRow(say("系统锚杆", "bolt pattern") + bracketed(boltModeText(l.Pattern->Mode)) +
                                          say("，", ", ") + patternText(f),
                                      f.PatternForce * directionVector(l.Pattern->Direction)));
    table.Rows.push_back(forceRow(say("主动力合力", "resultant active force"), f.active()));
    return table;
}

std::string stateText(const FullAnalysis& a) {
    return a.State ? stabilityStateName(*a.State) : say("未定", "undetermined");
}

ReportTable safetyTable(const RealWedge& full, const WedgeLoads& loads) {
    const FullSafety& s = full.Analysis.Safety;
    ReportTable table{say("稳定分析结果（矢量法）", "Stability results (vector method)"),
                      {},
                      {{say("接触状态", "contact"), contactDescription(s.Contact)},
                       {say("第一切割面法向力 N1", "normal force on plane 1 N1"), withUnit(fixed(s.Normal1), "kN")},
                       {say("第二切割面法向力 N2", "normal force on plane 2 N2"), withUnit(fixed(s.Normal2), "kN")}}};
    // With a strength of its own on either plane: each plane's mean normal
    // stress and the shear it resists there.
    if (!plainStrengths(loads.Strength))
        for (int plane = 0; plane < 2; ++plane) {
            const double area = full.Analysis.Shape.Faces[plane].Area, normal = plane == 0 ? s.Normal1 : s.Normal2;
            const std::string n = std::to_string(plane + 1), which = plane == 0 ? "第一" : "第二";
            table.Rows.push_back(
                {say(which + "切割面平均法向应力 σn" + n, "mean normal stress on plane " + n + " σn" + n),
                 withUnit(fixed(area > 0 ? normal / area : 0), "kPa")});
            table.Rows.push_back({say(which + "切割面抗剪力 T" + n, "shear force on plane " + n + " T" + n),
                                  withUnit(fixed(plane == 0 ? s.Shear1 : s.Shear2), "kN")});
        }
    table.Rows.insert(table.Rows.end(),
                      {{say("下滑力", "driving force"), withUnit(fixed(s.Driving), "kN")},
                       {say("抗滑力", "resisting force"), withUnit(fixed(s.Resisting), "kN")},
                       {say("安全系数 Fs", "safety factor Fs"), boundedFactor(full.Analysis, fixed(s.Factor))},
                       {say("所需安全系数 Fst", "required safety factor Fst"), requiredFactorText(loads)},
                       {say("稳定状态", "stability state"), stateText(full.Analysis)}});
    return table;
}

std::string leastBoltText(const SupportDesign& d) {
    if (!d.Least)
        return say("任何方向都无法达到所需安全系数", "the required safety factor cannot be reached in any direction");
    const std::string note = leastBoltNote(d);
    return say("方位角 ", "trend ") + fixed(d.Least->Direction.Trend) + say("°，倾伏角 ", "°, plunge ") +
           fixed(d.Least->Direction.Plunge) + say("°，所需锚固力 ", "°, required bolt force ") +
           withUnit(fixed(d.Least->Force), "kN") + (note.empty() ? "" : say("（", " (") + note + say("）", ")"));
}

std::string designBoltText(const SupportDesign& d) {
    if (!d.Bolt) return say("未给定方向", "no direction given");
    return directionText(d.Bolt->Direction, Sentence) + bracketed(boltModeText(d.Bolt->Mode)) +
           say("，所需锚固力 ", ", required bolt force ") +
           (d.BoltForce
                ? withUnit(fixed(*d.BoltForce), "kN")
                : say("该方向无法达到所需安全系数", "the required safety factor cannot be reached in this direction"));
}

std::vector<ReportItem> fullItems(const FullOutcome& full) {
    if (!full.Report)
        return {ReportParagraph{
            say("实际楔块的三维分析未能进行：", "The 3D analysis of the real wedge could not be made: ") +
            full.Failure}};
    const RealWedge& r = *full.Report;
    if (r.Analysis.Refusal)
        return {ReportParagraph{say("实际楔块：", "Real wedge: ") + refusalMessage(*r.Analysis.Refusal)}};
    std::vector<ReportItem> items{geometryTable(r, *full.Loads)};
    if (const auto sizing = sizingRows(full.Loads->Size, r.Analysis.Size); !sizing.empty()) {
        ReportTable table{say("楔块尺寸", "Wedge size"), {}, {}};
        for (const auto& [label, value] : sizing) table.Rows.push_back({label, value});
        items.push_back(table);
    }
    items.push_back(forceTable(r, *full.Loads));
    if (const std::string note = crackWaterNote(r.Analysis.Forces); full.Loads->Crack && !note.empty())
        items.push_back(ReportParagraph{note + say("。", ".")});
    items.insert(items.end(),
                 {safetyTable(r, *full.Loads),
                  ReportTable{say("支护设计", "Support design"),
                              {},
                              {{say("设计锚杆", "design bolt"), designBoltText(r.Design)},
                               {say("最省力锚杆方向", "most efficient bolt direction"), leastBoltText(r.Design)}}}});
    return items;
}

// A distribution's numbers as the tool takes them: "LO:HI", "SD:LO:HI", ...
std::string boundsText(double low, double high) { return significant(low) + say(" ～ ", " to ") + significant(high); }

std::string parametersText(const Distribution& d) {
    using Kind = Distribution::Kind;
    switch (d.Type) {
    case Kind::Normal:
    case Kind::Lognormal:
    case Kind::Gamma: return say("标准差 ", "standard deviation ") + significant(d.Spread);
    case Kind::Uniform:
    case Kind::Triangular: return boundsText(d.Low, d.High);
    case Kind::Beta:
        return say("标准差 ", "standard deviation ") + significant(d.Spread) + say("，", ", ") +
               boundsText(d.Low, d.High);
    case Kind::Fixed:
    case Kind::Exponential: break;
    }
    return "—";
}

std::string truncationText(const Distribution& d) {
    if (!d.TruncateLow && !d.TruncateHigh) return "—";
    return (d.TruncateLow ? significant(*d.TruncateLow) : std::string("-∞")) + say(" ～ ", " to ") +
           (d.TruncateHigh ? significant(*d.TruncateHigh) : std::string("∞"));
}

ReportTable variedInputsTable(const CalculationReportInputs& in, const ProbabilisticSettings& settings) {
    const std::optional<BlockInputs>& values = in.Facts.Values;
    ReportTable table{say("随机输入", "Random inputs"),
                      {say("随机输入", "Random inputs"), say("块体取值", "block value"), say("分布", "distribution"),
                       say("分布参数", "parameters"), say("截断范围", "truncation")},
                      {}};
    for (int i = 0; i < ParameterCount; ++i) {
        const Distribution& d = settings.Distributions[i];
        if (d.Type == Distribution::Kind::Fixed) continue;
        const auto p = static_cast<Parameter>(i);
        table.Rows.push_back({parameterCaption(p), values ? significant(parameterValue(*values, p)) : "—",
                              distributionCaption(d.Type), parametersText(d), truncationText(d)});
    }
    for (int k = 0; k < 2; ++k)
        if (settings.Correlation[k] != 0)
            table.Rows.push_back(
                {say("平面" + std::to_string(k + 1) + "粘聚力与摩擦系数的相关系数",
                     "correlation of cohesion and friction coefficient of plane " + std::to_string(k + 1)),
                 "—", say("高斯 copula", "Gaussian copula"), significant(settings.Correlation[k]), "—"});
    return table;
}

void addStatistics(Rows& rows, const std::string& factor, const std::optional<SafetyStatistics>& s) {
    if (!s) {
        rows.push_back({factor + say(" 的统计", " statistics"), say("没有切出楔块的样本", "no sample with a wedge")});
        return;
    }
    rows.push_back({factor + say(" 均值 / 标准差", " mean / standard deviation"),
                    significant(s->Mean) + " / " + significant(s->Sd)});
    rows.push_back(
        {factor + say(" 最小 / 最大", " minimum / maximum"), significant(s->Min) + " / " + significant(s->Max)});
    rows.push_back({"P(" + factor + " < 1)", percent(s->Pf)});
}

std::vector<ReportItem> probabilisticItems(const CalculationReportInputs& in, const ProbabilisticRun& run) {
    const ProbabilisticResult& r = run.Result;
    const auto count = [&r](TWedgeContact c) { return std::to_string(r.Contacts[static_cast<int>(c)]); };
    ReportTable settings{say("可靠度分析的设置", "Settings of the probabilistic analysis"),
                         {},
                         {{say("抽样方法", "sampling"), run.Settings.Method == SamplingMethod::MonteCarlo
                                                            ? say("蒙特卡洛法", "Monte Carlo")
                                                            : say("拉丁超立方抽样", "Latin hypercube")},
                          {say("样本数", "samples"), std::to_string(r.Samples)},
                          {say("随机种子", "random seed"), std::to_string(run.Settings.Seed)}}};
    ReportTable results{say("可靠度分析结果", "Results of the probabilistic analysis"),
                        {},
                        {{say("切出楔块的样本（Kc）", "samples with a wedge (Kc)"), std::to_string(r.Wedges)},
                         {say("双面 / 单面接触 / 浮起", "contact on both planes / one plane / lift-off"),
                          count(TWedgeContact::BothPlanes) + " / " +
                              std::to_string(r.Contacts[int(TWedgeContact::FirstPlaneOnly)] +
                                             r.Contacts[int(TWedgeContact::SecondPlaneOnly)]) +
                              " / " + count(TWedgeContact::LiftOff)},
                         {say("不能切出块体 / 未定 / 计算失败", "no block / unresolved / failed"),
                          count(TWedgeContact::NoBlock) + " / " + count(TWedgeContact::Unresolved) + " / " +
                              std::to_string(r.Failed)}}};
    addStatistics(results.Rows, "Kc", r.Statistics);
    results.Rows.push_back(
        {say("实际楔块存在的样本（Fs）", "samples with a real wedge (Fs)"), std::to_string(r.Full.Wedges)});
    addStatistics(results.Rows, "Fs", r.Full.Statistics);
    if (r.Full.Statistics)
        results.Rows.push_back(
            {"P(Fs < Fst = " + floatToText(r.Full.RequiredFactor) + ")", percent(r.Full.PBelowRequired)});
    return {settings, variedInputsTable(in, run.Settings), results};
}

std::string sensitivityText(const CalculationReportInputs& in, const SensitivityRun& run, const FullOutcome& full) {
    const std::string name = parameterCaption(run.Input);
    const bool english = inEnglish();
    std::string text = say("敏感性分析：", "Sensitivity analysis: ") + name;
    if (!run.Steps.empty())
        text += say(" 从 " + significant(run.Steps.front().Value) + " 到 " + significant(run.Steps.back().Value) +
                        "，共 " + std::to_string(run.Steps.size() - 1) + " 步",
                    " from " + significant(run.Steps.front().Value) + " to " + significant(run.Steps.back().Value) +
                        " in " + std::to_string(run.Steps.size() - 1) + " steps");
    if (const auto& own = run.Own)
        text += say("；块体取值 " + significant(own->Value) + " 时 Kc = " + significant(own->SafetyFactor),
                    "; at the block's value " + significant(own->Value) + " Kc = " + significant(own->SafetyFactor));
    // The block's own Fs beside its Kc, as the window gives it.
    if (hasFactor(full))
        text += say("，Fs = ", ", Fs = ") +
                boundedFactor(full.Report->Analysis, significant(full.Report->Analysis.Safety.Factor));
    // Kc against 1 and, as the window shows it, Fs against the required factor.
    const auto crossingWords = [&name, english](const std::vector<double>& values, const std::string& limit,
                                                const std::string& none) {
        std::string crossings;
        for (double v : values) crossings += (crossings.empty() ? "" : english ? ", " : "、") + significant(v);
        if (crossings.empty()) return none;
        return english ? limit + " at " + name + " ≈ " + crossings : limit + " 时 " + name + " ≈ " + crossings;
    };
    const std::string required = floatToText(in.Loads.RequiredFactor);
    text += say("；", "; ") + crossingWords(limitCrossings(run.Steps), "Kc = 1",
                                            say("所选范围内 Kc 不经过 1", "Kc does not pass 1 within the range"));
    text += say("；", "; ") +
            crossingWords(limitCrossings(run.Steps, true, in.Loads.RequiredFactor), "Fs = " + required,
                          say("所选范围内 Fs 不经过所需安全系数 " + required,
                              "Fs does not pass the required safety factor " + required + " within the range")) +
            say("。", ".");
    return text;
}

// The windows' reasons for a report without results, in the language of
// the report; any other reason is as it was worded.
std::string noResultsText(const std::string& reason) {
    if (!inEnglish()) return reason;
    if (reason == NeverAnalysedText)
        return "The block has not been analysed: press \"Analyse\" in the analysis window before making the calculation "
               "report. This report lists the input data only.";
    if (reason == StaleResultsText)
        return "The block data changed after the last analysis, whose results do not belong to the data of this report: "
               "press \"Analyse\" again before making the calculation report. This report lists the input data only.";
    return reason;
}

ReportSection resultSection(const CalculationReportInputs& in, const BlockCorners& corners, const FullOutcome& full) {
    ReportSection section{say("三、计算结果", "3 Results"), {}};
    auto& items = section.Items;
    if (!in.Results) {
        const std::string reason = noResultsText(in.NoResults.empty() ? NeverAnalysedText : in.NoResults);
        items.push_back(ReportParagraph{corners.Vertices || corners.Problems.empty()
                                            ? reason
                                            : say("不能求出块体的全部角点，未作分析：",
                                                  "Not all corners of the block can be found; not analysed: ") +
                                                  corners.problemText() + say("。", ".")});
        return section;
    }
    items.push_back(ReportHeading{say("楔块稳定安全系数 Kc（坡顶面取水平于坡高处）",
                                      "Wedge safety factor Kc (upper slope horizontal at the slope height)")});
    for (ReportItem& item : kcItems(*in.Results, corners)) items.push_back(std::move(item));
    items.push_back(ReportHeading{say("实际楔块三维分析", "3D analysis of the real wedge")});
    for (ReportItem& item : fullItems(full)) items.push_back(std::move(item));
    if (in.Probabilistic) {
        items.push_back(ReportHeading{say("可靠度分析", "Probabilistic analysis")});
        for (ReportItem& item : probabilisticItems(in, *in.Probabilistic)) items.push_back(std::move(item));
    }
    if (in.Reliability) {
        items.push_back(ReportHeading{say("可靠指标分析", "Reliability index analysis")});
        for (ReportItem& item : reliabilityItems(in, *in.Reliability)) items.push_back(std::move(item));
    }
    if (in.Sensitivity) {
        items.push_back(ReportHeading{say("敏感性分析", "Sensitivity analysis")});
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
    items.push_back(ReportParagraph{
        say("结构面测量文件 " + joints.File + " 的 " + std::to_string(joints.Planes.size()) + " 个结构面对坡面 " +
                attitudeLabel(slope.FaceDipDirection, slope.FaceDip) + " 的运动学分析：摩擦角 " +
                angleText(slope.FrictionAngle) + "，侧向界限 ±" + angleText(slope.LateralLimit) +
                "。平面滑动与弯曲倾倒按极点计，楔形滑动与直接倾倒按每两个结构面的交线计。",
            "Kinematic analysis of the " + std::to_string(joints.Planes.size()) + " planes of the measurement file " +
                joints.File + " against the slope face " + attitudeLabel(slope.FaceDipDirection, slope.FaceDip) +
                ": friction angle " + angleText(slope.FrictionAngle) + ", lateral limits ±" +
                angleText(slope.LateralLimit) +
                ". Planar sliding and flexural toppling are checked by the poles, wedge sliding and direct toppling by "
                "the lines of intersection of every two planes.")});
    const auto share = [](const KinematicCount& c) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f%%", c.percent());
        return std::string(text);
    };
    // Each mode over all planes, then per set (pairs of sets for the
    // intersections), as the window's table gives them.
    ReportTable table{say("各破坏模式的临界结构面", "Critical planes by failure mode"),
                      {say("破坏模式", "failure mode"), say("组", "set"), say("对象", "checked"),
                       say("临界数", "critical"), say("总数", "total"), say("临界比例", "critical share"),
                       say("次要区", "secondary zone")},
                      {}};
    for (KinematicMode mode : KinematicModes) {
        const ModeResult& m = joints.Result.mode(mode);
        const std::string object = checksIntersections(mode) ? say("交线", "intersections") : say("极点", "poles");
        std::string secondary = "-";
        if (mode == KinematicMode::Wedge)
            secondary = say("单面滑动 ", "sliding on one plane ") + std::to_string(m.Secondary.Critical);
        if (mode == KinematicMode::DirectToppling)
            secondary = say("斜向倾倒 ", "oblique toppling ") + std::to_string(m.Secondary.Critical);
        table.Rows.push_back({kinematicModeName(mode), say("全部", "all"), object, std::to_string(m.All.Critical),
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
        items.push_back(picture(jointNetFigure(net), say("结构面运动学分析：", "Kinematic analysis of the planes: ") +
                                                         kinematicModeName(mode) +
                                                         bracketed(projectionTitle(net.Projection))));
    }
}

// The 3D view shows the real wedge with its loads where the full analysis
// found one, else the tetrahedron of the corners.
ReportSection pictureSection(const CalculationReportInputs& in, const BlockCorners& corners, const FullOutcome& full) {
    ReportSection section{say("五、附图", "5 Figures"), {}, true};
    auto& items = section.Items;
    const NetProjection projection = NetProjection::EqualAngle;
    items.push_back(picture(stereonetFigure({in.Block.Attitudes, smallerFrictionAngle(in.Block.Params), projection,
                                             blockCaption(in.BlockName)}),
                            say("赤平投影", "Stereonet") + bracketed(projectionTitle(projection))));
    if (corners.Vertices) {
        const WedgeScene scene =
            blockScene(*corners.Vertices, full.Report ? &full.Report->Analysis : nullptr, in.Loads);
        items.push_back(picture(wedgeViewFigure(scene, defaultView(scene), blockCaption(in.BlockName)),
                                say("楔块三维视图", "3D view of the wedge")));
    } else
        items.push_back(ReportParagraph{
            say("不能求出块体的全部角点，没有三维视图：", "Not all corners of the block can be found; no 3D view: ") +
            corners.problemText() + say("。", ".")});
    if (in.Results && in.Probabilistic) {
        const ProbabilisticResult& r = in.Probabilistic->Result;
        items.push_back(picture(kcHistogramFigure(&r), say("安全系数 Kc 直方图", "Histogram of the safety factor Kc")));
        if (auto fs = fsHistogramFigure(r))
            items.push_back(picture(std::move(*fs), say("实际楔块安全系数 Fs 直方图",
                                                        "Histogram of the safety factor Fs of the real wedge")));
    }
    if (in.Joints && in.Joints->Cloud) addCloudSource(items, *in.Joints->Cloud);
    if (in.Joints) addJointKinematics(items, *in.Joints);
    if (in.Results && in.Sensitivity) {
        const std::string name = parameterCaption(in.Sensitivity->Input);
        items.push_back(picture(sensitivityFigure(in.Sensitivity->Steps, name, in.Sensitivity->Own),
                                say("安全系数 Kc 与" + name + "的关系", "Safety factor Kc against " + name)));
    }
    return section;
}

// ---- conclusion ----

std::string fullConclusion(const RealWedge& r, const WedgeLoads& loads) {
    const FullSafety& s = r.Analysis.Safety;
    const bool enough = *r.Analysis.State == StabilityState::Stable;
    if (inEnglish()) {
        std::string text = "By the 3D analysis of the real wedge the safety factor is Fs = " +
                           boundedFactor(r.Analysis, fixed(s.Factor)) + " (" + contactDescription(s.Contact) +
                           "), the required safety factor Fst = " + requiredFactorText(loads) +
                           ", the stability state \"" + stateText(r.Analysis) + "\": it " +
                           (enough ? "meets" : "does not meet") + " the required safety factor.";
        if (!enough) {
            if (r.Design.Bolt) text += " Along the design bolt direction: " + designBoltText(r.Design) + ".";
            text += r.Design.Least ? " The bolt direction needing the least force: " + leastBoltText(r.Design) + "."
                                   : " No bolt in any direction reaches the required safety factor.";
        }
        const std::string sizing = sizingSentence(loads.Size, r.Analysis.Size);
        return sizing.empty() ? text : text + " " + sizing;
    }
    std::string text = "按实际楔块三维分析，安全系数 Fs = " + boundedFactor(r.Analysis, fixed(s.Factor)) + "（" +
                       contactDescription(s.Contact) + "），所需安全系数 Fst = " + requiredFactorText(loads) +
                       "，稳定状态为“" + stateText(r.Analysis) + "”，" + (enough ? "满足" : "不满足") +
                       "所需安全系数的要求。";
    if (!enough) {
        if (r.Design.Bolt) text += "沿设计锚杆方向" + designBoltText(r.Design) + "。";
        text += r.Design.Least ? "所需锚固力最小的锚杆方向为" + leastBoltText(r.Design) + "。"
                               : "任何方向的锚杆都无法达到所需安全系数。";
    }
    return text + sizingSentence(loads.Size, r.Analysis.Size);
}

std::string kcConclusion(const BlockRun& r, double required) {
    const std::string kc = floatToText(r.Safety->SafetyFactor);
    if (inEnglish())
        return "By the normalised method (upper slope horizontal at the slope height) the wedge safety factor is Kc = " +
               kc + " (" + contactDescription(r.Safety->Contact) + "), " +
               (r.Safety->SafetyFactor >= required ? "not less than" : "less than") + " the required safety factor " +
               floatToText(required) + ".";
    return "按归一化方法（坡顶面取水平于坡高处），楔块稳定安全系数 Kc = " + kc + "（" +
           contactDescription(r.Safety->Contact) + "），" + (r.Safety->SafetyFactor >= required ? "不小于" : "小于") +
           "所需安全系数 " + floatToText(required) + "。";
}

ReportSection conclusionSection(const CalculationReportInputs& in, const FullOutcome& full) {
    ReportSection section{say("四、结论", "4 Conclusions"), {}};
    if (!in.Results) {
        section.Items.push_back(ReportParagraph{
            say("该块体没有计算结果，不能作出结论。", "The block has no results; no conclusion can be drawn.")});
        return section;
    }
    if (hasFactor(full))
        section.Items.push_back(ReportParagraph{fullConclusion(*full.Report, *full.Loads)});
    else
        section.Items.push_back(ReportParagraph{
            say("实际楔块的三维分析没有得出安全系数，以下结论只依据 Kc。",
                "The 3D analysis of the real wedge gave no safety factor; the conclusion below rests on Kc alone.")});
    section.Items.push_back(ReportParagraph{kcConclusion(*in.Results, in.Loads.RequiredFactor)});
    if (in.Probabilistic && in.Probabilistic->Result.Full.Statistics)
        section.Items.push_back(ReportParagraph{
            say("可靠度分析（" + std::to_string(in.Probabilistic->Result.Samples) + " 个样本）：P(Fs < Fst) = ",
                "Probabilistic analysis (" + std::to_string(in.Probabilistic->Result.Samples) +
                    " samples): P(Fs < Fst) = ") +
            percent(in.Probabilistic->Result.Full.PBelowRequired) + say("，P(Kc < 1) = ", ", P(Kc < 1) = ") +
            (in.Probabilistic->Result.Statistics ? percent(in.Probabilistic->Result.Statistics->Pf) : "—") +
            say("。", ".")});
    if (in.Reliability) section.Items.push_back(ReportParagraph{reliabilityConclusion(*in.Reliability)});
    return section;
}

std::string contentText(const CalculationReportInputs& in) {
    std::string text = say("楔块稳定安全系数 Kc、实际楔块三维分析与支护设计",
                           "wedge safety factor Kc, 3D analysis of the real wedge and support design");
    if (in.Probabilistic) text += say("、可靠度分析", ", probabilistic analysis");
    if (in.Reliability) text += say("、可靠指标分析", ", reliability index analysis");
    if (in.Sensitivity) text += say("、敏感性分析", ", sensitivity analysis");
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
                table->Caption = say("表", "Table ") + std::to_string(++tables) + " " + table->Caption;
            else if (auto* picture = std::get_if<ReportPicture>(&item))
                picture->Caption = say("图", "Figure ") + std::to_string(++pictures) + " " + picture->Caption;
            else if (auto* heading = std::get_if<ReportHeading>(&item))
                heading->Text = std::to_string(++headings) + ". " + heading->Text;
        }
    }
}

} // namespace

CalculationReport calculationReport(const CalculationReportInputs& in) {
    // Without results the report shows the corners the planes give, for
    // the 3D view and to say why the block could not be analysed.
    const BlockCorners& corners = in.Facts.Corners;
    const FullOutcome full = fullOutcome(in);
    CalculationReport report;
    report.Title = say("岩质边坡楔形体稳定性分析计算书", "Calculation report: stability of a rock slope wedge");
    report.Header =
        say("楔块 " + in.BlockName + " 稳定性分析计算书", "Wedge " + in.BlockName + " stability calculation report");
    report.Cover = {
        {say("块体名称", "block"), in.BlockName}, {say("计算内容", "contents"), contentText(in)},
        {say("计算日期", "date"), in.Date},       {say("计算程序", "program"), std::string("TRELMOX ") + Version},
        {say("计算", "calculated by"), ""},       {say("校核", "checked by"), ""},
        {say("审核", "approved by"), ""}};
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
