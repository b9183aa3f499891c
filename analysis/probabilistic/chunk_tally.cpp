#include "analysis/probabilistic/chunk_tally.h"

#include <algorithm>
#include <immintrin.h>

#include "analysis/probabilistic/kernel.h"

namespace trelmox {

bool tallyInAvx2() {
    static const bool avx2 = widestKernel().Lanes >= 8 && __builtin_cpu_supports("avx2");
    return avx2;
}

namespace {

// Every value's level, eight at a time in 256-bit registers: the SSE2
// loop's operations on each value, so the same levels.
[[gnu::target("avx2")]] void writeKeysAvx2(ValueKey* keys, const double* factors, std::size_t n,
                                           const KeyScale& scale) {
    const __m256d min = _mm256_set1_pd(scale.Min), by = _mm256_set1_pd(scale.Scale), top = _mm256_set1_pd(TopLevel);
    const __m128i half = _mm_set1_epi32(0x8000);
    std::size_t j = 0;
    for (; j + 8 <= n; j += 8) {
        __m128i level[2];
        for (int h = 0; h < 2; ++h) {
            const __m256d x = _mm256_mul_pd(_mm256_sub_pd(_mm256_loadu_pd(factors + j + 4 * h), min), by);
            level[h] = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(x, _mm256_setzero_pd()), top));
        }
        // Shifted into the signed range for the saturating pack, then back.
        const __m128i signedLevels = _mm_packs_epi32(_mm_sub_epi32(level[0], half), _mm_sub_epi32(level[1], half));
        const __m128i packed = _mm_xor_si128(signedLevels, _mm_set1_epi16(-0x8000));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(keys + j), packed);
    }
    for (; j < n; ++j) keys[j] = scale.of(factors[j]);
}

void writeKeysSse2(ValueKey* keys, const double* factors, std::size_t n, const KeyScale& scale) {
    const __m128d min = _mm_set1_pd(scale.Min), by = _mm_set1_pd(scale.Scale), top = _mm_set1_pd(TopLevel);
    const __m128i half = _mm_set1_epi32(0x8000);
    std::size_t j = 0;
    for (; j + 4 <= n; j += 4) {
        __m128i level[2];
        for (int h = 0; h < 2; ++h) {
            const __m128d x = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(factors + j + 2 * h), min), by);
            level[h] = _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(x, _mm_setzero_pd()), top));
        }
        // Four levels 0 .. 0xfffe in 16 bits: shifted into the signed range
        // for the saturating pack, then back.
        const __m128i four = _mm_unpacklo_epi64(level[0], level[1]);
        const __m128i packed = _mm_xor_si128(_mm_packs_epi32(_mm_sub_epi32(four, half), four), _mm_set1_epi16(-0x8000));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(keys + j), packed);
    }
    for (; j < n; ++j) keys[j] = scale.of(factors[j]);
}

// The sums of the first n samples, n a multiple of four, in one 256-bit
// register each: sample j goes into lane j mod 4, as into the SSE2 pairs.
[[gnu::target("avx2")]] PlainSums plainSumsAvx2(const double* factors, std::size_t n, double required) {
    const double first = factors[0];
    const __m256d shift = _mm256_set1_pd(first), one = _mm256_set1_pd(1), bar = _mm256_set1_pd(required);
    __m256d sum = _mm256_setzero_pd(), squares = sum, low = shift, high = shift;
    __m256i belowOne = _mm256_setzero_si256(), belowRequired = belowOne;
    std::size_t j = 0;
    for (; j + 4 <= n; j += 4) {
        const __m256d f = _mm256_loadu_pd(factors + j);
        const __m256d d = _mm256_sub_pd(f, shift);
        sum = _mm256_add_pd(sum, d);
        squares = _mm256_add_pd(squares, _mm256_mul_pd(d, d));
        low = _mm256_min_pd(f, low), high = _mm256_max_pd(f, high);
        belowOne = _mm256_sub_epi64(belowOne, _mm256_castpd_si256(_mm256_cmp_pd(f, one, _CMP_LT_OQ)));
        belowRequired = _mm256_sub_epi64(belowRequired, _mm256_castpd_si256(_mm256_cmp_pd(f, bar, _CMP_LT_OQ)));
    }
    double lane[4][4];
    std::uint64_t counts[2][4];
    _mm256_storeu_pd(lane[0], sum), _mm256_storeu_pd(lane[1], squares);
    _mm256_storeu_pd(lane[2], low), _mm256_storeu_pd(lane[3], high);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(counts[0]), belowOne);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(counts[1]), belowRequired);
    PlainSums p;
    p.Sum = (lane[0][0] + lane[0][1]) + (lane[0][2] + lane[0][3]);
    p.Squares = (lane[1][0] + lane[1][1]) + (lane[1][2] + lane[1][3]);
    p.Low = std::min(std::min(lane[2][0], lane[2][2]), std::min(lane[2][1], lane[2][3]));
    p.High = std::max(std::max(lane[3][0], lane[3][2]), std::max(lane[3][1], lane[3][3]));
    p.BelowOne = (counts[0][0] + counts[0][1]) + (counts[0][2] + counts[0][3]);
    p.BelowRequired = (counts[1][0] + counts[1][1]) + (counts[1][2] + counts[1][3]);
    return p;
}

PlainSums plainSumsSse2(const double* factors, std::size_t n, double required) {
    const double first = factors[0];
    const __m128d shift = _mm_set1_pd(first), one = _mm_set1_pd(1), bar = _mm_set1_pd(required);
    __m128d sum[2] = {_mm_setzero_pd(), _mm_setzero_pd()}, squares[2] = {sum[0], sum[0]};
    // The extremes and counts do not depend on the order: one register each,
    // so that all stay in registers.
    __m128d low = shift, high = shift;
    __m128i belowOne = _mm_setzero_si128(), belowRequired = belowOne;
    std::size_t j = 0;
    for (; j + 4 <= n; j += 4) {
        const __m128d f[2] = {_mm_loadu_pd(factors + j), _mm_loadu_pd(factors + j + 2)};
        for (int h = 0; h < 2; ++h) {
            const __m128d d = _mm_sub_pd(f[h], shift);
            sum[h] = _mm_add_pd(sum[h], d);
            squares[h] = _mm_add_pd(squares[h], _mm_mul_pd(d, d));
        }
        low = _mm_min_pd(_mm_min_pd(f[0], f[1]), low);
        high = _mm_max_pd(_mm_max_pd(f[0], f[1]), high);
        // A true comparison is all ones: -1.
        belowOne = _mm_sub_epi64(belowOne, _mm_castpd_si128(_mm_cmplt_pd(f[0], one)));
        belowOne = _mm_sub_epi64(belowOne, _mm_castpd_si128(_mm_cmplt_pd(f[1], one)));
        belowRequired = _mm_sub_epi64(belowRequired, _mm_castpd_si128(_mm_cmplt_pd(f[0], bar)));
        belowRequired = _mm_sub_epi64(belowRequired, _mm_castpd_si128(_mm_cmplt_pd(f[1], bar)));
    }
    double lane[4][4];
    std::uint64_t counts[2][2];
    for (int h = 0; h < 2; ++h) _mm_storeu_pd(lane[0] + 2 * h, sum[h]), _mm_storeu_pd(lane[1] + 2 * h, squares[h]);
    _mm_storeu_pd(lane[2], low), _mm_storeu_pd(lane[3], high);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(counts[0]), belowOne);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(counts[1]), belowRequired);
    PlainSums p;
    p.Sum = (lane[0][0] + lane[0][1]) + (lane[0][2] + lane[0][3]);
    p.Squares = (lane[1][0] + lane[1][1]) + (lane[1][2] + lane[1][3]);
    p.Low = std::min(lane[2][0], lane[2][1]), p.High = std::max(lane[3][0], lane[3][1]);
    p.BelowOne = counts[0][0] + counts[0][1], p.BelowRequired = counts[1][0] + counts[1][1];
    return p;
}

} // namespace

void writeKeys(ValueKey* keys, const double* factors, std::size_t n, const KeyScale& scale, bool all, bool avx2) {
    if (!all) {
        for (std::size_t j = 0; j < n; ++j)
            if (keys[j] != NoValue) keys[j] = scale.of(factors[j]);
        return;
    }
    if (avx2)
        writeKeysAvx2(keys, factors, n, scale);
    else
        writeKeysSse2(keys, factors, n, scale);
}

PlainSums plainSums(const double* factors, std::size_t n, double required, bool avx2) {
    const double first = factors[0];
    std::size_t j = n / 4 * 4;
    PlainSums p = j == 0 ? PlainSums{0, 0, first, first}
                  : avx2 ? plainSumsAvx2(factors, j, required)
                         : plainSumsSse2(factors, j, required);
    for (; j < n; ++j) {
        const double f = factors[j];
        p.Sum += f - first;
        p.Squares += (f - first) * (f - first);
        p.Low = std::min(p.Low, f), p.High = std::max(p.High, f);
        p.BelowOne += f < 1, p.BelowRequired += f < required;
    }
    // A value that is not finite leaves a sum that is not (inf - inf, or
    // NaN, is NaN), and so does a sum past the range of a double: either
    // way the chunk is counted one sample at a time.
    p.Finite = std::isfinite(p.Sum) && std::isfinite(p.Squares);
    // A zero extreme: -0 is the least and 0 the largest, whichever lane saw
    // it first.
    if (p.Low == 0 && std::any_of(factors, factors + n, [](double f) { return f == 0 && std::signbit(f); }))
        p.Low = -0.0;
    if (p.High == 0 && std::any_of(factors, factors + n, [](double f) { return f == 0 && !std::signbit(f); }))
        p.High = 0.0;
    return p;
}

} // namespace trelmox
