#pragma once
// The figures of an analysis as every output shows them to a person: the
// analysis window, the report and the tool's table. Volume, height and plunge
// in the "0.0000" pattern (a wedge is measured to a tenth of a millimetre
// at most), Kc in the general format with 15 significant digits.
#include <string>

#include "analysis/geometry.h"
#include "analysis/wedge.h"
#include "analysis/block_analysis.h"

namespace trelmox {

struct FigureTexts {
    std::string Volume, Height, Plunge, SafetyFactor;
    bool operator==(const FigureTexts&) const = default;
};

FigureTexts figureTexts(const WedgeGeometry& geometry, const SafetyResult& safety);

// A figure with its unit, as a report an engineer signs shows it: "12.5 kPa".
std::string withUnit(const std::string& figure, const char* unit);
// A direction in the layout of the text it goes into: Columns for the full
// analysis report's tab-separated tables ("方位角\t160°\t倾伏角\t-5°"),
// Sentence for the calculation report's prose ("方位角 160°，倾伏角 -5°"),
// Brief for the windows' one-line results, to a tenth of a degree
// ("方位角160.1°，倾伏角-5°").
enum class DirectionLayout { Columns, Sentence, Brief };
std::string directionText(const LineDirection& direction, DirectionLayout layout);

// The full analysis beside them: Fs in Kc's format (empty where the planes
// cut out no real wedge), its contact case and stability state in words,
// the required factor with its preset, and the support that factor needs -
// the force along the design bolt and the least force with its direction,
// forces in the "0.0000" pattern, directions in degrees to one decimal.
struct FullFigureTexts {
    std::string Factor, Contact, State, Required, DesignBolt, LeastBolt;
    bool operator==(const FullFigureTexts&) const = default;
};

// Of a run whose full analysis was worked out (run.Full).
FullFigureTexts fullFigureTexts(const BlockRun& run);

} // namespace trelmox
