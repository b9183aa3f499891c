#include "report/size_text.h"

#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox {

namespace {

std::string fixed(double v) { return floatToFixed4(v); }

std::string minimumText(const WedgeSizeLimits& l) {
    std::string text;
    const auto add = [&](const char* name, const std::optional<double>& value) {
        if (value) text += (text.empty() ? "" : inLanguage("，", ", ")) + std::string(name) + " " + floatToText(*value);
    };
    add(inLanguage("体积", "volume"), l.MinVolume);
    add(inLanguage("重量", "weight"), l.MinWeight);
    add(inLanguage("高度", "height"), l.MinHeight);
    return text;
}

std::string scaleText(const WedgeSizing& s) {
    if (!s.Scale.Decider)
        return say("1（全高楔块满足全部尺寸限制）", "1 (the full-height wedge meets every size limit)");
    return fixed(s.Scale.Factor) + say("（由" + std::string(sizeLimitName(*s.Scale.Decider)) + "控制）",
                                       " (decided by the " + std::string(sizeLimitName(*s.Scale.Decider)) + ")");
}

} // namespace

const char* persistenceMeasureText(PersistenceMeasure measure) {
    return measure == PersistenceMeasure::AlongIntersection
               ? inLanguage("沿交线自坡面量取", "along the line of intersection from the slope face")
               : inLanguage("面上两角点间的最大距离", "the largest distance between two corners of the face");
}

std::vector<std::pair<std::string, std::string>> sizeLimitRows(const WedgeSizeLimits& l) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int k = 0; k < SizeLimitKindCount; ++k) {
        const auto kind = static_cast<SizeLimitKind>(k);
        if (const auto value = sizeLimit(l, kind)) rows.emplace_back(sizeLimitName(kind), floatToText(*value));
    }
    if (l.Persistence[0] || l.Persistence[1])
        rows.emplace_back(say("延伸长度的量法", "persistence measured"), persistenceMeasureText(l.Measure));
    if (l.Bench && l.Bench->CatchWidth)
        rows.emplace_back(say("最小安全平台宽度", "minimum catch bench width"), floatToText(*l.Bench->CatchWidth));
    if (const std::string minimum = minimumText(l); !minimum.empty())
        rows.emplace_back(say("楔块最小尺寸", "minimum wedge size"), minimum);
    return rows;
}

std::vector<std::pair<std::string, std::string>> sizingRows(const WedgeSizeLimits& l, const WedgeSizing& s) {
    if (!s.Limited) return {};
    std::vector<std::pair<std::string, std::string>> rows;
    if (l.bounds()) {
        rows.emplace_back(say("尺寸缩放系数", "size scale factor"), scaleText(s));
        rows.emplace_back(say("缩放后坡高", "scaled slope height"), fixed(s.Lengths.SlopeHeight));
    }
    rows.emplace_back(say("楔块高度", "wedge height"), fixed(s.Lengths.Height));
    const auto& persistence =
        l.Measure == PersistenceMeasure::AlongIntersection ? s.Lengths.PersistenceAlong : s.Lengths.PersistenceExtent;
    rows.emplace_back(say("延伸长度（" + std::string(persistenceMeasureText(l.Measure)) + "）",
                          "persistence (" + std::string(persistenceMeasureText(l.Measure)) + ")"),
                      say("第一切割面 " + fixed(persistence[0]) + "，第二切割面 " + fixed(persistence[1]),
                          "plane 1 " + fixed(persistence[0]) + ", plane 2 " + fixed(persistence[1])));
    rows.emplace_back(say("坡面迹线宽度（沿走向）", "trace width on the slope face (along strike)"),
                      fixed(s.Lengths.SlopeLength));
    if (l.Bench) {
        std::string bench = say("距坡顶线 " + fixed(s.Lengths.BackBreak) + "，沿坡顶线长 " +
                                    fixed(s.Lengths.CrestLength) + "，剩余平台宽度 " + fixed(*s.RemainingBench),
                                fixed(s.Lengths.BackBreak) + " from the crest, " + fixed(s.Lengths.CrestLength) +
                                    " long along the crest, remaining bench width " + fixed(*s.RemainingBench));
        if (l.Bench->CatchWidth)
            bench += s.BenchTooNarrow ? say("，窄于最小安全平台宽度", ", narrower than the minimum catch bench width")
                                      : say("，满足最小安全平台宽度", ", meets the minimum catch bench width");
        rows.emplace_back(say("台阶后缘破坏", "back-break of the bench"), bench);
    }
    if (s.TooSmall)
        rows.emplace_back(say("楔块尺寸", "wedge size"),
                          say("小于给定的最小尺寸，楔块过小，其安全系数不具代表性",
                              "below the minimum size given: the wedge is too small for its safety factor to matter"));
    return rows;
}

std::string sizingSentence(const WedgeSizeLimits& l, const WedgeSizing& s) {
    if (!s.Limited) return {};
    std::string text;
    const bool english = inEnglish();
    if (s.Scale.Decider)
        text = english
                   ? "The full-height wedge exceeds the limit of the " + std::string(sizeLimitName(*s.Scale.Decider)) +
                         "; the wedge analysed is the full-height wedge scaled by " + fixed(s.Scale.Factor) +
                         " (slope height " + fixed(s.Lengths.SlopeHeight) + ")."
                   : "全高楔块超出" + std::string(sizeLimitName(*s.Scale.Decider)) +
                         "的限制，分析的楔块按比例缩小为全高楔块的" + fixed(s.Scale.Factor) + "倍（坡高 " +
                         fixed(s.Lengths.SlopeHeight) + "）。";
    else if (l.bounds())
        text = say("全高楔块满足全部尺寸限制。", "The full-height wedge meets every size limit.");
    if (l.Bench && l.Bench->CatchWidth && s.BenchTooNarrow)
        text += english ? (text.empty() ? "" : " ") + std::string("The bench width remaining after the wedge fails, ") +
                              fixed(*s.RemainingBench) + ", is narrower than the minimum catch bench width " +
                              floatToText(*l.Bench->CatchWidth) + "."
                        : "楔块破坏后剩余平台宽度 " + fixed(*s.RemainingBench) + "，窄于最小安全平台宽度 " +
                              floatToText(*l.Bench->CatchWidth) + "。";
    if (s.TooSmall)
        text += say("楔块小于给定的最小尺寸，过小而不具代表性。",
                    (text.empty() ? "" : " ") +
                        std::string("The wedge is below the minimum size given: too small to matter."));
    return text;
}

} // namespace trelmox
