#pragma once
// A load field the program does not have, added the way a new one is: a
// member (here in a type of the tests' own, derived from WedgeLoads) and
// one row appended to the table of load fields, or of its directions. The
// companion file, the entries, the window and the reports must carry it
// with nothing else changed.
#include <optional>
#include <vector>

#include "model/load_fields.h"

namespace trelmox::testing {

// A surcharge on the upper slope, kPa: stored only when set, like the
// pressures added after the first files were written.
struct SurchargedLoads : WedgeLoads {
    double Surcharge = 0;
    // The direction the surcharge pushes in; absent: straight down.
    std::optional<LineDirection> SurchargeDirection;
};

// No box of the program has this number, or these angles.
constexpr LoadsField SurchargeField = static_cast<LoadsField>(1000);
constexpr LoadsField SurchargeTrendField = static_cast<LoadsField>(1001);
constexpr LoadsField SurchargePlungeField = static_cast<LoadsField>(1002);

inline std::vector<LoadField> surchargedFields() {
    std::vector<LoadField> fields(loadFields().begin(), loadFields().end());
    LoadField row{.Field = SurchargeField,
                  .Part = LoadPart::Pressures,
                  .Key = "surcharge",
                  .Chinese = "坡顶超载",
                  .English = "surcharge",
                  .Box = "坡顶超载（kPa）",
                  .BoxEnglish = "Surcharge (kPa)",
                  .BoxName = "Surcharge",
                  .Unit = "kPa",
                  .Range = LoadRange::Magnitude,
                  .Policy = LoadPolicy::WhenSet,
                  .EmptyIsDefault = false,
                  .ReportChinese = "坡顶超载",
                  .ReportEnglish = "surcharge"};
    // The tests pass these rows SurchargedLoads only.
    row.Get = [](const WedgeLoads& l) -> std::optional<double> {
        return static_cast<const SurchargedLoads&>(l).Surcharge;
    };
    row.Set = [](WedgeLoads& l, std::optional<double> value) {
        static_cast<SurchargedLoads&>(l).Surcharge = value.value_or(0);
    };
    fields.push_back(row);
    return fields;
}

// The program's directions and the surcharge's, a direction behind a
// switch added the same way.
inline std::vector<LoadDirection> surchargedDirections() {
    std::vector<LoadDirection> directions(loadDirections().begin(), loadDirections().end());
    LoadDirection row{.Trend = SurchargeTrendField,
                      .Plunge = SurchargePlungeField,
                      .Part = LoadPart::Pressures,
                      .Key = "surcharge_direction",
                      .NullWhenOff = false,
                      .Chinese = "坡顶超载",
                      .English = "the surcharge",
                      .BoxEnglish = "surcharge",
                      .Switch = "坡顶超载指定方向（否则竖直向下）",
                      .SwitchEnglish = "Surcharge in a given direction (else vertical)",
                      .SwitchName = "SurchargeDirected",
                      .TrendBoxName = "SurchargeTrend",
                      .PlungeBoxName = "SurchargePlunge",
                      .ReportChinese = "坡顶超载方向",
                      .ReportEnglish = "surcharge direction"};
    row.Get = [](const WedgeLoads& l) { return static_cast<const SurchargedLoads&>(l).SurchargeDirection; };
    row.Set = [](WedgeLoads& l, std::optional<LineDirection> direction) {
        static_cast<SurchargedLoads&>(l).SurchargeDirection = direction;
    };
    directions.push_back(row);
    return directions;
}

} // namespace trelmox::testing
