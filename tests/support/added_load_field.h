#pragma once
// A load field the program does not have, added the way a new one is: a
// member (here in a type of the tests' own, derived from WedgeLoads) and
// one row appended to the table of load fields. The companion file, the
// entries, the window and the reports must carry it with nothing else
// changed.
#include <optional>
#include <vector>

#include "model/load_fields.h"

namespace trelmox::testing {

// A surcharge on the upper slope, kPa: stored only when set, like the
// pressures added after the first files were written.
struct SurchargedLoads : WedgeLoads {
    double Surcharge = 0;
};

// No box of the program has this number.
constexpr LoadsField SurchargeField = static_cast<LoadsField>(1000);

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

} // namespace trelmox::testing
