#include "report/figures.h"

#include <cmath>

#include "model/numtext.h"

namespace trelmox {

FigureTexts figureTexts(const WedgeGeometry& geometry, const SafetyResult& safety) {
    return {floatToFixed4(geometry.Volume), floatToFixed4(geometry.Height), floatToFixed4(geometry.IntersectionPlunge),
            floatToText(safety.SafetyFactor)};
}

std::string withUnit(const std::string& figure, const char* unit) { return figure + " " + unit; }

std::string directionText(const LineDirection& d, DirectionLayout layout) {
    const auto deg = [](double angle) { return floatToText(angle) + "°"; };
    switch (layout) {
    case DirectionLayout::Columns: return "方位角\t" + deg(d.Trend) + "\t倾伏角\t" + deg(d.Plunge);
    case DirectionLayout::Sentence: return "方位角 " + deg(d.Trend) + "，倾伏角 " + deg(d.Plunge);
    case DirectionLayout::Brief: break;
    }
    return "方位角" + deg(std::round(d.Trend * 10) / 10) + "，倾伏角" + deg(std::round(d.Plunge * 10) / 10);
}

FullFigureTexts fullFigureTexts(const BlockRun& run) {
    const FullAnalysis& a = run.Full->Analysis;
    const SupportDesign& d = run.Full->Design;
    const WedgeLoads& loads = run.Loads;
    FullFigureTexts t;
    t.Contact = contactDescription(a.Safety.Contact);
    if (a.Refusal) return t;
    t.Factor = floatToText(a.Safety.Factor);
    t.State = a.State ? stabilityStateName(*a.State) : "未定";
    t.Required = floatToText(loads.RequiredFactor) + (loads.Preset ? "（" + presetName(*loads.Preset) + "）" : "");
    if (!d.Bolt) t.DesignBolt = "未给定设计锚杆方向";
    else if (!d.BoltForce) t.DesignBolt = "沿设计方向无法达到所需安全系数";
    else t.DesignBolt = floatToFixed4(*d.BoltForce);
    t.LeastBolt = d.Least ? floatToFixed4(d.Least->Force) + "，" + directionText(d.Least->Direction, DirectionLayout::Brief)
                          : "任何方向都无法达到所需安全系数";
    return t;
}

} // namespace trelmox
