#pragma once
// How the analyze command prints its outcomes: a readable table, JSON
// lines, CSV for spreadsheets, or an Excel workbook. All carry the same
// columns.
#include <memory>
#include <ostream>
#include <string>

#include "analysis/block_outcome.h"
#include "report/json_format.h"

namespace trelmox {

class OutcomePrinter {
public:
    virtual ~OutcomePrinter() = default;
    virtual void print(const BlockOutcome& outcome) = 0;
    virtual void finish() {}
};

// The JSON object of one outcome, as analyze --format json prints it.
Json outcomeJson(const BlockOutcome& outcome);
// Whether the outcome's full factor Fs could not be computed: a failure of
// that output (its "fs_error"), for which the run's exit status says a
// block failed although Kc stands.
bool fsFailed(const BlockOutcome& outcome);
// format is "text", "json", "csv" or "xlsx" (the JSON's keys as the
// workbook's columns, written when finished). strengthColumns: the CSV gets the
// columns of each plane's strength model (strength.plane1, ...,
// normal_stress.plane1, ..., shear_force.plane1, ...) after the others, for
// a batch in which some block's companion file gives a plane a strength of
// its own. JSON gives a block with one its "strength" object.
std::unique_ptr<OutcomePrinter> makeOutcomePrinter(const std::string& format, std::ostream& out,
                                                   bool strengthColumns = false);

} // namespace trelmox
