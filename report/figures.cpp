#include "report/figures.h"

#include <algorithm>
#include <cmath>

#include "model/numtext.h"
#include "model/size_limits.h"
#include "model/wording.h"

namespace trelmox {

FigureTexts figureTexts(const WedgeGeometry& geometry, const SafetyResult& safety) {
    return {floatToFixed4(geometry.Volume), floatToFixed4(geometry.Height), floatToFixed4(geometry.IntersectionPlunge),
            floatToText(safety.SafetyFactor)};
}

std::string withUnit(const std::string& figure, const char* unit) { return figure + " " + unit; }

std::vector<std::pair<std::string, std::string>> loadFieldRows(const WedgeLoads& loads,
                                                               std::span<const LoadField> fields) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const LoadField& f : fields) {
        if (!f.ReportChinese || !f.stored(loads)) continue;
        const std::string figure = floatToText(*f.Get(loads));
        rows.emplace_back(say(f.ReportChinese, f.ReportEnglish), *f.Unit ? withUnit(figure, f.Unit) : figure);
    }
    return rows;
}

std::vector<std::pair<std::string, LineDirection>> loadDirectionRows(const WedgeLoads& loads,
                                                                     std::span<const LoadDirection> directions) {
    std::vector<std::pair<std::string, LineDirection>> rows;
    for (const LoadDirection& d : directions)
        if (const std::optional<LineDirection> direction = d.Get(loads); direction && d.ReportChinese)
            rows.emplace_back(say(d.ReportChinese, d.ReportEnglish), *direction);
    return rows;
}

std::string tabsAfter(const std::string& label) {
    // A Chinese character (three bytes in UTF-8) takes two columns.
    std::size_t columns = 0;
    for (unsigned char c : label)
        if (c < 0x80)
            ++columns;
        else if (c >= 0xC0)
            columns += 2;
    return columns < 24 ? "\t\t" : "\t";
}

std::string capacityText(const BoltCapacity& c, const char* gap) {
    const std::string g = gap;
    std::string text = std::string(boltTypeName(c.Type)) + g + say("长度 ", "length ") +
                       withUnit(floatToText(c.Length), "m") + g + say("杆体抗拉力 ", "tendon capacity ") +
                       withUnit(floatToText(c.Tendon), "kN");
    if (c.Type != BoltType::GroutedDowel)
        text += g + say("垫板承载力 ", "plate capacity ") + withUnit(floatToText(c.Plate), "kN");
    return text + g + say("粘结强度 ", "bond strength ") + withUnit(floatToText(c.Bond), "kN/m");
}

std::string holdText(const BoltHold& h, const char* gap) {
    const std::string g = gap;
    return say("控制：", "limited by: ") + boltLimitName(h.Limit) + g + say("楔块内长度 ", "length inside the wedge ") +
           withUnit(floatToFixed4(h.Inside), "m") + g + say("锚固长度 ", "anchored length ") +
           withUnit(floatToFixed4(h.Beyond), "m");
}

std::string patternText(const WedgeForces& f) {
    const auto anchored = std::count_if(f.PatternHolds.begin(), f.PatternHolds.end(),
                                        [](const BoltHold& h) { return h.Limit != BoltLimit::NotAnchored; });
    return say("坡面上" + std::to_string(f.PatternHolds.size()) + "根，其中锚入节理外岩体" + std::to_string(anchored) +
                   "根",
               std::to_string(f.PatternHolds.size()) + " on the slope face, " + std::to_string(anchored) +
                   " of them anchored beyond the joints");
}

std::string directionText(const LineDirection& d, DirectionLayout layout) {
    const auto deg = [](double angle) { return floatToText(angle) + "°"; };
    switch (layout) {
    case DirectionLayout::Columns:
        return say("方位角\t", "trend\t") + deg(d.Trend) + say("\t倾伏角\t", "\tplunge\t") + deg(d.Plunge);
    case DirectionLayout::Sentence:
        return say("方位角 ", "trend ") + deg(d.Trend) + say("，倾伏角 ", ", plunge ") + deg(d.Plunge);
    case DirectionLayout::Brief: break;
    }
    return say("方位角", "trend ") + deg(std::round(d.Trend * 10) / 10) + say("，倾伏角", ", plunge ") +
           deg(std::round(d.Plunge * 10) / 10);
}

std::string boundedFactor(const FullAnalysis& analysis, const std::string& figure) {
    return analysis.Note ? "> " + floatToText(FactorBound) : figure;
}

namespace {

void sizeTexts(const FullAnalysis& a, const WedgeSizeLimits& limits, FullFigureTexts& t) {
    t.Volume = floatToFixed4(a.Shape.Volume);
    t.Weight = floatToFixed4(std::abs(a.Forces.Weight.z)); // straight down
    const WedgeSizing& s = a.Size;
    if (!s.Limited) return;
    if (s.Scale.Decider) {
        t.Scale = floatToFixed4(s.Scale.Factor);
        t.ScaleDecider = sizeLimitName(*s.Scale.Decider);
        t.FullVolume = floatToFixed4(s.FullVolume);
    }
    std::string warning;
    if (s.TooSmall)
        warning = say("楔块小于给定的最小尺寸，过小而不具代表性。", "The wedge is below the minimum size given: too "
                                                                    "small to matter.");
    if (limits.Bench && limits.Bench->CatchWidth && s.BenchTooNarrow && s.RemainingBench)
        warning += say("楔块破坏后剩余平台宽度 " + floatToFixed4(*s.RemainingBench) + "，窄于最小安全平台宽度 " +
                           floatToText(*limits.Bench->CatchWidth) + "。",
                       std::string(warning.empty() ? "" : " ") + "The bench left after the wedge fails, " +
                           floatToFixed4(*s.RemainingBench) + " wide, is narrower than the minimum catch bench width " +
                           floatToText(*limits.Bench->CatchWidth) + ".");
    t.SizeWarning = warning;
}

} // namespace

FullFigureTexts fullFigureTexts(const BlockRun& run) {
    const FullAnalysis& a = run.Full->Analysis;
    const SupportDesign& d = run.Full->Design;
    const WedgeLoads& loads = run.Loads;
    FullFigureTexts t;
    t.Contact = contactDescription(a.Safety.Contact);
    if (a.Refusal) return t;
    t.Factor = boundedFactor(a, floatToText(a.Safety.Factor));
    sizeTexts(a, loads.Size, t);
    t.State = a.State ? stabilityStateName(*a.State) : inLanguage("未定", "undetermined");
    t.Required =
        floatToText(loads.RequiredFactor) +
        (loads.Preset ? say("（" + presetName(*loads.Preset) + "）", " (" + presetName(*loads.Preset) + ")") : "");
    if (!d.Bolt)
        t.DesignBolt = say("未给定设计锚杆方向", "no design bolt direction given");
    else if (!d.BoltForce)
        t.DesignBolt = say("沿设计方向无法达到所需安全系数",
                           "the required safety factor cannot be reached along the design direction");
    else
        t.DesignBolt = floatToFixed4(*d.BoltForce);
    t.LeastBolt = d.Least ? floatToFixed4(d.Least->Force) + inLanguage("，", ", ") +
                                directionText(d.Least->Direction, DirectionLayout::Brief)
                          : say("任何方向都无法达到所需安全系数",
                                "the required safety factor cannot be reached in any direction");
    if (const std::string note = leastBoltNote(d); !note.empty())
        t.LeastBolt += inLanguage("（", " (") + note + inLanguage("）", ")");
    return t;
}

} // namespace trelmox
