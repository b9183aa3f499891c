#include "analysis/probabilistic/distribution_options.h"

#include <gtest/gtest.h>

#include "model/error.h"
#include "model/language.h"

using namespace trelmox;

namespace {

using Kind = Distribution::Kind;

// Each option's value read into its input and its numbers, in the order
// the option gives them.
TEST(DistributionOptions, ReadsEachOptionsNumbersIntoTheirPlaces) {
    const struct {
        std::string option, text;
        Parameter input;
        Kind kind;
        double spread, low, high;
    } read[] = {
        {"sd", "c1=5", Parameter::Cohesion1, Kind::Normal, 5, 0, 0},
        {"lognormal", "f2=0.05", Parameter::Friction2, Kind::Lognormal, 0.05, 0, 0},
        {"gamma", "c2=1e1", Parameter::Cohesion2, Kind::Gamma, 10, 0, 0},
        {"uniform", "f1=0.3:0.45", Parameter::Friction1, Kind::Uniform, 0, 0.3, 0.45},
        {"triangular", "dip2=66:74", Parameter::Dip2, Kind::Triangular, 0, 66, 74},
        {"beta", "c1=2:10:30", Parameter::Cohesion1, Kind::Beta, 2, 10, 30},
        {"exponential", "c1", Parameter::Cohesion1, Kind::Exponential, 0, 0, 0},
    };
    for (const auto& c : read) {
        const InputDistribution d = parseDistributionOption(c.option, c.text);
        EXPECT_EQ(d.Input, c.input) << c.text;
        EXPECT_EQ(d.Shape.Type, c.kind) << c.text;
        EXPECT_EQ(d.Shape.Spread, c.spread) << c.text;
        EXPECT_EQ(d.Shape.Low, c.low) << c.text;
        EXPECT_EQ(d.Shape.High, c.high) << c.text;
        EXPECT_FALSE(d.Shape.TruncateLow || d.Shape.TruncateHigh) << c.text;
    }
}

TEST(DistributionOptions, RefusesMalformedValuesInTheToolsWords) {
    const struct {
        std::string option, text, message;
    } refused[] = {
        {"sd", "c1", "--sd needs NAME=VALUE, not 'c1'"},
        {"sd", "cohesion=5", "unknown parameter 'cohesion' (names: " + parameterNameList() + ")"},
        {"sd", "c1=", "invalid number '' for --sd c1="},
        {"sd", "c1=5x", "invalid number '5x' for --sd c1=5x"},
        {"sd", "c1=5:6", "invalid number '5:6' for --sd c1=5:6"},
        {"uniform", "f1=0.3", "--uniform needs NAME=LO:HI, not '--uniform f1=0.3'"},
        {"triangular", "f1=1:2:3", "--triangular needs NAME=LO:HI, not '--triangular f1=1:2:3'"},
        {"uniform", "f1=0.3:", "invalid number '' for --uniform f1=0.3:"},
        {"beta", "c1=1:2", "--beta needs NAME=SD:LO:HI, not '--beta c1=1:2'"},
        {"exponential", "c1=5", "unknown parameter 'c1=5' (names: " + parameterNameList() + ")"},
    };
    for (const auto& c : refused) {
        try {
            parseDistributionOption(c.option, c.text);
            ADD_FAILURE() << "read " << c.text;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput) << c.text;
        }
    }
}

TEST(DistributionOptions, TruncationTakesEitherBoundAlone) {
    const InputTruncation both = parseTruncationOption("height=30:50");
    EXPECT_EQ(both.Input, Parameter::SlopeHeight);
    EXPECT_EQ(both.Low, 30);
    EXPECT_EQ(both.High, 50);
    const InputTruncation above = parseTruncationOption("c1=:8");
    EXPECT_FALSE(above.Low);
    EXPECT_EQ(above.High, 8);
    const InputTruncation below = parseTruncationOption("c1=0:");
    EXPECT_EQ(below.Low, 0);
    EXPECT_FALSE(below.High);
    for (const std::string text : {"c1", "c1=5", "c1=a:5", "c1=1:2:3", "x=1:2"})
        EXPECT_THROW(parseTruncationOption(text), Error) << text;
}

TEST(DistributionOptions, ShapesTakeTheNumbersTheirKindNeeds) {
    const auto none = std::nullopt;
    const Distribution beta = shapedDistribution("c1", "beta", 2, 10, 30, none, 25);
    EXPECT_EQ(beta.Type, Kind::Beta);
    EXPECT_EQ(beta.Spread, 2);
    EXPECT_EQ(beta.Low, 10);
    EXPECT_EQ(beta.High, 30);
    EXPECT_FALSE(beta.TruncateLow);
    EXPECT_EQ(beta.TruncateHigh, 25);
    // Numbers a kind does not take are left aside.
    const Distribution uniform = shapedDistribution("f1", "uniform", 9, 0.3, 0.45, none, none);
    EXPECT_EQ(uniform.Spread, 0);
    const struct {
        std::string kind;
        std::optional<double> sd, low, high;
        std::string message;
    } refused[] = {
        {"normal", none, 1, 2, "the normal distribution of c1 needs sd"},
        {"uniform", 1, none, 2, "the uniform distribution of c1 needs low"},
        {"triangular", 1, 1, none, "the triangular distribution of c1 needs high"},
        {"beta", 1, 1, none, "the beta distribution of c1 needs high"},
        {"Normal", 1, none, none,
         "unknown distribution 'Normal' (normal, uniform, lognormal, exponential, triangular, beta, gamma)"},
        {"sd", 1, none, none,
         "unknown distribution 'sd' (normal, uniform, lognormal, exponential, triangular, beta, gamma)"},
    };
    for (const auto& c : refused) {
        try {
            shapedDistribution("c1", c.kind, c.sd, c.low, c.high, none, none);
            ADD_FAILURE() << "read " << c.kind;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(e.field(), "c1");
        }
    }
}

// The short shape lists its numbers in the kind's order: a beta's sd comes
// before its bounds, and a count the kind does not take is refused rather
// than read into the wrong slots.
TEST(DistributionOptions, ListedShapesPutEachNumberInItsPlace) {
    const struct {
        std::string kind;
        std::vector<double> numbers;
        Kind type;
        double sd, low, high;
    } read[] = {
        {"normal", {5}, Kind::Normal, 5, 0, 0},
        {"exponential", {}, Kind::Exponential, 0, 0, 0},
        {"uniform", {0.3, 0.45}, Kind::Uniform, 0, 0.3, 0.45},
        {"beta", {2, 10, 30}, Kind::Beta, 2, 10, 30},
    };
    for (const auto& c : read) {
        SCOPED_TRACE(c.kind);
        const Distribution d = listedDistribution("c1", c.kind, c.numbers);
        EXPECT_EQ(d.Type, c.type);
        EXPECT_EQ(d.Spread, c.sd);
        EXPECT_EQ(d.Low, c.low);
        EXPECT_EQ(d.High, c.high);
    }
    const struct {
        std::string kind;
        std::vector<double> numbers;
        std::string message;
    } refused[] = {
        {"normal", {1, 2}, "the distribution of f1 is (\"normal\", sd), not 2 numbers"},
        {"beta", {1}, "the distribution of f1 is (\"beta\", sd, low, high), not 1 number"},
        {"exponential", {3}, "the distribution of f1 is (\"exponential\"), not 1 number"},
        {"cauchy",
         {1},
         "unknown distribution 'cauchy' (normal, uniform, lognormal, exponential, triangular, beta, gamma)"},
    };
    setMessageLanguage(Language::English);
    for (const auto& c : refused) {
        try {
            listedDistribution("f1", c.kind, c.numbers);
            ADD_FAILURE() << "read " << c.kind;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(e.field(), "f1");
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
        }
    }
    setMessageLanguage(Language::Chinese);
}

} // namespace
