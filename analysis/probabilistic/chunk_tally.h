#pragma once
// What every sample of a run passes through once its chunk is worked out:
// the keys its histogram bins later, and the chunk's sums. These loops run
// in SSE2 or, where the run's lanes are AVX2 or wider, in AVX2, with the
// same operations on every value in the same order, so the same bits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <emmintrin.h>

namespace trelmox {

// What the histogram keeps of a value until the run's bins are known: its
// level among 65535 equal steps from its chunk's least value to its
// largest, NoValue for a sample that gives none. Every operation on the way
// (a difference, a product, a clamp, a truncation) keeps the order, so a
// level below (above) the level of a bin's edge belongs to a value below
// (at or above) that edge; only a level equal to an edge's leaves the bin
// open, and those few values (about one a chunk) are worked out again
// exactly. A quarter of the memory of the values themselves.
using ValueKey = std::uint16_t;
constexpr ValueKey NoValue = 0xffff;
constexpr double TopLevel = 0xfffe;

// x clamped to 0 .. top and truncated, with max(x, 0) and min(x, top) as
// the SSE2 instructions take them: a NaN gives 0.
inline int truncatedWithin(double x, double top) {
    return _mm_cvttsd_si32(_mm_min_sd(_mm_max_sd(_mm_set_sd(x), _mm_setzero_pd()), _mm_set_sd(top)));
}

// The levels of one chunk: (value - Min) * Scale, clamped to 0 .. TopLevel
// and truncated. A chunk of one value, or whose range is not a finite
// positive number, has Scale 0: every value at level 0.
struct KeyScale {
    double Min = 0, Scale = 0;
    KeyScale() = default;
    KeyScale(double min, double max) : Min(min) {
        const double scale = TopLevel / (max - min);
        Scale = max > min && std::isfinite(scale) ? scale : 0;
    }
    // As writeKeys's lanes take it (a NaN difference, inf * 0, gives 0).
    ValueKey of(double value) const { return static_cast<ValueKey>(truncatedWithin((value - Min) * Scale, TopLevel)); }
    // The level of an edge's value: -1 at or below the chunk's least value
    // (every value lies at or above it), NoValue above its largest (every
    // value below).
    int edge(double value, double max) const { return value <= Min ? -1 : value > max ? NoValue : of(value); }
};

// Four running sums: sample j of the first multiple of four goes into sum
// j mod 4 (two in each SSE2 register, all four in one AVX2 register), the four are added up in a
// fixed order, then the last few samples one by one. One sum in sample
// order made every sample wait for the last one's addition. Each lane is a
// plain IEEE operation, so the figures are the same on every processor.
struct PlainSums {
    double Sum = 0, Squares = 0, Low = 0, High = 0;
    std::uint64_t BelowOne = 0, BelowRequired = 0;
    bool Finite = true; // every value, and the sums; if not, the rest means nothing
};

// Whether the loops below run in AVX2: where the run's kernel (kernel.h's
// widestKernel) is AVX2 or wider, so that capping the lanes caps them too.
bool tallyInAvx2();

// Levels of factors[j] for every j (all: true) or for those where keys[j]
// is not NoValue.
void writeKeys(ValueKey* keys, const double* factors, std::size_t n, const KeyScale& scale, bool all,
               bool avx2 = tallyInAvx2());

// A chunk of finite wedge values: their sums about its first value, least
// and largest, and the counts below 1 and below `required`.
PlainSums plainSums(const double* factors, std::size_t n, double required, bool avx2 = tallyInAvx2());

} // namespace trelmox
