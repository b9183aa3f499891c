#include "report/calculation_report.h"

#include <algorithm>
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
#include "report/calculation_parts.h"
#include "report/cloud_tables.h"
#include "report/figures.h"
#include "report/full_report.h"
#include "report/reliability_section.h"
#include "report/size_text.h"
#include "trelmox/version.h"

namespace trelmox {

using namespace report_parts;

namespace {

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
            (full.Failure ? full.Failure->what() : "")}};
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
    items.push_back(picture(stereonetFigure({in.Block.Attitudes, smallerFrictionAngle(in.Facts.Parameters), projection,
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