#pragma once
// How the analyze command prints its outcomes: a readable table, JSON
// lines, CSV for spreadsheets, or an Excel workbook. All carry the same
// columns.
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/block_analysis.h"
#include "cli/options.h"
#include "model/error.h"
#include "model/files.h"
#include "report/xlsx_table.h"

namespace trelmox::cli {

using Json = nlohmann::ordered_json;

struct BlockOutcome {
    std::string block;
    std::optional<WedgeGeometry> geometry; // absent when not computed
    std::optional<SafetyResult> safety;
    // The block's run when it got as far as Kc. Its full analysis of the
    // real wedge (run->Full) is absent when it failed; its message is then
    // among `messages`.
    std::optional<BlockRun> run;
    std::vector<std::string> messages; // the system's messages for this block, in order
    // The failure that stopped this block, its message naming the file.
    std::optional<Error> error;
};

class OutcomePrinter {
public:
    virtual ~OutcomePrinter() = default;
    virtual void print(const BlockOutcome& outcome) = 0;
    virtual void finish() {}
};

// The block's outcome from its texts and loads, as analyze works it out for
// a data file: the one block run, then the messages of its corners, its
// contact case and its full analysis in the order analyze shows them. Throws
// the failure that stops the block (the run's, or corners missing).
void analyseBlock(const SavedBlock& block, const WedgeLoads& loads, BlockOutcome& outcome);

// The JSON object of one outcome, as analyze --format json prints it.
Json outcomeJson(const BlockOutcome& outcome);
// Whether the outcome's full factor Fs could not be computed: a failure of
// that output (its "fs_error"), for which the run's exit status says a
// block failed although Kc stands.
bool fsFailed(const BlockOutcome& outcome);
// A failure's kind as the tool's data name it ("fs_error_kind"): the
// arithmetic fault ("overflow", "division_by_zero", "invalid_operation",
// "no_driving_force") when it is one, else "refused_input", "number_text",
// "file", "arithmetic" or "other".
const char* errorKindKey(const Error& failure);

// format is "text", "json", "csv" or "xlsx" (the JSON's keys as the
// workbook's columns, written when finished). strengthColumns: the CSV gets the
// columns of each plane's strength model (strength.plane1, ...,
// normal_stress.plane1, ..., shear_force.plane1, ...) after the others, for
// a batch in which some block's companion file gives a plane a strength of
// its own. JSON gives a block with one its "strength" object.
std::unique_ptr<OutcomePrinter> makeOutcomePrinter(const std::string& format, std::ostream& out,
                                                   bool strengthColumns = false);

// A text as the tool prints it: control characters and bytes that are not
// UTF-8 made visible (visibleText), and a text of more than MaxShownChars
// characters cut in the middle with "…" (between words where a blank is
// near), so that a bad field of a megabyte neither floods the output nor
// hides the end of the message.
inline constexpr std::size_t MaxShownChars = 300;
std::string shownText(const std::string& text);
// A message as the tool prints it: each of its lines as shownText shows a
// text, so that a list of failures keeps one failure a line.
std::string shownMessage(const std::string& text);
// A file name's bytes as UTF-8 text: as they are when they are UTF-8, read
// as GB18030 when they are not (a name made on a GBK system), else with the
// bytes that fit neither made visible.
std::string nameText(const std::string& bytes);
// A path as the tool prints it, its bytes read as nameText reads them.
std::string shownPath(const std::filesystem::path& path);
// A failure's message as the tool prints it. The tool words the data's
// failures in Chinese, so a failed file operation gives the system's reason
// in Chinese (systemReason) where the windows keep its English wording
// ("File not found"); any other message is as it is.
std::string toolMessage(const Error& failure);
// A failure concerning `file`, as the tool prints it: the path, the line of
// the data file when the failure concerns one ("W1.txt 第9行: ..."), and
// the message (toolMessage).
std::string fileFailureText(const std::filesystem::path& file, const Error& failure);

// The stability state as the tool's data name it (JSON, CSV, workbooks):
// the Chinese names, whatever the language of the messages, so that a
// script reading them reads the same values in every run.
const char* stateInData(StabilityState state);
// The state as a stable ASCII code for scripts ("stable", "basically_stable",
// "marginal", "unstable"), the same in every language.
const char* stateCode(StabilityState state);

// The tool's JSON: keys in the order they are set. Numbers are written as
// the shortest text that reads back to the same double; a value that is
// missing (or not finite) is null.
Json jsonOf(const std::optional<double>& value);
Json jsonOf(const std::optional<std::string>& text);
// One JSON value on one line; bytes that are not UTF-8 are replaced.
std::string jsonLine(const Json& value);
// A JSON string literal of UTF-8 text.
std::string jsonString(const std::string& text);
// A number as JSON writes it: the shortest text of its double.
std::string jsonNumber(double value);
// A number for CSV, with 17 significant digits (enough to read the double
// back), as spreadsheets and scripts have been given it.
std::string csvNumber(double value);
// A CSV field, quoted when it holds a comma, a quote or a line end.
std::string csvField(const std::string& text);
// A line of a readable table: each cell followed by blanks up to its width
// in terminal columns (East Asian characters take two), at least one blank;
// no blanks at the end.
std::string tableRow(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths);

// Objects of the tool's JSON as one sheet of a workbook: one row an object,
// its keys the columns in the order they come, a nested object's keys
// joined to its own by "." ("areas.plane1", as the CSV names them), a list
// of texts in one cell joined by "; " (as the CSV joins the messages), a
// list of numbers one column an element ("histogram.counts.0"), null an
// empty cell. Every figure's unit (unitOfKey) stands under its key.
XlsxSheet xlsxSheetOf(const std::vector<Json>& rows, const std::string& name);
// The unit of a figure of the tool's JSON by its key, as above; empty for
// texts, flags, counts and pure numbers.
std::string unitOfKey(const std::string& key);

// Where a command's result goes: standard output, or the file of
// --output FILE, written in one step once the whole result is there (an
// interrupted or failed run leaves the file as it was) and never over an
// input of the run. An Excel workbook is bytes no terminal can show: with
// neither --output nor standard output sent elsewhere, it is a usage error
// before anything is run.
class ResultDestination {
public:
    // Throws UsageError as said; `inputs` are the run's input files.
    ResultDestination(const ParsedArgs& parsed, const std::string& format, const std::vector<std::string>& inputs,
                      std::ostream& out);
    // The stream to print the result to.
    std::ostream& stream();
    // Writes the file, if one was asked for. Throws Error naming it.
    void finish();
    // Refuses an output file that is an input of the run, before the run.
    void check() const;

private:
    std::optional<std::filesystem::path> file_;
    std::vector<std::string> inputs_;
    std::ostream& out_;
    std::ostringstream buffer_;
};

// Whether `out` is the process's standard output and that is a terminal.
bool isTerminalOutput(const std::ostream& out);

} // namespace trelmox::cli
