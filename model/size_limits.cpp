#include "model/size_limits.h"

#include <cmath>
#include <limits>
#include <string>

#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

bool WedgeSizeLimits::bounds() const {
    for (int i = 0; i < 2; ++i)
        if (FaceTrace[i] || TopTrace[i] || Persistence[i]) return true;
    return SlopeLength || Bench;
}

const char* sizeLimitName(SizeLimitKind kind) {
    switch (kind) {
    case SizeLimitKind::FaceTrace1:
        return inLanguage("平面1在坡面上的迹长", "trace length of plane 1 on the slope face");
    case SizeLimitKind::FaceTrace2:
        return inLanguage("平面2在坡面上的迹长", "trace length of plane 2 on the slope face");
    case SizeLimitKind::TopTrace1:
        return inLanguage("平面1在坡顶面上的迹长", "trace length of plane 1 on the upper slope");
    case SizeLimitKind::TopTrace2:
        return inLanguage("平面2在坡顶面上的迹长", "trace length of plane 2 on the upper slope");
    case SizeLimitKind::Persistence1: return inLanguage("平面1的延伸长度", "persistence of plane 1");
    case SizeLimitKind::Persistence2: return inLanguage("平面2的延伸长度", "persistence of plane 2");
    case SizeLimitKind::SlopeLength: return inLanguage("边坡走向长度", "slope length along strike");
    case SizeLimitKind::BenchHeight: return inLanguage("台阶高度", "bench height");
    case SizeLimitKind::BenchWidth: return inLanguage("台阶宽度", "bench width");
    }
    return "";
}

const char* sizeLimitKey(SizeLimitKind kind) {
    switch (kind) {
    case SizeLimitKind::FaceTrace1: return "face_trace1";
    case SizeLimitKind::FaceTrace2: return "face_trace2";
    case SizeLimitKind::TopTrace1: return "top_trace1";
    case SizeLimitKind::TopTrace2: return "top_trace2";
    case SizeLimitKind::Persistence1: return "persistence1";
    case SizeLimitKind::Persistence2: return "persistence2";
    case SizeLimitKind::SlopeLength: return "slope_length";
    case SizeLimitKind::BenchHeight: return "bench_height";
    case SizeLimitKind::BenchWidth: return "bench_width";
    }
    return "";
}

void setSizeLimit(WedgeSizeLimits& l, SizeLimitKind kind, double value) {
    auto set = [value](std::optional<double>& limit) {
        if (limit) limit = value;
    };
    switch (kind) {
    case SizeLimitKind::FaceTrace1: return set(l.FaceTrace[0]);
    case SizeLimitKind::FaceTrace2: return set(l.FaceTrace[1]);
    case SizeLimitKind::TopTrace1: return set(l.TopTrace[0]);
    case SizeLimitKind::TopTrace2: return set(l.TopTrace[1]);
    case SizeLimitKind::Persistence1: return set(l.Persistence[0]);
    case SizeLimitKind::Persistence2: return set(l.Persistence[1]);
    case SizeLimitKind::SlopeLength: return set(l.SlopeLength);
    case SizeLimitKind::BenchHeight:
        if (l.Bench) l.Bench->Height = value;
        return;
    case SizeLimitKind::BenchWidth:
        if (l.Bench) l.Bench->Width = value;
        return;
    }
}

namespace {

// Finite and above zero, finite and not below zero: NaN is neither.
bool positive(double value) { return value > 0 && value <= std::numeric_limits<double>::max(); }
bool notNegative(double value) { return value >= 0 && value <= std::numeric_limits<double>::max(); }

[[noreturn, gnu::cold]] void refuseNegative(double value, const char* chinese, const char* english) {
    throw Error::refused(messageLanguage() == Language::English
                             ? english + (" may not be negative, given " + floatToText(value))
                             : chinese + ("不能为负数，现为" + floatToText(value)));
}

void requireNotNegative(double value, const char* chinese, const char* english) {
    if (!notNegative(value)) refuseNegative(value, chinese, english);
}

} // namespace

void validateSizeLimits(const WedgeSizeLimits& l) {
    // A bounding length of zero would leave no wedge at all.
    forEachSizeLimit(l, [](SizeLimitKind kind, const std::optional<double>& value) {
        if (value && !positive(*value))
            throw Error::refused(std::string(sizeLimitName(kind)) +
                                 inLanguage("应大于零，现为", " should be greater than zero, given ") +
                                 floatToText(*value));
    });
    if (l.Bench && l.Bench->CatchWidth)
        requireNotNegative(*l.Bench->CatchWidth, "最小安全平台宽度", "minimum catch bench width");
    if (l.MinVolume) requireNotNegative(*l.MinVolume, "最小体积", "minimum volume");
    if (l.MinWeight) requireNotNegative(*l.MinWeight, "最小重量", "minimum weight");
    if (l.MinHeight) requireNotNegative(*l.MinHeight, "最小高度", "minimum height");
}

} // namespace trelmox
