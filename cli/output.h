#pragma once
// How the analyze command prints its outcomes: a readable table, JSON
// lines, or CSV for spreadsheets. All three carry the same columns.
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/block_analysis.h"
#include "model/error.h"
#include "model/files.h"

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
    std::optional<std::string> error;  // the failure that stopped this block
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

// format is "text", "json" or "csv". strengthColumns: the CSV gets the
// columns of each plane's strength model (strength.plane1, ...,
// normal_stress.plane1, ..., shear_force.plane1, ...) after the others, for
// a batch in which some block's companion file gives a plane a strength of
// its own. JSON gives a block with one its "strength" object.
std::unique_ptr<OutcomePrinter> makeOutcomePrinter(const std::string& format, std::ostream& out,
                                                   bool strengthColumns = false);

// A text as the tool prints it: control characters and bytes that are not
// UTF-8 made visible (visibleText), and a text of more than MaxShownChars
// characters cut in the middle with "…", so that a bad field of a megabyte
// neither floods the output nor hides the end of the message.
inline constexpr std::size_t MaxShownChars = 300;
std::string shownText(const std::string& text);
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

} // namespace trelmox::cli
