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

// Each row its own box, key and field, and its default the model's own, so
// that an empty or new part reads as a new block's.
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
    EXPECT_EQ(loadsFromEntries(loadsEntries(WedgeLoads{})), WedgeLoads{});
}
