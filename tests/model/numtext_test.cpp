#include "model/exact_text.h"
#include "model/numtext.h"

#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstdlib>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

#include "tests/model/test_support.h"

using namespace trelmox;

using trelmox::testing::messageOf;

namespace {

std::string floatError(const std::string& text) {
    return messageOf([&] { textToFloat(text); });
}
std::string intError(const std::string& text) {
    return messageOf([&] { textToInt32(text); });
}

} // namespace

TEST(TextToFloat, ReadsWhatAPersonTypes) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"45", 45},
        {"-45", -45},
        {"+7", 7},
        {"0.364", 0.364},
        {".5", 0.5},
        {"5.", 5},
        {"1e3", 1000},
        {"1E-3", 0.001},
        {"2.5e+2", 250},
        {"-0", 0},
        {"007", 7},
        {"1.7976931348623157e308", DBL_MAX},
        {"4.9e-324", 4.9e-324},
        {"1e-400", 0},
        {"-1e-400", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(textToFloat(c.text), c.value) << c.text;
}

// The reference: glibc's correctly rounded conversion (the tests run in the
// "C" locale). Compared bit for bit, so that the sign of zero counts too.
void expectSameAsStrtod(const std::string& text) {
    const double expected = std::strtod(text.c_str(), nullptr);
    const double actual = textToFloat(text);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
        << text << ": " << actual << " instead of " << expected;
}

TEST(TextToFloat, RoundsExactlyAtTheLimitsOfShortDecimals) {
    const char* cases[] = {
        "-0",
        "-0.0",
        "+0",
        "0e-30",
        "-0e5",
        "0.000",
        "1e22",
        "1e23",
        "-1e22",
        "1e-22",
        "1e-23",
        "9e22",
        "123456789012345e22",
        "123456789012345",
        "1234567890123456",
        "9007199254740992",
        "9007199254740993",
        "999999999999999",
        "9999999999999999",
        "0.1",
        "0.3",
        "2.675",
        "0.000000000000000000001",
        "1.00000000000000000000",
        "100000000000000000000000",
        "0.000123456789012345e-10",
        "12345678901234567890123",
        "4.35",
        "1.15e-5",
        "8.5",
        "1e-5",
        "17e-23",
        "000000000000000000000001.5",
        "9.999999999999999e22",
    };
    for (const char* text : cases) expectSameAsStrtod(text);
}

// Random decimal texts of every shape the grammar admits: 1 to 20 digits,
// leading zeros, a point anywhere or nowhere, exponents around and beyond
// the exactly representable powers of ten.
std::string randomDecimal(std::mt19937_64& random) {
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string text = pick(0, 2) == 0 ? "-" : pick(0, 4) == 0 ? "+" : "";
    if (pick(0, 3) == 0) text += std::string(static_cast<std::size_t>(pick(1, 12)), '0');
    const int digits = pick(1, 20);
    std::string mantissa;
    for (int i = 0; i < digits; ++i) mantissa += static_cast<char>('0' + pick(0, 9));
    if (pick(0, 2) > 0) mantissa.insert(static_cast<std::size_t>(pick(0, digits)), ".");
    text += mantissa;
    if (pick(0, 1) == 0) {
        static const char* signs[] = {"", "+", "-"};
        text += (pick(0, 1) == 0 ? "e" : "E") + std::string(signs[pick(0, 2)]) + std::to_string(pick(0, 40));
    }
    return text;
}

TEST(TextToFloat, AgreesBitForBitWithTheCorrectlyRoundedConversion) {
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 300000; ++i) expectSameAsStrtod(randomDecimal(random));
}

TEST(TextToFloat, RejectsEverythingElseWithTheUsersMessage) {
    const char* cases[] = {"",   " 1",    "1 ",     "1,5",     "inf", "-inf",  "nan",   "NaN", "0x10",
                           "1e", "1e+",   "e5",     ".",       "-",   "+",     "1.2.3", "--1", "1e5.0",
                           "١",  "1e400", "-1e400", "1.8e308", "abc", "12abc", "1_000", "\t2"};
    for (const char* text : cases)
        EXPECT_EQ(floatError(text), "'" + std::string(text) + "' is not a valid floating point value")
            << "[" << text << "]";
}

TEST(TextToFloat, IgnoresTheProcessLocale) {
    // Uses a decimal comma where the locale is installed.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(textToFloat("0.25"), 0.25);
    EXPECT_EQ(floatToText(0.25), "0.25");
    EXPECT_EQ(floatToFixed4(0.25), "0.2500");
    EXPECT_EQ(floatError("0,25"), "'0,25' is not a valid floating point value");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(TextToInt32, AcceptsOnlySignedDecimalIntegersInRange) {
    EXPECT_EQ(textToInt32("1"), 1);
    EXPECT_EQ(textToInt32("+12"), 12);
    EXPECT_EQ(textToInt32("-0"), 0);
    EXPECT_EQ(textToInt32("2147483647"), 2147483647);
    EXPECT_EQ(textToInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    const char* bad[] = {"",    "1.0", "2147483648", "-2147483649",         " 1", "1 ", "+", "-", "+-1",
                         "0x1", "$1F", "1e3",        "99999999999999999999"};
    for (const char* text : bad)
        EXPECT_EQ(intError(text), "'" + std::string(text) + "' is not a valid integer value") << text;
}

TEST(FloatToText, GeneralFormatWithFifteenDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {45, "45"},
        {47.5, "47.5"},
        {-20, "-20"},
        {100.1 - 90, "10.1"},
        {0.1 + 0.2, "0.3"},
        {-5.773502691896258, "-5.77350269189626"},
        {292.5, "292.5"},
        {0.00025, "0.00025"},
        {0.0001, "0.0001"},
        {0.00009999999999999999, "0.0001"},
        {0.000099999999999999, "9.9999999999999E-5"},
        {-0.0001, "-0.0001"},
        {0.000015, "1.5E-5"},
        {-0.000015, "-1.5E-5"},
        {1.02558009940457e-15, "1.02558009940457E-15"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.5, "1E15"},
        {1e15, "1E15"},
        {-1e15, "-1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1e100, "1E100"},
        {DBL_MAX, "1.79769313486232E308"},
        {-DBL_MAX, "-1.79769313486232E308"},
        {4.9406564584124654e-324, "4.94065645841247E-324"},
        {DBL_MIN, "2.2250738585072E-308"},
        {12345.678901234567, "12345.6789012346"},
        {1234567.5, "1234567.5"},
        {65.4, "65.4"},
        {1.0 / 3.0, "0.333333333333333"},
    };
    for (const auto& c : cases) EXPECT_EQ(floatToText(c.value), c.text) << c.text;
}

TEST(FloatToText, ReadsBackWithinFifteenDigits) {
    const double values[] = {105.0, 1.0 / 7.0, 2.0 / 3.0 * 1e-7, 359.99999999999994, 1e-5, 123456.654321};
    for (double v : values) EXPECT_NEAR(textToFloat(floatToText(v)), v, std::fabs(v) * 1e-14) << v;
}

// The fewest digits that read back to the same bits, in the same general
// format; a value typed with up to 15 digits is written as floatToText does.
TEST(FloatToExactText, ShortestTextThatReadsBackExactly) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1.0 / 3, "0.3333333333333333"},
        {0.1 + 0.2, "0.30000000000000004"},
        {std::numeric_limits<double>::max(), "1.7976931348623157E308"},
        {5e-324, "5E-324"},
        {-2.5e-5, "-2.5E-5"},
        {1e15, "1E15"},
        {123456789012345.6, "123456789012345.6"},
        {0.0001, "0.0001"},
        {-0.0, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(floatToExactText(c.value), c.text);
        EXPECT_EQ(textToFloat(floatToExactText(c.value)), c.value) << c.text;
    }
    for (const double typed : {105.0, 0.645, 1e-5, 65.4, 9.81e12, 1.5e-7})
        EXPECT_EQ(floatToExactText(typed), floatToText(typed));
}

TEST(FloatToFixed4, FourDecimalsAndNoSignedZero) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {17896.951312, "17896.9513"},
        {31.19654, "31.1965"},
        {0, "0.0000"},
        {-0.0, "0.0000"},
        {-0.00004, "0.0000"},
        {0.00004, "0.0000"},
        {-0.00006, "-0.0001"},
        {1.18914, "1.1891"},
        {-3.5, "-3.5000"},
        {1e15, "1000000000000000.0000"},
    };
    for (const auto& c : cases) EXPECT_EQ(floatToFixed4(c.value), c.text) << c.text;
}
