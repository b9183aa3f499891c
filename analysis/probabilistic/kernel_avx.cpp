// The block kernel in four lanes, compiled with -mavx (kernel_lanes.h).
#include <immintrin.h>

#define TRELMOX_LANES 4
#define TRELMOX_NATIVE __m256d
#define TRELMOX_SLEEF(function, accuracy) Sleef_cinz_##function##d4_##accuracy##avx
#define TRELMOX_SQRT _mm256_sqrt_pd
#define TRELMOX_KERNEL AvxKernel
#define TRELMOX_KERNEL_NAME "AVX"
#include "analysis/probabilistic/kernel_lanes.h"
