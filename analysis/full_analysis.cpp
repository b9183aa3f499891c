#include "analysis/full_analysis.h"

#include "analysis/computation_counts.h"

namespace trelmox {

const char* stabilityStateName(StabilityState state) {
    switch (state) {
    case StabilityState::Unstable: return "不稳定";
    case StabilityState::Marginal: return "欠稳定";
    case StabilityState::BasicallyStable: return "基本稳定";
    case StabilityState::Stable: return "稳定";
    }
    return "";
}

const char* contactDescription(TWedgeContact contact) {
    switch (contact) {
    case TWedgeContact::NoBlock: return "不能切出块体";
    case TWedgeContact::BothPlanes: return "双面接触";
    case TWedgeContact::FirstPlaneOnly: return "仅第一切割面接触";
    case TWedgeContact::SecondPlaneOnly: return "仅第二切割面接触";
    case TWedgeContact::LiftOff: return "浮起";
    case TWedgeContact::Unresolved: return "未定";
    }
    return "";
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
    a.Refusal = buildWedgeShape(planes, numbers.SlopeHeight, numbers.OverhangCoefficient < 0, crack, a.Shape);
    if (a.Refusal) {
        a.Safety = FullSafety{};
        a.Safety.Contact = TWedgeContact::NoBlock;
        a.State.reset();
        if (a.Size.Limited) a.Size = WedgeSizing{};
        return;
    }
    const bool sized = sizes(loads.Size);
    if (!sized && a.Size.Limited) a.Size = WedgeSizing{};
    WedgeNumbers scaled;
    const WedgeNumbers& used = sized ? sizeWedge(a.Shape, numbers, loads.Size, a.Size, scaled) : numbers;
    a.Forces = wedgeForces(a.Shape, used, loads);
    if (a.Forces.LiningResistance != 0) {
        WedgeNumbers lined = used;
        lined.LiningResistance = a.Forces.LiningResistance;
        a.Safety = vectorMethod(a.Shape, a.Forces.active(), a.Forces.Passive, lined, loads.Strength);
    } else {
        a.Safety = vectorMethod(a.Shape, a.Forces.active(), a.Forces.Passive, used, loads.Strength);
    }
    a.State = stabilityState(a.Safety, loads.RequiredFactor);
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

FullAnalysis analyseSavedBlock(const SavedBlock& block, const WedgeLoads& loads) {
    return analyseWedge(block.Attitudes, readWedgeNumbers(block.Params), loads);
}

} // namespace trelmox
