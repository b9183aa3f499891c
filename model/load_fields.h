#pragma once
// The numbers of the loads that are one value each - a crack's dip, the
// seismic coefficient, a pressure, the shotcrete's strength - described
// once: where the companion file keeps them, what the user calls them, the
// box the loads window gives them, their unit, range and default, and the
// member of WedgeLoads that holds them. The companion file's reader and
// writer, the entries of the loads window, its boxes and the reports all
// go through this table, so that a new number is one row here plus the
// physics that uses it.
//
// The directions behind a switch (seismic, face and top pressure) have a
// table of their own below, loadDirections(). The parts with a structure
// of their own - the water mode, the forces' and bolts' tables, the
// pattern, the design, the strength models, the size limits - keep their
// own code.
#include <optional>
#include <span>
#include <string>

#include "model/loads.h"

namespace trelmox {

// The box a text is typed into; Row counts the rows of the force and bolt
// tables from 0. The boxes of the numbers in loadFields() are identified by
// their row's Field.
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

// Where a number lives: its object in the companion file and its group in
// the loads window. Crack and Shotcrete are optional parts (a whole object
// or none); the others are always there.
enum class LoadPart {
    Crack,     // "crack": {...} or null; the window's 张裂缝 group
    Water,     // the file's top level; the window's 水压力 group
    Seismic,   // "seismic": {...}; 地震力
    Pressures, // "pressures": {...}; 面压力
    Shotcrete, // "shotcrete": {...}, absent without it; 喷射混凝土
};
// The part's key in the companion file; empty for the top level.
const char* loadPartKey(LoadPart part);
// Whether the part is an optional one, present in the loads or not.
bool optionalPart(LoadPart part);
bool partPresent(LoadPart part, const WedgeLoads& loads);
// Gives the loads the part, with its defaults, if they lack it.
void addPart(LoadPart part, WedgeLoads& loads);

// How a number is stored and typed.
enum class LoadPolicy {
    // Always in the file; its box must not be left empty, unless
    // EmptyIsDefault.
    Always,
    // In the file only when it is not the default, so that the files of
    // blocks without it stay byte for byte as they were; an empty box is
    // the default, and the default shows as an empty box.
    WhenSet,
    // An optional number (std::optional): in the file only when given; an
    // empty box is none.
    Optional,
};

struct LoadField {
    LoadsField Field;
    LoadPart Part;
    const char* Key;        // within the part's object: "shear_strength"
    const char* Chinese;    // the name in messages: "喷射混凝土抗剪强度"
    const char* English;    // "shotcrete shear strength"
    const char* Box;        // the window's label: "抗剪强度（kPa）"
    const char* BoxEnglish; // "Shear strength (kPa)"
    const char* BoxName;    // the box's object name, which tests and users' scripts rely on: "ShotcreteShear"
    const char* Unit;       // in the reports: "kPa"; empty for none
    LoadRange Range;
    LoadPolicy Policy;
    bool EmptyIsDefault; // an empty box is the default (Always only)
    // The reports list the number by this name (a plain line with its
    // unit, for a WhenSet number only when it is set, for an Optional one
    // when given); null: the reports word it themselves.
    const char* ReportChinese = nullptr;
    const char* ReportEnglish = nullptr;
    double Default = 0; // a new block's, or a new part's, value
    // The value; none where the part is absent or an Optional number is
    // not given. Set gives the loads the part if they lack it.
    std::optional<double> (*Get)(const WedgeLoads&) = nullptr;
    void (*Set)(WedgeLoads&, std::optional<double>) = nullptr;

    // Its full name in the file and in errors: "shotcrete.shear_strength".
    std::string path() const;
    std::string name() const; // in the language of the messages
    // Whether the loads hold it: not the default for WhenSet, given for
    // Optional, its part present.
    bool stored(const WedgeLoads& loads) const;
};

// Every such number of WedgeLoads, in the window's order within each part.
std::span<const LoadField> loadFields();
// The row of a box, if it is one of `fields`.
const LoadField* findLoadField(LoadsField field, std::span<const LoadField> fields = loadFields());

// A direction behind a switch: a load that acts along a line the user
// gives, or else along one the program works out (the seismic force
// horizontal along the line of intersection, a pressure normal to its
// surface). Its trend and plunge are typed into two boxes below a check
// box, stored as {"trend", "plunge"} under its key in its part's object
// and checked as any direction is (trend finite, plunge -90..90).
struct LoadDirection {
    LoadsField Trend, Plunge; // its boxes
    LoadPart Part;
    const char* Key; // within the part's object: "face_direction"
    // The key always in the file, null when switched off (the seismic
    // force's, there from the first files); else written only when given,
    // so that the files of blocks without it keep their bytes.
    bool NullWhenOff;
    const char* Chinese;       // the load in messages, before "的方位角": "坡面压力"
    const char* English;       // in the file's messages, after "trend of ": "the slope face pressure"
    const char* BoxEnglish;    // in the boxes' messages, before " trend": "slope face pressure"
    const char* Switch;        // the window's check box: "坡面压力指定方向（否则垂直于坡面）"
    const char* SwitchEnglish; // "Slope face pressure in a given direction (else normal to the face)"
    // The object names of the check box and the two boxes, which tests and
    // users' scripts rely on: "FacePressureDirected", "FacePressureTrend"...
    const char* SwitchName;
    const char* TrendBoxName;
    const char* PlungeBoxName;
    // The reports give it a line of its own by this name when it is
    // switched on; null: the reports word it themselves.
    const char* ReportChinese = nullptr;
    const char* ReportEnglish = nullptr;
    std::optional<LineDirection> (*Get)(const WedgeLoads&) = nullptr;
    void (*Set)(WedgeLoads&, std::optional<LineDirection>) = nullptr;

    // Its full name in the file and in errors: "pressures.face_direction".
    std::string path() const;
    // "坡面压力的方位角" / "slope face pressure trend", naming a box.
    std::string trendName() const;
    std::string plungeName() const;
};

// Every such direction of WedgeLoads, in the window's order within each part.
std::span<const LoadDirection> loadDirections();

// A choice of how the water acts (WaterMode): its name in the companion
// file and its button in the loads window. The reports word each mode
// themselves, from the block's own pressures and the crack.
struct WaterChoice {
    WaterMode Mode;
    const char* Key;           // "saturated"
    const char* Button;        // "饱和楔体（张裂缝充水）"
    const char* ButtonEnglish; // "Saturated wedge (water-filled tension crack)"
    const char* ButtonName;    // the object name, which tests and users' scripts rely on: "WaterSaturated"
};
// Every mode, in the window's order.
std::span<const WaterChoice> waterChoices();
const WaterChoice& waterChoice(WaterMode mode);

// Throws Error with the user's message for a number of `fields` outside
// its range (the checks validateLoads does not already make), or a
// direction of `directions` in `part` (any part if none) that is not one.
void validateLoadFields(const WedgeLoads& loads, std::span<const LoadField> fields,
                        std::span<const LoadDirection> directions = loadDirections());
// Throws Error naming the row's trend or plunge where it is out of range.
void validateLoadDirection(const LineDirection& direction, const LoadDirection& row);
// Inline: every analysis checks its loads, and most give no direction, so
// the rows are only looked at, without a call of their own.
inline void validateLoadDirections(const WedgeLoads& loads, std::span<const LoadDirection> directions,
                                   std::optional<LoadPart> part = std::nullopt) {
    for (const LoadDirection& d : directions)
        if (!part || d.Part == *part)
            if (const std::optional<LineDirection> direction = d.Get(loads)) validateLoadDirection(*direction, d);
}

} // namespace trelmox
