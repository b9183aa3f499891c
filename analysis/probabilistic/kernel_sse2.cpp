// The block kernel in two lanes, every x86-64 processor (kernel_lanes.h).
#include <immintrin.h>

#define TRELMOX_LANES 2
#define TRELMOX_NATIVE __m128d
#define TRELMOX_SLEEF(function, accuracy) Sleef_cinz_##function##d2_##accuracy##sse2
#define TRELMOX_SQRT _mm_sqrt_pd
#define TRELMOX_KERNEL Sse2Kernel
#define TRELMOX_KERNEL_NAME "SSE2"
#include "analysis/probabilistic/kernel_lanes.h"
