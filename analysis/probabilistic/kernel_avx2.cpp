// The block kernel in eight lanes as two 256-bit registers, compiled with
// -mavx2 (kernel_lanes.h): the same doubles as the AVX kernel, with the
// counters' 64-bit integer lanes in one register each instead of two
// halves. Two blocks of four side by side: a block's chain of divisions and
// square roots leaves the processor waiting, and the other block's fills
// the wait (a quarter less time a sample on one thread). SLEEF's AVX2
// functions use FMA, which a processor could round apart from the other
// widths; its deterministic AVX ones run on every AVX2 processor.
#include <immintrin.h>

#define TRELMOX_LANES 8
#define TRELMOX_PARTS 2
#define TRELMOX_NATIVE __m256d
#define TRELMOX_SLEEF(function, accuracy) Sleef_cinz_##function##d4_##accuracy##avx
#define TRELMOX_SQRT _mm256_sqrt_pd
#define TRELMOX_KERNEL Avx2Kernel
#define TRELMOX_KERNEL_NAME "AVX2"
#include "analysis/probabilistic/kernel_lanes.h"
