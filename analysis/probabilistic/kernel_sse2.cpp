// The block kernel in two lanes, every x86-64 processor (kernel_lanes.h);
// SLEEF's non-FMA functions, which give the bits of the other widths.
#include <cstddef>
#include <cstdint>
#include <sleef.h>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/kernel.h"

namespace trelmox {
namespace {

constexpr std::size_t Lanes = 2;
using Native = __m128d;
inline void sleefSinCos(Native x, Native& sin, Native& cos) {
    const Sleef___m128d_2 sc = Sleef_cinz_sincosd2_u10sse2(x);
    sin = sc.x, cos = sc.y;
}
inline Native sleefTan(Native x) { return Sleef_cinz_tand2_u10sse2(x); }
inline Native sleefLog(Native x) { return Sleef_cinz_logd2_u10sse2(x); }
inline Native sleefExp(Native x) { return Sleef_cinz_expd2_u10sse2(x); }
inline Native nativeSqrt(Native x) { return _mm_sqrt_pd(x); }

} // namespace
} // namespace trelmox

#include "analysis/probabilistic/kernel_lanes.h"

namespace trelmox {
extern const BlockKernel Sse2Kernel{"SSE2", Lanes, evaluateLanes, drawLanes, uniformLanes};
} // namespace trelmox
