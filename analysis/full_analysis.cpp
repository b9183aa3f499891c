#include "analysis/full_analysis.h"

#include "analysis/computation_counts.h"
#include "analysis/vec3.h"
#include "model/language.h"

namespace trelmox {

const char* stabilityStateName(StabilityState state) {
    switch (state) {
    case StabilityState::Unstable: return inLanguage("不稳定", "unstable");
    case StabilityState::Marginal: return inLanguage("欠稳定", "marginally stable");
    case StabilityState::BasicallyStable: return inLanguage("基本稳定", "basically stable");
    case StabilityState::Stable: return inLanguage("稳定", "stable");
    }
    return "";
}

const char* contactDescription(TWedgeContact contact) {
    switch (contact) {
    case TWedgeContact::NoBlock: return inLanguage("不能切出块体", "no block can be cut out");
    case TWedgeContact::BothPlanes: return inLanguage("双面接触", "contact on both planes");
    case TWedgeContact::FirstPlaneOnly: return inLanguage("仅第一切割面接触", "contact on plane 1 only");
    case TWedgeContact::SecondPlaneOnly: return inLanguage("仅第二切割面接触", "contact on plane 2 only");
    case TWedgeContact::LiftOff: return inLanguage("浮起", "lifts off");
    case TWedgeContact::Unresolved: return inLanguage("未定", "unresolved");
    }
    return "";
}

const char* factorNoteKey(FactorNote note) {
    return note == FactorNote::NoDrivingForce ? "no driving force" : "above 100";
}

namespace {
bool slides(TWedgeContact contact) {
    return contact == TWedgeContact::BothPlanes || contact == TWedgeContact::FirstPlaneOnly ||
           contact == TWedgeContact::SecondPlaneOnly;
}
} // namespace

std::optional<FactorNote> factorNote(TWedgeContact contact, double factor) {
    if (slides(contact) && factor > FactorBound) return FactorNote::AboveBound;
    return std::nullopt;
}

std::optional<FactorNote> factorNote(const FullSafety& safety, double weight) {
    if (slides(safety.Contact) && safety.Driving < NoDrivingShare * weight) return FactorNote::NoDrivingForce;
    return factorNote(safety.Contact, safety.Factor);
}

std::optional<StabilityState> stabilityState(const FullSafety& safety, double requiredFactor) {
    if (safety.Contact == TWedgeContact::NoBlock || safety.Contact == TWedgeContact::Unresolved) return std::nullopt;
    const double fs = safety.Factor;
    if (fs < 1.00) return StabilityState::Unstable;
    if (fs >= requiredFactor) return StabilityState::Stable;
    if (fs < 1.05) return StabilityState::Marginal;
    return StabilityState::BasicallyStable;
}

void analyseWedge(const WedgePlanes& planes, const WedgeNumbers& numbers, const WedgeLoads& loads, FullAnalysis& a) {
    const TensionCrack* crack = loads.Crack ? &*loads.Crack : nullptr;
    const bool overhanging = numbers.OverhangCoefficient < 0;
    a.Refusal = buildWedgeShape(planes, numbers.SlopeHeight, overhanging, crack, a.Shape);
    if (a.Refusal) {
        a.Safety = FullSafety{};
        a.Safety.Contact = TWedgeContact::NoBlock;
        a.State.reset();
        a.Note.reset();
        if (a.Size.Limited) a.Size = WedgeSizing{};
        return;
    }
    const bool sized = sizes(loads.Size);
    if (!sized && a.Size.Limited) a.Size = WedgeSizing{};
    WedgeNumbers scaled;
    const WedgeNumbers& used = sized ? sizeWedge(a.Shape, numbers, loads.Size, a.Size, scaled) : numbers;
    if (a.Size.Scale.Decider)
        a.Size.FullHeight = FullHeightWedge{planes, numbers.SlopeHeight, overhanging,
                                            crack ? std::optional(crack->Distance) : std::nullopt};
    a.Forces = wedgeForces(a.Shape, used, loads);
    if (a.Forces.LiningResistance != 0) {
        WedgeNumbers lined = used;
        lined.LiningResistance = a.Forces.LiningResistance;
        a.Safety = vectorMethod(a.Shape, a.Forces.active(), a.Forces.Passive, lined, loads.Strength);
    } else {
        a.Safety = vectorMethod(a.Shape, a.Forces.active(), a.Forces.Passive, used, loads.Strength);
    }
    a.State = stabilityState(a.Safety, loads.RequiredFactor);
    a.Note = factorNote(a.Safety, norm(a.Forces.Weight));
}

FullAnalysis analyseWedge(const WedgePlanes& planes, const WedgeNumbers& numbers, const WedgeLoads& loads) {
    FullAnalysis a;
    analyseWedge(planes, numbers, loads, a);
    return a;
}

FullAnalysis analyseWedge(const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers, const WedgeLoads& loads) {
    ++computationCounts().Full;
    validateLoads(loads);
    return analyseWedge(wedgePlanes(attitudes, loads.Crack), numbers, loads);
}

FullAnalysis analyseSavedBlock(const BlockInput& block, const WedgeLoads& loads) {
    return analyseWedge(block.Attitudes, wedgeNumbers(block.Parameters), loads);
}

} // namespace trelmox
