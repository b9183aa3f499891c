#include "analysis/probabilistic/distribution.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/probabilistic/quantile_formula.h"
#include "analysis/probabilistic/sample_trig.h"
#include "model/language.h"

namespace trelmox {

namespace {

using Reason = ParameterRefusal::Reason;

// A normal truncated to a bounded range whose farthest bound lies within
// this many standard deviations of its mean is flat there: its density
// varies by less than 1e-10 across the range. It is drawn as that range's
// uniform distribution, which it is; worked as a normal, the interval its
// truncation leaves rounds to nothing and every draw is the block's value.
constexpr double FlatWithin = 1e-5;
// A dip direction's normal of two full turns or more wraps round the
// compass as the uniform distribution (its density varies by less than
// 1e-30); it is drawn as one, over the turn about the block's value.
constexpr double WrappedFlat = 720;
// No draw of a normal lies farther than this many deviations from the mean
// (the quantile of the smallest uniform); a deviation beyond the largest
// double over it would draw infinite values.
constexpr double FarthestDraw = 40;

bool inside(ParameterRange range, double value) { return value >= range.Low && value <= range.High; }

int kindIndex(Distribution::Kind kind) { return static_cast<int>(kind); }

void requireFiniteDeviation(Parameter parameter, double sd) {
    if (!std::isfinite(sd) || sd < 0) throw ParameterRefusal(parameter, Reason::NegativeSpread, sd);
}

// The parameter's range cut down by the truncation bounds.
ParameterRange truncatedRange(Parameter parameter, const Distribution& d) {
    ParameterRange range = parameterRange(parameter);
    if (d.TruncateLow) range.Low = std::max(range.Low, *d.TruncateLow);
    if (d.TruncateHigh) range.High = std::min(range.High, *d.TruncateHigh);
    return range;
}

// Whether the normal about `mean` is drawn as a uniform distribution.
bool flatNormal(ParameterRange range, double mean, double sd) {
    if (std::isinf(range.Low) && std::isinf(range.High)) return sd >= WrappedFlat;
    return std::isfinite(range.Low) && std::isfinite(range.High) &&
           std::max(mean - range.Low, range.High - mean) <= FlatWithin * sd;
}

void validateNormal(Parameter parameter, double blockValue, double sd, ParameterRange truncated) {
    requireFiniteDeviation(parameter, sd);
    const ParameterRange range = parameterRange(parameter);
    if (!inside(range, blockValue)) throw ParameterRefusal(parameter, Reason::BlockValueOutside, blockValue);
    if (!flatNormal(truncated, blockValue, sd) && !std::isfinite(blockValue + FarthestDraw * sd))
        throw ParameterRefusal(parameter, Reason::SpreadTooLarge, sd);
}

// The largest sum of a beta distribution's shapes it is drawn for.
constexpr double MostBetaShape = 1e8;

void validateBounds(Parameter parameter, double low, double high) {
    // The triangular and beta forms multiply two widths: wider ranges than
    // 1e150 (no quantity of a slope comes near) would overflow to infinite draws.
    if (!std::isfinite(low) || !std::isfinite(high) || low > high || !(high - low < 1e150))
        throw ParameterRefusal(parameter, Reason::InvalidRange, low, high);
    const ParameterRange range = parameterRange(parameter);
    if (!inside(range, low) || !inside(range, high)) throw ParameterRefusal(parameter, Reason::RangeOutside, low, high);
}

// Lognormal, exponential and gamma: positive quantities without an upper bound.
void validatePositive(Parameter parameter, double blockValue, Distribution::Kind kind) {
    const ParameterRange range = parameterRange(parameter);
    if (range.Low != 0 || std::isfinite(range.High))
        throw ParameterRefusal(parameter, Reason::LognormalUnbounded, 0, 0, kindIndex(kind));
    if (!(blockValue > 0 && std::isfinite(blockValue)))
        throw ParameterRefusal(parameter, Reason::LognormalNonPositive, blockValue, 0, kindIndex(kind));
}

void validateAround(Parameter parameter, double blockValue, const Distribution& d) {
    validateBounds(parameter, d.Low, d.High);
    if (!(blockValue >= d.Low && blockValue <= d.High))
        throw ParameterRefusal(parameter, Reason::OutsideBounds, blockValue, 0, kindIndex(d.Type), d.Low, d.High);
}

// The largest deviation of a beta distribution with this mean and bounds:
// its variance stays below (mean - low)(high - mean).
double largestBetaDeviation(double mean, double low, double high) { return std::sqrt((mean - low) * (high - mean)); }

void validateShape(Parameter parameter, double blockValue, const Distribution& d, ParameterRange truncated) {
    switch (d.Type) {
    case Distribution::Kind::Fixed: return;
    case Distribution::Kind::Normal: return validateNormal(parameter, blockValue, d.Spread, truncated);
    case Distribution::Kind::Uniform: return validateBounds(parameter, d.Low, d.High);
    case Distribution::Kind::Lognormal:
    case Distribution::Kind::Gamma:
        requireFiniteDeviation(parameter, d.Spread);
        return validatePositive(parameter, blockValue, d.Type);
    case Distribution::Kind::Exponential:
        validatePositive(parameter, blockValue, d.Type);
        // The farthest draw is 37 means (the quantile of the largest uniform).
        if (!std::isfinite(FarthestDraw * blockValue))
            throw ParameterRefusal(parameter, Reason::SpreadTooLarge, blockValue);
        return;
    case Distribution::Kind::Triangular: return validateAround(parameter, blockValue, d);
    case Distribution::Kind::Beta: {
        requireFiniteDeviation(parameter, d.Spread);
        validateAround(parameter, blockValue, d);
        const double largest = largestBetaDeviation(blockValue, d.Low, d.High);
        if (d.Spread > 0 && !(d.Spread < largest))
            throw ParameterRefusal(parameter, Reason::BetaSpread, d.Spread, largest, kindIndex(d.Type), d.Low, d.High);
        return;
    }
    }
}

// A draw is the quantile of a uniform of the CDF interval that the
// truncation leaves; a safeguarded Newton iteration inverts the CDFs that
// have no closed-form inverse (beta, gamma): each step either moves by
// Newton inside the bracket or halves it, so it always converges, and the
// same uniform always takes the same steps.
template <typename Cdf, typename Density>
double invert(Cdf cdf, Density density, double p, double low, double high, double start) {
    double x = std::clamp(start, low, high);
    for (int step = 0; step < 200; ++step) {
        const double f = cdf(x) - p;
        if (f == 0) return x;
        (f < 0 ? low : high) = x;
        const double slope = density(x);
        double next = slope > 0 && std::isfinite(slope) ? x - f / slope : low + (high - low) / 2;
        if (!(next > low && next < high)) next = low + (high - low) / 2;
        if (next == x || high - low <= 4 * std::numeric_limits<double>::epsilon() * std::abs(x)) return next;
        x = next;
    }
    return x;
}

// Beyond this shape a gamma distribution is drawn by Wilson and Hilferty's
// cube-root normal approximation, whose relative error is of order
// 1 / shape^2 there (below sampling error at any sample count the run
// takes), rather than by series whose terms grow with the root of the shape.
constexpr double GammaNormalShape = 1e4;

// Wilson-Hilferty: the standard gamma of shape a at the normal score z.
double wilsonHilferty(double a, double z) {
    const double c = 1 / (9 * a);
    const double root = 1 - c + z * std::sqrt(c);
    return root > 0 ? a * root * root * root : 0;
}

double logGamma(double a) { return std::lgamma(a); }

// A lower tail whose quantile is far below the distribution's scale: a
// small shape puts most of the mass within a few doubles of zero, where the
// quantile spans hundreds of decades (1e-80 at the median of a gamma of
// shape 0.004) and halving a bracket from the scale down never reaches it.
// There the CDF is x^a times factors within 1e-3 of a constant, so the
// logarithm of the quantile is a fixed point that gains three digits or
// more per step. `logFirst` is the logarithm of the quantile with those
// factors taken as 1; `correction(x)` is the logarithm of them.
constexpr double TailAhead = 1e-3;

template <typename Correction> double tailQuantile(double a, double logFirst, Correction correction) {
    double y = logFirst;
    for (int step = 0; step < 100; ++step) {
        const double next = logFirst - correction(sampleExp(y)) / a;
        if (!(std::abs(next - y) > 4 * std::numeric_limits<double>::epsilon() * std::abs(y))) return sampleExp(next);
        y = next;
    }
    return sampleExp(y);
}

// The series of P(a, x) after its first term: P = x^a e^-x (1 + tail) / Gamma(a + 1).
double gammaSeriesTail(double a, double x) {
    double term = 1, sum = 0;
    for (int n = 1; n <= 1000; ++n) {
        term *= x / (a + n);
        sum += term;
        if (term < sum * 1e-17) break;
    }
    return sum;
}

// The standard gamma quantile of shape a (log Gamma(a) given) at p.
double gammaQuantile(double a, double logGammaA, double p) {
    // P(a, x) <= x^a / Gamma(a + 1), so this is a lower bound of the quantile.
    const double logFirst = (sampleLog(p) + logGammaA + std::log(a)) / a;
    if (logFirst < std::log(TailAhead * a / (a + 1)))
        return tailQuantile(a, logFirst, [a](double x) { return sampleLog1p(gammaSeriesTail(a, x)) - x; });
    const double first = sampleExp(logFirst);
    const double start = wilsonHilferty(a, normalQuantile(p));
    double high = std::max(2 * a, 1.0);
    while (gammaP(a, high) < p && high < 1e300) high *= 2;
    return invert([&](double t) { return gammaP(a, t); },
                  [&](double t) { return sampleExp((a - 1) * sampleLog(t) - t - logGammaA); }, p, first, high,
                  std::max(start, first));
}

// Where the beta quantile's iteration starts: the normal of the same mean
// and deviation, inside the unit interval, so that a narrow beta (large
// shapes, whose incomplete function costs most) takes few steps.
double betaStart(double a, double b, double p) {
    const double sum = a + b, mean = a / sum;
    const double start = mean + std::sqrt(mean * (b / sum) / (sum + 1)) * normalQuantile(p);
    return start > 0 && start < 1 ? start : mean;
}

double betaFraction(double a, double b, double x);

// The beta quantile on the unit interval, up to 1/2; logNorm is
// log 1 / B(a, b). I_x(a, b) = x^a (1 - x)^b F(x) / (a B(a, b)) with F the
// continued fraction, about 1 for small x.
double betaLowerQuantile(double a, double b, double logNorm, double p) {
    const double logFirst = (sampleLog(p) + std::log(a) - logNorm) / a;
    if (logFirst < std::log(TailAhead * a / (a + b + 1)))
        return tailQuantile(a, logFirst,
                            [a, b](double x) { return b * sampleLog1p(-x) + sampleLog(betaFraction(a, b, x)); });
    return invert([&](double x) { return betaI(a, b, x); },
                  [&](double x) { return sampleExp(logNorm + (a - 1) * sampleLog(x) + (b - 1) * sampleLog1p(-x)); }, p,
                  0, 1, betaStart(a, b, p));
}

} // namespace

Distribution normalDistribution(double sd) { return {Distribution::Kind::Normal, sd, 0, 0, {}, {}}; }
Distribution uniformDistribution(double low, double high) {
    return {Distribution::Kind::Uniform, 0, low, high, {}, {}};
}
Distribution lognormalDistribution(double sd) { return {Distribution::Kind::Lognormal, sd, 0, 0, {}, {}}; }
Distribution exponentialDistribution() { return {Distribution::Kind::Exponential, 0, 0, 0, {}, {}}; }
Distribution triangularDistribution(double low, double high) {
    return {Distribution::Kind::Triangular, 0, low, high, {}, {}};
}
Distribution betaDistribution(double sd, double low, double high) {
    return {Distribution::Kind::Beta, sd, low, high, {}, {}};
}
Distribution gammaDistribution(double sd) { return {Distribution::Kind::Gamma, sd, 0, 0, {}, {}}; }
Distribution truncated(Distribution d, std::optional<double> low, std::optional<double> high) {
    d.TruncateLow = low, d.TruncateHigh = high;
    return d;
}

const char* distributionName(Distribution::Kind kind) {
    constexpr const char* names[] = {"fixed",       "normal",     "uniform", "lognormal",
                                     "exponential", "triangular", "beta",    "gamma"};
    return names[kindIndex(kind)];
}

const char* distributionCaption(Distribution::Kind kind) {
    constexpr const char* names[] = {"固定值",   "正态分布",   "均匀分布", "对数正态分布",
                                     "指数分布", "三角形分布", "贝塔分布", "伽马分布"};
    constexpr const char* englishNames[] = {"fixed value",
                                            "normal distribution",
                                            "uniform distribution",
                                            "lognormal distribution",
                                            "exponential distribution",
                                            "triangular distribution",
                                            "beta distribution",
                                            "gamma distribution"};
    return inLanguage(names[kindIndex(kind)], englishNames[kindIndex(kind)]);
}

void validateDistribution(Parameter parameter, double blockValue, const Distribution& distribution) {
    // The truncation is checked by drawing from what it leaves.
    if (distribution.Type != Distribution::Kind::Fixed) Sampler(parameter, blockValue, distribution);
}

Sampler::Sampler(Parameter parameter, double blockValue, const Distribution& distribution)
    : kind_(distribution.Type), location_(blockValue) {
    if (kind_ == Distribution::Kind::Fixed) return;
    {
        const ParameterRange range = truncatedRange(parameter, distribution);
        const bool finiteBounds =
            std::isfinite(distribution.TruncateLow.value_or(0)) && std::isfinite(distribution.TruncateHigh.value_or(0));
        if (!finiteBounds || !(range.Low < range.High))
            throw ParameterRefusal(parameter, Reason::TruncationEmpty, distribution.TruncateLow.value_or(range.Low),
                                   distribution.TruncateHigh.value_or(range.High));
        validateShape(parameter, blockValue, distribution, range);
    }
    const ParameterRange range = truncatedRange(parameter, distribution);
    low_ = range.Low;
    high_ = range.High;
    const bool truncating = distribution.TruncateLow || distribution.TruncateHigh;
    // A zero spread leaves the block's value exactly as it is.
    const bool spread = kind_ == Distribution::Kind::Normal || kind_ == Distribution::Kind::Lognormal ||
                        kind_ == Distribution::Kind::Beta || kind_ == Distribution::Kind::Gamma;
    const bool degenerate = (spread && distribution.Spread == 0) ||
                            (kind_ == Distribution::Kind::Triangular && distribution.Low == distribution.High);
    if (kind_ == Distribution::Kind::Fixed || degenerate) {
        kind_ = Distribution::Kind::Fixed;
        return;
    }
    switch (kind_) {
    case Distribution::Kind::Fixed: break;
    case Distribution::Kind::Normal:
        if (flatNormal(range, blockValue, distribution.Spread)) {
            kind_ = Distribution::Kind::Uniform;
            const bool wrapped = std::isinf(range.Low);
            location_ = wrapped ? blockValue - 180 : range.Low;
            scale_ = wrapped ? 360 : range.High - range.Low;
            return;
        }
        scale_ = distribution.Spread;
        break;
    case Distribution::Kind::Uniform:
        // Truncating a uniform distribution leaves the uniform one over what is left.
        location_ = std::max(distribution.Low, low_);
        scale_ = std::min(distribution.High, high_) - location_;
        if (!(scale_ >= 0)) throw ParameterRefusal(parameter, Reason::TruncationEmpty, low_, high_);
        return;
    case Distribution::Kind::Lognormal: {
        // Mean m and deviation s of the value give those of its logarithm.
        // For a ratio beyond 1e150 its square overflows: log(1 + r^2) is
        // then 2 log r to the last bit.
        const double ratio = distribution.Spread / blockValue;
        const double variance = ratio > 1e150 ? 2 * std::log(ratio) : std::log1p(ratio * ratio);
        scale_ = std::sqrt(variance);
        location_ = sampleLog(blockValue) - variance / 2;
        break;
    }
    case Distribution::Kind::Exponential: break; // location_: the mean
    case Distribution::Kind::Triangular: {
        const double a = distribution.Low, b = distribution.High, c = blockValue;
        location_ = a, scale_ = b;
        split_ = (c - a) / (b - a);
        left_ = (b - a) * (c - a);
        right_ = (b - a) * (b - c);
        break;
    }
    case Distribution::Kind::Beta: {
        // The shapes from the mean and the variance on the unit interval.
        const double width = distribution.High - distribution.Low;
        const double mean = (blockValue - distribution.Low) / width, sd = distribution.Spread / width;
        const double common = mean * (1 - mean) / (sd * sd) - 1;
        location_ = distribution.Low, scale_ = width;
        split_ = mean * common, left_ = (1 - mean) * common;
        right_ = logGamma(split_ + left_) - logGamma(split_) - logGamma(left_);
        // A deviation tiny against the width gives huge shapes: the
        // incomplete beta function's continued fraction then needs more
        // terms than it is given, and its quantiles lose their order.
        if (!(split_ + left_ <= MostBetaShape) || !std::isfinite(right_))
            throw ParameterRefusal(parameter, Reason::BetaNarrow, distribution.Spread, 0, kindIndex(kind_),
                                   distribution.Low, distribution.High);
        betaMiddleCdf_ = betaI(split_, left_, 0.5);
        break;
    }
    case Distribution::Kind::Gamma: {
        const double ratio = blockValue / distribution.Spread;
        split_ = ratio * ratio;                                          // shape
        scale_ = distribution.Spread * distribution.Spread / blockValue; // scale
        left_ = logGamma(split_);
        // A shape or scale beyond the range of a double draws nothing sound.
        if (!std::isfinite(split_) || !(scale_ > 0) || !std::isfinite(scale_) || !std::isfinite(left_))
            throw ParameterRefusal(parameter, Reason::SpreadTooLarge, distribution.Spread);
        break;
    }
    }
    // Truncation: draw the CDF from the interval the range leaves. The
    // normal is always truncated to the parameter's range; the others only
    // where truncation is asked (their own support lies inside the range).
    if (kind_ == Distribution::Kind::Normal || truncating) {
        pLow_ = std::isfinite(low_) ? cdf(low_) : 0;
        pWidth_ = (std::isfinite(high_) ? cdf(high_) : 1) - pLow_;
        // Deep in an upper tail the interval is a few doubles below 1: its
        // quantiles are noise, neither ordered nor of the distribution.
        // It must hold at least a million doubles (one part in 1e10).
        if (!(pWidth_ > 1e-10 * (pLow_ + pWidth_)))
            throw ParameterRefusal(parameter, Reason::TruncationEmpty, low_, high_);
    }
}

double Sampler::cdf(double x) const {
    switch (kind_) {
    case Distribution::Kind::Fixed: return x < location_ ? 0 : 1;
    case Distribution::Kind::Normal: return normalCdf((x - location_) / scale_);
    case Distribution::Kind::Uniform: return std::clamp((x - location_) / scale_, 0.0, 1.0);
    case Distribution::Kind::Lognormal: return x > 0 ? normalCdf((std::log(x) - location_) / scale_) : 0;
    case Distribution::Kind::Exponential: return x > 0 ? -std::expm1(-x / location_) : 0;
    case Distribution::Kind::Triangular: {
        const double a = location_, b = scale_;
        if (x <= a) return 0;
        if (x >= b) return 1;
        const double c = a + left_ / (b - a);
        return x <= c ? (x - a) * (x - a) / left_ : 1 - (b - x) * (b - x) / right_;
    }
    case Distribution::Kind::Beta: return betaI(split_, left_, std::clamp((x - location_) / scale_, 0.0, 1.0));
    case Distribution::Kind::Gamma:
        if (!(x > 0)) return 0;
        if (split_ > GammaNormalShape) {
            const double c = 1 / (9 * split_);
            return normalCdf((std::cbrt(x / scale_ / split_) - (1 - c)) / std::sqrt(c));
        }
        return gammaP(split_, x / scale_);
    }
    return 0;
}

double Sampler::quantile(double p) const {
    switch (kind_) {
    case Distribution::Kind::Fixed: return location_;
    case Distribution::Kind::Normal: return location_ + scale_ * normalQuantile(p);
    case Distribution::Kind::Uniform: return location_ + p * scale_;
    case Distribution::Kind::Lognormal: return sampleExp(location_ + scale_ * normalQuantile(p));
    case Distribution::Kind::Exponential: return exponentialQuantileOf(p, location_);
    case Distribution::Kind::Triangular: return triangularQuantileOf(p, location_, scale_, split_, left_, right_);
    case Distribution::Kind::Beta: {
        // Above the middle of the interval as the mirrored beta below it:
        // the distance from 1, solved where doubles are fine, rounds
        // monotonically.
        const double a = split_, b = left_, logNorm = right_;
        const double unit =
            p > betaMiddleCdf_ ? 1 - betaLowerQuantile(b, a, logNorm, 1 - p) : betaLowerQuantile(a, b, logNorm, p);
        return location_ + unit * scale_;
    }
    case Distribution::Kind::Gamma:
        if (split_ > GammaNormalShape) return wilsonHilferty(split_, normalQuantile(p)) * scale_;
        return gammaQuantile(split_, left_, p) * scale_;
    }
    return location_;
}

double Sampler::value(double u) const {
    switch (kind_) {
    case Distribution::Kind::Fixed: return location_;
    case Distribution::Kind::Uniform: return clampedTo(location_ + u * scale_, low_, high_);
    default: return clampedTo(quantile(truncatedProbabilityOf(u, pLow_, pWidth_)), low_, high_);
    }
}

DrawConstants Sampler::drawConstants() const {
    return {static_cast<int>(kind_), location_, scale_, pLow_, pWidth_, low_, high_, split_, left_, right_};
}

// The whole lanes in the widest kernel, the rest one by one: the same bits.
void Sampler::values(double* u, std::size_t n) const {
    const BlockKernel& kernel = widestKernel();
    const std::size_t lanes = drawsInLanes() ? n - n % kernel.Lanes : 0;
    kernel.Draw(drawConstants(), u, lanes);
    for (std::size_t i = lanes; i < n; ++i) u[i] = value(u[i]);
}

namespace {

constexpr double Tiny = 1e-300;
constexpr int MostTerms = 100'000;

// Lentz's continued fraction of the incomplete beta function (for x below
// its mean, where it converges fast).
double betaFraction(double a, double b, double x) {
    const double qab = a + b, qap = a + 1, qam = a - 1;
    double c = 1, d = 1 - qab * x / qap;
    if (std::abs(d) < Tiny) d = Tiny;
    d = 1 / d;
    double h = d;
    for (int m = 1; m <= MostTerms; ++m) {
        const double m2 = 2 * m;
        double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
        d = 1 + aa * d;
        if (std::abs(d) < Tiny) d = Tiny;
        c = 1 + aa / c;
        if (std::abs(c) < Tiny) c = Tiny;
        d = 1 / d;
        h *= d * c;
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
        d = 1 + aa * d;
        if (std::abs(d) < Tiny) d = Tiny;
        c = 1 + aa / c;
        if (std::abs(c) < Tiny) c = Tiny;
        d = 1 / d;
        const double step = d * c;
        h *= step;
        if (std::abs(step - 1) < 1e-16) break;
    }
    return h;
}

} // namespace

double betaI(double a, double b, double x) {
    if (!(x > 0)) return 0;
    if (!(x < 1)) return 1;
    const double front =
        sampleExp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * sampleLog(x) + b * sampleLog1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * betaFraction(a, b, x) / a;
    return 1 - front * betaFraction(b, a, 1 - x) / b;
}

double gammaP(double a, double x) {
    if (!(x > 0)) return 0;
    if (std::isinf(x)) return 1;
    const double front = sampleExp(-x + a * sampleLog(x) - std::lgamma(a));
    if (x < a + 1) {
        // The series sum x^n / (a (a+1) ... (a+n)).
        double term = 1 / a, sum = term;
        for (int n = 1; n <= MostTerms; ++n) {
            term *= x / (a + n);
            sum += term;
            if (std::abs(term) < std::abs(sum) * 1e-17) break;
        }
        return std::min(1.0, sum * front);
    }
    // Lentz's continued fraction of the upper function Q.
    double b = x + 1 - a, c = 1 / Tiny, d = 1 / b, h = d;
    for (int i = 1; i <= MostTerms; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        if (std::abs(d) < Tiny) d = Tiny;
        c = b + an / c;
        if (std::abs(c) < Tiny) c = Tiny;
        d = 1 / d;
        const double step = d * c;
        h *= step;
        if (std::abs(step - 1) < 1e-16) break;
    }
    return std::max(0.0, 1 - front * h);
}

double normalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// Acklam's rational approximation: a central rational function and a tail
// one in sqrt(-2 log p) (the logarithm of a sample, sample_trig.h). The ends of (0, 1) are pulled in by one unit in
// the last place, so rounding in the truncation interval never gives an
// infinite value.
double normalQuantile(double p) {
    using namespace quantile;
    p = clampedTo(p, 0x1p-1074, 1 - 0x1p-53);
    return inNormalTail(p) ? tailNormalQuantileOf(p) : centralNormalQuantileOf(p);
}

} // namespace trelmox
