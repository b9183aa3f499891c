#include "model/attitude.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;

namespace {

PlaneQuadrantArray allPlanes(const TPlaneQuadrant& plane) { return {plane, plane, plane, plane}; }

PlaneAttitudeArray allAttitudes(double dipAngle, double dipDirection) {
    const TPlaneAttitude a{dipAngle, dipDirection};
    return {a, a, a, a};
}

} // namespace

TEST(Data1to2, DipDirectionFromTheLetterRows) {
    const double unchanged = 7;
    const struct {
        TPlaneQuadrant plane;
        double direction;
    } cases[] = {
        {{"N", "30", "E", "S", "E", "45"}, 120},
        {{"N", "30", "E", "N", "W", "45"}, 300},
        {{"N", "40", "W", "S", "W", "60"}, 230},
        {{"N", "40", "W", "N", "E", "60"}, 50},
        {{"N", "0", "E", "S", "E", "0"}, 90},
        {{"N", "90", "E", "N", "W", "1"}, 360},
        {{"N", "120", "E", "S", "E", "1"}, 210}, // neither reduced nor limited
        {{"N", "100", "W", "N", "E", "1"}, -10},
        {{"N", "1.5e1", "E", "S", "E", "1"}, 105},
        {{"N", "30", "E", "S", "W", "45"}, unchanged}, // pair the strike does not allow
        {{"N", "30", "E", "N", "E", "45"}, unchanged},
        {{"N", "30", "W", "S", "E", "45"}, unchanged},
        {{"n", "30", "e", "s", "e", "45"}, unchanged}, // case-sensitive
        {{"S", "30", "E", "S", "E", "45"}, unchanged},
        {{"N", "30", "", "S", "E", "45"}, unchanged},
        {{"", "", "", "", "", "45"}, unchanged},
        {{"N", "abc", "E", "S", "W", "45"}, unchanged}, // angle never read
    };
    for (const auto& c : cases) {
        auto attitudes = allAttitudes(0, unchanged);
        data1to2(allPlanes(c.plane), attitudes);
        for (const auto& a : attitudes) {
            EXPECT_EQ(a.DipDirection, c.direction) << c.plane.StrikeAngle << c.plane.DipNS << c.plane.DipEW;
            EXPECT_EQ(a.DipAngle, std::stod(c.plane.DipAngle));
        }
    }
}

TEST(Data1to2, FailureKeepsWhatWasConverted) {
    const TPlaneQuadrant good{"N", "30", "E", "S", "E", "45"};
    auto badDip = allPlanes(good);
    badDip[2].DipAngle = "";
    auto attitudes = allAttitudes(1, 2);
    EXPECT_EQ(messageOf([&] { data1to2(badDip, attitudes); }), "'' is not a valid floating point value");
    const PlaneAttitudeArray afterBadDip = {TPlaneAttitude{45, 2}, {45, 2}, {1, 2}, {1, 2}};
    EXPECT_EQ(attitudes, afterBadDip);

    auto badStrike = allPlanes(good);
    badStrike[2].StrikeAngle = "3O";
    attitudes = allAttitudes(1, 2);
    EXPECT_EQ(messageOf([&] { data1to2(badStrike, attitudes); }), "'3O' is not a valid floating point value");
    const PlaneAttitudeArray afterBadStrike = {TPlaneAttitude{45, 120}, {45, 120}, {45, 2}, {45, 2}};
    EXPECT_EQ(attitudes, afterBadStrike);
}

TEST(Data2to1, LettersFromTheDipDirectionQuadrant) {
    const TPlaneQuadrant old{"old", "old", "old", "old", "old", "old"};
    const struct {
        double direction;
        TPlaneQuadrant plane; // DipAngle is always "12.5"
    } cases[] = {
        {0, {"N", "90", "W", "N", "E", "12.5"}},
        {45, {"N", "45", "W", "N", "E", "12.5"}},
        {89.5, {"N", "0.5", "W", "N", "E", "12.5"}},
        {90, {"N", "0", "E", "S", "E", "12.5"}},
        {120, {"N", "30", "E", "S", "E", "12.5"}},
        {180, {"N", "90", "W", "S", "W", "12.5"}},
        {200, {"N", "70", "W", "S", "W", "12.5"}},
        {270, {"N", "0", "E", "N", "W", "12.5"}},
        {292.5, {"N", "22.5", "E", "N", "W", "12.5"}},
        {360, {"N", "90", "E", "N", "W", "12.5"}},
        {100.1, {"N", "10.1", "E", "S", "E", "12.5"}}, // no run of nines
        {-5, {"old", "old", "old", "old", "old", "12.5"}},
        {360.0000001, {"old", "old", "old", "old", "old", "12.5"}},
        {400, {"old", "old", "old", "old", "old", "12.5"}},
        {std::numeric_limits<double>::quiet_NaN(), {"old", "old", "old", "old", "old", "12.5"}},
    };
    for (const auto& c : cases) {
        auto quadrants = allPlanes(old);
        data2to1(allAttitudes(12.5, c.direction), quadrants);
        EXPECT_EQ(quadrants, allPlanes(c.plane)) << c.direction;
    }
}

TEST(Data2to1, RoundTripReturnsTheDipDirection) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> direction(0, 360), dip(0, 90);
    for (int i = 0; i < 5000; ++i) {
        PlaneAttitudeArray attitudes;
        for (auto& a : attitudes) a = {dip(random), direction(random)};
        attitudes[i % PlaneCount].DipDirection = (i / PlaneCount) % 361; // whole degrees, bounds included
        PlaneQuadrantArray quadrants;
        data2to1(attitudes, quadrants);
        PlaneAttitudeArray back;
        data1to2(quadrants, back);
        for (int p = 0; p < PlaneCount; ++p) {
            ASSERT_NEAR(back[p].DipDirection, attitudes[p].DipDirection, 1e-12) << quadrants[p].StrikeAngle;
            ASSERT_NEAR(back[p].DipAngle, attitudes[p].DipAngle, 1e-13);
        }
    }
}

TEST(DipLetters, TheOtherLetterFollowsTheStrike) {
    const struct {
        const char *strikeNS, *strikeEW, *changed;
        std::optional<std::string> ew, ns; // MatchDipEW(changed), MatchDipNS(changed)
    } cases[] = {
        {"N", "E", "N", "W", std::nullopt},          {"N", "E", "S", "E", std::nullopt},
        {"N", "E", "W", std::nullopt, "N"},          {"N", "E", "E", std::nullopt, "S"},
        {"N", "W", "N", "E", std::nullopt},          {"N", "W", "S", "W", std::nullopt},
        {"N", "W", "E", std::nullopt, "N"},          {"N", "W", "W", std::nullopt, "S"},
        {"N", "", "S", std::nullopt, std::nullopt},  {"S", "E", "S", std::nullopt, std::nullopt},
        {"N", "e", "E", std::nullopt, std::nullopt}, {"N", "E", "s", std::nullopt, std::nullopt},
        {"N", "E", "", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchDipEW(c.strikeNS, c.strikeEW, c.changed), c.ew) << c.strikeNS << c.strikeEW << c.changed;
        EXPECT_EQ(MatchDipNS(c.strikeNS, c.strikeEW, c.changed), c.ns) << c.strikeNS << c.strikeEW << c.changed;
    }
}

// The one rule for azimuths: within 0..360 as they are (360 included),
// any other finite one modulo 360; a number that is not finite is left to
// the range checks.
TEST(Azimuth, TakenWithin360) {
    const struct {
        double given, stored;
    } cases[] = {{0, 0},     {57, 57},  {360, 360}, {777, 57},        {720, 0},
                 {-30, 330}, {-360, 0}, {-0.0, 0},  {1e-300, 1e-300}, {-1e-13, 360 - 1e-13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(azimuthWithin360(c.given), c.stored);
        EXPECT_FALSE(std::signbit(azimuthWithin360(c.given)));
    }
    EXPECT_TRUE(std::isnan(azimuthWithin360(std::nan(""))));
    EXPECT_EQ(azimuthWithin360(INFINITY), INFINITY);
}

TEST(Parse, NthFieldBetweenSeparators) {
    const struct {
        const char *separator, *text;
        int n;
        const char* field;
    } cases[] = {
        {",", "N,30,E", 2, "30"},  {",", "N,30,E", 3, "E"}, {",", "N,30,E", 4, ""},     {".", "a1.txt", 1, "a1"},
        {".", "a1", 1, "a1"},      {".", "a1", 2, ""},      {".", "x.y.txt", 1, "x"},   {".", "x.y.txt", 2, "y"},
        {",", "", 1, ""},          {",", "", 3, ""},        {",", "a,,b", 2, ""},       {",", "a,,b", 3, "b"},
        {",", ",a", 1, ""},        {",", "a,", 1, "a"},     {",", "a,", 2, ""},         {",", " a , b", 2, " b"},
        {"::", "a::b::c", 2, "b"}, {",", "z,", 2, ""},      {",", "j,12.5", 2, "12.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.separator, c.text, c.n), c.field) << c.text << " #" << c.n;
}
