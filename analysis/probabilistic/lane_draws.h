// The draws of a block kernel's lanes: the distributions' quantiles of
// the uniforms (quantile_formula.h's, as distribution.cpp's
// Sampler::value takes them) and the counter-based uniforms themselves
// (sampling.cpp's counterUniform).
// Part of a block kernel's body (kernel_lanes.h), included by it after
// lane_values.h; no include guard: each kernel's own copy in its own
// unnamed namespace.

namespace trelmox {
namespace {

// The quantiles themselves are quantile_formula.h's, the sampler's own;
// what is the lanes' own is how the tail draws are gathered.

// The lanes whose bits are set in a mask of Lanes bits, lowest first, and
// how many: a block's tail lanes go on the list in one step.
struct SetLanes {
    std::uint16_t Lane[Lanes];
    std::uint16_t Count;
};
constexpr std::array<SetLanes, (1u << Lanes)> setLanesTable() {
    std::array<SetLanes, (1u << Lanes)> table{};
    for (unsigned bits = 0; bits < table.size(); ++bits)
        for (unsigned i = 0; i < Lanes; ++i)
            if (bits >> i & 1) table[bits].Lane[table[bits].Count++] = static_cast<std::uint16_t>(i);
    return table;
}
constexpr std::array<SetLanes, (1u << Lanes)> SetLanesOf = setLanesTable();

// The normal quantiles of the probabilities probability(u) of the uniforms
// u in values (within normalQuantile's clamp already), in place, each
// turned by finish (finishCentral where the caller knows the central
// formula's quantiles need less: they lie within 2 of 0). One draw in
// twenty lies in a tail, so most blocks of lanes hold one; a tail draw
// keeps its uniform in place and its offset in a list, and the tails are
// worked out afterwards in whole blocks, so that their logarithm runs once
// per Lanes tail draws. Every lane's operations are those of the one
// formula, so the bits are the scalar draw's.
template <typename Probability, typename FinishCentral, typename Finish>
void normalQuantilesInPlace(double* values, std::size_t count, Probability probability, FinishCentral finishCentral,
                            Finish finish) {
    // A run's chunk at once: its two hundred tails fill whole blocks but the last.
    constexpr std::size_t Stretch = 4096;
    // Offsets within the stretch. A block writes Lanes entries from the
    // count so far, which is at most its own offset: all within the array.
    std::uint16_t tailAt[Stretch];
    for (std::size_t start = 0; start < count; start += Stretch) {
        double* const stretch = values + start;
        const std::size_t length = Stretch < count - start ? Stretch : count - start;
        std::size_t tails = 0;
        for (std::size_t at = 0; at < length; at += Lanes) {
            const V u = load(stretch + at);
            const V p = probability(u);
            const M tail = inNormalTail(p);
            store(stretch + at, pick(tail, u, finishCentral(centralNormalQuantileOf(p))));
            // Every entry written, the count advanced by the tails: no
            // branch to mispredict, so that blocks overlap in the processor.
            const SetLanes& set = SetLanesOf[laneBits(tail)];
            for (std::size_t i = 0; i < Lanes; ++i) tailAt[tails + i] = static_cast<std::uint16_t>(at + set.Lane[i]);
            tails += set.Count;
        }
        for (std::size_t j = 0; j < tails; j += Lanes) {
            V u = splat(0); // set lane by lane below, and setting one reads its register
            for (std::size_t i = 0; i < Lanes; ++i) setLane(u, i, stretch[tailAt[j + i < tails ? j + i : tails - 1]]);
            const V x = finish(tailNormalQuantileOf(probability(u)));
            for (std::size_t i = 0; i < Lanes && j + i < tails; ++i) stretch[tailAt[j + i]] = x[i];
        }
    }
}

void drawLanes(const DrawConstants& d, double* values, std::size_t count) {
    const V location = splat(d.Location), scaleBy = splat(d.Scale), low = splat(d.Low), high = splat(d.High);
    const V pLow = splat(d.PLow), pWidth = splat(d.PWidth);
    const V split = splat(d.Split), left = splat(d.Left), right = splat(d.Right);
    // One loop per kind, so that the kind is not chosen again per block.
    auto each = [&](auto draw) {
        for (std::size_t at = 0; at < count; at += Lanes) store(values + at, draw(load(values + at)));
    };
    // The uniform mapped into the CDF interval the truncation leaves.
    auto truncated = [&](V u) { return truncatedProbabilityOf(u, pLow, pWidth); };
    // The same clamped again to normalQuantile's [2^-1074, 1 - 2^-53], in
    // one: the two clamps share their top, and whatever the first raises to
    // 0 the second raises to 2^-1074 (a not-a-number passes both).
    auto probability = [&](V u) { return clampedTo(pLow + u * pWidth, splat(0x1p-1074), splat(1 - 0x1p-53)); };
    switch (static_cast<Distribution::Kind>(d.Kind)) {
    case Distribution::Kind::Fixed: each([&](V) { return location; }); break;
    case Distribution::Kind::Normal: {
        const auto finish = [&](V x) { return clampedTo(location + scaleBy * x, low, high); };
        // Bounds farther than 4 sd (the central quantiles reach 2) never clamp a central draw.
        const bool wide = d.Low <= d.Location - 4 * d.Scale && d.Location + 4 * d.Scale <= d.High;
        if (wide)
            normalQuantilesInPlace(
                values, count, probability, [&](V x) { return location + scaleBy * x; }, finish);
        else
            normalQuantilesInPlace(values, count, probability, finish, finish);
        break;
    }
    case Distribution::Kind::Uniform: each([&](V u) { return clampedTo(location + u * scaleBy, low, high); }); break;
    case Distribution::Kind::Lognormal: {
        // The normal draws, then their exponentials in a pass of their own:
        // a call in the quantiles' loop would have it keep its constants in
        // memory. Bounds of 0 (or less) and infinity never clamp an exponential.
        const auto linear = [&](V x) { return location + scaleBy * x; };
        normalQuantilesInPlace(values, count, probability, linear, linear);
        if (d.Low <= 0 && d.High == __builtin_inf())
            each([&](V y) { return sleefExp(y); });
        else
            each([&](V y) { return clampedTo(sleefExp(y), low, high); });
        break;
    }
    case Distribution::Kind::Exponential:
        each([&](V u) { return clampedTo(exponentialQuantileOf(truncated(u), location), low, high); });
        break;
    case Distribution::Kind::Triangular:
        each([&](V u) {
            return clampedTo(triangularQuantileOf(truncated(u), location, scaleBy, split, left, right), low, high);
        });
        break;
    // Iterative quantiles: Sampler::values draws them one by one.
    case Distribution::Kind::Beta:
    case Distribution::Kind::Gamma: break;
    }
}

// counterUniform (sampling.cpp) of the counters first, first + stride, ...
// in 64-bit integer lanes.

void uniformLanes(std::uint64_t key, std::uint64_t first, std::uint64_t stride, double* values, std::size_t count) {
    // key + golden * counter, advanced by golden * step from block to block
    // (the same sum modulo 2^64, one 64-bit product fewer per block).
    U mixed, advance;
    constexpr std::uint64_t golden = 0x9e3779b97f4a7c15ULL;
    for (std::size_t i = 0; i < Lanes; ++i)
        setLane(mixed, i, key + golden * (first + i * stride)), setLane(advance, i, golden * (Lanes * stride));
    // A 52-bit integer n as the double 1 + n 2^-52, exactly; less 1 - 2^-53
    // it is (n + 0.5) 2^-52 exactly (the two lie within a factor of two), as
    // counterUniform works it out in three steps.
    const U one = mixed * 0 + 0x3ff0000000000000ULL;
    for (std::size_t at = 0; at < count; at += Lanes, mixed += advance) {
        U z = mixed;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        z = z ^ (z >> 31);
        store(values + at, doubleOf((z >> 12) | one) - splat(1 - 0x1p-53));
    }
}

} // namespace
} // namespace trelmox
