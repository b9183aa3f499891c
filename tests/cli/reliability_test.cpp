// trelmox-cli reliability: its JSON keys, the target by class and type,
// and what it refuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/cli/cli_run.h"

using namespace trelmox::cli::testing;
using ::testing::HasSubstr;

namespace {

const std::vector<std::string> Strengths = {"--lognormal", "c1=5",    "--sd",          "f1=0.04",
                                            "--sd",        "f2=0.05", "--max-samples", "20000"};

CliRun reliability(std::vector<std::string> options) {
    std::vector<std::string> args = {"reliability", Example};
    args.insert(args.end(), Strengths.begin(), Strengths.end());
    args.insert(args.end(), options.begin(), options.end());
    return cli(args);
}

} // namespace

TEST(ReliabilityCommand, JsonHasExactlyTheKeysWithNullWhereNotAsked) {
    const CliRun r = reliability({"--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : json.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"beta", "pf_form", "pf_sorm", "pf_is", "pf_is_cov", "design_point",
                                              "alpha", "fs_at_design_point", "evaluations", "modes", "pf_system",
                                              "target_beta", "meets_target", "required_bolt_force",
                                              "required_bolt_trend", "required_bolt_plunge",
                                              "required_bolt_lower_bound", "required_bolt_confirmed", "error"}));
    std::vector<std::string> inputs;
    for (const auto& [key, value] : json["design_point"].items()) inputs.push_back(key);
    EXPECT_EQ(inputs, (std::vector<std::string>{"c1", "f1", "f2"}));
    double squares = 0;
    for (const auto& [key, value] : json["alpha"].items()) squares += value.get<double>() * value.get<double>();
    EXPECT_NEAR(squares, 1, 1e-12);
    EXPECT_NEAR(json["fs_at_design_point"].get<double>(), 1, 1e-6);
    EXPECT_EQ(json["modes"][0]["contact"], "BothPlanes");
    for (const char* key : {"target_beta", "meets_target", "required_bolt_force", "required_bolt_trend",
                            "required_bolt_plunge", "required_bolt_lower_bound", "required_bolt_confirmed", "error"})
        EXPECT_TRUE(json[key].is_null()) << key;
}

TEST(ReliabilityCommand, TargetByClassAndTypeAndTheDesignBolt) {
    const CliRun r = reliability({"--format", "json", "--target-beta", "1-brittle", "--design-bolt", "300/-10"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(json["target_beta"].get<double>(), 4.2);
    EXPECT_EQ(json["meets_target"].get<bool>(), json["beta"].get<double>() >= 4.2);
    EXPECT_GT(json["required_bolt_force"].get<double>(), 0);
    EXPECT_EQ(json["required_bolt_trend"].get<double>(), 300);
    EXPECT_EQ(json["required_bolt_plunge"].get<double>(), -10);
    // A given direction is not searched: no bound to confirm against.
    EXPECT_TRUE(json["required_bolt_lower_bound"].is_null());
    EXPECT_TRUE(json["required_bolt_confirmed"].is_null());
}

// The least-force direction needs no more force than the given one above,
// and is reported with its direction and the bound that confirms it.
TEST(ReliabilityCommand, TheLeastForceBolt) {
    const CliRun along = reliability({"--format", "json", "--target-beta", "4.2", "--design-bolt", "300/-10"});
    const CliRun least = reliability({"--format", "json", "--target-beta", "4.2", "--design-bolt", "least"});
    ASSERT_EQ(least.status, 0) << least.err;
    const auto given = nlohmann::ordered_json::parse(along.out);
    const auto json = nlohmann::ordered_json::parse(least.out);
    const double force = json["required_bolt_force"].get<double>();
    EXPECT_GT(force, 0);
    EXPECT_LE(force, given["required_bolt_force"].get<double>());
    EXPECT_TRUE(json["required_bolt_trend"].is_number() && json["required_bolt_plunge"].is_number());
    EXPECT_LE(json["required_bolt_lower_bound"].get<double>(), force);
    EXPECT_TRUE(json["required_bolt_confirmed"].is_boolean());
    EXPECT_TRUE(json["error"].is_null());
    const CliRun text = cli({"--lang", "en", "reliability", Example, "--lognormal", "c1=5", "--sd", "f1=0.04", "--sd",
                             "f2=0.05", "--max-samples", "20000", "--target-beta", "4.2", "--design-bolt", "least"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_THAT(text.out, HasSubstr("least-force bolt"));
    EXPECT_THAT(text.out, HasSubstr("least direction"));
}

TEST(ReliabilityCommand, RefusesOptionsThatDoNotFit) {
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--target-beta", "4-ductile"},
             {"--design-bolt", "300"},
             {"--design-bolt", "300/-10"}, // without a target
             {"--design-bolt", "least"},
             {"--target-beta", "3", "--design-bolt", "least", "--factor", "kc"},
             {"--target-beta", "3", "--design-bolt", "300/-10", "--factor", "kc"},
             {"--is-cov", "0"},
             {"--factor", "ks"},
             {"--sd", "u1=1"}, // computed water pressures
         }) {
        const CliRun r = reliability(bad);
        EXPECT_EQ(r.status, 2) << bad.front() << " " << r.out;
        EXPECT_THAT(r.err, HasSubstr("usage: trelmox-cli reliability"));
    }
}

TEST(ReliabilityCommand, ABlockWithoutRandomInputsSaysWhy) {
    const CliRun r = cli({"--lang", "en", "reliability", Example, "--format", "json"});
    EXPECT_EQ(r.status, 1);
    const auto json = nlohmann::ordered_json::parse(r.out);
    EXPECT_TRUE(json["beta"].is_null());
    EXPECT_THAT(json["error"].get<std::string>(), HasSubstr("no input varies"));
}
