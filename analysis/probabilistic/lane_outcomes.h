// The outcomes of a block kernel's lanes and the checks the formulas
// written once call on them (wedge_formula.h).
// Part of a block kernel's body (kernel_lanes.h), included by it after
// lane_values.h; no include guard: each kernel's own copy in its own
// unnamed namespace.

namespace trelmox {
namespace {

// The outcome of every lane, and the lanes still being worked out. Exact
// settles every failure in the scalar order. The other (for Kc, whose
// checks are many and whose failures rare) only notes the lanes where some
// check could fail, whether or not they are still live: a block with any
// such lane is then worked out again exactly, so the outcomes are the same.
struct NoPoison {};
template <bool Exact = true> struct Outcomes {
    static constexpr bool IsExact = Exact;
    M Live = splatMask(-1);
    M Code = splatMask(0);
    M Trouble = splatMask(0);
    // Every checked value summed: not finite in a lane where one of them was
    // not (one addition a check, where a mask takes four). Finite values
    // that overflow the sum only make the block be worked out again.
    [[no_unique_address]] std::conditional_t<Exact, NoPoison, V> Poison{};
    // Lanes in `when` that are still live end here with `code`.
    [[gnu::always_inline]] void settle(M when, SampleOutcome code) {
        const M now = when & Live;
        Code = pickMask(now, splatMask(static_cast<long>(code)), Code);
        Live &= ~now;
    }
    [[gnu::always_inline]] void fail(M when, SampleOutcome code) {
        if constexpr (Exact)
            settle(when, code);
        else
            Trouble |= when;
    }
    [[gnu::always_inline]] V overflowChecked(V v) {
        if constexpr (Exact)
            fail(~finite(v), SampleOutcome::Overflow);
        else
            Poison = Poison + v;
        return v;
    }
    // The lanes worked out again exactly.
    [[gnu::always_inline]] M troubled() const {
        if constexpr (Exact)
            return Trouble;
        else
            return Trouble | ~finite(Poison);
    }
    // checkedDiv's failures, then an overflow (arithmetic.h's quotient). A
    // zero divisor gives a quotient that is not finite, which Poison notes.
    [[gnu::always_inline]] V quotient(V dividend, V divisor) {
        if constexpr (Exact) {
            const M zero = divisor == splat(0);
            settle(zero & (dividend == splat(0)), SampleOutcome::InvalidOperation);
            settle(zero, SampleOutcome::DivisionByZero);
        }
        return overflowChecked(dividend / divisor);
    }
    // A negative radicand's root is not a number, which Poison notes.
    [[gnu::always_inline]] V root(V radicand) {
        if constexpr (Exact) {
            settle(radicand < splat(0), SampleOutcome::InvalidOperation);
            return squareRoot(radicand);
        } else {
            const V r = squareRoot(radicand);
            Poison = Poison + r;
            return r;
        }
    }
    // The checks the formulas written once call (wedge_formula.h).
    [[gnu::always_inline]] void noBlock(M when) { settle(when, SampleOutcome::NoBlock); }
    // Never: the lanes settled go on with the others.
    static constexpr bool finished() { return false; }
    [[gnu::always_inline]] M live() const { return Live; }
    // A case's value with its own checks, on its own lanes only; checks
    // that settle nothing note into this itself. Exact, the case's
    // failures are those of its lanes here (the cases' lanes are apart).
    template <typename F> [[gnu::always_inline]] V inCase(M when, bool always, F f) {
        if (!always && !anyLane(Live & when)) return V{};
        if constexpr (Exact) {
            Outcomes c = *this;
            c.Live &= when;
            const V value = f(c);
            const M here = Live & when;
            Code = pickMask(here, c.Code, Code);
            Live = pickMask(here, c.Live, Live);
            return value;
        } else {
            return f(*this);
        }
    }
    // The cases' outcomes (each a sample's last), as settling them one
    // after the other: a live lane in none of them is Unresolved.
    [[gnu::always_inline]] void settleCases(M both, M first, M second, M lift) {
        const auto code = [](SampleOutcome c) { return splatMask(static_cast<long>(c)); };
        const M cases =
            pickMask(both, code(SampleOutcome::BothPlanes),
                     pickMask(first, code(SampleOutcome::FirstPlaneOnly),
                              pickMask(second, code(SampleOutcome::SecondPlaneOnly),
                                       pickMask(lift, code(SampleOutcome::LiftOff), code(SampleOutcome::Unresolved)))));
        Code = pickMask(Live, cases, Code);
        Live = splatMask(0);
    }
};

} // namespace
} // namespace trelmox
