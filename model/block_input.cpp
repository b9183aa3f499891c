#include "model/block_input.h"

#include <string>

#include "model/datafile.h"
#include "model/error.h"
#include "model/numtext.h"
#include "model/parameter_fields.h"

namespace trelmox {

namespace {

struct LetterCase {
    const char *strikeEW, *dipNS, *dipEW;
    QuadrantCase quadrantCase;
};
constexpr LetterCase LetterCases[] = {
    {"E", "S", "E", QuadrantCase::StrikeEastDipSouthEast},
    {"E", "N", "W", QuadrantCase::StrikeEastDipNorthWest},
    {"W", "S", "W", QuadrantCase::StrikeWestDipSouthWest},
    {"W", "N", "E", QuadrantCase::StrikeWestDipNorthEast},
};

} // namespace

double fieldNumber(const std::string& text, const char* field) {
    try {
        return textToFloat(text);
    } catch (const Error& failure) {
        throw failure.withField(field);
    }
}

std::int32_t fieldInt32(const std::string& text, const char* field) {
    try {
        return textToInt32(text);
    } catch (const Error& failure) {
        throw failure.withField(field);
    }
}

bool quadrantCaseOf(const TPlaneQuadrant& plane, QuadrantCase& found) {
    if (plane.StrikeNS != "N") return false;
    for (const LetterCase& c : LetterCases)
        if (plane.StrikeEW == c.strikeEW && plane.DipNS == c.dipNS && plane.DipEW == c.dipEW) {
            found = c.quadrantCase;
            return true;
        }
    return false;
}

QuadrantAttitude quadrantAttitude(const TPlaneQuadrant& plane) {
    QuadrantAttitude attitude;
    if (!quadrantCaseOf(plane, attitude.Case)) requireAttitudeLetters(plane); // throws its refusal
    attitude.StrikeAngle = fieldNumber(plane.StrikeAngle, "StrikeAngle");
    attitude.DipAngle = fieldNumber(plane.DipAngle, "DipAngle");
    return attitude;
}

BlockParameters parameterNumbers(const TWedgeParams& params) {
    BlockParameters n;
    for (const int row : ConversionOrder) {
        const ParameterField& p = ParameterFields[row];
        n.*p.Number = fieldNumber(params.*p.Text, p.Field);
    }
    n.OverhangCoefficient = fieldInt32(params.OverhangCoefficient, "OverhangCoefficient");
    n.WaterPressureMode = params.WaterPressureMode;
    if (params.WaterPressureMode == TWaterPressureMode::Entered) {
        n.WaterPressure1 = fieldNumber(params.WaterPressure1, "WaterPressure1");
        n.WaterPressure2 = fieldNumber(params.WaterPressure2, "WaterPressure2");
    }
    return n;
}

BlockInput blockInput(const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                      const TWedgeParams& params) {
    BlockInput input;
    input.Attitudes = attitudes;
    for (int i = 0; i < PlaneCount; ++i) input.Quadrants[i] = quadrantAttitude(quadrants[i]);
    input.Parameters = parameterNumbers(params);
    return input;
}

} // namespace trelmox
