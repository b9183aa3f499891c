// The block kernel in four lanes, compiled with -mavx2 (kernel_lanes.h): the
// same doubles as the AVX kernel, with the counters' 64-bit integer lanes in
// one 256-bit register instead of two halves. SLEEF's AVX2 functions use
// FMA, which a processor could round apart from the other widths; its
// deterministic AVX ones run on every AVX2 processor.
#include <immintrin.h>

#define TRELMOX_LANES 4
#define TRELMOX_NATIVE __m256d
#define TRELMOX_SLEEF(function, accuracy) Sleef_cinz_##function##d4_##accuracy##avx
#define TRELMOX_SQRT _mm256_sqrt_pd
#define TRELMOX_KERNEL Avx2Kernel
#define TRELMOX_KERNEL_NAME "AVX2"
#include "analysis/probabilistic/kernel_lanes.h"
