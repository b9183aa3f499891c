#include "model/attitude.h"

#include <cmath>
#include <span>
#include <string_view>
#include <utility>

#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

bool strikesNE(const std::string& strikeNS, const std::string& strikeEW) { return strikeNS == "N" && strikeEW == "E"; }
bool strikesNW(const std::string& strikeNS, const std::string& strikeEW) { return strikeNS == "N" && strikeEW == "W"; }

// The two dip quadrants (DipNS, DipEW) on either side of a strike; none
// for a strike that is neither N..E nor N..W.
std::span<const std::pair<const char*, const char*>> allowedDipQuadrants(const std::string& strikeNS,
                                                                         const std::string& strikeEW) {
    static constexpr std::pair<const char*, const char*> northEast[] = {{"N", "W"}, {"S", "E"}};
    static constexpr std::pair<const char*, const char*> northWest[] = {{"N", "E"}, {"S", "W"}};
    if (strikesNE(strikeNS, strikeEW)) return northEast;
    if (strikesNW(strikeNS, strikeEW)) return northWest;
    return {};
}

void setStrike(TPlaneQuadrant& plane, double strikeAngle, const char* strikeEW, const char* dipNS, const char* dipEW) {
    plane.StrikeNS = "N";
    plane.StrikeAngle = floatToText(strikeAngle);
    plane.StrikeEW = strikeEW;
    plane.DipNS = dipNS;
    plane.DipEW = dipEW;
}

// Each quadrant holds its lower bound; 360 belongs to the last one. Outside
// 0..360 (or not a number) the plane keeps its letters and strike angle.
void setStrikeFromDipDirection(double d, TPlaneQuadrant& plane) {
    if (d >= 0 && d < 90)
        setStrike(plane, 90 - d, "W", "N", "E");
    else if (d >= 90 && d < 180)
        setStrike(plane, d - 90, "E", "S", "E");
    else if (d >= 180 && d < 270)
        setStrike(plane, 270 - d, "W", "S", "W");
    else if (d >= 270 && d <= 360)
        setStrike(plane, d - 270, "E", "N", "W");
}

} // namespace

// The strike angle is read only for a meaningful combination, so a
// malformed angle beside meaningless letters is no error.
double azimuthWithin360(double azimuth) {
    if (!std::isfinite(azimuth) || (azimuth >= 0 && azimuth <= 360)) return azimuth + 0.0; // -0 is 0
    return std::fmod(std::fmod(azimuth, 360.0) + 360.0, 360.0);
}

std::optional<double> quadrantDipDirection(const TPlaneQuadrant& plane) {
    if (strikesNE(plane.StrikeNS, plane.StrikeEW)) {
        if (plane.DipNS == "S" && plane.DipEW == "E") return textToFloat(plane.StrikeAngle) + 90;
        if (plane.DipNS == "N" && plane.DipEW == "W") return textToFloat(plane.StrikeAngle) + 270;
    } else if (strikesNW(plane.StrikeNS, plane.StrikeEW)) {
        if (plane.DipNS == "S" && plane.DipEW == "W") return 270 - textToFloat(plane.StrikeAngle);
        if (plane.DipNS == "N" && plane.DipEW == "E") return 90 - textToFloat(plane.StrikeAngle);
    }
    return std::nullopt;
}

void data1to2(const PlaneQuadrantArray& quadrants, PlaneAttitudeArray& attitudes) {
    for (int i = 0; i < PlaneCount; ++i) attitudes[i].DipAngle = textToFloat(quadrants[i].DipAngle);
    for (int i = 0; i < PlaneCount; ++i)
        if (const auto direction = quadrantDipDirection(quadrants[i])) attitudes[i].DipDirection = *direction;
}

void data2to1(const PlaneAttitudeArray& attitudes, PlaneQuadrantArray& quadrants) {
    for (int i = 0; i < PlaneCount; ++i) quadrants[i].DipAngle = floatToText(attitudes[i].DipAngle);
    for (int i = 0; i < PlaneCount; ++i) setStrikeFromDipDirection(attitudes[i].DipDirection, quadrants[i]);
}

std::optional<std::string> MatchDipEW(const std::string& strikeNS, const std::string& strikeEW,
                                      const std::string& newDipNS) {
    for (const auto& [dipNS, dipEW] : allowedDipQuadrants(strikeNS, strikeEW))
        if (newDipNS == dipNS) return dipEW;
    return std::nullopt;
}

std::optional<std::string> MatchDipNS(const std::string& strikeNS, const std::string& strikeEW,
                                      const std::string& newDipEW) {
    for (const auto& [dipNS, dipEW] : allowedDipQuadrants(strikeNS, strikeEW))
        if (newDipEW == dipEW) return dipNS;
    return std::nullopt;
}

std::string Parse(const std::string& separator, const std::string& text, int n) {
    std::string rest = text;
    if (!rest.ends_with(separator)) rest += separator;
    std::string field;
    for (int i = 0; i < n; ++i) {
        const std::size_t at = rest.find(separator);
        if (at == std::string::npos) return "";
        field = rest.substr(0, at);
        rest.erase(0, at + separator.size());
    }
    return field;
}

void requireAngle(int plane, const char* box, double value, double high) {
    if (value >= 0 && value <= high) return;
    const char* const limit = high == 90 ? "90" : "360";
    constexpr const char* EnglishPlanes[PlaneCount] = {"cutting plane 1", "cutting plane 2", "the slope top",
                                                       "the slope face"};
    const std::string_view key(box);
    const char* const englishBox = key == "走向角" ? "strike angle" : key == "倾角" ? "dip" : "dip direction";
    const std::string message =
        messageLanguage() == Language::English
            ? std::string("The ") + englishBox + " of " + EnglishPlanes[plane] + " must be between 0 and " + limit
            : std::string(PlaneNames[plane]) + box + "应在0到" + limit + "之间";
    // The box's name and the plane's row tell the window which box to focus.
    throw Error::refused(message, box, plane);
}

} // namespace trelmox
