// The block kernel in eight lanes, compiled with -mavx512f (kernel_lanes.h);
// SLEEF's non-FMA functions, which give the bits of the other widths.
#include <cstddef>
#include <cstdint>
#include <sleef.h>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/kernel.h"

namespace trelmox {
namespace {

constexpr std::size_t Lanes = 8;
using Native = __m512d;
inline void sleefSinCos(Native x, Native& sin, Native& cos) {
    const Sleef___m512d_2 sc = Sleef_cinz_sincosd8_u10avx512fnofma(x);
    sin = sc.x, cos = sc.y;
}
inline Native sleefTan(Native x) { return Sleef_cinz_tand8_u10avx512fnofma(x); }
inline Native sleefLog(Native x) { return Sleef_cinz_logd8_u10avx512fnofma(x); }
inline Native sleefExp(Native x) { return Sleef_cinz_expd8_u10avx512fnofma(x); }
// The masked form: the plain one reads an undefined register GCC 12 warns about.
inline Native nativeSqrt(Native x) { return _mm512_maskz_sqrt_pd(0xff, x); }

} // namespace
} // namespace trelmox

#include "analysis/probabilistic/kernel_lanes.h"

namespace trelmox {
extern const BlockKernel Avx512Kernel{"AVX-512", Lanes, evaluateLanes, drawLanes, uniformLanes};
} // namespace trelmox
