// The values of a block kernel's lanes (kernel_lanes.h) and the
// operations on them, among them those the formulas written once take
// (formula_values.h): included by kernel_lanes.h in each kernel's own
// translation unit, after its kernel_*.cpp defined TRELMOX_LANES, the
// native vector type TRELMOX_NATIVE (TRELMOX_PARTS of them side by side
// hold the lanes, one unless said), its square root TRELMOX_SQRT and
// TRELMOX_SLEEF(function, accuracy), SLEEF's non-FMA function of that
// width and accuracy (u10 or u35). No include guard: each kernel has its
// own copy in its own unnamed namespace.
//
// Every operation is a plain IEEE operation on each lane, so a lane gives
// the bits of the same operation on a double.
#include <cstddef>
#include <immintrin.h>
#include <sleef.h>
#include <type_traits>
#include <utility>

#include "analysis/formula_values.h"

namespace trelmox {
namespace {

// The small pieces are always inlined: with two native vectors in a value,
// a call passes and returns it through memory.
#define TRELMOX_INLINE [[gnu::always_inline]] inline

constexpr std::size_t Lanes = TRELMOX_LANES;
#ifndef TRELMOX_PARTS
#define TRELMOX_PARTS 1
#endif
#define TRELMOX_NATIVE_LANES (TRELMOX_LANES / TRELMOX_PARTS)
constexpr std::size_t NativeLanes = TRELMOX_NATIVE_LANES;
using Native = TRELMOX_NATIVE;

// One native vector of doubles, its comparisons' masks, 64-bit integers.
typedef double NativeV __attribute__((vector_size(NativeLanes * 8)));
typedef long NativeM __attribute__((vector_size(NativeLanes * 8)));
typedef unsigned long NativeU __attribute__((vector_size(NativeLanes * 8)));

#if TRELMOX_PARTS == 1
using V = NativeV;
using M = NativeM; // what comparing two V gives
using U = NativeU;
#else
// Two native vectors side by side as one of twice the lanes, every
// operation done on each half: each step of a sample's long chain of
// divisions and square roots then has a second, independent chain beside
// it, which the processor works on while the first waits.
template <typename H> struct Twin {
    H Half[2];
    using Element = std::remove_cvref_t<decltype(std::declval<H&>()[0])>;
    // By value, and set through setLane: a reference would make the
    // compiler keep the whole value in memory.
    Element operator[](std::size_t i) const { return Half[i / NativeLanes][i % NativeLanes]; }
};
template <typename T> inline constexpr bool IsTwin = false;
template <typename H> inline constexpr bool IsTwin<Twin<H>> = true;
#define TRELMOX_TWIN_OPERATOR(op)                                                                                      \
    template <typename H> TRELMOX_INLINE Twin<H> operator op(const Twin<H>& x, const Twin<H>& y) {                     \
        return {{x.Half[0] op y.Half[0], x.Half[1] op y.Half[1]}};                                                     \
    }                                                                                                                  \
    template <typename H, typename S>                                                                                  \
    requires(!IsTwin<S>) TRELMOX_INLINE Twin<H>                                                                        \
    operator op(const Twin<H>& x, S y) {                                                                               \
        const auto e = static_cast<typename Twin<H>::Element>(y);                                                      \
        return {{x.Half[0] op e, x.Half[1] op e}};                                                                     \
    }                                                                                                                  \
    template <typename H, typename S>                                                                                  \
    requires(!IsTwin<S>) TRELMOX_INLINE Twin<H>                                                                        \
    operator op(S x, const Twin<H>& y) {                                                                               \
        const auto e = static_cast<typename Twin<H>::Element>(x);                                                      \
        return {{e op y.Half[0], e op y.Half[1]}};                                                                     \
    }
// A comparison gives a mask of 64-bit lanes (whose element type the
// compilers name differently).
#define TRELMOX_TWIN_COMPARISON(op)                                                                                    \
    template <typename H> TRELMOX_INLINE Twin<NativeM> operator op(const Twin<H>& x, const Twin<H>& y) {               \
        return {{(NativeM)(x.Half[0] op y.Half[0]), (NativeM)(x.Half[1] op y.Half[1])}};                               \
    }
TRELMOX_TWIN_OPERATOR(+)
TRELMOX_TWIN_OPERATOR(-)
TRELMOX_TWIN_OPERATOR(*)
TRELMOX_TWIN_OPERATOR(/)
TRELMOX_TWIN_OPERATOR(&)
TRELMOX_TWIN_OPERATOR(|)
TRELMOX_TWIN_OPERATOR(^)
TRELMOX_TWIN_COMPARISON(<)
TRELMOX_TWIN_COMPARISON(>)
TRELMOX_TWIN_COMPARISON(<=)
TRELMOX_TWIN_COMPARISON(>=)
TRELMOX_TWIN_COMPARISON(==)
TRELMOX_TWIN_COMPARISON(!=)
#undef TRELMOX_TWIN_OPERATOR
#undef TRELMOX_TWIN_COMPARISON
template <typename H> TRELMOX_INLINE Twin<H> operator>>(const Twin<H>& x, int n) {
    return {{x.Half[0] >> n, x.Half[1] >> n}};
}
template <typename H> TRELMOX_INLINE Twin<H> operator<<(const Twin<H>& x, int n) {
    return {{x.Half[0] << n, x.Half[1] << n}};
}
template <typename H> TRELMOX_INLINE Twin<H> operator~(const Twin<H>& x) { return {{~x.Half[0], ~x.Half[1]}}; }
template <typename H> TRELMOX_INLINE Twin<H> operator-(const Twin<H>& x) { return {{-x.Half[0], -x.Half[1]}}; }
template <typename H, typename Y> TRELMOX_INLINE Twin<H>& operator+=(Twin<H>& x, const Y& y) { return x = x + y; }
template <typename H, typename Y> TRELMOX_INLINE Twin<H>& operator-=(Twin<H>& x, const Y& y) { return x = x - y; }
template <typename H, typename Y> TRELMOX_INLINE Twin<H>& operator&=(Twin<H>& x, const Y& y) { return x = x & y; }
template <typename H, typename Y> TRELMOX_INLINE Twin<H>& operator|=(Twin<H>& x, const Y& y) { return x = x | y; }
using V = Twin<NativeV>;
using M = Twin<NativeM>;
using U = Twin<NativeU>;
#endif

// Native vector h of a value of lanes (the value itself when one holds
// them): every operation below is written once, over the parts.
constexpr int Parts = TRELMOX_PARTS;
template <typename T> TRELMOX_INLINE auto& part(T& v, int h) {
    if constexpr (Parts == 1)
        return v;
    else
        return v.Half[h];
}
// A value of lanes whose part h is make(h).
template <typename T, typename F> TRELMOX_INLINE T fromParts(F make) {
    T v;
    for (int h = 0; h < Parts; ++h) part(v, h) = make(h);
    return v;
}

// Lane i of v set to x.
template <typename T, typename E> TRELMOX_INLINE void setLane(T& v, std::size_t i, E x) {
    part(v, static_cast<int>(i / NativeLanes))[i % NativeLanes] = x;
}

// The same bits as another type of lanes, part by part (a cast of a whole
// two-part value would go through memory).
TRELMOX_INLINE M bitsOf(V x) {
    return fromParts<M>([&](int h) { return (NativeM)part(x, h); });
}
TRELMOX_INLINE V doubleOf(M x) {
    return fromParts<V>([&](int h) { return (NativeV)part(x, h); });
}
TRELMOX_INLINE V doubleOf(U x) {
    return fromParts<V>([&](int h) { return (NativeV)part(x, h); });
}

// A native function of every native vector of the lanes.
template <typename F> TRELMOX_INLINE V eachNative(V x, F f) {
    return fromParts<V>([&](int h) { return (NativeV)f((Native)part(x, h)); });
}

// Sines and cosines of angles beyond degree_trig.h's range, within 3.5 ulp
// (SLEEF's u35), as the scalar twin takes them there.
TRELMOX_INLINE void sleefSinCos(V x, V& sin, V& cos) {
    for (int h = 0; h < Parts; ++h) {
        const auto sc = TRELMOX_SLEEF(sincos, u35)((Native)part(x, h));
        part(sin, h) = (NativeV)sc.x, part(cos, h) = (NativeV)sc.y;
    }
}
TRELMOX_INLINE V sleefTan(V x) {
    return eachNative(x, [](Native n) { return TRELMOX_SLEEF(tan, u10)(n); });
}
TRELMOX_INLINE V sleefLog(V x) {
    return eachNative(x, [](Native n) { return TRELMOX_SLEEF(log, u10)(n); });
}
TRELMOX_INLINE V sleefLog10(V x) {
    return eachNative(x, [](Native n) { return TRELMOX_SLEEF(log10, u10)(n); });
}
TRELMOX_INLINE V sleefExp(V x) {
    return eachNative(x, [](Native n) { return TRELMOX_SLEEF(exp, u10)(n); });
}
TRELMOX_INLINE V sleefLog1p(V x) {
    return eachNative(x, [](Native n) { return TRELMOX_SLEEF(log1p, u10)(n); });
}
TRELMOX_INLINE V squareRoot(V x) {
    return eachNative(x, [](Native n) { return TRELMOX_SQRT(n); });
}

// Every lane x: a vector of copies, which the compiler turns into one
// broadcast (element by element it stores and reloads them).
template <typename T, typename E, std::size_t... I> TRELMOX_INLINE T repeated(E x, std::index_sequence<I...>) {
    return T{((void)I, x)...};
}
TRELMOX_INLINE V splat(double x) {
    return fromParts<V>([&](int) { return repeated<NativeV>(x, std::make_index_sequence<NativeLanes>{}); });
}
TRELMOX_INLINE M splatMask(long x) {
    return fromParts<M>([&](int) { return repeated<NativeM>(x, std::make_index_sequence<NativeLanes>{}); });
}
// Part by part: a two-part value copied whole went through memory in
// pieces that the parts' loads then waited for.
TRELMOX_INLINE V load(const double* p) {
    return fromParts<V>([&](int h) {
        NativeV v;
        __builtin_memcpy(&v, p + h * NativeLanes, sizeof v);
        return v;
    });
}
TRELMOX_INLINE void store(double* p, V v) {
    for (int h = 0; h < Parts; ++h) __builtin_memcpy(p + h * NativeLanes, &part(v, h), sizeof(NativeV));
}

// Per native vector: a where the mask is set, else b (a mask's lanes are
// all ones or all zeros: the sign bit decides); the lanes that are set,
// lane i in bit i.
#if TRELMOX_NATIVE_LANES == 4
TRELMOX_INLINE NativeV nativePick(NativeM m, NativeV a, NativeV b) {
    return (NativeV)_mm256_blendv_pd((__m256d)b, (__m256d)a, (__m256d)m);
}
TRELMOX_INLINE unsigned nativeBits(NativeM m) { return static_cast<unsigned>(_mm256_movemask_pd((__m256d)m)); }
#elif TRELMOX_NATIVE_LANES == 8
TRELMOX_INLINE NativeV nativePick(NativeM m, NativeV a, NativeV b) { return m ? a : b; }
TRELMOX_INLINE unsigned nativeBits(NativeM m) { return _mm512_test_epi64_mask((__m512i)m, (__m512i)m); }
#else
TRELMOX_INLINE NativeV nativePick(NativeM m, NativeV a, NativeV b) { return m ? a : b; }
TRELMOX_INLINE unsigned nativeBits(NativeM m) { return static_cast<unsigned>(_mm_movemask_pd((__m128d)m)); }
#endif
TRELMOX_INLINE V pick(M m, V a, V b) {
    return fromParts<V>([&](int h) { return nativePick(part(m, h), part(a, h), part(b, h)); });
}
TRELMOX_INLINE M pickMask(M m, M a, M b) {
    return fromParts<M>(
        [&](int h) { return (NativeM)nativePick(part(m, h), (NativeV)part(a, h), (NativeV)part(b, h)); });
}
TRELMOX_INLINE unsigned laneBits(M m) {
    unsigned bits = 0;
    for (int h = 0; h < Parts; ++h) bits |= nativeBits(part(m, h)) << (h * NativeLanes);
    return bits;
}
// Whether any lane is true.
TRELMOX_INLINE bool anyLane(M m) { return laneBits(m) != 0; }
TRELMOX_INLINE NativeV nativeAbsolute(NativeV x) { return (NativeV)((NativeM)x & 0x7fffffffffffffffL); }
TRELMOX_INLINE V absolute(V x) {
    return fromParts<V>([&](int h) { return nativeAbsolute(part(x, h)); });
}
TRELMOX_INLINE M finite(V x) { return absolute(x) <= splat(__DBL_MAX__); }

struct Vec {
    V x, y, z;
};
TRELMOX_INLINE Vec add(const Vec& a, const Vec& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
TRELMOX_INLINE Vec sub(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TRELMOX_INLINE Vec scale(V s, const Vec& a) { return {s * a.x, s * a.y, s * a.z}; }
TRELMOX_INLINE V dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
TRELMOX_INLINE Vec cross(const Vec& a, const Vec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
TRELMOX_INLINE V norm(const Vec& a) { return squareRoot(dot(a, a)); }
TRELMOX_INLINE Vec splatVec(const double* v) { return {splat(v[0]), splat(v[1]), splat(v[2])}; }
TRELMOX_INLINE M finiteVec(const Vec& a) { return finite(a.x) & finite(a.y) & finite(a.z); }
TRELMOX_INLINE Vec pickVec(M m, const Vec& a, const Vec& b) {
    return {pick(m, a.x, b.x), pick(m, a.y, b.y), pick(m, a.z, b.z)};
}

// The formulas' operations (formula_values.h) on lanes.
TRELMOX_INLINE M none(M m) { return ~m; }
// std::max and std::min as the scalar code takes them.
TRELMOX_INLINE V largerOf(V a, V b) { return pick(a < b, b, a); }
TRELMOX_INLINE V smallerOf(V a, V b) { return pick(b < a, b, a); }
// A side no lane takes is not worked out.
template <typename A, typename B> TRELMOX_INLINE V chosen(M when, A a, B b) {
    if (!anyLane(none(when))) return a();
    if (!anyLane(when)) return b();
    return pick(when, a(), b());
}
// A count per lane: the lanes of a mask (a true lane is -1, so adding a
// mask counts down).
TRELMOX_INLINE M countIs(M count, int n) { return count == splatMask(n); }
TRELMOX_INLINE M countAtLeast(M count, int n) { return count >= splatMask(n); }
TRELMOX_INLINE M oneWhere(M when) { return splatMask(0) - when; }
template <typename F> TRELMOX_INLINE void forEachLane(M when, F f) {
    for (std::size_t lane = 0; lane < Lanes; ++lane)
        if (when[lane]) f(lane);
}
TRELMOX_INLINE double laneOf(V x, std::size_t lane) { return x[lane]; }
TRELMOX_INLINE long laneOf(M x, std::size_t lane) { return x[lane]; }
TRELMOX_INLINE void setLaneOf(V& x, std::size_t lane, double e) { setLane(x, lane, e); }

} // namespace

template <> TRELMOX_INLINE V every<V>(double x) { return splat(x); }
template <> struct CountType<V> { using Type = M; };

} // namespace trelmox
