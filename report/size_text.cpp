#include "report/size_text.h"

#include "model/numtext.h"

namespace trelmox {

namespace {

std::string fixed(double v) { return floatToFixed4(v); }

std::string minimumText(const WedgeSizeLimits& l) {
    std::string text;
    const auto add = [&](const char* name, const std::optional<double>& value) {
        if (value) text += (text.empty() ? "" : "，") + std::string(name) + " " + floatToText(*value);
    };
    add("体积", l.MinVolume);
    add("重量", l.MinWeight);
    add("高度", l.MinHeight);
    return text;
}

std::string scaleText(const WedgeSizing& s) {
    if (!s.Scale.Decider) return "1（全高楔块满足全部尺寸限制）";
    return fixed(s.Scale.Factor) + "（由" + sizeLimitName(*s.Scale.Decider) + "控制）";
}

} // namespace

const char* persistenceMeasureText(PersistenceMeasure measure) {
    return measure == PersistenceMeasure::AlongIntersection ? "沿交线自坡面量取" : "面上两角点间的最大距离";
}

std::vector<std::pair<std::string, std::string>> sizeLimitRows(const WedgeSizeLimits& l) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int k = 0; k < SizeLimitKindCount; ++k) {
        const auto kind = static_cast<SizeLimitKind>(k);
        if (const auto value = sizeLimit(l, kind)) rows.emplace_back(sizeLimitName(kind), floatToText(*value));
    }
    if (l.Persistence[0] || l.Persistence[1]) rows.emplace_back("延伸长度的量法", persistenceMeasureText(l.Measure));
    if (l.Bench && l.Bench->CatchWidth) rows.emplace_back("最小安全平台宽度", floatToText(*l.Bench->CatchWidth));
    if (const std::string minimum = minimumText(l); !minimum.empty()) rows.emplace_back("楔块最小尺寸", minimum);
    return rows;
}

std::vector<std::pair<std::string, std::string>> sizingRows(const WedgeSizeLimits& l, const WedgeSizing& s) {
    if (!s.Limited) return {};
    std::vector<std::pair<std::string, std::string>> rows;
    if (l.bounds()) {
        rows.emplace_back("尺寸缩放系数", scaleText(s));
        rows.emplace_back("缩放后坡高", fixed(s.Lengths.SlopeHeight));
    }
    rows.emplace_back("楔块高度", fixed(s.Lengths.Height));
    const auto& persistence = l.Measure == PersistenceMeasure::AlongIntersection ? s.Lengths.PersistenceAlong
                                                                                 : s.Lengths.PersistenceExtent;
    rows.emplace_back("延伸长度（" + std::string(persistenceMeasureText(l.Measure)) + "）",
                      "第一切割面 " + fixed(persistence[0]) + "，第二切割面 " + fixed(persistence[1]));
    rows.emplace_back("坡面迹线宽度（沿走向）", fixed(s.Lengths.SlopeLength));
    if (l.Bench) {
        std::string bench = "距坡顶线 " + fixed(s.Lengths.BackBreak) + "，沿坡顶线长 " + fixed(s.Lengths.CrestLength) +
                            "，剩余平台宽度 " + fixed(*s.RemainingBench);
        if (l.Bench->CatchWidth) bench += s.BenchTooNarrow ? "，窄于最小安全平台宽度" : "，满足最小安全平台宽度";
        rows.emplace_back("台阶后缘破坏", bench);
    }
    if (s.TooSmall) rows.emplace_back("楔块尺寸", "小于给定的最小尺寸，楔块过小，其安全系数不具代表性");
    return rows;
}

std::string sizingSentence(const WedgeSizeLimits& l, const WedgeSizing& s) {
    if (!s.Limited) return {};
    std::string text;
    if (s.Scale.Decider)
        text = "全高楔块超出" + std::string(sizeLimitName(*s.Scale.Decider)) + "的限制，分析的楔块按比例缩小为全高楔块的" +
               fixed(s.Scale.Factor) + "倍（坡高 " + fixed(s.Lengths.SlopeHeight) + "）。";
    else if (l.bounds())
        text = "全高楔块满足全部尺寸限制。";
    if (l.Bench && l.Bench->CatchWidth && s.BenchTooNarrow)
        text += "楔块破坏后剩余平台宽度 " + fixed(*s.RemainingBench) + "，窄于最小安全平台宽度 " +
                floatToText(*l.Bench->CatchWidth) + "。";
    if (s.TooSmall) text += "楔块小于给定的最小尺寸，过小而不具代表性。";
    return text;
}

} // namespace trelmox
