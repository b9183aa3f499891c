#include "analysis/overflow_source.h"

#include "analysis/wedge.h"
#include "model/load_fields.h"
#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox {

Error namedOverflow(const Error& failure, const InputNumber& input) {
    const std::string value = floatToText(input.Value);
    return failure
        .reworded(say(std::string(failure.what()) + "（由" + input.Label + " = " + value + "引起）",
                      std::string(failure.what()) + " (from " + input.Label + " = " + value + ")"))
        .withField(input.Field);
}

namespace {

void add(std::vector<InputNumber>& list, std::string field, std::string label, double& value) {
    list.push_back({std::move(field), std::move(label), value, [&value](double v) { value = v; }});
}

// A load is named as the companion file names it, in either language.
void addLoad(std::vector<InputNumber>& list, const std::string& field, double& value) {
    add(list, field, field, value);
}

void addCapacity(std::vector<InputNumber>& list, const std::string& path, BoltCapacity& c) {
    addLoad(list, path + ".length", c.Length);
    addLoad(list, path + ".tendon", c.Tendon);
    addLoad(list, path + ".plate", c.Plate);
    addLoad(list, path + ".bond", c.Bond);
}

void addAttitudes(std::vector<InputNumber>& list, PlaneAttitudeArray& attitudes) {
    for (int i = 0; i < PlaneCount; ++i) {
        const std::string plane = planeName(i);
        add(list, "dip" + std::to_string(i + 1), say(plane + "倾角", plane + " dip"), attitudes[i].DipAngle);
        add(list, "dipdir" + std::to_string(i + 1), say(plane + "倾向", plane + " dip direction"),
            attitudes[i].DipDirection);
    }
}

} // namespace

std::vector<InputNumber> wedgeInputNumbers(PlaneAttitudeArray& attitudes, WedgeNumbers& n, WedgeLoads& l) {
    std::vector<InputNumber> list;
    addAttitudes(list, attitudes);
    for (const char* field :
         {"RockUnitWeight", "SlopeHeight", "Cohesion1", "Cohesion2", "Friction1", "Friction2", "WaterUnitWeight"})
        add(list, field, wedgeParameterLabel(field), wedgeNumberField(n, field));
    add(list, "WaterPressure1", say("平面1水压力", "water pressure on plane 1"), n.WaterPressure1);
    add(list, "WaterPressure2", say("平面2水压力", "water pressure on plane 2"), n.WaterPressure2);
    for (std::size_t i = 0; i < l.Forces.size(); ++i)
        addLoad(list, "forces[" + std::to_string(i) + "].magnitude", l.Forces[i].Magnitude);
    for (std::size_t i = 0; i < l.Bolts.size(); ++i) {
        const std::string path = "bolts[" + std::to_string(i) + "]";
        addLoad(list, path + ".force", l.Bolts[i].Force);
        if (l.Bolts[i].Capacity) addCapacity(list, path + ".capacity", *l.Bolts[i].Capacity);
    }
    // The load fields' magnitudes and levels (not their angles).
    for (const LoadField& f : loadFields()) {
        const std::optional<double> value = f.Get(l);
        if (!value || !partPresent(f.Part, l) || (f.Range != LoadRange::Magnitude && f.Range != LoadRange::Level))
            continue;
        list.push_back({f.path(), f.path(), *value, [&l, &f](double v) { f.Set(l, v); }});
    }
    if (l.Pattern) {
        addLoad(list, "pattern.spacing_strike", l.Pattern->SpacingStrike);
        addLoad(list, "pattern.spacing_dip", l.Pattern->SpacingDip);
        addCapacity(list, "pattern.capacity", l.Pattern->Capacity);
    }
    return list;
}

std::vector<InputNumber> blockInputNumbers(BlockInput& block) {
    std::vector<InputNumber> list;
    addAttitudes(list, block.Attitudes);
    for (int i = 0; i < PlaneCount; ++i) {
        const std::string plane = planeName(i);
        add(list, "StrikeAngle" + std::to_string(i + 1), say(plane + "走向角", plane + " strike angle"),
            block.Quadrants[i].StrikeAngle);
        add(list, "DipAngle" + std::to_string(i + 1), say(plane + "倾角", plane + " dip"), block.Quadrants[i].DipAngle);
    }
    BlockParameters& p = block.Parameters;
    for (const auto& [field, value] : {std::pair<const char*, double*>{"RockUnitWeight", &p.RockUnitWeight},
                                       {"SlopeHeight", &p.SlopeHeight},
                                       {"Cohesion1", &p.Cohesion1},
                                       {"Cohesion2", &p.Cohesion2},
                                       {"Friction1", &p.Friction1},
                                       {"Friction2", &p.Friction2},
                                       {"WaterUnitWeight", &p.WaterUnitWeight}})
        add(list, field, wedgeParameterLabel(field), *value);
    // Computed pressures are no input: they follow from the two above.
    if (p.WaterPressureMode == TWaterPressureMode::Entered) {
        add(list, "WaterPressure1", say("平面1水压力", "water pressure on plane 1"), p.WaterPressure1);
        add(list, "WaterPressure2", say("平面2水压力", "water pressure on plane 2"), p.WaterPressure2);
    }
    return list;
}

} // namespace trelmox
