// The block kernel in eight lanes, compiled with -mavx512f -mavx512dq
// (kernel_lanes.h).
#include <immintrin.h>

#define TRELMOX_LANES 8
#define TRELMOX_NATIVE __m512d
#define TRELMOX_SLEEF(function, accuracy) Sleef_cinz_##function##d8_##accuracy##avx512fnofma
// The masked square root: the plain one reads an undefined register GCC 12 warns about.
#define TRELMOX_SQRT(x) _mm512_maskz_sqrt_pd(0xff, x)
#define TRELMOX_KERNEL Avx512Kernel
#define TRELMOX_KERNEL_NAME "AVX-512"
#include "analysis/probabilistic/kernel_lanes.h"
