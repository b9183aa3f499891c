// The block kernel in four lanes, compiled with -mavx (kernel_lanes.h);
// SLEEF's non-FMA functions, which give the bits of the other widths.
#include <cstddef>
#include <cstdint>
#include <sleef.h>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/kernel.h"

namespace trelmox {
namespace {

constexpr std::size_t Lanes = 4;
using Native = __m256d;
inline void sleefSinCos(Native x, Native& sin, Native& cos) {
    const Sleef___m256d_2 sc = Sleef_cinz_sincosd4_u10avx(x);
    sin = sc.x, cos = sc.y;
}
inline Native sleefTan(Native x) { return Sleef_cinz_tand4_u10avx(x); }
inline Native sleefLog(Native x) { return Sleef_cinz_logd4_u10avx(x); }
inline Native sleefExp(Native x) { return Sleef_cinz_expd4_u10avx(x); }
inline Native nativeSqrt(Native x) { return _mm256_sqrt_pd(x); }

} // namespace
} // namespace trelmox

#include "analysis/probabilistic/kernel_lanes.h"

namespace trelmox {
extern const BlockKernel AvxKernel{"AVX", Lanes, evaluateLanes, drawLanes, uniformLanes};
} // namespace trelmox
