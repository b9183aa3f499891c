#include "commands/study_commands.h"

#include <gtest/gtest.h>

#include "model/error.h"
#include "tests/model/test_blocks.h"

using namespace trelmox;

namespace {

// Cancels once it has heard `allowed` reports of progress.
struct Cancelling : commands::Feedback {
    explicit Cancelling(int allowed) : allowed(allowed) {}
    int allowed;
    int reports = 0;
    void setProgress(std::uint64_t, std::uint64_t) override { ++reports; }
    bool isCancelled() const override { return reports > allowed; }
};

commands::StudyBlock exampleStudy() {
    const SavedBlock block = trelmox::testing::exampleBlock();
    return {block.Attitudes, parameterNumbers(block.Params), WedgeLoads{}};
}

ProbabilisticSettings varied(std::uint64_t samples) {
    ProbabilisticSettings settings;
    settings.Samples = samples;
    settings.Threads = 1;
    settings.KeepFactors = false;
    Distribution& friction = settings.Distributions[static_cast<int>(Parameter::Friction1)];
    friction.Type = Distribution::Kind::Normal;
    friction.Spread = 0.05;
    return settings;
}

} // namespace

// The feedback stops a run part way: the result says so, and no more than
// the samples before the stop were counted.
TEST(ProbabilisticStudy, StopsWhenTheFeedbackCancels) {
    Cancelling feedback(0);
    const ProbabilisticResult result = commands::probabilisticStudy(exampleStudy(), varied(2'000'000), feedback);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_GE(feedback.reports, 1);

    Cancelling never(1 << 30);
    const ProbabilisticResult whole = commands::probabilisticStudy(exampleStudy(), varied(2000), never);
    EXPECT_FALSE(whole.Cancelled);
    EXPECT_EQ(whole.Samples, 2000u);
    EXPECT_GE(never.reports, 1);
}

// Settings that do not fit the block are refused before any sample is drawn.
TEST(ProbabilisticStudy, RefusesBadSettingsBeforeRunning) {
    ProbabilisticSettings negative = varied(100);
    negative.Distributions[static_cast<int>(Parameter::Friction1)].Spread = -1;
    Cancelling feedback(1 << 30);
    EXPECT_THROW(commands::probabilisticStudy(exampleStudy(), negative, feedback), Error);
    EXPECT_EQ(feedback.reports, 0);
}

TEST(SensitivityStudy, RunsItsStepsUnlessCancelledFirst) {
    Cancelling cancelled(-1);
    EXPECT_FALSE(commands::sensitivityStudy(exampleStudy(), Parameter::Friction1, 0.2, 0.6, 5, cancelled));
    Cancelling never(1 << 30);
    const auto steps = commands::sensitivityStudy(exampleStudy(), Parameter::Friction1, 0.2, 0.6, 5, never);
    ASSERT_TRUE(steps);
    EXPECT_EQ(steps->size(), 6u); // both ends and four between
}

namespace {

// The message of the first failure `step` throws; empty when none.
template <typename Step> std::string failureOf(Step step) {
    try {
        step();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

} // namespace

// With several inputs bad, the tool and the module tell the same one
// first: the slope's loads, then the grouping, then the combination.
TEST(CombinationStudy, TellsTheSlopeThenTheSetsThenThePairs) {
    const SavedBlock block = trelmox::testing::exampleBlock();
    const BlockParameters parameters = parameterNumbers(block.Params);
    WedgeLoads badLoads;
    badLoads.SeismicCoefficient = -1;
    const std::string loads = failureOf([&] { combinationSlope(block.Attitudes, parameters, badLoads); });
    const std::string unlabelled = "45,105\n70,235\n";
    const std::string labels = failureOf([&] {
        JointDocument joints;
        joints.open(readMeasurements(unlabelled), "j.csv");
        joints.useLabels();
    });
    const std::string tooMany = failureOf([&] {
        JointDocument joints;
        joints.open(readMeasurements(unlabelled), "j.csv");
        joints.groupAutomatically(3);
    });
    const std::string onePair = failureOf([&] {
        JointDocument joints;
        joints.open(readMeasurements("45,105,J1\n"), "j.csv");
        joints.combine("w", block, combinationSlope(block.Attitudes, parameters, {}));
    });
    ASSERT_FALSE(loads.empty() || labels.empty() || tooMany.empty() || onePair.empty());
    const struct {
        bool badLoads;
        const char* grouping;
        const char* measurements;
        const std::string& expected;
    } cases[] = {
        {true, "labels", "45,105\n70,235\n", loads},   {true, "planes", "45,105\n", loads},
        {false, "labels", "45,105\n70,235\n", labels}, {false, "auto:3", "45,105\n70,235\n", tooMany},
        {false, "labels", "45,105,J1\n", onePair},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grouping);
        JointDocument joints;
        joints.open(readMeasurements(c.measurements), "j.csv");
        const std::optional<WedgeLoads> given = c.badLoads ? std::optional(badLoads) : std::nullopt;
        EXPECT_EQ(failureOf([&] {
                      commands::combinationStudy(joints, "w", block, parameters, given, parseSetGrouping(c.grouping),
                                                 std::nullopt, commands::silentFeedback());
                  }),
                  c.expected);
    }
}
