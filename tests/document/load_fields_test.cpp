// The table of load fields: a row added to it alone is carried by the
// companion file, the entries and the reports; the program's own rows are
// consistent with the model.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "document/loads_entries.h"
#include "model/companion.h"
#include "model/error.h"
#include "report/figures.h"
#include "tests/support/added_load_field.h"

using namespace trelmox;
using namespace trelmox::testing;

namespace {

SurchargedLoads surcharged(double surcharge) {
    SurchargedLoads l;
    l.Crack = TensionCrack{{80, 10}, 5.5, 4};
    l.Shotcrete = ShotcreteLining{0.15, 900, 23};
    l.FacePressure = 12, l.Pressure2 = 7;
    l.PondLevel = 3.5;
    l.Surcharge = surcharge;
    return l;
}

const WedgeLoads& base(const SurchargedLoads& l) { return l; }

} // namespace

// Written where its row says (the pressures, after the program's own), read
// back, and left out when not set, so that every other file keeps its bytes.
TEST(LoadFields, AddedRowThroughTheCompanionFile) {
    const auto fields = surchargedFields();
    const SurchargedLoads loads = surcharged(12.5);
    const std::string text = companionText(loads, fields);
    EXPECT_NE(text.find("\"plane2\": 7.0,\r\n    \"surcharge\": 12.5\r\n  },"), std::string::npos) << text;
    SurchargedLoads read;
    parseCompanion(text, "b.json", read, fields);
    EXPECT_EQ(read.Surcharge, 12.5);
    EXPECT_EQ(base(read), base(loads));

    const SurchargedLoads unset = surcharged(0);
    EXPECT_EQ(companionText(unset, fields), companionText(base(unset)));
    SurchargedLoads old;
    parseCompanion(companionText(base(unset)), "b.json", old, fields);
    EXPECT_EQ(old.Surcharge, 0);
}

// Its range holds in the file as in the box, which the failure names.
TEST(LoadFields, AddedRowRefusedOutOfRange) {
    const auto fields = surchargedFields();
    std::string text = companionText(surcharged(12.5), fields);
    text.replace(text.find("12.5"), 4, "-2");
    SurchargedLoads read;
    try {
        parseCompanion(text, "b.json", read, fields);
        FAIL() << "a negative surcharge was read";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("坡顶超载不能为负数"), std::string::npos) << e.what();
    }

    const struct {
        const char* typed;
        ErrorKind kind;
    } cases[] = {{"-2", ErrorKind::RefusedInput}, {"12,5", ErrorKind::NumberText}};
    for (const auto& c : cases) {
        LoadsEntries entries = loadsEntries(surcharged(1), fields);
        entries.setText(SurchargeField, c.typed);
        SurchargedLoads typed;
        try {
            loadsFromEntries(entries, typed, fields);
            ADD_FAILURE() << c.typed << " was taken";
        } catch (const LoadsEntryError& e) {
            EXPECT_EQ(e.Field, SurchargeField) << c.typed;
            EXPECT_EQ(e.kind(), c.kind) << c.typed;
        }
    }
}

// The box's text both ways, an empty box the default; the reports list it
// by its name with its unit, only when set.
TEST(LoadFields, AddedRowThroughTheEntriesAndTheReports) {
    const auto fields = surchargedFields();
    LoadsEntries entries = loadsEntries(surcharged(12.5), fields);
    EXPECT_EQ(entries.text(SurchargeField), "12.5");
    SurchargedLoads typed;
    loadsFromEntries(entries, typed, fields);
    EXPECT_EQ(typed.Surcharge, 12.5);
    EXPECT_EQ(base(typed), base(surcharged(12.5)));
    entries.setText(SurchargeField, "");
    SurchargedLoads cleared;
    loadsFromEntries(entries, cleared, fields);
    EXPECT_EQ(cleared.Surcharge, 0);

    const auto rows = loadFieldRows(surcharged(12.5), fields);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back(), std::make_pair(std::string("坡顶超载"), std::string("12.5 kPa")));
    EXPECT_EQ(loadFieldRows(surcharged(0), fields), loadFieldRows(surcharged(0)));
}

// A direction added to its table alone: written after the program's in its
// part only when switched on, read back, checked in the file and in its
// boxes (naming the box), not read while switched off, and listed by the
// reports.
TEST(LoadFields, AddedDirectionThroughFileEntriesAndReports) {
    const auto fields = surchargedFields();
    const auto directions = surchargedDirections();
    SurchargedLoads loads = surcharged(12.5);
    loads.TopPressureDirection = LineDirection{200, 35};
    loads.SurchargeDirection = LineDirection{160, 60};
    const std::string text = companionText(loads, fields, directions);
    EXPECT_NE(text.find("\"top_direction\": {\r\n      \"trend\": 200.0,\r\n      \"plunge\": 35.0\r\n    },\r\n"
                        "    \"surcharge_direction\": {\r\n      \"trend\": 160.0,"),
              std::string::npos)
        << text;
    SurchargedLoads read;
    parseCompanion(text, "b.json", read, fields, directions);
    EXPECT_EQ(read.SurchargeDirection, loads.SurchargeDirection);
    EXPECT_EQ(base(read), base(loads));

    SurchargedLoads off = loads;
    off.SurchargeDirection.reset();
    EXPECT_EQ(companionText(off, fields, directions), companionText(off, fields));
    SurchargedLoads old;
    parseCompanion(companionText(off, fields), "b.json", old, fields, directions);
    EXPECT_FALSE(old.SurchargeDirection);

    std::string steep = text;
    steep.replace(steep.find("\"plunge\": 60.0"), 14, "\"plunge\": 95.0");
    try {
        parseCompanion(steep, "b.json", read, fields, directions);
        ADD_FAILURE() << "a plunge of 95 was read";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("坡顶超载的倾伏角应在-90与90之间，现为95"), std::string::npos) << e.what();
    }

    LoadsEntries entries = loadsEntries(loads, fields, directions);
    EXPECT_TRUE(entries.directed(SurchargeTrendField));
    EXPECT_EQ(entries.text(SurchargePlungeField), "60");
    SurchargedLoads typed;
    loadsFromEntries(entries, typed, fields, directions);
    EXPECT_EQ(typed.SurchargeDirection, loads.SurchargeDirection);
    entries.setText(SurchargeTrendField, "x");
    try {
        loadsFromEntries(entries, typed = {}, fields, directions);
        ADD_FAILURE() << "a trend of x was taken";
    } catch (const LoadsEntryError& e) {
        EXPECT_EQ(e.Field, SurchargeTrendField);
        EXPECT_STREQ(e.what(), "坡顶超载的方位角“x”不是有效的数");
    }
    entries.setDirected(SurchargeTrendField, false); // its leftover text is not read
    SurchargedLoads switchedOff;
    loadsFromEntries(entries, switchedOff, fields, directions);
    EXPECT_FALSE(switchedOff.SurchargeDirection);

    const auto rows = loadDirectionRows(loads, directions);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].first, "坡顶面压力方向");
    EXPECT_EQ(rows[1], std::make_pair(std::string("坡顶超载方向"), LineDirection{160, 60}));
}

// Each row (a direction's too) its own box, key and field, and its default
// the model's own, so that an empty or new part reads as a new block's.
TEST(LoadFields, RowsAgreeWithTheModel) {
    std::set<std::string> paths, boxes;
    std::set<LoadsField> ids;
    for (const LoadField& f : loadFields()) {
        EXPECT_TRUE(paths.insert(f.path()).second) << f.path();
        EXPECT_TRUE(boxes.insert(f.BoxName).second) << f.BoxName;
        EXPECT_TRUE(ids.insert(f.Field).second) << f.path();
        WedgeLoads fresh;
        addPart(f.Part, fresh);
        if (f.Policy != LoadPolicy::Optional) {
            EXPECT_EQ(f.Get(fresh), f.Default) << f.path();
        }
        EXPECT_TRUE(withinLoadRange(f.Default, f.Range) || f.Policy == LoadPolicy::Optional) << f.path();
    }
    for (const LoadDirection& d : loadDirections()) {
        EXPECT_TRUE(paths.insert(d.path()).second) << d.path();
        for (const char* name : {d.SwitchName, d.TrendBoxName, d.PlungeBoxName})
            EXPECT_TRUE(boxes.insert(name).second) << name;
        for (LoadsField id : {d.Trend, d.Plunge}) EXPECT_TRUE(ids.insert(id).second) << d.path();
    }
    EXPECT_EQ(loadsFromEntries(loadsEntries(WedgeLoads{})), WedgeLoads{});
}

// Every water mode its own key and button, and back from the file as itself.
TEST(LoadFields, EveryWaterModeThroughTheFile) {
    std::set<std::string> keys, buttons;
    const WaterMode modes[] = {WaterMode::None, WaterMode::Block, WaterMode::Saturated, WaterMode::Filled};
    EXPECT_EQ(waterChoices().size(), std::size(modes));
    for (WaterMode mode : modes) {
        const WaterChoice& c = waterChoice(mode);
        EXPECT_EQ(c.Mode, mode);
        EXPECT_TRUE(keys.insert(c.Key).second) << c.Key;
        EXPECT_TRUE(buttons.insert(c.ButtonName).second) << c.ButtonName;
        WedgeLoads loads;
        loads.Water = mode;
        EXPECT_EQ(parseCompanion(companionText(loads), "b.json").Water, mode) << c.Key;
    }
}
