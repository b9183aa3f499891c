#pragma once
// The loads and support of a block as the user enters them: the texts and
// choices of the "荷载与支护" window, kept in the block document like the
// other entries so that nothing typed lives only in a widget. They become
// numbers (model/loads.h) where an analysis or a file needs them.
#include <array>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "model/error.h"
#include "model/exact_text.h"
#include "model/load_fields.h"
#include "model/loads.h"

namespace trelmox {

struct ForceEntry {
    std::string Magnitude, Trend, Plunge;
    bool operator==(const ForceEntry&) const = default;
};

// A bolt's capacity model as typed: the type and the texts of its length,
// tendon, plate and bond.
struct CapacityEntry {
    BoltType Type = BoltType::Simple;
    std::string Length, Tendon, Plate, Bond;
    bool operator==(const CapacityEntry&) const = default;
};
// A capacity model's figures as texts.
CapacityEntry capacityEntry(const BoltCapacity& capacity);
// A bolt switched to a type: figures still at the old type's defaults, or
// empty, take the new type's; those the user typed stay.
CapacityEntry withType(const CapacityEntry& from, BoltType to);

struct BoltEntry {
    std::string Force, Trend, Plunge;
    BoltMode Mode = BoltMode::Passive;
    // Rated: the force comes from the capacity model, and the force text is
    // not read; else the model's texts are kept, not read.
    bool Rated = false;
    CapacityEntry Capacity{BoltType::Simple, {}, {}, {}, {}};
    bool operator==(const BoltEntry&) const = default;
};

// Pattern bolting on the slope face. A new pattern shows the model's
// spacings, so that the boxes and a new block's loads never disagree.
struct PatternEntry {
    std::string SpacingStrike = floatToExactText(BoltPattern{}.SpacingStrike);
    std::string SpacingDip = floatToExactText(BoltPattern{}.SpacingDip);
    std::string Trend, Plunge;
    BoltMode Mode = BoltMode::Passive;
    CapacityEntry Capacity = capacityEntry(boltDefaults(BoltType::Simple));
    bool operator==(const PatternEntry&) const = default;
};

// A cutting plane's strength model and the texts of every model's
// parameters: switching the model keeps the others' texts, which are not read.
struct StrengthEntry {
    StrengthModel Model = StrengthModel::MohrCoulomb;
    std::string Jrc, Jcs, ResidualFriction;
    std::string PowerA, PowerB, PowerC, PowerD;
    std::string Sigci, Mb, S, HoekA;
    std::string Waviness;
    bool operator==(const StrengthEntry&) const = default;
};

// The wedge's size limits as typed: an empty box is a limit not given. The
// bench's texts are kept while it is switched off.
struct SizeEntry {
    std::array<std::string, 2> FaceTrace, TopTrace, Persistence; // by cutting plane
    PersistenceMeasure Measure = PersistenceMeasure::AlongIntersection;
    std::string SlopeLength;
    bool HasBench = false;
    std::string BenchHeight, BenchWidth, CatchWidth;
    std::string MinVolume, MinWeight, MinHeight;
    bool operator==(const SizeEntry&) const = default;
};

// The texts of a switched-off part (a crack, a direction, a design bolt) are kept but not read, so switching it on again brings them back.
struct LoadsEntries {
    // The texts of the numbers of the load fields' table and of the
    // trends and plunges of its directions (model/load_fields.h) by their
    // box; an empty text is not kept.
    std::map<LoadsField, std::string> Numbers;
    const std::string& text(LoadsField field) const;
    void setText(LoadsField field, const std::string& text);
    // The directions switched on, by their trend's box; the others act
    // along the line the program works out.
    std::set<LoadsField> Directed;
    bool directed(LoadsField trend) const { return Directed.contains(trend); }
    void setDirected(LoadsField trend, bool on);

    bool HasCrack = false;
    WaterMode Water = WaterMode::Block;
    std::string FilledPercent = floatToExactText(WedgeLoads{}.FilledPercent); // read in the filled mode only
    bool HasShotcrete = false;
    std::vector<ForceEntry> Forces;
    std::vector<BoltEntry> Bolts;
    bool HasPattern = false;
    PatternEntry Pattern;
    // With a preset the required factor is the standard's, whatever the text.
    std::optional<FactorPreset> Preset;
    std::string RequiredFactor;
    bool HasDesignBolt = false;
    std::string DesignTrend, DesignPlunge;
    BoltMode DesignMode = BoltMode::Active;
    std::array<StrengthEntry, 2> Strength; // of the first and the second cutting plane
    SizeEntry Size;
    bool operator==(const LoadsEntries&) const = default;
};

// A text that is not a number, or a value outside its range, in the box
// that holds it; the message names the box the way the window labels it.
class LoadsEntryError : public Error {
public:
    LoadsEntryError(LoadsField field, int row, const std::string& message, ErrorKind kind = ErrorKind::RefusedInput)
        : Error(Error(message, kind).withRow(row)), Field(field), Row(row) {}
    LoadsField Field;
    int Row;
};

// Takes every azimuth among the texts (the trends, the crack's dip
// direction) into 0..360 as it is stored (azimuthWithin360): "777" becomes
// "57"; a text that is no number, or one within 0..360, stays as typed.
// Whether any text changed.
bool takeAzimuthsWithin360(LoadsEntries& entries, std::span<const LoadField> fields = loadFields(),
                           std::span<const LoadDirection> directions = loadDirections());

// The texts of saved loads: numbers in the general format.
LoadsEntries loadsEntries(const WedgeLoads& loads, std::span<const LoadField> fields = loadFields(),
                          std::span<const LoadDirection> directions = loadDirections());
// Throws LoadsEntryError for the first box, in the window's order, whose
// text is empty, not a number or out of range.
WedgeLoads loadsFromEntries(const LoadsEntries& entries);
// The same into `loads`, a new object of the type the fields' Get and Set take.
void loadsFromEntries(const LoadsEntries& entries, WedgeLoads& loads, std::span<const LoadField> fields,
                      std::span<const LoadDirection> directions = loadDirections());

} // namespace trelmox
