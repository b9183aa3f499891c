#pragma once
// The probabilistic and sensitivity analyses of the block as the user sets
// them up, and their last runs with the block each was run on. They live in
// the block document, so that closing and reopening a window keeps them and
// the calculation report takes the runs from here, never from a window.
#include <array>
#include <optional>
#include <string>

#include "analysis/probabilistic/parameters.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/study_runs.h"
#include "model/block.h"
#include "model/loads.h"

namespace trelmox {

// One input's distribution as typed: its standard deviation (normal,
// lognormal, beta, gamma), its bounds (uniform, triangular, beta) and the
// truncation bounds (any; empty: none). What a kind does not use is left
// as typed and ignored.
struct DistributionEntry {
    Distribution::Kind Type = Distribution::Kind::Fixed;
    std::string Spread, Low, High;
    std::string TruncateLow, TruncateHigh;
    bool operator==(const DistributionEntry&) const = default;
};

struct ProbabilisticEntries {
    std::array<DistributionEntry, ParameterCount> Distributions{}; // by Parameter
    int Samples = 10000;
    SamplingMethod Method = SamplingMethod::MonteCarlo;
    int Seed = 1;
    int HistogramBins = 30;
    // The correlation of c and f of plane 1 and of plane 2.
    std::array<double, 2> Correlation{};
    bool operator==(const ProbabilisticEntries&) const = default;
};

// The entries as settings; throws Error for a text that is not a number.
ProbabilisticSettings probabilisticSettings(const ProbabilisticEntries& entries);

struct SensitivityEntries {
    Parameter Input = Parameter::Friction1;
    std::string From, To;
    int Steps = 40;
    bool operator==(const SensitivityEntries&) const = default;
};

// What an analysis was run on: the confirmed block's name and planes, the
// parameters and the loads (none when a loads text did not convert).
struct RunBasis {
    std::string Name;
    PlaneAttitudeArray Attitudes{};
    PlaneQuadrantArray Quadrants{};
    TWedgeParams Params{};
    std::optional<WedgeLoads> Loads;
    bool operator==(const RunBasis&) const = default;
};

struct StudyRecords {
    // None until the window first proposes settings around the block.
    std::optional<ProbabilisticEntries> Probabilistic;
    std::optional<SensitivityEntries> Sensitivity;

    struct ProbabilisticRecord {
        RunBasis Basis;
        ProbabilisticRun Run;
    };
    struct SensitivityRecord {
        RunBasis Basis;
        SensitivityRun Run;
    };
    struct ReliabilityRecord {
        RunBasis Basis;
        ReliabilityRun Run;
    };
    std::optional<ProbabilisticRecord> LastProbabilistic;
    std::optional<SensitivityRecord> LastSensitivity;
    std::optional<ReliabilityRecord> LastReliability;

    // The last run when it was made on `basis` (and not cancelled): a run
    // of other inputs never goes into a report.
    std::optional<ProbabilisticRun> probabilisticRunFor(const RunBasis& basis) const;
    std::optional<SensitivityRun> sensitivityRunFor(const RunBasis& basis) const;
    std::optional<ReliabilityRun> reliabilityRunFor(const RunBasis& basis) const;
};

} // namespace trelmox
