#pragma once
// The loads and support of a block as the user enters them: the texts and
// choices of the "荷载与支护" window, kept in the block document like the
// other entries so that nothing typed lives only in a widget. They become
// numbers (model/loads.h) where an analysis or a file needs them.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/error.h"
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

// Pattern bolting on the slope face.
struct PatternEntry {
    std::string SpacingStrike = "2", SpacingDip = "2", Trend, Plunge;
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

// The texts of a switched-off part (a crack, a seismic direction, a design
// bolt) are kept but not read, so switching it on again brings them back.
struct LoadsEntries {
    bool HasCrack = false;
    std::string CrackDip, CrackDipDirection, CrackDistance, CrackWaterDepth;
    WaterMode Water = WaterMode::Block;
    std::string FilledPercent = "100";                              // read in the filled mode only
    std::string PondLevel;                                          // empty: no water outside the slope
    std::string Pressure1, Pressure2, CrackPressure;                // empty: none
    bool FacePressureDirected = false, TopPressureDirected = false; // else normal to the surface
    std::string FacePressureTrend, FacePressurePlunge, TopPressureTrend, TopPressurePlunge;
    bool HasShotcrete = false;
    std::string ShotcreteThickness = "0.1", ShotcreteShear = "1000", ShotcreteUnitWeight = "24";
    std::string Seismic;
    bool SeismicDirected = false;
    std::string SeismicTrend, SeismicPlunge;
    std::string FacePressure, TopPressure;
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

// The box a text is typed into; Row counts the rows of the force and bolt
// tables from 0.
enum class LoadsField {
    CrackDip,
    CrackDipDirection,
    CrackDistance,
    CrackWaterDepth,
    Seismic,
    SeismicTrend,
    SeismicPlunge,
    FacePressure,
    TopPressure,
    ForceMagnitude,
    ForceTrend,
    ForcePlunge,
    BoltForce,
    BoltTrend,
    BoltPlunge,
    RequiredFactor,
    DesignTrend,
    DesignPlunge,
    // A cutting plane's strength parameters, Row the plane (0, 1).
    StrengthJrc,
    StrengthJcs,
    StrengthResidualFriction,
    StrengthPowerA,
    StrengthPowerB,
    StrengthPowerC,
    StrengthPowerD,
    StrengthSigci,
    StrengthMb,
    StrengthS,
    StrengthHoekA,
    StrengthWaviness,
    // The wedge's size limits; a cutting plane's trace lengths and
    // persistence have the plane as Row (0, 1).
    SizeFaceTrace,
    SizeTopTrace,
    SizePersistence,
    SizeSlopeLength,
    SizeBenchHeight,
    SizeBenchWidth,
    SizeCatchWidth,
    SizeMinVolume,
    SizeMinWeight,
    SizeMinHeight,
    // Water: the filled share, the level outside the slope, the pressures
    // entered on the joints and the crack.
    FilledPercent,
    PondLevel,
    Pressure1,
    Pressure2,
    CrackPressure,
    // A pressure's own direction (the plunge follows its trend), shotcrete.
    FacePressureTrend,
    FacePressurePlunge,
    TopPressureTrend,
    TopPressurePlunge,
    ShotcreteThickness,
    ShotcreteShear,
    ShotcreteUnitWeight,
    // A bolt's capacity model (Row: the bolt), the pattern's spacing,
    // direction and capacity model.
    BoltLength,
    BoltTendon,
    BoltPlate,
    BoltBond,
    PatternSpacingStrike,
    PatternSpacingDip,
    PatternTrend,
    PatternPlunge,
    PatternLength,
    PatternTendon,
    PatternPlate,
    PatternBond,
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
bool takeAzimuthsWithin360(LoadsEntries& entries);

// The texts of saved loads: numbers in the general format.
LoadsEntries loadsEntries(const WedgeLoads& loads);
// Throws LoadsEntryError for the first box, in the window's order, whose
// text is empty, not a number or out of range.
WedgeLoads loadsFromEntries(const LoadsEntries& entries);

} // namespace trelmox
