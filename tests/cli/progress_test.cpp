#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "analysis/probabilistic/parameters.h"
#include "cli/help_pages.h"
#include "cli/progress.h"
#include "model/language.h"

using namespace trelmox::cli;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

namespace {

// A clock the test moves by hand.
struct FakeClock {
    std::chrono::steady_clock::time_point now{};
    ProgressLine::Clock function() {
        return [this] { return now; };
    }
};

} // namespace

TEST(ProgressLine, DrawnOnlyWhenShownAndAfterASecond) {
    struct Case {
        bool shown;
        std::chrono::milliseconds at;
        bool drawn;
    } cases[] = {{false, 5s, false}, {true, 900ms, false}, {true, 1500ms, true}};
    for (const Case& c : cases) {
        std::ostringstream err;
        FakeClock clock;
        ProgressLine line(err, c.shown, clock.function());
        clock.now += c.at;
        line.update(500, 1000);
        line.clear();
        EXPECT_EQ(!err.str().empty(), c.drawn) << c.shown << ' ' << c.at.count();
    }
}

TEST(ProgressLine, ShowsBarShareRateAndTimeLeftThenClears) {
    trelmox::setMessageLanguage(trelmox::Language::English);
    std::ostringstream err;
    FakeClock clock;
    ProgressLine line(err, true, clock.function());
    clock.now += 1s; // preparing, then the first samples
    line.update(1'000'000, 10'000'000);
    EXPECT_EQ(err.str(), "\r[==>                 ]  10%\033[K");
    clock.now += 2s;
    line.update(5'000'000, 10'000'000);
    EXPECT_THAT(err.str(), ::testing::EndsWith("\r[==========>         ]  50%  2.0 M samples/s  3 s left\033[K"));
    line.clear();
    EXPECT_THAT(err.str(), ::testing::EndsWith("\r\033[K"));
    // Another run counts other things.
    std::ostringstream pairs;
    FakeClock later;
    ProgressLine counted(pairs, true, "pairs", later.function());
    later.now += 1s;
    counted.update(0, 100'000'000);
    later.now += 2s;
    counted.update(20'000'000, 100'000'000);
    EXPECT_THAT(pairs.str(), ::testing::EndsWith("  10.0 M pairs/s  8 s left\033[K"));
    // In Chinese the line is worded in Chinese.
    trelmox::setMessageLanguage(trelmox::Language::Chinese);
    std::ostringstream chinese;
    FakeClock again;
    ProgressLine zh(chinese, true, again.function());
    again.now += 1s;
    zh.update(1'000'000, 10'000'000);
    again.now += 2s;
    zh.update(5'000'000, 10'000'000);
    EXPECT_THAT(chinese.str(), ::testing::EndsWith("  2.0 M 样本/s  剩余 3 s\033[K"));
}

// The completion offers the tool's own names for --sd, --uniform, --lognormal
// and --param.
TEST(BashCompletion, OffersEveryInputName) {
    std::smatch names;
    const std::string script = trelmox::cli::bashCompletion();
    ASSERT_TRUE(std::regex_search(script, names, std::regex("names=\"([^\"]*)\"")));
    EXPECT_EQ(names[1], trelmox::parameterNameList());
}
