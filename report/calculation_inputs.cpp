#include "report/calculation_parts.h"

#include "model/numtext.h"
#include "model/wording.h"
#include "report/full_report.h"
#include "report/reliability_section.h"
#include "report/size_text.h"

namespace trelmox::report_parts {

namespace {

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
    for (const auto& [label, value] : loadFieldRows(l)) rows.push_back({label, value});
    if (l.PondLevel)
        rows.push_back({say("坡外水位", "external water level"),
                        withUnit(floatToText(*l.PondLevel), "m") + say("（高于坡脚）", " (above the toe)")});
    for (const auto& [label, direction] : loadDirectionRows(l))
        rows.push_back({label, directionText(direction, Sentence)});
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

} // namespace

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

} // namespace trelmox::report_parts
