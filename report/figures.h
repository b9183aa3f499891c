#pragma once
// The figures of an analysis as every output shows them to a person: the
// analysis window, the report and the tool's table. Volume, height and plunge
// in the "0.0000" pattern (a wedge is measured to a tenth of a millimetre
// at most), Kc in the general format with 15 significant digits.
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "analysis/geometry.h"
#include "analysis/wedge.h"
#include "analysis/block_analysis.h"
#include "analysis/forces.h"
#include "model/load_fields.h"

namespace trelmox {

struct FigureTexts {
    std::string Volume, Height, Plunge, SafetyFactor;
    bool operator==(const FigureTexts&) const = default;
};

FigureTexts figureTexts(const WedgeGeometry& geometry, const SafetyResult& safety);

// A figure with its unit, as a report an engineer signs shows it: "12.5 kPa".
std::string withUnit(const std::string& figure, const char* unit);
// The numbers of the load fields' table that the reports list by name (a
// report name, and held by the loads): the name and the figure with its
// unit, in the table's order.
std::vector<std::pair<std::string, std::string>> loadFieldRows(const WedgeLoads& loads,
                                                               std::span<const LoadField> fields = loadFields());
// The directions of the load fields' table switched on that the reports
// list by name: the name and the direction, in the table's order.
std::vector<std::pair<std::string, LineDirection>>
loadDirectionRows(const WedgeLoads& loads, std::span<const LoadDirection> directions = loadDirections());
// The tabs after "<name>:" in the full analysis report's list: to the
// column after the next but one, or the next for a long name.
std::string tabsAfter(const std::string& label);
// A direction in the layout of the text it goes into: Columns for the full
// analysis report's tab-separated tables ("方位角\t160°\t倾伏角\t-5°"),
// Sentence for the calculation report's prose ("方位角 160°，倾伏角 -5°"),
// Brief for the windows' one-line results, to a tenth of a degree
// ("方位角160.1°，倾伏角-5°").
enum class DirectionLayout { Columns, Sentence, Brief };
std::string directionText(const LineDirection& direction, DirectionLayout layout);

// A bolt's capacity model, its figures separated by `gap` ("\t" in the
// full analysis report's tables, "，" in the calculation report's prose):
// "端锚锚杆\t长度 3 m\t杆体抗拉力 200 kN\t垫板承载力 150 kN\t粘结强度 100 kN/m".
std::string capacityText(const BoltCapacity& capacity, const char* gap);
// Where a bolt holds and what limits it: "控制：节理外锚固\t楔块内长度 1.2 m\t锚固长度 1.8 m".
std::string holdText(const BoltHold& hold, const char* gap);
// The pattern's bolts on the wedge: "坡面上12根，其中锚入节理外岩体10根".
std::string patternText(const WedgeForces& forces);

// The full analysis beside them: Fs in Kc's format (empty where the planes
// cut out no real wedge), its contact case and stability state in words,
// the required factor with its preset, and the support that factor needs -
// the force along the design bolt and the least force with its direction,
// forces in the "0.0000" pattern, directions in degrees to one decimal.
struct FullFigureTexts {
    std::string Factor, Contact, State, Required, DesignBolt, LeastBolt;
    // The wedge the factor belongs to, in the "0.0000" pattern: its volume
    // and weight; when size limits scaled it down, the factor, the limit
    // that decided it ("台阶宽度") and the full-height wedge's volume (else
    // all three empty); what the sizing warns of (below the minimum size,
    // the bench left narrower than the catch width) in sentences, empty
    // when nothing.
    std::string Volume, Weight, Scale, ScaleDecider, FullVolume, SizeWarning;
    bool operator==(const FullFigureTexts&) const = default;
};

// Of a run whose full analysis was worked out (run.Full).
FullFigureTexts fullFigureTexts(const BlockRun& run);

// The factor Fs as a report writes it: `figure`, its digits, or "> 100"
// where the analysis says the factor is no figure to show (FactorNote).
std::string boundedFactor(const FullAnalysis& analysis, const std::string& figure);

} // namespace trelmox
