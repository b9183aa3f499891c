#include "document/study_records.h"

#include "model/numtext.h"

namespace trelmox {

ProbabilisticSettings probabilisticSettings(const ProbabilisticEntries& entries) {
    ProbabilisticSettings settings;
    for (int row = 0; row < ParameterCount; ++row) {
        const DistributionEntry& entry = entries.Distributions[row];
        Distribution& d = settings.Distributions[row];
        d.Type = entry.Type;
        if (d.Type == Distribution::Kind::Normal || d.Type == Distribution::Kind::Lognormal)
            d.Spread = textToFloat(entry.First);
        if (d.Type == Distribution::Kind::Uniform) {
            d.Low = textToFloat(entry.First);
            d.High = textToFloat(entry.Second);
        }
    }
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

std::optional<SensitivityRun> StudyRecords::sensitivityRunFor(const RunBasis& basis) const {
    if (!LastSensitivity || LastSensitivity->Basis != basis || LastSensitivity->Run.Steps.empty()) return std::nullopt;
    return LastSensitivity->Run;
}

} // namespace trelmox
