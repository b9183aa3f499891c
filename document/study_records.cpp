#include "document/study_records.h"

#include "model/numtext.h"

namespace trelmox {

ProbabilisticSettings probabilisticSettings(const ProbabilisticEntries& entries) {
    ProbabilisticSettings settings;
    for (int row = 0; row < ParameterCount; ++row) {
        const DistributionEntry& entry = entries.Distributions[row];
        Distribution& d = settings.Distributions[row];
        using Kind = Distribution::Kind;
        d.Type = entry.Type;
        if (d.Type == Kind::Fixed) continue;
        if (d.Type == Kind::Normal || d.Type == Kind::Lognormal || d.Type == Kind::Beta || d.Type == Kind::Gamma)
            d.Spread = textToFloat(entry.Spread);
        if (d.Type == Kind::Uniform || d.Type == Kind::Triangular || d.Type == Kind::Beta) {
            d.Low = textToFloat(entry.Low);
            d.High = textToFloat(entry.High);
        }
        if (!entry.TruncateLow.empty()) d.TruncateLow = textToFloat(entry.TruncateLow);
        if (!entry.TruncateHigh.empty()) d.TruncateHigh = textToFloat(entry.TruncateHigh);
    }
    settings.Correlation = entries.Correlation;
    settings.Samples = static_cast<std::uint64_t>(entries.Samples);
    settings.Seed = static_cast<std::uint64_t>(entries.Seed);
    settings.Method = entries.Method;
    settings.HistogramBins = entries.HistogramBins;
    return settings;
}

std::optional<ProbabilisticRun> StudyRecords::probabilisticRunFor(const RunBasis& basis) const {
    if (!LastProbabilistic || LastProbabilistic->Basis != basis || LastProbabilistic->Run.Result.Cancelled)
        return std::nullopt;
    return LastProbabilistic->Run;
}

std::optional<ReliabilityRun> StudyRecords::reliabilityRunFor(const RunBasis& basis) const {
    if (!LastReliability || LastReliability->Basis != basis || LastReliability->Run.Result.Cancelled)
        return std::nullopt;
    return LastReliability->Run;
}

std::optional<SensitivityRun> StudyRecords::sensitivityRunFor(const RunBasis& basis) const {
    if (!LastSensitivity || LastSensitivity->Basis != basis || LastSensitivity->Run.Steps.empty()) return std::nullopt;
    return LastSensitivity->Run;
}

} // namespace trelmox
