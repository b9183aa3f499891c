#pragma once
// How large a wedge the rock can hold: joints of finite length, a slope of
// finite length and benches bound the wedge that can actually form, and a
// wedge too small to matter is reported as such. Every limit is optional;
// the defaults limit nothing and the wedge reaches the full slope height.
// Lengths are in the block's length unit, weights in its force unit.
#include <array>
#include <optional>

namespace trelmox {

// How a cutting plane's persistence is measured on the wedge's face on it:
// AlongIntersection, the face's extent from the slope face measured parallel
// to the line of intersection (how far the joint must run into the slope);
// LargestExtent, the largest distance between two of the face's corners
// (the joint's largest dimension, as a trace-length survey gives it).
enum class PersistenceMeasure { AlongIntersection, LargestExtent };

// An open-pit bench: the slope face is the bench face of Height, the upper
// slope the bench floor, which ends Width behind the crest at the next
// bench's toe. CatchWidth, when given, is the least floor width that must
// remain behind the wedge's back-break to catch rockfall.
struct BenchLimits {
    double Height = 0, Width = 0;
    std::optional<double> CatchWidth;
    bool operator==(const BenchLimits&) const = default;
};

struct WedgeSizeLimits {
    // By cutting plane (index 0 the first, 1 the second).
    std::array<std::optional<double>, 2> FaceTrace;   // largest trace length on the slope face
    std::array<std::optional<double>, 2> TopTrace;    // largest trace length on the upper slope
    std::array<std::optional<double>, 2> Persistence; // measured as Measure says
    PersistenceMeasure Measure = PersistenceMeasure::AlongIntersection;
    std::optional<double> SlopeLength; // the slope's length along its strike
    std::optional<BenchLimits> Bench;
    // A wedge below any of these is too small to matter.
    std::optional<double> MinVolume, MinWeight, MinHeight;

    // Whether any limit bounds the wedge's size (the minimums do not).
    bool bounds() const;
    bool operator==(const WedgeSizeLimits&) const = default;
};

// The limits that bound the size, in the order that settles a tie.
enum class SizeLimitKind {
    FaceTrace1,
    FaceTrace2,
    TopTrace1,
    TopTrace2,
    Persistence1,
    Persistence2,
    SlopeLength,
    BenchHeight,
    BenchWidth
};
inline constexpr int SizeLimitKindCount = 9;
// "平面1在坡面上的迹长" and the like, for the user.
const char* sizeLimitName(SizeLimitKind kind);
// "face_trace1" and the like, for the tool's output.
const char* sizeLimitKey(SizeLimitKind kind);
// Calls f(kind, limit) for every kind in SizeLimitKind's order, `limit` an
// std::optional<double> absent where not given: inline, for the loops over
// every kind that every full analysis runs.
template <class F> [[gnu::always_inline]] inline void forEachSizeLimit(const WedgeSizeLimits& l, F f) {
    using K = SizeLimitKind;
    f(K::FaceTrace1, l.FaceTrace[0]), f(K::FaceTrace2, l.FaceTrace[1]);
    f(K::TopTrace1, l.TopTrace[0]), f(K::TopTrace2, l.TopTrace[1]);
    f(K::Persistence1, l.Persistence[0]), f(K::Persistence2, l.Persistence[1]);
    f(K::SlopeLength, l.SlopeLength);
    f(K::BenchHeight, l.Bench ? std::optional(l.Bench->Height) : std::nullopt);
    f(K::BenchWidth, l.Bench ? std::optional(l.Bench->Width) : std::nullopt);
}
// The limit of that kind, absent when not given.
inline std::optional<double> sizeLimit(const WedgeSizeLimits& limits, SizeLimitKind kind) {
    std::optional<double> found;
    forEachSizeLimit(limits, [&](SizeLimitKind k, const std::optional<double>& limit) {
        if (k == kind) found = limit;
    });
    return found;
}
// Sets the limit of that kind where `limits` gives one (a bench's height or
// width only with a bench); a limit not given stays absent.
void setSizeLimit(WedgeSizeLimits& limits, SizeLimitKind kind, double value);

// Throws Error naming the first value out of range: every length limit and
// the bench's height and width must be finite and above zero, the catch
// width and the minimums finite and not negative.
void validateSizeLimits(const WedgeSizeLimits& limits);

} // namespace trelmox
