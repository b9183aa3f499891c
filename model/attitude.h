#pragma once
// Conversions between quadrant notation and dip angle / dip direction, and
// the dip-letter rules that keep a plane's dip quadrant on the side its
// strike allows.
#include <optional>
#include <string>
#include <vector>

#include "model/block.h"

namespace trelmox {

// Quadrant texts -> numbers. All four dip angles are converted first, then
// the dip directions; a plane whose letters form no meaningful combination
// keeps its old DipDirection (its strike angle is not even read). Throws
// Error on the first text that is not a number, leaving what was converted.
void data1to2(const PlaneQuadrantArray& quadrants, PlaneAttitudeArray& attitudes);

// One plane's dip direction from its quadrant texts (strike angle + 90 for
// N..E dipping SE, and so on), not reduced to 0..360; nothing when the
// letters form no meaningful combination. Throws Error when the strike
// angle of a meaningful combination is not a number.
std::optional<double> quadrantDipDirection(const TPlaneQuadrant& plane);

// Numbers -> quadrant texts. A dip direction outside 0..360 keeps the plane's
// old letters and strike angle; its dip angle text is always updated.
void data2to1(const PlaneAttitudeArray& attitudes, PlaneQuadrantArray& quadrants);

// The dip E/W letter that belongs with a newly chosen dip N/S letter, or
// nothing when the strike is neither N..E nor N..W or the letter is unknown.
std::optional<std::string> MatchDipEW(const std::string& strikeNS, const std::string& strikeEW,
                                      const std::string& newDipNS);
// The dip N/S letter that belongs with a newly chosen dip E/W letter.
std::optional<std::string> MatchDipNS(const std::string& strikeNS, const std::string& strikeEW,
                                      const std::string& newDipEW);

// The entry windows' rule for an angle of plane `plane` (a TPlaneRole), in
// degrees: dips and strike angles 0..`high` = 90, dip directions 0..360; a
// plane outside them cuts out no real wedge. Throws a refused Error whose
// field is `box` ("倾角", "走向角" or "倾向", the window's name of the box)
// and whose row is the plane.
void requireAngle(int plane, const char* box, double value, double high);

// An azimuth (a dip direction, a trend) as stored: one within 0..360 as it
// is, 360 included; any other finite one taken modulo 360 into 0..360, so
// that 777 is stored as 57 and -30 as 330. Not finite: unchanged.
double azimuthWithin360(double azimuth);

// Field `n` (from 1) of `text` split at `separator`; beyond the last field,
// or in an empty text, the field is empty. Nothing is trimmed.
std::string Parse(const std::string& separator, const std::string& text, int n);

} // namespace trelmox
