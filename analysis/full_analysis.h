#pragma once
// The full three-dimensional analysis of one wedge: the real polyhedron
// under the real upper slope (analysis/polyhedron.h), every force on it
// (analysis/forces.h), the safety factor by the vector method
// (analysis/vector_method.h) and the stability state against the required
// factor. It stands beside Kc (analysis/wedge.h), which is normalised to a
// wedge whose top is horizontal at the slope height: with a horizontal upper
// slope, no crack and no loads beyond the block's own water the two agree.
#include <optional>

#include "analysis/forces.h"
#include "analysis/polyhedron.h"
#include "analysis/vector_method.h"
#include "analysis/wedge.h"
#include "analysis/wedge_size.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

// By the factor Fs against the required factor Fst: 不稳定 Fs < 1.00,
// 欠稳定 1.00 <= Fs < 1.05, 基本稳定 1.05 <= Fs < Fst, 稳定 Fs >= Fst (a
// required factor below 1.05 lets 稳定 begin there).
enum class StabilityState { Unstable, Marginal, BasicallyStable, Stable };
const char* stabilityStateName(StabilityState state);
// None when no factor was worked out (no wedge, an unresolved contact).
std::optional<StabilityState> stabilityState(const FullSafety& safety, double requiredFactor);

// A factor above FactorBound says no more than "far from sliding": it is
// reported as above the bound, never as a figure, since its digits come
// from a driving force near nothing and rounding decides them (a driving
// force of 1e-16 of the weight gives Fs 3e15). A driving force below
// NoDrivingShare of the weight is none at all: whatever the factor, the
// wedge is not pushed along its sliding direction.
inline constexpr double FactorBound = 100;
inline constexpr double NoDrivingShare = 1e-9;
enum class FactorNote { AboveBound, NoDrivingForce };
// "above 100", "no driving force": as the tool's data name the note.
const char* factorNoteKey(FactorNote note);
// The note of a factor that does not stand as a figure; none for one that
// does, and for a contact case that works out no factor by sliding.
std::optional<FactorNote> factorNote(TWedgeContact contact, double factor);
// The same knowing the driving force and the wedge's weight.
std::optional<FactorNote> factorNote(const FullSafety& safety, double weight);

// "双面接触", "仅第一切割面接触", ... for the user.
const char* contactDescription(TWedgeContact contact);

struct FullAnalysis {
    std::optional<WedgeRefusal> Refusal; // set: no wedge; Safety.Contact is NoBlock, nothing else is filled
    // The wedge analysed: the full-height wedge, or the largest one the size
    // limits allow (Size says which and why).
    WedgeShape Shape;
    WedgeSizing Size;
    WedgeForces Forces;
    FullSafety Safety;
    std::optional<StabilityState> State;
    // Set: Safety.Factor is not a figure to show (factorNote).
    std::optional<FactorNote> Note;
};

// numbers: the block's parameters as the Kc computation reads them (a
// negative overhang coefficient turns the slope face over). Throws Error for
// loads out of range and when nothing drives the wedge.
FullAnalysis analyseWedge(const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers, const WedgeLoads& loads);
// The same with the planes' normals worked out beforehand,
// wedgePlanes(attitudes, loads.Crack), and the loads already validated: for
// runs over many samples or many pairs of planes.
FullAnalysis analyseWedge(const WedgePlanes& planes, const WedgeNumbers& numbers, const WedgeLoads& loads);
// The same into `analysis`, whose storage a run over many samples reuses.
void analyseWedge(const WedgePlanes& planes, const WedgeNumbers& numbers, const WedgeLoads& loads,
                  FullAnalysis& analysis);

// A block's input with its loads (the defaults when it has no companion
// file): its parameters checked as for Kc, then analyseWedge.
FullAnalysis analyseSavedBlock(const BlockInput& block, const WedgeLoads& loads);

} // namespace trelmox
