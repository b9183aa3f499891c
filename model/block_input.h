#pragma once
// A block as the analysis takes it: numbers, the planes' quadrant letters
// as one of their four meaningful cases, and the water mode. Made once at
// the edge, by the data-file reader from the file's texts, by the block
// document from its entries and by the Python module from its arguments;
// everything that computes takes this and never a text. The texts
// themselves (TPlaneQuadrant, TWedgeParams) stay with the entries and the
// data file, so that what the user typed is written back unchanged.
#include <array>
#include <cstdint>
#include <string>

#include "model/block.h"

namespace trelmox {

// The quadrant letters that form an attitude: the strike N..E dips S,E or
// N,W; the strike N..W dips S,W or N,E.
enum class QuadrantCase {
    StrikeEastDipSouthEast,
    StrikeEastDipNorthWest,
    StrikeWestDipSouthWest,
    StrikeWestDipNorthEast
};

// A plane in quadrant notation as numbers (degrees).
struct QuadrantAttitude {
    QuadrantCase Case = QuadrantCase::StrikeEastDipSouthEast;
    double StrikeAngle = 0;
    double DipAngle = 0;
    bool operator==(const QuadrantAttitude&) const = default;
};
using QuadrantAttitudeArray = std::array<QuadrantAttitude, PlaneCount>;

// The parameters as numbers. The water pressures are the entered ones
// (0 in computed mode, where the analysis works them out from the water
// unit weight and the slope height).
struct BlockParameters {
    double RockUnitWeight = 0, WaterUnitWeight = 0, SlopeHeight = 0;
    std::int32_t OverhangCoefficient = 1;
    TWaterPressureMode WaterPressureMode = TWaterPressureMode::Entered;
    double WaterPressure1 = 0, WaterPressure2 = 0;
    double Cohesion1 = 0, Friction1 = 0, Cohesion2 = 0, Friction2 = 0;
    bool operator==(const BlockParameters&) const = default;
};

// The planes are held as the entries and the data file hold them, in both
// notations, which agree to the 15 significant digits a saved number
// keeps: the corners are worked out from the quadrant numbers and the
// forces from the dip angles and dip directions. Deriving one from the
// other would move the last digits of a block's results between the
// windows, a saved file and the tool.
struct BlockInput {
    PlaneAttitudeArray Attitudes{};    // storage order
    QuadrantAttitudeArray Quadrants{}; // the same planes, storage order
    BlockParameters Parameters{};
    bool operator==(const BlockInput&) const = default;
};

// A text as a number, its number error naming `field` ("SlopeHeight").
double fieldNumber(const std::string& text, const char* field);
std::int32_t fieldInt32(const std::string& text, const char* field);

// The quadrant texts as numbers. Throws a refused Error when the letters
// form no attitude, then the number error of the strike angle, then that
// of the dip angle.
QuadrantAttitude quadrantAttitude(const TPlaneQuadrant& plane);
// Letters as the case they form; false when they form none.
bool quadrantCaseOf(const TPlaneQuadrant& plane, QuadrantCase& found);

// The parameter texts as numbers, converted in the order rock unit weight,
// slope height, c1, c2, f1, f2, water unit weight, overhang coefficient,
// then u1 and u2 (entered mode only); a text that is not a number throws
// its number error with the field it came from ("SlopeHeight"). The
// computed pressures' texts are shown only and never read.
BlockParameters parameterNumbers(const TWedgeParams& params);

// The whole block from its texts: the attitudes as they are, the quadrants
// (plane by plane) and the parameters as above.
BlockInput blockInput(const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                      const TWedgeParams& params);

} // namespace trelmox
