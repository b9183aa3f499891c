#include "analysis/joints/set_grouping.h"

#include <gtest/gtest.h>

#include <optional>

#include "model/error.h"

using namespace trelmox;

namespace {

// The tool turns a refusal into a usage error and the module into a Python
// error on the argument "sets": both by the kind and the field, so every
// text that is not a grouping must be refused with both.
TEST(SetGroupingOfCombinationRun, ReadsEveryGroupingAndRefusesAnyOtherTextNamingSets) {
    using Kind = SetGrouping::Kind;
    struct Case {
        const char* text;
        std::optional<Kind> kind; // absent: refused
        int count;
    };
    const Case cases[] = {
        {"planes", Kind::Planes, 0},    {"labels", Kind::Labels, 0},  {"auto:4", Kind::Automatic, 4},
        {"auto:1", Kind::Automatic, 1}, {"auto:0", std::nullopt, 0},  {"auto:-2", std::nullopt, 0},
        {"auto:", std::nullopt, 0},     {"auto:3x", std::nullopt, 0}, {"auto: 3", std::nullopt, 0},
        {"Planes", std::nullopt, 0},    {"", std::nullopt, 0},        {"auto:99999999999", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (!c.kind) {
            try {
                parseSetGrouping(c.text);
                ADD_FAILURE() << "taken";
            } catch (const Error& refused) {
                EXPECT_EQ(refused.kind(), ErrorKind::RefusedInput);
                EXPECT_EQ(refused.field(), "sets");
            }
            continue;
        }
        const SetGrouping choice = parseSetGrouping(c.text);
        EXPECT_EQ(choice.Type, *c.kind);
        EXPECT_EQ(choice.SetCount, c.count);
    }
}

} // namespace
