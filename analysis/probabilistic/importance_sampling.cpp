#include "analysis/probabilistic/importance_sampling.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/probabilistic/sample_trig.h"
#include "analysis/probabilistic/sampling.h"

namespace trelmox {

namespace {

// The batches grow from the first to the largest, so that an easy target
// stops early and a hard one is not checked after every few samples. The
// sizes are fixed, so where a run stops does not depend on the threads.
constexpr std::uint64_t FirstBatch = 1024, LargestBatch = 1 << 17;
// The CoV of a handful of failures says little about the estimate.
constexpr std::uint64_t LeastFailures = 20;

constexpr std::size_t padded(std::size_t n) { return (n + MaxLanes - 1) / MaxLanes * MaxLanes; }

// The streams' key: the seed mixed apart from the probabilistic run's key
// (mix64(seed)) and from this run's other streams.
std::uint64_t streamKey(std::uint64_t seed, std::uint64_t stream) {
    return mix64(mix64(seed) ^ mix64(0x3c6ef372fe94f82bULL + stream));
}

// Draws one batch's points into columns (one per coordinate) and their
// weights, the ratio of the standard density to the mixture's.
class BatchDraw {
public:
    BatchDraw(const SamplingMixture& mixture, std::size_t dimension, std::uint64_t key)
        : mixture_(mixture), n_(dimension), key_(key) {
        double total = 0;
        for (double w : mixture.Weights) total += w;
        double sum = 0;
        for (std::size_t m = 0; m < mixture.Weights.size(); ++m) {
            sum += mixture.Weights[m];
            cumulative_.push_back(sum / total);
            logWeight_.push_back(sampleLog(mixture.Weights[m] / total));
            double square = 0;
            for (double c : mixture.Centres[m]) square += c * c;
            halfSquare_.push_back(square / 2);
        }
        cumulative_.back() = 1;
    }

    void draw(std::uint64_t begin, std::size_t count, std::vector<std::vector<double>>& columns,
              std::vector<double>& weights) const {
        const BlockKernel& kernel = widestKernel();
        const std::size_t size = padded(count);
        const std::uint64_t stride = n_ + 1;
        DrawConstants normal;
        normal.Kind = static_cast<int>(Distribution::Kind::Normal);
        normal.Scale = 1;
        normal.Low = -std::numeric_limits<double>::infinity(), normal.High = std::numeric_limits<double>::infinity();
        for (std::size_t k = 0; k < n_; ++k) {
            columns[k].resize(size);
            kernel.Uniforms(key_, begin * stride + k + 1, stride, columns[k].data(), size);
            kernel.Draw(normal, columns[k].data(), size);
        }
        choice_.resize(size);
        kernel.Uniforms(key_, begin * stride + n_ + 1, stride, choice_.data(), size);
        weights.resize(count);
        std::vector<double> exponents(cumulative_.size());
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t m = static_cast<std::size_t>(
                std::upper_bound(cumulative_.begin(), cumulative_.end(), choice_[i]) - cumulative_.begin());
            const std::vector<double>& centre = mixture_.Centres[std::min(m, cumulative_.size() - 1)];
            for (std::size_t k = 0; k < n_; ++k) columns[k][i] += centre[k];
            // log h(u) - log phi(u) = log sum_m w_m exp(u . c_m - |c_m|^2 / 2).
            double largest = -std::numeric_limits<double>::infinity();
            for (std::size_t c = 0; c < exponents.size(); ++c) {
                double product = 0;
                for (std::size_t k = 0; k < n_; ++k) product += columns[k][i] * mixture_.Centres[c][k];
                exponents[c] = logWeight_[c] + product - halfSquare_[c];
                largest = std::max(largest, exponents[c]);
            }
            double sum = 0;
            for (double e : exponents) sum += sampleExp(e - largest);
            weights[i] = sampleExp(-(largest + sampleLog(sum)));
        }
    }

private:
    const SamplingMixture& mixture_;
    std::size_t n_;
    std::uint64_t key_;
    std::vector<double> cumulative_, logWeight_, halfSquare_;
    mutable std::vector<double> choice_;
};

} // namespace

SampledProbability importanceSampling(const BlockInputs& base, const StandardSpace& space, ReliabilityFactor factor,
                                      const SamplingMixture& mixture, const ImportanceSettings& settings,
                                      const FactorHook& hook, const ProgressCallback& progress, bool* cancelled) {
    if (cancelled) *cancelled = false;
    SampledProbability result;
    const std::size_t n = space.dimension();
    if (mixture.Centres.empty() || settings.MaxSamples == 0) return result;
    const BatchDraw draws(mixture, n, streamKey(settings.Seed, settings.Stream));
    const bool lanes = settings.Vectorised && !hook;
    FactorEvaluator scalar(base, space.inputs(), factor, hook);
    std::vector<std::vector<double>> columns(n);
    std::vector<double*> columnPointers(n);
    std::vector<double> weights, kc, fs;
    std::vector<SampleOutcome> kcOutcome, fsOutcome;
    std::vector<double> x(n);
    double sum = 0, sumOfSquares = 0;
    for (std::uint64_t batch = FirstBatch; result.Samples < settings.MaxSamples;
         batch = std::min(2 * batch, LargestBatch)) {
        const auto count = static_cast<std::size_t>(std::min(batch, settings.MaxSamples - result.Samples));
        draws.draw(result.Samples, count, columns, weights);
        for (std::size_t k = 0; k < n; ++k) columnPointers[k] = columns[k].data();
        space.physicalColumns(columnPointers, count, settings.Vectorised);
        kc.resize(count), fs.resize(count), kcOutcome.resize(count), fsOutcome.resize(count);
        if (lanes) {
            const std::vector<const double*> inputs(columnPointers.begin(), columnPointers.end());
            evaluateSamples(base, space.inputs(), inputs, count, settings.Threads,
                            {kc.data(), kcOutcome.data(), fs.data(), fsOutcome.data()});
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                for (std::size_t k = 0; k < n; ++k) x[k] = columns[k][i];
                const FactorValue v = scalar(x.data());
                fs[i] = kc[i] = v.Factor, fsOutcome[i] = kcOutcome[i] = v.Outcome;
            }
        }
        const bool kcFactor = factor == ReliabilityFactor::Kc;
        for (std::size_t i = 0; i < count; ++i) {
            const FactorValue v = kcFactor ? FactorValue{kc[i], kcOutcome[i]} : FactorValue{fs[i], fsOutcome[i]};
            if (!failing(v)) continue;
            ++result.Failures;
            sum += weights[i];
            sumOfSquares += weights[i] * weights[i];
        }
        result.Samples += count;
        const auto samples = static_cast<double>(result.Samples);
        result.Pf = sum / samples;
        if (result.Failures > 0 && result.Samples > 1) {
            const double variance = std::max(0.0, (sumOfSquares - samples * result.Pf * result.Pf) / (samples - 1));
            result.Cov = std::sqrt(variance / samples) / result.Pf;
        }
        if (progress && !progress(result.Samples, settings.MaxSamples)) {
            if (cancelled) *cancelled = true;
            return result;
        }
        if (result.Cov && result.Failures >= LeastFailures && *result.Cov <= settings.TargetCov) break;
    }
    return result;
}

} // namespace trelmox
